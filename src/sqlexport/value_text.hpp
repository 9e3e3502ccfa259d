#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/date_time.hpp"
#include "dbsession/value.hpp"

namespace rill::sqlexport {

// A number in its shortest text that reads back as the same value, at most 15 significant
// digits, "." as decimal separator; exponent form ("1E+15", "1.5E-06") only below 1e-5 or from
// 1e15 on.
std::string FormatNumber(double value);

// US form without leading zeros: "11/13/2014 4:00:00 AM"; the date alone at midnight, the time
// alone on the zero date (30 December 1899). Rounded to the nearest second.
std::string FormatDateTime(DateTime value);

// Builds the text of one output line from column values without allocating per cell.
class LineText {
public:
    void Clear() { size_ = 0; }
    std::string_view Text() const { return std::string_view(chars_.data(), size_); }

    void Append(std::string_view text);
    void Append(char c) {
        *Reserve(1) = c;
        ++size_;
    }
    // The text of one result cell: text as stored, a number between one leading blank (or its
    // minus sign) and one trailing blank, a date-time as FormatDateTime, "True"/"False",
    // "Null", bytes as upper-case hex digits.
    void AppendCell(const Value& value);
    // The text a value adds to the site header line: as in a cell, but a number without its
    // blanks and Null as nothing.
    void AppendPlain(const Value& value);

private:
    // Room for `size` more characters; returns where they go.
    char* Reserve(std::size_t size) {
        if (chars_.size() - size_ < size) {
            Grow(size);
        }
        return chars_.data() + size_;
    }
    void Grow(std::size_t size);
    void AppendFormatted(const Value& value, bool padNumbers);
    char* AppendDate(char* out, long long dayIndex);

    std::vector<char> chars_ = std::vector<char>(256);
    std::size_t size_ = 0;
    // Rows of one series mostly share their date: its text is kept for the next cell.
    long long cachedDay_ = 0;
    char cachedDate_[16] = {};
    std::size_t cachedDateSize_ = 0;
};

} // namespace rill::sqlexport
