#include "message/internet_date.h"

#include <gtest/gtest.h>

#include <string>

#include "message/message_errors.h"
#include "platform/text.h"
#include "support/exact_buffer.h"
#include "support/expect_error.h"
#include "support/scoped_time_zone.h"

namespace {

auto ByName = [](const auto& info) { return std::string(info.param.name); };

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    TDateTime date = 0, time = 0;
    EXPECT_TRUE(TryEncodeDate(y, mo, d, date));
    EXPECT_TRUE(TryEncodeTime(h, mi, s, 0, time));
    return date + time;
}
constexpr TDateTime kNoDate = 0;
constexpr double kHour = 1.0 / 24;
constexpr double kTolerance = 1e-9;  // well under a millisecond

struct DateCase {
    const char* name;
    std::string input;
    TDateTime expected;
    std::string rest;
};
// The dates are built on first use so that At() runs inside a test.
std::vector<DateCase> WellFormed() {
    return {
        {"day_name_and_numeric_zone", "Fri, 07 Sep 2001 10:05:30 +0200", At(2001, 9, 7, 10, 5, 30), "+0200"},
        {"no_day_name_no_seconds", "07 Sep 2001 10:05 +0200", At(2001, 9, 7, 10, 5), "+0200"},
        {"month_first", "Fri, Sep 7 2001 10:05:30 GMT", At(2001, 9, 7, 10, 5, 30), "GMT"},
        {"dashes_and_two_digit_year", "Sunday, 06-Nov-94 08:49:37 GMT", At(1994, 11, 6, 8, 49, 37), "GMT"},
        {"asctime_order_year_last", "Fri Sep 7 10:05:30 2001", At(2001, 9, 7, 10, 5, 30), ""},
        {"two_digit_year_05", "1 Jan 05 00:00:00 +0000", At(2005, 1, 1), "+0000"},
        {"no_time", "7 Sep 2001", At(2001, 9, 7), ""},
        {"empty_text", "", kNoDate, ""},
        {"year_79_is_2079", "1 Jan 79", At(2079, 1, 1), ""},
        {"year_80_is_1980", "1 Jan 80", At(1980, 1, 1), ""},
        {"year_100_stays", "1 Jan 100", At(100, 1, 1), ""},
        {"month_name_any_case", "7 sEP 2001", At(2001, 9, 7), ""},
        {"blanks_trimmed_and_rest_left_trimmed", "  7 Sep 2001 10:05   +0200 (CEST)  ", At(2001, 9, 7, 10, 5),
         "+0200 (CEST)"},
        {"leap_day", "29 Feb 2000 23:59:59", At(2000, 2, 29, 23, 59, 59), ""},
        {"day_not_a_number_counts_as_1", "x Sep 2001", At(2001, 9, 1), ""},
        {"time_with_empty_fields", "7 Sep 2001 :: +0100", At(2001, 9, 7), "+0100"},
    };
}
std::vector<DateCase> Malformed() {
    return {
        {"full_month_name_fails", "7 September 2001 10:00", kNoDate, "10:00"},
        {"hour_25_fails", "7 Sep 2001 25:00:00 +0200", kNoDate, "+0200"},
        {"day_past_month_end_fails", "31 Apr 2001 10:00 +0200", kNoDate, "10:00 +0200"},
        {"not_leap_year_fails", "29 Feb 2001 10:00", kNoDate, "10:00"},
        // A literal 1900 sends the parser to the year-last order.
        {"literal_1900_loses_the_time", "1 Jan 1900 10:00", At(1900, 1, 1), "1900"},
        {"negative_day_wraps_and_fails", "-1 Sep 2001", kNoDate, ""},
        {"minute_60_fails", "7 Sep 2001 10:60", kNoDate, ""},
        {"day_name_alone_fails", "Friday", kNoDate, ""},
        {"year_past_9999_fails", "7 Sep 12345 10:00", kNoDate, "10:00"},
        {"high_bytes_fail", "\xE9\xFF \xE7", kNoDate, ""},
    };
}

