#include "platform/time_zone.h"

#include <time.h>

namespace {

bool LocalAt(std::time_t moment, std::tm& out) { return localtime_r(&moment, &out) != nullptr; }

// Noon UTC on the first of `month` (0-based) of the year of `moment`.
std::time_t MidMonth(const std::tm& at, int month) {
    std::tm probe{};
    probe.tm_year = at.tm_year;
    probe.tm_mon = month;
    probe.tm_mday = 1;
    probe.tm_hour = 12;
    return timegm(&probe);
}

}  // namespace

TimeZoneInformation ReadTimeZone(std::time_t moment) {
    tzset();  // pick up a TZ change made since the last call
    TimeZoneInformation info;
    std::tm now{};
    if (!LocalAt(moment, now) || now.tm_isdst < 0) return info;
    // The standard offset is the one of whichever solstice month has no
    // daylight saving; both hemispheres are covered by January and July.
    std::tm january{}, july{};
    if (!LocalAt(MidMonth(now, 0), january) || !LocalAt(MidMonth(now, 6), july)) return info;
    const bool usesDaylight = january.tm_isdst > 0 || july.tm_isdst > 0;
    const long currentOffset = now.tm_gmtoff;
    long standardOffset = currentOffset;
    if (now.tm_isdst > 0) standardOffset = january.tm_isdst > 0 ? july.tm_gmtoff : january.tm_gmtoff;
    info.Bias = static_cast<int>(-standardOffset / 60);
    if (!usesDaylight && now.tm_isdst == 0) {
        info.State = TimeZoneState::NoDaylight;
    } else if (now.tm_isdst > 0) {
        info.State = TimeZoneState::Daylight;
        info.DaylightBias = static_cast<int>(-(currentOffset - standardOffset) / 60);
    } else {
        info.State = TimeZoneState::Standard;
    }
    return info;
}

TimeZoneInformation ReadTimeZone() { return ReadTimeZone(std::time(nullptr)); }
