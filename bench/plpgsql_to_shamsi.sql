-- The benchmark's peer: a Shamsi converter in PL/pgSQL on the 33-year
-- cycle, written the way such functions are shared for pasting into a
-- database: the day count from 1 Farvardin 1 (21 March 622) split into
-- years by the cycle's 12053 days in 33 years (8 leap years, the years whose
-- remainder by 33 is 1, 5, 9, 13, 17, 22, 26 or 30), then into months of
-- 31 and 30 days, written as YYYY/MM/DD.
CREATE FUNCTION plpgsql_to_shamsi(miladi date) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  days bigint := miladi - date '0622-03-21';
  years_before bigint;
  day_of_year integer;
  shamsi_month integer;
  shamsi_day integer;
BEGIN
  IF days < 0 THEN
    RAISE EXCEPTION 'date % is before 1 Farvardin 1', miladi;
  END IF;
  years_before := (33 * days + 3) / 12053;
  day_of_year := days - (365 * years_before + (8 * (years_before + 1) + 21) / 33);
  IF day_of_year < 186 THEN
    shamsi_month := day_of_year / 31 + 1;
    shamsi_day := day_of_year % 31 + 1;
  ELSE
    shamsi_month := (day_of_year - 186) / 30 + 7;
    shamsi_day := (day_of_year - 186) % 30 + 1;
  END IF;
  RETURN lpad((years_before + 1)::text, 4, '0') || '/' || lpad(shamsi_month::text, 2, '0') || '/'
         || lpad(shamsi_day::text, 2, '0');
END
$$;
