// Instants and time zones through the npm package under Node, against the
// zone oracle (tests/zones/zone_cases.py: Python's zoneinfo over the
// system's tzdata): toShamsi, formatShamsi and fromShamsi of a Date, with a
// timeZone and in the runtime's own zone; the times clocks skip and repeat;
// and the arguments the package cannot take.
//
// SHAMSI_DATE_PACKAGE: the folder the package was installed to.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

const calendar = await import(
  pathToFileURL(join(process.env.SHAMSI_DATE_PACKAGE, 'node_modules', 'shamsi-date', 'index.js'))
);
const { formatShamsi, fromShamsi, toShamsi } = calendar;

const oracle = fileURLToPath(new URL('../../tests/zones/zone_cases.py', import.meta.url));
const oracleRun = spawnSync('/usr/bin/python3', [oracle], { encoding: 'utf8', maxBuffer: 1 << 28 });
assert.equal(oracleRun.status, 0, oracleRun.stderr);
const cases = oracleRun.stdout
  .trimEnd()
  .split('\n')
  .map((line) => {
    const [zone, seconds, wall, offset] = line.split('\t');
    const [, y, mo, d, h, mi, s] = /^(\d+)-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)$/.exec(wall).map(Number);
    return { zone, seconds: Number(seconds), miladi: [y, mo, d], time: [h, mi, s], offset };
  });

// What Node's own Intl says the wall time is, asked directly.
const intlFormats = new Map();
function intlWall(zone, ms) {
  if (!intlFormats.has(zone)) {
    const options = { timeZone: zone, hourCycle: 'h23', year: 'numeric', month: 'numeric', day: 'numeric' };
    intlFormats.set(zone, new Intl.DateTimeFormat('en-US', { ...options, hour: 'numeric', minute: 'numeric', second: 'numeric' }));
  }
  const parts = Object.fromEntries(intlFormats.get(zone).formatToParts(ms).map(({ type, value }) => [type, Number(value)]));
  return { miladi: [parts.year, parts.month, parts.day], time: [parts.hour, parts.minute, parts.second] };
}

const pad = (n) => String(n).padStart(2, '0');
function offsetText(seconds) {
  const size = Math.abs(seconds);
  const text = `${seconds < 0 ? '-' : '+'}${pad(Math.floor(size / 3600))}:${pad(Math.floor(size / 60) % 60)}`;
  return size % 60 === 0 ? text : `${text}:${pad(size % 60)}`;
}
// The offset a wall time and an instant differ by.
function offsetOf({ miladi: [y, mo, d], time: [h, mi, s] }, ms) {
  const wall = new Date(0);
  wall.setUTCFullYear(y, mo - 1, d);
  wall.setUTCHours(h, mi, s);
  return (wall.getTime() - ms) / 1000;
}

// The answer the package must give for a wall time: its Miladi date
// converted by toShamsi's numeric form (tested on every day by itself).
function expectedOf({ miladi, time }, offset) {
  const { year, month, day } = toShamsi(...miladi);
  const [hour, minute, second] = time;
  return {
    fields: { year, month, day, hour, minute, second },
    text: `${year}/${pad(month)}/${pad(day)} ${time.map(pad).join(':')} ${offset}`,
  };
}

