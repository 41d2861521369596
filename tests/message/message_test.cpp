#include "message/message.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "message/message_errors.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "support/scoped_time_zone.h"

namespace {

auto byName = [](const auto& info) { return std::string(info.param.name); };

// The header block as reception leaves it: each line appended unchanged.
void Fill(TIdMessage& message, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) message.HeaderLines.Add(line);
}

std::string Joined(const TStringList& list) {
    std::string text;
    for (const std::string& line : list.Lines()) text += (text.empty() ? "" : "|") + line;
    return text;
}

// The message fields a parse row can check, by name.
std::string Field(const TIdMessage& m, const std::string& name) {
    const std::map<std::string, std::function<std::string()>> fields = {
        {"From.Name", [&] { return m.From.Name; }},
        {"From.Address", [&] { return m.From.Address; }},
        {"Subject", [&] { return m.Subject; }},
        {"Priority", [&] { return IntToStr(m.Priority); }},
        {"CharSet", [&] { return m.CharSet; }},
        {"ContentType", [&] { return m.ContentType; }},
        {"ContentTransferEncoding", [&] { return m.ContentTransferEncoding; }},
        {"ContentDisposition", [&] { return m.ContentDisposition; }},
        {"MessageId", [&] { return m.MessageId; }},
        {"NewsGroups", [&] { return Joined(m.NewsGroups); }},
        {"Recipients", [&] { return m.Recipients.AsText(); }},
        {"CCList", [&] { return m.CCList.AsText(); }},
        {"BccList", [&] { return m.BccList.AsText(); }},
        {"Organization", [&] { return m.Organization; }},
        {"ReceiptRecipient", [&] { return m.ReceiptRecipient.Address; }},
        {"References", [&] { return m.References; }},
        {"ReplyTo", [&] { return m.ReplyTo.AsText(); }},
        {"ReplyTo.Name", [&] { return m.ReplyTo.Count() ? m.ReplyTo[0].Name : ""; }},
        {"CCList.Name", [&] { return m.CCList.Count() ? m.CCList[0].Name : ""; }},
        {"Sender", [&] { return m.Sender.Address; }},
        {"Boundary", [&] { return m.BoundaryStack.CurrentBoundary(); }},
        {"BoundaryCount", [&] { return IntToStr(m.BoundaryStack.Count()); }},
    };
    return fields.at(name)();
}

struct ParseCase {
    const char* name;
    std::vector<std::string> header;
    std::map<std::string, std::string> expected;
};

const std::string kHighest = IntToStr(mpHighest), kHigh = IntToStr(mpHigh), kNormal = IntToStr(mpNormal),
                  kLow = IntToStr(mpLow), kLowest = IntToStr(mpLowest);

