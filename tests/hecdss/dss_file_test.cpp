#include <algorithm>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "hecdss/dss_error.hpp"
#include "hecdss/dss_file.hpp"
#include "hecdss/dss_time.hpp"
#include "hecdss/dss_values.hpp"
#include "test_support.hpp"

namespace hecdss::test {
namespace {

const std::vector<std::string> kWrittenFixtures = {
    "hourly_month",
    "daily_year",
    "min15",
    "monthly",
    "yearly",
    "offsets",
    "interior_missing",
    "all_missing",
    "repeat_compress",
    "all_equal",
    "pathnames",
    "many_series",
    "merge",
    "merge_shrink",
    "merge_runs",
};

std::string DescribeDifferences(const std::vector<std::int64_t>& differing) {
    std::string text = std::to_string(differing.size()) + " differing words, first at";
    for (std::size_t i = 0; i < differing.size() && i < 12; ++i) {
        text += " " + std::to_string(differing[i]);
    }
    return text;
}

std::int64_t WordAt(const std::string& bytes, std::int64_t address) {
    std::int64_t word = 0;
    std::memcpy(&word, bytes.data() + address * 8, sizeof word);
    return word;
}

void SetWord(std::string& bytes, std::int64_t address, std::int64_t word) {
    std::memcpy(bytes.data() + address * 8, &word, sizeof word);
}

DssTime At(std::string_view date, std::string_view time) {
    return {*ParseDate(date), *ParseTimeOfDay(time)};
}

std::vector<float> Ramp(std::size_t count, float start) {
    std::vector<float> values;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(start + static_cast<float>(i));
    }
    return values;
}

// Compares what the reader makes of a file with the reference's listing of it.
void ExpectMatchesListing(const std::filesystem::path& file, const std::string& listingText) {
    const Listing listing = ParseListing(listingText);
    DssFile dss = DssFile::Open(file, {.mode = OpenMode::ReadOnly});
    EXPECT_EQ(dss.ListPathnames(), listing.pathnames);
    for (const ListedRecord& listed : listing.records) {
        SCOPED_TRACE(listed.pathname);
        const auto record = dss.ReadRecord(listed.pathname);
        ASSERT_TRUE(record.has_value());
        const auto field = [&](const std::string& name) { return listed.fields.at(name); };
        EXPECT_EQ(std::to_string(record->version), field("version"));
        EXPECT_EQ(std::to_string(record->values.size()), field("numberValues(stored)"));
        EXPECT_EQ(std::to_string(record->slotsInBlock), field("logicalNumber"));
        EXPECT_EQ(std::to_string(record->firstSlot), field("blockStart"));
        EXPECT_EQ(std::to_string(record->lastSlot), field("blockEnd"));
        EXPECT_EQ(std::to_string(record->compression), field("compression"));
        EXPECT_EQ(std::to_string(record->offsetSeconds), field("timeOffsetSecs"));
        if (listed.allMissing) {
            EXPECT_TRUE(std::all_of(record->values.begin(), record->values.end(), IsMissing));
            continue;
        }
        EXPECT_EQ("'" + record->units + "'", field("units"));
        EXPECT_EQ("'" + record->type + "'", field("type"));
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < record->values.size(); ++i) {
            lines.push_back(std::to_string(record->firstSlot + static_cast<int>(i)) + "  " +
                            FormatDateTime(record->times[i]) + "  " +
                            ListingValue(record->values[i]));
        }
        EXPECT_EQ(lines, listed.valueLines);
    }
}

class FixtureTest : public TempDirTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FixtureTest, WritesTheReferenceFileWordForWord) {
    const InputRuns runs = ParseFixtureInput(ReadBinaryFile(FixturePath(GetParam() + ".input")));
    const auto file = dir_ / (GetParam() + ".dss");
    WriteRuns(file, runs);
    const auto differing =
        DifferingWords(ReadBinaryFile(file), ReadBinaryFile(FixturePath(GetParam() + ".dss")));
    EXPECT_TRUE(differing.empty()) << DescribeDifferences(differing);
}

