// The date picker's module under Node.js: the month grids it draws, every
// month of the years 1-9999 against `shamsi-date cal`, and importing it
// where there is no DOM.
//
// SHAMSI_DATE_PACKAGE: the folder the npm package was installed to;
// SHAMSI_DATE: the shamsi-date program.
import assert from 'node:assert/strict';
import { execFileSync, spawn, spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const installed = join(process.env.SHAMSI_DATE_PACKAGE, 'node_modules', 'shamsi-date');

test('importing shamsi-date/picker with no DOM defines nothing and throws nothing', () => {
  // In a process of its own, so that nothing else has been imported first.
  const script = `const before = Object.getOwnPropertyNames(globalThis).sort().join();
    const picker = await import('shamsi-date/picker');
    const after = Object.getOwnPropertyNames(globalThis).sort().join();
    console.log(JSON.stringify([Object.keys(picker), before === after, typeof customElements,
      picker.monthGrid(1405, 9).firstWeekday]));`;
  const result = spawnSync(process.execPath, ['--input-type=module', '-e', script], {
    cwd: process.env.SHAMSI_DATE_PACKAGE,
    encoding: 'utf8',
  });
  assert.equal(result.stderr, '');
  assert.deepEqual(JSON.parse(result.stdout), [['monthGrid'], true, 'undefined', 1]);
});

test('the month grid of every month of the years 1-9999 is the one shamsi-date cal draws', async () => {
  const { monthGrid } = await import(pathToFileURL(join(installed, 'picker.js')));
  // Each year's calendar, one after another, from one shell, after a line
  // naming the year (instead of its centred number): the months in four
  // rows of three, 20 columns each and 2 apart, a day in every 3.
  const years = spawn(
    'bash',
    ['-c', 'for ((y = 1; y <= 9999; ++y)); do echo "year $y"; "$0" cal --names english "$y" || exit 1; done', process.env.SHAMSI_DATE],
    { stdio: ['ignore', 'pipe', 'inherit'] },
  );
  years.stdout.setEncoding('utf8');
  let year = 0;
  let row = -1; // of three months, within the year
  let weeks = null; // the rows of days of the three months being read
  let compared = 0;
  let buffered = '';
  let skip = false;
  const endRow = () => {
    if (weeks === null) {
      return;
    }
    weeks.forEach((month, k) => {
      const grid = monthGrid(year, row * 3 + k + 1);
      const drawn = grid.weeks.map((week) => week.map((day) => (day === 0 ? '' : String(day))));
      assert.deepEqual(drawn, month, `${year}/${row * 3 + k + 1}`);
      ++compared;
    });
    weeks = null;
  };
  const line = (text) => {
    if (text.startsWith('year ')) {
      endRow();
      year = Number(text.slice(5));
      row = -1;
      skip = true;
    } else if (skip) {
      skip = false; // the year's own number
    } else if (/^Sa Su/.test(text)) {
      weeks = [[], [], []];
    } else if (/^ *[A-Z][a-z]+ /.test(text)) {
      endRow();
      ++row;
    } else if (weeks !== null && /\d/.test(text)) {
      for (let k = 0; k < 3; ++k) {
        const part = text.slice(k * 22, k * 22 + 20);
        if (part.trim() !== '') {
          weeks[k].push(Array.from({ length: 7 }, (_, c) => part.slice(c * 3, c * 3 + 2).trim()));
        }
      }
    }
  };
  for await (const chunk of years.stdout) {
    buffered += chunk;
    const lines = buffered.split('\n');
    buffered = lines.pop();
    lines.forEach(line);
  }
  endRow();
  assert.equal(compared, 9999 * 12);
});

test('weekdayOf for every day of the years 1-9999, and the names as shamsi-date writes them', async () => {
  const calendar = await import(pathToFileURL(join(installed, 'index.js')));
  // Every day, against JavaScript's own weekday of the Miladi day.
  const DAY = 86_400_000;
  const first = Date.UTC(622, 2, 21) / DAY;
  const { year, month, day } = calendar.shamsiFromDays(
    Int32Array.from({ length: Date.UTC(10621, 2, 19) / DAY - first + 1 }, (_, i) => first + i),
  );
  for (let i = 0; i < year.length; ++i) {
    const expected = (new Date((first + i) * DAY).getUTCDay() + 1) % 7;
    if (calendar.weekdayOf({ year: year[i], month: month[i], day: day[i] }) !== expected) {
      assert.fail(`${year[i]}/${month[i]}/${day[i]}: not weekday ${expected}`);
    }
  }
  for (const [bad, reason] of [
    [{ year: 1404, month: 12, day: 30 }, 'not a day of the Shamsi calendar'],
    [{ year: 10000, month: 1, day: 1 }, 'outside the Shamsi years 1-9999'],
  ]) {
    assert.throws(() => calendar.weekdayOf(bad), { name: 'RangeError', message: reason });
  }
  assert.throws(() => calendar.monthNames('persian'), { name: 'RangeError', message: "no month names are called 'persian'" });

  const run = (args) => execFileSync(process.env.SHAMSI_DATE, args, { encoding: 'utf8' });
  for (const names of ['iranian', 'afghan', 'english']) {
    // A day in each month, Farvardin 1405 (28 March 2026) to Esfand 1404
    // (28 February 2026), and the week from Saturday 1405/01/08.
    const months = run(['to-shamsi', '--format', '%B', '--names', names,
      ...['03', '04', '05', '06', '07', '08', '09', '10', '11', '12', '01', '02'].map((m) => `2026-${m}-28`)]);
    assert.deepEqual(calendar.monthNames(names), months.trim().split('\n'), names);
    const week = run(['to-shamsi', '--format', '%A', '--names', names,
      ...['03-28', '03-29', '03-30', '03-31', '04-01', '04-02', '04-03'].map((d) => `2026-${d}`)]);
    assert.deepEqual(calendar.weekdayNames(names), week.trim().split('\n'), names);
    const heads = run(['cal', '--names', names, '1', '1405']).split('\n')[1];
    assert.deepEqual(calendar.weekdayInitials(names), heads.replaceAll('\u200e', '').trim().split(/ +/), names);
  }
});
