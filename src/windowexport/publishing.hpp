#pragma once

#include <string>
#include <string_view>

namespace rill {

class TextOutput;

// Names the FTP server, directory and user that the finished report is published to.
inline constexpr const char* kAutowebSetupFileName = "Plotwren_autoweb.txt";

struct AutowebSettings {
    std::string ftpServer;
    std::string ftpDirectory; // empty: store in the login directory
    std::string ftpUser;

    bool operator==(const AutowebSettings&) const = default;
};

// The first three lines of the publishing setup file, untrimmed (lines end at CR, LF or CR LF;
// a leading byte-order mark is dropped; further lines are ignored). Throws RunError naming
// `path` when there are fewer than three lines.
AutowebSettings AutowebSettingsFromText(std::string_view content, const std::string& path);

enum class PublishOutcome { Published, Failed };

// Publishes the finished output file at the end of a run. `output` is still open; THE_END has
// been written. Reads the publishing setup file of the program directory, or writes a
// "File not found: " line when there is none; closes the output; uploads it as `remoteName`;
// waits half a second; and appends "FTP put failed" when the upload did not succeed.
// A setup file with fewer than three lines throws RunError before anything is written.
PublishOutcome Publish(const std::string& programDirectory,
                       const std::string& outputPath,
                       const std::string& remoteName,
                       const std::string& webPassword,
                       TextOutput& output);

} // namespace rill
