// The fake server itself must notice a client that strays from the script.
#include <gtest/gtest.h>

#include "net/tcp_client.h"
#include "support/script_text.h"
#include "support/scripted_pop3_server.h"

namespace {
void Talk(int port, const std::vector<std::string>& lines) {
    TIdTCPClient c;
    c.Host = "127.0.0.1";
    c.Port = port;
    c.OpenConnection();
    for (const std::string& line : lines) c.WriteLine(line);
    c.CloseConnection();
}

struct StrayCase {
    const char* name;
    const char* script;
    std::vector<std::string> sent;
    bool followed;
};
const StrayCase kStrays[] = {
    {"exact_lines_follow", "C: USER anne\nC: QUIT\n", {"USER anne", "QUIT"}, true},
    {"different_line_fails", "C: USER anne\n", {"USER ann"}, false},
    {"trailing_blank_fails", "C: QUIT\n", {"QUIT "}, false},
    {"extra_line_fails", "C: QUIT\n", {"QUIT", "NOOP"}, false},
    {"missing_line_fails", "C: STAT\nC: QUIT\n", {"STAT"}, false},
    {"extra_after_close_fails", "C: STAT\n!close\n", {"STAT", "QUIT"}, false},
    {"lines_during_stall_are_fine", "C: STAT\n!stall\n", {"STAT", "QUIT"}, true},
};
class ScriptedServer : public testing::TestWithParam<StrayCase> {};
TEST_P(ScriptedServer, NoticesStrayClients) {
    ScriptedPop3Server server(GetParam().script, std::chrono::seconds(10));
    Talk(server.Port(), GetParam().sent);
    EXPECT_EQ(server.WaitFinished(), GetParam().followed) << server.Transcript();
    EXPECT_EQ(server.Commands(), GetParam().sent);
}
INSTANTIATE_TEST_SUITE_P(Rows, ScriptedServer, testing::ValuesIn(kStrays),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptText, EscapesAndMultiLineReplies) {
    EXPECT_EQ(UnescapeScriptText("a\\r\\n\\x41\\\\b\\q"), "a\r\nA\\b\\q");
    EXPECT_EQ(MultiLineReply("+OK", "From: a\r\n.hidden\nx\\y"),
              "S: +OK\nS: From: a\nS: ..hidden\nS: x\\\\y\nS: .\n");
    EXPECT_THROW(ParsePop3Script("X: what"), std::invalid_argument);
}
}  // namespace
