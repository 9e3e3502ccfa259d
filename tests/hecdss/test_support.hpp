#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "hecdss/dss_file.hpp"

namespace hecdss::test {

std::filesystem::path FixturePath(std::string_view fileName);
std::string ReadBinaryFile(const std::filesystem::path& path);
void WriteBinaryFile(const std::filesystem::path& path, std::string_view bytes);

// Gives each test its own directory under the system temp directory; it is removed when the
// test passes and kept (and named in the output) when it fails.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path dir_;
};

// One "series ... end" item of a fixture's .input file.
struct InputSeries {
    std::string pathname;
    std::string date;
    std::string time;
    std::string units;
    std::string type;
    std::vector<float> values;
};

// The runs of an .input file ("#@step" markers); a file without markers is one run.
using InputRuns = std::vector<std::vector<InputSeries>>;
InputRuns ParseFixtureInput(std::string_view text);

RegularSeriesInput ToInput(const InputSeries& series);

// Stores every series of the runs, opening and closing the file once per run.
void WriteRuns(const std::filesystem::path& file, const InputRuns& runs);

// Word addresses that differ between two DSS files, ignoring the words that hold write times
// (file header 12 and 13, bin entry word 5, info block words 6 and 11). Different lengths count
// as a difference at the first missing word.
std::vector<std::int64_t> DifferingWords(std::string_view actual, std::string_view expected);

// A record as the reference listing (.txt) shows it.
struct ListedRecord {
    std::string pathname;
    std::map<std::string, std::string> fields; // "version" -> "1", "units" -> "'FT'", ...
    bool allMissing = false;
    std::vector<std::string> valueLines; // "719  30Jan2009 24:00:00  100"
};

struct Listing {
    std::vector<std::string> pathnames;
    std::vector<ListedRecord> records;
};

Listing ParseListing(std::string_view text);

// A value as the listings print it: %.9g, missing values as M(value).
std::string ListingValue(float value);

} // namespace hecdss::test
