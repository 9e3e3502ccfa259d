#!/usr/bin/env bash
# RillfetchNOW writing a 1,000,000-row window against the sqlite3 shell writing the same rows
# with .mode tabs. Needs a release build:
#   cmake -S . -B build/report-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRILLFETCH_BUILD_TESTS=OFF
#   cmake --build build/report-release --target RillfetchNOW
# usage: bench/report/run.sh [BUILD_DIR]   (hyperfine, faketime, sqlite3, /usr/bin/time)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/report-release}
work=$(mktemp -d /tmp/rillfetch-bench-report.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$here/make_data.sh" "$work/wellspan.db"
cp "$build/bin/RillfetchNOW" "$work/"
printf 'Driver=SQLite3;Database=%s\r\n' "$work/wellspan.db" >"$work/Wellspan_setup.txt"

# The run sees 1 January 2012; the window -800 .. 0 days holds every row of DSID 1024.
clock="2012-01-01 12:00:00"
report="faketime '$clock' $work/RillfetchNOW 'rhour, 1024, -800, 0'"
query="select datatype_site_id, date_time, value from rhour where datatype_site_id=1024 \
and date_time between '2009-10-23 00:00:00' and '2012-01-01 00:00:00' order by date_time;"
shell="sqlite3 -cmd '.mode tabs' $work/wellspan.db \"$query\" >$work/shell.txt"

eval "$report"
lines=$(grep -c ' >> ' "$work/RillfetchOutput.txt")
echo "value lines in the report: $lines"
[ "$lines" -eq 1000000 ] || { echo "expected 1000000 value lines" >&2; exit 1; }
eval "$shell"
echo "rows written by the shell: $(wc -l <"$work/shell.txt")"

hyperfine --warmup 2 --runs 10 \
    --command-name RillfetchNOW "$report" \
    --command-name "sqlite3 .mode tabs" "$shell"

/usr/bin/time -v bash -c "$report" 2>&1 | grep -E 'Maximum resident|Elapsed'
