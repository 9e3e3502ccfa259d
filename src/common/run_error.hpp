#pragma once

#include <stdexcept>
#include <string>

namespace rill {

// A run-time error of a run: one self-contained line saying what failed, on what and why.
// Line breaks in component texts are folded into blanks so the description stays one line.
class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string& description);
};

// Folds CR and LF (and runs of them) into single blanks and trims trailing blanks.
std::string FoldToOneLine(std::string_view text);

} // namespace rill
