#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/date_time.hpp"

namespace rill {

struct RunContext;

// The rows of one DSID as read for the DSS file, in time order.
struct DssRows {
    std::vector<DateTime> times;
    std::vector<float> values;
};

// How a value table's rows are spaced, from the table name.
struct DssInterval {
    std::string ePart;     // empty for a table that names no interval
    bool subDaily = false; // hourly and unit values
    enum class Unit { None, Minutes, Months } unit = Unit::None;
    std::int64_t length = 0; // minutes, or months
};

// The E part and spacing of a table: RYEAR, RMONTH, RDAY, RHOUR and RUNIT (which takes the
// series' own step in minutes) in any letter case; any other table names no interval.
DssInterval IntervalOfTable(const std::string& queryTable, std::int64_t stepMinutes);

// Whole minutes between two time stamps, each first taken down to its minute.
std::int64_t StepMinutes(DateTime first, DateTime second);

// The regular series to store: each value in the slot of its own time stamp counted in
// intervals from the first row, slots without a row holding the missing flag. A table
// without an interval keeps the values in row order.
std::vector<float> FillSlots(const DssRows& rows, const DssInterval& interval);

// "dd MMM yyyy" and "HHMM" of the first value, with midnight written as 2400 of the day before
// for hourly and unit values, and of the same day for the others.
struct DssStart {
    std::string date;
    std::string time;
};
DssStart StartDateAndTime(DateTime firstTime, bool subDaily);

// Opens (or creates) the DSS file of the request; keeps the status in the context.
void OpenDssFile(RunContext& context);

// Closes the DSS file and writes the run's DSS message line and the "DSS output file: " line.
void CloseDssFile(RunContext& context);

// Stores one DSID's rows as a regular-interval series and logs the store. `stepMinutes` is the
// step between the first two rows of the latest series that had two (0 before any).
void WriteDssSeries(RunContext& context,
                    const std::string& dssDescriptor,
                    const std::string& queryTable,
                    const DssRows& rows,
                    std::int64_t stepMinutes);

} // namespace rill
