#include "ftp_test_server.hpp"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace rill::testing {

namespace {

// Debian's interpreter, which has python3-pyftpdlib; not whatever python3 is first on PATH.
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kPort = "21";
// The script retries a busy port for up to 15 s before it gives up.
constexpr auto kStartLimit = std::chrono::seconds(25);
constexpr auto kStopLimit = std::chrono::seconds(10);

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Reset(); }
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

// Waits for the child to end, up to the limit; true when it did.
bool Reap(pid_t pid, std::chrono::steady_clock::duration limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

FtpTestServer::FtpTestServer(const FtpAccount& account, const std::filesystem::path& eventLog)
    : eventLog_(eventLog) {
    Start({"serve", kPort, account.home.string(), account.user, account.password, eventLog_});
}

FtpTestServer::FtpTestServer(const std::filesystem::path& eventLog) : eventLog_(eventLog) {
    Start({"silent", kPort, eventLog_});
}

FtpTestServer::~FtpTestServer() {
    Stop();
}

void FtpTestServer::Start(const std::vector<std::string>& modeArguments) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);

    std::vector<std::string> args = {kPython, FTP_SERVER_SCRIPT};
    args.insert(args.end(), modeArguments.begin(), modeArguments.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    const int rc = posix_spawn(&pid_, kPython, actions.Get(), nullptr, argv.data(), environ);
    if (rc != 0) {
        pid_ = -1;
        throw std::runtime_error(std::string("cannot start ") + kPython + ": " + std::strerror(rc));
    }
    writeEnd.Reset();

    // The script prints "ready" once it listens; end of file means it gave up.
    std::string announced;
    const auto until = std::chrono::steady_clock::now() + kStartLimit;
    while (announced.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd wait{readEnd.Get(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) == 0) {
            break;
        }
        char buffer[64];
        const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        announced.append(buffer, static_cast<std::size_t>(got));
    }
    if (announced != "ready\n") {
        Stop();
        throw std::runtime_error("the FTP test server did not start on 127.0.0.1:21 (needs "
                                 "root, python3-pyftpdlib and a free port)");
    }
}

void FtpTestServer::Stop() {
    if (pid_ < 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!Reap(pid_, kStopLimit)) {
        ::kill(pid_, SIGKILL);
        Reap(pid_, kStopLimit);
    }
    pid_ = -1;
}

std::vector<std::string> FtpTestServer::Events() const {
    std::vector<std::string> events;
    std::ifstream in(eventLog_);
    for (std::string line; std::getline(in, line);) {
        events.push_back(line);
    }
    return events;
}

} // namespace rill::testing
