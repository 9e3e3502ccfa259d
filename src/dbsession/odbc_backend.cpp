#include "common/run_error.hpp"
#include "dbsession/backend.hpp"

namespace rill {

std::unique_ptr<DbBackend> OpenOdbcBackend(const std::string& connectionString) {
    (void)connectionString;
    throw RunError("ODBC connections are not available in this build yet");
}

} // namespace rill