const ParseCase kParse[] = {
    {"from_name_and_address",
     {"From: Jean Dupont <jean@exemple.fr>", "Subject: Bonjour"},
     {{"From.Name", "Jean Dupont"}, {"From.Address", "jean@exemple.fr"}, {"Subject", "Bonjour"}}},
    {"no_from_leaves_it_empty", {"Subject: x"}, {{"From.Name", ""}, {"From.Address", ""}}},
    {"name_in_capitals", {"FROM: a@x.fr"}, {{"From.Address", "a@x.fr"}}},
    {"name_in_small_letters", {"from: a@x.fr"}, {{"From.Address", "a@x.fr"}}},
    {"first_of_two_from_wins", {"From: a@x.fr", "From: b@x.fr"}, {{"From.Address", "a@x.fr"}}},
    {"from_not_split_at_comma", {"From: \"Dupont, Jean\" <j@x.fr>"}, {{"From.Name", "Dupont, Jean"}}},
    {"from_of_two_mailboxes_is_the_first",
     {"From: Bob <bob@x.test>, Bobby <bobby@x.test>"},
     {{"From.Name", "Bob"}, {"From.Address", "bob@x.test"}}},
    {"from_of_two_mailboxes_without_comma_is_the_first",
     {"From: Bob <bob@x.test> Bobby <bobby@x.test>"},
     {{"From.Name", "Bob"}, {"From.Address", "bob@x.test"}}},
    {"folded_subject_joined",
     {"Subject: part one", "\tpart two", " part three"},
     {{"Subject", "part one part two part three"}}},
    {"no_blank_after_colon", {"Subject:Bonjour"}, {{"Subject", "Bonjour"}}},
    {"blank_before_colon_not_found", {"Subject : Bonjour"}, {{"Subject", ""}}},
    {"x_priority_1_with_comment", {"X-Priority: 1 (Highest)"}, {{"Priority", kHighest}}},
    {"x_priority_5", {"X-Priority: 5"}, {{"Priority", kLowest}}},
    {"priority_urgent", {"Priority: urgent"}, {{"Priority", kHigh}}},
    {"priority_non_urgent_reads_urgent_first", {"Priority: non-urgent"}, {{"Priority", kHigh}}},
    {"priority_non_priority", {"Priority: non-priority"}, {{"Priority", kLow}}},
    {"priority_normal_is_not_a_number", {"Priority: normal"}, {{"Priority", kNormal}}},
    {"no_priority_header", {"Subject: x"}, {{"Priority", kNormal}}},
    {"empty_priority_falls_to_x_priority", {"Priority:", "X-Priority: 2"}, {{"Priority", kHigh}}},
    {"priority_before_x_priority", {"X-Priority: 5", "Priority: 1"}, {{"Priority", kHighest}}},
    {"x_priority_0_clamps_to_highest", {"X-Priority: 0"}, {{"Priority", kHighest}}},
    {"x_priority_9_clamps_to_lowest", {"X-Priority: 9"}, {{"Priority", kLowest}}},
    {"x_priority_min_int_clamps", {"X-Priority: -2147483648"}, {{"Priority", kHighest}}},
    {"x_priority_too_big_for_int", {"X-Priority: 99999999999"}, {{"Priority", kNormal}}},
    {"charset_unquoted",
     {"Content-Type: text/plain; charset=iso-8859-1"},
     {{"CharSet", "ISO-8859-1"}, {"ContentType", "text/plain; charset=iso-8859-1"}}},
    {"charset_then_parameter",
     {"Content-Type: text/plain; charset=us-ascii; format=flowed"},
     {{"CharSet", "US-ASCII"}}},
    {"charset_quoted",
     {"Content-Type: text/plain; charset=\"iso-8859-1\"; x=y"},
     {{"CharSet", "ISO-8859-1"}}},
    {"charset_untrimmed", {"Content-Type: text/plain; charset=utf-8 ; x=y"}, {{"CharSet", "UTF-8 "}}},
    {"no_charset", {"Content-Type: text/plain"}, {{"CharSet", ""}}},
    {"transfer_and_disposition",
     {"Content-Transfer-Encoding: quoted-printable", "Content-Disposition: inline"},
     {{"ContentTransferEncoding", "quoted-printable"}, {"ContentDisposition", "inline"}}},
    {"receipt_from_return_receipt_to", {"Return-Receipt-To: r@x.fr"}, {{"ReceiptRecipient", "r@x.fr"}}},
    {"disposition_notification_first",
     {"Return-Receipt-To: r@x.fr", "Disposition-Notification-To: d@x.fr"},
     {{"ReceiptRecipient", "d@x.fr"}}},
    {"newsgroups_split_and_trimmed",
     {"Newsgroups: fr.comp.os , fr.rec.humour,,"},
     {{"NewsGroups", "fr.comp.os|fr.rec.humour"}}},
    {"newsgroups_comma_after_one_quote_kept", {"Newsgroups: a\"b,c\",d"}, {{"NewsGroups", "a\"b,c\"|d"}}},
    {"to_and_cc_lists",
     {"To: a@x.fr, b@x.fr", "Cc: c@x.fr"},
     {{"Recipients", "a@x.fr, b@x.fr"}, {"CCList", "c@x.fr"}}},
    {"bcc_never_read", {"Bcc: secret@x.fr"}, {{"BccList", ""}}},
    {"plain_text_fields",
     {"Message-Id: <1@x>", "Organization: Caf\xE9 du coin", "References: <0@x>", "Sender: s@x.fr",
      "Reply-To: r@x.fr"},
     {{"MessageId", "<1@x>"},
      {"Organization", "Café du coin"},
      {"References", "<0@x>"},
      {"Sender", "s@x.fr"},
      {"ReplyTo", "r@x.fr"}}},
    {"quoted_boundary_pushed_upper_case",
     {"Content-Type: multipart/mixed; boundary=\"b1\""},
     {{"Boundary", "B1"}, {"BoundaryCount", "1"}}},
    {"folded_content_type_boundary",
     {"Content-Type: multipart/alternative;", "\tboundary=\"=_x\""},
     {{"Boundary", "=_X"}, {"ContentType", "multipart/alternative; boundary=\"=_x\""}}},
    {"no_boundary_pushes_nothing", {"Content-Type: text/plain"}, {{"BoundaryCount", "0"}}},
    {"high_bytes_in_subject",
     {"Subject: \xE9t\xE9 \xE7"
      "a \xFF"},
     {{"Subject", "été ça ÿ"}}},
    {"encoded_cc_decoded", {"Cc: =?windows-1252?B?Q2Fm6Q==?= <c@x.fr>"}, {{"CCList.Name", "Café"}}},
    {"reply_to_organization_not_decoded",
     {"Reply-To: =?ISO-8859-1?Q?Andr=E9?= <a@x.fr>", "Organization: =?ISO-8859-1?Q?Caf=E9?="},
     {{"ReplyTo.Name", "=?ISO-8859-1?Q?Andr=E9?="}, {"Organization", "=?ISO-8859-1?Q?Caf=E9?="}}},
    {"utf8_subject_decoded", {"Subject: =?UTF-8?Q?Caf=C3=A9?="}, {{"Subject", "Café"}}},
    {"unknown_charset_subject_stays_encoded",
     {"Subject: =?X-UNKNOWN?Q?Caf=C3=A9?="},
     {{"Subject", "=?X-UNKNOWN?Q?Caf=C3=A9?="}}},
    {"raw_utf8_name_and_subject",
     {"From: H\xC3\xA9l\xC3\xA8ne <helene@x.fr>", "Subject: R\xC3\xA9union"},
     {{"From.Name", "Hélène"}, {"Subject", "Réunion"}}},
    {"raw_latin1_name_read_as_cp1252", {"From: H\xE9l\xE8ne <helene@x.fr>"}, {{"From.Name", "Hélène"}}},
    {"raw_utf8_cjk_name_and_organization",
     {"From: \xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E <w@x.cn>",
      "Organization: \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0"},
     {{"From.Name", "王小明"}, {"Organization", "Анна"}}},
    {"empty_header_block", {}, {{"Subject", ""}, {"Priority", kNormal}, {"BoundaryCount", "0"}}},
};
class ParseHeaderLines : public testing::TestWithParam<ParseCase> {};
TEST_P(ParseHeaderLines, FillsTheProperties) {
    TIdMessage message;
    Fill(message, GetParam().header);
    message.ParseHeaderLines();
    for (const auto& [field, value] : GetParam().expected) EXPECT_EQ(Field(message, field), value) << field;
    EXPECT_EQ(message.HeaderLines.Count(), static_cast<int>(GetParam().header.size()));
}
INSTANTIATE_TEST_SUITE_P(Table, ParseHeaderLines, testing::ValuesIn(kParse), byName);

