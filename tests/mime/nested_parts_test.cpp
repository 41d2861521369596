// A message nested deeper than the boundary stack keeps: the deeper
// boundaries read as plain lines of the deepest part kept.
#include <gtest/gtest.h>

#include "message/message.h"
#include "message/message_part.h"
#include "mime/message_client.h"
#include "support/fake_transport.h"

namespace {

std::string Nested(int levels) {
    std::string bytes = "Content-Type: multipart/mixed; boundary=\"b0\"\r\n\r\n";
    for (int level = 0; level < levels; ++level)
        bytes += "--b" + std::to_string(level) + "\r\nContent-Type: multipart/mixed; boundary=\"b" +
                 std::to_string(level + 1) + "\"\r\n\r\n";
    return bytes + "--b" + std::to_string(levels) + "\r\nContent-Type: text/plain\r\n\r\nfin\r\n.\r\n";
}

struct NestCase {
    const char* name;
    int levels;
    int parts;          // items of Parts
    int lastPartLines;  // lines of the last text part
    int stackDepth;     // boundaries left on the stack
};
const NestCase kNests[] = {
    // The message's own boundary plus 99 nested ones fill the stack; each
    // level's part is a text part with no line.
    {"within_the_stack", 50, 51, 1, 51},
    {"deeper_than_the_stack", 150, 100, 3 * (150 - 99) + 1, 100},
};
class NestedParts : public testing::TestWithParam<NestCase> {};
TEST_P(NestedParts, KeepAtMostAHundredBoundaries) {
    TIdMessageClient client;
    InstallFakeTransport(client, Nested(GetParam().levels));
    TIdMessage message;
    client.ReadHeaderBlock(message, "");
    client.ReadMessageBody(message, ".");
    ASSERT_EQ(message.Parts.Count(), GetParam().parts);
    auto* last = dynamic_cast<TIdText*>(&message.Parts.Items(message.Parts.Count() - 1));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Body.Count(), GetParam().lastPartLines);
    EXPECT_EQ(last->Body[last->Body.Count() - 1], "fin");
    EXPECT_EQ(message.BoundaryStack.Count(), GetParam().stackDepth);
}
INSTANTIATE_TEST_SUITE_P(Rows, NestedParts, testing::ValuesIn(kNests),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
