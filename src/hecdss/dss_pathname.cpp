#include "hecdss/dss_pathname.hpp"

#include <algorithm>
#include <tuple>

#include "hecdss/dss_time.hpp"

namespace hecdss {
namespace {

// Bytes as both hashes see them: no control or high bytes, letters in upper case.
unsigned char HashByte(char c) {
    const auto value = static_cast<signed char>(c);
    if (value < 32) {
        return '?';
    }
    if (value >= 'a' && value <= 'z') {
        return static_cast<unsigned char>(value - 'a' + 'A');
    }
    return static_cast<unsigned char>(value);
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string NormalizePathname(std::string_view pathname) {
    std::string result;
    int slashes = 0;
    for (const char c : pathname) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 126) {
            continue;
        }
        result += c;
        if (c == '/' && ++slashes == 7) {
            break;
        }
    }
    return result;
}

std::optional<PathnameParts> SplitPathname(std::string_view pathname) {
    if (pathname.size() < 7 || pathname.front() != '/' || pathname.back() != '/' ||
        std::count(pathname.begin(), pathname.end(), '/') != 7) {
        return std::nullopt;
    }
    PathnameParts parts;
    std::size_t begin = 1;
    for (std::string& part : parts) {
        const std::size_t end = pathname.find('/', begin);
        part = std::string(pathname.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

std::string JoinPathname(const PathnameParts& parts) {
    std::string pathname = "/";
    for (const std::string& part : parts) {
        pathname += part;
        pathname += '/';
    }
    return pathname;
}

std::int64_t PathnameHash(std::string_view pathname) {
    std::uint64_t hash = 0;
    for (const char c : pathname) {
        hash = hash * 31U + HashByte(c);
    }
    const auto result = static_cast<std::int64_t>(hash);
    return result == 0 ? 1 : result;
}

std::int64_t TableHash(std::string_view pathname, std::int64_t maxHash) {
    int bitsPerGroup = 0;
    while ((std::int64_t{1} << bitsPerGroup) < maxHash) {
        ++bitsPerGroup;
    }
    if (bitsPerGroup == 0) {
        return 0;
    }
    const std::size_t totalBits = pathname.size() * 8;
    const std::size_t groups = (totalBits + static_cast<std::size_t>(bitsPerGroup) - 1) /
                               static_cast<std::size_t>(bitsPerGroup);
    std::int64_t result = 0;
    std::size_t bit = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        std::int64_t group = 0;
        for (int k = 0; k < bitsPerGroup; ++k, ++bit) {
            int value = 0;
            if (bit < totalBits) {
                value = (HashByte(pathname[bit / 8]) >> (7 - bit % 8)) & 1;
            }
            group = (group << 1) | value;
        }
        result ^= group;
    }
    return result % maxHash;
}

bool SamePathname(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

std::string BuildPathname(const std::array<std::string_view, 6>& parts) {
    std::string pathname = "/";
    for (const std::string_view part : parts) {
        for (const char c : Trim(part)) {
            const auto byte = static_cast<unsigned char>(c);
            pathname += (c == '/' || byte < 32 || byte == 127) ? '?' : c;
        }
        pathname += '/';
    }
    return pathname;
}

std::int32_t CheckPathname(std::string_view pathname) {
    if (pathname.size() < 7) {
        return -4;
    }
    if (pathname.size() > 392) {
        return -5;
    }
    if (pathname.front() != '/') {
        return -1;
    }
    if (pathname.back() != '/') {
        return -2;
    }
    if (std::count(pathname.begin(), pathname.end(), '/') != 7) {
        return -3;
    }
    for (const char c : pathname) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 126) {
            return -6;
        }
    }
    return 0;
}

bool CatalogLess(std::string_view a, std::string_view b) {
    const auto key = [](std::string_view pathname) {
        const auto parts = SplitPathname(pathname);
        if (!parts) {
            return std::make_tuple(std::string(pathname),
                                   std::string(),
                                   std::string(),
                                   std::string(),
                                   std::int32_t{0},
                                   std::string(),
                                   std::int32_t{0});
        }
        const Interval* interval = FindInterval((*parts)[4]);
        const auto date = ParseDate((*parts)[3]);
        return std::make_tuple((*parts)[0],
                               (*parts)[1],
                               (*parts)[2],
                               (*parts)[5],
                               interval != nullptr ? interval->seconds : 0,
                               (*parts)[4],
                               date.value_or(0));
    };
    const auto keyA = key(a);
    const auto keyB = key(b);
    if (keyA != keyB) {
        return keyA < keyB;
    }
    return a < b;
}

} // namespace hecdss
