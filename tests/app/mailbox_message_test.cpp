#include <gtest/gtest.h>

#include "app/texts.h"
#include "mailbox_script.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "support/recording_printer.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kA = Header("Anne <anne@example.fr>", "Un");
const std::string kB = Header("Bruno <bruno@example.fr>", "Deux");
const std::string kC = Header("Chlo\xE9 <chloe@example.fr>", "Trois");
const std::string kD = Header("David <david@example.fr>", "Quatre");
const std::string kE = Header("Emma <emma@example.fr>", "Cinq");

std::string Retr(int i, std::string_view message) {
    return "C: RETR " + IntToStr(i) + "\n" + MultiLineReply("+OK", message);
}

const std::string kNext = kNextSession;

std::string Shown(std::string_view kind, std::string_view pattern, int number) {
    return std::string(kind) + ": " + FormatText(std::string(pattern), {IntToStr(number)});
}

const std::string kMultipart =
    "From: Anne <anne@example.fr>\n"
    "To: Bruno <bruno@example.fr>, chloe@example.fr\n"
    "Subject: Photo\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"XYZ\"\n"
    "\n"
    "--XYZ\n"
    "Content-Type: text/plain; charset=iso-8859-1\n"
    "Content-Transfer-Encoding: quoted-printable\n"
    "\n"
    "Voici la photo, =E0 bient=F4t.\n"
    "--XYZ\n"
    "Content-Type: application/octet-stream; name=\"photo.jpg\"\n"
    "Content-Transfer-Encoding: base64\n"
    "Content-Disposition: attachment; filename=\"photo.jpg\"\n"
    "\n"
    "AAEC\n"
    "--XYZ--\n";

TEST_F(MailboxFixture, PreviewOfMultipartMessage) {
    ScriptedPop3Server server(ScanLogin() + Retr(1, kMultipart) + Quit());
    UseServer(server);
    window.preview.lines = {"old"};
    EXPECT_TRUE(screener.Preview().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines,
              (Lines{"Anne <anne@example.fr>", "Bruno <bruno@example.fr>, chloe@example.fr",
                     "Nombre de parties : 2", "Voici la photo, à bientôt.",
                     std::string("Pièce jointe : photo.jpg")}));
    EXPECT_TRUE(window.dialogs.shown.empty());
}

// A base64 line cut at a length that is not a multiple of 4, as some mailers
// send them: the message is at fault, not the session.
TEST_F(MailboxFixture, PreviewOfMalformedBase64ShowsWhatDecodes) {
    std::string broken = kMultipart;
    broken.replace(broken.find("AAEC\n"), 5, "QUJD\nQUJDRA\nQUJD\n");
    const std::string text = "quoted-printable\n\nVoici la photo, =E0 bient=F4t.\n";
    broken.replace(broken.find(text), text.size(), "base64\n\nVm9pY2k\n");
    ScriptedPop3Server server(ScanLogin() + Retr(1, broken) + Quit());
    UseServer(server);
    EXPECT_TRUE(screener.Preview(1).IsDone());
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines,
              (Lines{"Anne <anne@example.fr>", "Bruno <bruno@example.fr>, chloe@example.fr",
                     "Nombre de parties : 2", "Voi", std::string("(pièce jointe illisible)"),
                     std::string("Pièce jointe : photo.jpg (pièce jointe illisible)")}));
    EXPECT_TRUE(window.dialogs.shown.empty()) << "no box";
    EXPECT_EQ(
        window.status.panel[0],
        std::string("Message 1 : pièce jointe illisible (texte, photo.jpg) : seul son début est affiché."));
}

TEST_F(MailboxFixture, PreviewOfPlainMessage) {
    ScriptedPop3Server server(ScanLogin() +
                              Retr(1, kA + "\nTo: moi@example.fr\n\nBonjour,\n.point\n\nAnne\n") + Quit());
    UseServer(server);
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines, (Lines{"Anne <anne@example.fr>", "moi@example.fr",
                                           "Nombre de parties : 0", "Bonjour,", ".point", "", "Anne"}));
}

// A sender the parser refuses: the header as received, accents kept.
TEST_F(MailboxFixture, PreviewOfUnreadableSenderShowsTheHeaderAsReceived) {
    ScriptedPop3Server server(
        ScanLogin() + Retr(1, "From: Ren\xE9 <a@ailleurs.fr> b@ailleurs.fr\nSubject: d\xE9j\xE0\n\nCorps\n") +
        Quit());
    UseServer(server);
    EXPECT_TRUE(screener.Preview().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines, (Lines{"From: René <a@ailleurs.fr> b@ailleurs.fr", "Subject: déjà", "",
                                           "Nombre de parties : 0", "Corps"}));
}

TEST_F(MailboxFixture, PreviewOfRefusedNumberShowsThreeLines) {
    ScriptedPop3Server server(ScanLogin() + "C: RETR 1\nS: -ERR no such message\n" + Quit());
    UseServer(server);
    EXPECT_TRUE(screener.Preview().IsRefused());
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines, (Lines{"", "", "Nombre de parties : 0"}));
    EXPECT_TRUE(window.dialogs.shown.empty());
}

