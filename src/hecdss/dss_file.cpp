#include "hecdss/dss_file.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <unistd.h>

#include "hecdss/dss_error.hpp"
#include "hecdss/dss_pathname.hpp"
#include "hecdss/dss_values.hpp"
#include "hecdss/file_descriptor.hpp"

namespace hecdss {
namespace {

static_assert(std::endian::native == std::endian::little,
              "DSS files are little-endian and are read with plain copies");

// Word numbers of the file header.
enum HeaderWord : std::size_t {
    kIdentifier = 0,
    kHeaderSize = 1,
    kVersion = 2,
    kRecordCount = 3,
    kEofAddress = 5,
    kDeadSpace = 6,
    kMoveCount = 7,
    kCreationTime = 12,
    kLastWriteTime = 13,
    kLockAddress = 14,
    kMaxHash = 15,
    kHashesUsed = 16,
    kLongestChain = 17,
    kLongestChainHash = 18,
    kHashTableAddress = 19,
    kBinsPerBlock = 21,
    kBinsLeftInBlock = 22,
    kBinSize = 23,
    kFirstBinBlock = 24,
    kNextBin = 25,
    kBinsUsed = 26,
    kContinuationBins = 27,
    kCatalogSequence = 32,
    kCatalogSortStatus = 33,
    kAddedSinceSort = 34,
    kReclaimMinimum = 39,
    kReclaimTable = 42,
    kReclaimSegmentInUse = 43,
    kReclaimMaxSegments = 45,
    kReclaimEntriesPerSegment = 47,
    kReclaimSegmentSize = 48,
    kLongestPathname = 51,
    kLongestPartA = 52,
    kLargestInternalHeader = 58,
    kLargestCompressionHeader = 59,
    kLargestValues = 61,
    kWithInternalHeader = 64,
    kWithCompressionHeader = 65,
    kWithValues = 68,
    kLargestRecordData = 70,
    kLargestFloatRegularData = 71,
    kLockArraySize = 90,
    kWriteLockArray = 91,
    kReadLockArray = 92,
    kProcessIdArray = 93,
    kEndOfHeader = 99,
};

// Word numbers of a record's info block.
enum InfoWord : std::size_t {
    kInfoFlagWord = 0,
    kStatus = 1,
    kPathLength = 2,
    kPathHash = 3,
    kTypeAndVersion = 4,
    kMovesAndFlag = 5,
    kInfoLastWrite = 6,
    kProgramName = 7,
    kFirstDate = 9,
    kLastDate = 10,
    kInfoCreation = 11,
    kInternalHeaderAddress = 13,
    kInternalHeaderLength = 14,
    kCompressionHeaderAddress = 15,
    kCompressionHeaderLength = 16,
    kUserHeaderAddress = 17,
    kUserHeaderLength = 18,
    kValuesAddress = 19,
    kValuesLength = 20,
    kSecondArrayAddress = 21,
    kThirdArrayAddress = 23,
    kAllocated = 25,
    kRepresented = 26,
    kLogical = 27,
};

// Word numbers of a bin entry.
enum EntryWord : std::size_t {
    kEntryHash = 0,
    kEntryStatus = 1,
    kEntryLength = 2,
    kEntryInfoAddress = 3,
    kEntryTypeAndCatalog = 4,
    kEntryLastWrite = 5,
    kEntryDays = 6,
    kEntryPathname = 7,
};

using Header = std::array<std::int64_t, 100>;
using Bytes = std::vector<std::byte>;

constexpr std::int64_t kHeaderWords = 100;
constexpr std::int64_t kEofFlag = -97532;
constexpr std::int64_t kEndOfHeaderFlag = -97531;
constexpr std::int64_t kInfoFlag = -97534;
constexpr std::int64_t kInfoWords = 30;
constexpr std::int64_t kEntryFixedWords = 7;
constexpr std::int32_t kRegularFloatType = 100;
constexpr std::int64_t kLiveStatus = 1;
constexpr std::int64_t kMovedStatus = 10;
constexpr std::int32_t kGranularitySeconds = 60;
constexpr std::int64_t kMinInternalHeaderInts = 18;
constexpr std::string_view kProgramNameText = "not specified";

// Layout of a new file: header, lock words and arrays, hash table, reclaim table, bin block.
constexpr std::int64_t kNewLockAddress = 100;
constexpr std::int64_t kNewLockArraySize = 25;
constexpr std::int64_t kNewHashTable = 178;
constexpr std::int64_t kNewMaxHash = 8192;
constexpr std::int64_t kNewReclaimTable = 8370;
constexpr std::int64_t kNewReclaimSegmentSize = 1002;
constexpr std::int64_t kNewFirstBinBlock = 9372;
constexpr std::int64_t kNewBinsPerBlock = 32;
constexpr std::int64_t kNewBinSize = 200;
constexpr std::int64_t kNewEofAddress =
    kNewFirstBinBlock + kNewBinsPerBlock * kNewBinSize + 1; // 15773

std::int64_t Pair(std::int32_t low, std::int32_t high) {
    return static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
        static_cast<std::uint32_t>(low));
}

std::int32_t Low(std::int64_t word) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(word)));
}

std::int32_t High(std::int64_t word) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(word) >> 32));
}

std::int64_t CeilHalf(std::int64_t ints) {
    return (ints + 1) / 2;
}

