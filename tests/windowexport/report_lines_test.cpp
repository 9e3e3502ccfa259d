#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windowexport/report_format.hpp"
#include "windowexport/report_lines.hpp"

namespace rill {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
    return ToDateTime(CivilDateTime{y, mo, d, h, mi, s, 0});
}

TEST(ReportLinesTest, BlockLines) {
    EXPECT_EQ(NotFoundLine("15033"), "15033 not found.");
    EXPECT_EQ(NotFoundLine(""), " not found.");
    EXPECT_EQ(NotFoundLine("12"), "12 not found.");
    EXPECT_EQ(SeriesTitle("Stage", "North Fork"), "STAGE; North Fork");
    EXPECT_EQ(SeriesTitle("Gage height", ""), "GAGE HEIGHT; ");
    EXPECT_EQ(TableLine("rhour", "1024", ""), "rhour; 1024; ");
    EXPECT_EQ(TableLine("rday", "16033", "Provisional"), "rday; 16033; Provisional");
    EXPECT_EQ(NoDataLine("16033"), "16033 has no data.");
}

TEST(ReportLinesTest, ValueLines) {
    const DateTime runDate = At(2009, 1, 6, 0, 0);
    struct Case {
        DateTime stamp;
        std::string valueText;
        std::string unit;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {At(2009, 1, 5, 22, 0), "3.4", "ft", "hist-Mon 10:00PM >> 3.4 ft"},
        {At(2009, 1, 6, 1, 0), "12", "ft", "     Tue 01:00AM >> 12 ft"},
        // The run's date itself is not history; one second before it is.
        {runDate, "3.5", "ft", "     Tue 12:00AM >> 3.5 ft"},
        {At(2009, 1, 5, 23, 59, 59), "3.5", "ft", "hist-Mon 11:59PM >> 3.5 ft"},
        {At(2009, 1, 6, 12, 0), "0.50", "in", "     Tue 12:00PM >> 0.50 in"},
        // An empty unit leaves the blank before it.
        {At(2009, 1, 8, 0, 0), "7", "", "     Thu 12:00AM >> 7 "},
    };
    std::string line;
    for (const auto& c : cases) {
        line.clear();
        AppendValueLine(line, c.stamp, runDate, c.valueText, c.unit);
        EXPECT_EQ(line, c.expected);
    }
}

TEST(ReportLinesTest, DayAndTimeAgreesWithTheReportPattern) {
    // Every hour and several minutes over two weeks, across a year end and a leap day.
    for (const DateTime first :
         {At(2008, 12, 25, 0, 0), At(2024, 2, 22, 0, 0), At(1899, 12, 20, 0, 0)}) {
        for (int step = 0; step < 14 * 24 * 4; ++step) {
            const DateTime stamp = first + step * (15.0 / 1440.0) + (step % 7) / 86400.0;
            std::string fast;
            AppendDayAndTime(fast, stamp);
            ASSERT_EQ(fast, FormatDayAndTime(stamp)) << FormatIsoDateTime(stamp);
        }
    }
    // Times a fraction of a millisecond before midnight show the next day at 12:00AM.
    for (const DateTime stamp : {39819.999999999, -1.999999999, -0.999999999, 0.999999999}) {
        std::string fast;
        AppendDayAndTime(fast, stamp);
        EXPECT_EQ(fast, FormatDayAndTime(stamp)) << stamp;
        EXPECT_TRUE(fast.ends_with("12:00AM")) << fast;
    }
}

} // namespace
} // namespace rill