TEST_F(MailboxFixture, PreviewFailureShowsErrorAndKeepsLinesSoFar) {
    ScriptedPop3Server server("S: -ERR occupé\nC: QUIT\n");
    UseServer(server);
    window.preview.lines = {"kept"};
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{"error: Impossible de se connecter au serveur"});
    EXPECT_EQ(window.preview.lines, Lines{"kept"});
}

struct PreviewGuardCase {
    const char* name;
    std::string retrieved;  // header of message 2 at preview time
    bool warned;
};
const PreviewGuardCase kPreviewGuards[] = {
    {"same_message_no_warning", kB, false},
    {"numbers_shifted_warns", kC, true},
    {"one_header_line_differs_warns", kB + "\nX-Spam: oui", true},
};
class PreviewGuard : public MailboxFixture, public testing::WithParamInterface<PreviewGuardCase> {};
TEST_P(PreviewGuard, WarnsButShows) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA, kB}) + kNext + ScanLogin() +
                              Retr(2, GetParam().retrieved + "\n\ncorps\n") + Quit());
    UseServer(server);
    screener.Scan();
    window.grid.current = 2;
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines.back(), "corps");
    Lines expected;
    if (GetParam().warned) expected.push_back("warning: " + std::string(texts::kPreviewChanged));
    EXPECT_EQ(window.dialogs.shown, expected);
}
INSTANTIATE_TEST_SUITE_P(Table, PreviewGuard, testing::ValuesIn(kPreviewGuards),
                         [](const auto& info) { return std::string(info.param.name); });

// The preview pane keeps a message only while the grid shows it.
struct StaleCase {
    const char* name;
    std::string nextScan;  // the session after the preview
    bool kept;
};
const StaleCase kStale[] = {
    {"same_message_listed_again_kept", ScanOf({kA, kB}), true},
    {"another_mailbox_clears", ScanOf({kC}), false},
    {"a_refused_log_in_clears", RefusedLogin("-ERR mot de passe") + Quit(), false},
};
class StalePreview : public MailboxFixture, public testing::WithParamInterface<StaleCase> {};
TEST_P(StalePreview, ClearedOnceItsMessageLeavesTheGrid) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA, kB}) + kNext + ScanLogin() + Retr(2, kB + "\n\ncorps\n") + Quit() +
                              kNext + GetParam().nextScan);
    UseServer(server);
    screener.Scan();
    ASSERT_TRUE(screener.Preview(2).IsDone());
    ASSERT_FALSE(window.preview.lines.empty());
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(!window.preview.lines.empty(), GetParam().kept);
    // Its print names the message only while it is shown.
    RecordingPrinter printer;
    screener.PrintMessage(printer);
    const std::vector<std::string> texts = printer.Texts();
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "300,40:Deux") != texts.end(), GetParam().kept);
}
INSTANTIATE_TEST_SUITE_P(Table, StalePreview, testing::ValuesIn(kStale),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, PreviewPastTheScannedRowsWarnsWhenAMessageIsThere) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA}) + kNext + ScanLogin() + Retr(2, kB + "\n\nx\n") + Quit());
    UseServer(server);
    screener.Scan();
    window.grid.current = 2;
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{"warning: " + std::string(texts::kPreviewChanged)});
}

TEST_F(MailboxFixture, DeletingRowThreeOfFiveRenumbers) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA, kB, kC, kD, kE}) + kNext + ScanLogin() + Message(3, kC, 300) +
                              Dele(3) + Quit() + kNext + ScanOf({kA, kB, kD, kE}));
    UseServer(server);
    screener.Scan();
    window.grid.current = 3;
    window.dialogs.answers = {false, true};
    EXPECT_TRUE(screener.DeleteCurrent().IsRefused()) << "\"&Non\" sends nothing";
    EXPECT_TRUE(screener.DeleteCurrent().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(),
              (Lines{"1|Anne|Un|100|", "2|Bruno|Deux|200|", "3|David|Quatre|300|", "4|Emma|Cinq|400|"}));
    const std::string asked = "confirm: Supprimer le message 3 de Chloé : Trois ?";
    EXPECT_EQ(window.dialogs.shown, (Lines{asked, asked}));
}

TEST_F(MailboxFixture, DeleteRefusedWhenTheMessageChanged) {
    UseLists("", "");
    // Another client deleted message 1: message 1 is now Bruno's.
    ScriptedPop3Server server(ScanOf({kA, kB}) + kNext + ScanLogin() + Top(1, kB) + Quit() + kNext +
                              ScanOf({kB}));
    UseServer(server);
    screener.Scan();
    screener.Delete(1);
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{Shown("message", texts::kDeleteRefusedChanged, 1)});
    EXPECT_EQ(Rows(), Lines{"1|Bruno|Deux|100|"});
}

