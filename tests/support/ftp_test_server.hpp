#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace rill::testing {

// The login an FTP test server accepts.
struct FtpAccount {
    std::filesystem::path home;
    std::string user;
    std::string password;
};

// tests/windowexport/ftp_server.py run as a child process on 127.0.0.1 port 21 (the port the
// upload always uses, so the tests run as root and one at a time). The constructor returns
// once the server listens; the destructor stops it.
class FtpTestServer {
public:
    // An FTP server with one account that refuses passive mode.
    FtpTestServer(const FtpAccount& account, const std::filesystem::path& eventLog);
    // A server that accepts connections and never answers.
    explicit FtpTestServer(const std::filesystem::path& eventLog);
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;
    ~FtpTestServer();

    // Ends the server; afterwards every file it received is complete on disk.
    void Stop();

    // What the server saw so far, one line each: "CONNECT", each command as received (the
    // password as "***"), "RECEIVED <path>" after a completed upload.
    std::vector<std::string> Events() const;

private:
    void Start(const std::vector<std::string>& modeArguments);

    std::filesystem::path eventLog_;
    pid_t pid_ = -1;
};

} // namespace rill::testing