std::int64_t TextWord(std::string_view text) {
    std::int64_t word = 0;
    std::memcpy(&word, text.data(), std::min<std::size_t>(text.size(), sizeof word));
    return word;
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void Raise(std::int64_t& word, std::int64_t value) {
    word = std::max(word, value);
}

void PutWord(Bytes& bytes, std::int64_t byteOffset, std::int64_t word) {
    std::memcpy(bytes.data() + byteOffset, &word, sizeof word);
}

void PutWords(Bytes& bytes, std::int64_t byteOffset, std::span<const std::int64_t> words) {
    if (words.empty()) {
        return;
    }
    std::memcpy(bytes.data() + byteOffset, words.data(), words.size_bytes());
}

void PutInts(Bytes& bytes, std::int64_t byteOffset, std::span<const std::int32_t> ints) {
    if (ints.empty()) {
        return;
    }
    std::memcpy(bytes.data() + byteOffset, ints.data(), ints.size_bytes());
}

// Appends a text string to an internal header as blanks-then-zero padded whole words.
void AppendHeaderString(std::vector<std::int32_t>& ints, std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    const std::size_t total = 8 * ((text.size() + 1 + 7) / 8);
    std::string bytes(text);
    bytes.resize(total - 1, ' ');
    bytes.push_back('\0');
    for (std::size_t i = 0; i < total; i += 4) {
        std::int32_t value = 0;
        std::memcpy(&value, bytes.data() + i, 4);
        ints.push_back(value);
    }
}

// Reads the three strings after int 17 of an internal header; missing strings are empty.
std::array<std::string, 3> HeaderStrings(std::span<const std::int32_t> ints) {
    std::array<std::string, 3> strings;
    std::string bytes;
    if (ints.size() > kMinInternalHeaderInts) {
        bytes.resize((ints.size() - kMinInternalHeaderInts) * 4);
        std::memcpy(bytes.data(), ints.data() + kMinInternalHeaderInts, bytes.size());
    }
    std::size_t position = 0;
    for (std::string& text : strings) {
        if (position >= bytes.size()) {
            break;
        }
        std::size_t end = bytes.find('\0', position);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        text = bytes.substr(position, end - position);
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        position = (end / 8 + 1) * 8;
    }
    return strings;
}

// A pathname's entry in its bin.
struct EntryRef {
    std::int64_t binAddress = 0;
    std::int64_t position = 0;
    std::int64_t infoAddress = 0;
    std::int64_t typeAndCatalog = 0;
};

// The state of a table hash's chain of bins, for adding an entry.
struct Chain {
    std::int64_t firstBin = 0;
    std::int64_t lastBin = 0;
    std::int64_t freePosition = 0;
    std::int64_t entryCount = 0;
};

// An existing record of the float regular-interval kind.
struct ExistingRecord {
    EntryRef entry;
    std::vector<std::int64_t> info;
    std::vector<std::int32_t> internalHeader;
    std::int32_t firstSlot = 0;
    std::int32_t lastSlot = 0;
    std::int64_t sizeInts = 0; // internal, compression and user header plus allocated values
};

// What one block's record will hold after a store.
struct BlockPlan {
    std::string pathname;
    std::int32_t blockStart = 0;
    std::int32_t slotCount = 0;
    std::optional<ExistingRecord> existing;
    std::int32_t firstSlot = 0;
    std::vector<float> values;
    bool yearDatesQuirk = false; // leap-year century blocks date their slots on 30 December
};

// The areas of a record as they will be written.
struct RecordContent {
    std::vector<std::int32_t> internalHeader;
    PackedValues packed;
    std::int64_t valuesInts = 0; // kept values padded to an even count
    DssTime firstDate;
    DssTime lastDate;
    std::int32_t represented = 0;
};

} // namespace

struct DssFile::Impl {
    std::string name;
    FileDescriptor fd;
    OpenMode mode = OpenMode::ReadWrite;
    Header header{};
    std::int64_t physicalSize = 0;

    std::int64_t BinSize() const { return header[kBinSize]; }
    std::int64_t EofAddress() const { return header[kEofAddress]; }

    std::vector<std::int64_t> ReadWords(std::int64_t address, std::int64_t count) const {
        if (address < 0 || count < 0 || address + count > EofAddress() + 1) {
            throw DssError(DssErrorKind::Corrupt,
                           name + ": address " + std::to_string(address) + " is outside the file");
        }
        std::vector<std::int64_t> words(static_cast<std::size_t>(count));
        ReadAt(fd, std::as_writable_bytes(std::span(words)), address * 8, name);
        return words;
    }

    std::int64_t ReadWord(std::int64_t address) const { return ReadWords(address, 1).front(); }

    std::vector<std::int32_t> ReadInts(std::int64_t address, std::int64_t count) const {
        if (count == 0) {
            return {};
        }
        const std::vector<std::int64_t> words = ReadWords(address, CeilHalf(count));
        std::vector<std::int32_t> ints(static_cast<std::size_t>(count));
        std::memcpy(ints.data(), words.data(), ints.size() * 4);
        return ints;
    }

    void WriteBytes(std::int64_t byteOffset, std::span<const std::byte> bytes) {
        WriteAt(fd, bytes, byteOffset, name);
    }

    void WriteWords(std::int64_t address, std::span<const std::int64_t> words) {
        WriteAt(fd, std::as_bytes(words), address * 8, name);
    }

    void WriteHeader(const Header& newHeader) {
        WriteWords(0, newHeader);
        header = newHeader;
    }

    void RequireWritable() const {
        if (mode != OpenMode::ReadWrite) {
            throw DssError(DssErrorKind::Io, name + " is open for reading only");
        }
    }

    // Calls visit(position) for each entry of a bin; returns the first free position.
    template <class Visit>
    std::int64_t WalkBin(const std::vector<std::int64_t>& bin, Visit visit) const {
        const std::int64_t binSize = BinSize();
        std::int64_t position = 0;
        while (position < binSize - 2 && bin[static_cast<std::size_t>(position)] != 0) {
            const std::int64_t entryWords =
                kEntryFixedWords + High(bin[static_cast<std::size_t>(position + kEntryLength)]);
            if (entryWords <= kEntryFixedWords || position + entryWords > binSize - 1) {
                throw DssError(DssErrorKind::Corrupt,
                               name + ": damaged pathname bin at " + std::to_string(position));
            }
            visit(position);
            position += entryWords;
        }
        return position;
    }

    static std::string EntryPathname(const std::vector<std::int64_t>& bin, std::int64_t position) {
        const auto length =
            static_cast<std::size_t>(Low(bin[static_cast<std::size_t>(position + kEntryLength)]));
        std::string pathname(length, '\0');
        std::memcpy(pathname.data(), bin.data() + position + kEntryPathname, length);
        return pathname;
    }

    // Follows bin links, refusing a chain longer than the file could hold.
    std::int64_t NextBin(const std::vector<std::int64_t>& bin, std::int64_t& steps) const {
        if (++steps > EofAddress() / BinSize() + 1) {
            throw DssError(DssErrorKind::Corrupt, name + ": pathname bins link in a circle");
        }
        return bin.back();
    }

