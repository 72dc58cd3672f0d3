// A headless Chromium driven over the DevTools protocol on a pipe (no port
// of its own), and a static server for a folder on 127.0.0.1. Both end when
// closed, and Chromium's profile folder is removed.
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.md': 'text/plain; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
  '.ttf': 'font/ttf',
  '.woff2': 'font/woff2',
  '.txt': 'text/plain; charset=utf-8',
};

// headers: more headers for every answer, such as a Content-Security-Policy.
export async function serve(folder, headers = {}) {
  const server = createServer((request, response) => {
    let path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (path.endsWith('/')) {
      path += 'index.html';
    }
    const file = join(folder, path);
    try {
      if (!file.startsWith(folder) || !statSync(file).isFile()) {
        throw new Error('not a file');
      }
      response.writeHead(200, { ...headers, 'content-type': TYPES[extname(file)] ?? 'application/octet-stream' });
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () =>
      new Promise((resolve) => {
        server.closeAllConnections();
        server.close(resolve);
      }),
  };
}

export async function launch(environment = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'chromium-'));
  // Chromium's own temporary files (its singleton socket) go into the
  // profile's folder too, and so are removed with it.
  const temporary = join(profile, 'tmp');
  mkdirSync(temporary);
  const chromium = spawn(
    'chromium',
    [
      '--headless=new',
      '--no-sandbox',
      '--remote-debugging-pipe',
      `--user-data-dir=${profile}`,
      '--no-first-run',
      '--no-default-browser-check',
      '--disable-gpu',
      '--disable-extensions',
      '--disable-background-networking',
      'about:blank',
    ],
    // A process group of its own, so that its helpers end with it.
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'], env: { ...process.env, TMPDIR: temporary, ...environment }, detached: true },
  );
  const toBrowser = chromium.stdio[3];
  const fromBrowser = chromium.stdio[4];
  let nextId = 1;
  const pending = new Map();
  const listeners = new Set();
  let buffered = '';
  fromBrowser.setEncoding('utf8');
  fromBrowser.on('data', (chunk) => {
    buffered += chunk;
    let end;
    while ((end = buffered.indexOf('\0')) >= 0) {
      const message = JSON.parse(buffered.slice(0, end));
      buffered = buffered.slice(end + 1);
      if (message.id !== undefined && pending.has(message.id)) {
        const { resolve, reject } = pending.get(message.id);
        pending.delete(message.id);
        if (message.error) {
          reject(new Error(`${message.error.message}`));
        } else {
          resolve(message.result);
        }
      } else {
        for (const listener of listeners) {
          listener(message);
        }
      }
    }
  });
  const exited = new Promise((resolve) => chromium.on('exit', resolve));

  function send(method, params = {}, sessionId = undefined) {
    const id = nextId++;
    toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve, reject) => pending.set(id, { resolve, reject }));
  }

  function nextEvent(method, sessionId, timeout = 15000) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        listeners.delete(listener);
        reject(new Error(`no ${method} in ${timeout} ms`));
      }, timeout);
      const listener = (message) => {
        if (message.method === method && message.sessionId === sessionId) {
          clearTimeout(timer);
          listeners.delete(listener);
          resolve(message.params);
        }
      };
      listeners.add(listener);
    });
  }

  // A tab: navigate, evaluate, type, click.
  async function open(viewport = { width: 800, height: 900 }, browserContextId = undefined) {
    const { targetId } = await send('Target.createTarget', { url: 'about:blank', browserContextId });
    const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
    const tab = (method, params) => send(method, params, sessionId);
    await tab('Page.enable');
    await tab('Runtime.enable');
    await tab('Emulation.setDeviceMetricsOverride', { ...viewport, deviceScaleFactor: 1, mobile: false });
    return {
      send: tab,
      async navigate(url) {
        const loaded = nextEvent('Page.loadEventFired', sessionId);
        await tab('Page.navigate', { url });
        await loaded;
      },
      async reload() {
        const loaded = nextEvent('Page.loadEventFired', sessionId);
        await tab('Page.reload', { ignoreCache: false });
        await loaded;
      },
      async evaluate(expression) {
        const { result, exceptionDetails } = await tab('Runtime.evaluate', {
          expression,
          awaitPromise: true,
          returnByValue: true,
        });
        if (exceptionDetails) {
          throw new Error(`${expression}: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
        }
        return result.value;
      },
      // Until the expression is true, or fails after the timeout.
      async waitFor(expression, timeout = 15000) {
        const until = Date.now() + timeout;
        while (!(await this.evaluate(expression))) {
          if (Date.now() > until) {
            throw new Error(`still false after ${timeout} ms: ${expression}`);
          }
          await new Promise((resolve) => setTimeout(resolve, 20));
        }
      },
      async type(text) {
        await tab('Input.insertText', { text });
      },
      // modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift.
      async press(key, code, keyCode, modifiers = 0) {
        for (const type of ['keyDown', 'keyUp']) {
          await tab('Input.dispatchKeyEvent', { type, key, code, windowsVirtualKeyCode: keyCode, modifiers });
        }
      },
      // A mouse click in the middle of the element.
      async click(selector) {
        await this.clickOn(`document.querySelector(${JSON.stringify(selector)})`);
      },
      // A mouse click in the middle of the element an expression gives
      // (one inside a shadow root, for instance).
      async clickOn(expression) {
        const { x, y } = await this.evaluate(`(() => {
          const r = (${expression}).getBoundingClientRect();
          return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
        })()`);
        for (const type of ['mousePressed', 'mouseReleased']) {
          await tab('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
        }
      },
    };
  }

  return {
    open,
    send,
    async close() {
      try {
        await Promise.race([send('Browser.close'), new Promise((resolve) => setTimeout(resolve, 3000))]);
      } catch {
        // Already gone.
      }
      if (chromium.exitCode === null) {
        chromium.kill('SIGKILL');
      }
      await exited;
      try {
        process.kill(-chromium.pid, 'SIGKILL');
      } catch {
        // No helper left.
      }
      rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
    },
  };
}