test(`${cases.length} instants of the zone oracle, and what Node's own time zone data says of them`, (t) => {
  assert.ok(cases.length > 40000);
  const differences = [];
  for (const instant of cases) {
    const ms = instant.seconds * 1000;
    const date = new Date(ms);
    const options = { timeZone: instant.zone };
    const intl = intlWall(instant.zone, ms);
    const intlOffset = offsetText(offsetOf(intl, ms));
    const ours = { fields: toShamsi(date, options), text: formatShamsi(date, '%Y/%m/%d %H:%M:%S %z', options) };
    const where = `${instant.zone} ${instant.seconds}`;
    // Always as Node's Intl has it: the package adds no zone data of its own.
    assert.deepEqual(ours, expectedOf(intl, intlOffset), where);
    const fromOracle = expectedOf(instant, instant.offset);
    if (ours.text !== fromOracle.text) {
      differences.push(`${where}: zoneinfo ${fromOracle.text}, Node ${ours.text}`);
    }
    // Back to an instant with the same wall time: this one, or where the
    // time came twice, the later.
    const back = fromShamsi(ours.fields, options).getTime();
    if (back !== ms) {
      assert.ok(back > ms, `${where}: fromShamsi gave the earlier ${back / 1000}`);
      assert.deepEqual(toShamsi(new Date(back), options), ours.fields, where);
    }
  }
  t.diagnostic(`Node ${process.version} (ICU ${process.versions.icu}, tz ${process.versions.tz}) and zoneinfo differ on ${differences.length} instants`);
  for (const difference of differences.slice(0, 20)) {
    t.diagnostic(difference);
  }
  // The data may differ where one of them is newer, never on most of it.
  assert.ok(differences.length < cases.length / 100, `${differences.length} differences`);
});

test("without a timeZone, the runtime's own zone, as a Date's getHours has it", () => {
  const saved = process.env.TZ;
  process.env.TZ = 'Asia/Tehran';
  try {
    for (const instant of cases.filter(({ zone }, i) => zone === 'Asia/Tehran' && i % 7 === 0)) {
      const date = new Date(instant.seconds * 1000);
      const fields = toShamsi(date, { timeZone: 'Asia/Tehran' });
      assert.deepEqual(toShamsi(date), fields);
      assert.equal(fields.hour, date.getHours());
      assert.equal(formatShamsi(date, '%z'), formatShamsi(date, '%z', { timeZone: 'Asia/Tehran' }));
      assert.equal(fromShamsi(fields).getTime(), fromShamsi(fields, { timeZone: 'Asia/Tehran' }).getTime());
    }
  } finally {
    if (saved === undefined) delete process.env.TZ;
    else process.env.TZ = saved;
  }
});

test('times the clocks skipped are moved on by the change; times they repeated are the later', () => {
  const wall = (miladi, hour, minute) => ({ ...toShamsi(...miladi), hour, minute });
  const cases = [
    // [zone, the Miladi day, hour, minute, the instant]
    ['America/New_York', [2021, 3, 14], 2, 30, '2021-03-14T07:30:00.000Z'], // skipped: 03:30 EDT
    ['America/New_York', [2021, 11, 7], 1, 30, '2021-11-07T06:30:00.000Z'], // twice: the EST one
    ['America/New_York', [2021, 11, 7], 0, 59, '2021-11-07T04:59:00.000Z'],
    ['Asia/Tehran', [2022, 3, 22], 0, 30, '2022-03-21T21:00:00.000Z'], // skipped: 01:30 +04:30
    ['Asia/Tehran', [2022, 9, 21], 23, 30, '2022-09-21T20:00:00.000Z'], // twice: the +03:30 one
    ['Pacific/Kiritimati', [1994, 12, 31], 12, 0, '1994-12-31T22:00:00.000Z'], // a skipped day: 1995-01-01 12:00
  ];
  for (const [timeZone, miladi, hour, minute, expected] of cases) {
    assert.equal(fromShamsi(wall(miladi, hour, minute), { timeZone }).toISOString(), expected, `${timeZone} ${miladi} ${hour}:${minute}`);
  }
  assert.equal(fromShamsi({ year: 1405, month: 9, day: 18 }, { timeZone: 'UTC' }).toISOString(), '2026-12-09T00:00:00.000Z');
});