    std::optional<EntryRef> FindEntry(std::string_view pathname) const {
        const std::int64_t hash = PathnameHash(pathname);
        const std::int64_t tableHash = TableHash(pathname, header[kMaxHash]);
        std::int64_t bin = ReadWord(header[kHashTableAddress] + tableHash);
        std::int64_t steps = 0;
        while (bin != 0) {
            const std::vector<std::int64_t> words = ReadWords(bin, BinSize());
            std::optional<EntryRef> found;
            WalkBin(words, [&](std::int64_t position) {
                const auto at = [&](std::size_t word) {
                    return words[static_cast<std::size_t>(position) + word];
                };
                const std::int64_t status = at(kEntryStatus);
                if (!found && at(kEntryHash) == hash && (status == 1 || status == 0) &&
                    Low(at(kEntryLength)) == static_cast<std::int32_t>(pathname.size()) &&
                    SamePathname(EntryPathname(words, position), pathname)) {
                    found =
                        EntryRef{bin, position, at(kEntryInfoAddress), at(kEntryTypeAndCatalog)};
                }
            });
            if (found) {
                return found;
            }
            bin = NextBin(words, steps);
        }
        return std::nullopt;
    }

    Chain ChainFor(std::int64_t tableHash) const {
        Chain chain;
        chain.firstBin = ReadWord(header[kHashTableAddress] + tableHash);
        std::int64_t bin = chain.firstBin;
        std::int64_t steps = 0;
        while (bin != 0) {
            const std::vector<std::int64_t> words = ReadWords(bin, BinSize());
            const std::int64_t free =
                WalkBin(words, [&](std::int64_t /*position*/) { ++chain.entryCount; });
            const std::int64_t next = NextBin(words, steps);
            if (next == 0) {
                chain.lastBin = bin;
                chain.freePosition = free;
            }
            bin = next;
        }
        return chain;
    }

    std::vector<std::string> AllPathnames() const {
        std::vector<std::string> pathnames;
        const std::int64_t binsPerBlock = header[kBinsPerBlock];
        std::int64_t block = header[kFirstBinBlock];
        std::int64_t steps = 0;
        while (block != 0) {
            const std::vector<std::int64_t> words = ReadWords(block, binsPerBlock * BinSize() + 1);
            for (std::int64_t b = 0; b < binsPerBlock; ++b) {
                const auto first = words.begin() + b * BinSize();
                const std::vector<std::int64_t> bin(first, first + BinSize());
                WalkBin(bin, [&](std::int64_t position) {
                    if (bin[static_cast<std::size_t>(position + kEntryStatus)] == kLiveStatus) {
                        pathnames.push_back(EntryPathname(bin, position));
                    }
                });
            }
            if (++steps > EofAddress() / BinSize() + 1) {
                throw DssError(DssErrorKind::Corrupt, name + ": bin blocks link in a circle");
            }
            block = words.back();
        }
        return pathnames;
    }

    // Reads and checks a record; throws Unsupported for records of other kinds.
    ExistingRecord ReadExisting(const EntryRef& entry, std::string_view pathname) const {
        const auto refuse = [&](const std::string& why) {
            return DssError(DssErrorKind::Unsupported,
                            name + ": record " + std::string(pathname) + " " + why);
        };
        ExistingRecord record;
        record.entry = entry;
        const std::vector<std::int64_t> fixed = ReadWords(entry.infoAddress, kInfoWords);
        const std::int64_t length = fixed[kPathLength];
        if (fixed[kInfoFlagWord] != kInfoFlag || fixed[kPathHash] != PathnameHash(pathname) ||
            length < 1 || length > 392) {
            throw refuse("has a damaged info block");
        }
        record.info = ReadWords(entry.infoAddress, kInfoWords + (length + 7) / 8);
        const auto& info = record.info;
        if (Low(info[kTypeAndVersion]) != kRegularFloatType) {
            throw refuse("is not a regular-interval series of single-precision values");
        }
        const std::int64_t headerInts = info[kInternalHeaderLength];
        if (headerInts < kMinInternalHeaderInts || headerInts > 10000 ||
            info[kUserHeaderLength] != 0) {
            throw refuse("has headers this library does not handle");
        }
        record.internalHeader = ReadInts(info[kInternalHeaderAddress], headerInts);
        const auto& ih = record.internalHeader;
        const bool plain =
            ih[3] == 0 && ih[7] == 1 && ih[8] == 1 &&
            std::all_of(ih.begin() + 10, ih.begin() + 17, [](std::int32_t v) { return v == 0; });
        if (!plain || ih[9] < 0 || ih[9] > 2) {
            throw refuse("holds profiles, quality flags, notes or an unknown compression");
        }
        record.firstSlot = ih[4];
        record.lastSlot = ih[5];
        if (record.firstSlot < 0 || record.lastSlot < record.firstSlot) {
            throw refuse("has an invalid stored range");
        }
        record.sizeInts = headerInts + info[kCompressionHeaderLength] + info[kUserHeaderLength] +
                          info[kAllocated];
        if (info[kCompressionHeaderLength] < 0 || info[kValuesLength] < 0 ||
            info[kAllocated] < info[kValuesLength] ||
            info[kInternalHeaderAddress] <
                entry.infoAddress + static_cast<std::int64_t>(info.size()) ||
            info[kInternalHeaderAddress] + CeilHalf(record.sizeInts) > EofAddress()) {
            throw refuse("has inconsistent sizes");
        }
        return record;
    }

    std::vector<float> ExpandValues(const ExistingRecord& record, std::string_view pathname) const {
        const auto& info = record.info;
        const std::vector<std::int32_t> bitmap =
            ReadInts(info[kCompressionHeaderAddress], info[kCompressionHeaderLength]);
        const std::vector<std::int32_t> area = ReadInts(info[kValuesAddress], info[kValuesLength]);
        const auto count = static_cast<std::size_t>(record.lastSlot - record.firstSlot + 1);
        auto values =
            UnpackValues(static_cast<Compression>(record.internalHeader[9]), count, bitmap, area);
        if (!values) {
            throw DssError(DssErrorKind::Corrupt,
                           name + ": record " + std::string(pathname) +
                               " holds fewer values than its header says");
        }
        return std::move(*values);
    }

