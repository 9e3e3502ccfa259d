#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "windowexport/export_request.hpp"
#include "windowexport/series_query.hpp"

namespace rill {
namespace {

DateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
    return ToDateTime(CivilDateTime{y, mo, d, h, mi, s, 0});
}

TEST(SeriesQueryTest, SiteQueryText) {
    EXPECT_EQ(SiteQueryText("1024"),
              "Select site_name, datatype_name, unit_name,datatype_id, state, notes from rsite "
              "where datatype_site_id=1024");
}

TEST(SeriesQueryTest, DailyTableForDataTypes10_11And27) {
    const std::vector<std::pair<std::int16_t, std::string>> cases = {
        {10, "rday"}, {11, "rday"}, {27, "rday"}, {4, "rhour"}, {9, "rhour"}, {26, "rhour"}};
    for (const auto& [datatypeId, expected] : cases) {
        EXPECT_EQ(QueryTable("rhour", datatypeId), expected) << datatypeId;
    }
}

TEST(SeriesQueryTest, DataQueryTextWithEitherDelimiter) {
    const DateTime start = At(2009, 1, 5, 0, 0);
    const DateTime end = At(2009, 1, 8, 0, 0);
    EXPECT_EQ(BuildDataQuery("rhour", "1024", start, end, '#').text,
              "select datatype_site_id, date_time, value from rhour where datatype_site_id=1024 "
              "and date_time between #01/05/2009 00:00# and #01/08/2009  00:00# order by "
              "date_time;");
    EXPECT_EQ(BuildDataQuery("rhour", "1024", start, end, '\'').text,
              "select datatype_site_id, date_time, value from rhour where datatype_site_id=1024 "
              "and date_time between '01/05/2009 00:00' and '01/08/2009  00:00' order by "
              "date_time;");
    // Seconds are never shown: the unit-value start 60.48 s after midnight shows 00:01.
    const DataQuery unit = BuildDataQuery(
        "runit", "15033", start + kUnitTableStartShiftDays, At(2009, 12, 31, 23, 59, 59), '\'');
    EXPECT_EQ(unit.text,
              "select datatype_site_id, date_time, value from runit where datatype_site_id=15033 "
              "and date_time between '01/05/2009 00:01' and '12/31/2009  23:59' order by "
              "date_time;");
}

TEST(SeriesQueryTest, DatabaseLiteralsCarryTheMinutesShown) {
    const auto iso = [](DateTime value) { return "'" + FormatIsoDateTime(value) + "'"; };
    const auto odbc = [](DateTime value) { return "{ts '" + FormatIsoDateTime(value) + "'}"; };
    const DateTime start = At(2009, 1, 5, 0, 0) + kUnitTableStartShiftDays;
    const DateTime end = At(2009, 1, 8, 13, 45, 30);
    for (const char delimiter : {'#', '\''}) {
        const DataQuery query = BuildDataQuery("runit", "-1024", start, end, delimiter);
        EXPECT_EQ(query.literals[0].shown, At(2009, 1, 5, 0, 1));
        EXPECT_EQ(query.literals[1].shown, At(2009, 1, 8, 13, 45));
        EXPECT_EQ(
            WithDatabaseLiterals(query, iso(query.literals[0].shown), iso(query.literals[1].shown)),
            "select datatype_site_id, date_time, value from runit where "
            "datatype_site_id=-1024 and date_time between '2009-01-05 00:01:00' and "
            "'2009-01-08 13:45:00' order by date_time;");
        EXPECT_EQ(WithDatabaseLiterals(
                      query, odbc(query.literals[0].shown), odbc(query.literals[1].shown)),
                  "select datatype_site_id, date_time, value from runit where "
                  "datatype_site_id=-1024 and date_time between {ts '2009-01-05 00:01:00'} and "
                  "{ts '2009-01-08 13:45:00'} order by date_time;");
    }
}

TEST(SeriesQueryTest, DsidItemsMustBeWholeNumbers) {
    for (const std::string item : {"1024", "-12", "+123", "000", "99999999999999999999"}) {
        EXPECT_NO_THROW(CheckDsidItem(item)) << item;
    }
    for (const std::string item :
         {"10x4", "1024;", "1024)", "--1", "+", "-", "1.5", "abc", "1e3", "1,2", "0x10", "1\t2"}) {
        try {
            CheckDsidItem(item);
            ADD_FAILURE() << "accepted " << item;
        } catch (const RunError& error) {
            EXPECT_EQ(error.what(),
                      "DSID \"" + item +
                          "\" is not a whole number; it is not sent to the database");
        }
    }
}

TEST(SeriesQueryTest, TableNamesMustBeIdentifiers) {
    for (const std::string name : {"rhour", "RUNIT", "r_2", "_x", "9t", "wellspan.rhour"}) {
        EXPECT_NO_THROW(CheckTableName(name)) << name;
    }
    for (const std::string name : {"",
                                   "rhour x",
                                   "a.b.c",
                                   ".rhour",
                                   "rhour.",
                                   "rhour;drop",
                                   "r-hour",
                                   "\"rhour\"",
                                   "[rhour]",
                                   "rhour--",
                                   "r\xC3\xA9sum\xC3\xA9"}) {
        try {
            CheckTableName(name);
            ADD_FAILURE() << "accepted " << name;
        } catch (const RunError& error) {
            EXPECT_NE(std::string(error.what()).find("\"" + name + "\""), std::string::npos)
                << error.what();
        }
    }
}

} // namespace
} // namespace rill
