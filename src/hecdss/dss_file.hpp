#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hecdss/dss_time.hpp"

namespace hecdss {

enum class OpenMode { ReadWrite, ReadOnly };

struct OpenOptions {
    // ReadWrite creates a missing file and holds an exclusive lock; ReadOnly a shared one.
    OpenMode mode = OpenMode::ReadWrite;
    // How long to wait for another run to release the file before giving up.
    std::chrono::milliseconds lockTimeout{10000};
};

// One regular-interval series to store. The D part of the pathname is ignored: every block
// gets its own.
struct RegularSeriesInput {
    std::string pathname;
    DssTime start; // time of the first value; seconds 0 means 24:00 of the day before
    std::vector<float> values;
    std::string units;
    std::string type;
};

enum class StoreStatus {
    Stored,
    NoValues,           // fewer than one value
    BadPathname,        // not six parts, too short or too long, or a tagged F part
    BadInterval,        // the E part is not a regular interval this library stores
    BadStartTime,       // seconds outside 0..86400
    IncompatibleRecord, // a block's record exists but is not a float regular-interval series
};

// One record read back: the stored range of one block.
struct RecordSeries {
    std::string pathname;
    std::int32_t version = 0;
    std::int32_t firstSlot = 0;
    std::int32_t lastSlot = 0;
    std::int32_t slotsInBlock = 0;
    std::int32_t offsetSeconds = 0;
    std::int32_t compression = 0;
    std::string units;
    std::string type;
    std::string timeZone;
    std::vector<DssTime> times; // actual value times, offset applied
    std::vector<float> values;  // missing values as stored (see IsMissing)
};

// A series gathered from all its blocks, in time order.
struct RegularSeries {
    std::string units;
    std::string type;
    std::vector<DssTime> times;
    std::vector<float> values;
};

// A DSS version 7 file opened for storing and reading regular-interval float series.
// Stores merge into existing blocks ("replace within the stored range").
class DssFile {
public:
    // Opens an existing DSS 7 file or, in ReadWrite mode, creates a new one. Throws DssError:
    // CannotOpen, NotDssFile (the file is left untouched) or Locked.
    static DssFile Open(const std::filesystem::path& path, const OpenOptions& options = {});

    DssFile(DssFile&& other) noexcept;
    DssFile& operator=(DssFile&& other) noexcept;
    DssFile(const DssFile&) = delete;
    DssFile& operator=(const DssFile&) = delete;
    ~DssFile();

    // Flushes and closes; throws when data may not have reached the disk.
    void Close();
    bool IsOpen() const noexcept;

    // Stores the values block by block. Invalid input and incompatible old records are
    // reported as a status with nothing written; write failures throw.
    StoreStatus StoreRegularSeries(const RegularSeriesInput& input);

    // Pathnames of all live records, in catalog order.
    std::vector<std::string> ListPathnames() const;
    // The record of one block pathname (case ignored); null when there is none.
    std::optional<RecordSeries> ReadRecord(std::string_view pathname) const;
    // All blocks of a series whose pathname matches in every part but D.
    std::optional<RegularSeries> ReadRegularSeries(std::string_view seriesPathname) const;

private:
    struct Impl;
    explicit DssFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace hecdss
