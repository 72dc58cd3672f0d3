-- The shamsi extension: Shamsi (Iranian solar) dates in SQL.
\echo Use "CREATE EXTENSION shamsi" to load this file. \quit

-- Writing: "YYYY/MM/DD", or the formatter of shamsi-date --format
-- (%Y %m %d %-m %-d %B %A %j %%; Persian names), in ASCII or Persian digits.
CREATE FUNCTION to_shamsi(date) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_to_shamsi'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

CREATE FUNCTION to_shamsi(date, format text, persian_digits boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_to_shamsi_format'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- A timestamp's day is its date; a timestamptz's day is its date in the
-- session's TimeZone, as ::date takes it (so these two are STABLE).
CREATE FUNCTION to_shamsi(timestamp) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamp_to_shamsi'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

CREATE FUNCTION to_shamsi(timestamp, format text, persian_digits boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamp_to_shamsi_format'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

CREATE FUNCTION to_shamsi(timestamptz) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamptz_to_shamsi'
  LANGUAGE C STABLE STRICT PARALLEL SAFE;

CREATE FUNCTION to_shamsi(timestamptz, format text, persian_digits boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_timestamptz_to_shamsi_format'
  LANGUAGE C STABLE STRICT PARALLEL SAFE;

-- Reading: what shamsi-date to-miladi reads (Y/M/D or Y-M-D, ASCII, Persian
-- or Arabic-Indic digits), or the three numbers.
CREATE FUNCTION shamsi_date(text) RETURNS date
  AS 'MODULE_PATHNAME', 'shamsi_date_from_text'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

CREATE FUNCTION shamsi_date(year integer, month integer, day integer) RETURNS date
  AS 'MODULE_PATHNAME', 'shamsi_date_from_fields'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- year, quarter (1-4), month, day, doy (1-366), dow (0 = Saturday ... 6 = Friday).
CREATE FUNCTION shamsi_part(field text, date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_part'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The first day of the Shamsi year, quarter or month, or the Saturday that
-- starts the week.
CREATE FUNCTION shamsi_trunc(field text, date) RETURNS date
  AS 'MODULE_PATHNAME', 'shamsi_trunc'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The interval's years and months as Shamsi months (a day past the end of
-- the month reached becomes its last day), then its days.
CREATE FUNCTION shamsi_add(date, interval) RETURNS date
  AS 'MODULE_PATHNAME', 'shamsi_add'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- later - earlier in Shamsi years, months and days:
-- shamsi_add(earlier, shamsi_age(later, earlier)) = later when later >= earlier.
CREATE FUNCTION shamsi_age(later date, earlier date) RETURNS interval
  AS 'MODULE_PATHNAME', 'shamsi_age'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
