#pragma once

#include <string>
#include <string_view>

namespace rill {

inline constexpr const char* kConnectionSetupFileName = "Wellspan_setup.txt";

// The connection string: the first line of the setup file's content. Throws RunError (naming
// `path`) when the content has no line or is not text.
std::string ConnectionStringFromSetupText(std::string_view content, const std::string& path);

// Reads the connection setup file of the program directory (a name differing only in letter
// case is accepted) and returns its first line.
std::string ReadConnectionString(const std::string& programDirectory);

// Reads a whole small text file; throws RunError with the system's reason.
std::string ReadTextFile(const std::string& path);

} // namespace rill
