#include <array>
#include <string>

#include <gtest/gtest.h>

#include "hecdss/dss_file.hpp"
#include "hecdss/dss_values.hpp"
#include "hecdss/heclib.hpp"
#include "test_support.hpp"

namespace hecdss::test {
namespace {

std::int32_t Length(const std::string& text) {
    return static_cast<std::int32_t>(text.size());
}

// The file table of one open file, closed when the test ends.
struct FileTable {
    std::array<std::int32_t, 600> words{};
    ~FileTable() { ZCLOSE_(words.data()); }
};

std::int32_t Open(FileTable& table, const std::string& path) {
    std::int32_t status = 99;
    ZOPEN_(table.words.data(), path.data(), &status, Length(path));
    return status;
}

std::int32_t Store(FileTable& table,
                   const std::string& path,
                   const std::string& date,
                   const std::string& time,
                   std::vector<float> values,
                   std::int32_t plan = 0,
                   const std::string& units = "CFS",
                   const std::string& type = "INST-VAL") {
    std::int32_t count = static_cast<std::int32_t>(values.size());
    std::int32_t status = 99;
    ZSRTS_(table.words.data(),
           path.data(),
           date.data(),
           time.data(),
           &count,
           values.data(),
           units.data(),
           type.data(),
           &plan,
           &status,
           Length(path),
           Length(date),
           Length(time),
           Length(units),
           Length(type));
    return status;
}

class HeclibTest : public TempDirTest {};

struct StoreCase {
    std::string name;
    std::string path;
    std::string date;
    std::string time;
    std::vector<float> values;
    std::int32_t plan;
    std::int32_t status;
};

TEST_F(HeclibTest, ZsrtsChecksItsInputBeforeStoring) {
    const std::vector<float> two = {1, 2};
    const float m = kMissingValue;
    const std::vector<StoreCase> cases = {
        {"stored", "/A/B/C/05Jan2009/1HOUR/F/", "05 Jan 2009", "2400", two, 0, 0},
        {"compact date", "/A/B/C//1HOUR/F/", "05JAN2009", "0100", two, 0, 0},
        {"lower case month", "/A/B/C//1DAY/F/", "05 jan 2009", "2400", two, 0, 0},
        {"minutes", "/A/B/C//15MIN/F/", "05 Jan 2009", "0015", two, 0, 0},
        {"no values", "/A/B/C//1HOUR/F/", "05 Jan 2009", "2400", {}, 0, kZsrtsNoValues},
        {"all missing",
         "/A/B/C//1HOUR/F/",
         "05 Jan 2009",
         "2400",
         {m, -901, -902},
         0,
         kZsrtsAllMissing},
        {"unknown interval", "/A/B/C//60MIN/F/", "05 Jan 2009", "2400", two, 0, kZsrtsBadInterval},
        {"E part too short", "/A/B/C//1HR/F/", "05 Jan 2009", "2400", two, 0, kZsrtsBadInterval},
        {"irregular", "/A/B/C//IR-DAY/F/", "05 Jan 2009", "2400", two, 0, kZsrtsBadInterval},
        {"bad day", "/A/B/C//1HOUR/F/", "32 Jan 2009", "2400", two, 0, kZsrtsBadStart},
        {"bad month", "/A/B/C//1HOUR/F/", "05 Jxn 2009", "2400", two, 0, kZsrtsBadStart},
        {"time after 2400", "/A/B/C//1HOUR/F/", "05 Jan 2009", "2401", two, 0, kZsrtsBadStart},
        {"minutes past 59", "/A/B/C//1HOUR/F/", "05 Jan 2009", "1260", two, 0, kZsrtsBadStart},
        {"empty time", "/A/B/C//1HOUR/F/", "05 Jan 2009", "", two, 0, kZsrtsBadStart},
        {"five parts", "/A/B/C//1HOUR/", "05 Jan 2009", "2400", two, 0, kZsrtsBadPathname},
        {"seven parts", "/A/B/C//1HOUR/F/G/", "05 Jan 2009", "2400", two, 0, 0},
        {"no leading slash", "A/B/C//1HOUR/F/", "05 Jan 2009", "2400", two, 0, kZsrtsBadPathname},
        {"other store plan", "/A/B/C//1HOUR/F/", "05 Jan 2009", "2400", two, 1, kZsrtsBadPlan},
    };
    FileTable table;
    ASSERT_EQ(Open(table, (dir_ / "x.dss").string()), 0);
    for (const StoreCase& c : cases) {
        EXPECT_EQ(Store(table, c.path, c.date, c.time, c.values, c.plan), c.status) << c.name;
    }
}

TEST_F(HeclibTest, Time2400IsTheEndOfTheDayAnd0000TheEndOfThePreviousOne) {
    const std::vector<std::pair<std::string, std::string>> starts = {
        {"05 Jan 2009", "2400"},
        {"06 Jan 2009", "0000"},
    };
    for (const auto& [date, time] : starts) {
        SCOPED_TRACE(date + " " + time);
        const auto file = dir_ / (time + ".dss");
        {
            FileTable table;
            ASSERT_EQ(Open(table, file.string()), 0);
            ASSERT_EQ(Store(table, "/A/B/C//1HOUR/F/", date, time, {1, 2}), 0);
        }
        const auto record = DssFile::Open(file).ReadRecord("/A/B/C/01Jan2009/1Hour/F/").value();
        EXPECT_EQ(record.firstSlot, 5 * 24 - 1);
        EXPECT_EQ(record.times.front(), (DssTime{39817, 86400}));
    }
}

TEST_F(HeclibTest, TheEntryPointsWriteTheReferenceFile) {
    const auto file = dir_ / "hourly_month.dss";
    {
        FileTable table;
        ASSERT_EQ(Open(table, file.string()), 0);
        std::vector<float> values;
        for (int i = 0; i < 60; ++i) {
            values.push_back(100.0F + 0.25F * static_cast<float>(i));
        }
        // The caller passes blank-padded Fortran fields and its own D part.
        ASSERT_EQ(Store(table,
                        "/BASIN/LOC/STAGE/30Jan2009/1HOUR/OBS/   ",
                        "30 Jan 2009",
                        "2400",
                        values,
                        0,
                        "FT",
                        "INST-VAL"),
                  0);
    }
    EXPECT_TRUE(
        DifferingWords(ReadBinaryFile(file), ReadBinaryFile(FixturePath("hourly_month.dss")))
            .empty());
}

TEST_F(HeclibTest, ZopenRefusesWhatItCannotUseAndZcloseIsAlwaysSafe) {
    const auto notDss = dir_ / "x.dss";
    const std::string text = "not a DSS file\n";
    WriteBinaryFile(notDss, text);
    FileTable table;
    EXPECT_EQ(Open(table, notDss.string()), kZopenNotDss);
    EXPECT_EQ(ReadBinaryFile(notDss), text);
    EXPECT_EQ(Open(table, (dir_ / "missing" / "x.dss").string()), kZopenCannotOpen);
    EXPECT_EQ(Store(table, "/A/B/C//1HOUR/F/", "05 Jan 2009", "2400", {1}), kZsrtsNotOpen);
    ZCLOSE_(table.words.data());
    ZCLOSE_(table.words.data());

    ASSERT_EQ(Open(table, (dir_ / "y.dss").string()), 0);
    EXPECT_EQ(Open(table, (dir_ / "z.dss").string()), kZopenInUse);
    EXPECT_EQ(CloseDssFileTable(table.words.data()), 0);
    EXPECT_EQ(CloseDssFileTable(table.words.data()), 0);
    EXPECT_EQ(Store(table, "/A/B/C//1HOUR/F/", "05 Jan 2009", "2400", {1}), kZsrtsNotOpen);
    EXPECT_EQ(Open(table, (dir_ / "y.dss").string()), 0);
}

struct CheckCase {
    std::string pathname;
    std::int32_t status;
};

TEST(ZchkpnTest, ReportsTheFirstProblemOfAPathname) {
    const std::vector<CheckCase> cases = {
        {"/A/B/C/D/E/F/", 0},
        {"///////", 0},
        {"/ut033/15033 Some Site/flow/01Jan2009/1Hour/MSA/", 0},
        {"A/B/C/D/E/F/", -1},
        {"/A/B/C/D/E/F", -2},
        {"/A/B/C/D/E/", -3},
        {"/A/B/C/D/E/F/G/", -3},
        {"//////", -4},
        {"/A/B/C/D/E/" + std::string(390, 'x') + "/", -5},
        {"/A/B/C/D/E/" + std::string(380, 'x') + "/", 0},
        {"/A/B\tC/C/D/E/F/", -6},
        {"/A/X\xC3\xA9Y/C/D/E/F/", -6},
        {"/A/B\x7F/C/D/E/F/", -6},
    };
    for (const CheckCase& c : cases) {
        // The field is longer than the pathname, as a Fortran caller passes it.
        std::string field = c.pathname + std::string(20, ' ');
        std::int32_t length = Length(c.pathname);
        std::int32_t status = 99;
        ZCHKPN_(field.data(), &length, &status, Length(field));
        EXPECT_EQ(status, c.status) << c.pathname;
    }
}

TEST(ZpathTest, BuildsABlankPaddedPathnameFromTrimmedParts) {
    const std::vector<std::pair<std::array<std::string, 6>, std::string>> cases = {
        {{"A", "B", "C", "D", "E", "F"}, "/A/B/C/D/E/F/"},
        {{"  BASIN ", "LOC", "FLOW  ", "", "1HOUR", "OBS"}, "/BASIN/LOC/FLOW//1HOUR/OBS/"},
        {{"UT", "15033 Green River", "FLOW", "", "1HOUR", "MSA"},
         "/UT/15033 Green River/FLOW//1HOUR/MSA/"},
        {{"A/B", "C\tD", "E", "", "1DAY", "F"}, "/A?B/C?D/E//1DAY/F/"},
        {{"", "", "", "", "", ""}, "///////"},
    };
    for (const auto& [parts, expected] : cases) {
        std::string field(80, 'x');
        std::int32_t length = -1;
        ZPATH_(parts[0].data(),
               parts[1].data(),
               parts[2].data(),
               parts[3].data(),
               parts[4].data(),
               parts[5].data(),
               field.data(),
               &length,
               Length(parts[0]),
               Length(parts[1]),
               Length(parts[2]),
               Length(parts[3]),
               Length(parts[4]),
               Length(parts[5]),
               Length(field));
        EXPECT_EQ(field, expected + std::string(80 - expected.size(), ' '));
        EXPECT_EQ(length, Length(expected));
    }
}

} // namespace
} // namespace hecdss::test
