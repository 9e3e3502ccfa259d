#include "common/text_output.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "common/run_error.hpp"

namespace rill {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;

std::string SystemText(int error) {
    return std::strerror(error);
}
} // namespace

TextOutput::TextOutput(TextOutput&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)) {}

TextOutput& TextOutput::operator=(TextOutput&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

TextOutput::~TextOutput() {
    if (fd_ >= 0) {
        // Safety net only: a normal run flushes through Close(), which reports errors.
        try {
            Flush();
        } catch (...) {
        }
        ::close(fd_);
    }
}

void TextOutput::Open(const std::string& path, OpenMode mode) {
    if (fd_ >= 0) {
        Close();
    }
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | (mode == OpenMode::Append ? O_APPEND : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        throw RunError("Cannot create output file " + path + ": " + SystemText(errno));
    }
    fd_ = fd;
    path_ = path;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
}

void TextOutput::Write(std::string_view text) {
    if (fd_ < 0) {
        throw RunError("Output file is not open" + (path_.empty() ? "" : ": " + path_));
    }
    if (buffer_.size() + text.size() > kBufferSize) {
        Flush();
        if (text.size() >= kBufferSize) {
            WriteAll(text.data(), text.size());
            return;
        }
    }
    buffer_.append(text);
}

void TextOutput::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void TextOutput::Flush() {
    if (fd_ >= 0 && !buffer_.empty()) {
        // Clear first so that a failed write is not retried by the destructor.
        std::string pending;
        pending.swap(buffer_);
        buffer_.reserve(kBufferSize);
        WriteAll(pending.data(), pending.size());
    }
}

void TextOutput::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw RunError("Cannot write output file " + path_ + ": " + SystemText(errno));
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void TextOutput::Close() {
    if (fd_ < 0) {
        return;
    }
    try {
        Flush();
    } catch (...) {
        ::close(std::exchange(fd_, -1));
        throw;
    }
    if (::close(std::exchange(fd_, -1)) != 0) {
        throw RunError("Cannot close output file " + path_ + ": " + SystemText(errno));
    }
}

} // namespace rill
