#!/usr/bin/env bash
# Builds the benchmark database: DSID 1 with 1,000,000 hourly rows, DSIDs 1001-2000 with 24
# hourly rows each, an rsite row for every DSID, and an index on (datatype_site_id, date_time).
# usage: make_data.sh OUTPUT.db
set -euo pipefail
db=${1:?usage: make_data.sh OUTPUT.db}
rm -f "$db"
sqlite3 "$db" >/dev/null <<'SQL'
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
CREATE TABLE rsite(datatype_site_id INTEGER PRIMARY KEY, site_name TEXT, datatype_name TEXT,
                   unit_name TEXT, datatype_id INTEGER, state TEXT, notes TEXT);
CREATE TABLE rhour(datatype_site_id INTEGER, date_time DATETIME, value REAL);
BEGIN;
INSERT INTO rsite VALUES (1, 'Long Gauge', 'Flow', 'cfs', 19, 'ID', NULL);
WITH RECURSIVE n(i) AS (SELECT 1001 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
INSERT INTO rsite SELECT i, 'Site ' || i, 'Stage', 'ft', 65, 'ID', NULL FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999999)
INSERT INTO rhour
SELECT 1, datetime('1900-01-01', '+' || i || ' hours'), ((i * 7919) % 100000) / 100.0 FROM n;
WITH RECURSIVE d(i) AS (SELECT 1001 UNION ALL SELECT i + 1 FROM d WHERE i < 2000),
               h(j) AS (SELECT 0 UNION ALL SELECT j + 1 FROM h WHERE j < 23)
INSERT INTO rhour
SELECT i, datetime('2014-11-13', '+' || j || ' hours'), ((i * 31 + j * 7) % 5000) / 10.0 - 100.0
FROM d, h;
COMMIT;
CREATE INDEX rhour_dsid_time ON rhour(datatype_site_id, date_time);
ANALYZE;
SQL
echo "wrote $db: $(sqlite3 "$db" 'SELECT count(*) FROM rhour') rows in rhour"
