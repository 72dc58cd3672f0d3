// The date picker in headless Chromium, with real key and mouse events:
// every key of the calendar across three year ends, min and max, typing,
// the form it belongs to, its validity, reset, the popup (Escape, focus,
// a phone's width) and axe-core with the popup open and closed.
//
// SHAMSI_DATE_PACKAGE: the folder the npm package was installed to;
// SHAMSI_DATE: the shamsi-date program (the expected days); AXE: axe.min.js.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { launch, serve } from './browser.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const folder = mkdtempSync(join(tmpdir(), 'picker-'));
let server;
let browser;
let page;
let exampleCount = 0;

before(async () => {
  cpSync(join(process.env.SHAMSI_DATE_PACKAGE, 'node_modules', 'shamsi-date'), join(folder, 'node_modules', 'shamsi-date'), {
    recursive: true,
  });
  // The HTML examples of the pages, each a page of its own.
  const examples = ['README.md', 'docs/web.md', 'web/package/README.md'].flatMap((doc) =>
    [...readFileSync(join(here, '..', '..', doc), 'utf8').matchAll(/^```html\n([^]*?)^```$/gm)].map((m) => [doc, m[1]]),
  );
  examples.forEach(([doc, html], i) => {
    writeFileSync(join(folder, `example${i}.html`), `<!DOCTYPE html><html lang="fa" dir="rtl"><head><meta charset="utf-8">
      <title>${doc}</title></head><body><main>${html.includes('<form') ? html : `<form>${html}</form>`}</main></body></html>`);
  });
  exampleCount = examples.length;
  copyFileSync(join(here, 'picker.html'), join(folder, 'index.html'));
  server = await serve(folder);
  browser = await launch({ TZ: 'Asia/Tehran' });
  page = await browser.open();
});

after(async () => {
  await browser?.close();
  await server?.close();
  rmSync(folder, { recursive: true, force: true });
});

async function load(tab = page) {
  await tab.navigate(server.url);
  await tab.waitFor(`customElements.get('shamsi-date-input') !== undefined &&
    document.getElementById('calendar').shadowRoot.querySelector('td[tabindex="0"]') !== null`);
}

// What has focus, through the shadow roots: its id or part, and its name.
const focused = `(() => {
  let e = document.activeElement;
  while (e?.shadowRoot?.activeElement) e = e.shadowRoot.activeElement;
  return e ? { tag: e.localName, part: e.getAttribute('part'), id: e.id, label: e.getAttribute('aria-label') } : null;
})()`;

function shamsiDate(args) {
  return execFileSync(process.env.SHAMSI_DATE, args, { encoding: 'utf8' }).trim();
}
// The accessible name a day must have, as shamsi-date writes it.
const NAME = ['--format', '%A %-d %B %Y', '--digits', 'persian'];
const nameOf = (date) => shamsiDate(['to-shamsi', ...NAME, shamsiDate(['to-miladi', date])]);
const movedName = (date, amount) => shamsiDate(['add', ...NAME, '--', amount, date]);

const KEYS = {
  ArrowLeft: ['ArrowLeft', 37],
  ArrowRight: ['ArrowRight', 39],
  ArrowUp: ['ArrowUp', 38],
  ArrowDown: ['ArrowDown', 40],
  Home: ['Home', 36],
  End: ['End', 35],
  PageUp: ['PageUp', 33],
  PageDown: ['PageDown', 34],
  Enter: ['Enter', 13],
  Space: [' ', 32],
  Escape: ['Escape', 27],
  Backspace: ['Backspace', 8],
};
const SHIFT = 8;
const ALT = 1;

async function press(name, modifiers = 0, tab = page) {
  const [key, keyCode] = KEYS[name];
  await tab.press(key, name, keyCode, modifiers);
}

// Focus on the standalone calendar's day (a Shamsi Y/MM/DD), in a page of
// the given direction.
async function calendarAt(date, dir = 'rtl') {
  const iso = shamsiDate(['to-miladi', '--format', '%Y-%m-%d', date]);
  await page.evaluate(`(() => { const c = document.getElementById('calendar'); c.dir = '${dir}';
    c.removeAttribute('value'); c.focusedDate = '${iso}'; c.focus(); return true; })()`);
}