TEST_P(FixtureTest, ReadsTheReferenceFileAsItsListingShowsIt) {
    const auto file = dir_ / "copy.dss";
    std::filesystem::copy_file(FixturePath(GetParam() + ".dss"), file);
    ExpectMatchesListing(file, ReadBinaryFile(FixturePath(GetParam() + ".txt")));
}

INSTANTIATE_TEST_SUITE_P(Fixtures,
                         FixtureTest,
                         ::testing::ValuesIn(kWrittenFixtures),
                         [](const auto& param) { return param.param; });

class DssFileTest : public TempDirTest {
protected:
    std::filesystem::path Copy(const std::string& fixture) {
        const auto file = dir_ / (fixture + ".dss");
        std::filesystem::copy_file(FixturePath(fixture + ".dss"), file);
        return file;
    }
};

// Guards the fixture comparisons: masking must hide write times only.
TEST(DifferingWordsTest, OnlyWriteTimesAreMasked) {
    const std::string merge = ReadBinaryFile(FixturePath("merge.dss"));
    EXPECT_TRUE(DifferingWords(merge, merge).empty());
    std::string changed = merge;
    SetWord(changed, 13, WordAt(merge, 13) + 1000); // last write time
    SetWord(changed, 15773 + 6, 1);                 // a record's last write time
    EXPECT_TRUE(DifferingWords(changed, merge).empty());
    SetWord(changed, 15773 + 9, WordAt(merge, 15773 + 9) + 1); // a record's first date
    EXPECT_EQ(DifferingWords(changed, merge), (std::vector<std::int64_t>{15773 + 9}));
    EXPECT_FALSE(DifferingWords(ReadBinaryFile(FixturePath("merge_shrink.dss")), merge).empty());
    EXPECT_FALSE(DifferingWords(merge.substr(0, merge.size() - 8), merge).empty());
}

TEST_F(DssFileTest, ReadsTheReferenceFileBeforeAMerge) {
    ExpectMatchesListing(Copy("merge.step1"), ReadBinaryFile(FixturePath("merge.step1.txt")));
}

TEST_F(DssFileTest, StoringIntoAReferenceWrittenFileGivesTheReferenceResult) {
    const auto file = Copy("merge.step1");
    const InputRuns runs = ParseFixtureInput(ReadBinaryFile(FixturePath("merge.input")));
    ASSERT_EQ(runs.size(), 2U);
    WriteRuns(file, {runs[1]});
    const auto differing =
        DifferingWords(ReadBinaryFile(file), ReadBinaryFile(FixturePath("merge.dss")));
    EXPECT_TRUE(differing.empty()) << DescribeDifferences(differing);
}

TEST_F(DssFileTest, OverlappingStoresMergeIntoOneSeries) {
    const auto file = dir_ / "x.dss";
    const std::string path = "/BASIN/LOC/FLOW//1HOUR/OBS/";
    {
        DssFile dss = DssFile::Open(file);
        ASSERT_EQ(dss.StoreRegularSeries({path, At("30JAN2009", "0100"), Ramp(72, 0), "CFS", "X"}),
                  StoreStatus::Stored);
        dss.Close();
    }
    {
        // Replaces hours 24..33 only; one value given as missing removes the old one.
        std::vector<float> update = Ramp(10, 1000);
        update[4] = kMissingValue;
        DssFile dss = DssFile::Open(file);
        ASSERT_EQ(
            dss.StoreRegularSeries({path, At("31JAN2009", "0100"), update, "CFS", "INST-VAL"}),
            StoreStatus::Stored);
        dss.Close();
    }
    DssFile dss = DssFile::Open(file, {.mode = OpenMode::ReadOnly});
    EXPECT_EQ(dss.ListPathnames(),
              (std::vector<std::string>{"/BASIN/LOC/FLOW/01Jan2009/1Hour/OBS/",
                                        "/BASIN/LOC/FLOW/01Feb2009/1Hour/OBS/"}));
    const auto series = dss.ReadRegularSeries(path);
    ASSERT_TRUE(series.has_value());
    std::vector<float> expected = Ramp(72, 0);
    for (std::size_t i = 0; i < 10; ++i) {
        expected[24 + i] = 1000 + static_cast<float>(i);
    }
    expected[28] = kMissingValue;
    EXPECT_EQ(series->values, expected);
    // Units and type belong to the latest store of each block.
    EXPECT_EQ(dss.ReadRecord("/BASIN/LOC/FLOW/01Jan2009/1Hour/OBS/")->type, "INST-VAL");
    EXPECT_EQ(dss.ReadRecord("/BASIN/LOC/FLOW/01Feb2009/1Hour/OBS/")->type, "X");
    ASSERT_EQ(series->times.size(), expected.size());
    for (std::size_t i = 0; i < series->times.size(); ++i) {
        EXPECT_EQ(TotalSeconds(series->times[i]),
                  TotalSeconds(At("30JAN2009", "0100")) + static_cast<std::int64_t>(i) * 3600);
    }
}

