// The package as apps take it, with no configuration of any tool: an app
// (web/test/bundlers/app) built by Vite 7 (build and dev server), esbuild
// (its default format and ESM) and webpack 5, each run in headless Chromium,
// its page and a module worker answering; rendered on the server by Vite;
// imported and required under Node; its declarations checked by attw; and a
// page whose Content-Security-Policy does or does not allow WebAssembly.
// NODE18: the node program of Node.js 18, for the package under it.
//
// BUNDLERS: a folder with web/test/bundlers's devDependencies installed,
// the package unpacked in its node_modules, and the app in app/;
// SHAMSI_DATE_TGZ: the package's .tgz, for attw.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { launch, serve } from './browser.mjs';

const work = process.env.BUNDLERS;
const app = join(work, 'app');
const require = createRequire(join(work, 'package.json'));

const expected = {
  page: '1503/01/01',
  instant: '1405/09/18 01:30 +03:30',
  back: '2026-12-08T22:00:00.000Z',
  picker: 'دوشنبه ۱ فروردین ۱۵۰۳',
  worker: 'سه‌شنبه ۱۷ آذر ۱۴۰۵',
};

let browser;
before(async () => {
  browser = await launch();
});
after(async () => {
  await browser?.close();
});

// The answers of the page at url, once it and its worker have given them.
async function answersAt(url) {
  const tab = await browser.open();
  try {
    await tab.navigate(url);
    await tab.waitFor('globalThis.answers !== undefined');
    return await tab.evaluate('globalThis.answers');
  } finally {
    await tab.send('Page.close');
  }
}

async function answersOfFolder(folder, headers = {}) {
  const server = await serve(folder, headers);
  try {
    return await answersAt(server.url);
  } finally {
    await server.close();
  }
}

function page(folder, script) {
  writeFileSync(join(folder, 'index.html'), `<!DOCTYPE html>\n<meta charset="utf-8"><title>app</title>\n<body>${script}\n`);
}

test('Vite 7: vite build', async () => {
  const { build } = await import(pathToFileURL(require.resolve('vite')));
  const out = join(work, 'out-vite');
  await build({ root: app, configFile: false, logLevel: 'silent', build: { outDir: out, emptyOutDir: true } });
  assert.deepEqual(await answersOfFolder(out), expected);
});

test('Vite 7: the dev server, and rendering on the server', async () => {
  const { createServer } = await import(pathToFileURL(require.resolve('vite')));
  const server = await createServer({
    root: app,
    configFile: false,
    logLevel: 'silent',
    server: { host: '127.0.0.1', port: 0, strictPort: true },
  });
  try {
    await server.listen();
    const { port } = server.httpServer.address();
    assert.deepEqual(await answersAt(`http://127.0.0.1:${port}/`), expected);
    const { render } = await server.ssrLoadModule('/ssr.js');
    assert.equal(render(), '<p>1 فروردین 1503, 30</p>');
  } finally {
    await server.close();
  }
});

for (const format of [undefined, 'esm']) {
  test(`esbuild: ${format === undefined ? 'the default format' : '--format=esm'}`, async () => {
    const esbuild = require('esbuild');
    const out = join(work, `out-esbuild-${format ?? 'default'}`);
    await esbuild.build({
      entryPoints: [join(app, 'main.js'), join(app, 'worker.js')],
      bundle: true,
      outdir: out,
      logLevel: 'silent',
      ...(format ? { format } : {}),
    });
    page(out, `<script ${format === 'esm' ? 'type="module" ' : ''}src="main.js"></script>`);
    assert.deepEqual(await answersOfFolder(out), expected);
  });
}

test('webpack 5', async () => {
  const webpack = require('webpack');
  const out = join(work, 'out-webpack');
  const stats = await new Promise((resolve, reject) =>
    webpack({ mode: 'production', context: app, entry: './main.js', output: { path: out } }, (error, result) =>
      error ? reject(error) : resolve(result),
    ),
  );
  assert.ok(!stats.hasErrors(), stats.toString('errors-only'));
  page(out, '<script src="main.js"></script>');
  assert.deepEqual(await answersOfFolder(out), expected);
});