struct DateCase {
    const char* name;
    const char* zone;
    std::vector<std::string> header;
    TDateTime expected;
};
TDateTime At(unsigned y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s) {
    TDateTime date = 0, time = 0;
    TryEncodeDate(y, mo, d, date);
    TryEncodeTime(h, mi, s, 0, time);
    return date + time;
}
const DateCase kDates[] = {
    {"zone_removed_in_utc", "UTC", {"Date: Fri, 07 Sep 2001 10:05:30 +0200"}, At(2001, 9, 7, 8, 5, 30)},
    {"local_offset_added", "Etc/GMT-1", {"Date: Fri, 07 Sep 2001 10:05:30 +0200"}, At(2001, 9, 7, 9, 5, 30)},
    {"no_date_is_zero_plus_offset", "Etc/GMT-1", {"Subject: x"}, 1.0 / 24},
    {"no_date_in_utc_is_zero", "UTC", {}, 0},
};
class ParseHeaderDate : public testing::TestWithParam<DateCase> {};
TEST_P(ParseHeaderDate, GivesLocalTime) {
    ScopedTimeZone zone(GetParam().zone);
    TIdMessage message;
    Fill(message, GetParam().header);
    message.ParseHeaderLines();
    EXPECT_NEAR(message.Date, GetParam().expected, 1e-9);
}
INSTANTIATE_TEST_SUITE_P(Table, ParseHeaderDate, testing::ValuesIn(kDates), byName);