test('every key moves the focused day as the date picker grid does, across three year ends', async () => {
  await load();
  // The weekday (0 Saturday) of a day, from JavaScript's own calendar.
  const weekday = (date) => (new Date(`${shamsiDate(['to-miladi', '--format', '%Y-%m-%d', date])}T00:00Z`).getUTCDay() + 1) % 7;
  const ends = [
    ['1403/12/30', '1404/01/01'],
    ['1404/12/29', '1405/01/01'],
    ['1502/12/29', '1503/01/01'],
  ];
  for (const [last, first] of ends) {
    // [from, key, modifiers, the amount shamsi-date adds, the direction]
    const cases = [
      [last, 'ArrowLeft', 0, '+1d', 'rtl'],
      [first, 'ArrowRight', 0, '-1d', 'rtl'],
      [last, 'ArrowRight', 0, '+1d', 'ltr'],
      [first, 'ArrowLeft', 0, '-1d', 'ltr'],
      [last, 'ArrowDown', 0, '+1w', 'rtl'],
      [first, 'ArrowUp', 0, '-1w', 'rtl'],
      [last, 'End', 0, `+${6 - weekday(last)}d`, 'rtl'],
      [first, 'Home', 0, `-${weekday(first)}d`, 'rtl'],
      [last, 'PageDown', 0, '+1m', 'rtl'],
      [first, 'PageUp', 0, '-1m', 'rtl'],
      [last, 'PageDown', SHIFT, '+1y', 'rtl'],
      [last, 'PageUp', SHIFT, '-1y', 'rtl'],
      [first, 'PageUp', SHIFT, '-1y', 'rtl'],
    ];
    for (const [from, key, modifiers, amount, dir] of cases) {
      await calendarAt(from, dir);
      assert.equal((await page.evaluate(focused)).label, nameOf(from));
      await press(key, modifiers);
      const now = await page.evaluate(focused);
      assert.deepEqual([now.tag, now.label], ['td', movedName(from, amount)], `${from} ${key} ${modifiers} ${dir}`);
      // The month shown is the focused day's.
      const title = await page.evaluate(`document.getElementById('calendar').shadowRoot.getElementById('title').textContent`);
      assert.ok(now.label.endsWith(title), `${title} for ${now.label}`);
    }
  }
  // Enter and Space choose the focused day; change bubbles out of the shadow root.
  await page.evaluate(`window.changes = []; document.addEventListener('change', (e) =>
    changes.push([e.target.id, e.composedPath()[0].localName, e.target.value])); true`);
  await calendarAt('1404/12/29');
  await press('Enter');
  await press('ArrowLeft');
  await press('Space');
  assert.deepEqual(await page.evaluate('changes'), [
    ['calendar', 'shamsi-calendar', '2026-03-20'],
    ['calendar', 'shamsi-calendar', '2026-03-21'],
  ]);
  const selected = await page.evaluate(`[...document.getElementById('calendar').shadowRoot
    .querySelectorAll('td[aria-selected="true"]')].map((td) => td.getAttribute('aria-label'))`);
  assert.deepEqual(selected, ['شنبه ۱ فروردین ۱۴۰۵']);
  // One tab stop in the grid; today is marked.
  assert.equal(await page.evaluate(`document.getElementById('calendar').shadowRoot.querySelectorAll('td[tabindex="0"]').length`), 1);
  await page.evaluate(`document.getElementById('calendar').focusedDate = new Date().toLocaleDateString('sv'); true`);
  assert.equal(
    await page.evaluate(`document.getElementById('calendar').shadowRoot.querySelector('[aria-current="date"]').getAttribute('aria-label')`),
    shamsiDate(['to-shamsi', ...NAME, new Date().toLocaleDateString('sv', { timeZone: 'Asia/Tehran' })]),
  );
});

test('the first and last days of the calendar stay put; a month with no such day gives its last', async () => {
  await load();
  for (const [from, key, modifiers, to] of [
    ['0001/01/01', 'ArrowRight', 0, '0001/01/01'],
    ['0001/01/01', 'PageUp', SHIFT, '0001/01/01'],
    ['9999/12/29', 'ArrowLeft', 0, '9999/12/29'],
    ['1405/06/31', 'PageDown', 0, '1405/07/30'],
    ['1403/12/30', 'PageDown', SHIFT, '1404/12/29'],
  ]) {
    await calendarAt(from);
    await press(key, modifiers);
    assert.equal((await page.evaluate(focused)).label, nameOf(to), `${from} ${key}`);
  }
});

test('right to left by default, else as the nearest dir says', async () => {
  await load();
  const directions = await page.evaluate(`(() => {
    const html = document.documentElement;
    const c = document.createElement('shamsi-calendar');
    const shown = () => c.shadowRoot.querySelector('.calendar').dir + ' ' + getComputedStyle(c.shadowRoot.querySelector('table')).direction;
    const seen = [];
    html.removeAttribute('dir');
    document.body.append(c);
    seen.push(shown());
    html.dir = 'ltr';
    c.focusedDate = '2026-12-09';
    seen.push(shown());
    c.dir = 'rtl';
    c.focusedDate = '2026-12-10';
    seen.push(shown());
    c.remove();
    html.dir = 'rtl';
    return seen;
  })()`);
  assert.deepEqual(directions, ['rtl rtl', 'ltr ltr', 'rtl rtl']);
});

