#include "hecdss/dss_time.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace hecdss {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Julian day 0 is 31 December 1899.
constexpr std::int64_t kJulianZero = DaysFromCivil(1899, 12, 31);

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

std::int32_t FloorMod(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(a - FloorDiv(a, b) * b);
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Standard names in matching order; the order decides which name a short spelling gets.
constexpr std::array<Interval, 34> kIntervals = {{
    {"1Year", 31536000, BlockLength::Century, true},
    {"1Month", 2592000, BlockLength::Decade, true},
    {"Semi-Month", 1296000, BlockLength::Year, false},
    {"Tri-Month", 864000, BlockLength::Year, false},
    {"1Week", 604800, BlockLength::Year, false},
    {"1Day", 86400, BlockLength::Year, true},
    {"12Hour", 43200, BlockLength::Month, true},
    {"8Hour", 28800, BlockLength::Month, true},
    {"6Hour", 21600, BlockLength::Month, true},
    {"4Hour", 14400, BlockLength::Month, true},
    {"3Hour", 10800, BlockLength::Month, true},
    {"2Hour", 7200, BlockLength::Month, true},
    {"1Hour", 3600, BlockLength::Month, true},
    {"30Minute", 1800, BlockLength::Month, true},
    {"20Minute", 1200, BlockLength::Month, true},
    {"15Minute", 900, BlockLength::Month, true},
    {"12Minute", 720, BlockLength::Day, true},
    {"10Minute", 600, BlockLength::Day, true},
    {"6Minute", 360, BlockLength::Day, true},
    {"5Minute", 300, BlockLength::Day, true},
    {"4Minute", 240, BlockLength::Day, true},
    {"3Minute", 180, BlockLength::Day, true},
    {"2Minute", 120, BlockLength::Day, true},
    {"1Minute", 60, BlockLength::Day, true},
    {"30Second", 30, BlockLength::Day, false},
    {"20Second", 20, BlockLength::Day, false},
    {"15Second", 15, BlockLength::Day, false},
    {"10Second", 10, BlockLength::Day, false},
    {"6Second", 6, BlockLength::Day, false},
    {"5Second", 5, BlockLength::Day, false},
    {"4Second", 4, BlockLength::Day, false},
    {"3Second", 3, BlockLength::Day, false},
    {"2Second", 2, BlockLength::Day, false},
    {"1Second", 1, BlockLength::Day, false},
}};

std::int32_t LastDayJulian(std::int32_t year, std::int32_t month) {
    return JulianFromDate({year, month, DaysInMonth(year, month)});
}

} // namespace

bool IsLeapYear(std::int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) {
    constexpr std::array<std::int32_t, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) {
        return 29;
    }
    return kDays[static_cast<std::size_t>(month - 1)];
}

std::int32_t JulianFromDate(const CivilDate& date) {
    return static_cast<std::int32_t>(DaysFromCivil(date.year, date.month, date.day) - kJulianZero);
}

CivilDate DateFromJulian(std::int32_t julian) {
    // Inverse of DaysFromCivil.
    const std::int64_t z = julian + kJulianZero + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<std::int32_t>(year),
            static_cast<std::int32_t>(month),
            static_cast<std::int32_t>(day)};
}

std::int64_t TotalSeconds(const DssTime& time) {
    return static_cast<std::int64_t>(time.julian) * kSecondsPerDay + time.seconds;
}

DssTime TimeFromTotalSeconds(std::int64_t total) {
    const std::int64_t julian = FloorDiv(total - 1, kSecondsPerDay);
    return {static_cast<std::int32_t>(julian),
            static_cast<std::int32_t>(total - julian * kSecondsPerDay)};
}

DssTime NormalizeMidnight(DssTime time) {
    if (time.seconds <= 0) {
        return {time.julian - 1, time.seconds + kSecondsPerDay};
    }
    return time;
}

const Interval* FindInterval(std::string_view ePart) {
    if (ePart.size() < 4) {
        return nullptr;
    }
    for (const Interval& interval : kIntervals) {
        const std::size_t length = std::min(ePart.size(), interval.name.size());
        bool same = true;
        for (std::size_t i = 0; i < length && same; ++i) {
            same = Upper(ePart[i]) == Upper(interval.name[i]);
        }
        if (same) {
            return interval.supported ? &interval : nullptr;
        }
    }
    return nullptr;
}

bool IsMonthly(const Interval& interval) {
    return interval.block == BlockLength::Decade;
}

