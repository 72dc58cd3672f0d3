// The date picker in a React 19 app built with Vite (web/test/react, its
// pinned development dependencies): a controlled value and an onChange,
// driven in headless Chromium with real keys and clicks.
//
// REACT_APP: the app's built folder (vite build's dist).
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import { launch, serve } from './browser.mjs';

let server;
let browser;

before(async () => {
  server = await serve(process.env.REACT_APP);
  browser = await launch({ TZ: 'Asia/Tehran' });
});

after(async () => {
  await browser?.close();
  await server?.close();
});

const state = `(() => { const e = document.getElementById('day');
  return [e.value, e.shadowRoot.querySelector('input').value, document.getElementById('state').textContent,
    document.getElementById('changes').textContent]; })()`;

test('React holds the value: the state sets the field, and the field sets the state', async () => {
  const page = await browser.open();
  await page.navigate(server.url);
  await page.waitFor(`document.getElementById('day')?.shadowRoot?.querySelector('input')?.value > ''`);
  assert.deepEqual(await page.evaluate(state), ['2026-12-08', '۱۴۰۵/۰۹/۱۷', '2026-12-08', '0']);

  // The state changed by the app.
  await page.click('#nowruz');
  await page.waitFor(`document.getElementById('state').textContent === '2025-03-21'`);
  assert.deepEqual(await page.evaluate(state), ['2025-03-21', '۱۴۰۴/۰۱/۰۱', '2025-03-21', '0']);

  // A day chosen in the calendar: PageUp to Esfand 1403, then Enter.
  await page.clickOn(`document.getElementById('day').shadowRoot.querySelector('button')`);
  await page.waitFor(`document.getElementById('day').shadowRoot.querySelector('dialog').open`);
  for (const type of ['keyDown', 'keyUp']) {
    await page.send('Input.dispatchKeyEvent', { type, key: 'PageUp', code: 'PageUp', windowsVirtualKeyCode: 33 });
  }
  await page.press('Enter', 'Enter', 13);
  await page.waitFor(`document.getElementById('state').textContent === '2025-02-19'`);
  assert.deepEqual(await page.evaluate(state), ['2025-02-19', '۱۴۰۳/۱۲/۰۱', '2025-02-19', '1']);

  // A date typed, in Persian digits: change comes when the field is left.
  await page.evaluate(`(() => { const i = document.getElementById('day').shadowRoot.querySelector('input');
    i.focus(); i.select(); return true; })()`);
  await page.type('۱۴۰۵/۰۱/۰۱');
  await page.press('Tab', 'Tab', 9);
  await page.waitFor(`document.getElementById('state').textContent === '2026-03-21'`);
  assert.deepEqual(await page.evaluate(state), ['2026-03-21', '۱۴۰۵/۰۱/۰۱', '2026-03-21', '2']);
});
