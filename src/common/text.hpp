#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rill {

// Removes blanks (space characters only, never tabs) at both ends.
std::string_view TrimBlanks(std::string_view text);

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);

// Cuts at every occurrence of the separator; empty pieces are kept.
std::vector<std::string> SplitAll(std::string_view text, char separator);

// Lines of a text file as this platform reads them: a line ends at CR, LF or CR LF, and a
// UTF-8 byte-order mark before the first line is dropped. At most maxLines are returned; a
// last line without terminator counts as a line. An empty text has no lines.
std::vector<std::string> ReadLines(std::string_view content, std::size_t maxLines);

} // namespace rill
