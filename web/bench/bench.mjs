// The npm package against the JavaScript calendars people use, on the same
// dates, in runs that alternate: the median time of each over the rounds,
// and their ratio. Then the days on which the peers give another date.
//
// Usage: node bench.mjs PACKAGE_FOLDER [ROUNDS]
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import { format as dateFnsFormat } from 'date-fns-jalali';
import { d2j, toJalaali } from 'jalaali-js';

const calendar = await import(pathToFileURL(join(process.argv[2], 'index.js')));
const rounds = Number(process.argv[3] ?? 11);

const DAY = 86_400_000;
const JULIAN_DAY_OF_1970 = 2440588;

// Dates from 1900 to 2299, the same for every run.
function days(count) {
  const first = Date.UTC(1900, 0, 1) / DAY;
  const span = Date.UTC(2300, 0, 1) / DAY - first;
  const out = new Int32Array(count);
  let seed = 12345;
  for (let i = 0; i < count; ++i) {
    seed = (Math.imul(seed, 1103515245) + 12345) >>> 0;
    out[i] = first + (seed % span);
  }
  return out;
}

function miladi(dayList) {
  const year = new Int32Array(dayList.length);
  const month = new Int32Array(dayList.length);
  const day = new Int32Array(dayList.length);
  dayList.forEach((d, i) => {
    const date = new Date(d * DAY);
    year[i] = date.getUTCFullYear();
    month[i] = date.getUTCMonth() + 1;
    day[i] = date.getUTCDate();
  });
  return { year, month, day };
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

let sink = 0;

// Runs each contender once a round, in turn, after a round to warm up;
// returns the median time of each, per item.
function race(items, contenders) {
  const times = contenders.map(() => []);
  for (let round = -1; round < rounds; ++round) {
    contenders.forEach(([, run], i) => {
      const start = process.hrtime.bigint();
      sink += run();
      const ns = Number(process.hrtime.bigint() - start) / items;
      if (round >= 0) {
        times[i].push(ns);
      }
    });
  }
  return times.map(median);
}

function report(title, items, contenders, unit = 'ns a date') {
  const [ours, peer] = race(items, contenders);
  console.log(`${title}`);
  console.log(`  ${contenders[0][0]}: ${ours.toFixed(1)} ${unit}`);
  console.log(`  ${contenders[1][0]}: ${peer.toFixed(1)} ${unit}`);
  console.log(`  ratio: ${(peer / ours).toFixed(1)}x`);
}

// 1. One date, numbers in and out.
{
  const n = 200_000;
  const { year, month, day } = miladi(days(n));
  report('Miladi to Shamsi, one date a call', n, [
    [
      'shamsi-date toShamsi',
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += calendar.toShamsi(year[i], month[i], day[i]).day;
        }
        return sum;
      },
    ],
    [
      'jalaali-js toJalaali',
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += toJalaali(year[i], month[i], day[i]).jd;
        }
        return sum;
      },
    ],
  ]);
}

// 2. Two million days at once.
{
  const n = 2_000_000;
  const dayList = days(n);
  report('2,000,000 days to Shamsi dates', n, [
    ['shamsi-date shamsiFromDays', () => calendar.shamsiFromDays(dayList).day[n - 1]],
    [
      'jalaali-js d2j loop',
      () => {
        const year = new Int32Array(n);
        const month = new Int32Array(n);
        const day = new Int32Array(n);
        for (let i = 0; i < n; ++i) {
          const date = d2j(dayList[i] + JULIAN_DAY_OF_1970);
          year[i] = date.jy;
          month[i] = date.jm;
          day[i] = date.jd;
        }
        return day[n - 1];
      },
    ],
  ]);
}

// 3. A date written as text. The peer is given its Date objects ready made.
{
  const n = 100_000;
  const { year, month, day } = miladi(days(n));
  const dates = Array.from(year, (y, i) => new Date(y, month[i] - 1, day[i]));
  report('Miladi date to "yyyy/MM/dd" Shamsi text', n, [
    [
      "shamsi-date formatShamsi(toShamsi(...))",
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += calendar.formatShamsi(calendar.toShamsi(year[i], month[i], day[i])).length;
        }
        return sum;
      },
    ],
    [
      "date-fns-jalali format(date, 'yyyy/MM/dd')",
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += dateFnsFormat(dates[i], 'yyyy/MM/dd').length;
        }
        return sum;
      },
    ],
  ]);
}

