-- The type shamsi: reading and writing, casts, comparison in indexes,
-- sorts, groups and joins, and arithmetic in days.
SET datestyle = ISO, YMD;
SELECT '1405/09/17'::shamsi + 40 AS plus, '1405/09/17'::shamsi - '1404/01/01'::shamsi AS between,
       40 + '1405/09/17'::shamsi AS plus_reversed, '1405/01/01'::shamsi - 1 AS minus,
       shamsi_year(date '2026-12-08') AS year, shamsi_month(date '2026-12-08') AS month,
       shamsi_day(date '2026-12-08') AS day;

-- What the type reads (all that shamsi_date reads), in each form.
SELECT t AS text, t::shamsi AS shamsi, t::shamsi::date AS date
FROM (VALUES ('1405/9/17'), ('۱۷ آذر ۱۴۰۵'), ('1404-01-01'), ('  ۱۴۰۵/۹/۱۷	'), ('١٤٠٣/١٢/٣٠'), ('1/1/1'),
             ('9999/12/29'), ('سه شنبه  17 آذر  1405'), ('۱۷ قوس ۱۴۰۵')) AS cases(t);
SELECT date '2124-03-20'::shamsi AS "1503/01/01", date '2025-03-21'::shamsi AS "1404/01/01",
       shamsi_date(1, 1, 1)::shamsi AS first, shamsi_add(shamsi_date(9999, 11, 30), interval '1 month')::shamsi AS last;

-- The casts: shamsi -> date implicit, date -> shamsi on assignment.
SELECT c.castsource::regtype AS source, c.casttarget::regtype AS target, c.castcontext AS context,
       c.castmethod AS method
FROM pg_cast AS c WHERE 'shamsi'::regtype IN (c.castsource, c.casttarget) ORDER BY 1::text, 2::text;
CREATE TABLE days (s shamsi, d date);  -- s is given a date: the assignment cast
INSERT INTO days VALUES (date '2026-12-08', date '2026-12-08');
SELECT s, d, s = d AS "shamsi = date", s + 1 AS "s + 1", d + 1 AS "d + 1", to_shamsi(s, '%A %-d %B %Y') AS formatted,
       shamsi_trunc('month', s) AS month, pg_typeof(s - s) AS "s - s", pg_typeof(s - 1) AS "s - 1"
FROM days;

-- Every day of the years 1-9999: shamsi's text is to_shamsi's and reads
-- back, its fields are shamsi_part's, and days add and subtract.
SELECT count(*) AS days,
       count(*) FILTER (WHERE s::text <> to_shamsi(d) OR s::text::shamsi <> s OR s::date <> d) AS text_wrong,
       count(*) FILTER (WHERE shamsi_year(s) <> shamsi_part('year', d) OR shamsi_month(s) <> shamsi_part('month', d)
                           OR shamsi_day(s) <> shamsi_part('day', d) OR shamsi_quarter(s) <> shamsi_part('quarter', d)
                           OR shamsi_doy(s) <> shamsi_part('doy', d) OR shamsi_dow(s) <> shamsi_part('dow', d)
                           OR shamsi_year(d) <> shamsi_year(s) OR shamsi_month(d) <> shamsi_month(s)
                           OR shamsi_day(d) <> shamsi_day(s) OR shamsi_quarter(d) <> shamsi_quarter(s)
                           OR shamsi_doy(d) <> shamsi_doy(s) OR shamsi_dow(d) <> shamsi_dow(s)) AS fields_wrong,
       count(*) FILTER (WHERE s - '0001/01/01'::shamsi <> d - shamsi_date(1, 1, 1)
                           OR '0001/01/01'::shamsi + (d - shamsi_date(1, 1, 1)) <> s
                           OR '9999/12/29'::shamsi - (shamsi_date(9999, 12, 29) - d) <> s) AS days_wrong
FROM (SELECT day::date AS d, day::date::shamsi AS s
      FROM generate_series(shamsi_date(1, 1, 1), shamsi_add(shamsi_date(9999, 11, 30), interval '1 month'),
                           interval '1 day') AS day) AS days;