test('min and max: days outside cannot be chosen', async () => {
  await load();
  await page.evaluate(`(() => { const c = document.getElementById('calendar'); c.min = '2026-12-05'; c.max = '2026-12-10';
    c.value = ''; c.focusedDate = '2026-12-04'; c.focus(); return true; })()`);
  const disabled = await page.evaluate(`[...document.getElementById('calendar').shadowRoot
    .querySelectorAll('td[aria-disabled="true"]')].length`);
  assert.equal(disabled, 30 - 6);
  await press('Enter');
  assert.equal(await page.evaluate(`document.getElementById('calendar').value`), '');
  await press('ArrowLeft');
  await press('Enter');
  assert.equal(await page.evaluate(`document.getElementById('calendar').value`), '2026-12-05');
  // By pointer too: a day after max.
  await page.clickOn(`document.getElementById('calendar').shadowRoot.querySelector('td[data-day="25"]')`);
  assert.equal(await page.evaluate(`document.getElementById('calendar').value`), '2026-12-05');
  await page.clickOn(`document.getElementById('calendar').shadowRoot.querySelector('td[data-day="19"]')`);
  assert.equal(await page.evaluate(`document.getElementById('calendar').value`), '2026-12-10');
});

test('range mode: a second choice ends the range, and the days between are marked', async () => {
  await load();
  await page.evaluate(`(() => { const c = document.getElementById('calendar'); c.range = true;
    c.focusedDate = '2026-12-08'; window.changes = 0; c.addEventListener('change', () => ++changes); return true; })()`);
  const cell = (day) => `document.getElementById('calendar').shadowRoot.querySelector('td[data-day="${day}"]')`;
  await page.clickOn(cell(20));
  await page.clickOn(cell(17));
  const state = await page.evaluate(`(() => { const c = document.getElementById('calendar');
    return [c.start, c.end, changes, [...c.shadowRoot.querySelectorAll('td[aria-selected="true"]')].map((td) => td.dataset.day)]; })()`);
  assert.deepEqual(state, ['2026-12-08', '2026-12-11', 1, ['17', '18', '19', '20']]);
});

const field = (id) => `document.getElementById('${id}').shadowRoot.querySelector('input')`;
const validity = (id) => `(() => { const e = document.getElementById('${id}'); const v = e.validity;
  return { value: e.value, valid: v.valid, missing: v.valueMissing, bad: v.badInput, under: v.rangeUnderflow,
    over: v.rangeOverflow, invalid: e.matches(':invalid'), message: e.validationMessage }; })()`;

