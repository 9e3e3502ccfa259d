#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hecdss {

inline constexpr std::int32_t kSecondsPerDay = 86400;

// A point in time as DSS files hold it: a julian day (1 = 1 January 1900) and the seconds of
// that day, 1..86400. Midnight is 86400 of the day that ends there, never 0.
struct DssTime {
    std::int32_t julian = 0;
    std::int32_t seconds = kSecondsPerDay;
    friend bool operator==(const DssTime&, const DssTime&) = default;
};

struct CivilDate {
    std::int32_t year = 1900;
    std::int32_t month = 1;
    std::int32_t day = 1;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

bool IsLeapYear(std::int32_t year);
std::int32_t DaysInMonth(std::int32_t year, std::int32_t month);
std::int32_t JulianFromDate(const CivilDate& date);
CivilDate DateFromJulian(std::int32_t julian);

// Seconds since 31 Dec 1899 00:00, and back; the way back gives 24:00 rather than 00:00.
std::int64_t TotalSeconds(const DssTime& time);
DssTime TimeFromTotalSeconds(std::int64_t total);

// Turns a caller's 00:00 (seconds 0) into 24:00 of the day before.
DssTime NormalizeMidnight(DssTime time);

enum class BlockLength { Day, Month, Year, Decade, Century };

// A standard regular interval; `supported` is false for the standard names outside this library
// (weeks, semi-months, seconds), which must still take part in name matching.
struct Interval {
    std::string_view name;
    std::int32_t seconds;
    BlockLength block;
    bool supported;
};

// The standard interval an E part names: the first standard name that agrees with it over the
// length of the shorter of the two, ignoring case. Null when nothing matches, when the E part is
// shorter than four characters, or when the match is outside this library.
const Interval* FindInterval(std::string_view ePart);

bool IsMonthly(const Interval& interval);
bool IsYearly(const Interval& interval);

std::int32_t BlockStart(const Interval& interval, std::int32_t julian);
std::int32_t NextBlockStart(const Interval& interval, std::int32_t blockStart);
std::int32_t SlotsInBlock(const Interval& interval, std::int32_t blockStart);
std::int32_t SlotOf(const Interval& interval, std::int32_t blockStart, const DssTime& standard);
DssTime StandardTimeOfSlot(const Interval& interval, std::int32_t blockStart, std::int32_t slot);
DssTime AddIntervals(const Interval& interval, const DssTime& standard, std::int64_t count);

// The standard time (end of interval) of a value and the offset of the value from it.
struct StandardizedTime {
    DssTime standard;
    std::int32_t offsetSeconds = 0;
};
StandardizedTime Standardize(const Interval& interval, DssTime time);

// The actual time of a value stored at a standard time with the series' offset.
DssTime ValueTime(const Interval& interval, const DssTime& standard, std::int32_t offsetSeconds);

// "01Jan2009", the D part of a block pathname.
std::string FormatDPart(std::int32_t julian);
// "06Jan2009 24:00:00", as listings print value times.
std::string FormatDateTime(const DssTime& time);

// A caller's date: "05 Jan 2009", "05JAN2009" or "5 jan 2009". Null when not a valid date.
std::optional<std::int32_t> ParseDate(std::string_view text);
// A caller's time "HHMM", 0000..2400, as seconds of the day (0..86400). Null when invalid.
std::optional<std::int32_t> ParseTimeOfDay(std::string_view text);

} // namespace hecdss