    RecordSeries ReadSeriesRecord(const EntryRef& entry, std::string_view pathname) const {
        const ExistingRecord record = ReadExisting(entry, pathname);
        RecordSeries series;
        series.pathname.assign(reinterpret_cast<const char*>(record.info.data() + kInfoWords),
                               static_cast<std::size_t>(record.info[kPathLength]));
        const auto parts = SplitPathname(series.pathname);
        const Interval* interval = parts ? FindInterval((*parts)[4]) : nullptr;
        const auto blockStart = parts ? ParseDate((*parts)[3]) : std::nullopt;
        if (interval == nullptr || !blockStart) {
            throw DssError(DssErrorKind::Unsupported,
                           name + ": record " + series.pathname +
                               " has no regular interval or block date in its pathname");
        }
        const auto& ih = record.internalHeader;
        series.version = High(record.info[kTypeAndVersion]);
        series.firstSlot = record.firstSlot;
        series.lastSlot = record.lastSlot;
        series.slotsInBlock = SlotsInBlock(*interval, *blockStart);
        series.offsetSeconds = ih[2];
        series.compression = ih[9];
        const auto strings = HeaderStrings(ih);
        series.units = strings[0];
        series.type = strings[1];
        series.timeZone = strings[2];
        series.values = ExpandValues(record, pathname);
        for (std::int32_t slot = record.firstSlot; slot <= record.lastSlot; ++slot) {
            series.times.push_back(ValueTime(
                *interval, StandardTimeOfSlot(*interval, *blockStart, slot), series.offsetSeconds));
        }
        return series;
    }

    // Decides what a block's record holds after the store; see StoreRegularSeries.
    void PlanContent(BlockPlan& plan,
                     const Interval& interval,
                     std::span<const float> given,
                     std::int32_t startSlot,
                     bool covered) const {
        const auto firstValid =
            std::find_if(given.begin(), given.end(), [](float v) { return !IsMissing(v); });
        std::size_t first = 0;
        std::size_t last = 0;
        if (firstValid != given.end()) {
            first = static_cast<std::size_t>(firstValid - given.begin());
            last = given.size() - 1;
            while (IsMissing(given[last])) {
                --last;
            }
        }
        const auto trimmedFirst = static_cast<std::int32_t>(startSlot + static_cast<int>(first));
        const auto trimmedLast = static_cast<std::int32_t>(startSlot + static_cast<int>(last));
        const bool sameRange = plan.existing && plan.existing->firstSlot == trimmedFirst &&
                               plan.existing->lastSlot == trimmedLast;
        if (covered || sameRange) {
            // The new values replace the whole stored range; the old ones need not be read.
            plan.firstSlot = trimmedFirst;
            plan.values.assign(given.begin() + static_cast<std::ptrdiff_t>(first),
                               given.begin() + static_cast<std::ptrdiff_t>(last) + 1);
            return;
        }
        std::vector<float> block(static_cast<std::size_t>(plan.slotCount), kMissingValue);
        if (plan.existing) {
            if (plan.existing->lastSlot >= plan.slotCount) {
                throw DssError(DssErrorKind::Unsupported,
                               name + ": record " + plan.pathname +
                                   " holds more values than its block has slots");
            }
            const std::vector<float> old = ExpandValues(*plan.existing, plan.pathname);
            std::copy(old.begin(), old.end(), block.begin() + plan.existing->firstSlot);
        }
        std::copy(given.begin(), given.end(), block.begin() + startSlot);
        const auto valid = [](float v) { return !IsMissing(v); };
        const auto begin = std::find_if(block.begin(), block.end(), valid);
        std::size_t firstSlot = 0;
        std::size_t lastSlot = 0;
        if (begin != block.end()) {
            firstSlot = static_cast<std::size_t>(begin - block.begin());
            lastSlot = static_cast<std::size_t>(
                std::find_if(block.rbegin(), block.rend(), valid).base() - block.begin() - 1);
        }
        plan.firstSlot = static_cast<std::int32_t>(firstSlot);
        plan.values.assign(block.begin() + static_cast<std::ptrdiff_t>(firstSlot),
                           block.begin() + static_cast<std::ptrdiff_t>(lastSlot) + 1);
        plan.yearDatesQuirk =
            IsYearly(interval) && IsLeapYear(DateFromJulian(plan.blockStart).year);
    }

    RecordContent BuildContent(const BlockPlan& plan,
                               const Interval& interval,
                               std::int32_t offsetSeconds,
                               std::string_view units,
                               std::string_view type) const {
        RecordContent content;
        const Compression compression = ChooseCompression(plan.values);
        content.packed = PackValues(plan.values, compression);
        const auto lastSlot =
            static_cast<std::int32_t>(plan.firstSlot + static_cast<int>(plan.values.size()) - 1);
        content.represented = static_cast<std::int32_t>(plan.values.size());
        content.internalHeader = {kGranularitySeconds,
                                  -1,
                                  offsetSeconds,
                                  0,
                                  plan.firstSlot,
                                  lastSlot,
                                  static_cast<std::int32_t>(content.packed.kept.size()),
                                  1,
                                  1,
                                  static_cast<std::int32_t>(compression),
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  0,
                                  TextWordInt("    ")};
        AppendHeaderString(content.internalHeader, units);
        AppendHeaderString(content.internalHeader, type);
        AppendHeaderString(content.internalHeader, "");
        content.valuesInts = static_cast<std::int64_t>(content.packed.kept.size() + 1) / 2 * 2;
        content.firstDate = StandardTimeOfSlot(interval, plan.blockStart, plan.firstSlot);
        content.lastDate = StandardTimeOfSlot(interval, plan.blockStart, lastSlot);
        if (plan.yearDatesQuirk) {
            --content.firstDate.julian;
            --content.lastDate.julian;
        }
        return content;
    }

    static std::int32_t TextWordInt(std::string_view text) {
        std::int32_t value = 0;
        std::memcpy(&value, text.data(), std::min<std::size_t>(text.size(), sizeof value));
        return value;
    }

    static std::int64_t HeaderInts(const RecordContent& content) {
        return static_cast<std::int64_t>(content.internalHeader.size());
    }

    static std::int64_t BitmapInts(const RecordContent& content) {
        return static_cast<std::int64_t>(content.packed.bitmap.size());
    }

