#include <sstream>

#include <gtest/gtest.h>

#include "hecdss/dss_dump.hpp"
#include "test_support.hpp"

namespace hecdss::test {
namespace {

struct DumpResult {
    int status;
    std::string out;
    std::string err;
};

DumpResult Dump(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunDssDump(arguments, out, err);
    return {status, out.str(), err.str()};
}

class DssDumpTest : public TempDirTest {
protected:
    std::string Copy(const std::string& fixture) {
        const auto file = dir_ / (fixture + ".dss");
        std::filesystem::copy_file(FixturePath(fixture + ".dss"), file);
        return file.string();
    }
};

TEST_F(DssDumpTest, WithoutArgumentsPrintsUsageAndFails) {
    const DumpResult result = Dump({});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("Usage: dssdump FILE", 0), 0U);
    EXPECT_EQ(Dump({"--help"}).status, 0);
}

TEST_F(DssDumpTest, ListsThePathnames) {
    const DumpResult result = Dump({Copy("min15")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "/BASIN/LOC/PRECIP/01Jan2009/15Minute/OBS/\n"
              "/BASIN/LOC/PRECIP/01Feb2009/15Minute/OBS/\n"
              "/BASIN/LOC/TEMP/06Jan2009/5Minute/OBS/\n"
              "/BASIN/LOC/TEMP/07Jan2009/5Minute/OBS/\n");
}

TEST_F(DssDumpTest, PrintsARecordOrAWholeSeriesAsDateTimeValueLines) {
    const std::string file = Copy("interior_missing");
    const std::string record = "/BASIN/LOC/FLOW/01Jan2009/1Hour/OBS/  units CFS  type INST-VAL\n"
                               "06Jan2009 03:00  10.5\n"
                               "06Jan2009 04:00  11.5\n"
                               "06Jan2009 05:00  M\n"
                               "06Jan2009 06:00  M\n"
                               "06Jan2009 07:00  12.5\n"
                               "06Jan2009 08:00  M\n"
                               "06Jan2009 09:00  13.5\n"
                               "06Jan2009 10:00  14.5\n";
    EXPECT_EQ(Dump({file, "/BASIN/LOC/FLOW/01Jan2009/1Hour/OBS/"}).out, record);
    EXPECT_EQ(Dump({file, "--all"}).out, record);
    const DumpResult series = Dump({file, "/basin/loc/flow//1hour/obs/"});
    EXPECT_EQ(series.status, 0);
    EXPECT_EQ(series.out.substr(series.out.find('\n')), record.substr(record.find('\n')));
}

TEST_F(DssDumpTest, MissingRecordsAndUnreadableFilesFail) {
    const DumpResult missing = Dump({Copy("yearly"), "/NO/SUCH/RECORD/01Jan1900/1Year/X/"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no record /NO/SUCH/RECORD/"), std::string::npos);

    const auto text = dir_ / "notes.dss";
    WriteBinaryFile(text, "hello\n");
    EXPECT_EQ(Dump({text.string()}).status, 1);
    EXPECT_EQ(Dump({(dir_ / "absent.dss").string()}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.dss"));
}

TEST_F(DssDumpTest, RecordsOfOtherKindsAreReportedAndSkipped) {
    const std::string file = Copy("hourly_month");
    std::string bytes = ReadBinaryFile(file);
    // The January record (info block at 15773) becomes a double-precision series.
    const std::int64_t typeAndVersion = (std::int64_t{1} << 32) | 105;
    bytes.replace((15773 + 4) * 8, 8, reinterpret_cast<const char*>(&typeAndVersion), 8);
    WriteBinaryFile(file, bytes);
    const DumpResult result = Dump({file, "--all"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("/BASIN/LOC/STAGE/01Jan2009/1Hour/OBS/"), std::string::npos);
    EXPECT_EQ(result.out.rfind("/BASIN/LOC/STAGE/01Feb2009/1Hour/OBS/  units FT", 0), 0U);
}

} // namespace
} // namespace hecdss::test
