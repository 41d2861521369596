// vannoir-cli for scripts: exit statuses from their causes, quiet and
// verbose runs, and output no sender can forge.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "cli_fixture.h"
#include "json_reader.h"
#include "platform/lock_file.h"
#include "support/loopback.h"

namespace {

using namespace cli_test;

const std::string kRefusedLogIn = RefusedLogin("-ERR mauvais mot de passe") + kQuit;

// What stands in the installation while the run goes: a lock held by
// "another run", a folder where a file should be.
using Setup = std::unique_ptr<LockFile> (*)(const std::filesystem::path& dir);
std::unique_ptr<LockFile> Nothing(const std::filesystem::path&) { return nullptr; }
std::unique_ptr<LockFile> AnotherRun(const std::filesystem::path& dir) {
    auto lock = std::make_unique<LockFile>(dir / "vannoir.VERROU", 0);
    EXPECT_TRUE(lock->Held());
    return lock;
}
std::unique_ptr<LockFile> JournalIsAFolder(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "Liste" / "Supprimes.LOG");
    return nullptr;
}

struct ExitCase {
    const char* name;
    Lines args;
    Setup setup;
    std::string script;  // empty: nothing listens on the port
    int status;
    std::string said;  // on the error stream
    bool connects;
};
const ExitCase kExits[] = {
    {"server_refuses_log_in", {"en-tetes"}, Nothing, kRefusedLogIn, 1, "mauvais mot de passe\n", true},
    {"slot_not_configured",
     {"en-tetes", "--compte", "5"},
     Nothing,
     "",
     3,
     "Le compte 5 n'est pas configur\xC3\xA9",
     false},
    {"connection_refused", {"apercu", "1"}, Nothing, "", 4, "Impossible de se connecter au serveur\n", true},
    {"another_run_on_the_same_settings",
     {"supprimer", "1"},
     AnotherRun,
     "",
     4,
     "Une autre session de Vannoir agit d\xC3\xA9j\xC3\xA0 sur cette bo\xC3\xAEte aux lettres",
     false},
    // A purge writing its copies holds the lock: "vider" waits for it.
    {"corbeille_emptied_while_another_run_holds_the_lock",
     {"corbeille", "vider"},
     AnotherRun,
     "",
     4,
     "Une autre session de Vannoir agit d\xC3\xA9j\xC3\xA0 sur cette bo\xC3\xAEte aux lettres",
     false},
    {"deleted_but_journal_not_written",
     {"en-tetes", "--purger"},
     JournalIsAFolder,
     ScanLogin() + Stats(1, 4) + Message(1, kSpam, 100) + Stat(1) + Dele(1) + kQuit,
     6,
     "journal des suppressions",
     true},
};
class CliExit : public CliFixture, public testing::WithParamInterface<ExitCase> {};
TEST_P(CliExit, StatusFromItsCause) {
    std::unique_ptr<LockFile> held = GetParam().setup(dir.Path());
    int status = -1;
    if (GetParam().script.empty()) {
        status = Run(GetParam().args, UnusedLoopbackPort());
    } else {
        ScriptedPop3Server server(GetParam().script);
        status = Run(GetParam().args, server);
        server.ExpectFinished();
    }
    EXPECT_EQ(status, GetParam().status);
    EXPECT_NE(err.str().find(GetParam().said), std::string::npos) << err.str();
    if (!GetParam().connects) {
        EXPECT_EQ(err.str().find("Connexion"), std::string::npos)
            << "said before any connection: " << err.str();
    }
}
INSTANTIATE_TEST_SUITE_P(Table, CliExit, testing::ValuesIn(kExits),
                         [](const auto& info) { return std::string(info.param.name); });

