#include "test_support.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "hecdss/dss_time.hpp"
#include "hecdss/dss_values.hpp"

namespace hecdss::test {

std::filesystem::path FixturePath(std::string_view fileName) {
    return std::filesystem::path(RILLFETCH_HECDSS_FIXTURES) / fileName;
}

std::string ReadBinaryFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBinaryFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void TempDirTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hecdss-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        FAIL() << "cannot create a temporary directory from " << pattern;
    }
    dir_ = pattern;
}

void TempDirTest::TearDown() {
    if (dir_.empty()) {
        return;
    }
    if (HasFailure()) {
        std::printf("kept test directory %s\n", dir_.c_str());
    } else {
        std::filesystem::remove_all(dir_);
    }
}

namespace {

std::vector<std::string> Tokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string token;
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) {
                throw std::runtime_error("unterminated quote in: " + std::string(line));
            }
            token = std::string(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                token += line[i++];
            }
        }
        tokens.push_back(token);
    }
    return tokens;
}

float InputValue(const std::string& token) {
    if (token == "M") {
        return kMissingValue;
    }
    return static_cast<float>(std::stod(token));
}

} // namespace

InputRuns ParseFixtureInput(std::string_view text) {
    InputRuns runs(1);
    std::optional<InputSeries> current;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("#@step", 0) == 0) {
            if (!runs.back().empty()) {
                runs.emplace_back();
            }
            continue;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) {
            continue;
        }
        if (tokens[0] == "series") {
            if (tokens.size() != 6) {
                throw std::runtime_error("series needs five fields: " + line);
            }
            current = InputSeries{tokens[1], tokens[2], tokens[3], tokens[4], tokens[5], {}};
        } else if (!current) {
            throw std::runtime_error("values outside a series: " + line);
        } else if (tokens[0] == "end") {
            runs.back().push_back(std::move(*current));
            current.reset();
        } else if (tokens[0] == "gen") {
            const int count = std::stoi(tokens.at(1));
            const double start = static_cast<float>(std::stod(tokens.at(2)));
            const double step = static_cast<float>(std::stod(tokens.at(3)));
            for (int i = 0; i < count; ++i) {
                current->values.push_back(static_cast<float>(start + i * step));
            }
        } else if (tokens[0] == "rep") {
            const int count = std::stoi(tokens.at(1));
            current->values.insert(
                current->values.end(), static_cast<std::size_t>(count), InputValue(tokens.at(2)));
        } else {
            for (const std::string& token : tokens) {
                current->values.push_back(InputValue(token));
            }
        }
    }
    return runs;
}

RegularSeriesInput ToInput(const InputSeries& series) {
    const auto julian = ParseDate(series.date);
    const auto seconds = ParseTimeOfDay(series.time);
    if (!julian || !seconds) {
        throw std::runtime_error("bad date or time in fixture input: " + series.date + " " +
                                 series.time);
    }
    return {series.pathname, {*julian, *seconds}, series.values, series.units, series.type};
}

void WriteRuns(const std::filesystem::path& file, const InputRuns& runs) {
    for (const auto& run : runs) {
        DssFile dss = DssFile::Open(file);
        for (const InputSeries& series : run) {
            const StoreStatus status = dss.StoreRegularSeries(ToInput(series));
            if (status != StoreStatus::Stored) {
                throw std::runtime_error("store refused: " + series.pathname);
            }
        }
        dss.Close();
    }
}

namespace {

std::int64_t Word(std::string_view bytes, std::int64_t address) {
    std::int64_t word = 0;
    std::memcpy(&word, bytes.data() + address * 8, sizeof word);
    return word;
}

std::int64_t WordCount(std::string_view bytes) {
    return static_cast<std::int64_t>(bytes.size() / 8);
}

// The words that hold times of writing, found the way a reader finds bins and info blocks.
std::set<std::int64_t> TimeWords(std::string_view bytes) {
    std::set<std::int64_t> words{12, 13};
    const std::int64_t count = WordCount(bytes);
    if (count < 100) {
        return words;
    }
    const std::int64_t binSize = Word(bytes, 23);
    const std::int64_t binsPerBlock = Word(bytes, 21);
    for (std::int64_t block = Word(bytes, 24); block > 0 && block + binsPerBlock * binSize < count;
         block = Word(bytes, block + binsPerBlock * binSize)) {
        for (std::int64_t bin = 0; bin < binsPerBlock; ++bin) {
            const std::int64_t base = block + bin * binSize;
            std::int64_t position = 0;
            while (position < binSize - 2 && Word(bytes, base + position) != 0) {
                words.insert(base + position + 5);
                const auto length = static_cast<std::int32_t>(Word(bytes, base + position + 2));
                position += 7 + (length + 7) / 8;
            }
        }
    }
    for (std::int64_t address = 100; address + 11 < count; ++address) {
        const std::int64_t status = Word(bytes, address + 1);
        const std::int64_t length = Word(bytes, address + 2);
        if (Word(bytes, address) == -97534 && (status == 1 || status == 10) && length >= 1 &&
            length <= 392) {
            words.insert(address + 6);
            words.insert(address + 11);
        }
    }
    return words;
}

} // namespace

std::vector<std::int64_t> DifferingWords(std::string_view actual, std::string_view expected) {
    std::set<std::int64_t> masked = TimeWords(expected);
    masked.merge(TimeWords(actual));
    std::vector<std::int64_t> differing;
    const std::int64_t common = std::min(WordCount(actual), WordCount(expected));
    for (std::int64_t address = 0; address < common; ++address) {
        if (Word(actual, address) != Word(expected, address) && !masked.contains(address)) {
            differing.push_back(address);
        }
    }
    if (actual.size() != expected.size()) {
        differing.push_back(common);
    }
    return differing;
}

Listing ParseListing(std::string_view text) {
    Listing listing;
    std::istringstream lines{std::string(text)};
    std::string line;
    bool inPathnames = false;
    while (std::getline(lines, line)) {
        const std::vector<std::string> tokens = Tokens(line);
        if (line.rfind("PATHNAMES", 0) == 0) {
            inPathnames = true;
            continue;
        }
        if (inPathnames) {
            if (line.empty()) {
                inPathnames = false;
            } else {
                listing.pathnames.push_back(line.substr(2));
            }
            continue;
        }
        if (line.rfind("RECORD ", 0) == 0) {
            listing.records.push_back({line.substr(7), {}, false, {}});
            continue;
        }
        if (listing.records.empty() || tokens.empty()) {
            continue;
        }
        ListedRecord& record = listing.records.back();
        if (tokens[0] == "ALL") {
            record.allMissing = true;
        } else if (tokens.size() == 6 && tokens[1] == "pos") {
            record.valueLines.push_back(tokens[2] + "  " + tokens[3] + " " + tokens[4] + "  " +
                                        tokens[5]);
        } else {
            for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
                record.fields.emplace(tokens[i], tokens[i + 1]);
            }
        }
    }
    return listing;
}

std::string ListingValue(float value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return IsMissing(value) ? "M(" + std::string(buffer) + ")" : std::string(buffer);
}

} // namespace hecdss::test
