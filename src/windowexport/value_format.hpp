#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rill {

// Room for any result of FormatValueTo: a sign, 309 integer digits of the largest double, the
// point and two decimals.
inline constexpr std::size_t kFormattedValueCapacity = 352;

// The text a value line shows for one stored value: a fixed number of decimals for the data
// types that have one, otherwise chosen by the value's size. Halves are judged on the shortest
// decimal form of the double (1.005 to two decimals gives 1.01), never with an exponent.
std::string FormatValue(double value, std::int16_t datatypeId);

// The same text written into `out` (at least kFormattedValueCapacity chars); returns its length.
std::size_t FormatValueTo(char* out, double value, std::int16_t datatypeId);

} // namespace rill
