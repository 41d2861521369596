#pragma once
// The date-time type: days since 1899-12-30 00:00 as a double, the fraction
// being the time of day. 0 stands for "no date".
#include <cstdint>
#include <string>

using TDateTime = double;

// Date of year-month-day; false (result untouched) when it does not exist.
bool TryEncodeDate(unsigned year, unsigned month, unsigned day, TDateTime& result);
// Fraction of a day of h:m:s.ms; false when hour > 23, minute or second > 59, ms > 999.
bool TryEncodeTime(unsigned hour, unsigned minute, unsigned second, unsigned ms, TDateTime& result);
bool IsLeapYear(unsigned year);
unsigned DaysInMonth(unsigned year, unsigned month);

struct DateParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 0;  // 1 = Sunday .. 7 = Saturday
};
// Calendar fields of a date-time; negative values count back from 1899-12-30
// with the time of day taken from the magnitude of the fraction.
DateParts DecodeDateTime(TDateTime value);

// "dd/mm/yy à hh:nn" in Windows-1252, as the header grid shows dates.
std::string FormatGridDate(TDateTime value);

// The local wall-clock time now.
TDateTime Now();
