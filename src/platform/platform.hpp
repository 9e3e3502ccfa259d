#pragma once

#include <optional>
#include <string>

// The few services of the operating system that the programs need.
namespace rill::platform {

// Directory that holds the running program file, without a trailing separator.
std::string ProgramDirectory();

// Joins a directory and a file name with this platform's separator.
std::string JoinPath(const std::string& directory, const std::string& name);

// True when the name is a bare file name (no separator of this platform or of the original
// one), so that it belongs in the program directory.
bool IsBareFileName(const std::string& name);

// The path of `name` inside `directory`; when no such file exists but one whose name differs
// only in letter case does, that one. nullopt when neither exists.
std::optional<std::string> FindFileIgnoringCase(const std::string& directory,
                                                const std::string& name);

// Throws RunError when the directory cannot be made the working directory.
void SetWorkingDirectory(const std::string& directory);

// Opens the file in the desktop's text viewer without waiting for it. Returns false when
// there is no graphical session to show it in (the caller then shows the text itself).
bool StartViewer(const std::string& path);

} // namespace rill::platform
