#include "common/text.hpp"

#include <algorithm>

namespace rill {

namespace {
char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::vector<std::string> SplitAll(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const auto pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

std::vector<std::string> ReadLines(std::string_view content, std::size_t maxLines) {
    std::vector<std::string> lines;
    if (content.starts_with("\xEF\xBB\xBF")) {
        content.remove_prefix(3);
    }
    std::size_t pos = 0;
    while (pos < content.size() && lines.size() < maxLines) {
        const auto end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(content.substr(pos));
            break;
        }
        lines.emplace_back(content.substr(pos, end - pos));
        pos = end + 1;
        if (content[end] == '\r' && pos < content.size() && content[pos] == '\n') {
            ++pos;
        }
    }
    return lines;
}

} // namespace rill
