#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "app/mailbox_actions.h"
#include "mailbox_script.h"
#include "platform/lock_file.h"
#include "platform/text.h"
#include "support/recording_printer.h"
#include "support/spam_training.h"

namespace {

using GridRows = std::vector<std::string>;

const std::string kSpam = Header("Spam <s@pub.example>", "Promo");
const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");
const std::string kZoe = Header("Zo\xE9 <zoe@example.fr>", "Re: Salut");
const std::string kBare = Header("<x@example.fr>", "Sans nom");

struct ScanCase {
    const char* name;
    std::string script;  // after the log-in
    std::deque<bool> answers;
    GridRows rows;
    std::string countText;
    std::vector<std::string> shown;
    std::vector<std::string> listed = {"Spam : Promo", "Zoé : Re: Salut"};  // in the purge question
};
const std::string kQuestion = "confirm: " + std::string("Voulez-vous détruire les 2 messages intrus ?");
const std::string kThree = Stat(3) + Stat(3) + Stat(3) + Stat(3) + Message(1, kSpam, 300) +
                           Message(2, kAnne, 200) + Message(3, kZoe, 100);
const GridRows kThreeRows = {"1|Spam|Promo|300|I", "2|Anne|Salut|200|A", "3|Zoé|Re: Salut|100|I"};

// A three-message mailbox whose second header cannot be read all through:
// three rows, the purge of the intruder among the others.
std::string AroundSpamAndAnne(const std::string& header) {
    return Stats(3, 4) + Message(1, kSpam, 300) + Message(2, header, 200) + Message(3, kAnne, 100) + Stat(3) +
           Dele(1) + Quit();
}
const std::string kOneIntruder = "confirm: " + std::string("Voulez-vous détruire le message intrus ?");
// After the purge: what is left on the server.
const std::string kOneUnreadableLeft = "2 messages sur le serveur, 1 message illisible";
const std::string kBadFrom = std::string("!En-tête From illisible : Adresse extérieure @");

const ScanCase kScans[] = {
    // Answered only once all four came: they went in one batch.
    {"empty_mailbox_four_stats_in_one_batch",
     std::string("C: STAT\nC: STAT\nC: STAT\nC: STAT\n") +
         "S: +OK 0 0\nS: +OK 0 0\nS: +OK 0 0\nS: +OK 0 0\n" + Quit(),
     {},
     {},
     "Aucun nouveau message !",
     {}},
    {"one_message_four_stats",
     Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kAnne, 1234) + Quit(),
     {},
     {"1|Anne|Salut|1234|A"},
     "1 message sur le serveur",
     {}},
    {"two_messages_no_intruder",
     Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kAnne, 10) + Message(2, kBare, 20) + Quit(),
     {},
     {"1|Anne|Salut|10|A", "2|x@example.fr|Sans nom|20|"},
     "2 messages sur le serveur",
     {}},
    {"intruders_yes_purges_from_highest_and_shows_what_is_left",
     kThree + Stat(3) + Dele(3) + Dele(1) + Quit(),
     {true},
     {"1|Anne|Salut|200|A"},
     "1 message sur le serveur",
     {kQuestion}},
    {"purge_count_above_the_scan_deletes_marked_rows_only",
     kThree + Stat(9) + Dele(3) + Dele(1) + Quit(),
     {true},
     {"1|Anne|Salut|200|A"},
     "1 message sur le serveur",
     {kQuestion}},
    {"intruders_no_deletes_nothing",
     kThree + Quit(),
     {false},
     kThreeRows,
     "3 messages sur le serveur",
     {kQuestion}},
    {"size_missing_gives_minus_one",
     Stat(1) + Stat(1) + Stat(1) + Stat(1) + Top(1, kAnne) + "C: LIST 1\nS: +OK\n" + Quit(),
     {},
     {"1|Anne|Salut|-1|A"},
     "1 message sur le serveur",
     {}},
    {"from_encoded_word_with_a_blank_before_its_letter",
     AroundSpamAndAnne(
         "From: James <james@example.com>, =?UTF-8? Q?=3D=3Futf-8=3FQ=3FWirelessCaller=5F=3D28203="
         "3D29=5F4?=\nSubject: Offre"),
     {true},
     {"1|James <james@example.com>, =?UTF-8? Q?=3D=3Futf-8=3FQ=3FWirelessCaller=5F=3D28203=3D29=5F4?=|Offre|"
      "200||" +
          kBadFrom,
      "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"from_address_after_a_closed_angle_address",
     AroundSpamAndAnne("From: Anne <a@ailleurs.fr>\tb@ailleurs.fr\nSubject: Anne?"),
     {true},
     {"1|Anne <a@ailleurs.fr> b@ailleurs.fr|Anne?|200||" + kBadFrom, "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"from_q_escape_not_hexadecimal",
     AroundSpamAndAnne("From: =?ISO-8859-1?Q?Sp=ZZam?= <s@ailleurs.fr>\nSubject: Promo"),
     {true},
     {"1|=?ISO-8859-1?Q?Sp=ZZam?= <s@ailleurs.fr>|Promo|200||" +
          std::string("!En-tête From illisible : '$ZZ' n'est pas une valeur entière valide"),
      "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"subject_q_escape_not_hexadecimal",
     AroundSpamAndAnne("From: Bruno <b@example.fr>\nSubject: =?ISO-8859-1?Q?caf=G9?="),
     {true},
     {"1|Bruno|=?ISO-8859-1?Q?caf=G9?=|200||" +
          std::string("!En-tête Subject illisible : '$G9' n'est pas une valeur entière valide"),
      "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"header_line_of_300_kb_costs_its_message_that_field",
     AroundSpamAndAnne("From: Bruno <b@example.fr>\nX-Long: " + std::string(300 * 1024, 'x') +
                       "\n\tsuite\nSubject: Offre"),
     {true},
     {"1|Bruno|Offre|200||!En-tête trop long : une de ses lignes n'est pas lue.", "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"subject_unreadable_in_windows_1252_keeps_its_accents",
     AroundSpamAndAnne("From: Bruno <b@example.fr>\nSubject: =?ISO-8859-1?Q?caf=G9?= d\xE9j\xE0"),
     {true},
     {"1|Bruno|=?ISO-8859-1?Q?caf=G9?= déjà|200||" +
          std::string("!En-tête Subject illisible : '$G9' n'est pas une valeur entière valide"),
      "2|Anne|Salut|100|A"},
     kOneUnreadableLeft,
     {kOneIntruder},
     {"Spam : Promo"}},
    {"zero_width_joiner_in_an_address_shows",
     Stats(1, 4) + Message(1, Header("<x\xE2\x80\x8D@example.fr>", "Z"), 10) + Quit(),
     {},
     {"1|x<U+200D>@example.fr|Z|10|"},
     "1 message sur le serveur",
     {}},
    {"counts_taken_as_they_come",
     Stat(2) + Stat(1) + Stat(5) + Stat(0) + Quit(),
     {},
     {},
     "5 message sur le serveur",
     {}},
};
class Scan : public MailboxFixture, public testing::WithParamInterface<ScanCase> {};
TEST_P(Scan, SendsExactCommandsAndFillsGrid) {
    UseLists("Anne\r\nzo\xC9\r\n", "Spam\r\nZO\xC9\r\n");
    ScriptedPop3Server server(ScanLogin() + GetParam().script);
    UseServer(server);
    window.dialogs.answers = GetParam().answers;
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(), GetParam().rows);
    EXPECT_EQ(window.status.panel[1], std::string(GetParam().countText));
    EXPECT_EQ(window.status.panel[0], std::string("Déconnecté."));
    EXPECT_EQ(window.dialogs.shown, GetParam().shown);
    if (!GetParam().shown.empty()) {
        EXPECT_EQ(window.dialogs.listed, GetParam().listed);
    }
    EXPECT_FALSE(window.cursor.busy);
}
INSTANTIATE_TEST_SUITE_P(Table, Scan, testing::ValuesIn(kScans),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, HeadingsInRowZero) {
    EXPECT_EQ(window.grid.Row(0), std::string("|Date, heure|Expéditeur|Sujet|Taille|Statut"));
}

// Every form of From against lists holding names, addresses, domains and
// blank lines: the sender column, then the status.
struct SenderCase {
    const char* name;
    const char* header;  // the From line, or any line without From
    const char* shown;
    const char* status;
    const char* fault = "";  // the row's mark, for a From the parser refuses
};
const SenderCase kSenders[] = {
    {"name_and_address", "From: Jean Dupont <jean@ailleurs.fr>", "Jean Dupont", "A"},
    {"bare_address", "From: x@pub.example", "x@pub.example", "I"},
    {"angle_address", "From: <x@PUB.example>", "x@PUB.example", "I"},
    {"address_then_comment", "From: y@mail.pub.example (Promo)", "y@mail.pub.example", "I"},
    {"name_differs_address_caught", "From: Anne <promo@pub.example>", "Anne", "I"},
    {"address_entry_under_any_name", "From: Bob Martin <bob@example.fr>", "Bob Martin", "A"},
    // The address parser keeps a group's name as the display name.
    {"group_syntax", "From: Equipe: z@example.fr;", "Equipe: ", ""},
    {"nameless_unknown", "From: z@example.fr", "z@example.fr", ""},
    {"no_from", "X-Rien: 1", "", ""},
    {"empty_from", "From:", "", ""},
    {"accented_name_from_utf8_file", "From: Z\xC9LIE <z@ailleurs.fr>", "ZÉLIE", "A"},
    // Every address of a From holding several counts; the intruder wins.
    // The column shows the first mailbox only.
    {"glued_senders_second_address_caught", "From: Bob <b@ailleurs.fr> Promo <p@mail.pub.example>", "Bob",
     "I"},
    {"comma_separated_friend_and_intruder", "From: Bob <bob@example.fr>, Promo <p@pub.example>", "Bob", "I"},
    {"comma_separated_friend_address_second", "From: x@ailleurs.fr, bob@example.fr", "x@ailleurs.fr", "A"},
    {"comma_in_an_unquoted_name_kept", "From: Martin, Jean <jean@ailleurs.fr>", "Martin, Jean", ""},
    // A From the parser refuses: its addresses still match, its name never.
    {"unreadable_from_caught_by_an_address", "From: <x@pub.example> y@ailleurs.fr",
     "<x@pub.example> y@ailleurs.fr", "I", "En-tête From illisible : Adresse extérieure @"},
    {"unreadable_from_name_entry_not_applied", "From: Anne <a@ailleurs.fr> b@ailleurs.fr",
     "Anne <a@ailleurs.fr> b@ailleurs.fr", "", "En-tête From illisible : Adresse extérieure @"},
    // Shown as received, its Windows-1252 bytes read as the readable ones are.
    {"unreadable_from_in_windows_1252_keeps_its_accents", "From: Ren\xE9 <a@ailleurs.fr> b@ailleurs.fr",
     "René <a@ailleurs.fr> b@ailleurs.fr", "", "En-tête From illisible : Adresse extérieure @"},
};
class SenderForms : public MailboxFixture, public testing::WithParamInterface<SenderCase> {};
TEST_P(SenderForms, ColumnTwoAndStatus) {
    // The friend file in UTF-8 as an editor saves it; blank lines in both.
    UseLists("Jean Dupont\r\n\r\nZ\xC3\xA9lie\r\nbob@EXAMPLE.fr\r\n  \r\n", "\r\nAnne\r\n*.pub.example\r\n");
    ScriptedPop3Server server(ScanOf({std::string(GetParam().header) + "\nSubject: s"}));
    UseServer(server);
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    const std::string fault = GetParam().fault;
    EXPECT_EQ(Rows(), GridRows{"1|" + std::string(GetParam().shown) + "|s|100|" + GetParam().status +
                               (fault.empty() ? "" : "|!" + fault)});
}
INSTANTIATE_TEST_SUITE_P(Table, SenderForms, testing::ValuesIn(kSenders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, NamelessSenderIsAddedByAddress) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({Header("<x@pub.example>", "Promo")}) + kNextSession +
                              ScanOf({Header("Autre nom <X@pub.example>", "Promo")}));
    UseServer(server);
    screener.Scan();
    window.grid.current = 1;
    EXPECT_TRUE(screener.AddCurrentSender(ListKind::Intruders).IsDone());
    EXPECT_EQ(FileBytes(paths.intruders), "x@pub.example\r\n");
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(Rows(), GridRows{"1|Autre nom|Promo|100|I"});
}

// A friend is a friend only when the account's own receiving service
// (mx.exemple.fr) does not say the mail is forged; what a sender writes
// itself changes nothing.
std::string Verdicts(std::string_view from, std::vector<std::string> results) {
    std::string header = "From: " + std::string(from);
    for (const std::string& line : results) header += "\nAuthentication-Results: " + line;
    return header + "\nSubject: s";
}
TEST_F(MailboxFixture, ForgedFriendIsDoubtfulAndPurgedWhenAnIntruderEntryMatches) {
    UseLists("claire@amis.fr\r\n", "Promo\r\n");
    const std::string trustedFail = "mx.exemple.fr; dmarc=fail (p=reject) header.from=amis.fr";
    const std::string forgedPass = "mx.exemple.fr; dmarc=pass header.from=amis.fr";
    const std::vector<std::string> headers = {
        Verdicts("Claire <claire@amis.fr>", {"mx.exemple.fr; dmarc=pass header.from=amis.fr"}),
        Verdicts("Claire <claire@amis.fr>", {trustedFail, forgedPass}),
        Verdicts("Promo <claire@amis.fr>", {trustedFail}),
        Verdicts("Claire <claire@amis.fr>", {"mail.forge.example; dmarc=pass header.from=amis.fr"}),
        Verdicts("Claire <claire@amis.fr>",
                 {"mail.forge.example; dmarc=pass header.from=amis.fr", trustedFail}),
    };
    std::string script = ScanLogin() + Stats(5, 4);
    for (int i = 1; i <= 5; ++i) script += Message(i, headers[static_cast<std::size_t>(i - 1)], 100);
    ScriptedPop3Server server(script + Stat(5) + Dele(3) + Quit());
    UseServer(server, {{"mx.exemple.fr"}, false});
    window.dialogs.answers = {true};
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(),
              (GridRows{"1|Claire|s|100|A", "2|Claire|s|100|A?", "3|Claire|s|100|A", "4|Claire|s|100|A?"}))
        << "the forged friend that is also an intruder is gone; the untrusted pass changed nothing";
    EXPECT_EQ(window.grid.Note(2),
              "Raison : authentification refusée par le fournisseur : dmarc=fail header.from=amis.fr");
    EXPECT_EQ(window.grid.Note(1), "");
    EXPECT_EQ(screener.Record()[1].authentication, SenderAuthentication::Failed);
    EXPECT_EQ(screener.Record()[2].authentication, SenderAuthentication::Unknown);
}

TEST_F(MailboxFixture, LookAlikesOfFriendsAreNamedAndNeverProtected) {
    UseLists("claire@amis.fr\r\nJean\r\n", "");
    ScriptedPop3Server server(
        ScanOf({Header("Claire <claire@\xD0\xB0mis.fr>", "a"),
                Header("\"Claire <claire@amis.fr>\" <x@evil.test>", "b"),
                Header("Jean <claire@arnis.fr>", "c"), Header("Bob <bob@amis.fr>", "d")}));
    UseServer(server);
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(), (GridRows{"1|Claire|a|100|", "2|Claire <claire@amis.fr>|b|200|", "3|Jean|c|300|A?",
                                "4|Bob|d|400|"}))
        << "a friend by name only whose address imitates another friend is no friend";
    EXPECT_EQ(window.grid.Note(1), "Raison : ressemble à claire@amis.fr");
    EXPECT_EQ(window.grid.Note(2), "Raison : nom contenant une autre adresse");
    EXPECT_EQ(window.grid.Note(3), "Raison : ressemble à claire@amis.fr");
    EXPECT_EQ(window.grid.Note(4), "");
}

