// A page that uses the package as an app does, built by each bundler as
// it comes: the page's own answers, and a worker's answer to a message
// posted right after it was made.
import { formatShamsi, fromShamsi, toShamsi } from 'shamsi-date';
import 'shamsi-date/picker';

const answers = {
  page: formatShamsi(toShamsi(2124, 3, 20)),
  instant: formatShamsi(new Date(Date.UTC(2026, 11, 8, 22)), '%Y/%m/%d %H:%M %z', { timeZone: 'Asia/Tehran' }),
  back: fromShamsi({ year: 1405, month: 9, day: 18, hour: 1, minute: 30 }, { timeZone: 'Asia/Tehran' }).toISOString(),
};

// The picker, drawn on a page with no font of its own.
const calendar = document.createElement('shamsi-calendar');
calendar.setAttribute('value', '2124-03-20');
document.body.append(calendar);
answers.picker = calendar.shadowRoot.querySelector('[aria-selected="true"]')?.getAttribute('aria-label') ?? null;

function startWorker() {
  // esbuild's default format (an IIFE) has no import.meta: a classic worker there.
  if (import.meta.url === undefined) {
    return new Worker('worker.js');
  }
  return new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
}

const worker = startWorker();
worker.onmessage = ({ data }) => {
  globalThis.answers = { ...answers, worker: data };
};
worker.onerror = (event) => {
  globalThis.answers = { ...answers, worker: `failed: ${event.message}` };
};
worker.postMessage([2026, 12, 8]);
