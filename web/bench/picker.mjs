// The date picker against react-multi-date-picker with React, in headless
// Chromium: the gzipped bytes each page loads (both built by esbuild,
// minified, production), the time from a click on the field's button (from
// its pointerdown: react-multi-date-picker opens when its field takes focus,
// before the click ends) to the open calendar painted, and from PageDown (react-multi-date-picker: a click
// on its next-month arrow, as it has no PageDown) to the next month painted.
// Each round opens both pages in turn, cold (a new browser context).
//
// Usage: node picker.mjs PACKAGE_FOLDER [ROUNDS]
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { build } from 'esbuild';

import { launch, serve } from '../test/browser.mjs';

const here = fileURLToPath(new URL('.', import.meta.url));
const packageFolder = resolve(process.argv[2]);
const rounds = Number(process.argv[3] ?? 11);
const folder = mkdtempSync(join(tmpdir(), 'picker-bench-'));
// The pages' folder goes however the run ends.
process.on('exit', () => rmSync(folder, { recursive: true, force: true }));

const page = (script) => `<!DOCTYPE html>
<html lang="fa" dir="rtl"><head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1">
<title>picker</title><style>body { font-family: Tahoma, sans-serif; }</style>
<script type="module" src="./${script}"></script></head>
<body><main><label for="day">روز</label> <div id="root"></div></main></body></html>`;

// Ours: the element in the page, its module bundled with the package's.
writeFileSync(
  join(folder, 'ours.entry.js'),
  `import ${JSON.stringify(join(packageFolder, 'picker.js'))};
  document.getElementById('root').innerHTML = '<shamsi-date-input id="day" value="2026-12-08"></shamsi-date-input>';`,
);
// The peer: its Persian calendar and locale, a controlled value.
writeFileSync(
  join(folder, 'peer.entry.jsx'),
  `import { useState } from 'react';
  import { createRoot } from 'react-dom/client';
  import DatePicker from 'react-multi-date-picker';
  import persian from 'react-date-object/calendars/persian';
  import persian_fa from 'react-date-object/locales/persian_fa';
  function App() {
    const [value, setValue] = useState(new Date(2026, 11, 8));
    return <DatePicker id="day" calendar={persian} locale={persian_fa} value={value} onChange={setValue} />;
  }
  createRoot(document.getElementById('root')).render(<App />);`,
);
// The floor: a page whose button, clicked, does nothing, and whose PageDown
// changes one word, timed as the pickers are: what the browser itself takes
// to show a change after a key.
writeFileSync(
  join(folder, 'floor.entry.js'),
  `const button = document.createElement('button');
  button.id = 'day';
  button.textContent = 'روز';
  const title = document.createElement('h2');
  title.id = 'title';
  title.textContent = 'آذر ۱۴۰۵';
  button.addEventListener('keydown', (event) => {
    if (event.key === 'PageDown') {
      title.textContent = title.textContent === 'آذر ۱۴۰۵' ? 'دی ۱۴۰۵' : 'آذر ۱۴۰۵';
    }
  });
  document.getElementById('root').append(button, title);`,
);
for (const name of ['ours', 'peer', 'floor']) {
  await build({
    entryPoints: [join(folder, `${name}.entry.${name === 'peer' ? 'jsx' : 'js'}`)],
    outfile: join(folder, `${name}.js`),
    bundle: true,
    minify: true,
    format: 'esm',
    target: 'chrome120',
    jsx: 'automatic',
    define: { 'process.env.NODE_ENV': '"production"' },
    nodePaths: [join(here, 'node_modules')],
    logLevel: 'error',
  });
  writeFileSync(join(folder, `${name}.html`), page(`${name}.js`));
}

const gzipped = (file) => execFileSync('gzip', ['-9c', join(folder, file)]).length;

// When the calendar is painted after an event: the event's time, and the
// end of the frame after the one in which done() first held.
const timing = (event, done) => `new Promise((resolve) => {
  window.addEventListener(${JSON.stringify(event)}, (e) => {
    const start = e.timeStamp;
    const frame = () => (${done}) ? setTimeout(() => resolve(performance.now() - start), 0) : requestAnimationFrame(frame);
    requestAnimationFrame(frame);
  }, { capture: true, once: true });
})`;
const SIDES = {
  ours: {
    button: `document.getElementById('day').shadowRoot.querySelector('button')`,
    open: `document.getElementById('day').shadowRoot.querySelector('dialog').open &&
      document.getElementById('day').shadowRoot.querySelector('shamsi-calendar').shadowRoot.querySelector('td[tabindex="0"]') !== null`,
    title: `document.getElementById('day').shadowRoot.querySelector('shamsi-calendar').shadowRoot.getElementById('title').textContent`,
  },
  peer: {
    button: `document.getElementById('day')`,
    open: `document.querySelector('.rmdp-day-picker .rmdp-day') !== null`,
    title: `document.querySelector('.rmdp-header-values').textContent`,
    next: `document.querySelector('.rmdp-arrow-container.rmdp-right')`,
  },
  floor: {
    button: `document.getElementById('day')`,
    open: `true`,
    title: `document.getElementById('title').textContent`,
  },
};

