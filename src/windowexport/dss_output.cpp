#include "windowexport/dss_output.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "hecdss/heclib.hpp"
#include "windowexport/dss_store_message.hpp"
#include "windowexport/export_request.hpp"
#include "windowexport/run_context.hpp"

namespace rill {

namespace {

// The missing-value flag of DSS 7 files.
constexpr float kDssMissing = -std::numeric_limits<float>::max();

constexpr std::size_t kPartWidth = 32;
constexpr std::size_t kConditionWidth = 23;
constexpr std::size_t kUnitsWidth = 8;
constexpr std::size_t kPathnameWidth = 80;

// A text as it comes out of a fixed-width field: cut to the width, then trimmed of blanks.
std::string FixedField(std::string_view text, std::size_t width) {
    return std::string(TrimBlanks(text.substr(0, std::min(width, text.size()))));
}

// The minute a time stamp falls in (its seconds dropped), counted from the zero date.
std::int64_t MinuteOf(DateTime value) {
    const auto ms = static_cast<std::int64_t>(std::llround(value * 86'400'000.0));
    return ms >= 0 ? ms / 60'000 : -((-ms + 59'999) / 60'000);
}

std::int64_t MonthIndex(DateTime value) {
    const CivilDateTime civil = ToCivil(value);
    return static_cast<std::int64_t>(civil.year) * 12 + (civil.month - 1);
}

std::int32_t ToInt32(std::size_t count, const char* what) {
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw RunError(std::string("Overflow: too many values in ") + what);
    }
    return static_cast<std::int32_t>(count);
}

// The data type of the stored series, from the datatype_id of the descriptor.
std::string DataTypeOf(std::string_view datatypeField, bool subDaily) {
    const double number = std::nearbyint(LeadingNumericValue(datatypeField));
    if (number < std::numeric_limits<std::int16_t>::min() ||
        number > std::numeric_limits<std::int16_t>::max()) {
        throw RunError("Overflow: datatype_id " + std::string(datatypeField) +
                       " is outside the 16-bit range");
    }
    switch (static_cast<int>(number)) {
    case 9:
        return "INST-CUM";
    case 10:
    case 11:
    case 27:
        return "PER-CUM";
    default:
        return subDaily ? "INST-VAL" : "PER-AVER";
    }
}

} // namespace

DssInterval IntervalOfTable(const std::string& queryTable, std::int64_t stepMinutes) {
    const std::string upper = ToUpperAscii(queryTable);
    DssInterval interval;
    if (upper == "RYEAR") {
        interval = {"1YEAR", false, DssInterval::Unit::Months, 12};
    } else if (upper == "RMONTH") {
        interval = {"1MONTH", false, DssInterval::Unit::Months, 1};
    } else if (upper == "RDAY") {
        interval = {"1DAY", false, DssInterval::Unit::Minutes, 1440};
    } else if (upper == "RHOUR") {
        interval = {"1HOUR", true, DssInterval::Unit::Minutes, 60};
    } else if (upper == "RUNIT") {
        interval = {
            std::to_string(stepMinutes) + "MIN", true, DssInterval::Unit::Minutes, stepMinutes};
    }
    return interval;
}

std::int64_t StepMinutes(DateTime first, DateTime second) {
    return MinuteOf(second) - MinuteOf(first);
}

std::vector<float> FillSlots(const DssRows& rows, const DssInterval& interval) {
    if (rows.values.empty() || interval.unit == DssInterval::Unit::None || interval.length <= 0) {
        return rows.values;
    }
    const DateTime first = rows.times.front();
    auto slotOf = [&](DateTime time) -> std::int64_t {
        if (interval.unit == DssInterval::Unit::Months) {
            return (MonthIndex(time) - MonthIndex(first)) / interval.length;
        }
        const double minutes = (time - first) * 1440.0;
        return static_cast<std::int64_t>(
            std::llround(minutes / static_cast<double>(interval.length)));
    };
    const std::int64_t lastSlot = slotOf(rows.times.back());
    if (lastSlot < 0 || lastSlot >= std::numeric_limits<std::int32_t>::max()) {
        throw RunError("Overflow: the series spans too many intervals to store");
    }
    std::vector<float> slots(static_cast<std::size_t>(lastSlot) + 1, kDssMissing);
    for (std::size_t i = 0; i < rows.values.size(); ++i) {
        const std::int64_t slot = slotOf(rows.times[i]);
        if (slot >= 0 && slot <= lastSlot) {
            slots[static_cast<std::size_t>(slot)] = rows.values[i];
        }
    }
    return slots;
}

