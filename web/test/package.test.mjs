// The npm package against the C++ library as shamsi-date runs it: every
// day of the Shamsi years 1-9999 both ways, the formats, the forms read,
// the arithmetic and the reasons for refusing.
//
// SHAMSI_DATE_PACKAGE: the folder the package was installed to;
// SHAMSI_DATE: the shamsi-date program.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const shamsiDate = process.env.SHAMSI_DATE;
const calendar = await import(
  pathToFileURL(join(process.env.SHAMSI_DATE_PACKAGE, 'node_modules', 'shamsi-date', 'index.js'))
);

const DAY = 86_400_000;
// 1 Farvardin 1 and 29 Esfand 9999 (the library's kFirstDay, kLastDay).
const firstDay = Date.UTC(622, 2, 21) / DAY;
const lastDay = Date.UTC(10621, 2, 19) / DAY;

function run(args, input = '') {
  const result = spawnSync(shamsiDate, args, { input, encoding: 'utf8', maxBuffer: 1 << 30 });
  if (result.error) {
    throw result.error;
  }
  return { lines: result.stdout.split('\n').slice(0, -1), errors: result.stderr };
}

// The reason shamsi-date gives for one bad argument.
function reasonOf(args) {
  const { errors } = run(args);
  const match = /^shamsi-date: argument \d+: '.*': (.*)$/m.exec(errors);
  assert.ok(match, `no reason in ${JSON.stringify(errors)} for ${args}`);
  return match[1];
}

function pad(number, width) {
  return String(number).padStart(width, '0');
}

// A day's Miladi date, from JavaScript's own calendar.
function miladiOf(day) {
  const date = new Date(day * DAY);
  return { year: date.getUTCFullYear(), month: date.getUTCMonth() + 1, day: date.getUTCDate() };
}

function text({ year, month, day }) {
  return `${pad(year, 4)}/${pad(month, 2)}/${pad(day, 2)}`;
}

// "Y/MM/DD" lines as three arrays.
function datesOf(lines) {
  const dates = { year: new Int32Array(lines.length), month: new Int32Array(lines.length), day: new Int32Array(lines.length) };
  lines.forEach((line, i) => {
    const fields = [0, 0, 0];
    let field = 0;
    for (let at = 0; at < line.length; ++at) {
      const c = line.charCodeAt(at);
      if (c === 0x2f) {
        ++field;
      } else {
        fields[field] = fields[field] * 10 + c - 0x30;
      }
    }
    [dates.year[i], dates.month[i], dates.day[i]] = fields;
  });
  return dates;
}

function dateAt(dates, i) {
  return { year: dates.year[i], month: dates.month[i], day: dates.day[i] };
}

const count = lastDay - firstDay + 1;
const days = new Int32Array(count);
for (let i = 0; i < count; ++i) {
  days[i] = firstDay + i;
}
// The Miladi dates of those days, a month at a time: JavaScript's calendar
// gives the first day and each month's length.
const miladi = { year: new Int32Array(count), month: new Int32Array(count), day: new Int32Array(count) };
const miladiLines = new Array(count);
{
  let { year, month, day } = miladiOf(firstDay);
  let monthLength = new Date(Date.UTC(year, month, 0)).getUTCDate();
  let prefix = `${pad(year, 4)}/${pad(month, 2)}/`;
  for (let i = 0; i < count; ++i) {
    miladi.year[i] = year;
    miladi.month[i] = month;
    miladi.day[i] = day;
    miladiLines[i] = prefix + pad(day, 2);
    if (++day > monthLength) {
      day = 1;
      year += Math.floor(month / 12);
      month = (month % 12) + 1;
      monthLength = new Date(Date.UTC(year, month, 0)).getUTCDate();
      prefix = `${pad(year, 4)}/${pad(month, 2)}/`;
    }
  }
  assert.deepEqual(dateAt(miladi, count - 1), miladiOf(lastDay));
}
const shamsiLines = run(['to-shamsi'], miladiLines.join('\n') + '\n').lines;
const shamsi = datesOf(shamsiLines);

function sameDate(a, b) {
  return a.year === b.year && a.month === b.month && a.day === b.day;
}

test('every day of the years 1-9999, Miladi to Shamsi', () => {
  assert.equal(shamsiLines.length, count);
  const batch = calendar.shamsiFromDays(days);
  for (let i = 0; i < count; ++i) {
    const expected = dateAt(shamsi, i);
    const one = calendar.toShamsi(miladi.year[i], miladi.month[i], miladi.day[i]);
    if (!sameDate(one, expected) || !sameDate(dateAt(batch, i), expected)) {
      assert.fail(`${miladiLines[i]}: shamsi-date ${shamsiLines[i]}, toShamsi ${text(one)}, shamsiFromDays ${text(dateAt(batch, i))}`);
    }
  }
  assert.equal(shamsiLines[0], '0001/01/01');
  assert.equal(shamsiLines[count - 1], '9999/12/29');
});