// The spam engine judges the headers after the lists marked them: an
// unknown spammy sender is a suspect, a friend never is, an intruder stays
// one; an engine that breaks leaves the lists' marks and says why once.
TEST_F(MailboxFixture, SpamEngineMarksSuspectsOnNoListOnly) {
    UseLists("ami@copains.example\r\n", "Promo\r\n");
    TeachSpamWords(paths.spamWords);
    const std::vector<std::string> headers = {
        Header("Gains <gains@loterie.example>", kSpammySubject),
        Header("Ami <ami@copains.example>", kSpammySubject),
        Header("Promo <promo@offres.biz>", kSpammySubject),
        Header("Claire <claire@amis.fr>", kWantedSubject),
    };
    ScriptedPop3Server server(ScanOf(headers));
    UseServer(server);
    window.dialogs.answers = {false};
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(),
              (GridRows{"1|Gains|" + kSpammySubject + "|100|S", "2|Ami|" + kSpammySubject + "|200|A",
                        "3|Promo|" + kSpammySubject + "|300|I", "4|Claire|" + kWantedSubject + "|400|"}));
    EXPECT_EQ(window.grid.Note(1).rfind("Raison : pourriel selon le moteur antispam (score ", 0), 0u)
        << window.grid.Note(1);
    const ScanRecord& record = screener.Record();
    ASSERT_TRUE(record[0].spam.score && record[1].spam.score && record[3].spam.score);
    EXPECT_GT(*record[1].spam.score, 0.9) << "a friend's spammy words are scored, never marked";
    EXPECT_LT(*record[3].spam.score, 0.5);

    // A broken engine: the same marks from the lists, no score, one reason.
    PutFile(dir / "bin" / "bogofilter", "#!/bin/sh\ncat >/dev/null; echo '<html>'\n");
    ::chmod((dir / "bin" / "bogofilter").c_str(), 0700);
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", ((dir / "bin").string() + ":" + path).c_str(), 1);
    ScriptedPop3Server broken(ScanOf(headers));
    UseServer(broken);
    window.dialogs.answers = {false};
    EXPECT_TRUE(screener.Scan(ScanReading::Whole).IsDone());
    ::setenv("PATH", path.c_str(), 1);
    broken.ExpectFinished();
    EXPECT_EQ(Rows(),
              (GridRows{"1|Gains|" + kSpammySubject + "|100|", "2|Ami|" + kSpammySubject + "|200|A",
                        "3|Promo|" + kSpammySubject + "|300|I", "4|Claire|" + kWantedSubject + "|400|"}));
    EXPECT_FALSE(screener.Record()[0].spam.score);
    EXPECT_EQ(window.status.panel[1],
              "4 messages sur le serveur ; Pas de score : Le moteur antispam a donné une réponse illisible.");
}

