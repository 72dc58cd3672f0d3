-- The shamsi extension, from 1.0 to 1.1: the type shamsi, fields as
-- integers without a text argument (which postgres_fdw ships to a foreign
-- server that has the extension), month names for to_shamsi, and the
-- version of the calendar's data.
\echo Use "ALTER EXTENSION shamsi UPDATE TO '1.1'" to load this file. \quit

-- Writing with the month names chosen: 'iranian' (فروردین ...), 'afghan'
-- (حمل ...) or 'english' (Farvardin ...).
CREATE FUNCTION to_shamsi(date, format text, persian_digits boolean, names text) RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_to_shamsi_names'
  LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The Shamsi year, quarter (1-4), month, day, day of the year (1-366) and
-- day of the week (0 = Saturday ... 6 = Friday) of a date.
CREATE FUNCTION shamsi_year(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_year_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_quarter(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_quarter_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_month(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_month_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_day(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_day_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_doy(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_doy_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_dow(date) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_dow_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The rule and the correction list the calendar follows, and the version of
-- the module: a change to either may change what the IMMUTABLE functions
-- return, and comes as a new extension version.
CREATE FUNCTION shamsi_calendar_version() RETURNS text
  AS 'MODULE_PATHNAME', 'shamsi_calendar_version' LANGUAGE C STABLE STRICT PARALLEL SAFE;

-- The type shamsi: a day of the Shamsi years 1-9999, four bytes held as a
-- date is (days from 2000-01-01), written YYYY/MM/DD and read as
-- shamsi_date(text) reads. Not collatable, so postgres_fdw may ship it.
CREATE TYPE shamsi;

CREATE FUNCTION shamsi_in(cstring) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_in' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_out(shamsi) RETURNS cstring
  AS 'MODULE_PATHNAME', 'shamsi_out' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_recv(internal) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_recv' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
-- Sent as a date is: four bytes, days from 2000-01-01.
CREATE FUNCTION shamsi_send(shamsi) RETURNS bytea
  AS 'date_send' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE;

CREATE TYPE shamsi (
  INPUT = shamsi_in, OUTPUT = shamsi_out, RECEIVE = shamsi_recv, SEND = shamsi_send,
  INTERNALLENGTH = 4, PASSEDBYVALUE, ALIGNMENT = int4, STORAGE = plain, CATEGORY = 'D'
);

-- The casts. shamsi -> date is implicit: every shamsi is a date, held alike,
-- so it costs nothing and never fails, and every function of a date takes
-- a shamsi (to_shamsi(s, '%B'), shamsi_add(s, ...)). date -> shamsi fails
-- outside the years 1-9999, so it is only on assignment (INSERT, UPDATE) or
-- written out (d::shamsi); implicit both ways, a shamsi compared with a
-- date would have two readings.
CREATE FUNCTION shamsi(date) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_from_date' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE CAST (shamsi AS date) WITHOUT FUNCTION AS IMPLICIT;
CREATE CAST (date AS shamsi) WITH FUNCTION shamsi(date) AS ASSIGNMENT;

-- The fields of a shamsi.
CREATE FUNCTION shamsi_year(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_year_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_quarter(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_quarter_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_month(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_month_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_day(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_day_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_doy(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_doy_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_dow(shamsi) RETURNS integer
  AS 'MODULE_PATHNAME', 'shamsi_dow_of' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- Comparison and hashing: those of a date, on the same four bytes.
CREATE FUNCTION shamsi_eq(shamsi, shamsi) RETURNS boolean AS 'date_eq' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_ne(shamsi, shamsi) RETURNS boolean AS 'date_ne' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_lt(shamsi, shamsi) RETURNS boolean AS 'date_lt' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_le(shamsi, shamsi) RETURNS boolean AS 'date_le' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_gt(shamsi, shamsi) RETURNS boolean AS 'date_gt' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_ge(shamsi, shamsi) RETURNS boolean AS 'date_ge' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_cmp(shamsi, shamsi) RETURNS integer AS 'date_cmp' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_sortsupport(internal) RETURNS void AS 'date_sortsupport' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_hash(shamsi) RETURNS integer AS 'hashint4' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;
CREATE FUNCTION shamsi_hash_extended(shamsi, bigint) RETURNS bigint AS 'hashint4extended' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE LEAKPROOF;

CREATE OPERATOR = (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_eq, COMMUTATOR = =, NEGATOR = <>,
  RESTRICT = eqsel, JOIN = eqjoinsel, HASHES, MERGES);
CREATE OPERATOR <> (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_ne, COMMUTATOR = <>, NEGATOR = =,
  RESTRICT = neqsel, JOIN = neqjoinsel);
CREATE OPERATOR < (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_lt, COMMUTATOR = >, NEGATOR = >=,
  RESTRICT = scalarltsel, JOIN = scalarltjoinsel);
CREATE OPERATOR <= (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_le, COMMUTATOR = >=, NEGATOR = >,
  RESTRICT = scalarlesel, JOIN = scalarlejoinsel);
CREATE OPERATOR > (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_gt, COMMUTATOR = <, NEGATOR = <=,
  RESTRICT = scalargtsel, JOIN = scalargtjoinsel);
CREATE OPERATOR >= (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_ge, COMMUTATOR = <=, NEGATOR = <,
  RESTRICT = scalargesel, JOIN = scalargejoinsel);

-- min and max of shamsi values, as shamsi.
CREATE FUNCTION shamsi_smaller(shamsi, shamsi) RETURNS shamsi AS 'date_smaller' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_larger(shamsi, shamsi) RETURNS shamsi AS 'date_larger' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE;
CREATE AGGREGATE min(shamsi) (SFUNC = shamsi_smaller, STYPE = shamsi, COMBINEFUNC = shamsi_smaller, SORTOP = <,
  PARALLEL = SAFE);
CREATE AGGREGATE max(shamsi) (SFUNC = shamsi_larger, STYPE = shamsi, COMBINEFUNC = shamsi_larger, SORTOP = >,
  PARALLEL = SAFE);

CREATE OPERATOR CLASS shamsi_ops DEFAULT FOR TYPE shamsi USING btree AS
  OPERATOR 1 <, OPERATOR 2 <=, OPERATOR 3 =, OPERATOR 4 >=, OPERATOR 5 >,
  FUNCTION 1 shamsi_cmp(shamsi, shamsi), FUNCTION 2 shamsi_sortsupport(internal),
  -- Equal values have equal bytes: the index may keep a value once for
  -- many rows (deduplication), as a date's does.
  FUNCTION 4 btequalimage(oid);
CREATE OPERATOR CLASS shamsi_ops DEFAULT FOR TYPE shamsi USING hash AS
  OPERATOR 1 =, FUNCTION 1 shamsi_hash(shamsi), FUNCTION 2 shamsi_hash_extended(shamsi, bigint);

-- Days: shamsi + integer and integer + shamsi, shamsi - integer (an error
-- past the years 1-9999), and shamsi - shamsi, the days between.
CREATE FUNCTION shamsi_plus_days(shamsi, integer) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_plus_days' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_days_plus(integer, shamsi) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_days_plus' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_minus_days(shamsi, integer) RETURNS shamsi
  AS 'MODULE_PATHNAME', 'shamsi_minus_days' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION shamsi_days_between(shamsi, shamsi) RETURNS integer
  AS 'date_mi' LANGUAGE internal IMMUTABLE STRICT PARALLEL SAFE;
CREATE OPERATOR + (LEFTARG = shamsi, RIGHTARG = integer, FUNCTION = shamsi_plus_days, COMMUTATOR = +);
CREATE OPERATOR + (LEFTARG = integer, RIGHTARG = shamsi, FUNCTION = shamsi_days_plus, COMMUTATOR = +);
CREATE OPERATOR - (LEFTARG = shamsi, RIGHTARG = integer, FUNCTION = shamsi_minus_days);
CREATE OPERATOR - (LEFTARG = shamsi, RIGHTARG = shamsi, FUNCTION = shamsi_days_between);
