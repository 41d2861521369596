// The test messages retrieved from the private Dovecot, with the same
// expected results as through the fake server; and the memory a large
// attachment costs.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "message/message.h"
#include "message/message_part.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/dovecot_fixture.h"
#include "support/expected_message.h"
#include "support/generated_message.h"
#include "support/process_memory.h"

namespace {

class RetrievalFromDovecot : public DovecotFixture {
protected:
    void TearDown() override {
        DovecotFixture::TearDown();
        RemoveAttachmentFiles(message);
    }

    TIdMessage message;
};

class DovecotRetrieval : public RetrievalFromDovecot, public testing::WithParamInterface<std::string> {};

TEST_P(DovecotRetrieval, GivesTheExpectedMessage) {
    dovecot.AddMessage(ReadTestMessage(GetParam()));
    const ExpectedMessage expected = ReadExpectedMessage(GetParam());
    client.OpenSession();
    message.NoDecode = expected.noDecode;
    std::string error;
    try {
        EXPECT_TRUE(client.LoadMessage(1, message));
    } catch (const EIdException& e) {
        error = e.Message();
    }
    // A whole message read leaves the session in step for the next command.
    if (expected.error.empty()) {
        EXPECT_EQ(client.CountMessages(), 1);
    }
    client.CloseSession();
    EXPECT_EQ(error, expected.error);
    ExpectMessageAsExpected(message, expected);
}

INSTANTIATE_TEST_SUITE_P(TestMessages, DovecotRetrieval, testing::ValuesIn(TestMessageNames()),
                         [](const auto& info) { return info.param; });

// The attachment's bytes go to its file as they are decoded, never gathered
// in memory.
TEST_F(RetrievalFromDovecot, LargeAttachmentCostsLittleMemory) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer holds on to freed memory";
    constexpr std::size_t kBytes = 50u << 20;
    {
        std::ostringstream generated;
        WriteAttachmentMessage(generated, kBytes);
        dovecot.AddMessage(generated.str());
    }
    client.OpenSession();
    ResetPeakResident();
    const long before = ResidentKb();
    ASSERT_TRUE(client.LoadMessage(1, message));
    EXPECT_LT(PeakResidentKb() - before, 16 * 1024);
    ASSERT_EQ(message.Parts.Count(), 2);
    const auto& attachment = dynamic_cast<const TIdAttachment&>(message.Parts.Items(1));
    EXPECT_EQ(attachment.FileName, "donnees.bin");
    EXPECT_EQ(std::filesystem::file_size(attachment.StoredPathName), kBytes);
}

}  // namespace