TEST_F(MailboxFixture, UnknownCountsAsFailedWhenTheAccountSaysSo) {
    UseLists("claire@amis.fr\r\n", "");
    ScriptedPop3Server server(
        ScanOf({Verdicts("Claire <claire@amis.fr>", {}),
                Verdicts("Claire <claire@amis.fr>", {"mx.exemple.fr; dkim=pass header.d=amis.fr"})}));
    UseServer(server, {{"mx.exemple.fr"}, false}, true);
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(Rows(), (GridRows{"1|Claire|s|100|A?", "2|Claire|s|200|A"}));
}

// The journal after sessions whose QUIT the server confirmed, refused or
// never answered.
struct JournalCase {
    const char* name;
    std::string script;                // after the log-in and the scan of kThree
    std::vector<std::string> journal;  // "sender|subject|size|action" per line
    std::string box;                   // the last box the user saw
};
const std::string kAsked = "confirm: " + std::string("Voulez-vous détruire les 2 messages intrus ?");
const std::string kCannot = "error: Impossible de se connecter au serveur";
const std::string kUnconfirmed =
    "error: " +
    std::string("Le serveur n'a pas confirmé les suppressions : les messages sont toujours sur le serveur.");
const std::string kPurgeCommands = Stat(3) + Dele(3) + Dele(1);
const JournalCase kJournals[] = {
    {"quit_confirmed",
     kPurgeCommands + Quit(),
     {"Zo\xC3\xA9 <zoe@example.fr>|Re: Salut|100|purge des intrus",
      "Spam <s@pub.example>|Promo|300|purge des intrus"},
     kAsked},
    {"quit_refused", kPurgeCommands + "C: QUIT\nS: -ERR impossible de supprimer\n", {}, kCannot},
    {"quit_unanswered", kPurgeCommands + "C: QUIT\n", {}, kUnconfirmed},
    {"quit_answered_garbage", kPurgeCommands + "C: QUIT\nS: bizarre\n", {}, kUnconfirmed},
    {"dele_refused_midway_keeps_the_confirmed_one",
     Stat(3) + Dele(3) + "C: DELE 1\nS: -ERR verrou\n" + Quit(),
     {"Zo\xC3\xA9 <zoe@example.fr>|Re: Salut|100|purge des intrus"},
     kCannot},
};
class Journal : public MailboxFixture, public testing::WithParamInterface<JournalCase> {};
TEST_P(Journal, HoldsOnlyDeletionsTheServerConfirmed) {
    UseLists("", "Spam\r\nZO\xC9\r\n");
    ScriptedPop3Server server(ScanLogin() + kThree + GetParam().script);
    UseServer(server);
    window.dialogs.answers = {true};
    screener.Scan();
    server.ExpectFinished();
    std::vector<std::string> lines;
    std::string bytes;
    if (std::filesystem::exists(paths.journal)) bytes = FileBytes(paths.journal);
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        ASSERT_TRUE(line.ends_with("\r")) << line;
        line.pop_back();
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        ASSERT_EQ(fields.size(), 10u) << line;
        EXPECT_EQ(fields[8], "non conservé : corbeille désactivée");
        EXPECT_EQ(fields[9], "inconnue") << "no provider's verdict";
        EXPECT_EQ(fields[1], "anne");
        EXPECT_EQ(fields[2], "127.0.0.1:" + IntToStr(server.Port()));
        lines.push_back(fields[4] + "|" + fields[5] + "|" + fields[6] + "|" + fields[7]);
    }
    EXPECT_EQ(lines, GetParam().journal);
    EXPECT_EQ(window.dialogs.shown.back(), GetParam().box) << "a deletion not confirmed is a failure";
}
INSTANTIATE_TEST_SUITE_P(Table, Journal, testing::ValuesIn(kJournals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, JournalAppendsSingleDeletionAndNeverRewrites) {
    UseLists("", "");
    PutFile(paths.journal, "ancienne ligne\r\n");
    const std::string anne = Header("Anne <anne@example.fr>", "Salut");
    ScriptedPop3Server server(ScanOf({anne, kBare}) + kNextSession + ScanLogin() + Message(2, kBare, 200) +
                              Dele(2) + Quit() + kNextSession + ScanOf({anne}));
    UseServer(server);
    screener.Scan();
    EXPECT_TRUE(screener.Delete(2).IsDone());
    server.ExpectFinished();
    const std::string bytes = FileBytes(paths.journal);
    ASSERT_TRUE(bytes.starts_with("ancienne ligne\r\n")) << bytes;
    EXPECT_TRUE(bytes.ends_with(
        "\tx@example.fr\tSans nom\t200\tsuppression\tnon conservé : corbeille désactivée\tinconnue\r\n"))
        << bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);

    // Without a desktop program for it, the program's own table reads it back.
    RecordingShell shell;
    shell.fails = true;
    FakeDocuments documents;
    EXPECT_TRUE(screener.OpenJournal(shell, documents).IsDone());
    ASSERT_EQ(documents.journal.size(), 2u);
    EXPECT_EQ(documents.journal[0].deletedAt, "ancienne ligne");
    EXPECT_EQ(documents.journal[0].copy, "") << "a line short of fields";
    const JournalEntry& last = documents.journal[1];
    EXPECT_EQ(last.user + "|" + last.server + "|" + last.sender + "|" + last.subject + "|" + last.size + "|" +
                  last.action + "|" + last.copy,
              "anne|127.0.0.1:" + IntToStr(server.Port()) +
                  "|x@example.fr|Sans nom|200|suppression|non conservé : corbeille désactivée");
}

