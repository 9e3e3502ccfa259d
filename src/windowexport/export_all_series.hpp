#pragma once

namespace rill {

struct RunContext;

// Writes one block of the report for every DSID item of the request: the description from
// rsite and the values inside the window, one line each, streamed from the database. A
// run-time error ends the loop at once; the block being written gets no closing empty line.
void ExportAllSeries(RunContext& context);

} // namespace rill
