#include <gtest/gtest.h>

#include "windowexport/report.hpp"
#include "windowexport/report_format.hpp"

namespace rill {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
    return ToDateTime(CivilDateTime{y, mo, d, h, mi, s, 0});
}

TEST(ReportFormatTest, DateAndTimePatterns) {
    struct Case {
        DateTime value;
        std::string longForm;
        std::string clock;
        std::string shortDate;
        std::string dayTime;
    };
    const std::vector<Case> cases = {
        {At(2009, 1, 6, 14, 15),
         "Tuesday, Jan 06, 2009 02:15PM",
         "02:15PM",
         "Jan-06-2009",
         "Tue 02:15PM"},
        {At(2009, 1, 5, 0, 0),
         "Monday, Jan 05, 2009 12:00AM",
         "12:00AM",
         "Jan-05-2009",
         "Mon 12:00AM"},
        {At(2009, 1, 5, 12, 0),
         "Monday, Jan 05, 2009 12:00PM",
         "12:00PM",
         "Jan-05-2009",
         "Mon 12:00PM"},
        {At(2024, 12, 31, 23, 59, 59),
         "Tuesday, Dec 31, 2024 11:59PM",
         "11:59PM",
         "Dec-31-2024",
         "Tue 11:59PM"},
        {At(2026, 7, 4, 0, 30),
         "Saturday, Jul 04, 2026 12:30AM",
         "12:30AM",
         "Jul-04-2026",
         "Sat 12:30AM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatLongDateTime(c.value), c.longForm);
        EXPECT_EQ(FormatClockTime(c.value), c.clock);
        EXPECT_EQ(FormatShortDate(c.value), c.shortDate);
        EXPECT_EQ(FormatDayAndTime(c.value), c.dayTime);
    }
}

TEST(ReportHeaderTest, HeaderLines) {
    const DateTime now = At(2009, 1, 6, 14, 15);
    const DateTime start = At(2009, 1, 5, 0, 0);
    const DateTime end = At(2009, 1, 8, 0, 0);
    EXPECT_EQ(ReportHeaderText(now, At(2009, 1, 6, 15, 0), start, end),
              "AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM\r\n"
              "Next run at: 03:00PM\r\n"
              "\r\n"
              "Jan-05-2009 to Jan-08-2009\r\n"
              "\r\n");
    // Only values above 10 days are real next-run times; the date is never shown.
    const std::vector<std::pair<double, std::string>> nextRuns = {{0.0, "----"},
                                                                  {10.0, "----"},
                                                                  {-5.0, "----"},
                                                                  {10.5, "12:00PM"},
                                                                  {39000.0 + 1.0 / 48, "12:30AM"}};
    for (const auto& [next, shown] : nextRuns) {
        const std::string text = ReportHeaderText(now, next, start, end);
        EXPECT_NE(text.find("\r\nNext run at: " + shown + "\r\n"), std::string::npos) << next;
    }
}

} // namespace
} // namespace rill