TEST_F(MailboxFixture, UnwritableJournalWarnsAndTheDeletionStands) {
    UseLists("", "Spam\r\n");
    std::filesystem::create_directory(paths.journal);  // a folder in its place
    ScriptedPop3Server server(ScanOf({kSpam}).substr(0, ScanOf({kSpam}).size() - Quit().size()) + Stat(1) +
                              Dele(1) + Quit());
    UseServer(server);
    window.dialogs.answers = {true};
    EXPECT_TRUE(screener.Scan().IsDone());
    server.ExpectFinished();
    ASSERT_EQ(window.dialogs.shown.size(), 2u);
    EXPECT_EQ(window.dialogs.shown[0], "confirm: " + std::string("Voulez-vous détruire le message intrus ?"));
    EXPECT_TRUE(
        window.dialogs.shown[1].starts_with("warning: " + std::string("Les messages ont bien été détruits")))
        << window.dialogs.shown[1];
}

TEST_F(MailboxFixture, OpenJournalOnlyOnceItExists) {
    RecordingShell shell;
    FakeDocuments documents;
    EXPECT_TRUE(screener.OpenJournal(shell, documents).IsRefused());
    EXPECT_EQ(window.dialogs.shown,
              std::vector<std::string>{"message: " +
                                       std::string("Aucune suppression n'a encore été enregistrée.")});
    PutFile(paths.journal, "x\r\n");
    EXPECT_TRUE(screener.OpenJournal(shell, documents).IsDone());
    EXPECT_EQ(shell.opened, std::vector<std::filesystem::path>{dir / "Liste" / "Supprimes.LOG"});
    EXPECT_TRUE(documents.journal.empty()) << "the desktop's editor has it";
}

