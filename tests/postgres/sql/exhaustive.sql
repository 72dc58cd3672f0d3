-- Every day of the Shamsi years 1-9999 round-trips, as text and as
-- numbers; the days follow one another; the years and months are all there.
-- The last day is the end of Esfand 9999 (Bahman's 30th day moved on by a
-- month is Esfand's last), whichever length the calendar gives it. (The
-- test script also compares every one of these days with shamsi-date.)
SET datestyle = ISO, YMD;
SET IntervalStyle = postgres;
SELECT count(*) = shamsi_add(shamsi_date(9999, 11, 30), interval '1 month') - shamsi_date(1, 1, 1) + 1 AS every_day,
       count(*) FILTER (WHERE shamsi_date(to_shamsi(d)) <> d) AS text_wrong,
       count(*) FILTER (WHERE shamsi_date(shamsi_part('year', d), shamsi_part('month', d), shamsi_part('day', d)) <> d)
         AS fields_wrong,
       count(*) FILTER (WHERE shamsi_part('day', d) <> 1 AND shamsi_part('day', d - 1) <> shamsi_part('day', d) - 1)
         AS not_consecutive,
       count(DISTINCT shamsi_trunc('year', d)) AS years,
       count(DISTINCT shamsi_trunc('month', d)) AS months
FROM (SELECT day::date AS d
      FROM generate_series(shamsi_date(1, 1, 1), shamsi_add(shamsi_date(9999, 11, 30), interval '1 month'),
                           interval '1 day') AS day) AS days;
