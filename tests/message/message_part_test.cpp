#include <gtest/gtest.h>

#include "message/message_errors.h"
#include "message/message_parts.h"

namespace {

auto byName = [](const auto& info) { return std::string(info.param.name); };

template <class Error>
void ExpectError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(MessagePart, CreatingTheBaseFails) {
    const std::string text =
        std::string("TIdMessagePart ne peut être créé.  Utilisez des classes descendantes. ");
    ExpectError<EIdCanNotCreateMessagePart>([] { TIdMessagePart part; }, text);
    TIdMessageParts parts;
    ExpectError<EIdCanNotCreateMessagePart>([&] { parts.Add(); }, text);
    EXPECT_EQ(parts.Count(), 0);
}

TEST(MessagePart, PropertiesLiveInTheHeaderList) {
    TIdMessageParts parts;
    TIdAttachment& part = parts.AddAttachment();
    part.SetContentType("image/png; name=\"x.png\"");
    part.SetContentTransfer("base64");
    part.SetContentDisposition("inline");
    EXPECT_EQ(part.Headers().Count(), 3);
    EXPECT_EQ(part.Headers().ValueOf("content-type"), "image/png; name=\"x.png\"");
    EXPECT_EQ(part.ContentTransfer(), "base64");
    EXPECT_EQ(part.ContentDisposition(), "inline");
    part.SetContentTransfer("");  // an empty value removes the line
    EXPECT_EQ(part.Headers().Count(), 2);
    EXPECT_EQ(part.Headers().IndexOfHeader("Content-Transfer-Encoding"), -1);
}

TEST(MessagePart, AbsentTransferEncodingReadsEmptyAndAddsNoLine) {
    TIdMessageParts parts;
    TIdText& text = parts.AddText();
    text.SetContentType("text/plain");
    text.SetContentTransfer("");
    EXPECT_EQ(text.ContentTransfer(), "");
    EXPECT_EQ(text.Headers().Count(), 1);
}

TEST(MessagePart, LongValueFoldsAndUnfolds) {
    TIdMessageParts parts;
    TIdText& text = parts.AddText();
    std::string type =
        "multipart/mixed; boundary=\"----=_NextPart_000_0001_01C0A1B2.C3D4E5F6\"; charset=iso-8859-1";
    text.SetContentType(type);
    EXPECT_GT(text.Headers().Count(), 1);
    EXPECT_EQ(text.ContentType(), type);
}

struct PathCase {
    const char* name;
    std::string path;
    std::string fileName;
};
const PathCase kPaths[] = {
    {"windows_path", "C:\\tmp\\a.dat", "a.dat"},
    {"drive_only", "C:a.dat", "a.dat"},
    {"posix_path", "/tmp/Orvi1a2b3c", "Orvi1a2b3c"},
    {"no_directory", "a.dat", "a.dat"},
    {"empty_path", "", ""},
    {"ends_with_separator", "/tmp/", ""},
    {"accented_name", "/tmp/r\xE9sum\xE9.pdf", "r\xE9sum\xE9.pdf"},
};
class AttachmentPath : public testing::TestWithParam<PathCase> {};
TEST_P(AttachmentPath, FileNameIsTheLastComponent) {
    TIdMessageParts parts;
    TIdAttachment& attachment = parts.AddAttachment(GetParam().path);
    EXPECT_EQ(attachment.StoredPathName, GetParam().path);
    EXPECT_EQ(attachment.FileName, GetParam().fileName);
}
INSTANTIATE_TEST_SUITE_P(Table, AttachmentPath, testing::ValuesIn(kPaths), byName);

TEST(MessageParts, KeepOrderAndIndexFromZero) {
    TIdMessageParts parts;
    parts.AddText(TStringList{"one", "two"});
    parts.AddAttachment("/tmp/a.dat");
    ASSERT_EQ(parts.Count(), 2);
    EXPECT_EQ(static_cast<TIdText&>(parts[0]).Body.Lines(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(static_cast<TIdAttachment&>(parts[1]).FileName, "a.dat");
    ExpectError<EListError>([&] { parts.Items(2); }, "Indice de liste hors limites (2)");
    ExpectError<EListError>([&] { parts.Items(-1); }, "Indice de liste hors limites (-1)");
    parts.Clear();
    EXPECT_EQ(parts.Count(), 0);
}

TEST(MessagePart, AssignFromSameClassCopiesAllButStoredPath) {
    TIdMessageParts parts;
    TIdAttachment& from = parts.AddAttachment("/tmp/from.bin");
    from.SetContentType("application/pdf");
    from.SetContentTransfer("base64");
    from.SetContentDisposition("attachment; filename=\"r.pdf\"");
    from.ExtraHeaders().Add("Content-ID: <1@x>");
    from.FileName = "r.pdf";
    TIdAttachment& to = parts.AddAttachment("/tmp/to.bin");
    to.Assign(from);
    EXPECT_EQ(to.ContentType(), "application/pdf");
    EXPECT_EQ(to.ContentTransfer(), "base64");
    EXPECT_EQ(to.ContentDisposition(), "attachment; filename=\"r.pdf\"");
    EXPECT_EQ(to.ExtraHeaders().Lines(), from.ExtraHeaders().Lines());
    EXPECT_EQ(to.FileName, "r.pdf");
    EXPECT_EQ(to.StoredPathName, "/tmp/to.bin");

    TIdText& text = parts.AddText(TStringList{"a"});
    text.SetContentType("text/plain");
    TIdText& copy = parts.AddText();
    copy.Assign(text);
    EXPECT_EQ(copy.Body.Lines(), text.Body.Lines());
    EXPECT_EQ(copy.ContentType(), "text/plain");
}

TEST(MessagePart, AssignFromAnotherClassFails) {
    TIdMessageParts parts;
    TIdText& text = parts.AddText();
    TIdAttachment& attachment = parts.AddAttachment();
    ExpectError<EConvertError>([&] { text.Assign(attachment); },
                               std::string("Impossible d'assigner un TIdAttachment à un TIdText."));
}

TEST(MessageParts, AttachmentEncodingAcceptsRegisteredEncodersOnly) {
    TIdMessageParts parts;
    EXPECT_EQ(parts.AttachmentEncoding(), "MIME");
    parts.SetAttachmentEncoding("UUE");
    EXPECT_EQ(parts.AttachmentEncoding(), "UUE");
    parts.SetAttachmentEncoding("XXE");
    ExpectError<EIdException>([&] { parts.SetAttachmentEncoding("BinHex"); },
                              std::string("Encodeur de message non trouvé: BinHex"));
    EXPECT_EQ(parts.AttachmentEncoding(), "XXE");
}

TEST(MessageParts, CountPartsCountsTextsAttachmentsAndRelated) {
    TIdMessageParts parts;
    parts.AddText();
    parts.AddAttachment();
    parts.AddAttachment().ExtraHeaders().SetValueOf("Content-ID", "<img@x>");
    parts.AddAttachment().ExtraHeaders().SetValueOf("Content-Type", "image/png");
    parts.CountParts();
    EXPECT_EQ(parts.TextPartCount(), 1);
    EXPECT_EQ(parts.AttachmentCount(), 3);
    EXPECT_EQ(parts.RelatedPartCount(), 1);
}

}  // namespace