    // The info block of a record whose internal header starts at headerAddress.
    static std::vector<std::int64_t> MakeInfo(const std::string& pathname,
                                              const RecordContent& content,
                                              const BlockPlan& plan,
                                              std::int64_t headerAddress,
                                              std::int64_t allocated,
                                              std::int32_t version,
                                              std::int64_t movesAndFlag,
                                              std::int64_t lastWrite,
                                              std::int64_t created) {
        const auto length = static_cast<std::int64_t>(pathname.size());
        std::vector<std::int64_t> info(static_cast<std::size_t>(kInfoWords + (length + 7) / 8));
        info[kInfoFlagWord] = kInfoFlag;
        info[kStatus] = kLiveStatus;
        info[kPathLength] = length;
        info[kPathHash] = PathnameHash(pathname);
        info[kTypeAndVersion] = Pair(kRegularFloatType, version);
        info[kMovesAndFlag] = movesAndFlag;
        info[kInfoLastWrite] = lastWrite;
        std::memcpy(&info[kProgramName], kProgramNameText.data(), kProgramNameText.size());
        info[kFirstDate] = Pair(content.firstDate.julian, content.firstDate.seconds);
        info[kLastDate] = Pair(content.lastDate.julian, content.lastDate.seconds);
        info[kInfoCreation] = created;
        info[kInternalHeaderAddress] = headerAddress;
        info[kInternalHeaderLength] = HeaderInts(content);
        info[kCompressionHeaderAddress] = headerAddress + HeaderInts(content) / 2;
        info[kCompressionHeaderLength] = BitmapInts(content);
        info[kUserHeaderAddress] = info[kCompressionHeaderAddress] + CeilHalf(BitmapInts(content));
        info[kUserHeaderLength] = 0;
        info[kValuesAddress] = info[kUserHeaderAddress];
        info[kValuesLength] = content.valuesInts;
        info[kSecondArrayAddress] = info[kValuesAddress] + content.valuesInts / 2;
        info[kThirdArrayAddress] = info[kSecondArrayAddress];
        info[kAllocated] = allocated;
        info[kRepresented] = content.represented;
        info[kLogical] = plan.slotCount;
        std::memcpy(&info[kInfoWords], pathname.data(), pathname.size());
        return info;
    }

    // Places the info block and the areas of a record into bytes that start at `base` words.
    static void PutRecord(Bytes& bytes,
                          std::int64_t base,
                          const std::vector<std::int64_t>& info,
                          std::int64_t infoAddress,
                          const RecordContent& content) {
        PutWords(bytes, (infoAddress - base) * 8, info);
        PutInts(bytes, (info[kInternalHeaderAddress] - base) * 8, content.internalHeader);
        PutInts(bytes, (info[kCompressionHeaderAddress] - base) * 8, content.packed.bitmap);
        std::vector<std::int32_t> values = content.packed.kept;
        values.resize(static_cast<std::size_t>(content.valuesInts), 0);
        PutInts(bytes, (info[kValuesAddress] - base) * 8, values);
    }

    static void RaiseSizes(Header& h, const RecordContent& content) {
        Raise(h[kLargestInternalHeader], HeaderInts(content));
        Raise(h[kLargestCompressionHeader], BitmapInts(content));
        Raise(h[kLargestValues], content.valuesInts);
        const std::int64_t dataWords =
            HeaderInts(content) / 2 + CeilHalf(BitmapInts(content)) + content.valuesInts / 2;
        Raise(h[kLargestRecordData], dataWords);
        Raise(h[kLargestFloatRegularData], dataWords);
    }

    // Drops bytes after the end-of-file word, left by a store that was killed part way.
    void DropStaleTail() {
        const std::int64_t expected = (EofAddress() + 1) * 8;
        if (physicalSize > expected) {
            Truncate(fd, expected, name);
            physicalSize = expected;
        }
    }

    // Writes a new area at the end of the file so that the file stays valid at every step:
    // everything but the area's first word (which still holds the old end-of-file flag), then
    // header word 5, then the first word. The new end-of-file flag is the area's last word.
    void AppendArea(const Bytes& area, std::int64_t newEofAddress) {
        DropStaleTail();
        const std::int64_t start = EofAddress();
        WriteBytes(start * 8 + 8, std::span(area).subspan(8));
        WriteWords(kEofAddress, std::array{newEofAddress});
        header[kEofAddress] = newEofAddress;
        WriteBytes(start * 8, std::span(area).first(8));
        physicalSize = (newEofAddress + 1) * 8;
    }

    void WriteNewRecord(const BlockPlan& plan, const RecordContent& content, std::int64_t now) {
        const std::string& pathname = plan.pathname;
        const auto length = static_cast<std::int64_t>(pathname.size());
        const std::int64_t pathWords = (length + 7) / 8;
        const std::int64_t entryWords = kEntryFixedWords + pathWords;
        const std::int64_t binSize = BinSize();
        const std::int64_t tableHash = TableHash(pathname, header[kMaxHash]);
        Header h = header;
        h[kLastWriteTime] = now;

        const Chain chain = ChainFor(tableHash);
        const std::int64_t areaStart = h[kEofAddress];
        std::int64_t next = areaStart;
        std::int64_t entryBin = chain.lastBin;
        std::int64_t entryPosition = chain.freePosition;
        std::int64_t newBlock = 0;
        std::int64_t blockLinkAddress = 0;
        std::int64_t binLinkAddress = 0;
        if (chain.firstBin == 0 || chain.freePosition + entryWords + 1 >= binSize) {
            ++h[kBinsUsed];
            if (h[kBinsLeftInBlock] > 0) {
                entryBin = h[kNextBin];
                h[kNextBin] += binSize;
                --h[kBinsLeftInBlock];
            } else {
                newBlock = next;
                blockLinkAddress = h[kNextBin];
                next += h[kBinsPerBlock] * binSize + 1;
                entryBin = newBlock;
                h[kBinsLeftInBlock] = h[kBinsPerBlock] - 1;
                h[kNextBin] = newBlock + binSize;
            }
            entryPosition = 0;
            if (chain.firstBin == 0) {
                binLinkAddress = h[kHashTableAddress] + tableHash;
                ++h[kHashesUsed];
            } else {
                binLinkAddress = chain.lastBin + binSize - 1;
                ++h[kContinuationBins];
            }
        }
        if (chain.entryCount + 1 > h[kLongestChain]) {
            h[kLongestChain] = chain.entryCount + 1;
            h[kLongestChainHash] = tableHash;
        }

        const std::int64_t recordAddress = next;
        const std::int64_t headerAddress = recordAddress + kInfoWords + pathWords;
        const std::vector<std::int64_t> info = MakeInfo(
            pathname, content, plan, headerAddress, content.valuesInts, 1, Pair(0, 0), now, now);
        const std::int64_t recordWords = kInfoWords + pathWords + HeaderInts(content) / 2 +
                                         CeilHalf(BitmapInts(content)) + content.valuesInts / 2;
        const std::int64_t eofAddress = recordAddress + recordWords;

        std::vector<std::int64_t> entry(static_cast<std::size_t>(entryWords));
        entry[kEntryHash] = PathnameHash(pathname);
        entry[kEntryStatus] = kLiveStatus;
        entry[kEntryLength] =
            Pair(static_cast<std::int32_t>(length), static_cast<std::int32_t>(pathWords));
        entry[kEntryInfoAddress] = recordAddress;
        entry[kEntryTypeAndCatalog] =
            Pair(kRegularFloatType, static_cast<std::int32_t>(h[kCatalogSequence]));
        entry[kEntryLastWrite] = now;
        entry[kEntryDays] = Pair(content.firstDate.julian, content.lastDate.julian);
        std::memcpy(&entry[kEntryPathname], pathname.data(), pathname.size());

        Bytes area(static_cast<std::size_t>((eofAddress - areaStart + 1) * 8));
        if (newBlock != 0) {
            PutWords(area, (newBlock - areaStart) * 8, entry);
        }
        PutRecord(area, areaStart, info, recordAddress, content);
        PutWord(area, (eofAddress - areaStart) * 8, kEofFlag);

        ++h[kRecordCount];
        ++h[kAddedSinceSort];
        if (h[kCatalogSortStatus] == 1) {
            h[kCatalogSortStatus] = 2;
        }
        ++h[kWithInternalHeader];
        if (content.packed.compression == Compression::Repeats) {
            ++h[kWithCompressionHeader];
        }
        ++h[kWithValues];
        Raise(h[kLongestPathname], length);
        const auto parts = SplitPathname(pathname);
        for (std::size_t p = 0; p < 6; ++p) {
            Raise(h[kLongestPartA + p], static_cast<std::int64_t>((*parts)[p].size()));
        }
        RaiseSizes(h, content);
        h[kEofAddress] = eofAddress;

        // The record becomes reachable only through the entry and link written after it.
        AppendArea(area, eofAddress);
        if (newBlock != 0) {
            WriteWords(blockLinkAddress, std::array{newBlock});
        } else {
            WriteWords(entryBin + entryPosition, entry);
        }
        if (binLinkAddress != 0) {
            WriteWords(binLinkAddress, std::array{entryBin});
        }
        WriteHeader(h);
    }