TEST(ParseHeaderLines, AddressErrorStopsAfterTheEarlierSteps) {
    TIdMessage message;
    message.MessageId = "<old@x>";
    Fill(message, {"Subject: avant", "From: <a@x.fr> b@x.fr", "Message-Id: <new@x>", "To: t@x.fr"});
    EXPECT_THROW(message.ParseHeaderLines(), EIdEmailParseError);
    EXPECT_EQ(message.Subject, "avant");      // step before
    EXPECT_EQ(message.MessageId, "<old@x>");  // step after: untouched
    EXPECT_EQ(message.Recipients.Count(), 0);
}

TEST(ParseHeaderLines, MessageIdSurvivesClearAllUntilTheNextParse) {
    TIdMessage message;
    Fill(message, {"Message-Id: <1@x>"});
    message.ParseHeaderLines();
    message.ClearAll();
    EXPECT_EQ(message.MessageId, "<1@x>");
    message.ParseHeaderLines();
    EXPECT_EQ(message.MessageId, "");
}

TEST(Message, ClearAllEmptiesFieldsAndPartsButKeepsSettingsAndFiles) {
    TIdMessage message;
    Fill(message, {"From: a@x.fr", "To: b@x.fr", "Cc: c@x.fr", "Subject: s", "Organization: o",
                   "References: r", "Reply-To: r@x.fr", "Sender: s@x.fr", "Newsgroups: g", "X-Priority: 1",
                   "Return-Receipt-To: n@x.fr", "Content-Type: multipart/mixed; boundary=b; charset=x",
                   "Content-Transfer-Encoding: 8bit", "Content-Disposition: inline"});
    message.ParseHeaderLines();
    message.Date = 37141.5;
    message.NoDecode = true;
    message.NoEncode = true;
    message.SetEncoding(meUU);
    message.ExtraHeaders.Add("X-A: 1");
    message.Body.Add("ligne");
    message.MessageFlags.set(mfSeen);
    std::string file = NewTempFile();
    message.Parts.AddAttachment(file);
    message.Parts.AddText();

    message.ClearAll();
    for (const char* field : {"From.Address", "Recipients", "CCList", "Subject", "Organization", "References",
                              "ReplyTo", "Sender", "NewsGroups", "ReceiptRecipient", "ContentType", "CharSet",
                              "ContentTransferEncoding", "ContentDisposition"})
        EXPECT_EQ(Field(message, field), "") << field;
    EXPECT_EQ(message.Priority, mpNormal);
    EXPECT_EQ(message.Date, 0);
    EXPECT_TRUE(message.UseNowForDate());
    EXPECT_EQ(message.HeaderLines.Count(), 0);
    EXPECT_EQ(message.ExtraHeaders.Count(), 0);
    EXPECT_EQ(message.BoundaryStack.Count(), 0);
    EXPECT_TRUE(message.MessageFlags.none());
    EXPECT_EQ(message.Parts.Count(), 0);
    EXPECT_EQ(message.Body.Count(), 0);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(message.NoDecode);
    EXPECT_TRUE(message.NoEncode);
    EXPECT_EQ(message.Encoding(), meUU);
    EXPECT_EQ(message.AttachmentEncoding(), "UUE");
}

TEST(Message, CreatedEmpty) {
    TIdMessage message;
    EXPECT_EQ(message.Encoding(), meMIME);
    EXPECT_EQ(message.AttachmentEncoding(), "MIME");
    EXPECT_EQ(message.Priority, mpNormal);
    EXPECT_FALSE(message.NoDecode);
    EXPECT_TRUE(message.UseNowForDate());
}