TEST_F(MailboxFixture, ACountNoMailboxHoldsIsRefused) {
    UseLists("", "");
    ScriptedPop3Server server(ScanLogin() + Stats(2000000, 4) + Quit());
    UseServer(server);
    Outcome outcome = screener.Scan();
    server.ExpectFinished();
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.underlying,
              std::string("Le serveur annonce 2000000 messages, plus qu'une boîte aux lettres n'en "
                          "contient (1000000 au plus) : la consultation est abandonnée."));
    EXPECT_TRUE(Rows().empty());
}

TEST_F(MailboxFixture, WrongPasswordShowsOneErrorAndEmptyGrid) {
    UseLists("", "");
    window.grid.SetCell(5, 3, "I");  // left from an earlier scan
    ScriptedPop3Server server(RefusedLogin("-ERR mauvais mot de passe") + Quit());
    UseServer(server);
    Outcome outcome = screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{"error: Impossible de se connecter au serveur"});
    EXPECT_EQ(window.dialogs.details,
              std::vector<std::string>{std::string("Mot de passe refusé par le serveur.\n"
                                                   "mauvais mot de passe")});
    EXPECT_EQ(window.status.panel[0], std::string("Mot de passe refusé par le serveur"));
    EXPECT_TRUE(Rows().empty());
    EXPECT_FALSE(window.cursor.busy);
    EXPECT_TRUE(outcome.IsFailed());
    EXPECT_EQ(outcome.shown, "Impossible de se connecter au serveur");
    EXPECT_EQ(outcome.underlying, "mauvais mot de passe");
}