    void RewriteInPlace(const BlockPlan& plan,
                        const RecordContent& content,
                        std::int64_t newSizeInts,
                        std::int64_t now) {
        const ExistingRecord& old = *plan.existing;
        const std::int64_t infoAddress = old.entry.infoAddress;
        const std::int64_t headerAddress = old.info[kInternalHeaderAddress];
        const std::vector<std::int64_t> info =
            MakeInfo(plan.pathname,
                     content,
                     plan,
                     headerAddress,
                     content.valuesInts + (old.sizeInts - newSizeInts),
                     High(old.info[kTypeAndVersion]) + 1,
                     old.info[kMovesAndFlag],
                     now,
                     old.info[kInfoCreation]);
        // Only the new areas' ints change; whatever follows them in the old footprint stays.
        // The footprint goes out in one write, so a killed run leaves the old or the new record.
        const std::int64_t endAddress = headerAddress + CeilHalf(old.sizeInts);
        Bytes footprint(static_cast<std::size_t>((endAddress - infoAddress) * 8));
        ReadAt(fd, footprint, infoAddress * 8, name);
        PutRecord(footprint, infoAddress, info, infoAddress, content);
        WriteBytes(infoAddress * 8, footprint);

        WriteWords(old.entry.binAddress + old.entry.position + kEntryLastWrite,
                   std::array{now, Pair(content.firstDate.julian, content.lastDate.julian)});
        Header h = header;
        h[kLastWriteTime] = now;
        RaiseSizes(h, content);
        if (old.info[kCompressionHeaderLength] == 0 && BitmapInts(content) > 0) {
            ++h[kWithCompressionHeader];
        }
        WriteHeader(h);
    }

    // Allocated values length of a moved record: a quarter, half, the whole block, then 10 %
    // more, depending on how often it has moved, so a growing record moves rarely.
    static std::int64_t
    GrownAllocation(std::int64_t valuesInts, std::int64_t slots, std::int64_t moves) {
        std::int64_t allocated = valuesInts;
        if (moves <= 1 && slots / 4 > allocated) {
            return slots / 4;
        }
        if (moves <= 2 && slots / 2 > allocated) {
            return slots / 2;
        }
        if (moves <= 3 && slots > allocated) {
            return slots;
        }
        const auto grown = static_cast<std::int64_t>(static_cast<double>(slots) * 1.10);
        if (grown > allocated) {
            allocated = grown;
        } else {
            allocated = static_cast<std::int64_t>(static_cast<double>(valuesInts) * 1.10);
        }
        return std::max(allocated, valuesInts);
    }

    void MoveRecord(const BlockPlan& plan, const RecordContent& content, std::int64_t now) {
        const ExistingRecord& old = *plan.existing;
        const std::string& pathname = plan.pathname;
        const std::int64_t pathWords = (static_cast<std::int64_t>(pathname.size()) + 7) / 8;
        const std::int32_t moves = Low(old.info[kMovesAndFlag]) + 1;
        const std::int64_t allocated = GrownAllocation(content.valuesInts, plan.slotCount, moves);

        const std::int64_t recordAddress = EofAddress();
        const std::int64_t headerAddress = recordAddress + kInfoWords + pathWords;
        const std::vector<std::int64_t> info = MakeInfo(pathname,
                                                        content,
                                                        plan,
                                                        headerAddress,
                                                        allocated,
                                                        High(old.info[kTypeAndVersion]) + 1,
                                                        Pair(moves, High(old.info[kMovesAndFlag])),
                                                        now,
                                                        old.info[kInfoCreation]);
        const std::int64_t recordWords = kInfoWords + pathWords + HeaderInts(content) / 2 +
                                         CeilHalf(BitmapInts(content)) + CeilHalf(allocated);
        const std::int64_t eofAddress = recordAddress + recordWords;
        Bytes area(static_cast<std::size_t>((recordWords + 1) * 8));
        PutRecord(area, recordAddress, info, recordAddress, content);
        PutWord(area, recordWords * 8, kEofFlag);

        Header h = header;
        h[kDeadSpace] += old.sizeInts + static_cast<std::int64_t>(old.info.size());
        ++h[kMoveCount];
        h[kLastWriteTime] = now;
        RaiseSizes(h, content);
        if (old.info[kCompressionHeaderLength] == 0 && BitmapInts(content) > 0) {
            ++h[kWithCompressionHeader];
        }
        h[kEofAddress] = eofAddress;

        AppendArea(area, eofAddress);
        // One write repoints the entry; the old record is marked moved only afterwards.
        WriteWords(old.entry.binAddress + old.entry.position + kEntryInfoAddress,
                   std::array{recordAddress,
                              old.entry.typeAndCatalog,
                              now,
                              Pair(content.firstDate.julian, content.lastDate.julian)});
        WriteWords(old.entry.infoAddress + kStatus, std::array{kMovedStatus});
        WriteHeader(h);
    }

