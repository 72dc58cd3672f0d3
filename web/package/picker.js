// The date picker elements, <shamsi-calendar> and <shamsi-date-input>,
// defined when the module is imported in a page. Where there is no DOM
// (Node.js, server-side rendering) importing it defines nothing; monthGrid,
// the data a calendar draws, works everywhere.
import { calendarClass } from './picker/calendar.js';
import { inputClass } from './picker/input.js';

export { monthGrid } from './picker/days.js';

// The bundled font beside this module; none where the module has no URL of
// its own (a bundle in esbuild's default format, CommonJS), which leaves
// the elements to Tahoma or the page's sans-serif face.
function fontUrl() {
  try {
    return new URL('./picker/Vazirmatn-UI.woff2', import.meta.url).href;
  } catch {
    return null;
  }
}

// A page's own font stack, or Vazirmatn UI (bundled) where the page has
// none: then the browser's default serif face is what the element inherits.
function useBundledFont(host) {
  const family = getComputedStyle(host).fontFamily.replaceAll('"', '').toLowerCase();
  if (host.shadowRoot.querySelector('style.font') !== null) {
    return;
  }
  if (['times new roman', 'times', 'serif', 'tinos', 'liberation serif'].includes(family)) {
    const url = fontUrl();
    if (url !== null && ![...document.fonts].some((face) => face.family.replaceAll('"', '') === 'Vazirmatn UI')) {
      document.fonts.add(new FontFace('Vazirmatn UI', `url(${url})`));
    }
    const style = document.createElement('style');
    style.className = 'font';
    style.textContent = ":host { font-family: var(--shamsi-font, 'Vazirmatn UI', Tahoma, sans-serif); }";
    host.shadowRoot.append(style);
  }
}

function withFont(Element) {
  return class extends Element {
    connectedCallback() {
      useBundledFont(this);
      super.connectedCallback();
    }
  };
}

if (typeof HTMLElement === 'function' && typeof customElements === 'object' && customElements !== null) {
  if (!customElements.get('shamsi-calendar')) {
    customElements.define('shamsi-calendar', withFont(calendarClass(HTMLElement)));
  }
  if (!customElements.get('shamsi-date-input')) {
    customElements.define('shamsi-date-input', withFont(inputClass(HTMLElement)));
  }
}
