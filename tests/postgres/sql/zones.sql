-- Timestamps and timestamptz values (extension version 1.2): the casts to
-- shamsi, declared as core's casts to date are, and to_shamsi's time fields;
-- a timestamptz is taken in the session's TimeZone.
SET datestyle = ISO, YMD;
SELECT c.castsource::regtype AS source, c.casttarget::regtype AS target, c.castcontext AS context,
       p.provolatile AS volatility,
       (SELECT castcontext FROM pg_cast WHERE castsource = c.castsource AND casttarget = 'date'::regtype) AS "to date"
FROM pg_cast AS c JOIN pg_proc AS p ON p.oid = c.castfunc
WHERE c.casttarget = 'shamsi'::regtype ORDER BY 1;

-- 2026-12-08T22:00:00Z was 1405/09/18 01:30 in Tehran.
SET TimeZone = 'Asia/Tehran';
SELECT timestamptz '2026-12-08 22:00:00+00'::shamsi AS "Tehran",
       to_shamsi(timestamptz '2026-12-08 22:00:00+00', '%Y/%m/%d %H:%M:%S %z') AS "Tehran, time",
       to_shamsi(timestamptz '2026-12-08 22:00:00+00', '%A %-d %B %Y %H:%M', true) AS "Persian digits",
       to_shamsi(timestamptz '2026-12-08 22:00:00+00', '%-d %B %Y, %H:%M %z', false, 'english') AS "English names";
SET TimeZone = 'UTC';
SELECT timestamptz '2026-12-08 22:00:00+00'::shamsi AS "UTC",
       to_shamsi(timestamptz '2026-12-08 22:00:00+00', '%Y/%m/%d %H:%M:%S %z') AS "UTC, time";
SET TimeZone = 'America/New_York';
SELECT to_shamsi(t, '%Y/%m/%d %H:%M:%S %z') AS "New York", t::shamsi AS shamsi
FROM (VALUES (timestamptz '2026-03-08 06:59:59+00'), (timestamptz '2026-03-08 07:00:00+00'),
             (timestamptz '2026-11-01 05:59:59+00'), (timestamptz '2026-11-01 06:00:00+00')) AS cases(t);
-- Tehran's local mean time, an offset with seconds.
SET TimeZone = 'Asia/Tehran';
SELECT to_shamsi(timestamptz '1900-01-01 00:00:00+00', '%Y/%m/%d %H:%M:%S %z') AS "local mean time";

-- A timestamp is a wall time of no place: %z writes nothing, and its day is its date.
SELECT to_shamsi(timestamp '2025-03-20 23:59:59', '%Y/%m/%d %H:%M:%S|%z|') AS "timestamp",
       timestamp '2025-03-20 23:59:59'::shamsi AS "its day", timestamp '2025-03-21 00:00:00'::shamsi AS "the next",
       to_shamsi(timestamp '2025-03-21 08:05:09', '%H%M%S', true) AS "Persian digits",
       to_shamsi(timestamp '2025-03-21 08:05:09', '%B %H', false, 'afghan') AS "Afghan names";
-- What 1.1 wrote, 1.2 writes the same.
SELECT to_shamsi(timestamp '2025-03-20 23:59:59') AS plain, to_shamsi(timestamp '2025-03-21 00:00', '%d %B') AS pattern;

-- Assignment casts, as to date: a timestamp goes into a shamsi column.
CREATE TEMPORARY TABLE visits (day shamsi);
INSERT INTO visits VALUES (timestamp '2026-12-08 10:00'), (timestamptz '2026-12-08 22:00:00+00');
SELECT day FROM visits ORDER BY day;

-- A date has no time of day; days outside the years 1-9999 and infinity are refused.
CREATE FUNCTION pg_temp.try(query text) RETURNS text LANGUAGE plpgsql AS $$
DECLARE
  detail text;
  hint text;
BEGIN
  EXECUTE query;
  RETURN 'no error';
EXCEPTION WHEN OTHERS THEN
  GET STACKED DIAGNOSTICS detail = PG_EXCEPTION_DETAIL, hint = PG_EXCEPTION_HINT;
  RETURN SQLSTATE || ': ' || SQLERRM || coalesce(E'\n  DETAIL: ' || nullif(detail, ''), '')
         || coalesce(E'\n  HINT: ' || nullif(hint, ''), '');
END $$;
SELECT query, pg_temp.try('SELECT ' || query) AS error
FROM (VALUES ('to_shamsi(date ''2026-12-08'', ''%Y %H'')'),
             ('to_shamsi(date ''2026-12-08'', ''%z'', false, ''afghan'')'),
             ('to_shamsi(timestamp ''2026-12-08 10:00'', ''%H %q'')'),
             ('timestamp ''0500-01-01 00:00''::shamsi'),
             ('''infinity''::timestamp::shamsi'),
             ('''-infinity''::timestamptz::shamsi'),
             ('to_shamsi(''infinity''::timestamptz, ''%H'')'),
             ('to_shamsi(timestamptz ''0622-03-20 20:00:00+00'', ''%Y %H'')')) AS cases(query);
-- The first instant of the years 1-9999 is in them in UTC, but not west of it.
SET TimeZone = 'UTC';
SELECT to_shamsi(timestamptz '0622-03-21 00:00:00+00', '%Y/%m/%d %H:%M:%S %z') AS "first, UTC";
SET TimeZone = 'America/New_York';
SELECT pg_temp.try($$SELECT timestamptz '0622-03-21 00:00:00+00'::shamsi$$) AS "first, New York";
RESET TimeZone;