bool IsYearly(const Interval& interval) {
    return interval.block == BlockLength::Century;
}

std::int32_t BlockStart(const Interval& interval, std::int32_t julian) {
    const CivilDate date = DateFromJulian(julian);
    switch (interval.block) {
    case BlockLength::Day:
        return julian;
    case BlockLength::Month:
        return JulianFromDate({date.year, date.month, 1});
    case BlockLength::Year:
        return JulianFromDate({date.year, 1, 1});
    case BlockLength::Decade:
        return JulianFromDate({date.year - FloorMod(date.year, 10), 1, 1});
    case BlockLength::Century:
        return JulianFromDate({date.year - FloorMod(date.year, 100), 1, 1});
    }
    return julian;
}

std::int32_t NextBlockStart(const Interval& interval, std::int32_t blockStart) {
    const CivilDate date = DateFromJulian(blockStart);
    switch (interval.block) {
    case BlockLength::Day:
        return blockStart + 1;
    case BlockLength::Month:
        return date.month == 12 ? JulianFromDate({date.year + 1, 1, 1})
                                : JulianFromDate({date.year, date.month + 1, 1});
    case BlockLength::Year:
        return JulianFromDate({date.year + 1, 1, 1});
    case BlockLength::Decade:
        return JulianFromDate({date.year + 10, 1, 1});
    case BlockLength::Century:
        return JulianFromDate({date.year + 100, 1, 1});
    }
    return blockStart + 1;
}

std::int32_t SlotsInBlock(const Interval& interval, std::int32_t blockStart) {
    switch (interval.block) {
    case BlockLength::Decade:
        return 120;
    case BlockLength::Century:
        return 100;
    default:
        break;
    }
    const std::int64_t days = NextBlockStart(interval, blockStart) - blockStart;
    return static_cast<std::int32_t>(days * kSecondsPerDay / interval.seconds);
}

std::int32_t SlotOf(const Interval& interval, std::int32_t blockStart, const DssTime& standard) {
    if (IsMonthly(interval) || IsYearly(interval)) {
        const CivilDate block = DateFromJulian(blockStart);
        const CivilDate date = DateFromJulian(standard.julian);
        if (IsYearly(interval)) {
            return date.year - block.year;
        }
        return 12 * (date.year - block.year) + date.month - 1;
    }
    const std::int64_t sinceStart =
        static_cast<std::int64_t>(standard.julian - blockStart) * kSecondsPerDay + standard.seconds;
    return static_cast<std::int32_t>(sinceStart / interval.seconds - 1);
}

DssTime StandardTimeOfSlot(const Interval& interval, std::int32_t blockStart, std::int32_t slot) {
    if (IsMonthly(interval) || IsYearly(interval)) {
        const CivilDate block = DateFromJulian(blockStart);
        if (IsYearly(interval)) {
            return {JulianFromDate({block.year + slot, 12, 31}), kSecondsPerDay};
        }
        return {LastDayJulian(block.year + slot / 12, slot % 12 + 1), kSecondsPerDay};
    }
    return TimeFromTotalSeconds(static_cast<std::int64_t>(blockStart) * kSecondsPerDay +
                                (static_cast<std::int64_t>(slot) + 1) * interval.seconds);
}

DssTime AddIntervals(const Interval& interval, const DssTime& standard, std::int64_t count) {
    if (IsMonthly(interval) || IsYearly(interval)) {
        const CivilDate date = DateFromJulian(standard.julian);
        if (IsYearly(interval)) {
            return {JulianFromDate({static_cast<std::int32_t>(date.year + count), 12, 31}),
                    kSecondsPerDay};
        }
        const std::int64_t monthIndex =
            static_cast<std::int64_t>(date.year) * 12 + (date.month - 1) + count;
        return {LastDayJulian(
                    static_cast<std::int32_t>(FloorDiv(monthIndex, 12)),
                    static_cast<std::int32_t>(monthIndex - FloorDiv(monthIndex, 12) * 12) + 1),
                kSecondsPerDay};
    }
    return TimeFromTotalSeconds(TotalSeconds(standard) + count * interval.seconds);
}

