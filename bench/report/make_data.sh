#!/usr/bin/env bash
# Builds the benchmark database: one series of 1,000,000 one-minute values in rhour from
# 2010-01-01 00:00, plus a second series interleaved so the query has to pick its rows.
# usage: make_data.sh DATABASE [ROWS]
set -euo pipefail
db=$1
rows=${2:-1000000}
rm -f "$db"
sqlite3 "$db" <<SQL
CREATE TABLE rsite (datatype_site_id INTEGER PRIMARY KEY, site_name TEXT, datatype_name TEXT,
                    unit_name TEXT, datatype_id INTEGER, state TEXT, notes TEXT);
CREATE TABLE rupdate (datatype_site_id INTEGER, value DATETIME, site_name TEXT);
CREATE TABLE rhour (datatype_site_id INTEGER, date_time DATETIME, value REAL,
                    PRIMARY KEY (datatype_site_id, date_time));
INSERT INTO rsite VALUES (1024, 'North Fork', 'Flow', 'cfs', 4, 'ID', 'Benchmark');
INSERT INTO rsite VALUES (1025, 'South Fork', 'Flow', 'cfs', 4, 'ID', NULL);
INSERT INTO rupdate VALUES (-1, '2012-01-01 12:15:00', NULL);
INSERT INTO rupdate VALUES (0, NULL, 'Data are provisional.');
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < $rows - 1)
INSERT INTO rhour
SELECT 1024, strftime('%Y-%m-%d %H:%M:%S', '2010-01-01', '+' || i || ' minutes'),
       -- values from 0.001 to about 20000 with up to three decimals, some negative
       (CASE WHEN i % 17 = 0 THEN -1 ELSE 1 END) * ((i * 7919) % 20000003) / 1000.0
FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 99999)
INSERT INTO rhour
SELECT 1025, strftime('%Y-%m-%d %H:%M:%S', '2010-01-01', '+' || (i * 10) || ' minutes'), i / 10.0
FROM n;
COMMIT;
ANALYZE;
SQL