TEST_F(MailboxFixture, ServerDownSaysSoAndForgetsTheEarlierCount) {
    UseLists("", "");
    Account account;
    account.host = "127.0.0.1";
    account.port = 1;  // nothing listens there
    account.user = "anne";
    account.password = "secret";
    account.configured = true;
    screener.SetAccount(account);
    window.status.SetPanelText(1, "5 messages sur le serveur");  // the previous account's
    EXPECT_EQ(screener.Scan().fault, Outcome::Fault::Network);
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{"error: Impossible de se connecter au serveur"});
    ASSERT_EQ(window.dialogs.details.size(), 1u);
    EXPECT_EQ(window.dialogs.details[0].substr(0, 20), "Serveur injoignable.");
    EXPECT_EQ(window.status.panel[0], "Serveur injoignable");
    EXPECT_EQ(window.status.panel[1], "");
}

TEST_F(MailboxFixture, FailureDuringPurgeStillEndsWithQuit) {
    UseLists("", "Spam\r\nAnne\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(3) + Stat(3) + Stat(3) + Stat(3) + Message(1, kAnne, 1) +
                              Message(2, kZoe, 2) + Message(3, kSpam, 3) + Stat(3) + Dele(3) +
                              "C: DELE 1\nS: -ERR verrou\n" + Quit());
    UseServer(server);
    window.dialogs.answers = {true};
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.dialogs.shown.back(), "error: Impossible de se connecter au serveur");
    EXPECT_EQ(Rows().size(), 3u) << "the grid keeps its rows";
}

