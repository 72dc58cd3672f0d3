-- Every error, with its SQLSTATE, message, detail and hint: 22007
-- unreadable text, 22008 no such day or outside the years 1-9999, 22023 a
-- bad field, pattern, names or interval.
SET datestyle = ISO, YMD;
SET IntervalStyle = postgres;
CREATE FUNCTION pg_temp.try(query text) RETURNS text LANGUAGE plpgsql AS $$
DECLARE
  detail text;
  hint text;
BEGIN
  EXECUTE query;
  RETURN 'no error';
EXCEPTION WHEN OTHERS THEN
  GET STACKED DIAGNOSTICS detail = PG_EXCEPTION_DETAIL, hint = PG_EXCEPTION_HINT;
  RETURN SQLSTATE || ': ' || SQLERRM || coalesce(nullif(E'\n  DETAIL: ' || detail, E'\n  DETAIL: '), '')
         || coalesce(nullif(E'\n  HINT: ' || hint, E'\n  HINT: '), '');
END $$;
SELECT query, pg_temp.try('SELECT ' || query) AS error
FROM (VALUES ('shamsi_date(''1404/12/30'')'),
             ('shamsi_date(''1404/13/01'')'),
             ('shamsi_date(''1404/07/31'')'),
             ('shamsi_date(''10000/01/01'')'),
             ('shamsi_date(''0/01/01'')'),
             ('shamsi_date(''1404.01.01'')'),
             ('shamsi_date(''1404/01'')'),
             ('shamsi_date('''')'),
             ('shamsi_date(''جمعه 17 آذر 1405'')'),
             ('shamsi_date(1404, 12, 30)'),
             ('shamsi_date(1404, 0, 1)'),
             ('shamsi_date(0, 1, 1)'),
             ('shamsi_date(10000, 1, 1)'),
             ('to_shamsi(date ''0001-01-01'')'),
             ('to_shamsi(date ''12000-01-01'')'),
             ('to_shamsi(''infinity''::date)'),
             ('to_shamsi(''-infinity''::timestamp)'),
             ('to_shamsi(date ''2025-03-21'', ''%Y %q'')'),
             ('to_shamsi(date ''2025-03-21'', ''%Y %'', true)'),
             ('shamsi_part(''week'', date ''2025-03-21'')'),
             ('shamsi_part(''decade'', date ''2025-03-21'')'),
             ('shamsi_part(''year'', date ''0500-01-01'')'),
             ('shamsi_trunc(''day'', date ''2025-03-21'')'),
             ('shamsi_trunc(''year '', date ''2025-03-21'')'),
             ('shamsi_add(date ''2025-03-21'', interval ''1 hour'')'),
             ('shamsi_add(date ''2025-03-21'', interval ''1 day 00:00:01'')'),
             ('shamsi_add(date ''2025-03-21'', interval ''100000 years'')'),
             ('shamsi_add(date ''2025-03-21'', interval ''-2000000 days'')'),
             ('shamsi_age(date ''2025-03-21'', date ''0500-03-20'')'),
             ('to_shamsi(date ''2025-03-21'', ''%B'', false, ''Iranian'')'),
             ('to_shamsi(date ''2025-03-21'', ''%B'', false, '''')'),
             ('''1404/12/30''::shamsi'),
             ('''1404-1''::shamsi'),
             ('''10000/01/01''::shamsi'),
             ('date ''0500-01-01''::shamsi'),
             ('''infinity''::date::shamsi'),
             ('''9999/12/29''::shamsi + 1'),
             ('''0001/01/01''::shamsi - 1'),
             ('''0001/01/01''::shamsi + 2147483647'),
             ('shamsi_year(date ''12000-01-01'')'),
             ('shamsi_dow(''-infinity''::date)'),
             ('shamsi_date(repeat(''۱'', 300))'),
             ('to_shamsi(date ''2025-03-21'', ''%'' || repeat(''آ'', 100))')) AS cases(query);

-- Just outside the first and the last day (1 Farvardin 1, the last day of
-- Esfand 9999), where the messages name the day.
SELECT query, split_part(pg_temp.try('SELECT ' || query), ':', 1) AS sqlstate
FROM (VALUES ('to_shamsi(shamsi_date(1, 1, 1) - 1)'),
             ('to_shamsi(shamsi_add(shamsi_date(9999, 11, 30), interval ''1 month'') + 1)'),
             ('shamsi_add(shamsi_date(1, 1, 1), interval ''-1 day'')'),
             ('shamsi_add(shamsi_date(1, 1, 31), interval ''-1 month'')'),
             ('shamsi_add(shamsi_date(9999, 12, 29), interval ''1 month'')'),
             ('shamsi_add(shamsi_add(shamsi_date(9999, 11, 30), interval ''1 month''), interval ''1 day'')'),
             ('shamsi_age(date ''2025-03-21'', shamsi_date(1, 1, 1) - 1)')) AS cases(query);

-- In a database of another encoding, texts are converted from and to it:
-- in LATIN1, ASCII digits pass and Persian names, which LATIN1 cannot hold,
-- are an error; in SQL_ASCII, which converts nothing, the UTF-8 bytes pass
-- as they are.
CREATE DATABASE shamsi_latin1 ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
CREATE DATABASE shamsi_ascii ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0;
\c shamsi_latin1
SET datestyle = ISO, YMD;
CREATE EXTENSION shamsi;
SELECT to_shamsi(date '2026-12-08', '%Y-%m-%d'), shamsi_date('1405/09/17');
SELECT to_shamsi(date '2026-12-08', '%B');
\c shamsi_ascii
SET datestyle = ISO, YMD;
CREATE EXTENSION shamsi;
SELECT to_shamsi(date '2026-12-08', '%A %-d %B %Y', true), shamsi_date('۱۴۰۵/۹/۱۷');
