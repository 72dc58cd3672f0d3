// The window's behaviour runs in form.wasm (web/wasm/form_exports.cpp): the
// form's event handlers and the calendar routines, compiled from C++. This
// script gives it what the window's toolkit would: the controls' captions,
// today's date from the browser's clock in its local time zone, and message
// boxes, each a modal <dialog> shown after the ones before it.

const controls = new Map();
for (const element of document.querySelectorAll('[data-control]')) {
  controls.set(Number(element.dataset.control), element);
}

// Messages wait here while the one before them is open.
const dialog = document.getElementById('message');
const messageText = document.getElementById('messageText');
const waiting = [];
function showNext() {
  messageText.textContent = waiting[0];
  dialog.showModal();
}
dialog.addEventListener('close', () => {
  waiting.shift();
  if (waiting.length > 0) {
    showNext();
  }
});

let form = null;
const utf16 = new TextDecoder('utf-16le');
function text(address, length) {
  return utf16.decode(new Uint8Array(form.memory.buffer, address, 2 * length));
}

const page = {
  today() {
    const now = new Date();
    return now.getFullYear() * 10000 + (now.getMonth() + 1) * 100 + now.getDate();
  },
  message(address, length) {
    waiting.push(text(address, length));
    if (waiting.length === 1) {
      showNext();
    }
  },
  caption(control, address, length) {
    const element = controls.get(control);
    const caption = text(address, length);
    if (element instanceof HTMLInputElement) {
      element.value = caption;
    } else {
      element.textContent = caption;
    }
  },
  // Closes the page's window where the browser lets a page do so (an
  // installed app's window, one a script opened); elsewhere nothing happens.
  close() {
    window.close();
  },
};

// What else the C library imports is never reached by the form.
const imports = {
  page,
  env: { emscripten_notify_memory_growth() {} },
  wasi_snapshot_preview1: new Proxy({}, { get: () => () => 52 }),
};

async function load() {
  const response = fetch(new URL('form.wasm', import.meta.url));
  try {
    return (await WebAssembly.instantiateStreaming(response, imports)).instance;
  } catch {
    // A server that does not call .wasm application/wasm.
    return (await WebAssembly.instantiate(await (await response).arrayBuffer(), imports)).instance;
  }
}

form = (await load()).exports;
form._initialize();
form.Load();

const box = document.getElementById('txtShamsi');
document.getElementById('cmdConvert').addEventListener('click', () => {
  const typed = box.value;
  const address = form.Typed(typed.length);
  const units = new Uint16Array(form.memory.buffer, address, typed.length);
  for (let i = 0; i < typed.length; ++i) {
    units[i] = typed.charCodeAt(i);
  }
  form.Convert();
});
document.getElementById('cmdExit').addEventListener('click', () => form.Exit());
// The web address is a control of its own: a click, Enter or Space shows
// the credit, as a button's would (Enter when pressed, Space when let go).
const webAddress = document.getElementById('Label4');
webAddress.addEventListener('click', () => form.ClickWebAddress());
webAddress.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && !event.repeat) {
    webAddress.click();
  } else if (event.key === ' ') {
    event.preventDefault();
  }
});
webAddress.addEventListener('keyup', (event) => {
  if (event.key === ' ') {
    webAddress.click();
  }
});
box.focus();

if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').catch(() => {});
}
