// <shamsi-calendar>: one Shamsi month as a grid, Saturday to Friday, moved
// through with the keys of the WAI-ARIA date picker dialog's grid.
import { formatShamsi, monthNames, weekdayInitials, weekdayNames, weekdayOf } from '../index.js';
import { DIGITS, NAMES, clamped, compare, fromIso, monthGrid, moved, oneOf, sameDay, toIso, today } from './days.js';
import { calendarStyle } from './style.js';

// The words of the calendar's own controls.
export const WORDS = {
  persian: { previous: 'ماه پیش', next: 'ماه بعد', month: 'ماه', year: 'سال' },
  english: { previous: 'Previous month', next: 'Next month', month: 'Month', year: 'Year' },
};
export const wordsFor = (names) => (names === 'english' ? WORDS.english : WORDS.persian);

const FRIDAY = 6;
const ROWS = 6;
// What a day's cell has and an empty cell has not.
const CELL_ATTRIBUTES = ['data-day', 'aria-label', 'tabindex', 'aria-current', 'aria-disabled', 'aria-selected', 'class', 'part'];

// The move each key makes: an amount for addShamsi, or a function of the
// day's weekday (Home and End). ArrowLeft and ArrowRight follow the
// direction of the text: in a right-to-left page ArrowLeft is the next day.
function moveFor(event, rtl, date) {
  const forward = rtl ? -1 : 1;
  switch (event.key) {
    case 'ArrowRight':
      return { days: forward };
    case 'ArrowLeft':
      return { days: -forward };
    case 'ArrowDown':
      return { weeks: 1 };
    case 'ArrowUp':
      return { weeks: -1 };
    case 'Home':
      return { days: -weekdayOf(date) };
    case 'End':
      return { days: FRIDAY - weekdayOf(date) };
    case 'PageDown':
      return event.shiftKey ? { years: 1 } : { months: 1 };
    case 'PageUp':
      return event.shiftKey ? { years: -1 } : { months: -1 };
    default:
      return null;
  }
}

// The direction the elements run in: that of the nearest dir attribute
// ('rtl' or 'ltr') around them, through shadow roots; right to left where
// there is none.
export function directionOf(node) {
  for (let at = node; at; at = at.parentElement ?? at.getRootNode().host) {
    const dir = at.getAttribute?.('dir');
    if (dir === 'rtl' || dir === 'ltr') {
      return dir;
    }
  }
  return 'rtl';
}

// An attribute set (a string) or removed (null) only where it changes: a
// write of the same value still costs the browser its style invalidation,
// and a month drawn again keeps most of what its cells had.
function put(node, name, value) {
  if (node.getAttribute(name) !== value) {
    if (value === null) {
      node.removeAttribute(name);
    } else {
      node.setAttribute(name, value);
    }
  }
}

// A node's text, its text node kept where it has one.
function putText(node, text) {
  const first = node.firstChild;
  if (first !== null && first === node.lastChild && first.nodeType === Node.TEXT_NODE) {
    if (first.data !== text) {
      first.data = text;
    }
  } else if (node.textContent !== text) {
    node.textContent = text;
  }
}

function element(name, attributes = {}, parent = null) {
  const node = document.createElement(name);
  for (const [key, value] of Object.entries(attributes)) {
    node.setAttribute(key, value);
  }
  parent?.append(node);
  return node;
}

