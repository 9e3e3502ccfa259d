#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/text_output.hpp"
#include "dbsession/db_session.hpp"
#include "windowexport/export_request.hpp"

namespace rill {

// The state of one RillfetchNOW run, owned by the run and lent to the report, retrieval and
// DSS writer for the length of a call.
struct RunContext {
    ExportRequest request;
    DbSession session;
    TextOutput output;
    // Set by WriteReportHeader: today's date at 00:00 when the report was created; values
    // stamped before it are history.
    DateTime runDate = 0.0;
    // HEC-DSS state: the library's file table, the open status and the run's latest message.
    std::array<std::int32_t, 600> dssFileTable{};
    std::int32_t dssOpenStatus = 0;
    std::string dssMessage;
    // Minutes between the first two rows of the latest series that had two; a one-row
    // unit-value series is stored with it.
    std::int64_t lastStepMinutes = 0;
};

} // namespace rill