TEST_F(DssFileTest, AnHourlyJobLeavesOneGrowingSeriesWithoutDuplicates) {
    const auto file = dir_ / "job.dss";
    const std::string path = "/BASIN/JOB/FLOW//1HOUR/OBS/";
    const std::int32_t firstDay = *ParseDate("25JAN2009");
    constexpr int kRuns = 40;
    // Run r stores the 48 hours before hour 6r + 48; each value says which run wrote it.
    for (int run = 0; run < kRuns; ++run) {
        std::vector<float> values;
        for (int h = 0; h < 48; ++h) {
            values.push_back(static_cast<float>(run * 1000 + (run * 6 + h)));
        }
        const DssTime start =
            TimeFromTotalSeconds(static_cast<std::int64_t>(firstDay) * 86400 + 3600LL * run * 6);
        DssFile dss = DssFile::Open(file);
        ASSERT_EQ(dss.StoreRegularSeries({path, start, values, "CFS", "INST-VAL"}),
                  StoreStatus::Stored);
        dss.Close();
    }
    DssFile dss = DssFile::Open(file, {.mode = OpenMode::ReadOnly});
    EXPECT_EQ(dss.ListPathnames().size(), 2U);
    const auto series = dss.ReadRegularSeries(path);
    ASSERT_TRUE(series.has_value());
    const std::size_t hours = (kRuns - 1) * 6 + 48;
    ASSERT_EQ(series->values.size(), hours);
    for (std::size_t h = 0; h < hours; ++h) {
        const int lastRun = std::min<int>(static_cast<int>(h) / 6, kRuns - 1);
        EXPECT_EQ(series->values[h], static_cast<float>(lastRun * 1000 + static_cast<int>(h)))
            << "hour " << h;
    }
}

struct CompressedMergeCase {
    std::string name;
    std::vector<float> initial;
    std::int32_t initialCompression;
    std::size_t updateAt;
    std::vector<float> update;
};

TEST_F(DssFileTest, StoresMergeIntoCompressedRecords) {
    std::vector<float> steps;
    for (int i = 0; i < 40; ++i) {
        steps.push_back(static_cast<float>(i / 8));
    }
    const std::vector<CompressedMergeCase> cases = {
        {"all equal", std::vector<float>(30, 7.5F), 2, 10, {1, 2, 3}},
        {"repeats", steps, 1, 35, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}},
        {"repeats, update before", steps, 1, 0, {kMissingValue, 5}},
    };
    for (const CompressedMergeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir_ / (c.name + ".dss");
        const std::string path = "/A/B/C//1HOUR/F/";
        const DssTime start = At("06JAN2009", "0100");
        DssFile dss = DssFile::Open(file);
        ASSERT_EQ(dss.StoreRegularSeries({path, start, c.initial, "IN", "PER-CUM"}),
                  StoreStatus::Stored);
        ASSERT_EQ(dss.ReadRecord("/A/B/C/01Jan2009/1Hour/F/")->compression, c.initialCompression);
        const DssTime updateStart =
            TimeFromTotalSeconds(TotalSeconds(start) + 3600 * static_cast<int>(c.updateAt));
        ASSERT_EQ(dss.StoreRegularSeries({path, updateStart, c.update, "IN", "PER-CUM"}),
                  StoreStatus::Stored);
        std::vector<float> expected = c.initial;
        expected.resize(std::max(expected.size(), c.updateAt + c.update.size()), kMissingValue);
        std::copy(
            c.update.begin(), c.update.end(), expected.begin() + static_cast<long>(c.updateAt));
        // A leading missing value is trimmed away.
        const auto firstValid =
            std::find_if(expected.begin(), expected.end(), [](float v) { return !IsMissing(v); });
        expected.erase(expected.begin(), firstValid);
        EXPECT_EQ(dss.ReadRegularSeries(path)->values, expected);
        dss.Close();
    }
}