test('every day of the years 1-9999, Shamsi to Miladi', () => {
  const back = run(['to-miladi'], shamsiLines.join('\n') + '\n').lines;
  assert.equal(back.length, count);
  const expected = datesOf(back);
  const backToDays = calendar.daysFromShamsi(shamsi.year, shamsi.month, shamsi.day);
  for (let i = 0; i < count; ++i) {
    const one = calendar.toMiladi(shamsi.year[i], shamsi.month[i], shamsi.day[i]);
    if (!sameDate(one, dateAt(expected, i)) || backToDays[i] !== days[i]) {
      assert.fail(`${shamsiLines[i]}: shamsi-date ${back[i]}, toMiladi ${text(one)}, daysFromShamsi ${backToDays[i]}`);
    }
  }
});

test('leap years and month lengths are those of the days shamsi-date gives', () => {
  for (let i = 0; i < count; ++i) {
    const { year, month, day } = dateAt(shamsi, i);
    if (i + 1 === count || shamsi.month[i + 1] !== month) {
      assert.equal(calendar.daysInMonth(year, month), day, `${year}/${month}`);
      if (month === 12) {
        assert.equal(calendar.isLeapYear(year), day === 30, `${year}`);
      }
    }
  }
});

test('the days either side of the years 1-9999 are refused, as shamsi-date refuses them', () => {
  const outside = [firstDay - 1, lastDay + 1];
  for (const day of outside) {
    const { year, month, day: dayOfMonth } = miladiOf(day);
    const reason = reasonOf(['to-shamsi', text({ year, month, day: dayOfMonth })]);
    assert.throws(() => calendar.toShamsi(year, month, dayOfMonth), { name: 'RangeError', message: reason });
    // Alone, among the first days, and in a later part of a long batch.
    for (const [length, at] of [[2, 1], [11, 6], [40000, 33000]]) {
      const batch = new Int32Array(length).fill(lastDay);
      batch[at] = day;
      assert.throws(() => calendar.shamsiFromDays(batch), {
        name: 'RangeError',
        message: `index ${at}: ${reasonOf(['to-miladi', '10000/01/01'])}`,
      });
    }
  }
});

// Every 101st day of the years 1-9999.
const sample = days.filter((_, i) => i % 101 === 0);
const sampleMiladi = Array.from(sample, (day) => text(miladiOf(day)));
const sampleShamsi = calendar.shamsiFromDays(sample);
const sampleDates = Array.from(sample, (_, i) => dateAt(sampleShamsi, i));

const patterns = ['%Y/%m/%d', '%A %-d %B %Y', '%y%m%d %j', '%%Y=%Y %-m/%-d', 'روز %d ماه %B سال %Y', '%B'];
const choices = [
  { digits: 'ascii', names: 'iranian' },
  { digits: 'persian', names: 'iranian' },
  { digits: 'ascii', names: 'afghan' },
  { digits: 'persian', names: 'afghan' },
  { digits: 'ascii', names: 'english' },
];

test('formatShamsi writes what shamsi-date --format writes', () => {
  for (const pattern of patterns) {
    for (const options of choices) {
      const expected = run(
        ['to-shamsi', '--format', pattern, '--digits', options.digits, '--names', options.names],
        sampleMiladi.join('\n') + '\n',
      ).lines;
      assert.equal(expected.length, sampleDates.length);
      sampleDates.forEach((date, i) => {
        const written = calendar.formatShamsi(date, pattern, options);
        if (written !== expected[i]) {
          assert.fail(`${text(date)} ${pattern} ${JSON.stringify(options)}: ${expected[i]} / ${written}`);
        }
      });
    }
  }
  assert.equal(calendar.formatShamsi(sampleDates[0]), text(sampleDates[0]));
  assert.throws(() => calendar.formatShamsi(sampleDates[0], '%q'), { name: 'RangeError', message: 'unknown field %q' });
});

// Forms of the same dates, written by shamsi-date.
const shamsiForms = [
  ['%Y/%m/%d'],
  ['%Y-%-m-%-d', '--digits', 'persian'],
  ['%-d %B %Y'],
  ['%A %-d %B %Y', '--digits', 'persian'],
  ['%d %B %Y', '--names', 'afghan'],
  ['%A %-d %B %Y', '--names', 'english'],
];
const miladiForms = ['%Y/%m/%d', '%-d %B %Y', '%B %-d, %Y', '%A, %-d %B %Y'];