test('Node: import and require give the same functions', async () => {
  const imported = await import(pathToFileURL(join(work, 'node_modules', 'shamsi-date', 'index.js')));
  const required = require('shamsi-date');
  assert.equal(require.resolve('shamsi-date'), join(work, 'node_modules', 'shamsi-date', 'index.cjs'));
  assert.deepEqual(Object.keys(required).sort(), Object.keys(imported).sort());
  const day = new Date(Date.UTC(2026, 11, 8, 22));
  for (const calendar of [imported, required]) {
    assert.deepEqual(calendar.toShamsi(day, { timeZone: 'Asia/Tehran' }), {
      year: 1405, month: 9, day: 18, hour: 1, minute: 30, second: 0,
    });
  }
  // The picker, where there is no DOM: it defines nothing, and gives the grids.
  const picker = await import(pathToFileURL(join(work, 'node_modules', 'shamsi-date', 'picker.js')));
  assert.deepEqual(Object.keys(require('shamsi-date/picker')), Object.keys(picker));
  assert.deepEqual(require('shamsi-date/picker').monthGrid(1403, 12), picker.monthGrid(1403, 12));
  // In a process of its own, where nothing else has loaded the package.
  const alone = spawnSync(
    process.execPath,
    ['-e', "require('shamsi-date/picker'); console.log(require('shamsi-date').toShamsi(2124, 3, 20).year)"],
    { cwd: work, encoding: 'utf8' },
  );
  assert.equal(alone.stderr, '');
  assert.equal(alone.stdout, '1503\n');
});

test('Node 18: the package imported and required, with no DOM', () => {
  const runs = [
    ['--input-type=module', "import { toShamsi } from 'shamsi-date'; import { monthGrid } from 'shamsi-date/picker';"],
    ['--input-type=commonjs', "const { toShamsi } = require('shamsi-date'); const { monthGrid } = require('shamsi-date/picker');"],
  ];
  for (const [type, load] of runs) {
    const code = `${load} console.log(process.versions.node.split('.')[0], toShamsi(2124, 3, 20).day,
      toShamsi(new Date(Date.UTC(2026, 11, 8, 22)), { timeZone: 'Asia/Tehran' }).hour, monthGrid(1403, 12).length)`;
    const run = spawnSync(process.env.NODE18, [type, '-e', code], { cwd: work, encoding: 'utf8' });
    assert.equal(run.stderr, '', type);
    assert.equal(run.stdout, '18 1 1 30\n', type);
  }
});

test('attw finds nothing wrong with the declarations', () => {
  const result = spawnSync(join(work, 'node_modules', '.bin', 'attw'), [process.env.SHAMSI_DATE_TGZ], {
    encoding: 'utf8',
    env: { ...process.env, NO_COLOR: '1' },
  });
  assert.equal(result.status, 0, result.stdout + result.stderr);
});

test("a Content-Security-Policy needs 'wasm-unsafe-eval', and no more", async () => {
  const folder = join(work, 'csp');
  mkdirSync(folder, { recursive: true });
  for (const file of ['index.js', 'wasm.js']) {
    copyFileSync(join(work, 'node_modules', 'shamsi-date', file), join(folder, file));
  }
  writeFileSync(
    join(folder, 'csp.js'),
    `import('./index.js').then((calendar) => { globalThis.answers = calendar.formatShamsi(calendar.toShamsi(2124, 3, 20)); },
      (error) => { globalThis.answers = error.message; });\n`,
  );
  page(folder, '<script type="module" src="csp.js"></script>');
  const allowed = await answersOfFolder(folder, { 'content-security-policy': "script-src 'self' 'wasm-unsafe-eval'" });
  assert.equal(allowed, '1503/01/01');
  const refused = await answersOfFolder(folder, { 'content-security-policy': "script-src 'self'" });
  assert.match(refused, /^shamsi-date: cannot compile its WebAssembly .*'wasm-unsafe-eval' in script-src$/);
});