test('arguments the package cannot take: a TypeError naming each; bad values: a RangeError', () => {
  const day = { year: 1405, month: 9, day: 17 };
  const now = new Date();
  const cases = [
    [() => toShamsi('2026', 12, 8), TypeError, 'toShamsi: year is a number, not a string'],
    [() => toShamsi(2026, null, 8), TypeError, 'toShamsi: month is a number, not null'],
    [() => toShamsi(now, 'Asia/Tehran'), TypeError, 'toShamsi: options is an object {timeZone}, not a string'],
    [() => toShamsi(now, { timezone: 'UTC' }), TypeError, "toShamsi: options has no 'timezone'; it takes timeZone"],
    [() => toShamsi(now, { timeZone: 330 }), TypeError, "toShamsi: timeZone is a time zone's name, not a number"],
    [() => toShamsi(day), TypeError, 'toShamsi: the date is a Date, not an object'],
    [() => toShamsi(now, { timeZone: 'Mars/Olympus' }), RangeError, "toShamsi: no time zone is called 'Mars/Olympus'"],
    [() => toShamsi(now, { timeZone: '+25:00' }), RangeError, "toShamsi: no time zone is called '+25:00'"],
    [() => toShamsi(new Date(NaN)), RangeError, 'toShamsi: the Date is invalid'],
    [() => toShamsi(new Date(Date.UTC(10621, 2, 20, 12)), { timeZone: 'UTC' }), RangeError, 'outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)'],
    [() => toShamsi(new Date(-8.64e15)), RangeError, 'outside 0622/03/21-10621/03/19 (the Shamsi years 1-9999)'],
    [() => formatShamsi(now, '%H', { zone: 'UTC' }), TypeError, "formatShamsi: options has no 'zone'; it takes digits, names, timeZone"],
    [() => formatShamsi(day, '%H', { timeZone: 'UTC' }), TypeError, 'formatShamsi: a timeZone is for a Date, not for date fields'],
    [() => formatShamsi(day, 7), TypeError, 'formatShamsi: the pattern is a string, not a number'],
    [() => formatShamsi('1405/09/17'), TypeError, 'formatShamsi: the date is a Date or an object {year, month, day}, not a string'],
    [() => formatShamsi({ ...day, hour: 24 }, '%H'), RangeError, 'hour takes 0-23, not 24'],
    [() => formatShamsi({ ...day, minute: '5' }, '%M'), TypeError, 'formatShamsi: minute is a number, not a string'],
    [() => calendar.addShamsi(day, { hours: 3 }), TypeError, "addShamsi: amount has no 'hours'; it takes years, months, weeks, days"],
    [() => calendar.addShamsi(day, { day: 3 }), TypeError, "addShamsi: amount has no 'day'; it takes years, months, weeks, days"],
    [() => calendar.addShamsi(day, { days: '3' }), TypeError, 'addShamsi: days is a number, not a string'],
    [() => calendar.addShamsi(day, 3), TypeError, 'addShamsi: amount is an object {years, months, weeks, days}, not a number'],
    [() => fromShamsi({ ...day, hours: 1 }), TypeError, "fromShamsi: fields has no 'hours'; it takes year, month, day, hour, minute, second"],
    [() => fromShamsi(now), TypeError, 'fromShamsi: fields is an object {year, month, day, hour, minute, second}, not a Date'],
    [() => fromShamsi({ ...day, minute: 60 }), RangeError, 'minute takes 0-59, not 60'],
    [() => fromShamsi({ year: 1404, month: 12, day: 30 }), RangeError, 'not a day of the Shamsi calendar'],
    [() => fromShamsi(null), TypeError, 'fromShamsi: fields is an object {year, month, day}, not null'],
    [() => calendar.parseShamsi(14050917), TypeError, 'parseShamsi: the text is a string, not a number'],
    [() => calendar.between(day, undefined), TypeError, 'between: b is an object {year, month, day}, not undefined'],
    [() => calendar.isLeapYear('1403'), TypeError, 'isLeapYear: year is a number, not a string'],
    [() => calendar.shamsiFromDays([0, 1]), TypeError, 'shamsiFromDays: days is an Int32Array, not an array'],
  ];
  for (const [call, type, message] of cases) {
    assert.throws(call, (error) => error instanceof type && error.message.startsWith(message), message);
  }
  // What was never refused still works: the numeric forms, and a Date now.
  assert.deepEqual(toShamsi(2124, 3, 20), { year: 1503, month: 1, day: 1 });
  assert.deepEqual(Object.keys(toShamsi(now)), ['year', 'month', 'day', 'hour', 'minute', 'second']);
  assert.equal(formatShamsi(day, '%Y/%m/%d %H:%M:%S%z'), '1405/09/17 00:00:00');
});