TEST_F(MailboxFixture, ServerGoneDuringHeadersKeepsRowsSoFar) {
    UseLists("Anne\r\n", "");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kAnne, 1) +
                              "C: TOP 2 0\nC: LIST 2\n!close\n");
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();  // the client closed without sending anything more
    EXPECT_EQ(Rows(), GridRows{"1|Anne|Salut|1|A"});
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{"error: Impossible de se connecter au serveur"});
    EXPECT_FALSE(window.cursor.busy);
}

TEST_F(MailboxFixture, PurgeFollowsTheScanNotCellsMovedMeanwhile) {
    UseLists("", "Spam\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(2) + Stat(2) + Stat(2) + Stat(2) + Message(1, kSpam, 1) +
                              Message(2, Header("Bob <b@x.fr>", "I"), 2) + Stat(2) + Dele(1) + Quit());
    UseServer(server);
    window.dialogs.answers = {true};
    // The user drags the subject column onto the status column while the
    // question is open: row 2 now shows "I" in column 5.
    window.dialogs.duringConfirm = [this] { window.grid.SetCell(5, 2, "I"); };
    screener.Scan();
    server.ExpectFinished();
}

TEST_F(MailboxFixture, MoreThan999MessagesGrowTheGridAndArePurged) {
    UseLists("", "Spam\r\n");
    constexpr int kCount = 1001;
    std::string script = ScanLogin() + Stat(kCount) + Stat(kCount) + Stat(kCount) + Stat(kCount);
    for (int i = 1; i <= kCount; ++i) script += Message(i, i == 2 || i == kCount ? kSpam : kAnne, i);
    script += Stat(kCount) + Dele(kCount) + Dele(2) + Quit();
    ScriptedPop3Server server(script);
    UseServer(server);
    window.dialogs.answers = {true};
    screener.Scan();
    server.ExpectFinished();
    // Messages 2 and 1001 gone: the grid shows the 999 left, numbered anew.
    EXPECT_EQ(window.grid.Cell(0, kCount - 2), "999");
    EXPECT_EQ(window.grid.Cell(4, kCount - 2), "1000") << "the size of what was message 1000";
    EXPECT_EQ(window.grid.Cell(0, kCount - 1), "");
    EXPECT_EQ(window.grid.Cell(4, 2), "3");

    // The next, smaller scan leaves no status from this one.
    ScriptedPop3Server next(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kAnne, 1) +
                            Quit());
    UseServer(next);
    screener.Scan();
    next.ExpectFinished();
    EXPECT_EQ(window.grid.RowCount(), 2) << "the heading row and one message";
    EXPECT_EQ(Rows(), GridRows{"1|Anne|Salut|1|"});
}

TEST_F(MailboxFixture, SlowScanShowsHowFarItIsAfterTheStatus) {
    UseLists("", "");
    ScriptedPop3Server server(ScanLogin() + Stats(3, 4) + Message(1, kAnne, 1) + "!pause 400\n" +
                              Message(2, kAnne, 2) + Message(3, kAnne, 3) + Quit());
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();
    const std::vector<std::string>& shown = window.status.history0;
    auto at = std::find(shown.begin(), shown.end(), std::string("Connecté. 2 / 3"));
    ASSERT_NE(at, shown.end()) << "the count after the wait";
    EXPECT_EQ(*++at, std::string("Connecté. 3 / 3")) << "the last count follows the shown one";
    EXPECT_EQ(*++at, std::string("Déconnexion."));
}

