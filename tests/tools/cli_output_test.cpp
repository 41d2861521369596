#include "tools/cli_output.h"

#include <gtest/gtest.h>

#include <sstream>

#include "json_reader.h"
#include "message/header_list.h"
#include "message/internet_date.h"

namespace {

struct DateCase {
    const char* name;
    std::vector<std::string> header;
    std::string iso;
};
const DateCase kDates[] = {
    {"offset_kept_as_written",
     {"From: a@b.fr", "Date: Fri, 07 Sep 2001 10:05:30 +0200"},
     "2001-09-07T10:05:30+02:00"},
    {"negative_offset_with_minutes", {"Date: 1 Jan 2024 23:59:01 -0430"}, "2024-01-01T23:59:01-04:30"},
    {"zone_name_is_utc", {"Date: Sun, 31 Mar 2024 01:00 GMT"}, "2024-03-31T01:00:00+00:00"},
    {"folded_header", {"Date: Fri, 07 Sep 2001", " 10:05:30 +0100"}, "2001-09-07T10:05:30+01:00"},
    {"no_date_is_empty_not_1899", {"From: a@b.fr", "Subject: x"}, ""},
    {"unreadable_date_is_empty", {"Date: demain matin"}, ""},
};
class IsoDateCase : public testing::TestWithParam<DateCase> {};
TEST_P(IsoDateCase, OfTheDateHeader) {
    TIdHeaderList headers;
    for (const std::string& line : GetParam().header) headers.Add(line);
    EXPECT_EQ(IsoDate(ReadMessageDate(headers.ValueOf("Date"), 0)), GetParam().iso);
}
INSTANTIATE_TEST_SUITE_P(Table, IsoDateCase, testing::ValuesIn(kDates),
                         [](const auto& info) { return std::string(info.param.name); });

// What the provider said and why a sender is suspect, for a script: the
// verdict of a failed one and the friends it imitates.
TEST(PrintRows, JsonSaysTheVerdictAndTheReasons) {
    ScanRow doubtful;
    doubtful.number = 1;
    doubtful.authentication = SenderAuthentication::Failed;
    doubtful.verdict = "dmarc=fail header.from=amis.fr";
    doubtful.lookAlikes = {"ressemble \xC3\xA0 claire@amis.fr"};
    ScanRow plain;
    plain.number = 2;
    plain.authentication = SenderAuthentication::Authenticated;
    std::ostringstream out;
    PrintRows({doubtful, plain}, CliFormat::Json, out);
    const JsonValue rows = JsonReader::Parse(out.str());
    ASSERT_EQ(rows.items.size(), 2u) << out.str();
    EXPECT_EQ(rows.items[0]["authentification"].text, "echec");
    ASSERT_EQ(rows.items[0]["raisons"].items.size(), 2u) << out.str();
    EXPECT_EQ(rows.items[0]["raisons"].items[0].text,
              "authentification refus\xC3\xA9"
              "e par le fournisseur : dmarc=fail header.from=amis.fr");
    EXPECT_EQ(rows.items[0]["raisons"].items[1].text, "ressemble \xC3\xA0 claire@amis.fr");
    EXPECT_EQ(rows.items[1]["authentification"].text, "ok");
    EXPECT_TRUE(rows.items[1]["raisons"].items.empty());
}

}  // namespace
