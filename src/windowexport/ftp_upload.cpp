#include "windowexport/ftp_upload.hpp"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <curl/curl.h>

#include "common/run_error.hpp"

namespace rill {

namespace {

constexpr const char* kFtpPort = "21";
// No reply, no accepted data connection and no progress for this long fail the upload.
constexpr long kSendTimeoutSeconds = 30;
// Fewer bytes per second than this, for the whole send timeout, counts as no progress.
constexpr long kLowSpeedBytesPerSecond = 1;
// A refused connection or login is tried once more; nothing else is retried.
constexpr int kAttempts = 2;

// libcurl's process-wide state: set up by the first upload, released when the process ends.
class CurlGlobal {
public:
    CurlGlobal() {
        const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
        if (code != CURLE_OK) {
            throw RunError(std::string("Cannot initialise libcurl: ") + curl_easy_strerror(code));
        }
    }
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
    ~CurlGlobal() { curl_global_cleanup(); }
};

void EnsureCurlGlobal() {
    static const CurlGlobal global;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct StringListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using StringList = std::unique_ptr<curl_slist, StringListDeleter>;

struct CurlTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// Every libcurl call that can only fail through a broken or incomplete library (unknown
// option, protocol not built in, no memory) goes through here.
void Check(CURLcode code, const char* what) {
    if (code != CURLE_OK) {
        throw RunError(std::string("Cannot set up the FTP upload (") + what +
                       "): " + curl_easy_strerror(code));
    }
}

void CheckUrl(CURLUcode code, const char* what) {
    if (code != CURLUE_OK) {
        throw RunError(std::string("Cannot set up the FTP upload (") + what +
                       "): " + curl_url_strerror(code));
    }
}

// ftp://<server>:21/<remote name, every byte but letters, digits and -._~ percent-escaped>.
// libcurl decodes the path back into the exact name, so blanks, '#', '%', '?', '/' and '\'
// reach the server as typed. nullptr when the server text is not a host name.
UrlHandle BuildUrl(CURL* easy, const std::string& ftpServer, const std::string& remoteName) {
    UrlHandle url(curl_url());
    if (!url) {
        throw RunError("Cannot set up the FTP upload: libcurl has no memory for a URL");
    }
    CheckUrl(curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0), "scheme");
    const CURLUcode hostCode = curl_url_set(url.get(), CURLUPART_HOST, ftpServer.c_str(), 0);
    if (hostCode == CURLUE_OUT_OF_MEMORY) {
        CheckUrl(hostCode, "server name");
    }
    if (hostCode != CURLUE_OK) {
        return nullptr;
    }
    CheckUrl(curl_url_set(url.get(), CURLUPART_PORT, kFtpPort, 0), "port");
    const CurlText escaped(
        curl_easy_escape(easy, remoteName.data(), static_cast<int>(remoteName.size())));
    if (!escaped) {
        throw RunError("Cannot set up the FTP upload: libcurl cannot escape the remote name");
    }
    const std::string path = std::string("/") + escaped.get();
    CheckUrl(curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0), "remote name");
    return url;
}

// A failure that happened before the server let us in: no TCP connection (host unknown,
// refused, or no answer to the connection request) or the login was turned down. A server
// that accepted the connection and then stayed silent is not tried again.
bool IsConnectionOrLoginFailure(CURL* easy, CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
        return true;
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connectMicroseconds = 0;
        return curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectMicroseconds) == CURLE_OK &&
               connectMicroseconds == 0;
    }
    default:
        return false;
    }
}

enum class AttemptResult { Stored, RetryableFailure, Failed };