// A scan kept out by another run does not wipe the record a deletion is
// checked against.
TEST_F(CliFixture, ARunKeptOutByTheLockLeavesTheRecord) {
    ScriptedPop3Server server(ScanOf({kSpam, kZoe}) + kNext + ScanLogin() + Top(2, kZoe) + List(2, 200) +
                              Dele(2) + kQuit + kNext + ScanOf({kSpam}));
    ASSERT_EQ(Run({"en-tetes"}, server), 0);
    {
        LockFile other(dir / "vannoir.VERROU", 0);
        EXPECT_EQ(Run({"en-t\xC3\xAAtes"}, server), 4);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(Run({"supprimer", "2"}, server), 0) << err.str();
    server.ExpectFinished();
}

// Quiet runs say nothing unless they fail, and then all of it; verbose runs
// show the commands, never the password.
struct SpeechCase {
    const char* name;
    Lines args;
    std::string script;
    int status;
    Lines said, unsaid;
};
const SpeechCase kSpeech[] = {
    {"quiet_success", {"en-tetes", "-q"}, ScanOf({kZoe}), 0, {}, {"Connexion", "Connect"}},
    {"quiet_failure_tells_all",
     {"en-tetes", "--silencieux"},
     kRefusedLogIn,
     1,
     {"Connexion \xC3\xA0 127.0.0.1.\n", "Impossible de se connecter au serveur\nmauvais mot de passe\n"},
     {}},
    {"verbose_shows_commands",
     {"en-tetes", "-v"},
     ScanOf({kZoe}),
     0,
     {"Connexion \xC3\xA0 127.0.0.1.\n", "> USER anne\n", "> PASS ****\n", "> CAPA\n", "> TOP 1 0\n",
      "> QUIT\n"},
     {"secret"}},
    {"default_shows_no_command", {"en-tetes"}, ScanOf({kZoe}), 0, {"Connexion"}, {"> USER"}},
};
class CliSpeech : public CliFixture, public testing::WithParamInterface<SpeechCase> {};
TEST_P(CliSpeech, OnTheErrorStream) {
    ScriptedPop3Server server(GetParam().script);
    EXPECT_EQ(Run(GetParam().args, server), GetParam().status);
    server.ExpectFinished();
    const std::string e = err.str();
    if (GetParam().said.empty()) {
        EXPECT_EQ(e, "");
    }
    for (const std::string& text : GetParam().said)
        EXPECT_NE(e.find(text), std::string::npos) << text << "\n" << e;
    for (const std::string& text : GetParam().unsaid)
        EXPECT_EQ(e.find(text), std::string::npos) << text << "\n" << e;
}
INSTANTIATE_TEST_SUITE_P(Table, CliSpeech, testing::ValuesIn(kSpeech),
                         [](const auto& info) { return std::string(info.param.name); });

// A sender puts tabs, line ends and escapes in every header field it
// controls: the TSV keeps one line of six fields per message, the JSON
// reads back to the same values.
const std::string kForged =
    "From: =?ISO-8859-1?Q?Eve=09x=0A3=09faux=1B[31m?= <eve@x.fr>\n"
    "Subject: =?UTF-8?Q?a=09b=0D=0A9=09F=1B]0;t=07?=\n"
    "Date: Fri, 07 Sep 2001 10:05:30 +0200";
const std::string kNameless = "From: <promo@soldes.example>\nSubject: Soldes";
const std::string kRawControls = "From: <ev\x1B[2Je\x7F@x.fr>\nSubject: raw\ttab\x9D";
const std::string kQuotedAddress = "From: \"a@b.fr\" <a@b.fr>\nSubject: q";
const std::string kUnreadable = "From: <a@b.fr>\x1B[2J c@d.fr\nSubject: u\nDate: demain";
const std::string kTwoSenders = "From: Bob <bob@x.test>, Bobby <bobby@x.test>\nSubject: deux";
const std::string kTwoSendersGlued = "From: Bob <bob@x.test> Bobby <bobby@x.test>\nSubject: deux";
const std::string kUnreadableAccents = "From: Ren\xE9 <a@b.fr> c@d.fr\nSubject: caf\xE9";

std::vector<Lines> TsvRows(const std::string& text) {
    std::vector<Lines> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        Lines fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (line.ends_with('\t')) fields.push_back("");
        rows.push_back(fields);
    }
    return rows;
}

bool HasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\t' && c != '\n') || b == 0x7F;
    });
}

// The UTF-8 text a TSV field gives for a value: each control (a C1 control
// is two bytes) becomes a space.
std::string AsTsvField(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool c1 = b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) ++i;
        out += b < 0x20 || b == 0x7F || c1 ? ' ' : text[i];
    }
    return out;
}

