-- A database on 1.0, with an index, a generated column and a partition key
-- on 1.0's functions, updated to the current version: the index still
-- serves, and the objects are those a fresh one has.
CREATE DATABASE shamsi_update;
\c shamsi_update
SET datestyle = ISO, YMD;
CREATE EXTENSION shamsi VERSION '1.0';
CREATE TABLE sales (id integer, d date,
                    month text GENERATED ALWAYS AS (to_shamsi(d, '%Y/%m')) STORED);
INSERT INTO sales (id, d) SELECT i, date '2020-01-01' + i FROM generate_series(1, 5000) AS i;
CREATE INDEX sales_shamsi ON sales (to_shamsi(d));
CREATE TABLE events (at date) PARTITION BY LIST (shamsi_part('year', at));
CREATE TABLE events_1405 PARTITION OF events FOR VALUES IN (1405);
INSERT INTO events VALUES ('2026-12-08');
ALTER EXTENSION shamsi UPDATE;
SELECT extversion FROM pg_extension WHERE extname = 'shamsi';
ANALYZE sales;
SET enable_seqscan = off;
EXPLAIN (COSTS OFF) SELECT id, month FROM sales WHERE to_shamsi(d) = '1405/09/17';
SELECT id, month, d::shamsi FROM sales WHERE to_shamsi(d) = '1405/09/17';
RESET enable_seqscan;
INSERT INTO events VALUES ('2026-12-09');
SELECT at, shamsi_year(at), at::shamsi AS shamsi FROM events ORDER BY 1;
-- The objects after the update, then after a fresh CREATE EXTENSION.
CREATE TEMPORARY TABLE updated AS
SELECT pg_describe_object(classid, objid, 0) AS object FROM pg_depend
WHERE refclassid = 'pg_extension'::regclass AND deptype = 'e'
  AND refobjid = (SELECT oid FROM pg_extension WHERE extname = 'shamsi');
DROP EXTENSION shamsi CASCADE;
CREATE EXTENSION shamsi;
CREATE TEMPORARY TABLE fresh AS
SELECT pg_describe_object(classid, objid, 0) AS object FROM pg_depend
WHERE refclassid = 'pg_extension'::regclass AND deptype = 'e'
  AND refobjid = (SELECT oid FROM pg_extension WHERE extname = 'shamsi');
SELECT (SELECT count(*) FROM updated) AS updated, (SELECT count(*) FROM fresh) AS fresh,
       (SELECT count(*) FROM (SELECT * FROM updated EXCEPT SELECT * FROM fresh) AS d) AS only_updated,
       (SELECT count(*) FROM (SELECT * FROM fresh EXCEPT SELECT * FROM updated) AS d) AS only_fresh;
\c postgres
DROP DATABASE shamsi_update;

-- A database on 1.1 with an index on a timestamp's pattern, updated to 1.2:
-- the index still serves and gives what 1.2 computes; the casts come.
CREATE DATABASE shamsi_update_11;
\c shamsi_update_11
SET datestyle = ISO, YMD;
CREATE EXTENSION shamsi VERSION '1.1';
CREATE TABLE visits (id integer, at timestamp);
INSERT INTO visits SELECT i, timestamp '2026-01-01 10:00' + i * interval '7 hours' FROM generate_series(1, 5000) AS i;
CREATE INDEX visits_month ON visits (to_shamsi(at, '%Y/%m'));
ALTER EXTENSION shamsi UPDATE;
SELECT extversion FROM pg_extension WHERE extname = 'shamsi';
ANALYZE visits;
SET enable_seqscan = off;
EXPLAIN (COSTS OFF) SELECT count(*) FROM visits WHERE to_shamsi(at, '%Y/%m') = '1405/09';
SELECT count(*) FROM visits WHERE to_shamsi(at, '%Y/%m') = '1405/09';
RESET enable_seqscan;
SELECT count(*) FROM visits WHERE to_shamsi(at, '%Y/%m') = '1405/09' AND at::shamsi BETWEEN '1405/09/01' AND '1405/09/30';
SELECT to_shamsi(at, '%Y/%m/%d %H:%M') FROM visits WHERE id = 1;
\c postgres
DROP DATABASE shamsi_update_11;