-- Comparison, in plans: a btree index range scan, ORDER BY from the index,
-- GROUP BY by hashing, and hash and merge joins.
CREATE TABLE shamsi_sales AS
SELECT i AS id, (date '1990-01-01' + i % 20000)::shamsi AS s FROM generate_series(1, 100000) AS i;
CREATE INDEX shamsi_sales_s ON shamsi_sales (s);
CREATE INDEX shamsi_sales_d ON shamsi_sales ((s::date));
ANALYZE shamsi_sales;
SET enable_seqscan = off;
SET enable_bitmapscan = off;
EXPLAIN (COSTS OFF) SELECT s FROM shamsi_sales WHERE s BETWEEN '1400/01/01' AND '1400/01/31' ORDER BY s;
SELECT min(s), max(s), count(*) FROM shamsi_sales WHERE s BETWEEN '1400/01/01' AND '1400/01/31';
SELECT DISTINCT s FROM shamsi_sales WHERE s >= '1400/12/28' ORDER BY s LIMIT 3;
RESET enable_seqscan;
RESET enable_bitmapscan;
SET enable_sort = off;
EXPLAIN (COSTS OFF) SELECT s, count(*) FROM shamsi_sales GROUP BY s;
RESET enable_sort;
SELECT count(*) AS groups, sum(n) AS rows FROM (SELECT s, count(*) AS n FROM shamsi_sales GROUP BY s) AS g;
CREATE TABLE holidays (s shamsi, name text);
INSERT INTO holidays VALUES ('1400/01/01', 'Nowruz'), ('1400/01/13', 'Sizdah Bedar'), ('1401/01/01', 'Nowruz');
ANALYZE holidays;
SET enable_mergejoin = off;
SET enable_nestloop = off;
EXPLAIN (COSTS OFF) SELECT h.name, count(*) FROM shamsi_sales JOIN holidays AS h USING (s) GROUP BY 1;
SELECT h.name, count(*) FROM shamsi_sales JOIN holidays AS h USING (s) GROUP BY 1 ORDER BY 1;
SET enable_hashjoin = off;
SET enable_mergejoin = on;
EXPLAIN (COSTS OFF) SELECT h.name, count(*) FROM shamsi_sales JOIN holidays AS h USING (s) GROUP BY 1;
SELECT h.name, count(*) FROM shamsi_sales JOIN holidays AS h USING (s) GROUP BY 1 ORDER BY 1;
RESET enable_hashjoin;
RESET enable_mergejoin;
RESET enable_nestloop;

-- The operators and classes, as declared.
SELECT o.oprname AS operator, o.oprleft::regtype AS "left", o.oprright::regtype AS "right",
       o.oprresult::regtype AS result, o.oprcanhash AS hashes, o.oprcanmerge AS merges
FROM pg_operator AS o WHERE 'shamsi'::regtype IN (o.oprleft, o.oprright) ORDER BY 1, 2::text, 3::text;
SELECT a.amname AS method, c.opcname AS class, c.opcdefault AS "default"
FROM pg_opclass AS c JOIN pg_am AS a ON a.oid = c.opcmethod WHERE c.opcintype = 'shamsi'::regtype ORDER BY 1;
SELECT a.amname AS method, p.amprocnum AS number, p.amproc AS function
FROM pg_amproc AS p JOIN pg_opfamily AS f ON f.oid = p.amprocfamily JOIN pg_am AS a ON a.oid = f.opfmethod
WHERE p.amproclefttype = 'shamsi'::regtype ORDER BY 1, 2;
-- Deduplicated as a date's index is (20,000 values in 100,000 rows): the
-- same size, where without it each row would have an entry of its own.
SELECT pg_relation_size('shamsi_sales_s') AS shamsi, pg_relation_size('shamsi_sales_d') AS date;
SELECT typlen, typbyval, typcollation = 0 AS not_collatable, typcategory FROM pg_type WHERE oid = 'shamsi'::regtype;

-- to_shamsi with month names.
SELECT n AS names, to_shamsi(date '2026-12-08', '%A, %-d %B %Y', false, n) AS ascii,
       to_shamsi(date '2026-12-08', '%-d %B %Y', true, n) AS persian
FROM (VALUES ('iranian'), ('afghan'), ('english')) AS cases(n);
SELECT to_shamsi(date '2026-12-08', '%A, %-d %B %Y', false, 'english') AS "Tuesday, 17 Azar 1405",
       '17 Azar 1405'::shamsi AS "17 Azar 1405", 'Tuesday, 17 azar 1405'::shamsi AS "Tuesday, 17 azar 1405";
-- What each set of names writes, the type reads back: every day of the
-- years 1300-1500.
SELECT n AS names, count(*) AS days,
       count(*) FILTER (WHERE to_shamsi(d, '%A %-d %B %Y', false, n)::shamsi <> d::shamsi
                           OR to_shamsi(d, '%-d %B %Y', true, n)::shamsi <> d::shamsi) AS wrong
FROM (VALUES ('iranian'), ('afghan'), ('english')) AS cases(n),
     generate_series(shamsi_date(1300, 1, 1), shamsi_date(1500, 12, 29), interval '1 day') AS day, CAST(day AS date) AS d
GROUP BY n ORDER BY n;
