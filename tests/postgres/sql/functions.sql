-- Each function on days chosen at month ends, year ends and leap years
-- (1403 is a leap year, 1404 and 1405 are not).
SET datestyle = ISO, YMD;
SET IntervalStyle = postgres;

SELECT to_shamsi(date '2026-12-08') AS "1405/09/17",
       shamsi_date('1404/01/01') AS "2025-03-21",
       shamsi_trunc('month', date '2026-12-08') AS "2026-11-22",
       shamsi_add(date '2026-09-22', interval '1 month') AS "2026-10-22",
       to_shamsi(date '2026-12-08', '%A %-d %B %Y', true) AS "Tuesday 17 Azar 1405";

-- Reading and writing, both ways, in every form the reader takes.
SELECT t AS text, shamsi_date(t) AS date, to_shamsi(shamsi_date(t)) AS back
FROM (VALUES ('1404/01/01'), ('1404-1-1'), ('  ۱۴۰۵/۹/۱۷	'), ('١٤٠٣/١٢/٣٠'), ('1/1/1'), ('82/01/12'),
             ('9999/12/29'),
             ('سه شنبه  17 آذر  1405'), ('۱۷ قوس ۱۴۰۵')) AS cases(t);
SELECT shamsi_date(1403, 12, 30), shamsi_date(1, 1, 1), shamsi_date(9999, 12, 29);
SELECT f AS format, to_shamsi(date '2025-03-21', f) AS ascii, to_shamsi(date '2025-03-21', f, true) AS persian
FROM (VALUES ('%Y/%m/%d'), ('%Y-%-m-%-d'), ('%A %-d %B %Y'), ('%j'), ('100%% %B')) AS cases(f);
SELECT to_shamsi(timestamp '2025-03-20 23:59:59') AS "timestamp",
       to_shamsi(timestamp '2025-03-21 00:00', '%d %B') AS "timestamp, format";
-- A timestamptz's day is its day in the session's time zone.
SET TimeZone = 'Asia/Tehran';
SELECT to_shamsi(timestamptz '2025-03-20 21:00:00+00') AS "Tehran", to_shamsi(timestamptz '2025-03-20 20:29:59+00', '%B %d');
SET TimeZone = 'UTC';
SELECT to_shamsi(timestamptz '2025-03-20 21:00:00+00') AS "UTC";

SELECT d, to_shamsi(d), shamsi_part('year', d) AS year, shamsi_part('quarter', d) AS quarter,
       shamsi_part('month', d) AS month, shamsi_part('day', d) AS day, shamsi_part('DOY', d) AS doy,
       shamsi_part('dow', d) AS dow, to_shamsi(d, '%A')
FROM (VALUES (date '2024-09-21'), (date '2024-09-22'), (date '2025-03-20'),
             (date '2025-03-21'), (date '2025-06-21'), (date '2025-06-22'), (date '2026-12-08'),
             (date '2026-03-20')) AS cases(d);

SELECT d, to_shamsi(d), shamsi_trunc('year', d) AS year, shamsi_trunc('quarter', d) AS quarter,
       shamsi_trunc('Month', d) AS month, shamsi_trunc('week', d) AS week
FROM (VALUES (date '2025-03-20'), (date '2025-03-21'), (date '2025-09-22'), (date '2025-12-21'),
             (date '2026-01-20'), (date '2026-12-08')) AS cases(d);

SELECT to_shamsi(d) AS shamsi, i AS "interval", to_shamsi(shamsi_add(d, i)) AS result
FROM (VALUES ('1405/06/31', interval '1 month'),      -- Mehr has 30 days
             ('1405/06/31', interval '1 month 10 days'),
             ('1405/06/31', interval '2 months'),
             ('1403/11/30', interval '1 month'),      -- into Esfand of a leap year
             ('1404/11/30', interval '1 month'),      -- and of a common year
             ('1403/12/30', interval '1 year'),
             ('1403/12/30', interval '1 year 1 month'),
             ('1405/01/31', interval '-1 month'),
             ('1404/01/01', interval '-1 day'),
             ('1404/01/01', interval '-1 year -1 day'),
             ('1404/12/29', interval '366 days'),
             ('1404/01/01', interval '0')) AS cases(s, i), shamsi_date(s) AS d;

SELECT to_shamsi(l) AS later, to_shamsi(e) AS earlier, shamsi_age(l, e) AS age, shamsi_age(e, l) AS back
FROM (VALUES ('1405/09/17', '1404/01/01'),
             ('1404/12/29', '1403/12/30'),
             ('1405/07/30', '1405/06/31'),
             ('1405/07/29', '1405/06/31'),
             ('1404/12/29', '1403/11/30'),
             ('1404/01/01', '1403/12/30'),
             ('1404/01/01', '1404/01/01'),
             ('9999/12/29', '0001/01/01')) AS cases(a, b), shamsi_date(a) AS l, shamsi_date(b) AS e;

-- shamsi_add(earlier, shamsi_age(later, earlier)) = later, over five years
-- of earlier days and later days up to three years after each.
SELECT count(*) AS pairs, count(*) FILTER (WHERE shamsi_add(e, shamsi_age(l, e)) <> l) AS wrong
FROM (SELECT day::date AS e FROM generate_series(date '2023-03-01', date '2028-03-01', interval '1 day') AS day) AS days,
     generate_series(0, 1100, 37) AS n, LATERAL (SELECT e + n AS l) AS later;

-- NULL in, NULL out.
SELECT to_shamsi(NULL::date) IS NULL, to_shamsi(NULL::date, '%Y') IS NULL, to_shamsi(date '2025-03-21', NULL) IS NULL,
       shamsi_date(NULL) IS NULL, shamsi_date(1404, NULL, 1) IS NULL, shamsi_part(NULL, date '2025-03-21') IS NULL,
       shamsi_trunc('year', NULL) IS NULL, shamsi_add(NULL, interval '1 day') IS NULL, shamsi_age(NULL, NULL) IS NULL;

-- How each function is declared.
SELECT p.oid::regprocedure AS function, p.provolatile AS volatility, p.proisstrict AS strict,
       p.proparallel AS parallel
FROM pg_proc AS p JOIN pg_depend AS d ON d.objid = p.oid AND d.classid = 'pg_proc'::regclass
JOIN pg_extension AS x ON x.oid = d.refobjid AND x.extname = 'shamsi'
ORDER BY p.oid::regprocedure::text;