TEST_F(MailboxFixture, ActionsStartedDuringAWaitAreRefused) {
    UseLists("", "Spam\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kSpam, 1) +
                              Quit());
    UseServer(server);
    bool wasRefused[3] = {false, false, false};
    window.dialogs.duringConfirm = [&] {
        EXPECT_TRUE(screener.Busy());
        wasRefused[0] = screener.Scan().IsRefused();
        wasRefused[1] = screener.Preview().IsRefused();
        wasRefused[2] = screener.DeleteCurrent().IsRefused();
    };
    screener.Scan();
    server.ExpectFinished();  // nothing sent by the refused actions
    EXPECT_TRUE(wasRefused[0] && wasRefused[1] && wasRefused[2]);
    EXPECT_FALSE(screener.Busy());
    const std::string refused = std::string(
        "Une action sur la boîte aux lettres est déjà en cours : "
        "attendez qu'elle se termine.");
    const std::string one = "confirm: " + std::string("Voulez-vous détruire le message intrus ?");
    EXPECT_EQ(window.dialogs.shown, std::vector<std::string>{one}) << "refused without a box";
    EXPECT_EQ(std::count(window.status.history0.begin(), window.status.history0.end(), refused), 3);
    EXPECT_EQ(Rows(), GridRows{"1|Spam|Promo|1|I"});
}

// Another process on the same settings (the command line) holds the lock
// file beside them: an action waits for it, and gives up after the wait.
TEST_F(MailboxFixture, ActionsWaitForAnotherProcessOnTheSameSettings) {
    UseLists("", "");
    ScriptedPop3Server server(ScanOf({kAnne}));
    UseServer(server);
    auto other = std::make_unique<LockFile>(dir / "vannoir.VERROU", 0);
    ASSERT_TRUE(other->Held());
    screener.SetActionLockWait(100);
    const Outcome refused = screener.Scan();
    EXPECT_TRUE(refused.IsRefused());
    EXPECT_EQ(refused.fault, Outcome::Fault::Busy);
    EXPECT_EQ(window.dialogs.shown.back(),
              "message: " +
                  std::string("Une autre session de Vannoir agit déjà sur cette boîte aux lettres avec les "
                              "mêmes réglages : réessayez quand elle aura fini."));

    screener.SetActionLockWait(MailboxActions::kDefaultLockWaitMs);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        other.reset();
    });
    EXPECT_TRUE(screener.Scan().IsDone()) << "it went on once the other run ended";
    release.join();
    server.ExpectFinished();
    EXPECT_EQ(Rows(), GridRows{"1|Anne|Salut|100|"});
}

TEST_F(MailboxFixture, AccountChosenDuringAnActionTakesEffectAfterIt) {
    UseLists("", "Spam\r\n");
    PutFile(paths.settings, "[Form]\r\nServeur2=pop.autre.fr\r\nNom2=bob\r\n");
    ScriptedPop3Server server(ScanLogin() + Stat(1) + Stat(1) + Stat(1) + Stat(1) + Message(1, kSpam, 1) +
                              Quit());
    UseServer(server);
    std::string userDuringWait;
    window.dialogs.duringConfirm = [&] {
        screener.LoadAccount(2);
        userDuringWait = screener.CurrentAccount().user;
    };
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(userDuringWait, "anne");
    EXPECT_EQ(window.caption.caption, std::string("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().host, "pop.autre.fr");
    EXPECT_EQ(screener.CurrentAccount().user, "bob");
    EXPECT_EQ(screener.CurrentAccount().password, "") << "never the previous account's password";
}

}  // namespace

namespace {

// Sets the process's time zone for one test.
class ZoneForTest {
public:
    explicit ZoneForTest(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneForTest() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST_F(MailboxFixture, DateColumnInLocalTime) {
    ZoneForTest zone("CET-1");  // one hour east, no summer time
    UseLists("", "");
    ScriptedPop3Server server(ScanLogin() + Stats(3, 4) +
                              Message(1, kAnne + "\nDate: Fri, 07 Sep 2001 10:05:30 +0200", 1) +
                              Message(2, kAnne, 2) + Message(3, kAnne + "\nDate: demain matin", 3) + Quit());
    UseServer(server);
    screener.Scan();
    server.ExpectFinished();
    EXPECT_EQ(window.grid.Cell(1, 1), std::string("07/09/01 à 09:05"));
    EXPECT_EQ(window.grid.Cell(1, 2), "") << "no date: no 1899";
    EXPECT_EQ(window.grid.Cell(1, 3), "") << "an unreadable date reads as none";
    EXPECT_EQ(window.grid.Fault(3), "") << "the message itself was read";
}

}  // namespace
