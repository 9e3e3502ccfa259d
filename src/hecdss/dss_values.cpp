#include "hecdss/dss_values.hpp"

#include <bit>

namespace hecdss {
namespace {

bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

} // namespace

bool IsMissing(float value) {
    return value == kMissingValue || value == -901.0F || value == -902.0F;
}

Compression ChooseCompression(std::span<const float> values) {
    const std::size_t count = values.size();
    std::size_t repeats = 0;
    for (std::size_t k = 1; k < count; ++k) {
        repeats += SameBits(values[k], values[k - 1]) ? 1 : 0;
    }
    if (count <= 12 || 20 * repeats < count) {
        return Compression::None;
    }
    if (repeats == count - 1) {
        return Compression::AllEqual;
    }
    return Compression::Repeats;
}

PackedValues PackValues(std::span<const float> values, Compression compression) {
    PackedValues packed;
    packed.compression = compression;
    switch (compression) {
    case Compression::None:
        for (const float value : values) {
            packed.kept.push_back(std::bit_cast<std::int32_t>(value));
        }
        break;
    case Compression::AllEqual:
        if (!values.empty()) {
            packed.kept.push_back(std::bit_cast<std::int32_t>(values.front()));
        }
        break;
    case Compression::Repeats:
        packed.bitmap.assign((values.size() + 31) / 32, 0);
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (k > 0 && SameBits(values[k], values[k - 1])) {
                const auto bit = std::uint32_t{1} << (k % 32);
                auto& word = packed.bitmap[k / 32];
                word = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) | bit);
            } else {
                packed.kept.push_back(std::bit_cast<std::int32_t>(values[k]));
            }
        }
        break;
    }
    return packed;
}

std::optional<std::vector<float>> UnpackValues(Compression compression,
                                               std::size_t count,
                                               std::span<const std::int32_t> bitmap,
                                               std::span<const std::int32_t> area) {
    std::vector<float> values;
    values.reserve(count);
    switch (compression) {
    case Compression::None:
        if (area.size() < count) {
            return std::nullopt;
        }
        for (std::size_t k = 0; k < count; ++k) {
            values.push_back(std::bit_cast<float>(area[k]));
        }
        break;
    case Compression::AllEqual:
        if (area.empty()) {
            return std::nullopt;
        }
        values.assign(count, std::bit_cast<float>(area.front()));
        break;
    case Compression::Repeats: {
        if (bitmap.size() * 32 < count) {
            return std::nullopt;
        }
        std::size_t next = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const auto word = static_cast<std::uint32_t>(bitmap[k / 32]);
            const bool repeat = k > 0 && ((word >> (k % 32)) & 1U) != 0;
            if (repeat) {
                values.push_back(values.back());
            } else {
                if (next >= area.size()) {
                    return std::nullopt;
                }
                values.push_back(std::bit_cast<float>(area[next++]));
            }
        }
        break;
    }
    default:
        return std::nullopt;
    }
    return values;
}

} // namespace hecdss