TEST_F(CliFixture, ForgedHeadersStayInTheirFields) {
    const std::vector<std::string> headers = {kForged,           kZoe,        kNameless,   kRawControls,
                                              kQuotedAddress,    kUnreadable, kTwoSenders, kTwoSendersGlued,
                                              kUnreadableAccents};
    ScriptedPop3Server server(ScanOf(headers) + kNext + ScanOf(headers));
    ASSERT_EQ(Run({"en-tetes"}, server), 0);
    const std::string tsv = out.str();
    EXPECT_TRUE(err.str().ends_with("\n2 messages illisibles\n")) << err.str();
    ASSERT_EQ(Run({"en-tetes", "--format=json"}, server), 0);
    server.ExpectFinished();
    const std::string json = out.str();

    EXPECT_FALSE(HasControl(tsv)) << tsv;
    const std::vector<Lines> rows = TsvRows(tsv);
    ASSERT_EQ(rows.size(), headers.size()) << tsv << err.str();
    for (const Lines& row : rows) EXPECT_EQ(row.size(), 8u) << tsv;

    EXPECT_FALSE(HasControl(json)) << json;
    const JsonValue parsed = JsonReader::Parse(json);
    ASSERT_EQ(parsed.items.size(), headers.size()) << json;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const JsonValue& o = parsed.items[i];
        const std::string& name = o["expediteur"].text;
        EXPECT_EQ(IntToStr(o["numero"].number), rows[i][0]);
        EXPECT_EQ(AsTsvField(name.empty() ? o["adresse"].text : name), rows[i][2]);
        EXPECT_EQ(AsTsvField(o["sujet"].text), rows[i][3]);
        EXPECT_EQ(IntToStr(o["taille"].number), rows[i][4]);
        EXPECT_EQ(o["statut"].text, rows[i][5]);
        EXPECT_EQ(o["authentification"].text, rows[i][6]);
    }
    const JsonValue& forged = parsed.items[0];
    EXPECT_EQ(forged["sujet"].text, "a\tb\r\n9\tF\x1B]0;t\x07");
    EXPECT_EQ(forged["adresse"].text, "eve@x.fr");
    EXPECT_EQ(forged["date"].text, "2001-09-07T10:05:30+02:00");
    EXPECT_EQ(parsed.items[1]["date"].type, JsonValue::Type::Null) << "no Date header: no 1899";
    EXPECT_EQ(parsed.items[1]["expediteur"].text, "Zo\xC3\xA9");
    EXPECT_EQ(parsed.items[1]["statut"].text, "A");
    EXPECT_EQ(parsed.items[2]["expediteur"].text, "") << "nameless";
    EXPECT_EQ(parsed.items[2]["adresse"].text, "promo@soldes.example");
    EXPECT_EQ(rows[3][2], "ev [2Je @x.fr");
    EXPECT_EQ(rows[3][3], "raw tab ");
    EXPECT_EQ(parsed.items[4]["expediteur"].text, "a@b.fr") << "a name that looks like its address";
    const JsonValue& unreadable = parsed.items[5];
    EXPECT_EQ(unreadable["erreur"].text, "En-t\xC3\xAAte From illisible : Adresse ext\xC3\xA9rieure @");
    EXPECT_EQ(unreadable["adresse"].text, "a@b.fr");
    EXPECT_EQ(unreadable["date"].type, JsonValue::Type::Null);
    EXPECT_EQ(rows[5][1], "") << "an unreadable date is an empty cell";
    EXPECT_EQ(parsed.items[0].fields.count("erreur"), 0u) << "only on a row not read through";
    // Two mailboxes, with or without the comma: the first is the sender, all are listed.
    for (std::size_t i : {6u, 7u}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(parsed.items[i]["expediteur"].text, "Bob");
        EXPECT_EQ(parsed.items[i]["adresse"].text, "bob@x.test");
        ASSERT_EQ(parsed.items[i]["adresses"].items.size(), 2u);
        EXPECT_EQ(parsed.items[i]["adresses"].items[0].text, "bob@x.test");
        EXPECT_EQ(parsed.items[i]["adresses"].items[1].text, "bobby@x.test");
    }
    EXPECT_EQ(parsed.items[8]["expediteur"].text, "Ren\xC3\xA9 <a@b.fr> c@d.fr");
    EXPECT_EQ(parsed.items[8]["sujet"].text, "caf\xC3\xA9");
}

// Results that cannot be written (a full disk) fail the run, even a quiet one.
TEST_F(CliFixture, UnwritableResultsExitWithSix) {
    ScriptedPop3Server server(ScanOf({kZoe}));
    std::ostream nowhere(nullptr);
    CliOptions options = ParseCliArguments({"en-tetes", "-q", "--port", IntToStr(server.Port())});
    EXPECT_EQ(RunCli(options, dir.Path(), nowhere, err), 6);
    server.ExpectFinished();
    EXPECT_NE(err.str().find("impossible d'\xC3\xA9\x63rire les r\xC3\xA9sultats sur la sortie standard"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("Connexion"), std::string::npos) << "the quiet run tells all once it failed";
}

const std::string kWithAttachment =
    "From: Eve <eve@x.fr>\nSubject: =?UTF-8?Q?pi=C3=A8ce=1B[2J?=\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: text/plain\n\n"
    "Bonjour \x1B[2J\x9D"
    "fin\x07ici\n--b\nContent-Type: application/octet-stream; name=\"a.bin\"\n"
    "Content-Disposition: attachment; filename=\"a.bin\"\nContent-Transfer-Encoding: base64\n\nAAEC\n--b--\n";

TEST_F(CliFixture, PreviewShowsControlsVisiblyOrInJson) {
    const std::string retr = ScanLogin() + "C: RETR 1\n" + MultiLineReply("+OK", kWithAttachment) + kQuit;
    ScriptedPop3Server server(retr + kNext + retr);
    ASSERT_EQ(Run({"aper\xC3\xA7u", "1"}, server), 0);
    const std::string text = out.str();
    ASSERT_EQ(Run({"apercu", "1", "--format", "json"}, server), 0);
    server.ExpectFinished();
    const std::string json = out.str();

    EXPECT_EQ(text.find('\x1B'), std::string::npos) << text;
    EXPECT_NE(text.find("Bonjour ^[[2JM-^]fin^Gici\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Pi\xC3\xA8"
                        "ce jointe : a.bin\n"),
              std::string::npos)
        << text;

    EXPECT_FALSE(HasControl(json)) << json;
    const JsonValue preview = JsonReader::Parse(json);
    EXPECT_EQ(preview["numero"].number, 1);
    ASSERT_EQ(preview["pieces_jointes"].items.size(), 1u) << json;
    EXPECT_EQ(preview["pieces_jointes"].items[0].text, "a.bin");
    const auto& lines = preview["lignes"].items;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const JsonValue& l) {
        return l.text ==
               "Bonjour \x1B[2J\xC2\x9D"
               "fin\x07ici";
    })) << json;
}

}  // namespace
