#pragma once

#include <string_view>

#include "common/text_output.hpp"
#include "dbsession/db_session.hpp"

namespace rill::sqlexport {

// Writes one result block per item of the DSID list: the statement line, an empty line, then
// the site header, column names and rows, or a not-found or no-data line; each block ends with
// "END". A failure throws at once and leaves what was written, a partial line included.
void WriteResultBlocks(DbSession& session,
                       TextOutput& output,
                       std::string_view dsidList,
                       std::string_view statement);

} // namespace rill::sqlexport