test('typing: Persian digits, names and ASCII; bad text, empty, min, max; reset; the form submits ISO', async () => {
  await load();
  assert.deepEqual(await page.evaluate(`[${field('day')}.value, document.getElementById('day').value]`), [
    '۱۴۰۵/۰۹/۱۷',
    '2026-12-08',
  ]);
  // A <label for> names the field.
  assert.equal(await page.evaluate(`${field('day')}.getAttribute('aria-label')`), 'روز گزارش');
  await page.click('label[for="day"]');
  assert.equal((await page.evaluate(focused)).part, 'input');

  const typeInto = async (id, text) => {
    await page.evaluate(`(() => { const i = ${field(id)}; i.focus(); i.select(); return true; })()`);
    await page.type(text);
  };
  const cases = [
    ['۱۴۰۵/۱۰/۰۱', { value: '2026-12-22', valid: true }],
    ['١٤٠٥/١٠/٠٢', { value: '2026-12-23', valid: true }],
    ['۱۷ آذر ۱۴۰۵', { value: '2026-12-08', valid: true }],
    ['1404/1/1', { value: '2025-03-21', valid: true }],
    ['1404/12/30', { value: '', valid: false, bad: true }],
    ['فردا', { value: '', valid: false, bad: true }],
  ];
  for (const [text, expected] of cases) {
    await typeInto('day', text);
    const state = await page.evaluate(validity('day'));
    assert.equal(state.value, expected.value, text);
    assert.equal(state.valid, expected.valid, text);
    assert.equal(state.invalid, !expected.valid, text);
    assert.equal(state.bad, expected.bad ?? false, text);
  }
  assert.match((await page.evaluate(validity('day'))).message, /^این تاریخ خوانده نشد\. .* مانند [۰-۹]{4}\/[۰-۹]{2}\/[۰-۹]{2}$/);
  await page.evaluate(`(() => { const i = ${field('day')}; i.select(); return true; })()`);
  await press('Backspace');
  assert.deepEqual(await page.evaluate(validity('day')), {
    value: '', valid: false, missing: true, bad: false, under: false, over: false, invalid: true,
    message: (await page.evaluate(validity('day'))).message,
  });
  assert.match((await page.evaluate(validity('day'))).message, /^یک تاریخ بنویسید/);
  await typeInto('from', '۱۴۰۵/۰۹/۰۹');
  assert.equal((await page.evaluate(validity('from'))).under, true);
  assert.match((await page.evaluate(validity('from'))).message, /۱۴۰۵\/۰۹\/۱۰/);
  await typeInto('from', '1405/09/30');
  assert.equal((await page.evaluate(validity('from'))).over, true);
  await typeInto('from', '1405/09/20');
  assert.equal((await page.evaluate(validity('from'))).valid, true);

  // Submitting: the form's data holds the ISO dates.
  await typeInto('day', '۱۴۰۵/۰۹/۱۸');
  await page.evaluate(`window.submitted = null; document.getElementById('form').addEventListener('submit', (e) => {
    e.preventDefault(); submitted = [...new FormData(e.target)]; }); true`);
  await page.click('#submit');
  await page.waitFor('window.submitted !== null');
  assert.deepEqual(await page.evaluate('submitted'), [
    ['day', '2026-12-09'],
    ['from', '2026-12-11'],
  ]);
  // A disabled fieldset takes its fields out of the form.
  await page.evaluate(`document.getElementById('more').disabled = true; submitted = null; true`);
  await page.click('#submit');
  await page.waitFor('window.submitted !== null');
  assert.deepEqual(await page.evaluate(`[submitted, ${field('from')}.disabled, document.getElementById('from').matches(':disabled')]`), [
    [['day', '2026-12-09']],
    true,
    true,
  ]);
  // reset() gives back the default value, and an empty field for the other.
  await page.evaluate(`document.getElementById('more').disabled = false; document.getElementById('form').reset(); true`);
  assert.deepEqual(await page.evaluate(`[document.getElementById('day').value, ${field('day')}.value,
    document.getElementById('from').value, ${field('from')}.value]`), ['2026-12-08', '۱۴۰۵/۰۹/۱۷', '', '']);
  // Bad attributes count as absent; properties never throw.
  assert.deepEqual(
    await page.evaluate(`(() => { const e = document.createElement('shamsi-date-input');
      e.setAttribute('value', '2026-13-01'); e.setAttribute('min', 'yesterday'); document.body.append(e);
      const first = [e.value, e.validity.valid];
      e.value = '10622-01-01'; const second = e.value;
      e.value = '2026-12-08'; e.max = '2026-02-30'; const third = [e.value, e.validity.valid, e.valueAsDate.toISOString()];
      e.valueAsDate = new Date(Date.UTC(2025, 2, 21)); e.remove();
      return [first, second, third, e.value]; })()`),
    [['', true], '', ['2026-12-08', true, '2026-12-08T00:00:00.000Z'], '2025-03-21'],
  );
});

const dialogOpen = `document.getElementById('day').shadowRoot.querySelector('dialog').open`;

test('the popup: the button and Alt+ArrowDown open it, Escape closes it with focus back, Enter chooses', async () => {
  await load();
  await page.evaluate(`window.events = []; for (const type of ['input', 'change'])
    document.getElementById('day').addEventListener(type, (e) => events.push(type + ' ' + e.target.value)); true`);
  const button = `document.getElementById('day').shadowRoot.querySelector('button')`;
  await page.clickOn(button);
  assert.equal(await page.evaluate(dialogOpen), true);
  assert.deepEqual(await page.evaluate(focused), { tag: 'td', part: 'day selected', id: '', label: 'سه‌شنبه ۱۷ آذر ۱۴۰۵' });
  assert.equal(await page.evaluate(`${button}.getAttribute('aria-expanded')`), 'true');
  await press('Escape');
  assert.equal(await page.evaluate(dialogOpen), false);
  assert.equal((await page.evaluate(focused)).part, 'button');

  await page.evaluate(`${field('day')}.focus()`);
  await press('ArrowDown', ALT);
  assert.equal(await page.evaluate(dialogOpen), true);
  await press('ArrowDown');
  await press('Enter');
  assert.equal(await page.evaluate(dialogOpen), false);
  assert.equal((await page.evaluate(focused)).part, 'input');
  assert.deepEqual(await page.evaluate(`[document.getElementById('day').value, ${field('day')}.value, events]`), [
    '2026-12-15',
    '۱۴۰۵/۰۹/۲۴',
    ['input 2026-12-15', 'change 2026-12-15'],
  ]);
  // A pointer outside closes it; so does focus leaving it (it traps nothing).
  await page.clickOn(button);
  await page.click('h1');
  assert.equal(await page.evaluate(dialogOpen), false);
  await page.clickOn(button);
  await page.press('Tab', 'Tab', 9);
  await page.press('Tab', 'Tab', 9);
  await page.press('Tab', 'Tab', 9);
  await page.press('Tab', 'Tab', 9);
  await page.waitFor(`!(${dialogOpen})`);
});

