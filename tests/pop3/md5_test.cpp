#include "pop3/md5.h"

#include <gtest/gtest.h>

#include "pop3/pop3.h"

namespace {
struct DigestCase {
    const char* name;
    std::string input;
    const char* hex;
};
const DigestCase kDigests[] = {
    // The test suite of RFC 1321.
    {"empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message_digest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"alphanumerics", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"eighty_digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    // Padding that just fits one block, and the lengths that need a second.
    {"length_55", std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {"length_56", std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {"length_63", std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {"length_64", std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {"length_65", std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    {"high_bytes", "\xE9t\xE9\xFF", "a772a52614371fb3f701ec292289ad7c"},
};
class Md5 : public testing::TestWithParam<DigestCase> {};
TEST_P(Md5, MatchesReferenceDigest) {
    EXPECT_EQ(TIdHashMessageDigest5::AsHex(TIdHashMessageDigest5::HashValue(GetParam().input)),
              GetParam().hex);
}
INSTANTIATE_TEST_SUITE_P(Rows, Md5, testing::ValuesIn(kDigests),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Apop, DigestOfTheStandardExample) {
    // RFC 1939, section 7.
    EXPECT_EQ(TIdPOP3::ApopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf"),
              "c4c9334bac560ecc979e58001b3e22fb");
}

struct TimestampCase {
    const char* name;
    const char* greeting;
    const char* timestamp;
};
const TimestampCase kTimestamps[] = {
    {"brackets_kept", "POP3 ready <1896.697170952@dbc.mtview.ca.us>", "<1896.697170952@dbc.mtview.ca.us>"},
    {"text_after_stays_out", "<a@b> and more", "<a@b>"},
    {"first_open_first_close_after_it", "x> <a<b>c> d", "<a<b>"},
    {"no_open_bracket", "POP3 ready", ""},
    {"open_without_close", "POP3 ready <1896", ""},
    {"close_only_before_open", "> <", ""},
};
class ApopTimestamp : public testing::TestWithParam<TimestampCase> {};
TEST_P(ApopTimestamp, TakesFirstBracketedText) {
    EXPECT_EQ(TIdPOP3::ApopTimestamp(GetParam().greeting), GetParam().timestamp);
}
INSTANTIATE_TEST_SUITE_P(Rows, ApopTimestamp, testing::ValuesIn(kTimestamps),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace
