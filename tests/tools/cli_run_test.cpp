#include "tools/cli_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli_fixture.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "support/run_command.h"
#include "support/spam_training.h"

namespace {

using namespace cli_test;

TEST_F(CliFixture, HeadersPrintsRowsInUtf8AndStatusOnStandardError) {
    ScriptedPop3Server server(ScanOf({kSpam, kZoe}));
    EXPECT_EQ(Run({"en-tetes"}, server), 0);
    server.ExpectFinished();
    EXPECT_EQ(WithoutDates(out.str()), (Lines{"1\tSpam\tPromo\t100\tI\tinconnue\t",
                                              "2\tZo\xC3\xA9\tCaf\xC3\xA9\t200\tA\tinconnue\t"}));
    const std::string e = err.str();
    EXPECT_NE(e.find("Connexion \xC3\xA0 127.0.0.1.\n"), std::string::npos) << e;
    EXPECT_NE(e.find("2 messages sur le serveur\n"), std::string::npos) << e;
    EXPECT_NE(e.find("Voulez-vous d\xC3\xA9truire le message intrus ? Non\n"), std::string::npos) << e;
    EXPECT_TRUE(std::filesystem::exists(dir / "vannoir.RELEVE"));
}

// Accounts 1 to 3 on one scripted server, the second refused: the others
// still run, its error is told with its number, and the status is its own.
// Account 4, without a password, is passed over with a note.
TEST_F(CliFixture, AllAccountsInTurnOneFailing) {
    const auto accountsOn = [&](int port) {
        std::string ini = "[Form]\r\nCorbeille=0\r\n";
        for (const std::string slot : {"1", "2", "3"})
            ini += "Serveur" + slot + "=127.0.0.1\r\nNom" + slot + "=anne\r\nPasse" + slot + "=" +
                   ScramblePassword("secret") + "\r\nPort" + slot + "=" + IntToStr(port) + "\r\n";
        ini += "Serveur4=127.0.0.1\r\nNom4=anne\r\n";
        PutFile(dir / "vannoir.INI", ini);
    };
    const std::string refused = RefusedLogin("-ERR non") + kQuit;
    const std::string script = ScanOf({kSpam}) + kNext + refused + kNext + ScanOf({kZoe});
    CliOptions options = ParseCliArguments({"en-tetes", "--compte", "tous"});
    options.lockWaitMs = 300;

    ScriptedPop3Server tsv(script);
    accountsOn(tsv.Port());
    EXPECT_EQ(RunCli(options, dir.Path(), out, err), 1);
    tsv.ExpectFinished();
    EXPECT_EQ(
        out.str(),
        "1\t1\t\tSpam\tPromo\t100\tI\tinconnue\t\n3\t1\t\tZo\xC3\xA9\tCaf\xC3\xA9\t100\tA\tinconnue\t\n");
    EXPECT_NE(err.str().find("Compte 2 : Impossible de se connecter au serveur\nCompte 2 : non\n"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("Compte 4 : incomplet, il manque le mot de passe\n"), std::string::npos)
        << err.str();

    ScriptedPop3Server json(script);
    accountsOn(json.Port());
    out.str("");
    options.format = CliFormat::Json;
    EXPECT_EQ(RunCli(options, dir.Path(), out, err), 1);
    json.ExpectFinished();
    const std::string o = out.str();
    EXPECT_EQ(o.substr(0, 37), "[\n{\"compte\":1,\"lignes\":[\n{\"numero\":1,") << o;
    EXPECT_NE(
        o.find("\n{\"compte\":2,\"lignes\":[],\"erreur\":\"Impossible de se connecter au serveur\\nnon\"}"),
        std::string::npos)
        << o;
    EXPECT_NE(o.find("\"erreur\":null}\n]\n"), std::string::npos) << o;
}

TEST_F(CliFixture, HeadersPurgeAnswersYes) {
    ScriptedPop3Server server(ScanLogin() + Stats(2, 4) + Message(1, kSpam, 100) + Message(2, kZoe, 200) +
                              Stat(2) + Dele(1) + kQuit);
    EXPECT_EQ(Run({"en-tetes", "--purger"}, server), 0);
    server.ExpectFinished();
}

TEST_F(CliFixture, FailureGivesBoxTextThenCause) {
    ScriptedPop3Server server(RefusedLogin("-ERR mauvais mot de passe") + kQuit);
    EXPECT_EQ(Run({"en-tetes"}, server), 1);
    server.ExpectFinished();
    EXPECT_NE(err.str().find("Impossible de se connecter au serveur\nmauvais mot de passe\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliFixture, DeleteIsGuardedByTheLastScan) {
    ScriptedPop3Server server(ScanOf({kSpam, kZoe}) + kNext + ScanLogin() + Message(2, kZoe, 200) + Dele(2) +
                              kQuit + kNext + ScanOf({kSpam}));
    ASSERT_EQ(Run({"en-tetes"}, server), 0);
    EXPECT_EQ(Run({"supprimer", "2"}, server), 0);
    server.ExpectFinished();
    EXPECT_EQ(WithoutDates(out.str()), Lines{"1\tSpam\tPromo\t100\tI\tinconnue\t"});
}

TEST_F(CliFixture, DeleteOfAChangedMessageDeletesNothing) {
    ScriptedPop3Server server(ScanOf({kSpam, kZoe}) + kNext + ScanLogin() + Top(1, kZoe) + kQuit + kNext +
                              ScanOf({kZoe}));
    ASSERT_EQ(Run({"en-tetes"}, server), 0);
    EXPECT_EQ(Run({"supprimer", "1"}, server), 5);
    server.ExpectFinished();
    EXPECT_NE(err.str().find("Rien n'a \xC3\xA9t\xC3\xA9 supprim\xC3\xA9"), std::string::npos) << err.str();
}

// The record carries the unique ids from one run to the next: two messages
// with the same header and size are told apart by them.
TEST_F(CliFixture, DeleteComparesTheUniqueIdKeptFromTheScan) {
    const std::string scan = LoginWithCapa("C: CAPA\nS: +OK\nS: UIDL\nS: PIPELINING\nS: .\n") + Stats(2, 4) +
                             Message(1, kSpam, 100) + Message(2, kSpam, 100) +
                             "C: UIDL\nS: +OK\nS: 1 premier\nS: 2 second\nS: .\n" + kQuit;
    ScriptedPop3Server server(scan + kNext + ScanLogin() + Top(1, kSpam) + List(1, 100) +
                              "C: UIDL 1\nS: +OK 1 second\n" + kQuit + kNext + ScanOf({kSpam}));
    ASSERT_EQ(Run({"en-tetes"}, server), 0);
    EXPECT_EQ(Run({"supprimer", "1"}, server), 5);
    server.ExpectFinished();
    EXPECT_NE(err.str().find("Rien n'a \xC3\xA9t\xC3\xA9 supprim\xC3\xA9"), std::string::npos) << err.str();
}

struct NoRecordCase {
    const char* name;
    Lines firstRun;     // empty: no scan before
    std::string first;  // the first run's conversation
    std::string file;   // the record file before, when not empty
};
const NoRecordCase kNoRecords[] = {
    {"never_scanned", {}, "", ""},
    {"scanned_as_another_user",
     {"en-tetes", "--utilisateur", "bob"},
     "S: +OK ready\n" + Capa() + "C: USER bob\nS: +OK\nC: PASS secret\nS: +OK\n" + Capa() + Stats(1, 4) +
         Message(1, kSpam, 100) + kQuit + kNext,
     ""},
    {"scanned_other_account", {"en-tetes", "--compte", "2"}, ScanOf({kSpam}) + kNext, ""},
    // Earlier versions kept header lines, which no longer guard a deletion.
    {"record_of_an_earlier_version",
     {},
     "",
     "[Compte 1]\r\nBoite\t127.0.0.1\t110\tanne\r\nLigne\t1\t\tSpam\tPromo\t100\tI\r\n"
     "En-tete\tFrom: Spam <s@pub.example>\r\nEn-tete\tSubject: Promo\r\n"},
};
class CliNoRecord : public CliFixture, public testing::WithParamInterface<NoRecordCase> {};
TEST_P(CliNoRecord, DeleteAsksForAScanFirst) {
    PutFile(dir / "vannoir.INI",
            FileBytes(dir / "vannoir.INI") +
                "Serveur2=127.0.0.1\r\nNom2=anne\r\nPasse2=" + ScramblePassword("secret") + "\r\n");
    ScriptedPop3Server server(GetParam().first + ScanOf({kSpam}));
    if (!GetParam().firstRun.empty()) Run(GetParam().firstRun, server);
    if (!GetParam().file.empty()) {
        std::string file = GetParam().file;
        file.replace(file.find("\t110\t"), 5, "\t" + IntToStr(server.Port()) + "\t");
        PutFile(dir / "vannoir.RELEVE", file);
    }
    EXPECT_EQ(Run({"supprimer", "1"}, server), 5) << "the same remedy as a changed mailbox: scan again";
    server.ExpectFinished();  // no DELE, only the scan that follows
    EXPECT_NE(err.str().find("consultez d'abord les en-t\xC3\xAAtes"), std::string::npos) << err.str();
    EXPECT_EQ(WithoutDates(out.str()), Lines{"1\tSpam\tPromo\t100\tI\tinconnue\t"});
}
INSTANTIATE_TEST_SUITE_P(Table, CliNoRecord, testing::ValuesIn(kNoRecords),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliFixture, PreviewPrintsPaneLines) {
    ScriptedPop3Server server(ScanLogin() + "C: RETR 1\n" +
                              MultiLineReply("+OK", kZoe + "\nTo: a@b.fr\n\nBonjour\n") + kQuit);
    EXPECT_EQ(Run({"apercu", "1"}, server), 0);
    server.ExpectFinished();
    // A name with a letter outside ASCII is quoted in the address text.
    EXPECT_EQ(out.str(), "\"Zo\xC3\xA9\" <z@example.fr>\na@b.fr\nNombre de parties : 0\nBonjour\n");
}

TEST_F(CliFixture, PreviewOfAMissingNumberFails) {
    ScriptedPop3Server server(ScanLogin() + "C: RETR 9\nS: -ERR no such message\n" + kQuit);
    EXPECT_EQ(Run({"apercu", "9"}, server), 1);
    server.ExpectFinished();
    EXPECT_EQ(out.str(), "\n\nNombre de parties : 0\n");
    EXPECT_NE(err.str().find("Le serveur n'a pas de message 9.\n"), std::string::npos) << err.str();
}

// A scheduled purge never runs on half its lists: the intruder list alone
// would delete what the window would not even mark.
TEST_F(CliFixture, UnreadableListStopsBeforeConnecting) {
    std::filesystem::remove(dir / "Liste" / "Amis.TXT");
    EXPECT_EQ(RunCli(ParseCliArguments({"en-tetes", "--purger"}), dir.Path(), out, err), 6);
    EXPECT_EQ(err.str().find("Connexion"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Impossible d'ouvrir le fichier"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

// Block a domain from the command line, see what it catches, purge, read
// the journal back.
TEST_F(CliFixture, ListsJournalAndADomainBlocked) {
    const std::string kPromo = "From: <promo@mail.soldes.example>\nSubject: Soldes";
    // These commands read and write files only.
    auto Files = [this](const Lines& args) {
        out.str("");
        err.str("");
        return RunCli(ParseCliArguments(args), dir.Path(), out, err);
    };
    EXPECT_EQ(Files({"journal"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Aucune suppression"), std::string::npos) << err.str();

    EXPECT_EQ(Files({"intrus", "ajouter", "*.Soldes.example "}), 0);
    EXPECT_EQ(Files({"intrus", "ajouter", "SPAM"}), 0) << "already there: nothing to do";
    EXPECT_EQ(Files({"amis", "ajouter", "Andr\xC3\xA9"}), 0);
    EXPECT_EQ(FileBytes(dir / "Liste" / "Intrus.TXT"), "Spam\r\n*.Soldes.example\r\n");
    EXPECT_EQ(FileBytes(dir / "Liste" / "Amis.TXT"), "Zo\xE9\r\nAndr\xE9\r\n") << "kept in Windows-1252";
    EXPECT_EQ(Files({"intrus", "ajouter", "  "}), 1);
    EXPECT_NE(err.str().find("Aucun exp\xC3\xA9\x64iteur"), std::string::npos) << err.str();
    // What a lost charset left would catch every sender it lost alike.
    EXPECT_EQ(Files({"intrus", "ajouter", "???"}), 1);
    EXPECT_NE(err.str().find("entrée illisible"), std::string::npos) << err.str();
    EXPECT_EQ(Files({"intrus", "ajouter", "\uFFFD ?"}), 1);
    EXPECT_EQ(FileBytes(dir / "Liste" / "Intrus.TXT"), "Spam\r\n*.Soldes.example\r\n");
    EXPECT_EQ(Files({"intrus", "retirer", "spam"}), 0);
    EXPECT_EQ(Files({"intrus", "retirer", "spam"}), 1);
    EXPECT_EQ(Files({"amis"}), 0);
    EXPECT_EQ(out.str(), "Zo\xC3\xA9\nAndr\xC3\xA9\n");

    ScriptedPop3Server server(ScanOf({kSpam, kPromo}) + kNext + ScanLogin() + Stats(2, 4) +
                              Message(1, kSpam, 100) + Message(2, kPromo, 200) + Stat(2) + Dele(2) + kQuit);
    EXPECT_EQ(Run({"en-tetes"}, server), 0);
    EXPECT_EQ(WithoutDates(out.str()), (Lines{"1\tSpam\tPromo\t100\t\tinconnue\t",
                                              "2\tpromo@mail.soldes.example\tSoldes\t200\tI\tinconnue\t"}));
    EXPECT_NE(err.str().find("Voulez-vous d\xC3\xA9truire le message intrus ? Non\n"), std::string::npos);
    EXPECT_EQ(Run({"en-tetes", "--purger"}, server), 0);
    server.ExpectFinished();
    EXPECT_EQ(Files({"journal"}), 0);
    Lines journal = WithoutDates(out.str());
    ASSERT_EQ(journal.size(), 1u) << out.str();
    EXPECT_TRUE(
        journal[0].ends_with("\tpromo@mail.soldes.example\tSoldes\t200\tpurge des intrus\tnon conservé : "
                             "corbeille désactivée\tinconnue"))
        << journal[0];
}

// A record that cannot be kept is said at once: a later deletion would be
// refused without it.
TEST_F(CliFixture, UnwritableRecordExitsWithSix) {
    std::filesystem::create_directory(dir / "vannoir.RELEVE");
    ScriptedPop3Server server(ScanOf({kSpam, kZoe}));
    EXPECT_EQ(Run({"en-tetes"}, server), 6);
    server.ExpectFinished();
    EXPECT_EQ(WithoutDates(out.str()), (Lines{"1\tSpam\tPromo\t100\tI\tinconnue\t",
                                              "2\tZo\xC3\xA9\tCaf\xC3\xA9\t200\tA\tinconnue\t"}));
    const std::string e = err.str();
    EXPECT_NE(e.find("Impossible d'\xC3\xA9\x63rire dans " + (dir / "vannoir.RELEVE").string() + "\n"),
              std::string::npos)
        << e;
    EXPECT_NE(e.find("commande \xC2\xAB supprimer \xC2\xBB sur ce compte sera refus\xC3\xA9\x65"),
              std::string::npos)
        << e;
}

// A server that never ends a header ends the scan, not the memory.
TEST_F(CliFixture, EndlessHeaderEndsTheScan) {
    // The header goes on past the bound and the server then waits: the
    // client's QUIT is not answered, so nothing races with its close.
    std::string script = ScanLogin() + Stats(1, 4) + "C: TOP 1 0\nS: +OK\n";
    for (int i = 0; i <= 10000; ++i) script += "S: X-A: 1\n";
    ScriptedPop3Server server(script + "C: LIST 1\nC: QUIT\n");
    EXPECT_EQ(Run({"en-tetes"}, server), 1);
    server.ExpectFinished();
    EXPECT_NE(
        err.str().find("Impossible de se connecter au serveur\nEn-t\xC3\xAAte de message trop volumineux"),
        std::string::npos)
        << err.str().substr(0, 2000);
}

// A byte 0 in the server's reply does not cut the cause short; it and an
// escape reach the terminal only as visible text.
TEST_F(CliFixture, CauseKeepsTextAfterAByteZero) {
    ScriptedPop3Server server(RefusedLogin("-ERR mauvais\\x00mot\\x1B[2J de passe") + kQuit);
    EXPECT_EQ(Run({"en-tetes"}, server), 1);
    server.ExpectFinished();
    EXPECT_NE(err.str().find("mauvais^@mot^[[2J de passe\n"), std::string::npos) << err.str();
}

// The program itself: usage and exit codes.
int RunProgram(const std::string& args, std::string& output) {
    return RunCommand(std::string(VANNOIR_CLI_PATH) + " " + args + " 2>&1", output);
}

struct ProgramCase {
    const char* name;
    const char* args;
    int status;
    const char* output;
};
const ProgramCase kPrograms[] = {
    {"help", "--aide", 0,
     "Usage :\n  vannoir-cli en-tetes [--compte N|tous] [--purger|--purger-suspects] [--tout-relire] "
     "[--format "
     "tsv|json]\n"},
    {"help_short", "-h", 0, "Usage :\n"},
    {"version", "--version", 0, "vannoir-cli 1.02\n"},
    {"no_command", "", 2,
     "vannoir-cli : commande manquante (\xC2\xAB vannoir-cli --aide \xC2\xBB pour l'usage)\n"},
    {"bad_number", "apercu zero", 2,
     "vannoir-cli : NUM : \xC2\xAB zero \xC2\xBB n'est pas un nombre de 1 \xC3\xA0 2147483647 (\xC2\xAB "
     "vannoir-cli "
     "--aide \xC2\xBB pour l'usage)\n"},
    // The error line cannot be written either: the status says it all.
    {"output_to_a_full_disk", "--version >/dev/full", 6, ""},
};
class Program : public testing::TestWithParam<ProgramCase> {};
TEST_P(Program, ExitsWithStatus) {
    std::string output;
    EXPECT_EQ(RunProgram(GetParam().args, output), GetParam().status);
    EXPECT_EQ(output.rfind(GetParam().output, 0), 0u) << output;
    if (GetParam().status == 2) {
        EXPECT_EQ(output, GetParam().output) << "one line only";
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Program, testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// HOME and WINEPREFIX pointing into a folder for one test.
class ScopedHome {
public:
    explicit ScopedHome(const std::filesystem::path& home) {
        for (const char* name : {"HOME", "WINEPREFIX"})
            if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("WINEPREFIX", (home / "sans-prefixe").c_str(), 1);
    }
    ~ScopedHome() {
        ::unsetenv("HOME");
        ::unsetenv("WINEPREFIX");
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(CliFixture, ImportFillsFreeSlotsFromTheUsersMailClients) {
    ScratchFolder home;
    ScopedHome scoped(home.Path());
    PutFile(home / ".config" / "evolution" / "sources" / "perso.source",
            "[Mail Account]\nBackendName=pop\n[Authentication]\nHost=pop.evo.fr\nUser=anne\n");
    EXPECT_EQ(RunCli(ParseCliArguments({"importer"}), dir.Path(), out, err), 0);
    EXPECT_EQ(out.str(), "2\n") << "slot 1 holds a server";
    EXPECT_NE(err.str().find("Importation r\xC3\xA9ussie"), std::string::npos) << err.str();
    std::filesystem::remove_all(home / ".config");
    out.str("");
    err.str("");
    EXPECT_EQ(RunCli(ParseCliArguments({"importer"}), dir.Path(), out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Echec de l'importation"), std::string::npos) << err.str();
}

// A user trains the engine on mail they already sorted, then a scan marks
// an unknown sender's spam "S" with its score, as the last TSV column.
TEST_F(CliFixture, LearnedMaildirAndFileMakeTheScanScoreSuspects) {
    int n = 0;
    for (const std::string& message : LabelledMessages(SpamLabel::Wanted))
        PutFile(dir / "Trie" / "cur" / ("m" + IntToStr(++n)), message);
    EXPECT_EQ(Run({"apprendre", "bon", "--dossier-maildir", (dir / "Trie").string()}, 1), 0) << err.str();
    EXPECT_TRUE(err.str().ends_with("\n6 message(s) appris, 0 déjà connu(s).\n")) << err.str();
    for (const std::string& message : LabelledMessages(SpamLabel::Spam)) {
        PutFile(dir / "pourriel.eml", message);
        EXPECT_EQ(Run({"apprendre", "spam", "--fichier", (dir / "pourriel.eml").string()}, 1), 0)
            << err.str();
    }
    EXPECT_EQ(Run({"apprendre", "spam", "--fichier", (dir / "pourriel.eml").string()}, 1), 0);
    EXPECT_TRUE(err.str().ends_with("\n0 message(s) appris, 1 déjà connu(s).\n"))
        << "each message taught once";

    ScriptedPop3Server server(ScanOf({"From: Gains <g@loterie.example>\nSubject: " + kSpammySubject,
                                      "From: Claire <claire@amis.fr>\nSubject: " + kWantedSubject}));
    EXPECT_EQ(Run({"en-tetes"}, server), 0) << err.str();
    const Lines rows = WithoutDates(out.str());
    ASSERT_EQ(rows.size(), 2u) << out.str();
    EXPECT_TRUE(rows[0].starts_with("1\tGains\t" + kSpammySubject + "\t100\tS\tinconnue\t")) << rows[0];
    EXPECT_FALSE(rows[0].ends_with("\t")) << "a score";
    EXPECT_TRUE(rows[1].starts_with("2\tClaire\t" + kWantedSubject + "\t200\t\tinconnue\t0,")) << rows[1];
}

// A score alone never deletes: --purger takes the intruders alone,
// --purger-suspects the suspects too, and only with a copy in the Corbeille.
TEST_F(CliFixture, SuspectsArePurgedOnlyWhenAskedAndKept) {
    TeachSpamWords(dir / "Liste" / "Antispam");
    const std::string suspect = "From: Gains <g@loterie.example>\nSubject: " + kSpammySubject;
    const std::string scan =
        ScanLogin() + Stats(2, 4) + Message(1, kSpam, 100) + Message(2, suspect, 200) + Stat(2);
    ScriptedPop3Server intruders(scan + Dele(1) + kQuit);
    EXPECT_EQ(Run({"en-tetes", "--purger"}, intruders), 0) << err.str();
    intruders.ExpectFinished();
    ScriptedPop3Server withoutCopies(scan + Dele(1) + kQuit);
    EXPECT_EQ(Run({"en-tetes", "--purger-suspects"}, withoutCopies), 0) << err.str();
    withoutCopies.ExpectFinished();

    TIniFile(dir / "vannoir.INI").WriteString("Form", "Corbeille", "1");
    const std::string spamBody = "From: Spam <s@pub.example>\r\nSubject: Promo\r\n\r\nAchetez.\r\n";
    const std::string suspectBody =
        "From: Gains <g@loterie.example>\r\nSubject: " + kSpammySubject + "\r\n\r\nGagnez.\r\n";
    ScriptedPop3Server both(scan + Retr(2, suspectBody) + Retr(1, spamBody) + Dele(2) + Dele(1) + kQuit);
    EXPECT_EQ(Run({"en-tetes", "--purger-suspects"}, both), 0) << err.str();
    both.ExpectFinished();
}

}  // namespace