export function calendarClass(Base) {
  return class ShamsiCalendar extends Base {
    static observedAttributes = ['value', 'min', 'max', 'digits', 'names', 'range', 'start', 'end', 'dir'];

    #active = null; // the day with the grid's tab stop
    #cells = [];
    #parts = {};
    #pending = false; // an attribute changed since the month was drawn

    constructor() {
      super();
      const root = this.attachShadow({ mode: 'open' });
      const style = element('style', {}, root);
      style.textContent = calendarStyle;
      const box = element('div', { class: 'calendar', part: 'calendar' }, root);
      const header = element('div', { class: 'header', part: 'header' }, box);
      const title = element('h2', { id: 'title', class: 'hidden-label', 'aria-live': 'polite' }, box);
      const previous = element('button', { type: 'button', class: 'nav', part: 'nav previous' }, header);
      const month = element('select', { part: 'month' }, header);
      const year = element('input', { type: 'number', min: '1', max: '9999', part: 'year', inputmode: 'numeric' }, header);
      element('span', { class: 'spacer' }, header);
      const next = element('button', { type: 'button', class: 'nav', part: 'nav next' }, header);
      const table = element('table', { role: 'grid', 'aria-labelledby': 'title', part: 'grid' }, box);
      const headRow = element('tr', {}, element('thead', {}, table));
      const heads = Array.from({ length: 7 }, (_, i) =>
        element('th', { scope: 'col', part: i === FRIDAY ? 'weekday weekend' : 'weekday', class: i === FRIDAY ? 'weekend' : '' }, headRow),
      );
      const body = element('tbody', {}, table);
      const rows = Array.from({ length: ROWS }, () => element('tr', {}, body));
      this.#cells = rows.flatMap((row) => Array.from({ length: 7 }, () => element('td', {}, row)));
      Object.assign(this.#parts, { box, title, previous, month, year, next, heads, rows, body });

      previous.addEventListener('click', () => this.#moveBy({ months: -1 }, false));
      next.addEventListener('click', () => this.#moveBy({ months: 1 }, false));
      month.addEventListener('change', () => this.#moveBy({ months: Number(month.value) - this.#day().month }, false));
      year.addEventListener('change', () => {
        const wanted = Number(year.value);
        if (Number.isInteger(wanted) && wanted >= 1 && wanted <= 9999) {
          this.#moveBy({ years: wanted - this.#day().year }, false);
        } else {
          year.value = String(this.#day().year);
        }
      });
      body.addEventListener('click', (event) => {
        const cell = event.target.closest?.('td[data-day]');
        if (cell) {
          this.#active = this.#dateOf(cell);
          this.#choose(this.#active);
          this.#render();
          this.#cellOf(this.#active)?.focus();
        }
      });
      body.addEventListener('keydown', (event) => this.#key(event));
    }

    connectedCallback() {
      this.#render();
    }

    // Attributes set together (as the field sets them all on opening) draw
    // the month once.
    attributeChangedCallback() {
      if (this.isConnected && !this.#pending) {
        this.#pending = true;
        queueMicrotask(() => this.#pending && this.#render());
      }
    }

    // Attributes as properties: the dates in ISO Miladi, YYYY-MM-DD.
    get value() {
      return fromIso(this.getAttribute('value')) === null ? '' : this.getAttribute('value');
    }
    set value(text) {
      this.#setDate('value', text);
    }
    get min() {
      return this.getAttribute('min') ?? '';
    }
    set min(text) {
      this.#setDate('min', text);
    }
    get max() {
      return this.getAttribute('max') ?? '';
    }
    set max(text) {
      this.#setDate('max', text);
    }
    get start() {
      return fromIso(this.getAttribute('start')) === null ? '' : this.getAttribute('start');
    }
    set start(text) {
      this.#setDate('start', text);
    }
    get end() {
      return fromIso(this.getAttribute('end')) === null ? '' : this.getAttribute('end');
    }
    set end(text) {
      this.#setDate('end', text);
    }
    get digits() {
      return oneOf(this.getAttribute('digits'), DIGITS);
    }
    set digits(value) {
      this.setAttribute('digits', value);
    }
    get names() {
      return oneOf(this.getAttribute('names'), NAMES);
    }
    set names(value) {
      this.setAttribute('names', value);
    }
    get range() {
      return this.hasAttribute('range');
    }
    set range(on) {
      this.toggleAttribute('range', Boolean(on));
    }

    // The day that has the grid's tab stop, as ISO; setting it shows its month.
    get focusedDate() {
      return toIso(this.#day());
    }
    set focusedDate(text) {
      const date = fromIso(text);
      if (date !== null) {
        this.#active = date;
        this.#render();
      }
    }

    // Moves focus to the grid's day, the month drawn first if it has to be.
    focus(options) {
      if (this.#pending || this.#cellOf(this.#day()) === null) {
        this.#render();
      }
      this.#cellOf(this.#day())?.focus(options);
    }

    #setDate(name, text) {
      if (text === null || text === undefined || text === '') {
        this.removeAttribute(name);
      } else {
        this.setAttribute(name, String(text));
      }
    }

    #bounds() {
      return { min: fromIso(this.getAttribute('min')), max: fromIso(this.getAttribute('max')) };
    }

    #allowed(date) {
      const { min, max } = this.#bounds();
      return (min === null || compare(date, min) >= 0) && (max === null || compare(date, max) <= 0);
    }

    // The focused day: the one moved to, else the chosen one, else today
    // held within min and max.
    #day() {
      if (this.#active === null) {
        const { min, max } = this.#bounds();
        const chosen = this.range ? fromIso(this.getAttribute('start')) : fromIso(this.getAttribute('value'));
        this.#active = chosen ?? clamped(today(), min, max);
      }
      return this.#active;
    }

    #dateOf(cell) {
      const { year, month } = this.#day();
      return { year, month, day: Number(cell.dataset.day) };
    }

    #cellOf(date) {
      const { year, month } = this.#day();
      if (date.year !== year || date.month !== month) {
        return null;
      }
      return this.#cells.find((cell) => Number(cell.dataset.day) === date.day) ?? null;
    }

    #moveBy(amount, focusDay) {
      const date = moved(this.#day(), amount);
      if (date === null) {
        return;
      }
      this.#active = date;
      this.#render();
      if (focusDay) {
        this.#cellOf(date)?.focus();
      }
    }

    #key(event) {
      if (!event.target.closest?.('td[data-day]') || event.altKey || event.ctrlKey || event.metaKey) {
        return;
      }
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        this.#choose(this.#day());
        this.#render();
        return;
      }
      const amount = moveFor(event, directionOf(this) === 'rtl', this.#day());
      if (amount !== null) {
        event.preventDefault();
        this.#moveBy(amount, true);
      }
    }

    #choose(date) {
      if (!this.#allowed(date)) {
        return;
      }
      const iso = toIso(date);
      if (this.range) {
        const start = fromIso(this.getAttribute('start'));
        if (start === null || fromIso(this.getAttribute('end')) !== null) {
          this.setAttribute('start', iso);
          this.removeAttribute('end');
          return;
        }
        if (compare(date, start) < 0) {
          this.setAttribute('start', iso);
          this.setAttribute('end', toIso(start));
        } else {
          this.setAttribute('end', iso);
        }
      } else {
        this.setAttribute('value', iso);
      }
      this.dispatchEvent(new Event('change', { bubbles: true, composed: true }));
    }

    #render() {
      this.#pending = false;
      const { box, title, previous, month, year, next, heads, rows } = this.#parts;
      const active = this.#day();
      const digits = this.digits;
      const names = this.names;
      const words = wordsFor(names);
      const options = { digits, names };
      const first = { year: active.year, month: active.month, day: 1 };
      putText(title, formatShamsi(first, '%B %Y', options));
      put(previous, 'aria-label', words.previous);
      put(next, 'aria-label', words.next);
      const dir = directionOf(this);
      const rtl = dir === 'rtl';
      put(box, 'dir', dir);
      putText(previous, rtl ? '→' : '←');
      putText(next, rtl ? '←' : '→');
      previous.disabled = active.year === 1 && active.month === 1;
      next.disabled = active.year === 9999 && active.month === 12;
      put(month, 'aria-label', words.month);
      put(year, 'aria-label', words.year);
      if (month.dataset.names !== names) {
        month.replaceChildren(...monthNames(names).map((name, i) => new Option(name, String(i + 1))));
        month.dataset.names = names;
      }
      month.value = String(active.month);
      if (this.shadowRoot.activeElement !== year) {
        year.value = String(active.year);
      }
      const initials = weekdayInitials(names);
      const dayNames = weekdayNames(names);
      heads.forEach((head, i) => {
        putText(head, initials[i]);
        put(head, 'abbr', dayNames[i]);
      });

      const grid = monthGrid(active.year, active.month);
      const now = today();
      const value = this.range ? null : fromIso(this.getAttribute('value'));
      const start = this.range ? fromIso(this.getAttribute('start')) : null;
      const end = this.range ? fromIso(this.getAttribute('end')) : null;
      rows.forEach((row, r) => {
        row.hidden = r >= grid.weeks.length;
      });
      // The accessible names first, then the numbers: the formatter is made
      // again only when its pattern changes.
      const days = [];
      this.#cells.forEach((cell, i) => {
        const day = grid.weeks[Math.floor(i / 7)]?.[i % 7] ?? 0;
        days.push(day);
        if (day === 0) {
          for (const name of CELL_ATTRIBUTES) {
            put(cell, name, null);
          }
          putText(cell, '');
          return;
        }
        const date = { year: active.year, month: active.month, day };
        const classes = [];
        const parts = ['day'];
        put(cell, 'data-day', String(day));
        put(cell, 'aria-label', formatShamsi(date, '%A %-d %B %Y', options));
        put(cell, 'tabindex', day === active.day ? '0' : '-1');
        if (i % 7 === FRIDAY) {
          classes.push('weekend');
          parts.push('weekend');
        }
        const isToday = sameDay(date, now);
        put(cell, 'aria-current', isToday ? 'date' : null);
        if (isToday) {
          parts.push('today');
        }
        const allowed = this.#allowed(date);
        put(cell, 'aria-disabled', allowed ? null : 'true');
        if (!allowed) {
          parts.push('disabled');
        }
        const selected =
          sameDay(date, value) ||
          sameDay(date, start) ||
          sameDay(date, end) ||
          (start !== null && end !== null && compare(date, start) > 0 && compare(date, end) < 0);
        put(cell, 'aria-selected', selected ? 'true' : 'false');
        if (selected) {
          parts.push('selected');
          if (this.range) {
            const edge = sameDay(date, start) ? 'range-start' : sameDay(date, end) ? 'range-end' : 'in-range';
            classes.push(edge === 'in-range' ? 'in-range' : 'range-end');
            parts.push(edge);
          }
        }
        put(cell, 'class', classes.join(' '));
        put(cell, 'part', parts.join(' '));
      });
      this.#cells.forEach((cell, i) => {
        if (days[i] !== 0) {
          putText(cell, formatShamsi({ year: active.year, month: active.month, day: days[i] }, '%-d', options));
        }
      });
    }
  };
}
