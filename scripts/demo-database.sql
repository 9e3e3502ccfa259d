-- The demo Wellspan database: a few realistic series around the day it is made, from 30 days
-- back to 7 days ahead, so every window the usage text shows has data.
-- Run with: sqlite3 wellspan-demo.db < scripts/demo-database.sql
PRAGMA synchronous = OFF;
BEGIN;

CREATE TABLE rsite (
    datatype_site_id INTEGER PRIMARY KEY,
    site_name TEXT,
    datatype_name TEXT,
    unit_name TEXT,
    datatype_id INTEGER,
    state TEXT,
    notes TEXT
);
CREATE TABLE rupdate (datatype_site_id INTEGER PRIMARY KEY, value DATETIME, site_name TEXT);
CREATE TABLE rhour (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE rday (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE runit (datatype_site_id INTEGER, date_time DATETIME, value REAL);

INSERT INTO rsite VALUES
  (1024, 'Millrace Creek near Alder Flat', 'Stage', 'ft', 4, 'UT', 'Provisional'),
  (15033, 'Green River at Jensen', 'Flow', 'cfs', 17, 'UT', NULL),
  (16033, 'Alder Flat SNOTEL', 'Precip', 'in', 9, 'UT', 'Accumulated since Oct 1'),
  (17033, 'Starvation Reservoir', 'Elevation', 'ft', 2, 'UT', ''),
  (18033, 'Alder Flat SNOTEL', 'Daily Precip', 'in', 10, 'UT', 'Daily totals');

-- Row -1: the next scheduled run (the next full hour); row 0: the text that closes every report.
INSERT INTO rupdate VALUES
  (-1, strftime('%Y-%m-%d %H:00:00', 'now', 'localtime', '+1 hour'), NULL),
  (0, NULL, 'Data are provisional and subject to revision.');

-- Hour steps from 30 days back to 7 days ahead.
CREATE TEMP TABLE hours AS
  WITH RECURSIVE h(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM h WHERE n < 37 * 24)
  SELECT n, datetime('now', 'localtime', 'start of day', '-30 days', n || ' hours') AS t FROM h;

INSERT INTO rhour SELECT 1024, t, round(3.2 + 0.35 * sin(n * 2 * pi() / 24) + 0.0002 * n, 2) FROM hours;
INSERT INTO rhour SELECT 15033, t, round(1180 + 140 * sin(n * 2 * pi() / 24 - 1.1) + 0.4 * n, 0) FROM hours;
INSERT INTO rhour SELECT 16033, t, round(12.4 + 0.1 * (n / 40), 1) FROM hours;
INSERT INTO rhour SELECT 17033, t, round(5712.34 - 0.004 * n, 2) FROM hours;

-- Daily values at midnight, and the daily precipitation series that lives only in rday.
INSERT INTO rday SELECT 18033, t, round(abs(0.35 * sin(n * 0.7)), 2) FROM hours WHERE n % 24 = 0;
INSERT INTO rday SELECT 1024, t, round(3.2 + 0.0002 * n, 2) FROM hours WHERE n % 24 = 0;
INSERT INTO rday SELECT 15033, t, round(1180 + 0.4 * n, 0) FROM hours WHERE n % 24 = 0;

-- Unit values every 15 minutes.
CREATE TEMP TABLE quarters AS
  WITH RECURSIVE q(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM q WHERE n < 37 * 96)
  SELECT n, datetime('now', 'localtime', 'start of day', '-30 days', (n * 15) || ' minutes') AS t FROM q;

INSERT INTO runit SELECT 1024, t, round(3.2 + 0.35 * sin(n * 2 * pi() / 96) + 0.00005 * n, 2) FROM quarters;
INSERT INTO runit SELECT 15033, t, round(1180 + 140 * sin(n * 2 * pi() / 96 - 1.1) + 0.1 * n, 0) FROM quarters;
INSERT INTO runit SELECT 16033, t, round(12.4 + 0.1 * (n / 160), 1) FROM quarters;
INSERT INTO runit SELECT 17033, t, round(5712.34 - 0.001 * n, 2) FROM quarters;

CREATE INDEX rhour_series ON rhour (datatype_site_id, date_time);
CREATE INDEX rday_series ON rday (datatype_site_id, date_time);
CREATE INDEX runit_series ON runit (datatype_site_id, date_time);

COMMIT;