    void WriteBlock(const BlockPlan& plan,
                    const Interval& interval,
                    std::int32_t offsetSeconds,
                    std::string_view units,
                    std::string_view type) {
        const RecordContent content = BuildContent(plan, interval, offsetSeconds, units, type);
        const std::int64_t now = NowMs();
        if (!plan.existing) {
            WriteNewRecord(plan, content, now);
            return;
        }
        const std::int64_t newSizeInts =
            HeaderInts(content) + BitmapInts(content) + content.valuesInts;
        if (newSizeInts <= plan.existing->sizeInts) {
            RewriteInPlace(plan, content, newSizeInts, now);
        } else {
            MoveRecord(plan, content, now);
        }
    }
};

namespace {

Header NewFileHeader(std::int64_t now) {
    Header h{};
    h[kIdentifier] = TextWord("ZDSS");
    h[kHeaderSize] = kHeaderWords;
    h[kVersion] = TextWord("7-JA");
    h[kEofAddress] = kNewEofAddress;
    h[kCreationTime] = now;
    h[kLastWriteTime] = now;
    h[kLockAddress] = kNewLockAddress;
    h[kMaxHash] = kNewMaxHash;
    h[kHashTableAddress] = kNewHashTable;
    h[kBinsPerBlock] = kNewBinsPerBlock;
    h[kBinsLeftInBlock] = kNewBinsPerBlock;
    h[kBinSize] = kNewBinSize;
    h[kFirstBinBlock] = kNewFirstBinBlock;
    h[kNextBin] = kNewFirstBinBlock;
    h[kReclaimMinimum] = 100;
    h[kReclaimTable] = kNewReclaimTable;
    h[kReclaimSegmentInUse] = kNewReclaimTable;
    h[kReclaimMaxSegments] = 20;
    h[kReclaimEntriesPerSegment] = 500;
    h[kReclaimSegmentSize] = kNewReclaimSegmentSize;
    h[kLockArraySize] = kNewLockArraySize;
    h[kWriteLockArray] = kNewLockAddress + 3;
    h[kReadLockArray] = kNewLockAddress + 3 + kNewLockArraySize;
    h[kProcessIdArray] = kNewLockAddress + 3 + 2 * kNewLockArraySize;
    h[kEndOfHeader] = kEndOfHeaderFlag;
    return h;
}

// Why a header is not one this library may write into; empty when it is.
std::string HeaderProblem(const Header& h, std::int64_t fileSize) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(h.data());
    if (std::memcmp(bytes, "ZDSS", 4) != 0) {
        return "it does not start with ZDSS";
    }
    const unsigned char* version = bytes + 8 * kVersion;
    if (version[0] != '7') {
        return "it is not a DSS version 7 file";
    }
    const auto letter = [](unsigned char c) { return c >= 'A' && c <= 'Z'; };
    if (version[1] != '-' || !letter(version[2]) || !letter(version[3])) {
        return "its version text is not of the form 7-XY";
    }
    const int age = 70000 + 100 * (version[2] - 'A' + 1) + (version[3] - 'A' + 1);
    if (age < 70801) {
        return "it was written by a DSS 7 release older than 7-HA";
    }
    if (h[kHeaderSize] != kHeaderWords || h[kEndOfHeader] != kEndOfHeaderFlag) {
        return "its header is damaged";
    }
    if (h[kBinSize] < 20 || h[kBinSize] > 1000 || h[kBinsPerBlock] <= 0 || h[kMaxHash] <= 0 ||
        h[kHashTableAddress] < kHeaderWords || h[kFirstBinBlock] < kHeaderWords) {
        return "its hash table or bin settings are invalid";
    }
    if (h[kEofAddress] < kHeaderWords || (h[kEofAddress] + 1) * 8 > fileSize ||
        h[kHashTableAddress] + h[kMaxHash] > h[kEofAddress]) {
        return "it is shorter than its header says";
    }
    return {};
}

std::atomic<unsigned> temporaryCounter{0};

// Creates a new, empty DSS file at `path` unless one appears there first. The file is built
// under a temporary name and linked into place, so no other run ever sees it half written.
void CreateNewFile(const std::filesystem::path& path) {
    const std::string name = path.string();
    const std::filesystem::path temporary =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) +
                              "." + std::to_string(temporaryCounter++) + ".tmp");
    FileDescriptor fd(::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.IsOpen()) {
        throw DssError(DssErrorKind::CannotOpen, "cannot create " + name + ": " + ErrorText(errno));
    }
    struct RemoveTemporary {
        const std::filesystem::path& file;
        ~RemoveTemporary() { ::unlink(file.c_str()); }
    } removeTemporary{temporary};

    std::vector<std::int64_t> words(static_cast<std::size_t>(kNewEofAddress + 1), 0);
    const Header header = NewFileHeader(NowMs());
    std::copy(header.begin(), header.end(), words.begin());
    words.back() = kEofFlag;
    WriteAt(fd, std::as_bytes(std::span(words)), 0, name);
    SyncData(fd, name);
    fd.Close(name);
    if (::link(temporary.c_str(), path.c_str()) != 0 && errno != EEXIST) {
        if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS) {
            throw DssError(DssErrorKind::CannotOpen,
                           "cannot create " + name + ": " + ErrorText(errno));
        }
        // File systems without hard links: create in place; another run could see it empty
        // for a moment, and would refuse it rather than change it.
        FileDescriptor direct(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!direct.IsOpen()) {
            if (errno == EEXIST) {
                return;
            }
            throw DssError(DssErrorKind::CannotOpen,
                           "cannot create " + name + ": " + ErrorText(errno));
        }
        WriteAt(direct, std::as_bytes(std::span(words)), 0, name);
        direct.Close(name);
    }
}

} // namespace

DssFile::DssFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DssFile::DssFile(DssFile&& other) noexcept = default;
DssFile& DssFile::operator=(DssFile&& other) noexcept = default;
DssFile::~DssFile() = default;