struct BoundaryCase {
    std::string ePart;
    std::string date;
    std::string time;
    std::size_t count;
    std::vector<std::string> dParts;
    std::int32_t firstSlot;
};

TEST_F(DssFileTest, SeriesAreSplitAtBlockBoundaries) {
    const std::vector<BoundaryCase> cases = {
        {"5MIN", "06JAN2009", "2355", 3, {"06Jan2009", "07Jan2009"}, 286},
        {"1HOUR", "31JAN2009", "2300", 3, {"01Jan2009", "01Feb2009"}, 742},
        {"1HOUR", "28FEB2008", "2400", 26, {"01Feb2008", "01Mar2008"}, 671},
        {"1DAY", "31DEC2008", "0000", 3, {"01Jan2008", "01Jan2009"}, 364},
        {"1DAY", "30DEC2008", "2400", 3, {"01Jan2008", "01Jan2009"}, 364},
        {"1MONTH", "30NOV2009", "2400", 3, {"01Jan2000", "01Jan2010"}, 118},
        {"1YEAR", "31DEC1998", "2400", 3, {"01Jan1900", "01Jan2000"}, 98},
        {"1YEAR", "31DEC2099", "2400", 2, {"01Jan2000", "01Jan2100"}, 99},
        {"1DAY", "30DEC2007", "2400", 370, {"01Jan2007", "01Jan2008", "01Jan2009"}, 363},
    };
    for (const BoundaryCase& c : cases) {
        SCOPED_TRACE(c.ePart + " " + c.date + " " + c.time);
        const auto file = dir_ / (c.ePart + c.date + c.time + ".dss");
        DssFile dss = DssFile::Open(file);
        const std::string path = "/A/B/C//" + c.ePart + "/F/";
        ASSERT_EQ(dss.StoreRegularSeries({path, At(c.date, c.time), Ramp(c.count, 1), "U", "T"}),
                  StoreStatus::Stored);
        const Interval* interval = FindInterval(c.ePart);
        std::vector<std::string> expected;
        for (const std::string& d : c.dParts) {
            expected.push_back("/A/B/C/" + d + "/" + std::string(interval->name) + "/F/");
        }
        EXPECT_EQ(dss.ListPathnames(), expected);
        EXPECT_EQ(dss.ReadRecord(expected.front())->firstSlot, c.firstSlot);
        const auto series = dss.ReadRegularSeries(path);
        ASSERT_TRUE(series.has_value());
        EXPECT_EQ(series->values, Ramp(c.count, 1));
        EXPECT_EQ(dss.ReadRecord(expected.back())->firstSlot, 0);
        dss.Close();
    }
}

struct RefusedStore {
    std::string name;
    RegularSeriesInput input;
    StoreStatus status;
};

TEST_F(DssFileTest, RefusedStoresLeaveTheFileUnchanged) {
    const auto file = Copy("hourly_month");
    const std::string before = ReadBinaryFile(file);
    const DssTime start = At("06JAN2009", "0100");
    const std::vector<RefusedStore> cases = {
        {"no values", {"/A/B/C//1HOUR/F/", start, {}, "U", "T"}, StoreStatus::NoValues},
        {"six slashes", {"/A/B/C//1HOUR/", start, {1}, "U", "T"}, StoreStatus::BadPathname},
        {"no leading slash", {"A/B/C//1HOUR/F/", start, {1}, "U", "T"}, StoreStatus::BadPathname},
        {"tagged F part", {"/A/B/C//1HOUR/T:x/", start, {1}, "U", "T"}, StoreStatus::BadPathname},
        {"short E part", {"/A/B/C//1HR/F/", start, {1}, "U", "T"}, StoreStatus::BadInterval},
        {"60MIN", {"/A/B/C//60MIN/F/", start, {1}, "U", "T"}, StoreStatus::BadInterval},
        {"irregular", {"/A/B/C//IR-MONTH/F/", start, {1}, "U", "T"}, StoreStatus::BadInterval},
        {"weekly", {"/A/B/C//1WEEK/F/", start, {1}, "U", "T"}, StoreStatus::BadInterval},
        {"seconds", {"/A/B/C//30SECOND/F/", start, {1}, "U", "T"}, StoreStatus::BadInterval},
        {"time past 24:00",
         {"/A/B/C//1HOUR/F/", {39818, 90000}, {1}, "U", "T"},
         StoreStatus::BadStartTime},
    };
    DssFile dss = DssFile::Open(file);
    for (const RefusedStore& c : cases) {
        EXPECT_EQ(dss.StoreRegularSeries(c.input), c.status) << c.name;
    }
    dss.Close();
    EXPECT_EQ(ReadBinaryFile(file), before);
}