// 4. An instant's Shamsi date and time in Tehran, against Intl's own
// Persian calendar in Tehran: both made once (the formatter, the options),
// the same instants. The package learns each UTC day's offsets from Intl
// the first time it meets the day; the warm-up round meets them all, so the
// rounds measure what a program converting many instants of the same days
// pays. The first pass through a zone the package has not seen is timed too.
{
  const n = 100_000;
  const instants = Array.from(days(n), (day, i) => new Date(day * DAY + ((i * 7919) % 86_400) * 1000));
  const options = { timeZone: 'Asia/Tehran' };
  const persian = new Intl.DateTimeFormat('fa-IR-u-ca-persian', { timeZone: 'Asia/Tehran' });
  const cold = { timeZone: 'Asia/Kabul' };
  const start = process.hrtime.bigint();
  for (const date of instants) {
    sink += calendar.toShamsi(date, cold).second;
  }
  const coldNs = Number(process.hrtime.bigint() - start) / n;
  report("An instant's Shamsi date and time in Asia/Tehran", n, [
    [
      "shamsi-date toShamsi(date, {timeZone: 'Asia/Tehran'})",
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += calendar.toShamsi(instants[i], options).second;
        }
        return sum;
      },
    ],
    [
      "Intl.DateTimeFormat('fa-IR-u-ca-persian', {timeZone: 'Asia/Tehran'}).formatToParts(date)",
      () => {
        let sum = 0;
        for (let i = 0; i < n; ++i) {
          sum += persian.formatToParts(instants[i]).length;
        }
        return sum;
      },
    ],
  ]);
  console.log(`  (shamsi-date's first pass through Asia/Kabul, learning its offsets: ${coldNs.toFixed(1)} ns a date)`);
}

// 5. The days of 1900-2399 on which the peers give another date.
{
  const first = Date.UTC(1900, 0, 1) / DAY;
  const last = Date.UTC(2400, 0, 1) / DAY - 1;
  const differ = { 'jalaali-js': [], 'date-fns-jalali': [] };
  for (let d = first; d <= last; ++d) {
    const date = new Date(d * DAY);
    const [y, m, dd] = [date.getUTCFullYear(), date.getUTCMonth() + 1, date.getUTCDate()];
    const ours = calendar.formatShamsi(calendar.toShamsi(y, m, dd));
    const j = toJalaali(y, m, dd);
    const theirs = `${String(j.jy).padStart(4, '0')}/${String(j.jm).padStart(2, '0')}/${String(j.jd).padStart(2, '0')}`;
    if (theirs !== ours) {
      differ['jalaali-js'].push([date.toISOString().slice(0, 10), ours, theirs]);
    }
    const fns = dateFnsFormat(new Date(y, m - 1, dd), 'yyyy/MM/dd');
    if (fns !== ours) {
      differ['date-fns-jalali'].push([date.toISOString().slice(0, 10), ours, fns]);
    }
  }
  console.log('Days of 1900-2399 on which a peer gives another Shamsi date');
  for (const [peer, list] of Object.entries(differ)) {
    // Runs of days one after another.
    const spans = [];
    for (const [miladi, ours, theirs] of list) {
      const last = spans.at(-1);
      if (last && Date.parse(miladi) - Date.parse(last.to) === DAY) {
        last.to = miladi;
        ++last.days;
      } else {
        spans.push({ from: miladi, to: miladi, days: 1, ours, theirs });
      }
    }
    console.log(`  ${peer}: ${list.length} days in ${spans.length} spans`);
    for (const span of spans) {
      console.log(`    ${span.from} to ${span.to} (${span.days} days): first ours ${span.ours}, theirs ${span.theirs}`);
    }
  }
}

if (sink === 0.5) {
  console.log(sink);
}
