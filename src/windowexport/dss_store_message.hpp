#pragma once

#include <cstdint>
#include <string>

namespace rill {

// The readable text for a status of the regular-interval store; empty for codes without one.
// Code 53 spans three lines (CR LF between them).
std::string DssStoreMessage(std::int32_t status);

} // namespace rill