class ParseDate : public testing::TestWithParam<DateCase> {};
TEST_P(ParseDate, GivesDateAndRest) {
    std::string rest = GetParam().input;
    EXPECT_NEAR(ParseInternetDate(rest), GetParam().expected, kTolerance);
    EXPECT_EQ(rest, GetParam().rest);
}
INSTANTIATE_TEST_SUITE_P(WellFormed, ParseDate, testing::ValuesIn(WellFormed()), ByName);
INSTANTIATE_TEST_SUITE_P(Malformed, ParseDate, testing::ValuesIn(Malformed()), ByName);

struct ZoneCase {
    const char* name;
    std::string text;
    double hours;
};
const ZoneCase kZoneTexts[] = {
    {"gmt_name_has_no_offset", "GMT", 0},
    {"ut_name", "UT", 0},
    {"est_name", "EST", 0},
    {"cest_name", "CEST", 0},
    {"four_characters_still_read", "+020", 2},
    {"minus_five_with_comment", "-0500 (EST)", -5},
    {"half_hour", "+0530", 5.5},
    {"hour_25_gives_nothing", "+2500", 0},
    {"minute_60_gives_nothing", "+0060", 0},
    {"blanks_before_sign", "  +0100", 1},
    {"letters_in_digits", "+01a0", 0},
    {"sign_inside_digits", "+-100", 0},
    {"empty", "", 0},
};
class ZoneText : public testing::TestWithParam<ZoneCase> {};
TEST_P(ZoneText, GivesOffset) {
    EXPECT_NEAR(ZoneOffsetFromText(GetParam().text), GetParam().hours * kHour, kTolerance);
}
INSTANTIATE_TEST_SUITE_P(Table, ZoneText, testing::ValuesIn(kZoneTexts), ByName);

struct LocalCase {
    const char* name;
    std::string zone;  // fixed zones only: the state must not depend on today's date
    double hours;
};
const LocalCase kLocalZones[] = {
    {"one_hour_east", "Etc/GMT-1", 1},
    {"utc", "UTC", 0},
    {"kolkata_half_hour", "Asia/Kolkata", 5.5},
    {"five_hours_west", "Etc/GMT+5", -5},
};
class LocalOffset : public testing::TestWithParam<LocalCase> {};
TEST_P(LocalOffset, IsLocalMinusUtc) {
    ScopedTimeZone zone(GetParam().zone);
    EXPECT_NEAR(LocalZoneOffset(), GetParam().hours * kHour, kTolerance);
}
INSTANTIATE_TEST_SUITE_P(Table, LocalOffset, testing::ValuesIn(kLocalZones), ByName);

struct BiasCase {
    const char* name;
    TimeZoneInformation zone;
    double hours;
};
const BiasCase kBiases[] = {
    {"paris_standard", {TimeZoneState::Standard, -60, 0, -60}, 1},
    {"paris_daylight", {TimeZoneState::Daylight, -60, 0, -60}, 2},
    {"no_daylight_ignores_both_biases", {TimeZoneState::NoDaylight, 300, 7, -60}, -5},
    {"standard_bias_added", {TimeZoneState::Standard, 300, 30, -60}, -5.5},
    {"new_york_daylight", {TimeZoneState::Daylight, 300, 0, -60}, -4},
};
class ZoneBias : public testing::TestWithParam<BiasCase> {};
TEST_P(ZoneBias, GivesOffsetOfTheCurrentState) {
    EXPECT_NEAR(ZoneOffsetOf(GetParam().zone), GetParam().hours * kHour, kTolerance);
}
INSTANTIATE_TEST_SUITE_P(Table, ZoneBias, testing::ValuesIn(kBiases), ByName);

