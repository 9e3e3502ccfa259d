#!/usr/bin/env bash
# Times RillfetchSQL against the sqlite3 shell (.mode tabs) on the same rows, and measures the
# peak resident memory of both. Goals: the 1,000,000-row export in at most 0.8 times the
# shell's time with a peak resident memory under 16 MB (rows stream); 1,000 DSIDs x 24 rows no
# slower than the shell running the same 2,000 queries in one process. Needs a release build:
#   cmake -S . -B build/sql-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DRILLFETCH_BUILD_TESTS=OFF
#   cmake --build build/sql-release --target RillfetchSQL
# usage: bench/sqlexport/run.sh [path/to/RillfetchSQL] [work folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../../build/sql-release/bin/RillfetchSQL}")
work=${2:-/tmp/rillfetch-sqlexport-bench}

mkdir -p "$work/prog"
cp "$program" "$work/prog/RillfetchSQL"
db="$work/bench.db"
[ -f "$db" ] || "$here/make_data.sh" "$db"
printf 'Driver=SQLite3;Database=%s\r\n' "$db" >"$work/prog/Wellspan_setup.txt"

long_sql="SELECT date_time, value FROM rhour WHERE datatype_site_id=DSID ORDER BY date_time"
many_dsids=$(seq -s ' ' 1001 2000)

# The shell runs the same queries in one process: for every DSID the site query, then the data.
{
    echo ".mode tabs"
    for id in $(seq 1001 2000); do
        echo "Select site_name,datatype_name,unit_name,datatype_id, state from rsite where datatype_site_id=$id;"
        echo "${long_sql//DSID/$id};"
    done
} >"$work/many.sql"


echo "== 1,000,000 rows of one DSID"
hyperfine --warmup 2 --runs 10 \
    -n RillfetchSQL "'$work/prog/RillfetchSQL' '1; $long_sql; $work/long.txt'" \
    -n "sqlite3 .mode tabs" "sqlite3 -batch -cmd '.mode tabs' '$db' '${long_sql//DSID/1}' >'$work/long-shell.txt'"

echo "== 1,000 DSIDs x 24 rows"
hyperfine --warmup 2 --runs 20 \
    -n RillfetchSQL "'$work/prog/RillfetchSQL' '$many_dsids; $long_sql; $work/many.txt'" \
    -n "sqlite3 .mode tabs" "sqlite3 -batch '$db' <'$work/many.sql' >'$work/many-shell.txt'"

echo "== peak resident memory (kB)"
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }
echo "RillfetchSQL 1M rows:       $(peak "$work/prog/RillfetchSQL" "1; $long_sql; $work/long.txt")"
echo "sqlite3 shell 1M rows:      $(peak sqlite3 -batch -cmd '.mode tabs' "$db" "${long_sql//DSID/1}")"
echo "RillfetchSQL 1,000 DSIDs:   $(peak "$work/prog/RillfetchSQL" "$many_dsids; $long_sql; $work/many.txt")"
echo "rows written: $(grep -c $'\t\r$' "$work/long.txt") (1M run, header included)"
