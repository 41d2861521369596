#pragma once
// Dates of the Date header: a tolerant parser (day name optional, day and
// month in either order, dashes or blanks, two-digit years, the year last,
// seconds optional; only a numeric zone is understood) and the conversion to
// local time, plus the formatting used when sending.
#include <optional>
#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "platform/time_zone.h"

// 1 (SUN) .. 7 (SAT) for the upper-cased text compared exactly; 0 for none.
int DayNameIndex(std::string_view text);
// 1 (JAN) .. 12 (DEC), three letters exactly; 0 for none.
int MonthNameIndex(std::string_view text);

// Date and time at the front of `text`; `text` keeps the unparsed rest
// (normally the zone). Never throws: on failure the result is 0 and `text`
// holds what was not yet consumed when the failure occurred.
TDateTime ParseInternetDate(std::string& text);
// "+hhmm" / "-hhmm" at the front of the trimmed text as a signed fraction of
// a day; 0 for a zone name, a short or malformed offset or an impossible time.
TDateTime ZoneOffsetFromText(std::string_view text);
// Local time minus UTC for the system zone in its current state (standard or
// daylight), read at the moment of the call. Throws
// EIdFailedToRetreiveTimeZoneInfo when the zone cannot be read.
TDateTime LocalZoneOffset();
// The same for a zone already read; throws EIdFailedToRetreiveTimeZoneInfo for
// an Unknown state.
TDateTime ZoneOffsetOf(const TimeZoneInformation& zone);
// The Date header value as local time: parsed date minus its zone plus the
// local offset. An empty or unparsable value gives 0 plus the local offset.
// Throws EIdFailedToRetreiveTimeZoneInfo.
TDateTime InternetDateToLocal(std::string_view text);
// A Date header read once: the moment as written, the offset written with
// it (0 for a zone name or none) and the same moment in local time.
struct MessageDate {
    TDateTime written = 0;
    int offsetMinutes = 0;
    TDateTime local = 0;
    bool operator==(const MessageDate&) const = default;
};
// The Date header value read with ParseInternetDate and the zone after it,
// shifted by `localOffset` (LocalZoneOffset, read once by the caller); nullopt
// when the value is empty or its date cannot be read. Never throws.
std::optional<MessageDate> ReadMessageDate(std::string_view value, TDateTime localOffset);

// "Fri, 7 Sep 2001 10:05:30 +0200" of a local date-time with the local
// offset; "GMT" instead of "+0000" when `gmtWhenZero` and the offset is 0.
// Throws EIdFailedToRetreiveTimeZoneInfo.
std::string FormatInternetDate(TDateTime local, bool gmtWhenZero = false);
