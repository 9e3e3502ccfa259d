#include "common/date_time.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace rill {

namespace {

constexpr long long kDaysFrom1970To1899_12_30 = -25569;
constexpr long long kMsPerDay = 86'400'000;

// Civil date from days since 1970-01-01 (proleptic Gregorian, era-based).
void CivilFromUnixDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

long long UnixDaysFromCivil(int year, int month, int day) {
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long mp = month > 2 ? month - 3 : month + 9;
    const long long doy = (153 * mp + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateTime FromTm(const std::tm& tm, int millisecond) {
    CivilDateTime civil;
    civil.year = tm.tm_year + 1900;
    civil.month = tm.tm_mon + 1;
    civil.day = tm.tm_mday;
    civil.hour = tm.tm_hour;
    civil.minute = tm.tm_min;
    civil.second = tm.tm_sec;
    civil.millisecond = millisecond;
    return ToDateTime(civil);
}

bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
    if (pos + count > text.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

} // namespace

long long DaysFromCivil(int year, int month, int day) {
    return UnixDaysFromCivil(year, month, day) - kDaysFrom1970To1899_12_30;
}

DateTime ToDateTime(const CivilDateTime& civil) {
    const auto days = static_cast<double>(DaysFromCivil(civil.year, civil.month, civil.day));
    const double fraction =
        (((civil.hour * 60.0 + civil.minute) * 60.0 + civil.second) * 1000.0 + civil.millisecond) /
        static_cast<double>(kMsPerDay);
    // Before 1899-12-30 the fraction still counts forward from midnight but the sign of the
    // whole value is negative: -1.25 is 29 Dec 1899 06:00.
    return days < 0 ? days - fraction : days + fraction;
}

bool IsCalendarDateTime(DateTime value) {
    static const auto kFirstDay = static_cast<double>(DaysFromCivil(100, 1, 1));
    static const auto kDayAfterLastDay = static_cast<double>(DaysFromCivil(10000, 1, 1));
    // Before 1899 the whole part counts days back and the fraction still runs forward, so the
    // first day takes values from kFirstDay down to (not including) kFirstDay - 1.
    return value > kFirstDay - 1.0 && value < kDayAfterLastDay;
}

CivilDateTime ToCivil(DateTime value) {
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    auto ms = static_cast<long long>(std::llround(fraction * static_cast<double>(kMsPerDay)));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        // The time of day rounded up to midnight: the next calendar day, whatever the sign.
        whole += 1.0;
    }
    CivilDateTime civil;
    CivilFromUnixDays(static_cast<long long>(whole) + kDaysFrom1970To1899_12_30,
                      civil.year,
                      civil.month,
                      civil.day);
    civil.hour = static_cast<int>(ms / 3'600'000);
    civil.minute = static_cast<int>(ms / 60'000 % 60);
    civil.second = static_cast<int>(ms / 1000 % 60);
    civil.millisecond = static_cast<int>(ms % 1000);
    return civil;
}

int DayOfWeek(DateTime value) {
    const CivilDateTime civil = ToCivil(value);
    const long long days = DaysFromCivil(civil.year, civil.month, civil.day);
    // Day 0 (30 December 1899) was a Saturday.
    const long long dow = (days + 6) % 7;
    return static_cast<int>(dow < 0 ? dow + 7 : dow);
}

DateTime NowLocal() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return FromTm(tm, static_cast<int>(ts.tv_nsec / 1'000'000));
}

DateTime TodayLocal() {
    return DatePart(NowLocal());
}

DateTime DatePart(DateTime value) {
    const CivilDateTime civil = ToCivil(value);
    return static_cast<double>(DaysFromCivil(civil.year, civil.month, civil.day));
}

std::string_view DayName(int dayOfWeek) {
    static constexpr std::array<std::string_view, 7> kNames{
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return kNames.at(static_cast<std::size_t>(dayOfWeek));
}

std::string_view DayAbbrev(int dayOfWeek) {
    return DayName(dayOfWeek).substr(0, 3);
}

std::string_view MonthAbbrev(int month) {
    static constexpr std::array<std::string_view, 12> kNames{
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return kNames.at(static_cast<std::size_t>(month - 1));
}

std::optional<DateTime> ParseIsoDateTime(std::string_view text) {
    CivilDateTime civil;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        !ReadDigits(text, 0, 4, civil.year) || !ReadDigits(text, 5, 2, civil.month) ||
        !ReadDigits(text, 8, 2, civil.day)) {
        return std::nullopt;
    }
    if (civil.month < 1 || civil.month > 12 || civil.day < 1 ||
        civil.day > DaysInMonth(civil.year, civil.month)) {
        return std::nullopt;
    }
    std::size_t pos = 10;
    if (pos < text.size()) {
        if ((text[pos] != ' ' && text[pos] != 'T') || text.size() < pos + 6 ||
            !ReadDigits(text, pos + 1, 2, civil.hour) || text[pos + 3] != ':' ||
            !ReadDigits(text, pos + 4, 2, civil.minute)) {
            return std::nullopt;
        }
        pos += 6;
        if (pos < text.size()) {
            if (text[pos] != ':' || !ReadDigits(text, pos + 1, 2, civil.second)) {
                return std::nullopt;
            }
            pos += 3;
            if (pos < text.size()) {
                if (text[pos] != '.') {
                    return std::nullopt;
                }
                double scale = 100.0;
                double ms = 0.0;
                for (++pos; pos < text.size(); ++pos) {
                    const char c = text[pos];
                    if (c < '0' || c > '9') {
                        return std::nullopt;
                    }
                    ms += (c - '0') * scale;
                    scale /= 10.0;
                }
                civil.millisecond = static_cast<int>(std::lround(ms));
                if (civil.millisecond >= 1000) {
                    civil.millisecond = 999;
                }
            }
        }
        if (civil.hour > 23 || civil.minute > 59 || civil.second > 59) {
            return std::nullopt;
        }
    }
    return ToDateTime(civil);
}

std::string FormatIsoDateTime(DateTime value) {
    const CivilDateTime c = ToCivil(value);
    char buffer[32];
    std::snprintf(buffer,
                  sizeof buffer,
                  "%04d-%02d-%02d %02d:%02d:%02d",
                  c.year,
                  c.month,
                  c.day,
                  c.hour,
                  c.minute,
                  c.second);
    return buffer;
}

} // namespace rill
