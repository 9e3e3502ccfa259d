#include "dbsession/connection_string.hpp"

#include <filesystem>
#include <system_error>

#include "common/text.hpp"

namespace rill {

namespace {
std::string_view TrimWhite(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
} // namespace

char ClassifyDateDelimiter(std::string_view connectionString) {
    const std::string lower = ToLowerAscii(connectionString);
    const bool jetStyle = lower.find(".jet") != std::string::npos ||
                          lower.find("access driver") != std::string::npos ||
                          lower.find("excel") != std::string::npos;
    return jetStyle ? '#' : '\'';
}

std::optional<std::string> ConnectionStringValue(std::string_view connectionString,
                                                 std::string_view keyword) {
    std::size_t pos = 0;
    while (pos < connectionString.size()) {
        const auto equals = connectionString.find('=', pos);
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view key = TrimWhite(connectionString.substr(pos, equals - pos));
        std::size_t valueStart = equals + 1;
        while (valueStart < connectionString.size() && connectionString[valueStart] == ' ') {
            ++valueStart;
        }
        std::string value;
        std::size_t next = 0;
        if (valueStart < connectionString.size() && connectionString[valueStart] == '{') {
            // A braced value may hold ';'; "}}" stands for one '}'.
            std::size_t i = valueStart + 1;
            while (i < connectionString.size()) {
                if (connectionString[i] == '}') {
                    if (i + 1 < connectionString.size() && connectionString[i + 1] == '}') {
                        value.push_back('}');
                        i += 2;
                        continue;
                    }
                    break;
                }
                value.push_back(connectionString[i++]);
            }
            const auto semicolon = connectionString.find(';', i);
            next = semicolon == std::string_view::npos ? connectionString.size() : semicolon + 1;
        } else {
            const auto semicolon = connectionString.find(';', valueStart);
            const auto end =
                semicolon == std::string_view::npos ? connectionString.size() : semicolon;
            value = std::string(TrimWhite(connectionString.substr(valueStart, end - valueStart)));
            next = end == connectionString.size() ? end : end + 1;
        }
        if (EqualsIgnoreCase(key, keyword)) {
            return value;
        }
        pos = next;
    }
    return std::nullopt;
}

std::optional<std::string> NativeSqliteDatabase(std::string_view connectionString) {
    const auto driver = ConnectionStringValue(connectionString, "Driver");
    if (!driver || !EqualsIgnoreCase(TrimWhite(*driver), "SQLite3")) {
        return std::nullopt;
    }
    return ConnectionStringValue(connectionString, "Database").value_or(std::string());
}

bool NamesNativeDatabaseFile(std::string_view connectionString, const std::string& path) {
    const auto database = NativeSqliteDatabase(connectionString);
    std::error_code error;
    return database && !database->empty() && std::filesystem::equivalent(path, *database, error);
}

bool IsOleDbConnectionString(std::string_view connectionString) {
    return ConnectionStringValue(connectionString, "Provider").has_value();
}

} // namespace rill
