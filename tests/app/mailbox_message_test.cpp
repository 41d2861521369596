#include <gtest/gtest.h>

#include "app/texts.h"
#include "mailbox_script.h"
#include "platform/text.h"
#include "platform/text_format.h"

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
    return std::string(kind) + ": " + FormatText(Ansi(pattern), {IntToStr(number)});
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
    ScriptedPop3Server server(Login() + Retr(1, kMultipart) + Quit());
    UseServer(server);
    window.preview.lines = {"old"};
    EXPECT_TRUE(screener.Preview().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines,
              (Lines{"Anne <anne@example.fr>", "Bruno <bruno@example.fr>, chloe@example.fr",
                     "Nombre de parties : 2", "Voici la photo, \xE0 bient\xF4t.",
                     Ansi("Pièce jointe : photo.jpg")}));
    EXPECT_TRUE(window.dialogs.shown.empty());
}

TEST_F(MailboxFixture, PreviewOfPlainMessage) {
    ScriptedPop3Server server(Login() + Retr(1, kA + "\nTo: moi@example.fr\n\nBonjour,\n.point\n\nAnne\n") +
                              Quit());
    UseServer(server);
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines, (Lines{"Anne <anne@example.fr>", "moi@example.fr",
                                           "Nombre de parties : 0", "Bonjour,", ".point", "", "Anne"}));
}

TEST_F(MailboxFixture, PreviewOfRefusedNumberShowsThreeLines) {
    ScriptedPop3Server server(Login() + "C: RETR 1\nS: -ERR no such message\n" + Quit());
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
    ScriptedPop3Server server(ScanOf({kA, kB}) + kNext + Login() +
                              Retr(2, GetParam().retrieved + "\n\ncorps\n") + Quit());
    UseServer(server);
    screener.Scan();
    window.grid.current = 2;
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.preview.lines.back(), "corps");
    Lines expected;
    if (GetParam().warned) expected.push_back("warning: " + Ansi(texts::kPreviewChanged));
    EXPECT_EQ(window.dialogs.shown, expected);
}
INSTANTIATE_TEST_SUITE_P(Table, PreviewGuard, testing::ValuesIn(kPreviewGuards),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, PreviewPastTheScannedRowsWarnsWhenAMessageIsThere) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA}) + kNext + Login() + Retr(2, kB + "\n\nx\n") + Quit());
    UseServer(server);
    screener.Scan();
    window.grid.current = 2;
    screener.Preview();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{"warning: " + Ansi(texts::kPreviewChanged)});
}

TEST_F(MailboxFixture, DeletingRowThreeOfFiveRenumbers) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kA, kB, kC, kD, kE}) + kNext + Login() + Top(3, kC) + Dele(3) + Quit() +
                              kNext + ScanOf({kA, kB, kD, kE}));
    UseServer(server);
    screener.Scan();
    window.grid.current = 3;
    EXPECT_TRUE(screener.DeleteCurrent().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(),
              (Lines{"1|Anne|Un|100|", "2|Bruno|Deux|200|", "3|David|Quatre|300|", "4|Emma|Cinq|400|"}));
    EXPECT_TRUE(window.dialogs.shown.empty());
}

TEST_F(MailboxFixture, DeleteRefusedWhenTheMessageChanged) {
    UseLists("", "");
    // Another client deleted message 1: message 1 is now Bruno's.
    ScriptedPop3Server server(ScanOf({kA, kB}) + kNext + Login() + Top(1, kB) + Quit() + kNext +
                              ScanOf({kB}));
    UseServer(server);
    screener.Scan();
    window.grid.current = 1;
    screener.DeleteCurrent();
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
    ScriptedPop3Server server(ScanOf({kA}) + kNext + Login() + Top(1, kA) + "C: DELE 1\nS: -ERR verrou\n" +
                              Quit() + kNext + ScanOf({kA}));
    UseServer(server);
    screener.Scan();
    screener.DeleteCurrent();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, Lines{"error: Impossible de se connecter au serveur"});
    EXPECT_EQ(Rows(), Lines{"1|Anne|Un|100|"});
}

}  // namespace
