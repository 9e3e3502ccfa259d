#include "hecdss/file_descriptor.hpp"

#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "hecdss/dss_error.hpp"

namespace hecdss {

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void FileDescriptor::Close(const std::string& what) {
    if (fd_ < 0) {
        return;
    }
    // Linux releases the descriptor even when close reports an error, so never retry.
    const int result = ::close(std::exchange(fd_, -1));
    if (result != 0 && errno != EINTR) {
        throw DssError(DssErrorKind::Io, "cannot close " + what + ": " + ErrorText(errno));
    }
}

std::string ErrorText(int error) {
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not be in the buffer.
    const char* text = ::strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? std::string(text) : "error " + std::to_string(error);
}

void ReadAt(const FileDescriptor& fd,
            std::span<std::byte> bytes,
            std::int64_t offset,
            const std::string& what) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd.Get(),
                                    bytes.data() + done,
                                    bytes.size() - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw DssError(DssErrorKind::Io,
                           "cannot read " + what + " at byte " + std::to_string(offset) + ": " +
                               ErrorText(errno));
        }
        if (got == 0) {
            throw DssError(DssErrorKind::Corrupt,
                           "cannot read " + what + " at byte " + std::to_string(offset) +
                               ": the file ends early");
        }
        done += static_cast<std::size_t>(got);
    }
}

void WriteAt(const FileDescriptor& fd,
             std::span<const std::byte> bytes,
             std::int64_t offset,
             const std::string& what) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd.Get(),
                                     bytes.data() + done,
                                     bytes.size() - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw DssError(DssErrorKind::Io,
                           "cannot write " + what + " at byte " + std::to_string(offset) + ": " +
                               ErrorText(errno));
        }
        if (put == 0) {
            throw DssError(DssErrorKind::Io,
                           "cannot write " + what + " at byte " + std::to_string(offset) +
                               ": nothing was written");
        }
        done += static_cast<std::size_t>(put);
    }
}

std::int64_t FileSize(const FileDescriptor& fd, const std::string& what) {
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
        throw DssError(DssErrorKind::Io, "cannot examine " + what + ": " + ErrorText(errno));
    }
    return static_cast<std::int64_t>(status.st_size);
}

void Truncate(const FileDescriptor& fd, std::int64_t size, const std::string& what) {
    if (::ftruncate(fd.Get(), static_cast<off_t>(size)) != 0) {
        throw DssError(DssErrorKind::Io, "cannot truncate " + what + ": " + ErrorText(errno));
    }
}

void SyncData(const FileDescriptor& fd, const std::string& what) {
    if (::fdatasync(fd.Get()) != 0) {
        throw DssError(DssErrorKind::Io, "cannot flush " + what + ": " + ErrorText(errno));
    }
}

bool LockFile(const FileDescriptor& fd, LockKind kind, std::chrono::milliseconds timeout) {
    const int operation = (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (::flock(fd.Get(), operation) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            throw DssError(DssErrorKind::Io, "cannot lock the file: " + ErrorText(errno));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace hecdss
