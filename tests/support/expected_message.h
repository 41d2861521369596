#pragma once
// The test messages of tests/data/mime/messages/: each NAME.eml (the message
// as it sits in the mailbox, LF line ends, Windows-1252) comes with
// NAME.expected, the result of retrieving it, written by hand:
//
//   # comment                   Option NoDecode   (retrieve with NoDecode set)
//   Subject <text>              Error <message>   (retrieval fails with it)
//   Body <line>                 one line of Body, in order ("Body" alone: empty)
//   Text                        a TIdText item of Parts, then its fields:
//     ContentType <v>  ContentTransfer <v>  Line <text>
//   Attachment                  a TIdAttachment item, then its fields:
//     FileName <v>  ContentType <v>  ContentTransfer <v>  ContentDisposition <v>
//     Bytes <escaped>           decoded bytes, concatenated; escapes as in scripts
//     Unreadable                (either part) its encoding broke off
// Fields left out are expected empty.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIdMessage;

struct ExpectedPart {
    bool attachment = false;
    std::string contentType, contentTransfer, contentDisposition, fileName;
    std::vector<std::string> lines;
    std::string bytes;
    bool unreadable = false;  // "Unreadable": its encoding broke off
};

struct ExpectedMessage {
    bool noDecode = false;
    std::optional<std::string> subject;
    std::vector<std::string> body;
    std::vector<ExpectedPart> parts;
    std::string error;
};

ExpectedMessage ParseExpectedMessage(std::string_view text);
// Names of the messages that have an expected result, sorted.
std::vector<std::string> TestMessageNames();
ExpectedMessage ReadExpectedMessage(const std::string& name);
// NAME.eml as stored.
std::string ReadTestMessage(const std::string& name);
// The multi-line answer to RETR: CR LF line ends, dot-stuffed, "." line.
std::string RetrAnswerLines(std::string_view stored);
// GoogleTest checks of every field the expectation names.
void ExpectMessageAsExpected(const TIdMessage& message, const ExpectedMessage& expected);
// Removes the temporary files of the message's attachments.
void RemoveAttachmentFiles(const TIdMessage& message);
// Whole content of a file, bytes as they are ("" when missing).
std::string FileBytes(const std::string& path);