const server = await serve(folder);
const browser = await launch({ TZ: 'Asia/Tehran' });
const times = Object.fromEntries(Object.keys(SIDES).map((name) => [name, { open: [], month: [], paused: [] }]));
const PAUSE = 500; // ms
const loaded = {};
try {
  for (let round = -1; round < rounds; ++round) {
    for (const name of Object.keys(SIDES)) {
      const side = SIDES[name];
      const { browserContextId } = await browser.send('Target.createBrowserContext');
      const tab = await browser.open(undefined, browserContextId);
      await tab.navigate(`${server.url}${name}.html`);
      await tab.waitFor(`(() => { try { return (${side.button}).getBoundingClientRect().width > 0; } catch { return false; } })()`);
      await tab.evaluate(`window.opened = ${timing('pointerdown', side.open)}; true`);
      await tab.clickOn(side.button);
      const open = await tab.evaluate('window.opened');
      // The next month twice: at once, while the browser is still drawing the
      // opening, and after a pause, as a person who has read the month pages on.
      const month = [];
      for (const pause of [0, PAUSE]) {
        await new Promise((resolve) => setTimeout(resolve, pause));
        const title = await tab.evaluate(side.title);
        await tab.evaluate(`window.moved = ${timing(name === 'peer' ? 'click' : 'keydown', `(${side.title}) !== ${JSON.stringify(title)}`)}; true`);
        if (name !== 'peer') {
          await tab.press('PageDown', 'PageDown', 34);
        } else {
          await tab.clickOn(side.next);
        }
        month.push(await tab.evaluate('window.moved'));
      }
      if (round >= 0) {
        times[name].open.push(open);
        times[name].month.push(month[0]);
        times[name].paused.push(month[1]);
      }
      if (round === -1) {
        loaded[name] = await tab.evaluate(`performance.getEntriesByType('resource').map((r) => new URL(r.name).pathname)`);
      }
      await browser.send('Target.disposeBrowserContext', { browserContextId });
    }
  }
} finally {
  await browser.close();
  await server.close();
}

const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const bytes = {};
for (const name of ['ours', 'peer']) {
  // Every script, style sheet, module and font the page fetched (not the
  // page itself, nor a favicon it asked for and did not get).
  const files = [`${name}.js`, ...loaded[name].map((path) => basename(path))]
    .filter((file, i, all) => all.indexOf(file) === i && /\.(js|css|wasm|woff2?)$/.test(file) && existsSync(join(folder, file)));
  bytes[name] = files.reduce((sum, file) => sum + gzipped(file), 0);
  console.log(`${name === 'ours' ? 'shamsi-date/picker' : 'react-multi-date-picker 4.5.2 + React 19.3.1'}: ` +
    `${files.join(' + ')}, gzip -9: ${bytes[name].toLocaleString('en')} bytes`);
}
console.log(`  size ratio: ${(bytes.ours / bytes.peer).toFixed(3)} (target at most 1/3: ${Math.floor(bytes.peer / 3)} bytes)`);
console.log(`Times in Chromium, cold, median of ${rounds}:`);
console.log(`  click to the open calendar painted: ours ${median(times.ours.open).toFixed(1)} ms, ` +
  `react-multi-date-picker ${median(times.peer.open).toFixed(1)} ms`);
console.log(`  to the next month painted, at once after opening: ours (PageDown) ${median(times.ours.month).toFixed(1)} ms, ` +
  `react-multi-date-picker (its arrow clicked) ${median(times.peer.month).toFixed(1)} ms; ` +
  `a page whose PageDown changes one word ${median(times.floor.month).toFixed(1)} ms`);
console.log(`  to the next month painted, ${PAUSE} ms later: ours (PageDown) ${median(times.ours.paused).toFixed(1)} ms, ` +
  `react-multi-date-picker (its arrow clicked) ${median(times.peer.paused).toFixed(1)} ms; ` +
  `a page whose PageDown changes one word ${median(times.floor.paused).toFixed(1)} ms (target: within a frame, 16 ms)`);
