-- The shamsi extension, from 1.1 to 1.2: timestamps and timestamptz values
-- cast to shamsi as they cast to date, and to_shamsi of them writing the
-- time of day (%H %M %S, and %z: a timestamptz's offset in the session's
-- TimeZone).
\echo Use "ALTER EXTENSION shamsi UPDATE TO '1.2'" to load this file. \quit

-- A timestamp's day is its date; a timestamptz's is its date in the
-- session's TimeZone, so that cast is STABLE, as ::date's is. Assignment
-- casts, as core's to date are.
CREATE FUNCTION shamsi(timestamp) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_from_timestamp' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi(timestamptz) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_from_timestamptz' LANGUAGE C STABLE STRICT PARALLEL SAFE;
CREATE CAST (timestamp AS shamsi) WITH FUNCTION shamsi(timestamp) AS ASSIGNMENT;
CREATE CAST (timestamptz AS shamsi) WITH FUNCTION shamsi(timestamptz) AS ASSIGNMENT;

-- The patterns of a timestamp take the time fields: %H, %M, %S (two digits
-- each) and %z (nothing for a timestamp, which has no offset). Every pattern
-- 1.1 accepted writes what it wrote.
CREATE OR REPLACE FUNCTION to_shamsi(timestamp, format text, persian_digits boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamp_to_shamsi_time'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE OR REPLACE FUNCTION to_shamsi(timestamptz, format text, persian_digits boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamptz_to_shamsi_time'
  LANGUAGE C STABLE STRICT PARALLEL SAFE;
CREATE FUNCTION to_shamsi(timestamp, format text, persian_digits boolean, names text) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamp_to_shamsi_time'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION to_shamsi(timestamptz, format text, persian_digits boolean, names text) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamptz_to_shamsi_time'
  LANGUAGE C STABLE STRICT PARALLEL SAFE;
