// vannoir-cli against the private Dovecot: the program as installed (its own
// copy beside its settings and lists), on a mailbox of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "account/password_scramble.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The fixture's second user, with a password the settings file can hold, so
// these tests share the server but not a mailbox with the others.
constexpr const char* kUser = "ecran";
constexpr const char* kPassword = "Ecran26";

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Gives a path to the owner of the mail homes (the server reads them as that
// user when the tests run as root).
void OwnLike(const fs::path& path, const fs::path& model) {
    struct stat st {};
    if (::stat(model.c_str(), &st) == 0) (void)::chown(path.c_str(), st.st_uid, st.st_gid);
}

struct Mail {
    const char* file;
    const char* from;
    const char* subject;
};
const Mail kMails[] = {
    {"1700000001.M1P1.vannoir", "Anne Amie <anne@example.fr>", "Bonjour"},
    {"1700000002.M2P1.vannoir", "Spam Intrus <spam@pub.example>", "Gagnez"},
    {"1700000003.M3P1.vannoir", "Bruno Inconnu <bruno@example.fr>", "Question"},
    {"1700000004.M4P1.vannoir", "Pub Intrus <pub@pub.example>", "Promo"},
};

class CliDovecot : public testing::Test {
protected:
    void SetUp() override {
        const char* env = std::getenv("VANNOIR_DOVECOT_DIR");
        if (!env) GTEST_SKIP() << "VANNOIR_DOVECOT_DIR not set";
        server_ = env;
        port_ = FirstLine(server_ / "port");
        // The mail homes sit beside the fixture user's: <homes>/<user>/Maildir.
        homes_ = fs::path(FirstLine(server_ / "maildir")).parent_path().parent_path();
        FillMailbox();
        Install();
    }

    void FillMailbox() {
        const fs::path home = homes_ / kUser;
        fs::remove_all(home);
        for (const char* sub : {"new", "cur", "tmp"}) fs::create_directories(home / "Maildir" / sub);
        for (const Mail& mail : kMails) AddMail(mail);
    }

    void AddMail(const Mail& mail) {
        const fs::path home = homes_ / kUser;
        {
            std::ofstream out(home / "Maildir" / "new" / mail.file, std::ios::binary);
            out << "From: " << mail.from << "\r\nTo: " << kUser << "@example.fr\r\nSubject: " << mail.subject
                << "\r\nDate: Tue, 14 Nov 2023 22:13:20 +0000\r\n\r\nCorps du message.\r\n";
        }
        for (const auto& entry : fs::recursive_directory_iterator(home)) OwnLike(entry.path(), homes_);
        OwnLike(home, homes_);
    }

    void Install() {
        fs::copy_file(VANNOIR_CLI_PATH, folder_ / "vannoir-cli");
        PutFile(folder_ / "vannoir.INI", std::string("[Form]\r\nNbre=1\r\nServeur1=127.0.0.1\r\nNom1=") +
                                             kUser + "\r\nPasse1=" + ScramblePassword(kPassword) + "\r\n");
        PutFile(folder_ / "Liste" / "Amis.TXT", "Anne Amie\r\n");
        PutFile(folder_ / "Liste" / "Intrus.TXT", "Spam Intrus\r\npub intrus\r\n");
    }

    // Runs the installed program; stdout in `out`, stderr in `err`.
    int Run(const std::string& args) {
        const fs::path errFile = folder_ / "stderr.txt";
        std::string command =
            (folder_ / "vannoir-cli").string() + " " + args + " --port " + port_ + " 2>" + errFile.string();
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return -1;
        out.clear();
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        int status = ::pclose(pipe);
        err = FileBytes(errFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // "sender<TAB>subject<TAB>status" of each printed row, sorted: the
    // server's numbering of the messages is its own.
    Lines Senders() const {
        Lines rows;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            Lines cells;
            std::istringstream fields(line);
            for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
            if (line.back() == '\t') cells.push_back("");
            if (cells.size() == 7)
                rows.push_back(cells[2] + "\t" + cells[3] + "\t" + cells[5]);
            else
                rows.push_back("malformed: " + line);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    fs::path server_, homes_;
    std::string port_;
    ScratchFolder folder_;
    std::string out, err;
};

TEST_F(CliDovecot, ScanPurgeAndScanAgain) {
    ASSERT_EQ(Run("en-tetes"), 0) << err;
    EXPECT_EQ(Senders(), (Lines{"Anne Amie\tBonjour\tA", "Bruno Inconnu\tQuestion\t", "Pub Intrus\tPromo\tI",
                                "Spam Intrus\tGagnez\tI"}));
    EXPECT_NE(err.find("4 messages sur le serveur"), std::string::npos) << err;
    EXPECT_NE(err.find("Voulez-vous d\xC3\xA9truire les 2 messages intrus ? Non"), std::string::npos) << err;

    ASSERT_EQ(Run("en-tetes --purger"), 0) << err;
    EXPECT_EQ(Senders(), (Lines{"Anne Amie\tBonjour\tA", "Bruno Inconnu\tQuestion\t"}))
        << "the rows of what the purge left";

    ASSERT_EQ(Run("en-tetes"), 0) << err;
    EXPECT_EQ(Senders(), (Lines{"Anne Amie\tBonjour\tA", "Bruno Inconnu\tQuestion\t"}));
    EXPECT_NE(err.find("2 messages sur le serveur"), std::string::npos) << err;
}

// Entries by address and by domain, a blank line and a nameless sender: the
// purge deletes exactly the intruders, and the journal lists exactly them.
TEST_F(CliDovecot, PurgeByAddressAndDomainIsJournaled) {
    AddMail({"1700000005.M5P1.vannoir", "<sans.nom@ailleurs.example>", "Anonyme"});
    PutFile(folder_ / "Liste" / "Intrus.TXT", "BRUNO@example.fr\r\n\r\n*@pub.example\r\n");
    ASSERT_EQ(Run("en-tetes"), 0) << err;
    EXPECT_EQ(Senders(), (Lines{"Anne Amie\tBonjour\tA", "Bruno Inconnu\tQuestion\tI", "Pub Intrus\tPromo\tI",
                                "Spam Intrus\tGagnez\tI", "sans.nom@ailleurs.example\tAnonyme\t"}));
    EXPECT_NE(err.find("Voulez-vous d\xC3\xA9truire les 3 messages intrus ? Non"), std::string::npos) << err;
    ASSERT_EQ(Run("journal"), 0) << err;
    EXPECT_EQ(out, "") << "nothing deleted yet";

    ASSERT_EQ(Run("en-tetes --purger"), 0) << err;
    ASSERT_EQ(Run("journal"), 0) << err;
    Lines journal;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        Lines fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        ASSERT_EQ(fields.size(), 10u) << line;
        EXPECT_EQ(fields[1], kUser);
        EXPECT_EQ(fields[2], "127.0.0.1:" + port_);
        journal.push_back(fields[4] + "\t" + fields[5] + "\t" + fields[7]);
    }
    std::sort(journal.begin(), journal.end());
    EXPECT_EQ(journal, (Lines{"Bruno Inconnu <bruno@example.fr>\tQuestion\tpurge des intrus",
                              "Pub Intrus <pub@pub.example>\tPromo\tpurge des intrus",
                              "Spam Intrus <spam@pub.example>\tGagnez\tpurge des intrus"}));

    ASSERT_EQ(Run("en-tetes"), 0) << err;
    EXPECT_EQ(Senders(), (Lines{"Anne Amie\tBonjour\tA", "sans.nom@ailleurs.example\tAnonyme\t"}));
}

TEST_F(CliDovecot, PreviewThenDeleteOneMessage) {
    ASSERT_EQ(Run("en-tetes"), 0) << err;
    ASSERT_EQ(Run("apercu 1"), 0) << err;
    EXPECT_NE(out.find("Nombre de parties : 0\nCorps du message.\n"), std::string::npos) << out;
    ASSERT_EQ(Run("supprimer 1"), 0) << err;
    EXPECT_EQ(Senders().size(), 3u);
    EXPECT_EQ(Run("supprimer 4"), 5) << "message 4 is not the scanned one any more";
    EXPECT_EQ(Senders().size(), 3u);
}

TEST_F(CliDovecot, WrongPasswordFailsWithStatusOne) {
    PutFile(folder_ / "vannoir.INI", std::string("[Form]\r\nServeur1=127.0.0.1\r\nNom1=") + kUser +
                                         "\r\nPasse1=" + ScramblePassword("Mauvais") + "\r\n");
    EXPECT_EQ(Run("en-tetes"), 1);
    EXPECT_NE(err.find("Impossible de se connecter au serveur\n"), std::string::npos) << err;
    EXPECT_EQ(out, "");
}

// A mailbox as today's mail programs write it: UTF-8 Q and B words (one
// character cut between two B words), a raw UTF-8 display name, ISO-8859-1
// and ISO-8859-15 words, text in UTF-8 and an attachment name in the
// extended parameter form. The lists are Windows-1252 files.
const Mail kCharsetMails[] = {
    {"1700000011.M1P1.vannoir", "=?UTF-8?Q?H=c3=a9l=c3=a8ne_Dupr=c3=a9?= <helene@example.fr>",
     "=?UTF-8?Q?Compte_rendu_d=e2=80=99=c3=a9t=c3=a9?="},
    {"1700000012.M2P1.vannoir", "=?UTF-8?B?SmVhbiBNw7xsbGVy?= <jean@example.fr>",
     "=?UTF-8?B?UsM=?=\r\n =?UTF-8?B?qXVuaW9uIGRlIGTDqWNlbWJyZQ==?="},
    {"1700000013.M3P1.vannoir", "=?iso-8859-1?Q?FRAN=C7OIS_Pub?= <pub@pub.example>",
     "=?iso-8859-15?Q?Gagnez_1000_=A4?="},
    {"1700000014.M4P1.vannoir", "Zo\xC3\xA9 Martin <zoe@example.fr>", "Caf\xC3\xA9 ?"},
};

class CliDovecotCharsets : public CliDovecot {
protected:
    void SetUp() override {
        CliDovecot::SetUp();
        if (IsSkipped()) return;
        const fs::path folder = homes_ / kUser / "Maildir" / "new";
        for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
        for (const Mail& mail : kCharsetMails) {
            std::ofstream out(folder / mail.file, std::ios::binary);
            out << "From: " << mail.from << "\r\nTo: " << kUser << "@example.fr\r\nSubject: " << mail.subject
                << "\r\nDate: Tue, 14 Nov 2023 22:13:20 +0000\r\nMIME-Version: 1.0\r\n"
                << (&mail == &kCharsetMails[0] ? kMixedBody
                                               : "Content-Type: text/plain; charset=UTF-8\r\n\r\nCorps.\r\n");
        }
        for (const auto& entry : fs::recursive_directory_iterator(homes_ / kUser))
            OwnLike(entry.path(), homes_);
        PutFile(folder_ / "Liste" / "Amis.TXT", "H\xE9l\xE8ne Dupr\xE9\r\nJean M\xFCller\r\n");
        PutFile(folder_ / "Liste" / "Intrus.TXT", "Fran\xE7ois Pub\r\n");
    }

    // The number the scan gave to the row of `sender` (UTF-8), or "".
    std::string NumberOf(const std::string& sender) const {
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            Lines cells;
            std::istringstream fields(line);
            for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
            if (cells.size() > 2 && cells[2] == sender) return cells[0];
        }
        return "";
    }

    static constexpr const char* kMixedBody =
        "Content-Type: multipart/mixed; boundary=\"------------sep\"\r\n\r\n"
        "--------------sep\r\n"
        "Content-Type: text/plain; charset=UTF-8; format=flowed\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
        "Voici le compte rendu : 5 =E2=82=AC, =C5=93uvre d=E2=80=99=C3=A9t=C3=A9.\r\n\r\n"
        "--------------sep\r\n"
        "Content-Type: application/pdf; name=\"=?UTF-8?Q?r=C3=A9sum=C3=A9=2Epdf?=\"\r\n"
        "Content-Disposition: attachment;\r\n filename*=UTF-8''r%C3%A9sum%C3%A9.pdf\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n"
        "JVBERg==\r\n"
        "--------------sep--\r\n";
};

TEST_F(CliDovecotCharsets, ScanShowsAndMatchesConvertedNames) {
    ASSERT_EQ(Run("en-tetes"), 0) << err;
    EXPECT_EQ(Senders(),
              (Lines{"FRAN\xC3\x87OIS Pub\tGagnez 1000 \xE2\x82\xAC\tI",
                     "H\xC3\xA9l\xC3\xA8ne Dupr\xC3\xA9\tCompte rendu d\xE2\x80\x99\xC3\xA9t\xC3\xA9\tA",
                     "Jean M\xC3\xBCller\tR\xC3\xA9union de d\xC3\xA9"
                     "cembre\tA",
                     "Zo\xC3\xA9 Martin\tCaf\xC3\xA9 ?\t"}));
}

TEST_F(CliDovecotCharsets, PreviewShowsConvertedTextAndAttachmentName) {
    ASSERT_EQ(Run("en-tetes"), 0) << err;
    const std::string number = NumberOf("H\xC3\xA9l\xC3\xA8ne Dupr\xC3\xA9");
    ASSERT_NE(number, "") << out;
    ASSERT_EQ(Run("apercu " + number), 0) << err;
    EXPECT_NE(
        out.find("Nombre de parties : 2\n"
                 "Voici le compte rendu : 5 \xE2\x82\xAC, \xC5\x93uvre d\xE2\x80\x99\xC3\xA9t\xC3\xA9.\n"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("Pi\xC3\xA8"
                       "ce jointe : r\xC3\xA9sum\xC3\xA9.pdf\n"),
              std::string::npos)
        << out;
}

}  // namespace

namespace {

// The message with `subject` as the server's own tool gives it.
std::string DoveadmText(const fs::path& server, const char* subject) {
    const std::string command = "doveadm -c " + (server / "dovecot.conf").string() + " fetch -u " + kUser +
                                " text mailbox INBOX subject " + subject + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "<no doveadm>";
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
    const std::string label = "text:\n";
    return text.starts_with(label) ? text.substr(label.size()) : "<unexpected> " + text;
}

// The purge keeps what the server held: each intruder extracted from the
// Corbeille is the bytes the server gave before the purge.
TEST_F(CliDovecot, PurgedIntrudersComeBackFromTheCorbeille) {
    const std::string gagnez = DoveadmText(server_, "Gagnez"), promo = DoveadmText(server_, "Promo");
    ASSERT_EQ(Run("en-tetes --purger"), 0) << err;
    ASSERT_EQ(Run("corbeille"), 0) << err;
    std::map<std::string, std::string> numbers;  // subject -> number
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        Lines fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        ASSERT_EQ(fields.size(), 6u) << line;
        numbers[fields[4]] = fields[0];
    }
    ASSERT_EQ(numbers.size(), 2u) << out;
    for (const auto& [subject, expected] : {std::pair{"Gagnez", gagnez}, std::pair{"Promo", promo}}) {
        const fs::path file = folder_ / (std::string(subject) + ".eml");
        ASSERT_EQ(Run("corbeille extraire " + numbers[subject] + " " + file.string()), 0) << err;
        EXPECT_EQ(FileBytes(file), expected) << subject;
    }
}

}  // namespace
