#include "dbsession/setup_file.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "platform/platform.hpp"

namespace rill {

namespace {
// Setup files are a few lines; reading stops here so that a wrong path to a large file
// cannot swallow memory.
constexpr std::size_t kMaxSetupBytes = 1 << 20;
} // namespace

std::string ReadTextFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw RunError("Cannot open " + path + ": " + std::strerror(errno));
    }
    std::string content;
    char buffer[8192];
    while (content.size() < kMaxSetupBytes) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            throw RunError("Cannot read " + path + ": " + std::strerror(error));
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

std::string ConnectionStringFromSetupText(std::string_view content, const std::string& path) {
    const auto lines = ReadLines(content, 1);
    if (lines.empty()) {
        throw RunError("Connection setup file " + path + " is empty");
    }
    for (const char c : lines.front()) {
        if (static_cast<unsigned char>(c) < 32 && c != '\t') {
            throw RunError("Connection setup file " + path + " is not a text file");
        }
    }
    return lines.front();
}

std::string ReadConnectionString(const std::string& programDirectory) {
    const auto found = platform::FindFileIgnoringCase(programDirectory, kConnectionSetupFileName);
    const std::string path =
        found.value_or(platform::JoinPath(programDirectory, kConnectionSetupFileName));
    return ConnectionStringFromSetupText(ReadTextFile(path), path);
}

} // namespace rill