TEST(Message, EncodingSelectsTheAttachmentEncoding) {
    TIdMessage message;
    message.SetEncoding(meUU);
    EXPECT_EQ(message.AttachmentEncoding(), "UUE");
    message.SetEncoding(meMIME);
    EXPECT_EQ(message.AttachmentEncoding(), "MIME");
}

TEST(Message, UseNowForDate) {
    TIdMessage message;
    message.Date = 37141.5;
    EXPECT_FALSE(message.UseNowForDate());
    message.SetUseNowForDate(false);
    EXPECT_EQ(message.Date, 37141.5);
    message.SetUseNowForDate(true);
    EXPECT_EQ(message.Date, 0);
    message.SetUseNowForDate(false);
    EXPECT_GT(message.Date, 0);
}

TEST(Message, ListPropertiesCopyLines) {
    TIdMessage message;
    TStringList lines{"a", "b"};
    message.SetBody(lines);
    message.SetNewsGroups(lines);
    message.SetExtraHeaders(lines);
    lines.Add("c");
    EXPECT_EQ(message.Body.Count(), 2);
    EXPECT_EQ(message.NewsGroups.Count(), 2);
    EXPECT_EQ(message.ExtraHeaders.Count(), 2);
}

// --- send side -----------------------------------------------------------------

TEST(BuildHeaderLines, UuWithTextPartFails) {
    TIdMessage message;
    message.SetEncoding(meUU);
    message.Parts.AddText();
    try {
        message.BuildHeaderLines();
        FAIL() << "no error";
    } catch (const EIdMessageException& e) {
        EXPECT_EQ(e.Message(),
                  std::string("Encodage incorrect. UU permet uniquement les éléments Body et Attachments"));
    }
}

TEST(BuildHeaderLines, WritesTheSetFieldsOnly) {
    TIdMessage message;
    message.HeaderLines.Add("Received: from x");
    message.From.SetText("a@x.fr");
    message.Subject = "Bonjour";
    message.Recipients.AssignText("b@x.fr, c@x.fr");
    message.ContentType = "text/plain";
    message.CharSet = "ISO-8859-1";
    message.Priority = mpLow;
    message.ExtraHeaders.Add("X-Extra: 1");
    std::unique_ptr<TIdHeaderList> lines = message.BuildHeaderLines();
    EXPECT_EQ(lines->ValueOf("Received"), "from x");
    EXPECT_EQ(lines->ValueOf("From"), "a@x.fr");
    EXPECT_EQ(lines->ValueOf("Subject"), "Bonjour");
    EXPECT_EQ(lines->ValueOf("To"), "b@x.fr, c@x.fr");
    EXPECT_EQ(lines->ValueOf("Content-Type"), "text/plain; charset=\"ISO-8859-1\"");
    EXPECT_EQ(lines->ValueOf("X-Priority"), "4");
    EXPECT_NE(lines->ValueOf("Date"), "");
    EXPECT_NE(lines->ValueOf("X-Library"), "");
    for (const char* absent : {"Cc", "Sender", "Reply-To", "Organization", "References", "Newsgroups",
                               "Disposition-Notification-To", "MIME-Version", "Content-Transfer-Encoding"})
        EXPECT_EQ(lines->IndexOfHeader(absent), -1) << absent;
    EXPECT_EQ((*lines)[lines->Count() - 1], "X-Extra: 1");
}

TEST(BuildHeaderLines, MimeVersionOnlyWithParts) {
    TIdMessage message;
    message.Parts.AddAttachment();
    EXPECT_EQ(message.BuildHeaderLines()->ValueOf("MIME-Version"), "1.0");
}

TEST(BuildHeaderLines, InitializeIsoEventIsCalled) {
    TIdMessage message;
    int calls = 0;
    message.OnInitializeISO = [&](TIdMessage& sender, TTransfer&, char&, std::string&) {
        EXPECT_EQ(&sender, &message);
        ++calls;
    };
    message.BuildHeaderLines();
    EXPECT_EQ(calls, 1);
}

}  // namespace
