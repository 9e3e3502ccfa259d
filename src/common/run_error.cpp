#include "common/run_error.hpp"

namespace rill {

std::string FoldToOneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inBreak = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            inBreak = true;
            continue;
        }
        if (inBreak) {
            // The next line's indentation collapses into the one blank that joins the lines.
            if (c == ' ' || c == '\t') {
                continue;
            }
            if (!out.empty() && out.back() != ' ') {
                out.push_back(' ');
            }
        }
        inBreak = false;
        out.push_back(c);
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

RunError::RunError(const std::string& description)
    : std::runtime_error(FoldToOneLine(description)) {}

} // namespace rill
