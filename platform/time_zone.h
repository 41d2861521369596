#pragma once
// The system time zone, read afresh on every call (the TZ setting of the
// process included), in the shape the date conversions expect: a bias in
// minutes (UTC minus local) for standard time, plus a correction for the
// state in force.
#include <ctime>

enum class TimeZoneState {
    Unknown,     // the system gave no usable answer
    NoDaylight,  // the zone has no daylight saving in the year asked about
    Standard,
    Daylight,
};

struct TimeZoneInformation {
    TimeZoneState State = TimeZoneState::Unknown;
    int Bias = 0;          // minutes, UTC minus local standard time
    int StandardBias = 0;  // added in standard time
    int DaylightBias = 0;  // added in daylight time (-60 for a one-hour shift)
};

// The zone in force at `moment` (seconds since 1970-01-01 UTC). State is
// Unknown when the system cannot convert the moment. Never throws.
TimeZoneInformation ReadTimeZone(std::time_t moment);
// The zone in force now.
TimeZoneInformation ReadTimeZone();
