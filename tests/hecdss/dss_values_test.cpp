#include <bit>
#include <limits>

#include <gtest/gtest.h>

#include "hecdss/dss_values.hpp"

namespace hecdss {
namespace {

std::vector<float> Distinct(std::size_t count) {
    std::vector<float> values;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(i) + 1);
    }
    return values;
}

std::vector<float> WithRepeats(std::size_t count, std::size_t repeats) {
    std::vector<float> values = Distinct(count);
    for (std::size_t i = 0; i < repeats; ++i) {
        values[count - 1 - i] = values[count - 1 - repeats];
    }
    return values;
}

TEST(DssValuesTest, MissingFlagsAreTheMostNegativeFloatAnd901And902) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(kMissingValue), 0xFF7FFFFFU);
    for (const float value : {kMissingValue, -901.0F, -902.0F}) {
        EXPECT_TRUE(IsMissing(value)) << value;
    }
    for (const float value :
         {0.0F, -900.0F, -903.0F, -901.5F, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_FALSE(IsMissing(value)) << value;
    }
}

struct CompressionCase {
    std::string name;
    std::vector<float> values;
    Compression expected;
};

TEST(DssValuesTest, CompressionIsChosenByTheShareOfRepeats) {
    const std::vector<CompressionCase> cases = {
        {"12 equal values", std::vector<float>(12, 7.5F), Compression::None},
        {"13 equal values", std::vector<float>(13, 7.5F), Compression::AllEqual},
        {"15 equal values", std::vector<float>(15, 0.0F), Compression::AllEqual},
        {"20 values, one repeat", WithRepeats(20, 1), Compression::Repeats},
        {"21 values, one repeat", WithRepeats(21, 1), Compression::None},
        {"40 values, two repeats", WithRepeats(40, 2), Compression::Repeats},
        {"13 distinct values", Distinct(13), Compression::None},
        {"missing runs count",
         {1, 2, kMissingValue, kMissingValue, 3, 4, 5, 6, 7, 8, 9, 10, 11},
         Compression::Repeats},
        {"zero and minus zero differ",
         {0.0F, -0.0F, 0.0F, -0.0F, 0.0F, -0.0F, 0.0F, -0.0F, 0.0F, -0.0F, 0.0F, -0.0F, 0.0F},
         Compression::None},
    };
    for (const CompressionCase& c : cases) {
        EXPECT_EQ(ChooseCompression(c.values), c.expected) << c.name;
    }
}

TEST(DssValuesTest, RepeatsAreMarkedInABitmapAndExpandBack) {
    const std::vector<float> values = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3,
                                       3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5};
    const PackedValues packed = PackValues(values, Compression::Repeats);
    EXPECT_EQ(packed.bitmap,
              (std::vector<std::int32_t>{static_cast<std::int32_t>(0xFEFEFEFEU), 0xFE}));
    EXPECT_EQ(packed.kept.size(), 5U);
    EXPECT_EQ(UnpackValues(Compression::Repeats, values.size(), packed.bitmap, packed.kept),
              values);
}

TEST(DssValuesTest, EveryLayoutExpandsToTheSameValues) {
    const std::vector<std::vector<float>> series = {
        {1.5F},
        std::vector<float>(30, 7.5F),
        WithRepeats(20, 1),
        {1, 2, 3, kMissingValue, kMissingValue, kMissingValue, -901, 4},
    };
    for (const auto& values : series) {
        for (const Compression compression :
             {Compression::None, Compression::Repeats, ChooseCompression(values)}) {
            const PackedValues packed = PackValues(values, compression);
            EXPECT_EQ(UnpackValues(compression, values.size(), packed.bitmap, packed.kept), values);
        }
    }
    const PackedValues equal = PackValues(std::vector<float>(30, 7.5F), Compression::AllEqual);
    EXPECT_EQ(equal.kept.size(), 1U);
    EXPECT_EQ(UnpackValues(Compression::AllEqual, 30, {}, equal.kept),
              std::vector<float>(30, 7.5F));
}

TEST(DssValuesTest, AreasTooShortForTheirCountAreRejected) {
    const std::vector<std::int32_t> two = {1, 2};
    EXPECT_FALSE(UnpackValues(Compression::None, 3, {}, two).has_value());
    EXPECT_FALSE(UnpackValues(Compression::AllEqual, 3, {}, {}).has_value());
    const std::vector<std::int32_t> noRepeats = {0};
    EXPECT_FALSE(UnpackValues(Compression::Repeats, 3, noRepeats, two).has_value());
    EXPECT_FALSE(UnpackValues(Compression::Repeats, 33, noRepeats, two).has_value());
}

} // namespace
} // namespace hecdss
