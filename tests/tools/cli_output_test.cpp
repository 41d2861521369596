#include "tools/cli_output.h"

#include <gtest/gtest.h>

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

}  // namespace
