-- What a trusted extension owes the server: long patterns refused at once,
-- messages valid in any client encoding, no C++ exception out of the
-- module, formatters kept only when good, the calendar's version; and
-- CREATE EXTENSION by a role that is not a superuser.
SET datestyle = ISO, YMD;
CREATE FUNCTION pg_temp.try(query text) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
  EXECUTE query;
  RETURN 'no error';
EXCEPTION WHEN OTHERS THEN
  RETURN SQLSTATE || ': ' || SQLERRM;
END $$;

-- A pattern of 256 bytes is read; one of 257, or of 100 million, is not.
SELECT length(to_shamsi(date '2026-12-08', repeat('%Y', 128))) AS "256 bytes",
       pg_temp.try($$SELECT to_shamsi(date '2026-12-08', repeat('%Y', 128) || 'x')$$) AS "257 bytes",
       pg_temp.try($$SELECT to_shamsi(date '2026-12-08', repeat('%Y', 50000000))$$) AS "100 million bytes";

-- A message holding Persian text reaches a WIN1256 client whole, and the
-- unknown field is a whole character.
SET client_encoding = 'WIN1256';
\set VERBOSITY sqlstate
SELECT to_shamsi(current_date, '%آ');
SELECT shamsi_date('۱۴۰۵/۱۳/۰۱');
SELECT shamsi_date('آذر');
\set VERBOSITY default
RESET client_encoding;
SELECT pg_temp.try($$SELECT to_shamsi(current_date, '%آ')$$);

-- Every entry point turns a C++ exception into an error, and the session
-- goes on.
CREATE TEMPORARY TABLE one AS SELECT '1405/09/17'::shamsi AS s;
SET shamsi.debug_throw = bad_alloc;
SELECT query, pg_temp.try('SELECT ' || query) AS error
FROM (VALUES ('to_shamsi(date ''2026-12-08'')'), ('to_shamsi(date ''2026-12-08'', ''%Y'')'),
             ('to_shamsi(date ''2026-12-08'', ''%Y'', false, ''afghan'')'),
             ('to_shamsi(timestamp ''2026-12-08 10:00'')'), ('to_shamsi(timestamp ''2026-12-08 10:00'', ''%Y'')'),
             ('to_shamsi(timestamptz ''2026-12-08 10:00+00'')'), ('to_shamsi(timestamptz ''2026-12-08 10:00+00'', ''%Y'')'),
             ('to_shamsi(timestamp ''2026-12-08 10:00'', ''%Y'', false, ''afghan'')'),
             ('to_shamsi(timestamptz ''2026-12-08 10:00+00'', ''%Y'', false, ''afghan'')'),
             ('timestamp ''2026-12-08 10:00''::shamsi'), ('timestamptz ''2026-12-08 10:00+00''::shamsi'),
             ('shamsi_date(''1405/09/17'')'), ('shamsi_date(1405, 9, 17)'), ('shamsi_part(''year'', date ''2026-12-08'')'),
             ('shamsi_year(date ''2026-12-08'')'), ('shamsi_quarter(date ''2026-12-08'')'),
             ('shamsi_month(date ''2026-12-08'')'), ('shamsi_day(date ''2026-12-08'')'), ('shamsi_doy(date ''2026-12-08'')'),
             ('shamsi_dow(date ''2026-12-08'')'), ('shamsi_trunc(''year'', date ''2026-12-08'')'),
             ('shamsi_add(date ''2026-12-08'', interval ''1 day'')'), ('shamsi_age(date ''2026-12-08'', date ''2026-12-01'')'),
             ('''1405/09/17''::shamsi'), ('s::text FROM one'), ('shamsi(date ''2026-12-08'')'),
             ('s + 1 FROM one'), ('1 + s FROM one'), ('s - 1 FROM one'), ('shamsi_year(s) FROM one'),
             ('shamsi_calendar_version()')) AS cases(query);
SET shamsi.debug_throw = runtime_error;
SELECT pg_temp.try($$SELECT shamsi_year(date '2026-12-08')$$);
RESET shamsi.debug_throw;
SELECT to_shamsi(date '2026-12-08', '%Y/%m/%d') AS "after them", '1405/09/17'::shamsi + 1 AS "and";
-- Not for everyone.
CREATE ROLE regress_shamsi_plain;
SET ROLE regress_shamsi_plain;
SELECT pg_temp.try($$SET shamsi.debug_throw = bad_alloc$$);
RESET ROLE;

-- One call site given a bad pattern, then a good one, then the bad one
-- again: each bad call is an error, each good one the date.
CREATE FUNCTION pg_temp.alternate() RETURNS SETOF text LANGUAGE plpgsql AS $$
DECLARE
  pattern text;
BEGIN
  FOREACH pattern IN ARRAY ARRAY['%Y %q', '%Y/%m/%d', '%Y %q', '%Y %q', '%-d %B', '%Y %'] LOOP
    BEGIN
      RETURN NEXT pattern || ' -> ' || to_shamsi(date '2026-12-08', pattern);
    EXCEPTION WHEN OTHERS THEN
      RETURN NEXT pattern || ' -> ' || SQLSTATE;
    END;
  END LOOP;
END $$;
SELECT pg_temp.alternate();
SELECT p AS pattern, pg_temp.try(format('SELECT to_shamsi(d, p) FROM (VALUES (date %L, %L), (date %L, %L)) AS t(d, p)',
                                        '2026-12-08', '%Y', '2026-12-09', p)) AS "two rows, one call site"
FROM (VALUES ('%Y'), ('%q'), ('%m')) AS cases(p);

-- The calendar's data and the version of the module, which is the
-- extension's.
SELECT shamsi_calendar_version();
SELECT shamsi_calendar_version() LIKE 'shamsi ' || extversion || ';%' AS "module is the extension's version"
FROM pg_extension WHERE extname = 'shamsi';

-- The extension is trusted: a role that is no superuser, with CREATE on the
-- database, creates it, owns it, and uses it.
CREATE DATABASE shamsi_trusted;
GRANT CREATE ON DATABASE shamsi_trusted TO regress_shamsi_plain;
\c shamsi_trusted
SET datestyle = ISO, YMD;
GRANT CREATE ON SCHEMA public TO regress_shamsi_plain;
SET ROLE regress_shamsi_plain;
CREATE EXTENSION shamsi;
SELECT '1405/09/17'::shamsi + 1 AS "shamsi", to_shamsi(date '2026-12-08', '%B', false, 'afghan') AS "to_shamsi",
       shamsi_year(date '2026-12-08') AS "shamsi_year";
RESET ROLE;
SELECT e.extversion, r.rolname AS owner, r.rolsuper AS superuser
FROM pg_extension AS e JOIN pg_roles AS r ON r.oid = e.extowner WHERE e.extname = 'shamsi';
\c postgres
DROP DATABASE shamsi_trusted;
DROP ROLE regress_shamsi_plain;