TEST_F(DssFileTest, ABlockHoldingAnotherKindOfRecordRefusesTheWholeStore) {
    const auto file = Copy("hourly_month");
    std::string bytes = ReadBinaryFile(file);
    // The January record (info block at 15773) becomes a double-precision series.
    SetWord(bytes, 15773 + 4, (std::int64_t{1} << 32) | 105);
    WriteBinaryFile(file, bytes);
    DssFile dss = DssFile::Open(file);
    // Ten values from January into February: February alone would be storable.
    EXPECT_EQ(
        dss.StoreRegularSeries(
            {"/BASIN/LOC/STAGE//1HOUR/OBS/", At("31JAN2009", "2000"), Ramp(10, 1), "FT", "X"}),
        StoreStatus::IncompatibleRecord);
    dss.Close();
    EXPECT_EQ(ReadBinaryFile(file), bytes);
}

struct NotDssCase {
    std::string name;
    std::string bytes;
};

TEST_F(DssFileTest, FilesThatAreNotDss7AreRefusedAndLeftUnchanged) {
    const std::string good = ReadBinaryFile(FixturePath("hourly_month.dss"));
    std::string version6 = good;
    version6.replace(16, 4, "6-YA");
    std::string older7 = good;
    older7.replace(16, 4, "7-GZ");
    std::string noEndMark = good;
    SetWord(noEndMark, WordAt(good, 5), 0);
    std::string badHeaderEnd = good;
    SetWord(badHeaderEnd, 99, 0);
    const std::vector<NotDssCase> cases = {
        {"empty", ""},
        {"text", "Station,Date,Flow\nUT033,2009-01-06,12.5\n"},
        {"short", good.substr(0, 500)},
        {"truncated", good.substr(0, good.size() - 8)},
        {"version 6", version6},
        {"older than 7-HA", older7},
        {"no end-of-file mark", noEndMark},
        {"bad end of header", badHeaderEnd},
    };
    for (const NotDssCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir_ / "x.dss";
        WriteBinaryFile(file, c.bytes);
        try {
            DssFile::Open(file);
            ADD_FAILURE() << "opened";
        } catch (const DssError& error) {
            EXPECT_EQ(error.Kind(), DssErrorKind::NotDssFile) << error.what();
        }
        EXPECT_EQ(ReadBinaryFile(file), c.bytes);
    }
}

