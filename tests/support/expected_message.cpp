#include "support/expected_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "message/message.h"
#include "message/message_part.h"
#include "platform/text.h"
#include "support/script_text.h"
#include "support/test_data.h"

namespace {

const std::string kFolder = "mime/messages/";

void ApplyField(ExpectedMessage& m, const std::string& key, const std::string& value) {
    ExpectedPart* part = m.parts.empty() ? nullptr : &m.parts.back();
    if (key == "Option" && value == "NoDecode")
        m.noDecode = true;
    else if (key == "Subject")
        m.subject = value;
    else if (key == "Error")
        m.error = value;
    else if (key == "Body")
        m.body.push_back(value);
    else if (key == "Text" || key == "Attachment") {
        m.parts.emplace_back();
        m.parts.back().attachment = key == "Attachment";
    } else if (part && key == "ContentType")
        part->contentType = value;
    else if (part && key == "ContentTransfer")
        part->contentTransfer = value;
    else if (part && key == "ContentDisposition")
        part->contentDisposition = value;
    else if (part && key == "FileName")
        part->fileName = value;
    else if (part && key == "Line")
        part->lines.push_back(value);
    else if (part && key == "Unreadable")
        part->unreadable = true;
    else if (part && key == "Bytes")
        part->bytes += UnescapeScriptText(value);
    else
        throw std::runtime_error("unknown expectation line: " + key);
}

}  // namespace

ExpectedMessage ParseExpectedMessage(std::string_view text) {
    ExpectedMessage m;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line[start] == '#') continue;
        const std::size_t blank = line.find(' ', start);
        const std::string key = line.substr(start, blank == std::string::npos ? blank : blank - start);
        ApplyField(m, key, blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return m;
}

std::vector<std::string> TestMessageNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TestDataPath(kFolder)))
        if (entry.path().extension() == ".expected") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

ExpectedMessage ReadExpectedMessage(const std::string& name) {
    return ParseExpectedMessage(ReadTestData(kFolder + name + ".expected"));
}

std::string ReadTestMessage(const std::string& name) { return ReadTestData(kFolder + name + ".eml"); }

std::string RetrAnswerLines(std::string_view stored) {
    std::string out;
    std::size_t start = 0;
    while (start < stored.size()) {
        std::size_t end = stored.find('\n', start);
        if (end == std::string_view::npos) end = stored.size();
        std::string_view line = stored.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line[0] == '.') out += '.';
        out.append(line).append("\r\n");
        start = end + 1;
    }
    return out + ".\r\n";
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void RemoveAttachmentFiles(const TIdMessage& message) {
    for (int i = 0; i < message.Parts.Count(); ++i) {
        if (const auto* a = dynamic_cast<const TIdAttachment*>(&message.Parts.Items(i)))
            std::filesystem::remove(a->StoredPathName);
    }
}

void ExpectMessageAsExpected(const TIdMessage& message, const ExpectedMessage& expected) {
    if (expected.subject) {
        EXPECT_EQ(message.Subject, *expected.subject);
    }
    EXPECT_EQ(message.Body.Lines(), expected.body) << "Body";
    ASSERT_EQ(message.Parts.Count(), static_cast<int>(expected.parts.size())) << "number of Parts";
    for (int i = 0; i < message.Parts.Count(); ++i) {
        SCOPED_TRACE("part " + std::to_string(i));
        const ExpectedPart& want = expected.parts[i];
        const TIdMessagePart& part = message.Parts.Items(i);
        EXPECT_EQ(part.ContentType(), want.contentType);
        EXPECT_EQ(part.ContentTransfer(), want.contentTransfer);
        EXPECT_EQ(part.Unreadable, want.unreadable);
        const auto* text = dynamic_cast<const TIdText*>(&part);
        const auto* attachment = dynamic_cast<const TIdAttachment*>(&part);
        if (!want.attachment) {
            ASSERT_NE(text, nullptr) << "a TIdText";
            EXPECT_EQ(text->Body.Lines(), want.lines);
            continue;
        }
        ASSERT_NE(attachment, nullptr) << "a TIdAttachment";
        EXPECT_EQ(attachment->FileName, want.fileName);
        EXPECT_EQ(attachment->ContentDisposition(), want.contentDisposition);
        ASSERT_TRUE(std::filesystem::exists(attachment->StoredPathName)) << attachment->StoredPathName;
        EXPECT_EQ(FileBytes(attachment->StoredPathName), want.bytes);
    }
}