AttemptResult Attempt(const std::string& ftpServer,
                      const std::string& ftpUser,
                      const std::string& webPassword,
                      const std::string& localPath,
                      const std::string& remoteName,
                      const std::string& ftpDirectory) {
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(localPath, sizeError);
    const InputFile input(std::fopen(localPath.c_str(), "rb"));
    if (sizeError || !input) {
        return AttemptResult::Failed;
    }

    const EasyHandle easy(curl_easy_init());
    if (!easy) {
        throw RunError("Cannot set up the FTP upload: curl_easy_init failed");
    }
    CURL* const h = easy.get();
    const UrlHandle url = BuildUrl(h, ftpServer, remoteName);
    if (!url) {
        return AttemptResult::Failed;
    }

    // Changing to the directory is a command of its own, sent with the directory exactly as
    // typed (it may hold '/'); when the server refuses it the transfer stops before STOR.
    StringList beforeTransfer;
    if (!ftpDirectory.empty()) {
        const std::string command = "CWD " + ftpDirectory;
        beforeTransfer.reset(curl_slist_append(nullptr, command.c_str()));
        if (!beforeTransfer) {
            throw RunError("Cannot set up the FTP upload: libcurl has no memory for a command");
        }
    }

    Check(curl_easy_setopt(h, CURLOPT_CURLU, url.get()), "URL");
    Check(curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp"), "protocols");
    // Never through a proxy named in the environment.
    Check(curl_easy_setopt(h, CURLOPT_PROXY, ""), "proxy");
    Check(curl_easy_setopt(h, CURLOPT_USERNAME, ftpUser.c_str()), "user");
    Check(curl_easy_setopt(h, CURLOPT_PASSWORD, webPassword.c_str()), "password");
    Check(curl_easy_setopt(h, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED)), "netrc");
    Check(curl_easy_setopt(h, CURLOPT_VERBOSE, 0L), "verbose");
    Check(curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L), "nosignal");
    Check(curl_easy_setopt(h, CURLOPT_NOPROGRESS, 1L), "noprogress");

    // A new connection of our own, nothing kept for later and no name cache.
    Check(curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L), "fresh connect");
    Check(curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L), "forbid reuse");
    Check(curl_easy_setopt(h, CURLOPT_DNS_CACHE_TIMEOUT, 0L), "name cache");

    // Active mode: the server connects back to the address of our control connection.
    Check(curl_easy_setopt(h, CURLOPT_FTPPORT, "-"), "active mode");
    Check(curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD)),
          "file method");
    Check(curl_easy_setopt(
              h, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_NONE)),
          "create dirs");
    if (beforeTransfer) {
        Check(curl_easy_setopt(h, CURLOPT_QUOTE, beforeTransfer.get()), "directory change");
    }

    Check(curl_easy_setopt(h, CURLOPT_UPLOAD, 1L), "upload");
    Check(curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L), "binary");
    Check(curl_easy_setopt(h, CURLOPT_READDATA, input.get()), "input");
    Check(curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size)),
          "file size");

    Check(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kSendTimeoutSeconds), "connect timeout");
    Check(curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, kSendTimeoutSeconds),
          "response timeout");
    Check(curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, kSendTimeoutSeconds * 1000L),
          "accept timeout");
    Check(curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond), "low speed limit");
    Check(curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kSendTimeoutSeconds), "low speed time");

    const CURLcode code = curl_easy_perform(h);
    if (code == CURLE_OK) {
        return AttemptResult::Stored;
    }
    if (code == CURLE_OUT_OF_MEMORY || code == CURLE_UNSUPPORTED_PROTOCOL ||
        code == CURLE_NOT_BUILT_IN) {
        Check(code, "transfer");
    }
    return IsConnectionOrLoginFailure(h, code) ? AttemptResult::RetryableFailure
                                               : AttemptResult::Failed;
}

} // namespace

bool FtpUpload(const std::string& ftpServer,
               const std::string& ftpUser,
               const std::string& webPassword,
               const std::string& localPath,
               const std::string& remoteName,
               const std::string& ftpDirectory) {
    // Without a server or a user there is nothing to log in to: fail without connecting. A
    // line break in the directory would end the CWD command and start another one.
    if (ftpServer.empty() || ftpUser.empty() ||
        ftpDirectory.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    EnsureCurlGlobal();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const AttemptResult result =
            Attempt(ftpServer, ftpUser, webPassword, localPath, remoteName, ftpDirectory);
        if (result != AttemptResult::RetryableFailure) {
            return result == AttemptResult::Stored;
        }
    }
    return false;
}

} // namespace rill
