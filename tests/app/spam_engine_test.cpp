// The spam engine's settings, the local learning filter against the real
// program on a small labelled set, and engines that misbehave.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "app/spam_bogofilter.h"
#include "app/spam_learning.h"
#include "app/spam_settings.h"
#include "platform/ini_file.h"
#include "support/expect_error.h"
#include "support/scratch_folder.h"
#include "support/spam_training.h"

namespace {

using Engine = SpamSettings::Engine;

struct SettingsCase {
    const char* name;
    std::string file;
    Engine engine;
    std::string host;
    int port;
    std::string password, user;
};
const SettingsCase kSettings[] = {
    {"nothing_written_is_the_local_filter", "", Engine::Bogofilter, "127.0.0.1", 0, "", ""},
    {"engine_named_in_any_case", "[Antispam]\r\nMoteur= RSPAMD \r\nServeur=filtre.lan\r\nPort=11334\r\n",
     Engine::Rspamd, "filtre.lan", 11334, "", ""},
    {"none", "[Antispam]\r\nMoteur=aucun\r\n", Engine::None, "127.0.0.1", 0, "", ""},
    {"spamd_user_and_stored_password", "[Antispam]\r\nMoteur=spamd\r\nUtilisateur=anne\r\nMotDePasse=C2\r\n",
     Engine::Spamd, "127.0.0.1", 0, "h", "anne"},
    {"unknown_engine_and_bad_port_keep_defaults", "[Antispam]\r\nMoteur=autre\r\nPort=70000\r\n",
     Engine::Bogofilter, "127.0.0.1", 0, "", ""},
    {"password_no_form_decodes_is_empty", "[Antispam]\r\nMotDePasse=xyz\r\n", Engine::Bogofilter, "127.0.0.1",
     0, "", ""},
};
class SpamSettingsRead : public testing::TestWithParam<SettingsCase> {};
TEST_P(SpamSettingsRead, ReadsAndWritesBack) {
    const SettingsCase& c = GetParam();
    ScratchFolder dir;
    if (!c.file.empty()) PutFile(dir / "v.INI", c.file);
    const SpamSettings read = ReadSpamSettings(TIniFile(dir / "v.INI"));
    // What was read, written elsewhere, reads back the same.
    TIniFile other(dir / "w.INI");
    WriteSpamSettings(other, read);
    for (const SpamSettings& got : {read, ReadSpamSettings(TIniFile(dir / "w.INI"))}) {
        EXPECT_EQ(got.engine, c.engine);
        EXPECT_EQ(got.host, c.host);
        EXPECT_EQ(got.port, c.port);
        EXPECT_EQ(got.password, c.password);
        EXPECT_EQ(got.user, c.user);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, SpamSettingsRead, testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpamSettingsWrite, PasswordIsNotInClear) {
    ScratchFolder dir;
    TIniFile ini(dir / "v.INI");
    SpamSettings settings;
    settings.engine = Engine::Rspamd;
    settings.password = "secret-du-controleur";
    WriteSpamSettings(ini, settings);
    EXPECT_EQ(FileBytes(dir / "v.INI").find("secret"), std::string::npos);
    EXPECT_EQ(ReadSpamSettings(ini).password, "secret-du-controleur");
}

TEST(Bogofilter, LearnsFromLabelledMailThenJudgesAWholeScanInOrder) {
    ScratchFolder dir;
    BogofilterOptions options;
    options.words = dir / "Antispam";
    const auto engine = MakeBogofilterEngine(options);
    // Nothing learned yet: no guess.
    const std::vector<SpamVerdict> untrained = engine->Judge({MailHeader("a@b.fr", "x")});
    ASSERT_EQ(untrained.size(), 1u);
    EXPECT_FALSE(untrained[0].score);
    TeachSpamWords(options.words);

    // A body line that reads as a mailbox separator stays inside its message.
    const std::vector<std::string> scan{
        MailHeader("promo@offres.biz", kSpammySubject),
        MailHeader("claire@amis.fr", kWantedSubject, "From here on, jeudi.\r\nFrom claire\r\n"),
        MailHeader("promo@offres.biz", "Cheap casino prize claim"),
    };
    const std::vector<SpamVerdict> verdicts = engine->Judge(scan);
    ASSERT_EQ(verdicts.size(), 3u);
    EXPECT_EQ(verdicts[0].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[1].judgement, SpamJudgement::Wanted);
    EXPECT_EQ(verdicts[2].judgement, SpamJudgement::Spam);
    ASSERT_TRUE(verdicts[0].score && verdicts[1].score);
    EXPECT_GT(*verdicts[0].score, 0.9);
    EXPECT_LT(*verdicts[1].score, 0.1);

    // A change of mind: the wanted meeting notes, taught as spam many times
    // over with the earlier teaching forgotten, turn the verdict.
    const std::string meeting = MailHeader("claire@amis.fr", kWantedSubject);
    const double before = *engine->Judge({meeting})[0].score;
    for (const char* subject :
         {"Compte rendu de la réunion", "Réunion projet jeudi", "Projet : compte rendu"})
        engine->Learn(MailHeader("claire@amis.fr", subject), SpamLabel::Spam, true);
    EXPECT_GT(*engine->Judge({meeting})[0].score, before);
    EXPECT_EQ(::access((dir / "Antispam" / "wordlist.db").c_str(), F_OK), 0);
}

// What the engine was taught, in order.
class RecordingEngine : public SpamEngine {
public:
    std::vector<SpamVerdict> Judge(const std::vector<std::string>& messages) override {
        return std::vector<SpamVerdict>(messages.size());
    }
    void Learn(std::string_view message, SpamLabel label, bool forgetOther) override {
        lessons.push_back(std::string(message) + (label == SpamLabel::Spam ? " spam" : " bon") +
                          (forgetOther ? " (oubli)" : ""));
    }
    std::vector<std::string> lessons;
};

TEST(SpamLedger, EachMessageOnceAChangeOfMindForgetsFirst) {
    ScratchFolder dir;
    RecordingEngine engine;
    EXPECT_TRUE(LearnOnce(engine, dir / "Antispam", "uidl 1", "m1", SpamLabel::Spam));
    EXPECT_FALSE(LearnOnce(engine, dir / "Antispam", "uidl 1", "m1", SpamLabel::Spam));
    EXPECT_TRUE(LearnOnce(engine, dir / "Antispam", "uidl 2", "m2", SpamLabel::Wanted));
    EXPECT_TRUE(LearnOnce(engine, dir / "Antispam", "uidl 1", "m1", SpamLabel::Wanted));
    EXPECT_FALSE(LearnOnce(engine, dir / "Antispam", "uidl 1", "m1", SpamLabel::Wanted));
    EXPECT_EQ(engine.lessons, (std::vector<std::string>{"m1 spam", "m2 bon", "m1 bon (oubli)"}));
}

struct HostileCase {
    const char* name;
    const char* script;  // the engine's program; nullptr: there is none
    const char* says;    // part of the reason the user reads
};
const HostileCase kHostile[] = {
    {"missing_program", nullptr, "introuvable"},
    {"garbage", "#!/bin/sh\ncat >/dev/null; echo '<html>oops</html>'; echo; echo\n", "illisible"},
    {"too_few_lines", "#!/bin/sh\ncat >/dev/null; echo 'S 0.99'\n", "illisible"},
    {"score_out_of_range", "#!/bin/sh\ncat >/dev/null; for i in 1 2 3; do echo 'S 7'; done\n", "illisible"},
    {"endless_answer", "#!/bin/sh\ncat >/dev/null; yes 'S 0.99'\n", "illisible"},
    {"never_answers", "#!/bin/sh\nexec sleep 30\n", "à temps"},
    {"fails", "#!/bin/sh\ncat >/dev/null; echo 'database locked' >&2; exit 3\n", "code 3"},
};
class HostileEngine : public testing::TestWithParam<HostileCase> {};
TEST_P(HostileEngine, GivesAReasonWithinTheLimit) {
    const HostileCase& c = GetParam();
    ScratchFolder dir;
    PutFile(dir / "Antispam" / "wordlist.db", "");
    BogofilterOptions options;
    options.words = dir / "Antispam";
    options.program = (dir / "engine").string();
    options.limitMs = 500;
    if (c.script) {
        PutFile(dir / "engine", c.script);
        ::chmod((dir / "engine").c_str(), 0700);
    }
    const auto engine = MakeBogofilterEngine(options);
    const auto start = std::chrono::steady_clock::now();
    // Enough input that one not reading it would block a careless writer.
    const std::vector<std::string> scan(3, MailHeader("a@b.fr", "x", std::string(300000, 'y') + "\r\n"));
    auto e = ExpectThrown<ESpamEngineError>([&] { engine->Judge(scan); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_TRUE(e);
    EXPECT_NE(e->Message().find(c.says), std::string::npos) << e->Message();
}
INSTANTIATE_TEST_SUITE_P(Table, HostileEngine, testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
