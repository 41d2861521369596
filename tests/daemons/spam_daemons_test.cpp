// The daemon engines against the real spamd and rspamd, started once for
// this program by scripts/spam-daemons: a scan judged in order, learning that
// the daemon's own statistics then show, and a refused password.
#include "app/spam_daemons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/expect_error.h"
#include "support/private_spam_daemons.h"

namespace {

// The test string every SpamAssassin-compatible engine marks as spam.
constexpr const char* kGtube = "XJS*C4JDBQADN1.NSBN3*2IDNEN*GTUBE-STANDARD-ANTI-UBE-TEST-EMAIL*C.34X";

std::string Message(const std::string& id, const std::string& subject, const std::string& body) {
    return "From: Expediteur <expediteur@" + id + ".example>\r\nTo: anne@exemple.fr\r\nSubject: " + subject +
           "\r\nDate: Tue, 8 Dec 2026 09:00:00 +0100\r\nMessage-ID: <" + id + "@" + id +
           ".example>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n" + body +
           "\r\n";
}

template <class Action>
std::string FailureText(Action&& action) {
    const auto e = ExpectThrown<ESpamEngineError>(action);
    return e ? e->Message() : "";
}

bool Has(const std::vector<std::string>& reasons, std::string_view prefix) {
    return std::any_of(reasons.begin(), reasons.end(),
                       [&](const std::string& r) { return r.starts_with(prefix); });
}

struct DaemonCase {
    const char* name;
    SpamSettings::Engine engine;
    std::unique_ptr<SpamEngine> (*make)(const SpamSettings&, SpamDaemonLimits);
    // The reason a learned statistic gives when it finds spam; none for a
    // daemon whose statistics stay silent after one lesson each way, where
    // only that every lesson is taken is checked.
    const char* learnedSpamReason;
};

const DaemonCase kDaemons[] = {
    {"spamd", SpamSettings::Engine::Spamd, MakeSpamdEngine, "BAYES_"},
    {"rspamd", SpamSettings::Engine::Rspamd, MakeRspamdEngine, nullptr},
};

class SpamDaemonTable : public testing::TestWithParam<DaemonCase> {
protected:
    void SetUp() override {
        const PrivateSpamDaemons daemons = PrivateSpamDaemons::FromEnvironment();
        settings_ = daemons.Settings(GetParam().engine);
        if (settings_.port == 0) GTEST_SKIP() << daemons.Missing(GetParam().name);
    }
    std::unique_ptr<SpamEngine> Engine(const SpamSettings& settings) const {
        return GetParam().make(settings, SpamDaemonLimits{});
    }
    SpamSettings settings_;
};

TEST_P(SpamDaemonTable, AScanIsJudgedInOrderWithTheDaemonsReasons) {
    const std::vector<std::string> scan = {
        Message("a1", "Test", std::string(kGtube)),
        Message("a2", "Compte rendu de la reunion", "Bonjour, voici le compte rendu."),
        Message("a3", "Encore", std::string(kGtube)),
    };
    const std::vector<SpamVerdict> verdicts = Engine(settings_)->Judge(scan);
    ASSERT_EQ(verdicts.size(), 3u);
    EXPECT_EQ(verdicts[0].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[1].judgement, SpamJudgement::Wanted);
    EXPECT_EQ(verdicts[2].judgement, SpamJudgement::Spam);
    EXPECT_TRUE(Has(verdicts[0].reasons, "GTUBE")) << testing::PrintToString(verdicts[0].reasons);
    EXPECT_FALSE(Has(verdicts[1].reasons, "GTUBE"));
    ASSERT_TRUE(verdicts[0].score && verdicts[1].score);
    EXPECT_GT(*verdicts[0].score, *verdicts[1].score);
    EXPECT_TRUE(Engine(settings_)->Judge({}).empty());
}

// Taught once each way, the daemon's statistics recognise the spam; taught
// the same again, and taught back after a change of mind, it raises nothing.
TEST_P(SpamDaemonTable, WhatIsLearnedShowsInTheNextVerdict) {
    const std::string words =
        "cheap watches replica luxury discount offer limited pharmacy pills casino bonus jackpot winner "
        "claim prize lottery transfer";
    const std::string spam = Message("s1", "Offre unique replica", words + "\r\n" + words);
    const std::string ham =
        Message("h1", "Rapport trimestriel",
                "the quarterly report is attached please review the budget figures before "
                "thursday meeting with the finance team and the auditors");
    const auto engine = Engine(settings_);
    engine->Learn(ham, SpamLabel::Spam, false);
    engine->Learn(ham, SpamLabel::Wanted, true);
    engine->Learn(ham, SpamLabel::Wanted, false);
    engine->Learn(spam, SpamLabel::Spam, false);
    const std::string again = Message("s2", "Offre unique replica", words + "\r\n" + words);
    const std::vector<SpamVerdict> verdicts = engine->Judge({again});
    ASSERT_EQ(verdicts.size(), 1u);
    if (GetParam().learnedSpamReason == nullptr) return;
    EXPECT_TRUE(Has(verdicts[0].reasons, GetParam().learnedSpamReason))
        << testing::PrintToString(verdicts[0].reasons);
}

TEST_P(SpamDaemonTable, NothingListeningIsSaidInFrench) {
    SpamSettings elsewhere = settings_;
    elsewhere.port = 1;
    const std::string text = FailureText([&] { Engine(elsewhere)->Judge({Message("x", "x", "x")}); });
    EXPECT_NE(text.find("injoignable"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Daemons, SpamDaemonTable, testing::ValuesIn(kDaemons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Rspamd, AWrongControllerPasswordIsRefused) {
    const PrivateSpamDaemons daemons = PrivateSpamDaemons::FromEnvironment();
    SpamSettings settings = daemons.Settings(SpamSettings::Engine::Rspamd);
    if (settings.port == 0) GTEST_SKIP() << daemons.Missing("rspamd");
    settings.password = "pas-le-bon";
    const std::string text = FailureText(
        [&] { MakeRspamdEngine(settings, {})->Learn(Message("p1", "x", "y"), SpamLabel::Spam, false); });
    EXPECT_NE(text.find("mot de passe"), std::string::npos) << text;
}

}  // namespace
