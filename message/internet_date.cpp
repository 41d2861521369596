#include "message/internet_date.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "message/message_errors.h"
#include "platform/text.h"

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr std::array<std::string_view, 12> kMonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::array<const char*, 7> kFormatDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kFormatMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <std::size_t N>
int IndexIn(const std::array<std::string_view, N>& names, std::string_view text) {
    if (text.size() != 3) return 0;
    const std::string upper = UpperCase(text);
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == upper) return static_cast<int>(i) + 1;
    }
    return 0;
}

// The whole-text integer of a token, held as a 16-bit unsigned number.
std::uint16_t Word(std::string_view token, std::int32_t fallback) {
    return static_cast<std::uint16_t>(StrToIntDef(token, fallback));
}

std::uint16_t WindowYear(std::uint16_t year) {
    if (year < 80) return static_cast<std::uint16_t>(2000 + year);
    if (year < 100) return static_cast<std::uint16_t>(1900 + year);
    return year;
}

// Day and month in the order the text gives them; the delimiter is a dash
// when one comes before the first blank (and not first), else a blank.
void ReadDayAndMonth(std::string& v, std::uint16_t& day, std::uint16_t& month) {
    const std::size_t d = Pos('-', v), s = Pos(' ', v);
    const std::string_view delimiter = (d > 1 && d < s) ? "-" : " ";
    const bool monthFirst = MonthNameIndex(PeekSplitAt(v, delimiter)) != 0;
    for (int i = 0; i < 2; ++i) {
        if (monthFirst == (i == 0)) {
            month = static_cast<std::uint16_t>(MonthNameIndex(SplitAt(v, delimiter)));
        } else {
            day = Word(SplitAt(v, delimiter), 1);
        }
        v = TrimLeft(v);
    }
}

// The year, also from the end of the text when the year comes last.
std::uint16_t ReadYear(std::string& v) {
    std::string t = SplitAt(v, " ");
    std::uint16_t year = Word(t, 1900);
    if (year == 1900) {
        year = Word(v, 1900);
        v = std::move(t);
    }
    return WindowYear(year);
}

// h:m[:s] before the first blank, added to `result`; false for an impossible time.
bool ReadTime(std::string& v, TDateTime& result) {
    if (v.find(':') == std::string::npos) return true;
    std::string t = SplitAt(v, " ");
    const std::uint16_t hour = Word(SplitAt(t, ":"), 0);
    const std::uint16_t minute = Word(SplitAt(t, ":"), 0);
    const std::uint16_t second = Word(t, 0);
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, 0, time)) return false;
    result += time;
    return true;
}

std::string TwoDigits(long n) { return (n < 10 ? "0" : "") + IntToStr(n); }

}  // namespace

int DayNameIndex(std::string_view text) { return IndexIn(kDayNames, text); }
int MonthNameIndex(std::string_view text) { return IndexIn(kMonthNames, text); }

TDateTime ParseInternetDate(std::string& v) {
    v = Trim(v);
    if (v.empty()) return 0;
    if (DayNameIndex(Copy(v, 1, 3)) > 0) {
        SplitAt(v, " ");  // the whole first word: "Sun", "Sunday,"
        v = TrimLeft(v);
    }
    std::uint16_t day = 0, month = 0;
    ReadDayAndMonth(v, day, month);
    const std::uint16_t year = ReadYear(v);
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result)) return 0;
    if (!ReadTime(v, result)) return 0;
    v = TrimLeft(v);
    return result;
}

TDateTime ZoneOffsetFromText(std::string_view text) {
    const std::string z = Copy(Trim(text), 1, 5);
    if (z.empty() || (z[0] != '+' && z[0] != '-')) return 0;
    const auto hours = TryStrToInt(Copy(z, 2, 2));
    const auto minutes = TryStrToInt(Copy(z, 4, 2));
    TDateTime offset = 0;
    if (!hours || !minutes || *hours < 0 || *minutes < 0 || !TryEncodeTime(*hours, *minutes, 0, 0, offset))
        return 0;
    return z[0] == '-' ? -offset : offset;
}

TDateTime ZoneOffsetOf(const TimeZoneInformation& zone) {
    int bias = zone.Bias;
    switch (zone.State) {
        case TimeZoneState::NoDaylight:
            break;
        case TimeZoneState::Standard:
            bias += zone.StandardBias;
            break;
        case TimeZoneState::Daylight:
            bias += zone.DaylightBias;
            break;
        default:
            throw EIdFailedToRetreiveTimeZoneInfo();
    }
    const unsigned magnitude = static_cast<unsigned>(std::abs(bias));
    TDateTime offset = 0;
    // Offsets of a day or more do not exist; take them as they come rather
    // than fail on them.
    if (!TryEncodeTime(magnitude / 60, magnitude % 60, 0, 0, offset)) offset = magnitude / 1440.0;
    return bias > 0 ? -offset : offset;
}

TDateTime LocalZoneOffset() { return ZoneOffsetOf(ReadTimeZone()); }

TDateTime InternetDateToLocal(std::string_view text) {
    std::string rest(text);
    const TDateTime result = ParseInternetDate(rest);
    const TDateTime zone = rest.size() >= 5 ? ZoneOffsetFromText(rest) : 0;
    return result - zone + LocalZoneOffset();
}

std::optional<MessageDate> ReadMessageDate(std::string_view value, TDateTime localOffset) {
    std::string rest(value);
    const TDateTime written = ParseInternetDate(rest);
    if (written == 0) return std::nullopt;
    const TDateTime zone = rest.size() >= 5 ? ZoneOffsetFromText(rest) : 0;
    return MessageDate{written, static_cast<int>(std::lround(zone * 1440.0)), written - zone + localOffset};
}

std::string FormatInternetDate(TDateTime local, bool gmtWhenZero) {
    const DateParts p = DecodeDateTime(local);
    const long minutes = std::lround(LocalZoneOffset() * 1440.0);
    std::string zone;
    if (minutes == 0 && gmtWhenZero) {
        zone = "GMT";
    } else {
        const long m = std::labs(minutes);
        zone = (minutes < 0 ? "-" : "+") + TwoDigits(m / 60) + TwoDigits(m % 60);
    }
    return std::string(kFormatDays[(p.dayOfWeek + 6) % 7]) + ", " + IntToStr(p.day) + " " +
           kFormatMonths[(p.month + 11) % 12] + " " + IntToStr(p.year) + " " + TwoDigits(p.hour) + ":" +
           TwoDigits(p.minute) + ":" + TwoDigits(p.second) + " " + zone;
}