DssFile DssFile::Open(const std::filesystem::path& path, const OpenOptions& options) {
    auto impl = std::make_unique<Impl>();
    impl->name = path.string();
    impl->mode = options.mode;
    const int flags = (options.mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    impl->fd = FileDescriptor(::open(path.c_str(), flags));
    if (!impl->fd.IsOpen() && errno == ENOENT && options.mode == OpenMode::ReadWrite) {
        CreateNewFile(path);
        impl->fd = FileDescriptor(::open(path.c_str(), flags));
    }
    if (!impl->fd.IsOpen()) {
        throw DssError(DssErrorKind::CannotOpen,
                       "cannot open " + impl->name + ": " + ErrorText(errno));
    }
    const LockKind lock =
        options.mode == OpenMode::ReadWrite ? LockKind::Exclusive : LockKind::Shared;
    if (!LockFile(impl->fd, lock, options.lockTimeout)) {
        throw DssError(DssErrorKind::Locked,
                       "cannot open " + impl->name + ": another program holds it");
    }
    impl->physicalSize = FileSize(impl->fd, impl->name);
    if (impl->physicalSize < kHeaderWords * 8) {
        throw DssError(DssErrorKind::NotDssFile,
                       "cannot open " + impl->name + ": it is not a DSS file (too short)");
    }
    ReadAt(impl->fd, std::as_writable_bytes(std::span(impl->header)), 0, impl->name);
    std::string problem = HeaderProblem(impl->header, impl->physicalSize);
    if (problem.empty() && impl->ReadWord(impl->EofAddress()) != kEofFlag) {
        problem = "its end-of-file mark is missing";
    }
    if (!problem.empty()) {
        throw DssError(DssErrorKind::NotDssFile, "cannot use " + impl->name + ": " + problem);
    }
    return DssFile(std::move(impl));
}

void DssFile::Close() {
    if (!impl_ || !impl_->fd.IsOpen()) {
        return;
    }
    if (impl_->mode == OpenMode::ReadWrite) {
        SyncData(impl_->fd, impl_->name);
    }
    impl_->fd.Close(impl_->name);
}

bool DssFile::IsOpen() const noexcept {
    return impl_ && impl_->fd.IsOpen();
}

StoreStatus DssFile::StoreRegularSeries(const RegularSeriesInput& input) {
    impl_->RequireWritable();
    if (input.values.empty()) {
        return StoreStatus::NoValues;
    }
    const std::string pathname = NormalizePathname(input.pathname);
    auto parts = SplitPathname(pathname);
    if (!parts || pathname.size() < 10 || (*parts)[5].find_first_of(":|") != std::string::npos) {
        return StoreStatus::BadPathname;
    }
    const Interval* interval = FindInterval((*parts)[4]);
    if (interval == nullptr) {
        return StoreStatus::BadInterval;
    }
    if (input.start.seconds < 0 || input.start.seconds > kSecondsPerDay) {
        return StoreStatus::BadStartTime;
    }
    (*parts)[4] = std::string(interval->name);

    const StandardizedTime first = Standardize(*interval, input.start);
    const std::span<const float> values(input.values);
    const DssTime last =
        AddIntervals(*interval, first.standard, static_cast<std::int64_t>(values.size()) - 1);

    // Every block is planned (and every old record checked) before anything is written.
    std::vector<BlockPlan> plans;
    std::int32_t blockStart = BlockStart(*interval, first.standard.julian);
    std::int32_t slot = SlotOf(*interval, blockStart, first.standard);
    std::size_t consumed = 0;
    while (consumed < values.size()) {
        BlockPlan plan;
        plan.blockStart = blockStart;
        plan.slotCount = SlotsInBlock(*interval, blockStart);
        (*parts)[3] = FormatDPart(blockStart);
        plan.pathname = JoinPathname(*parts);
        if (plan.pathname.size() > kMaxStoredPathnameLength) {
            return StoreStatus::BadPathname;
        }
        const std::size_t count =
            std::min(static_cast<std::size_t>(plan.slotCount - slot), values.size() - consumed);
        const std::int32_t nextStart = NextBlockStart(*interval, blockStart);
        const bool covered = first.standard.julian < blockStart && last.julian > nextStart;
        try {
            if (const auto entry = impl_->FindEntry(plan.pathname)) {
                plan.existing = impl_->ReadExisting(*entry, plan.pathname);
            }
            impl_->PlanContent(plan, *interval, values.subspan(consumed, count), slot, covered);
        } catch (const DssError& error) {
            if (error.Kind() == DssErrorKind::Unsupported) {
                return StoreStatus::IncompatibleRecord;
            }
            throw;
        }
        plans.push_back(std::move(plan));
        consumed += count;
        slot = 0;
        blockStart = nextStart;
    }
    for (const BlockPlan& plan : plans) {
        impl_->WriteBlock(plan, *interval, first.offsetSeconds, input.units, input.type);
    }
    return StoreStatus::Stored;
}

std::vector<std::string> DssFile::ListPathnames() const {
    std::vector<std::string> pathnames = impl_->AllPathnames();
    std::sort(pathnames.begin(), pathnames.end(), [](const std::string& a, const std::string& b) {
        return CatalogLess(a, b);
    });
    return pathnames;
}

std::optional<RecordSeries> DssFile::ReadRecord(std::string_view pathname) const {
    const auto entry = impl_->FindEntry(pathname);
    if (!entry) {
        return std::nullopt;
    }
    return impl_->ReadSeriesRecord(*entry, pathname);
}

std::optional<RegularSeries> DssFile::ReadRegularSeries(std::string_view seriesPathname) const {
    auto wanted = SplitPathname(seriesPathname);
    if (!wanted) {
        return std::nullopt;
    }
    // Callers may spell the interval as they store it ("1HOUR" for "1Hour").
    if (const Interval* interval = FindInterval((*wanted)[4])) {
        (*wanted)[4] = std::string(interval->name);
    }
    std::optional<RegularSeries> series;
    for (const std::string& pathname : ListPathnames()) {
        const auto parts = SplitPathname(pathname);
        bool same = parts.has_value();
        for (std::size_t p = 0; same && p < 6; ++p) {
            same = p == 3 || SamePathname((*parts)[p], (*wanted)[p]);
        }
        if (!same) {
            continue;
        }
        const auto record = ReadRecord(pathname);
        if (!series) {
            series.emplace();
        }
        series->units = record->units;
        series->type = record->type;
        series->times.insert(series->times.end(), record->times.begin(), record->times.end());
        series->values.insert(series->values.end(), record->values.begin(), record->values.end());
    }
    return series;
}

} // namespace hecdss
