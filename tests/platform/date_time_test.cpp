#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <ctime>

#include "platform/text.h"

namespace {

TDateTime At(unsigned y, unsigned mo, unsigned d, unsigned h = 0, unsigned mi = 0, unsigned s = 0) {
    TDateTime date = 0, time = 0;
    EXPECT_TRUE(TryEncodeDate(y, mo, d, date));
    EXPECT_TRUE(TryEncodeTime(h, mi, s, 0, time));
    return date + time;
}

TEST(DateTime, KnownSerialNumbers) {
    EXPECT_EQ(At(1899, 12, 30), 0.0);
    EXPECT_EQ(At(1900, 1, 1), 2.0);
    EXPECT_EQ(At(1970, 1, 1), 25569.0);
    EXPECT_EQ(At(2001, 9, 7), 37141.0);
    EXPECT_DOUBLE_EQ(At(1899, 12, 30, 12), 0.5);
}

TEST(DateTime, RejectsImpossibleDatesAndTimes) {
    TDateTime r = 42;
    EXPECT_FALSE(TryEncodeDate(2001, 2, 29, r));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, r));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, r));
    EXPECT_FALSE(TryEncodeDate(2001, 0, 1, r));
    EXPECT_FALSE(TryEncodeDate(2001, 13, 1, r));
    EXPECT_FALSE(TryEncodeDate(2001, 4, 31, r));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, r));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, r));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, r));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, r));
}

TEST(DateTime, DecodesBackExactly) {
    DateParts p = DecodeDateTime(At(2001, 9, 7, 10, 5, 30));
    EXPECT_EQ(p.year, 2001);
    EXPECT_EQ(p.month, 9);
    EXPECT_EQ(p.day, 7);
    EXPECT_EQ(p.hour, 10);
    EXPECT_EQ(p.minute, 5);
    EXPECT_EQ(p.second, 30);
    EXPECT_EQ(p.dayOfWeek, 6);  // a Friday
    for (unsigned y : {1900, 2000, 2079, 9999}) {
        DateParts q = DecodeDateTime(At(y, 12, 31, 23, 59, 59));
        EXPECT_EQ(q.year, static_cast<int>(y));
        EXPECT_EQ(q.month, 12);
        EXPECT_EQ(q.day, 31);
        EXPECT_EQ(q.second, 59);
    }
}

TEST(DateTime, DatesBeforeTheEpochAreNegative) {
    for (unsigned y : {1, 100, 1600, 1899}) {
        DateParts q = DecodeDateTime(At(y, 12, 29));
        EXPECT_EQ(q.year, static_cast<int>(y));
        EXPECT_EQ(q.month, 12);
        EXPECT_EQ(q.day, 29);
    }
}

TEST(DateTime, NegativeValuesKeepTimeOfDay) {
    DateParts p = DecodeDateTime(-1.25);
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
}

TEST(GridDate, FormatsDayMonthYearAtHourMinute) {
    EXPECT_EQ(FormatGridDate(At(2001, 9, 7, 9, 5, 30)), std::string("07/09/01 à 09:05"));
    EXPECT_EQ(FormatGridDate(1.0 / 24), std::string("30/12/99 à 01:00"));
    EXPECT_EQ(FormatGridDate(At(2010, 12, 31, 23, 59, 59)), std::string("31/12/10 à 23:59"));
}

}  // namespace

namespace {
TEST(DateTime, NowIsTodayInLocalTime) {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    DateParts p = DecodeDateTime(Now());
    // Both reads fall on the same day unless the test runs across midnight.
    EXPECT_EQ(p.year, local.tm_year + 1900);
    EXPECT_EQ(p.month, local.tm_mon + 1);
    EXPECT_NEAR(p.day, local.tm_mday, 1);
}
}  // namespace