StandardizedTime Standardize(const Interval& interval, DssTime time) {
    time = NormalizeMidnight(time);
    const CivilDate date = DateFromJulian(time.julian);
    if (IsMonthly(interval)) {
        const bool atMonthEnd = date.month == 2 ? date.day >= 28 : date.day >= 30;
        const std::int32_t offset = atMonthEnd ? 0 : (date.day - 1) * kSecondsPerDay + time.seconds;
        return {{LastDayJulian(date.year, date.month), kSecondsPerDay}, offset};
    }
    if (IsYearly(interval)) {
        std::int32_t offset = 0;
        if (!(date.month == 12 && date.day == 31)) {
            std::int32_t days = time.julian - JulianFromDate({date.year, 1, 1});
            if (IsLeapYear(date.year) && date.month >= 3) {
                --days;
            }
            offset = days * kSecondsPerDay + time.seconds;
        }
        return {{JulianFromDate({date.year, 12, 31}), kSecondsPerDay}, offset};
    }
    const std::int32_t offset = time.seconds % interval.seconds;
    if (offset == 0) {
        return {time, 0};
    }
    return {TimeFromTotalSeconds(TotalSeconds(time) + interval.seconds - offset), offset};
}

DssTime ValueTime(const Interval& interval, const DssTime& standard, std::int32_t offsetSeconds) {
    if (offsetSeconds == 0) {
        return standard;
    }
    const CivilDate date = DateFromJulian(standard.julian);
    if (IsMonthly(interval)) {
        const std::int64_t monthStart = JulianFromDate({date.year, date.month, 1});
        return TimeFromTotalSeconds(monthStart * kSecondsPerDay + offsetSeconds);
    }
    if (IsYearly(interval)) {
        // The offset counts days as in a year without 29 February.
        std::int32_t days = offsetSeconds / kSecondsPerDay;
        const std::int32_t rest = offsetSeconds % kSecondsPerDay;
        if (IsLeapYear(date.year) && days >= 59) {
            ++days;
        }
        const std::int64_t day = JulianFromDate({date.year, 1, 1}) + days;
        return TimeFromTotalSeconds(day * kSecondsPerDay + rest);
    }
    return TimeFromTotalSeconds(TotalSeconds(standard) - interval.seconds + offsetSeconds);
}

std::string FormatDPart(std::int32_t julian) {
    const CivilDate date = DateFromJulian(julian);
    std::string text;
    text += static_cast<char>('0' + date.day / 10);
    text += static_cast<char>('0' + date.day % 10);
    text += kMonthNames[static_cast<std::size_t>(date.month - 1)];
    std::string year = std::to_string(date.year);
    while (year.size() < 4) {
        year.insert(year.begin(), '0');
    }
    return text + year;
}

std::string FormatDateTime(const DssTime& time) {
    const auto two = [](std::int32_t n) {
        return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    };
    return FormatDPart(time.julian) + ' ' + two(time.seconds / 3600) + ':' +
           two(time.seconds / 60 % 60) + ':' + two(time.seconds % 60);
}

std::optional<std::int32_t> ParseDate(std::string_view text) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
    };
    const auto number = [&](std::size_t minDigits, std::size_t maxDigits) -> std::optional<int> {
        const std::size_t begin = i;
        int value = 0;
        while (i < text.size() && i - begin < maxDigits &&
               std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        if (i - begin < minDigits) {
            return std::nullopt;
        }
        return value;
    };
    skipBlanks();
    const auto day = number(1, 2);
    skipBlanks();
    if (!day || i + 3 > text.size()) {
        return std::nullopt;
    }
    int month = 0;
    for (std::size_t m = 0; m < kMonthNames.size(); ++m) {
        const std::string_view name = kMonthNames[m];
        if (Upper(text[i]) == Upper(name[0]) && Upper(text[i + 1]) == Upper(name[1]) &&
            Upper(text[i + 2]) == Upper(name[2])) {
            month = static_cast<int>(m) + 1;
        }
    }
    if (month == 0) {
        return std::nullopt;
    }
    i += 3;
    skipBlanks();
    const auto year = number(4, 4);
    skipBlanks();
    if (!year || i != text.size() || *day < 1 || *day > DaysInMonth(*year, month)) {
        return std::nullopt;
    }
    return JulianFromDate({*year, month, *day});
}

std::optional<std::int32_t> ParseTimeOfDay(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.size() != 4) {
        return std::nullopt;
    }
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
    }
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[2] - '0') * 10 + (text[3] - '0');
    if (minutes > 59 || hours > 24 || (hours == 24 && minutes != 0)) {
        return std::nullopt;
    }
    return hours * 3600 + minutes * 60;
}

} // namespace hecdss
