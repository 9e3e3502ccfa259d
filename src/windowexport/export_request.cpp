#include "windowexport/export_request.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "platform/platform.hpp"

namespace rill {

double LeadingNumericValue(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            compact.push_back(c);
        }
    }
    // The longest prefix of the form [sign] digits [. digits] [exponent [sign] digits].
    std::size_t pos = 0;
    std::string number;
    if (pos < compact.size() && (compact[pos] == '+' || compact[pos] == '-')) {
        number.push_back(compact[pos++]);
    }
    bool digits = false;
    while (pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9') {
        number.push_back(compact[pos++]);
        digits = true;
    }
    if (pos < compact.size() && compact[pos] == '.') {
        number.push_back(compact[pos++]);
        while (pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9') {
            number.push_back(compact[pos++]);
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (pos < compact.size() && (compact[pos] == 'e' || compact[pos] == 'E' ||
                                 compact[pos] == 'd' || compact[pos] == 'D')) {
        std::size_t expPos = pos + 1;
        std::string exponent = "e";
        if (expPos < compact.size() && (compact[expPos] == '+' || compact[expPos] == '-')) {
            exponent.push_back(compact[expPos++]);
        }
        bool expDigits = false;
        while (expPos < compact.size() && compact[expPos] >= '0' && compact[expPos] <= '9') {
            exponent.push_back(compact[expPos++]);
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    const char* begin = number.data();
    if (*begin == '+') {
        ++begin;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(begin, number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Out of range either way: too large is an overflow, too small is (nearly) zero. The
        // text holds only digits, '.', 'e' and signs, and the programs keep the C locale.
        value = std::strtod(number.c_str(), nullptr);
        if (std::isinf(value)) {
            throw RunError("Overflow: the number " + number + " is out of range");
        }
    }
    return value;
}

namespace {

// The window's dates must be ones the report and the queries can write with four-digit years:
// 1 January 100 up to the end of 31 December 9999.
void CheckWindowDate(DateTime value, std::string_view argument, std::string_view word) {
    if (!IsCalendarDateTime(value)) {
        throw RunError("Overflow: " + std::string(word) + " " + std::string(TrimBlanks(argument)) +
                       " puts the window outside the years 100 to 9999");
    }
}

} // namespace

ExportRequest ParseExportArguments(std::string_view commandText,
                                   const std::string& programDirectory,
                                   const std::string& defaultOutputPath,
                                   DateTime today) {
    const auto args = SplitAll(commandText, ',');
    if (args.size() < 4) {
        throw RunError("Too few arguments: " + std::to_string(args.size()) +
                       " given, at least 4 needed (table, DSID list, sdate, edate)");
    }
    ExportRequest request;
    request.tableName = std::string(TrimBlanks(args[0]));
    request.dsidList = std::string(TrimBlanks(args[1]));
    request.windowStart = today + LeadingNumericValue(args[2]);
    if (ToLowerAscii(request.tableName) == "runit") {
        request.windowStart += kUnitTableStartShiftDays;
    }
    request.windowEnd = today + LeadingNumericValue(args[3]);
    CheckWindowDate(request.windowStart, args[2], "sdate");
    CheckWindowDate(request.windowEnd, args[3], "edate");
    request.outputPath = defaultOutputPath;
    if (args.size() >= 5) {
        const std::string name(TrimBlanks(args[4]));
        request.remoteName = name;
        request.dssMode = name.size() >= 4 && EndsWithIgnoreCase(name, ".DSS");
        request.outputPath =
            platform::IsBareFileName(name) ? platform::JoinPath(programDirectory, name) : name;
        if (args.size() >= 6) {
            request.webPassword = std::string(TrimBlanks(args[5]));
        }
    }
    if (request.dssMode) {
        request.dssPath = request.outputPath;
        request.outputPath = defaultOutputPath;
    }
    return request;
}

} // namespace rill
