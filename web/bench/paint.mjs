// The page's first paint with today's date against a static page with the
// same labels and no script, in headless Chromium, cold (a new browser
// context each time: no cache, no service worker), in alternating runs.
//
// Usage: node paint.mjs PAGE_FOLDER [ROUNDS]
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { launch, serve } from '../test/browser.mjs';

const rounds = Number(process.argv[3] ?? 11);
const folder = mkdtempSync(join(tmpdir(), 'page-'));
cpSync(process.argv[2], folder, { recursive: true });

// When today's Shamsi date is first in a frame: the frame after the script
// fills the label (for the page), or the first contentful paint (for the
// static page, which has it from the start).
const probe = `
  window.__paint = new Promise((resolve) => {
    new MutationObserver((changes, observer) => {
      const label = document.getElementById('lblTodayShamsi');
      if (label && label.textContent !== '') {
        observer.disconnect();
        requestAnimationFrame(() => requestAnimationFrame(() => resolve(performance.now())));
      }
    }).observe(document, { subtree: true, childList: true, characterData: true });
  });`;
const paintTime = `(async () => {
  const filled = await window.__paint;
  const fcp = await new Promise((resolve) => new PerformanceObserver((list, observer) => {
    observer.disconnect();
    resolve(list.getEntriesByName('first-contentful-paint')[0].startTime);
  }).observe({ type: 'paint', buffered: true }));
  return Math.max(fcp, document.querySelector('script') ? filled : fcp);
})()`;

const server = await serve(folder);
const browser = await launch({ TZ: 'Asia/Tehran' });
try {
  // The static page: the page as loaded, without its script.
  const first = await browser.open();
  await first.navigate(server.url);
  await first.waitFor(`document.getElementById('lblTodayShamsi').textContent !== ''`);
  const html = await first.evaluate(`'<!DOCTYPE html>\\n' + document.documentElement.outerHTML`);
  writeFileSync(
    join(folder, 'static.html'),
    html.replace(/<script[^>]*><\/script>\n?/g, '').replace(/<link rel="(preload|manifest)"[^>]*>\n?/g, ''),
  );
  if (readFileSync(join(folder, 'static.html'), 'utf8').includes('<script')) {
    throw new Error('the static page has a script');
  }

  const times = { page: [], static: [] };
  for (let round = -1; round < rounds; ++round) {
    for (const [name, path] of [
      ['page', ''],
      ['static', 'static.html'],
    ]) {
      const { browserContextId } = await browser.send('Target.createBrowserContext');
      const tab = await browser.open(undefined, browserContextId);
      await tab.send('Page.addScriptToEvaluateOnNewDocument', { source: probe });
      await tab.navigate(server.url + path);
      const ms = await tab.evaluate(paintTime);
      if (round >= 0) {
        times[name].push(ms);
      }
      await browser.send('Target.disposeBrowserContext', { browserContextId });
    }
  }
  const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
  const page = median(times.page);
  const still = median(times.static);
  console.log('First paint with today\'s date, Chromium, cold, median of', rounds);
  console.log(`  the page: ${page.toFixed(1)} ms`);
  console.log(`  static page, same labels, no script: ${still.toFixed(1)} ms`);
  console.log(`  ratio: ${(page / still).toFixed(2)}`);
} finally {
  await browser.close();
  await server.close();
  rmSync(folder, { recursive: true, force: true });
}