test('parseShamsi and parseMiladi read the forms shamsi-date writes', () => {
  for (const [pattern, ...options] of shamsiForms) {
    const texts = run(['to-shamsi', '--format', pattern, ...options], sampleMiladi.join('\n') + '\n').lines;
    texts.forEach((written, i) => assert.deepEqual(calendar.parseShamsi(` ${written}\t`), sampleDates[i], written));
  }
  const shamsiText = sampleDates.map(text).join('\n') + '\n';
  for (const pattern of miladiForms) {
    const texts = run(['to-miladi', '--format', pattern], shamsiText).lines;
    texts.forEach((written, i) => assert.equal(text(calendar.parseMiladi(written)), sampleMiladi[i], written));
  }
  // The window's own words, with its spelling and double blanks.
  assert.deepEqual(calendar.parseShamsi('سه شنبه  12 فروردين  1382'), { year: 1382, month: 1, day: 12 });
});

test('bad input throws the reason shamsi-date gives', () => {
  const cases = [
    [() => calendar.toMiladi(1502, 12, 30), ['to-miladi', '1502/12/30']],
    [() => calendar.toMiladi(1403, 13, 1), ['to-miladi', '1403/13/01']],
    [() => calendar.toMiladi(10000, 1, 1), ['to-miladi', '10000/01/01']],
    [() => calendar.toShamsi(2023, 2, 29), ['to-shamsi', '2023/02/29']],
    [() => calendar.toShamsi(622, 3, 20), ['to-shamsi', '622/03/20']],
    [() => calendar.parseShamsi('1405/09/17 later'), ['to-miladi', '1405/09/17 later']],
    [() => calendar.parseShamsi('جمعه 17 آذر 1405'), ['to-miladi', 'جمعه 17 آذر 1405']],
    [() => calendar.parseShamsi('31 مهر 1405'), ['to-miladi', '31 مهر 1405']],
    [() => calendar.parseMiladi('February 30, 2024'), ['to-shamsi', 'February 30, 2024']],
    [() => calendar.parseMiladi('8 Dec'), ['to-shamsi', '8 Dec']],
    [() => calendar.formatShamsi({ year: 1404, month: 12, day: 30 }), ['to-miladi', '1404/12/30']],
    [() => calendar.addShamsi({ year: 9999, month: 6, day: 1 }, { years: 1 }), ['add', '+1y', '9999/06/01']],
    [() => calendar.between({ year: 1405, month: 1, day: 1 }, { year: 0, month: 1, day: 1 }), ['diff', '1405/1/1', '0/1/1']],
  ];
  for (const [call, args] of cases) {
    assert.throws(call, { name: 'RangeError', message: reasonOf(args) }, args.join(' '));
  }
  assert.throws(() => calendar.daysFromShamsi(Int32Array.of(1404, 1404), Int32Array.of(12, 12), Int32Array.of(29, 30)), {
    name: 'RangeError',
    message: `index 1: ${reasonOf(['to-miladi', '1404/12/30'])}`,
  });
});

// An amount in shamsi-date's form: one sign for every part.
function amountText(amount) {
  const parts = Object.entries({ y: amount.years, m: amount.months, w: amount.weeks, d: amount.days })
    .filter(([, value]) => value)
    .map(([unit, value]) => `${Math.abs(value)}${unit}`);
  return (Object.values(amount).some((value) => value < 0) ? '-' : '+') + parts.join('');
}

test('addShamsi moves as shamsi-date add, between measures as diff --ymd', () => {
  const amounts = [
    { months: 1 },
    { months: -1 },
    { years: 1 },
    { years: -33 },
    { days: 40 },
    { weeks: -3 },
    { years: 1, months: 8, days: 16 },
    { years: -2, months: -11, weeks: -4, days: -6 },
  ];
  const dates = sampleDates.filter((date) => date.year > 40 && date.year < 9960);
  const input = dates.map(text).join('\n') + '\n';
  for (const amount of amounts) {
    const moved = run(['add', amountText(amount)], input).lines;
    dates.forEach((date, i) => assert.equal(text(calendar.addShamsi(date, amount)), moved[i], `${text(date)} ${amountText(amount)}`));
  }
  const pairs = dates.map((date, i) => [date, dates[(i * 7919) % dates.length]]);
  const spans = run(['diff', '--ymd'], pairs.map(([a, b]) => `${text(a)},${text(b)}`).join('\n') + '\n').lines;
  pairs.forEach(([a, b], i) => {
    const span = calendar.between(a, b);
    const written = amountText({ years: span.years, months: span.months, days: span.days });
    assert.equal(written === '+' ? '0d' : written, spans[i], `${text(a)} ${text(b)}`);
  });
});
