#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hecdss {

// The six parts A..F of a pathname /A/B/C/D/E/F/.
using PathnameParts = std::array<std::string, 6>;

inline constexpr std::size_t kMaxStoredPathnameLength = 391;

// Removes bytes outside 32..126 and anything after the seventh slash.
std::string NormalizePathname(std::string_view pathname);

// The parts of a pathname with exactly seven slashes, the first and last character among them.
std::optional<PathnameParts> SplitPathname(std::string_view pathname);
std::string JoinPathname(const PathnameParts& parts);

// The 64-bit pathname hash kept in bin entries and info blocks; never 0.
std::int64_t PathnameHash(std::string_view pathname);
// The hash-table slot of a pathname in a table of maxHash slots.
std::int64_t TableHash(std::string_view pathname, std::int64_t maxHash);

// Pathnames are the same record when equal ignoring ASCII case.
bool SamePathname(std::string_view a, std::string_view b);

// /A/B/C/D/E/F/ from six parts, each trimmed of blanks; slashes and control characters inside a
// part become '?'.
std::string BuildPathname(const std::array<std::string_view, 6>& parts);

// 0 for an acceptable pathname; otherwise -1 no leading slash, -2 no trailing slash, -3 not
// exactly seven slashes, -4 shorter than 7 characters, -5 longer than 392, -6 a character
// outside 32..126. Length problems are reported first, then slashes, then characters.
std::int32_t CheckPathname(std::string_view pathname);

// Orders pathnames as catalogs list them: by A, B, C and F parts, then interval length, then
// block date, so that the blocks of one series follow each other in time order.
bool CatalogLess(std::string_view a, std::string_view b);

} // namespace hecdss
