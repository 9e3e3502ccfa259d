#!/usr/bin/env bash
# Times RillfetchSQL through psqlODBC against `psql \copy` of the same 1,000,000 rows from the
# test PostgreSQL server (scripts/test-services start). Goal: at most 2.0 times \copy.
# Needs a release build (see run.sh). usage: bench/sqlexport/run_pg.sh [path/to/RillfetchSQL]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../../build/sql-release/bin/RillfetchSQL}")
work=/tmp/rillfetch-sqlexport-bench-pg
export PGPASSWORD=rillfetch_admin
psql_admin=(psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p 55432 -U rillfetch_admin -d rillfetch_test)

mkdir -p "$work/prog"
cp "$program" "$work/prog/RillfetchSQL"
"${psql_admin[@]}" <<'SQL'
CREATE SCHEMA IF NOT EXISTS bench;
DROP TABLE IF EXISTS bench.rsite, bench.rhour;
CREATE TABLE bench.rsite (datatype_site_id integer PRIMARY KEY, site_name text, datatype_name text,
                          unit_name text, datatype_id smallint, state text, notes text);
INSERT INTO bench.rsite VALUES (1, 'Long Gauge', 'Flow', 'cfs', 19, 'ID', NULL);
CREATE TABLE bench.rhour (datatype_site_id integer, date_time timestamp, value double precision);
INSERT INTO bench.rhour
SELECT 1, timestamp '1900-01-01' + i * interval '1 hour', ((i::bigint * 7919) % 100000) / 100.0
FROM generate_series(0, 999999) AS i;
CREATE INDEX ON bench.rhour (datatype_site_id, date_time);
ANALYZE bench.rhour;
SQL

# UseDeclareFetch makes psqlODBC fetch in blocks instead of holding the whole result.
printf 'Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=55432;Database=rillfetch_test;Username=rillfetch_admin;Password=rillfetch_admin;UseDeclareFetch=1;Fetch=10000\r\n' \
    >"$work/prog/Wellspan_setup.txt"
sql="SELECT date_time, value FROM bench.rhour WHERE datatype_site_id=DSID ORDER BY date_time"
# RillfetchSQL also reads the site row, as its blocks need it; rsite resolves through search_path.
"${psql_admin[@]}" -c "ALTER ROLE rillfetch_admin SET search_path = bench, public"

hyperfine --warmup 1 --runs 5 \
    -n "RillfetchSQL (psqlODBC)" "'$work/prog/RillfetchSQL' '1; $sql; $work/long.txt'" \
    -n "psql \\copy" "${psql_admin[*]} -c \"\\copy (${sql//DSID/1}) TO '$work/long-copy.tsv'\""

peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'; }
echo "peak resident memory (kB), RillfetchSQL: $(peak "$work/prog/RillfetchSQL" "1; $sql; $work/long.txt")"
echo "rows written: $(grep -c $'\t\r$' "$work/long.txt") (header included)"
"${psql_admin[@]}" -c "ALTER ROLE rillfetch_admin RESET search_path"
