#include "sqlexport/sql_export_request.hpp"
#include "sqlexport/sql_export_run.hpp"

int main(int argc, char** argv) {
    return rill::sqlexport::RunSqlExport(rill::sqlexport::ArgumentText(argc, argv));
}