TEST_F(MailboxFixture, DeleteWithoutScannedRowAsksForAScanThenScans) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA}));
    UseServer(server);
    window.grid.current = 1;
    screener.DeleteCurrent();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{Shown("message", texts::kDeleteRefusedNoScan, 1)});
    EXPECT_EQ(Rows(), Lines{"1|Anne|Un|100|"});
}

TEST_F(MailboxFixture, DeleteRefusedByServerStillScans) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA}) + kNext + ScanLogin() + Message(1, kA, 100) +
                              "C: DELE 1\nS: -ERR verrou\n" + Quit() + kNext + ScanOf({kA}));
    UseServer(server);
    screener.Scan();
    screener.Delete(1);
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{"error: Impossible de se connecter au serveur"});
    EXPECT_EQ(Rows(), Lines{"1|Anne|Un|100|"});
}

// A header the scan could not read all through: the preview shows it as
// received with the body, the deletion acts on it as on any other.
TEST_F(MailboxFixture, UnreadableHeaderIsPreviewedAndDeleted) {
    UseLists("", "");
    const std::string bad = "From: <a@x.fr> b@x.fr\nTo: c@x.fr\nSubject: Vu";
    ScriptedPop3Server server(ScanOf({kA, bad, kC}) + kNext + ScanLogin() + Retr(2, bad + "\n\nCorps\n") +
                              Quit() + kNext + ScanLogin() + Message(2, bad, 200) + Dele(2) + Quit() + kNext +
                              ScanOf({kA, kC}));
    UseServer(server);
    screener.Scan();
    window.grid.current = 2;
    EXPECT_TRUE(screener.Preview().IsDone());
    EXPECT_EQ(window.preview.lines, (Lines{"From: <a@x.fr> b@x.fr", "To: c@x.fr", "Subject: Vu", "",
                                           "Nombre de parties : 0", "Corps"}));
    window.dialogs.answers = {true};
    EXPECT_TRUE(screener.DeleteCurrent().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown.size(), 1u) << "the question only";
    EXPECT_EQ(Rows(), (Lines{"1|Anne|Un|100|", std::string("2|Chloé|Trois|200|")}));
}

// Two messages with the same header: once another client removed the first,
// number 1 is the second. Its size or unique id tells it apart.
std::string ScanWithIds(const std::string& capa, std::vector<int> sizes, const std::string& uidl) {
    std::string script = LoginWithCapa("C: CAPA\nS: +OK\n" + capa + "S: PIPELINING\nS: .\n") +
                         Stats(static_cast<int>(sizes.size()), 4);
    for (std::size_t i = 0; i < sizes.size(); ++i) script += Message(static_cast<int>(i) + 1, kA, sizes[i]);
    return script + uidl + Quit();
}
const std::string kTwoIds = "C: UIDL\nS: +OK\nS: 1 premier\nS: 2 second\nS: .\n";
struct GuardCase {
    const char* name;
    std::string scan;      // two messages with the header kA
    std::string deletion;  // the deletion session, after the log-in
    bool deleted;
};
const GuardCase kGuards[] = {
    {"same_header_other_size", ScanWithIds("", {100, 200}, ""), Top(1, kA) + List(1, 200) + Quit(), false},
    {"same_header_and_size_other_id", ScanWithIds("S: UIDL\n", {100, 100}, kTwoIds),
     Top(1, kA) + List(1, 100) + "C: UIDL 1\nS: +OK 1 second\n" + Quit(), false},
    {"id_no_longer_given", ScanWithIds("S: UIDL\n", {100, 100}, kTwoIds),
     Top(1, kA) + List(1, 100) + "C: UIDL 1\nS: -ERR non\n" + Quit(), false},
    {"header_size_and_id_equal", ScanWithIds("S: UIDL\n", {100, 100}, kTwoIds),
     Top(1, kA) + List(1, 100) + "C: UIDL 1\nS: +OK 1 premier\n" + Dele(1) + Quit(), true},
    {"message_gone_from_the_server", ScanWithIds("", {100, 100}, ""),
     "C: TOP 1 0\nS: -ERR no such message\n" + Quit(), false},
    {"ids_refused_at_the_scan", ScanWithIds("S: UIDL\n", {100, 100}, "C: UIDL\nS: -ERR non\n"),
     Top(1, kA) + List(1, 100) + Dele(1) + Quit(), true},
};
class DeletionGuard : public MailboxFixture, public testing::WithParamInterface<GuardCase> {};
TEST_P(DeletionGuard, HeaderSizeAndUniqueIdMustAllMatch) {
    UseLists("", "");
    ScriptedPop3Server server(GetParam().scan + kNext + ScanLogin() + GetParam().deletion + kNext +
                              ScanOf({kA}));
    UseServer(server);
    screener.Scan();
    screener.Delete(1);
    server.ExpectFinished();
    const Lines refused{Shown("message", texts::kDeleteRefusedChanged, 1)};
    EXPECT_EQ(window.dialogs.shown, GetParam().deleted ? Lines{} : refused);
}
INSTANTIATE_TEST_SUITE_P(Table, DeletionGuard, testing::ValuesIn(kGuards),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
