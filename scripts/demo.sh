#!/usr/bin/env bash
# Builds the release programs, creates the demo database and its connection setup file beside
# them, runs one export and shows the report.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps
cmake --preset release >/dev/null
cmake --build --preset release -j2

bin="$PWD/build/release/bin"
rm -f "$bin/wellspan-demo.db"
sqlite3 "$bin/wellspan-demo.db" < scripts/demo-database.sql
printf 'Driver=SQLite3;Database=%s\r\n' "$bin/wellspan-demo.db" > "$bin/Wellspan_setup.txt"

status=0
"$bin/RillfetchNOW" rhour, 1024 15033 16033, -1, 2 || status=$?
echo "--- $bin/RillfetchOutput.txt (exit status $status)"
tr -d '\r' < "$bin/RillfetchOutput.txt"
exit "$status"