TEST(ZoneBias, UnknownStateRaises) {
    const auto e = ExpectThrown<EIdFailedToRetreiveTimeZoneInfo>([] { ZoneOffsetOf(TimeZoneInformation{}); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(),
              std::string("Echec lors de la tentative de récupération des informations de fuseau horaire."));
}

// Converts from a buffer of exactly the text's length (over-read trap).
TDateTime ToLocalExact(const std::string& text) { return InternetDateToLocal(ExactBuffer(text).View()); }

TEST(InternetDateToLocal, ShiftsFromTheZoneToLocalTime) {
    ScopedTimeZone zone("Etc/GMT-1");
    EXPECT_NEAR(ToLocalExact("Fri, 07 Sep 2001 10:05:30 +0200"), At(2001, 9, 7, 9, 5, 30), kTolerance);
    EXPECT_NEAR(ToLocalExact("Fri, 07 Sep 2001 10:05:30 -0500 (EST)"), At(2001, 9, 7, 16, 5, 30), kTolerance);
    EXPECT_NEAR(ToLocalExact("Fri, 07 Sep 2001 10:05:30 GMT"), At(2001, 9, 7, 11, 5, 30), kTolerance);
    EXPECT_NEAR(ToLocalExact(""), At(1899, 12, 30, 1), kTolerance);
    EXPECT_NEAR(ToLocalExact("garbage"), At(1899, 12, 30, 1), kTolerance);
}

TEST(InternetDateToLocal, RestShorterThanFiveIsNoZone) {
    ScopedTimeZone zone("UTC");
    EXPECT_NEAR(ToLocalExact("7 Sep 2001 10:00 +020"), At(2001, 9, 7, 10), kTolerance);
    EXPECT_NEAR(ToLocalExact("7 Sep 2001 10:00 +0200"), At(2001, 9, 7, 8), kTolerance);
}

TEST(InternetDateToLocal, ZoneOfAFailedDateStillApplies) {
    ScopedTimeZone zone("UTC");
    // The hour is impossible; the rest "+0200" is still taken as the zone.
    EXPECT_NEAR(ToLocalExact("7 Sep 2001 25:00:00 +0200"), -2 * kHour, kTolerance);
}

struct FormatCase {
    const char* name;
    std::string zone;
    bool gmt;
    std::string expected;
};
const FormatCase kFormats[] = {
    {"one_hour_east", "Etc/GMT-1", false, "Fri, 7 Sep 2001 10:05:30 +0100"},
    {"five_hours_west", "Etc/GMT+5", false, "Fri, 7 Sep 2001 10:05:30 -0500"},
    {"half_hour", "Asia/Kolkata", false, "Fri, 7 Sep 2001 10:05:30 +0530"},
    {"utc_numeric", "UTC", false, "Fri, 7 Sep 2001 10:05:30 +0000"},
    {"utc_as_gmt_when_asked", "UTC", true, "Fri, 7 Sep 2001 10:05:30 GMT"},
    {"gmt_only_for_zero_offset", "Etc/GMT-1", true, "Fri, 7 Sep 2001 10:05:30 +0100"},
};
class FormatDate : public testing::TestWithParam<FormatCase> {};
TEST_P(FormatDate, WritesDayDateTimeAndOffset) {
    ScopedTimeZone zone(GetParam().zone);
    EXPECT_EQ(FormatInternetDate(At(2001, 9, 7, 10, 5, 30), GetParam().gmt), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, FormatDate, testing::ValuesIn(kFormats), ByName);

TEST(FormatDate, ReadsBackToTheSameLocalTime) {
    ScopedTimeZone zone("Asia/Kolkata");
    const TDateTime local = At(2026, 12, 7, 23, 59, 1);
    EXPECT_NEAR(InternetDateToLocal(FormatInternetDate(local)), local, kTolerance);
}

TEST(NameIndex, ThreeLettersExactly) {
    EXPECT_EQ(DayNameIndex("sun"), 1);
    EXPECT_EQ(DayNameIndex("SAT"), 7);
    EXPECT_EQ(DayNameIndex("Sunday"), 0);
    EXPECT_EQ(MonthNameIndex("dec"), 12);
    EXPECT_EQ(MonthNameIndex("Sept"), 0);
    EXPECT_EQ(MonthNameIndex(""), 0);
}

}  // namespace
