#include "hecdss/dss_dump.hpp"

#include <charconv>
#include <ostream>
#include <sstream>

#include "hecdss/dss_error.hpp"
#include "hecdss/dss_file.hpp"
#include "hecdss/dss_pathname.hpp"
#include "hecdss/dss_values.hpp"

namespace hecdss {
namespace {

constexpr std::string_view kUsage =
    "Usage: dssdump FILE [PATHNAME... | --all]\n"
    "  dssdump FILE             list the pathnames of the records in FILE\n"
    "  dssdump FILE PATHNAME    print the values of a record as date, time and value lines;\n"
    "                           a pathname with an empty D part prints every block of the series\n"
    "  dssdump FILE --all       print the values of every record\n"
    "Exit status: 0 done, 1 a file or record could not be read, 2 wrong arguments.\n";

// "06Jan2009 24:00"; seconds are shown only when the time has some.
std::string FormatTime(const DssTime& time) {
    std::string text = FormatDateTime(time);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, ":00") == 0) {
        text.resize(text.size() - 3);
    }
    return text;
}

std::string FormatValue(float value) {
    if (IsMissing(value)) {
        return "M";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void PrintValues(std::ostream& out,
                 const std::vector<DssTime>& times,
                 const std::vector<float>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << FormatTime(times[i]) << "  " << FormatValue(values[i]) << '\n';
    }
}

// Prints one record or, for a pathname without D part, every block of its series.
bool PrintSeries(const DssFile& file, const std::string& pathname, std::ostream& out) {
    const auto parts = SplitPathname(pathname);
    if (parts && (*parts)[3].empty()) {
        const auto series = file.ReadRegularSeries(pathname);
        if (!series) {
            return false;
        }
        out << pathname << "  units " << series->units << "  type " << series->type << '\n';
        PrintValues(out, series->times, series->values);
        return true;
    }
    const auto record = file.ReadRecord(pathname);
    if (!record) {
        return false;
    }
    out << record->pathname << "  units " << record->units << "  type " << record->type << '\n';
    PrintValues(out, record->times, record->values);
    return true;
}

} // namespace

int RunDssDump(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (!arguments.empty() && (arguments.front() == "--help" || arguments.front() == "-h")) {
        out << kUsage;
        return 0;
    }
    if (arguments.empty() || arguments.front().empty() || arguments.front().front() == '-') {
        err << kUsage;
        return 2;
    }
    try {
        const DssFile file =
            DssFile::Open(arguments.front(),
                          {.mode = OpenMode::ReadOnly, .lockTimeout = std::chrono::seconds(2)});
        std::vector<std::string> wanted(arguments.begin() + 1, arguments.end());
        if (wanted.empty()) {
            for (const std::string& pathname : file.ListPathnames()) {
                out << pathname << '\n';
            }
            return 0;
        }
        if (wanted.size() == 1 && wanted.front() == "--all") {
            wanted = file.ListPathnames();
        }
        int status = 0;
        bool printed = false;
        for (const std::string& pathname : wanted) {
            std::ostringstream text;
            try {
                if (!PrintSeries(file, pathname, text)) {
                    err << "dssdump: no record " << pathname << " in " << arguments.front() << '\n';
                    status = 1;
                    continue;
                }
            } catch (const DssError& error) {
                // Records of other kinds (paired data, text, doubles) are skipped, not fatal.
                if (error.Kind() != DssErrorKind::Unsupported) {
                    throw;
                }
                err << "dssdump: " << error.what() << '\n';
                status = 1;
                continue;
            }
            out << (printed ? "\n" : "") << text.str();
            printed = true;
        }
        return status;
    } catch (const DssError& error) {
        err << "dssdump: " << error.what() << '\n';
        return 1;
    }
}

} // namespace hecdss
