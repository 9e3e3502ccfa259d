#pragma once

#include <stdexcept>
#include <string>

namespace hecdss {

// What went wrong, for callers that turn errors into status codes.
enum class DssErrorKind {
    CannotOpen, // missing directory, no permission, not a regular file
    NotDssFile, // exists but is not a DSS version 7 file this library can write
    Locked,     // another run holds the file
    Io,         // a read or write failed (full disk, vanished file)
    Corrupt,    // the file's structure contradicts itself
    Unsupported // a record of a kind this library does not handle
};

// A run-time error with one self-contained line of text.
class DssError : public std::runtime_error {
public:
    DssError(DssErrorKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    DssErrorKind Kind() const noexcept { return kind_; }

private:
    DssErrorKind kind_;
};

} // namespace hecdss
