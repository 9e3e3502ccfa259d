#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rill {

// A date-time value: days since 30 December 1899 00:00, local time, the time of day as the
// fraction. Before that date the whole part counts days back and the fraction still runs
// forward from midnight (-1.25 is 29 December 1899 06:00).
using DateTime = double;

struct CivilDateTime {
    int year = 1899;
    int month = 12; // 1..12
    int day = 30;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Days from 1899-12-30 to the given proleptic Gregorian date.
long long DaysFromCivil(int year, int month, int day);

DateTime ToDateTime(const CivilDateTime& civil);

// True for the values that have a calendar date with a four-digit year: 1 January 100 up to
// the end of 31 December 9999. Only these may be given to ToCivil.
bool IsCalendarDateTime(DateTime value);

// Splits a value into its calendar fields, rounded to the nearest millisecond.
CivilDateTime ToCivil(DateTime value);

// 0 = Sunday ... 6 = Saturday.
int DayOfWeek(DateTime value);

// The current local date and time, and today's local date at 00:00 (from the process clock,
// in the time zone of the process).
DateTime NowLocal();
DateTime TodayLocal();

// Whole days of the value (its date at 00:00).
DateTime DatePart(DateTime value);

// English names, never taken from the locale.
std::string_view DayName(int dayOfWeek);
std::string_view DayAbbrev(int dayOfWeek);
std::string_view MonthAbbrev(int month);

// ISO text as stored in SQLite: "YYYY-MM-DD", "YYYY-MM-DD HH:MM", "YYYY-MM-DD HH:MM:SS" with an
// optional fraction, "T" accepted between date and time; nullopt for anything else.
std::optional<DateTime> ParseIsoDateTime(std::string_view text);

// "YYYY-MM-DD HH:MM:SS"
std::string FormatIsoDateTime(DateTime value);

} // namespace rill
