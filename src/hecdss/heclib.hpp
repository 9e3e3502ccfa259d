#pragma once

// The Fortran-style entry points the export programs call. Text arguments are single-byte
// characters without terminator; their lengths follow all other arguments, in order.

#include <cstdint>

// Statuses of ZSRTS_ besides 0 (stored).
inline constexpr std::int32_t kZsrtsAllMissing = 4;    // every value missing: nothing stored
inline constexpr std::int32_t kZsrtsNoValues = 11;     // fewer than one value
inline constexpr std::int32_t kZsrtsBadInterval = 12;  // E part is no standard regular interval
inline constexpr std::int32_t kZsrtsBadPlan = 13;      // store plan other than 0
inline constexpr std::int32_t kZsrtsBadStart = 15;     // start date or time invalid
inline constexpr std::int32_t kZsrtsBadPathname = 24;  // not a regular-interval pathname
inline constexpr std::int32_t kZsrtsNotOpen = 30;      // the file table holds no open file
inline constexpr std::int32_t kZsrtsWriteFailed = 31;  // reading or writing the file failed
inline constexpr std::int32_t kZsrtsIncompatible = 32; // a block holds another kind of record

// Statuses of ZOPEN_ besides 0 (ready for storing).
inline constexpr std::int32_t kZopenCannotOpen = -1; // missing directory, no permission
inline constexpr std::int32_t kZopenNotDss = -2;     // exists but is no DSS 7 file; left unchanged
inline constexpr std::int32_t kZopenLocked = -3;     // another run kept the file for 10 s
inline constexpr std::int32_t kZopenInUse = -4;      // the file table already holds an open file
inline constexpr std::int32_t kZopenFailed = -5;     // reading the file failed

extern "C" {

// Opens an existing DSS 7 file or creates a new one; the state is kept in ifltab (600 ints,
// zero at start). The file stays locked until ZCLOSE_.
void ZOPEN_(std::int32_t* ifltab, const char* path, std::int32_t* status, std::int32_t pathLen);

// Builds /A/B/C/D/E/F/ into the blank-padded field pathname and returns its length.
void ZPATH_(const char* a,
            const char* b,
            const char* c,
            const char* d,
            const char* e,
            const char* f,
            char* pathname,
            std::int32_t* pathLen,
            std::int32_t la,
            std::int32_t lb,
            std::int32_t lc,
            std::int32_t ld,
            std::int32_t le,
            std::int32_t lf,
            std::int32_t lpath);

// Checks the first *pathLen characters of path; status 0 or a negative reason.
void ZCHKPN_(const char* path, std::int32_t* pathLen, std::int32_t* status, std::int32_t lpath);

// Stores *count values at regular intervals from the start date ("05 Jan 2009") and time
// ("2400"); see the kZsrts statuses.
void ZSRTS_(std::int32_t* ifltab,
            const char* path,
            const char* date,
            const char* time,
            std::int32_t* count,
            float* values,
            const char* units,
            const char* type,
            std::int32_t* plan,
            std::int32_t* status,
            std::int32_t lpath,
            std::int32_t ldate,
            std::int32_t ltime,
            std::int32_t lunits,
            std::int32_t ltype);

// Closes the file of ifltab; harmless when none is open.
void ZCLOSE_(std::int32_t* ifltab);

} // extern "C"

// ZCLOSE_ with its outcome: 0 when the file was closed (or none was open), kZcloseFailed when
// flushing or closing failed, so that stored data may not have reached the disk.
inline constexpr std::int32_t kZcloseFailed = -1;
std::int32_t CloseDssFileTable(std::int32_t* ifltab);
