#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace hecdss {

// Stored in slots without a value (bits FF7FFFFF).
inline constexpr float kMissingValue = -std::numeric_limits<float>::max();

// True for the three missing flags: the most negative float, -901 and -902.
bool IsMissing(float value);

// How a values area is laid out.
enum class Compression : std::int32_t {
    None = 0,     // every value
    Repeats = 1,  // a bitmap marks values equal to their predecessor; only the others are kept
    AllEqual = 2, // a single value stands for all
};

// The layout other DSS writers choose for these values; comparing bit patterns.
Compression ChooseCompression(std::span<const float> values);

struct PackedValues {
    Compression compression = Compression::None;
    std::vector<std::int32_t> bitmap; // the compression header, Repeats only
    std::vector<std::int32_t> kept;   // value bit patterns in the values area, before padding
};

PackedValues PackValues(std::span<const float> values, Compression compression);

// Expands `count` values from a values area; null when the area is too short for them.
std::optional<std::vector<float>> UnpackValues(Compression compression,
                                               std::size_t count,
                                               std::span<const std::int32_t> bitmap,
                                               std::span<const std::int32_t> area);

} // namespace hecdss
