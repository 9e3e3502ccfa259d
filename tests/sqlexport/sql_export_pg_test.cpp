#include <gtest/gtest.h>

#include "pg_fixture.hpp"
#include "program_runner.hpp"

namespace rill::sqlexport {
namespace {

using rill::testing::CrLfLines;
using rill::testing::RunResult;

// The two-DSID example read from PostgreSQL through psqlODBC: timestamps and double precision
// values must come out exactly as from SQLite.
class SqlExportPgTest : public rill::testing::PgSchemaTest {
protected:
    rill::testing::ProgramDir dir_{{"RillfetchSQL"}};
};

TEST_F(SqlExportPgTest, TwoDsidsOneWithValuesOneWithout) {
    Fill(R"sql(
        CREATE TABLE rsite(datatype_site_id integer PRIMARY KEY, site_name text,
                           datatype_name text, unit_name text, datatype_id smallint, state text,
                           notes text);
        INSERT INTO rsite VALUES (1024, 'Site A', 'Flow', 'cfs', 19, 'ID', NULL),
                                 (15033, 'Site B', 'Stage', 'ft', 65, 'ID', NULL);
        CREATE TABLE rhour(datatype_site_id integer, date_time timestamp,
                           value double precision);
        INSERT INTO rhour VALUES (1024, '2014-11-13 04:00:00', 12.5),
                                 (1024, '2014-11-13 05:00:00', 12.75);
    )sql");
    // The unqualified table names of the statement and the site query find the test's schema.
    dir_.WriteFile("Wellspan_setup.txt",
                   rill::testing::PgReaderConnectionString() +
                       ";pqopt={options='-c search_path=" + Schema() + "'}\r\n");

    const RunResult result = rill::testing::RunProgram(
        dir_.Program("RillfetchSQL"),
        {"1024 15033; SELECT date_time, value FROM rhour WHERE datatype_site_id=DSID ORDER BY "
         "date_time"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(dir_.ReadFile("RillfetchOutput.txt"),
              CrLfLines({
                  "SELECT date_time, value FROM rhour WHERE datatype_site_id=1024 ORDER BY "
                  "date_time;",
                  "",
                  "Flow;cfs;Site A;1024",
                  "date_time\tvalue\t",
                  "11/13/2014 4:00:00 AM\t 12.5 \t",
                  "11/13/2014 5:00:00 AM\t 12.75 \t",
                  "END",
                  "SELECT date_time, value FROM rhour WHERE datatype_site_id=15033 ORDER BY "
                  "date_time;",
                  "",
                  "15033 has no data.",
                  "END",
                  "THE_END",
              }));
}

} // namespace
} // namespace rill::sqlexport
