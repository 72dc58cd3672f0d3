// The web page in headless Chromium: today's date on load, typed dates
// converted, the message boxes one after another, the keys that do nothing,
// the phone's width, and the page opening again with its server gone.
//
// WEB_PAGE: the built page's folder; SHAMSI_DATE: the shamsi-date program,
// which prints today as the window shows it; SHAMSI_DATE_PACKAGE: the folder
// the npm package was installed to, which a page imports as well; AXE:
// axe.min.js.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { launch, serve } from './browser.mjs';

// The page and shamsi-date take today in the same time zone.
const TZ = 'Asia/Tehran';
let server;
let browser;
let page;

const labels = `(() => Object.fromEntries(['lblNotice', 'lblTodayShamsi', 'lblTodayMiladi', 'lblMiladi', 'lblShamsi',
  'lblMiladiString'].map((id) => [id, document.getElementById(id).textContent])))()`;
const dialog = `(() => { const d = document.getElementById('message');
  return d.open ? document.getElementById('messageText').textContent : null; })()`;

function windowsToday() {
  return execFileSync(process.env.SHAMSI_DATE, { env: { ...process.env, TZ }, encoding: 'utf8' }).split('\n');
}

before(async () => {
  server = await serve(process.env.WEB_PAGE);
  browser = await launch({ TZ });
  page = await browser.open();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

async function loadPage() {
  await page.navigate(server.url);
  await page.waitFor(`document.getElementById('lblTodayMiladi').textContent !== ''`);
}

test('on load: the notice, today in both calendars as the window shows it, empty results', async () => {
  const before = windowsToday();
  await loadPage();
  const shown = await page.evaluate(labels);
  const afterLoad = windowsToday();
  const expected = [before, afterLoad].find((today) => today[0] === shown.lblTodayShamsi) ?? afterLoad;
  assert.equal(shown.lblTodayShamsi, expected[0]);
  assert.equal(shown.lblTodayMiladi, expected[1]);
  assert.match(shown.lblNotice, /^ YY\/MM\/DD .+\r\n YY\/MM\/DD .+$/);
  assert.deepEqual([shown.lblMiladi, shown.lblShamsi, shown.lblMiladiString], ['', '', '']);
  assert.equal(await page.evaluate(`getComputedStyle(document.getElementById('lblTodayShamsi')).whiteSpace`), 'pre');
  assert.deepEqual(
    await page.evaluate(`[document.documentElement.lang, document.documentElement.dir,
      getComputedStyle(document.getElementById('txtShamsi')).direction]`),
    ['fa', 'rtl', 'ltr'],
  );
  assert.equal(await page.evaluate(dialog), null);
  assert.equal(await page.evaluate(`document.title + '|' + document.getElementById('messageTitle').textContent`),
    'مبدل تاريخ|مبدل تاريخ');
});

async function convert(typed) {
  await page.evaluate(`(() => { const box = document.getElementById('txtShamsi'); box.value = ''; box.focus(); })()`);
  await page.type(typed);
  await page.click('#cmdConvert');
}

// Closes each open message with its button, and returns their texts.
async function messages() {
  const texts = [];
  for (let text = await page.evaluate(dialog); text !== null; text = await page.evaluate(dialog)) {
    texts.push(text);
    // The page shows the next message when the box has closed.
    await page.evaluate(`window.closed_ = new Promise((resolve) => document.getElementById('message')
      .addEventListener('close', () => setTimeout(resolve, 0), { once: true })); true`);
    await page.click('#messageOk');
    await page.evaluate('window.closed_');
  }
  return texts;
}

const DATE_FORMAT = 'خطا - - - تاريخ را بصورت روز/ماه/سال وارد نماييد';
const TWO_DIGITS = 'تمامي فيلدها بايد به صورت دو رقمي وارد شود';
const MONTH = 'خطا  - - - ماه را درست وارد نماييد';

test('typed dates convert as in the window; a bad one is told in message boxes, one after another', async () => {
  await loadPage();
  const good = ['2003/04/01', 'سه شنبه  12 فروردين  1382', '01 April 2003'];
  // [typed, the three result labels after it, the messages in order]
  const cases = [
    ['82/01/12', good, []],
    ['۸۲/۰۱/۱۲', good, []],
    ['82/13/01', ['', good[1], good[2]], [MONTH]],
    ['8201', ['', good[1], good[2]], [DATE_FORMAT, TWO_DIGITS]],
    ['', ['', good[1], good[2]], [DATE_FORMAT, TWO_DIGITS]],
    ['82/01/13', ['2003/04/02', 'چهارشنبه  13 فروردين  1382', '02 April 2003'], []],
  ];
  for (const [typed, results, texts] of cases) {
    await convert(typed);
    assert.deepEqual(await messages(), texts, typed);
    const shown = await page.evaluate(labels);
    assert.deepEqual([shown.lblMiladi, shown.lblShamsi, shown.lblMiladiString], results, typed);
    assert.equal(await page.evaluate(`document.getElementById('txtShamsi').value`), typed);
  }
});

test('Enter and Escape in the box do nothing; the web address shows the credit', async () => {
  await loadPage();
  await convert('82/01/12');
  const shown = await page.evaluate(labels);
  await page.evaluate(`document.getElementById('txtShamsi').value = '82/01/13'`);
  await page.evaluate(`document.getElementById('txtShamsi').focus()`);
  await page.press('Enter', 'Enter', 13);
  await page.press('Escape', 'Escape', 27);
  assert.equal(await page.evaluate(dialog), null);
  assert.deepEqual(await page.evaluate(labels), shown);
  assert.equal(await page.evaluate(`location.href`), server.url);

  await page.click('#Label4');
  assert.deepEqual(await messages(), ['طراحي و برنامه نويسي: سازندگان مبدل تاريخ']);
  assert.deepEqual(await page.evaluate(labels), shown);
  // Exit: the browser keeps a tab the user opened.
  await page.click('#cmdExit');
  assert.deepEqual(await page.evaluate(labels), shown);
});

test('for keyboards and screen readers: the box named by its heading, the web address a control', async () => {
  await loadPage();
  const { root } = await page.send('DOM.getDocument');
  const named = async (accessibleName, role) =>
    (await page.send('Accessibility.queryAXTree', { nodeId: root.nodeId, accessibleName, role })).nodes.length;
  assert.equal(await named('شمسي', 'textbox'), 1);
  assert.equal(await named(await page.evaluate(`document.getElementById('Label4').textContent`), 'button'), 1);
  // The web address comes after Exit in tab order; Enter and Space show the credit as a click does.
  await page.evaluate(`document.getElementById('cmdExit').focus()`);
  await page.press('Tab', 'Tab', 9);
  assert.equal(await page.evaluate('document.activeElement.id'), 'Label4');
  for (const [key, code, keyCode] of [['Enter', 'Enter', 13], [' ', 'Space', 32]]) {
    await page.evaluate(`document.getElementById('Label4').focus()`);
    await page.press(key, code, keyCode);
    assert.deepEqual(await messages(), ['طراحي و برنامه نويسي: سازندگان مبدل تاريخ'], code);
  }
  // Of the WCAG 2.1 A and AA rules, axe-core finds only the contrast of the web address, black
  // on the window's blue as the window has it.
  await page.evaluate(readFileSync(process.env.AXE, 'utf8'));
  const violations = await page.evaluate(`axe.run(document, { resultTypes: ['violations'],
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }).then((r) =>
    r.violations.flatMap((v) => v.nodes.map((node) => v.id + ' ' + node.target.join(' '))))`);
  assert.deepEqual(violations, ['color-contrast #Label4']);
  // The bundled font is the WOFF2 file.
  assert.equal(await page.evaluate(`document.fonts.load('16px "Vazirmatn UI"').then((faces) => faces.length)`), 1);
  assert.ok(await page.evaluate(`performance.getEntriesByType('resource').some((entry) => entry.name.endsWith('/fonts/Vazirmatn-UI-Regular.woff2'))`));
});

test('on a phone the form fills the screen width and nothing runs past it', async () => {
  const phone = await browser.open({ width: 360, height: 740 });
  await phone.navigate(server.url);
  await phone.waitFor(`document.getElementById('lblTodayMiladi').textContent !== ''`);
  const sizes = await phone.evaluate(`[document.getElementById('form').getBoundingClientRect().width,
    document.documentElement.scrollWidth]`);
  assert.deepEqual(sizes, [360, 360]);
});

test('once loaded, the page opens and converts with its server gone', async () => {
  await loadPage();
  await page.waitFor(`navigator.serviceWorker.controller !== null`);
  await page.waitFor(`caches.keys().then(async (names) => names.length === 1 &&
    (await (await caches.open(names[0])).keys()).length > 5)`);
  await server.close();
  await page.reload();
  await page.waitFor(`document.getElementById('lblTodayMiladi').textContent !== ''`);
  await convert('82/01/12');
  const shown = await page.evaluate(labels);
  assert.deepEqual([shown.lblMiladi, shown.lblShamsi, shown.lblMiladiString], [
    '2003/04/01',
    'سه شنبه  12 فروردين  1382',
    '01 April 2003',
  ]);
});

test('the npm package imports and converts in the browser', async () => {
  const packageServer = await serve(join(process.env.SHAMSI_DATE_PACKAGE, 'node_modules', 'shamsi-date'));
  try {
    const tab = await browser.open();
    await tab.navigate(`${packageServer.url}README.md`);
    const results = await tab.evaluate(`import('${packageServer.url}index.js').then((calendar) => [
      calendar.toShamsi(2124, 3, 20),
      calendar.formatShamsi(calendar.toShamsi(2026, 12, 8), '%A %-d %B %Y', { digits: 'persian' }),
      (() => { try { calendar.toMiladi(1502, 12, 30); } catch (e) { return e.name + ': ' + e.message; } })(),
    ])`);
    assert.deepEqual(results, [
      { year: 1503, month: 1, day: 1 },
      'سه‌شنبه ۱۷ آذر ۱۴۰۵',
      'RangeError: not a day of the Shamsi calendar',
    ]);
  } finally {
    await packageServer.close();
  }
});