TEST_F(DssFileTest, AFileInAMissingDirectoryIsNotCreated) {
    const auto file = dir_ / "missing" / "x.dss";
    try {
        DssFile::Open(file);
        ADD_FAILURE() << "opened";
    } catch (const DssError& error) {
        EXPECT_EQ(error.Kind(), DssErrorKind::CannotOpen) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(DssFileTest, ANewFileIsCreatedEmptyAndLeavesNoTemporaryBehind) {
    const auto file = dir_ / "new.dss";
    DssFile::Open(file).Close();
    EXPECT_EQ(std::filesystem::file_size(file), 126192U);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_TRUE(DssFile::Open(file, {.mode = OpenMode::ReadOnly}).ListPathnames().empty());
}

// The states a new record passes through on disk: written past the end-of-file word, then
// header word 5 moved, then the record's first word over the old end-of-file word; the entry
// that makes it reachable comes last. A run killed at any of these points leaves a file that
// opens and reads as before, and the next store works on it.
TEST_F(DssFileTest, AStoreKilledBeforeItsEntryIsWrittenLeavesTheFileAsBefore) {
    const auto file = Copy("hourly_month");
    const std::string before = ReadBinaryFile(file);
    const RegularSeriesInput newSeries = {
        "/NEW/LOC/FLOW//1HOUR/OBS/", At("06JAN2009", "0100"), Ramp(5, 1), "CFS", "INST-VAL"};
    const auto store = [&] {
        DssFile dss = DssFile::Open(file);
        ASSERT_EQ(dss.StoreRegularSeries(newSeries), StoreStatus::Stored);
        dss.Close();
    };
    store();
    const std::string after = ReadBinaryFile(file);
    ASSERT_GT(after.size(), before.size());

    const std::int64_t oldEnd = WordAt(before, 5);
    std::string pastTheEnd = before + after.substr(before.size());
    std::string endMoved = pastTheEnd;
    SetWord(endMoved, 5, WordAt(after, 5));
    std::string firstWordWritten = endMoved;
    SetWord(firstWordWritten, oldEnd, WordAt(after, oldEnd));
    const std::vector<std::pair<std::string, std::string>> states = {
        {"record past the end", pastTheEnd},
        {"end address moved", endMoved},
        {"first word written", firstWordWritten},
    };
    for (const auto& [name, bytes] : states) {
        SCOPED_TRACE(name);
        WriteBinaryFile(file, bytes);
        ExpectMatchesListing(file, ReadBinaryFile(FixturePath("hourly_month.txt")));
        store();
        const std::string repaired = ReadBinaryFile(file);
        EXPECT_EQ(repaired.size(), static_cast<std::size_t>(WordAt(repaired, 5) + 1) * 8);
        DssFile dss = DssFile::Open(file, {.mode = OpenMode::ReadOnly});
        EXPECT_EQ(dss.ListPathnames().size(), 3U);
        EXPECT_EQ(dss.ReadRegularSeries(newSeries.pathname)->values, newSeries.values);
    }
    // Leftovers past the end are dropped, so that store wrote the same file as the first.
    WriteBinaryFile(file, pastTheEnd);
    store();
    EXPECT_TRUE(DifferingWords(ReadBinaryFile(file), after).empty());
}

TEST_F(DssFileTest, ASecondOpenOfALockedFileFailsInsteadOfInterleaving) {
    const auto file = dir_ / "locked.dss";
    DssFile first = DssFile::Open(file);
    const std::vector<OpenMode> modes = {OpenMode::ReadWrite, OpenMode::ReadOnly};
    for (const OpenMode mode : modes) {
        try {
            DssFile::Open(file, {.mode = mode, .lockTimeout = std::chrono::milliseconds(100)});
            ADD_FAILURE() << "a second open succeeded";
        } catch (const DssError& error) {
            EXPECT_EQ(error.Kind(), DssErrorKind::Locked) << error.what();
        }
    }
    first.Close();
    EXPECT_NO_THROW(DssFile::Open(file, {.lockTimeout = std::chrono::milliseconds(0)}).Close());
}

TEST_F(DssFileTest, AnotherProcessCannotOpenALockedFile) {
    const auto file = dir_ / "locked.dss";
    DssFile held = DssFile::Open(file);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 1;
        try {
            DssFile::Open(file, {.lockTimeout = std::chrono::milliseconds(0)});
        } catch (const DssError& error) {
            code = error.Kind() == DssErrorKind::Locked ? 0 : 2;
        } catch (...) {
            code = 3;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: opened, 2: other error, 3: other exception";
    held.Close();
}

TEST_F(DssFileTest, ReadOnlyFilesRefuseStores) {
    const auto file = Copy("hourly_month");
    DssFile dss = DssFile::Open(file, {.mode = OpenMode::ReadOnly});
    EXPECT_THROW(
        dss.StoreRegularSeries({"/A/B/C//1HOUR/F/", At("06JAN2009", "0100"), Ramp(5, 1), "", ""}),
        DssError);
}

} // namespace
} // namespace hecdss::test
