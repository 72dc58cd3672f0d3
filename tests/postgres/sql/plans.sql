-- The functions in plans: a parallel scan over a large table, and an
-- expression index used for an equality search.
SET datestyle = ISO, YMD;
SET IntervalStyle = postgres;
CREATE TABLE sales AS
SELECT i AS id, (date '1990-01-01' + i % 20000) AS d FROM generate_series(1, 200000) AS i;
ANALYZE sales;

SET max_parallel_workers_per_gather = 2;
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
EXPLAIN (COSTS OFF)
SELECT shamsi_trunc('month', d) AS month, count(*) FROM sales WHERE to_shamsi(d) >= '1400/01/01' GROUP BY 1;
SELECT shamsi_trunc('month', d) AS month, count(*) FROM sales
WHERE to_shamsi(d) >= '1400/01/01' GROUP BY 1 ORDER BY 1 LIMIT 3;
RESET max_parallel_workers_per_gather;
RESET parallel_setup_cost;
RESET parallel_tuple_cost;
RESET min_parallel_table_scan_size;

CREATE INDEX sales_shamsi ON sales (to_shamsi(d));
ANALYZE sales;
EXPLAIN (COSTS OFF) SELECT id FROM sales WHERE to_shamsi(d) = '1405/09/17';
SELECT id, d FROM sales WHERE to_shamsi(d) = '1405/09/17' ORDER BY id;
-- A timestamptz's Shamsi day depends on the time zone: no index on it.
CREATE TABLE visits (at timestamptz);
CREATE INDEX ON visits (to_shamsi(at));
