#include "platform/date_time.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/text.h"

namespace {
constexpr double kMsPerDay = 86400000.0;

// 1970-01-01 as a date-time.
constexpr long kUnixEpoch = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
}  // namespace

bool IsLeapYear(unsigned year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(unsigned year, unsigned month, unsigned day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    result = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpoch);
    return true;
}

bool TryEncodeTime(unsigned hour, unsigned minute, unsigned second, unsigned ms, TDateTime& result) {
    if (hour > 23 || minute > 59 || second > 59 || ms > 999) return false;
    result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / kMsPerDay;
    return true;
}

DateParts DecodeDateTime(TDateTime value) {
    DateParts p;
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return p;
    // Whole milliseconds, rounded, so 10:05:30 never comes back as 10:05:29.999.
    double totalMs = std::round(std::fabs(value) * kMsPerDay);
    long days = static_cast<long>(std::floor(totalMs / kMsPerDay));
    long ms = static_cast<long>(totalMs - days * kMsPerDay);
    long dayNumber = value < 0 ? -days : days;
    CivilFromDays(dayNumber - kUnixEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    // 1899-12-30 was a Saturday (7).
    long w = (dayNumber % 7 + 7 + 6) % 7;
    p.dayOfWeek = static_cast<int>(w) + 1;
    return p;
}

std::string FormatGridDate(TDateTime value) {
    DateParts p = DecodeDateTime(value);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d à %02d:%02d", p.day, p.month, p.year % 100, p.hour,
                  p.minute);
    return buf;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    TDateTime date = 0, time = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    // A leap second reads as the second before it.
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                  static_cast<unsigned>(ms < 0 ? 0 : ms), time);
    return date + time;
}