DssStart StartDateAndTime(DateTime firstTime, bool subDaily) {
    auto dateText = [](DateTime value) {
        const CivilDateTime civil = ToCivil(value);
        char buffer[32];
        std::snprintf(buffer,
                      sizeof buffer,
                      "%02d %s %04d",
                      civil.day,
                      std::string(MonthAbbrev(civil.month)).c_str(),
                      civil.year);
        return std::string(buffer);
    };
    const CivilDateTime civil = ToCivil(firstTime);
    char time[8];
    std::snprintf(time, sizeof time, "%02d%02d", civil.hour, civil.minute);
    DssStart start{dateText(firstTime), time};
    if (start.time == "0000") {
        if (subDaily) {
            start.date = dateText(firstTime - 1.0);
        }
        start.time = "2400";
    }
    return start;
}

void OpenDssFile(RunContext& context) {
    const std::string& path = context.request.dssPath;
    std::int32_t status = 0;
    ZOPEN_(context.dssFileTable.data(), path.data(), &status, ToInt32(path.size(), "the DSS path"));
    context.dssOpenStatus = status;
}

void CloseDssFile(RunContext& context) {
    // The close flushes the stored series to the disk: a failure there loses data.
    if (CloseDssFileTable(context.dssFileTable.data()) != 0) {
        throw RunError("Cannot close DSS file " + context.request.dssPath +
                       ": the stored series may not have reached the disk");
    }
    context.output.WriteLine(context.dssMessage);
    context.output.WriteLine("DSS output file: " + context.request.dssPath);
}

void WriteDssSeries(RunContext& context,
                    const std::string& dssDescriptor,
                    const std::string& queryTable,
                    const DssRows& rows,
                    std::int64_t stepMinutes) {
    const DssInterval interval = IntervalOfTable(queryTable, stepMinutes);

    std::vector<std::string> fields = SplitAll(dssDescriptor, ';');
    fields.resize(std::max<std::size_t>(fields.size(), 6));
    const std::string& dsid = fields[5];
    const std::string lastThree = dsid.size() > 3 ? dsid.substr(dsid.size() - 3) : dsid;

    const DssStart start = StartDateAndTime(rows.times.front(), interval.subDaily);
    const std::string a = FixedField(fields[4] + lastThree, kPartWidth);
    const std::string b = FixedField(FixedField(dsid + " " + fields[2], kPartWidth), kPartWidth);
    const std::string c = ToUpperAscii(FixedField(fields[0], kConditionWidth));
    const std::string d = FixedField(start.date, kPartWidth);
    const std::string e = FixedField(interval.ePart, kPartWidth);
    const std::string f = "MSA";
    const std::string units = FixedField(ToUpperAscii(fields[1]), kUnitsWidth);
    const std::string type = DataTypeOf(fields[3], interval.subDaily);

    std::string pathField(kPathnameWidth, ' ');
    std::int32_t pathLength = 0;
    ZPATH_(a.data(),
           b.data(),
           c.data(),
           d.data(),
           e.data(),
           f.data(),
           pathField.data(),
           &pathLength,
           ToInt32(a.size(), "A"),
           ToInt32(b.size(), "B"),
           ToInt32(c.size(), "C"),
           ToInt32(d.size(), "D"),
           ToInt32(e.size(), "E"),
           ToInt32(f.size(), "F"),
           static_cast<std::int32_t>(kPathnameWidth));
    std::string pathname(TrimBlanks(pathField));

    std::int32_t checkStatus = 0;
    ZCHKPN_(pathname.data(), &pathLength, &checkStatus, ToInt32(pathname.size(), "the pathname"));
    if (checkStatus != 0) {
        return;
    }

    std::vector<float> values = FillSlots(rows, interval);
    std::int32_t count = ToInt32(values.size(), "the series");
    std::int32_t plan = 0;
    std::int32_t storeStatus = 0;
    ZSRTS_(context.dssFileTable.data(),
           pathname.data(),
           start.date.data(),
           start.time.data(),
           &count,
           values.data(),
           units.data(),
           type.data(),
           &plan,
           &storeStatus,
           pathLength,
           ToInt32(start.date.size(), "the date"),
           ToInt32(start.time.size(), "the time"),
           ToInt32(units.size(), "the units"),
           ToInt32(type.size(), "the type"));
    if (storeStatus > 0) {
        context.dssMessage = dssDescriptor + ": " + DssStoreMessage(storeStatus);
    }
    context.output.WriteLine(dssDescriptor + " values: " + std::to_string(rows.values.size()) +
                             " ");
    context.output.WriteLine(context.dssMessage);
}

} // namespace rill