test('on a phone the popup is a modal dialog as wide as the screen, with 44-pixel days', async () => {
  const phone = await browser.open({ width: 360, height: 740 });
  await load(phone);
  await phone.clickOn(`document.getElementById('day').shadowRoot.querySelector('button')`);
  const sizes = await phone.evaluate(`(() => { const d = document.getElementById('day').shadowRoot.querySelector('dialog');
    const cell = d.querySelector('shamsi-calendar').shadowRoot.querySelector('td[data-day]').getBoundingClientRect();
    return [d.matches(':modal'), d.getBoundingClientRect().width, cell.width >= 44 && cell.height >= 44,
      document.documentElement.scrollWidth]; })()`);
  assert.deepEqual(sizes, [true, 360, true, 360]);
  await press('Escape', 0, phone);
  assert.equal(await phone.evaluate(dialogOpen), false);
  assert.equal((await phone.evaluate(focused)).part, 'button');
});

test('axe-core finds nothing, with the popup closed and open, and in dark colours', async () => {
  await load();
  await page.evaluate(readFileSync(process.env.AXE, 'utf8'));
  const run = `axe.run(document, { resultTypes: ['violations'] }).then((r) => r.violations.map((v) =>
    v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', ')))`;
  assert.deepEqual(await page.evaluate(run), []);
  await page.clickOn(`document.getElementById('day').shadowRoot.querySelector('button')`);
  assert.equal(await page.evaluate(dialogOpen), true);
  assert.deepEqual(await page.evaluate(run), []);
  // The dark colours too (the page's own stay light: only the elements are checked).
  await page.send('Emulation.setEmulatedMedia', { features: [{ name: 'prefers-color-scheme', value: 'dark' }] });
  try {
    assert.equal(
      await page.evaluate(`getComputedStyle(document.getElementById('calendar')).getPropertyValue('--shamsi-background')`),
      '#1f1f1f',
    );
    const elements = `axe.run({ include: [['#day'], ['#calendar']] }, { resultTypes: ['violations'] }).then((r) =>
      r.violations.map((v) => v.id + ': ' + v.nodes.map((n) => n.target.join(' ')).join(', ')))`;
    assert.deepEqual(await page.evaluate(elements), []);
  } finally {
    await page.send('Emulation.setEmulatedMedia', { features: [] });
  }
});

test('the HTML examples of the pages work: the field submits the ISO date', async () => {
  assert.equal(exampleCount, 3);
  for (let i = 0; i < exampleCount; ++i) {
    await page.navigate(`${server.url}example${i}.html`);
    await page.waitFor(`document.querySelector('shamsi-date-input')?.shadowRoot?.querySelector('input')?.value > ''`);
    const sent = await page.evaluate(`(() => { const form = document.querySelector('form');
      let data = null;
      form.addEventListener('submit', (e) => { e.preventDefault(); data = [...new FormData(form)]; });
      form.requestSubmit();
      return [data, document.querySelector('shamsi-date-input').shadowRoot.querySelector('input').value]; })()`);
    assert.deepEqual(sent, [[['day', '2026-12-08']], '۱۴۰۵/۰۹/۱۷'], `example ${i}`);
    // These pages set no font: the field takes the bundled Vazirmatn UI.
    assert.deepEqual(await page.evaluate(`document.fonts.ready.then(() => [
      getComputedStyle(document.querySelector('shamsi-date-input')).fontFamily,
      [...document.fonts].filter((face) => face.family.replaceAll('"', '') === 'Vazirmatn UI').map((face) => face.status)])`),
      ['"Vazirmatn UI", Tahoma, sans-serif', ['loaded']]);
  }
  // The test page sets its own: the field keeps it, and loads no font.
  await load();
  assert.deepEqual(await page.evaluate(`[getComputedStyle(document.getElementById('day')).fontFamily, document.fonts.size]`),
    ['Tahoma, sans-serif', 0]);
});
