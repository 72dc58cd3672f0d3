// Takes docs/picker.png: the date picker of the test page open under its
// field, in headless Chromium.
//
// Usage: node web/test/picker-screenshot.mjs INSTALLED_PACKAGE_FOLDER OUT.png
import { copyFileSync, cpSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, serve } from './browser.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const folder = mkdtempSync(join(tmpdir(), 'picker-shot-'));
cpSync(join(process.argv[2], 'node_modules', 'shamsi-date'), join(folder, 'node_modules', 'shamsi-date'), { recursive: true });
copyFileSync(join(here, 'picker.html'), join(folder, 'index.html'));
const server = await serve(folder);
const browser = await launch({ TZ: 'Asia/Tehran' });
try {
  const page = await browser.open({ width: 640, height: 480 });
  await page.navigate(server.url);
  await page.waitFor(`document.getElementById('day')?.shadowRoot?.querySelector('input')?.value > ''`);
  await page.clickOn(`document.getElementById('day').shadowRoot.querySelector('button')`);
  await page.waitFor(`document.getElementById('day').shadowRoot.querySelector('dialog').open`);
  const { data } = await page.send('Page.captureScreenshot', {
    format: 'png',
    clip: { x: 240, y: 60, width: 400, height: 360, scale: 1 },
  });
  writeFileSync(process.argv[3], Buffer.from(data, 'base64'));
} finally {
  await browser.close();
  await server.close();
  rmSync(folder, { recursive: true, force: true });
}
