#include "platform/time_zone.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scoped_time_zone.h"

namespace {

// Seconds since 1970 of a UTC noon.
std::time_t NoonUtc(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    return timegm(&t);
}

struct ZoneCase {
    const char* name;
    std::string zone;
    int month;
    TimeZoneState state;
    int bias, daylightBias;
};
const ZoneCase kZones[] = {
    {"paris_winter_standard", "Europe/Paris", 1, TimeZoneState::Standard, -60, 0},
    {"paris_summer_daylight", "Europe/Paris", 7, TimeZoneState::Daylight, -60, -60},
    {"utc_no_daylight", "UTC", 7, TimeZoneState::NoDaylight, 0, 0},
    {"new_york_winter_standard", "America/New_York", 1, TimeZoneState::Standard, 300, 0},
    {"new_york_summer_daylight", "America/New_York", 7, TimeZoneState::Daylight, 300, -60},
    {"kolkata_half_hour_no_daylight", "Asia/Kolkata", 1, TimeZoneState::NoDaylight, -330, 0},
    {"southern_summer_in_january", "Australia/Sydney", 1, TimeZoneState::Daylight, -600, -60},
    {"southern_winter_in_july", "Australia/Sydney", 7, TimeZoneState::Standard, -600, 0},
    {"posix_rule_without_daylight", "<+01>-1", 7, TimeZoneState::NoDaylight, -60, 0},
};
class ReadZone : public testing::TestWithParam<ZoneCase> {};
TEST_P(ReadZone, GivesStateAndBiases) {
    ScopedTimeZone zone(GetParam().zone);
    const TimeZoneInformation info = ReadTimeZone(NoonUtc(2026, GetParam().month, 15));
    EXPECT_EQ(info.State, GetParam().state);
    EXPECT_EQ(info.Bias, GetParam().bias);
    EXPECT_EQ(info.StandardBias, 0);
    EXPECT_EQ(info.DaylightBias, GetParam().daylightBias);
}
INSTANTIATE_TEST_SUITE_P(Table, ReadZone, testing::ValuesIn(kZones),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadZone, FollowsATzChangeBetweenCalls) {
    const std::time_t moment = NoonUtc(2026, 1, 15);
    {
        ScopedTimeZone zone("UTC");
        EXPECT_EQ(ReadTimeZone(moment).Bias, 0);
    }
    ScopedTimeZone zone("Asia/Kolkata");
    EXPECT_EQ(ReadTimeZone(moment).Bias, -330);
}

}  // namespace
