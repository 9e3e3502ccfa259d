#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/run_error.hpp"
#include "platform/platform.hpp"

extern char** environ;

namespace rill::platform {

namespace {
bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool SameIgnoringCase(const char* a, const std::string& b) {
    return std::strlen(a) == b.size() && ::strncasecmp(a, b.c_str(), b.size()) == 0;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
} // namespace

std::string ProgramDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t size = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (size <= 0) {
        throw RunError(std::string("Cannot find the program file: ") + std::strerror(errno));
    }
    std::string path(buffer.data(), static_cast<std::size_t>(size));
    const auto slash = path.find_last_of('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') {
        return directory + name;
    }
    return directory + "/" + name;
}

bool IsBareFileName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& directory,
                                                const std::string& name) {
    const std::string exact = JoinPath(directory, name);
    if (Exists(exact)) {
        return exact;
    }
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameIgnoringCase(entry->d_name, name)) {
            return JoinPath(directory, entry->d_name);
        }
    }
    return std::nullopt;
}

void SetWorkingDirectory(const std::string& directory) {
    if (::chdir(directory.c_str()) != 0) {
        throw RunError("Cannot change the working directory to " + directory + ": " +
                       std::strerror(errno));
    }
}

bool StartViewer(const std::string& path) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool graphical =
        (display != nullptr && *display != '\0') || (wayland != nullptr && *wayland != '\0');
    if (!graphical) {
        return false;
    }
    std::string program = "xdg-open";
    std::string argument = path;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    // Not waited for: the viewer outlives this short-lived process.
    return ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0;
}

} // namespace rill::platform
