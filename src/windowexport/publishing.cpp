#include "windowexport/publishing.hpp"

#include <chrono>
#include <optional>
#include <thread>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "common/text_output.hpp"
#include "dbsession/setup_file.hpp"
#include "platform/platform.hpp"
#include "windowexport/ftp_upload.hpp"

namespace rill {

namespace {

constexpr std::size_t kSettingLines = 3;
// The server is given this long after an upload before the run goes on, whatever the result.
constexpr std::chrono::milliseconds kPauseAfterUpload{500};

void PauseAfterUpload() {
    const auto until = std::chrono::steady_clock::now() + kPauseAfterUpload;
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_until(until);
    }
}

} // namespace

AutowebSettings AutowebSettingsFromText(std::string_view content, const std::string& path) {
    const auto lines = ReadLines(content, kSettingLines);
    if (lines.size() < kSettingLines) {
        throw RunError("Publishing setup file " + path +
                       " must hold three lines (FTP server, directory, user)");
    }
    return AutowebSettings{lines[0], lines[1], lines[2]};
}

PublishOutcome Publish(const std::string& programDirectory,
                       const std::string& outputPath,
                       const std::string& remoteName,
                       const std::string& webPassword,
                       TextOutput& output) {
    const std::optional<std::string> found =
        platform::FindFileIgnoringCase(programDirectory, kAutowebSetupFileName);
    AutowebSettings settings;
    if (found) {
        settings = AutowebSettingsFromText(ReadTextFile(*found), *found);
    } else {
        // Publishing still goes on with empty settings; the upload then fails and says so.
        output.WriteLine("File not found: " +
                         platform::JoinPath(programDirectory, kAutowebSetupFileName));
    }
    output.Close();

    const bool stored = FtpUpload(settings.ftpServer,
                                  settings.ftpUser,
                                  webPassword,
                                  outputPath,
                                  remoteName,
                                  settings.ftpDirectory);
    PauseAfterUpload();
    if (stored) {
        return PublishOutcome::Published;
    }
    output.Open(outputPath, OpenMode::Append);
    output.WriteLine("FTP put failed");
    output.Close();
    return PublishOutcome::Failed;
}

} // namespace rill
