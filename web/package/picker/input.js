// <shamsi-date-input>: a form field for a Shamsi date, as <input
// type="date"> is for a Miladi one. It holds and submits the ISO Miladi
// date; its text takes every form parseShamsi reads, and a button (or
// Alt+ArrowDown) opens a <shamsi-calendar> in a popup.
import { parseShamsi } from '../index.js';
import { directionOf } from './calendar.js';
import { DIGITS, NAMES, clamped, compare, fromIso, oneOf, toIso, today, written } from './days.js';
import { inputStyle } from './style.js';

const WORDS = {
  persian: { open: 'انتخاب تاریخ از تقویم', dialog: 'تقویم' },
  english: { open: 'Choose a date from the calendar', dialog: 'Calendar' },
};

// The validation messages, in Persian, each saying what to type.
function messageFor(state, min, max) {
  const example = written(today(), 'persian');
  switch (state) {
    case 'badInput':
      return `این تاریخ خوانده نشد. تاریخ را به صورت سال/ماه/روز بنویسید، مانند ${example}`;
    case 'valueMissing':
      return `یک تاریخ بنویسید، مانند ${example}`;
    case 'rangeUnderflow':
      return `تاریخی از ${written(min, 'persian')} به بعد بنویسید`;
    case 'rangeOverflow':
      return `تاریخی تا ${written(max, 'persian')} بنویسید`;
    default:
      return '';
  }
}

// A narrow screen, where the popup is a modal dialog as wide as the screen.
const NARROW = '(max-width: 480px)';

const CALENDAR_ICON =
  '<svg viewBox="0 0 24 24" aria-hidden="true" focusable="false"><path d="M7 2h2v2h6V2h2v2h3a1 1 0 0 1 1 1v15a1 1 0 0 1-1 1H4a1 1 0 0 1-1-1V5a1 1 0 0 1 1-1h3zm12 8H5v9h14zM7 12h2v2H7zm4 0h2v2h-2zm4 0h2v2h-2zm-8 4h2v2H7zm4 0h2v2h-2z"/></svg>';

export function inputClass(Base) {
  return class ShamsiDateInput extends Base {
    static formAssociated = true;
    static observedAttributes = ['value', 'min', 'max', 'required', 'readonly', 'disabled', 'digits', 'names', 'dir'];

    #internals;
    #field;
    #text;
    #button;
    #dialog;
    #calendar;
    #value = null; // the Shamsi date, or null
    #dirty = false; // the value was set other than by the value attribute
    #bad = false; // the text is not a date
    #formDisabled = false;
    #returnFocus = null;

    constructor() {
      super();
      this.#internals = this.attachInternals();
      const root = this.attachShadow({ mode: 'open', delegatesFocus: true });
      root.innerHTML = `<style>${inputStyle}</style><div class="field" part="field"><input part="input" type="text"
        dir="ltr" autocomplete="off" spellcheck="false"><button type="button" part="button"
        aria-haspopup="dialog" aria-expanded="false">${CALENDAR_ICON}</button></div><dialog part="popup"></dialog>`;
      [this.#field, this.#text, this.#button, this.#dialog] = root.querySelectorAll('.field, input, button, dialog');
      this.#calendar = document.createElement('shamsi-calendar');
      this.#calendar.setAttribute('part', 'calendar');
      this.#calendar.setAttribute('exportparts', 'calendar: calendar-box, header, nav, month, year, grid, weekday, weekend, day, today, selected, disabled');
      this.#dialog.append(this.#calendar);

      this.#text.addEventListener('input', () => this.#typed());
      this.#text.addEventListener('change', () => {
        if (this.#value !== null) {
          this.#text.value = written(this.#value, this.digits);
        }
        this.#fire('change');
      });
      this.#text.addEventListener('keydown', (event) => {
        if (event.altKey && event.key === 'ArrowDown') {
          event.preventDefault();
          this.#open();
        } else if (event.key === 'Enter' && this.form) {
          this.form.requestSubmit();
        }
      });
      this.#button.addEventListener('click', () => (this.#dialog.open ? this.#close(true) : this.#open()));
      // The calendar's own change stays inside: the element tells its own.
      this.#calendar.addEventListener('change', (event) => {
        event.stopPropagation();
        const date = fromIso(this.#calendar.value);
        if (date !== null) {
          this.#set(date, true);
          this.#fire('input');
          this.#fire('change');
        }
        this.#close(true);
      });
      this.#dialog.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') {
          event.preventDefault();
          event.stopPropagation();
          this.#close(true);
        }
      });
      this.#dialog.addEventListener('cancel', (event) => {
        event.preventDefault();
        this.#close(true);
      });
      // Focus that leaves the element closes the popup: it keeps nothing in.
      this.addEventListener('focusout', (event) => {
        if (this.#dialog.open && !this.#dialog.matches(':modal') && !this.contains(event.relatedTarget) && event.relatedTarget !== null) {
          this.#close(false);
        }
      });
      this.#outside = (event) => {
        if (!event.composedPath().includes(this)) {
          this.#close(false);
        }
      };
    }

    #outside;

    connectedCallback() {
      if (!this.#dirty) {
        this.#set(fromIso(this.getAttribute('value')), false);
      }
      this.#label();
      this.#update();
    }

    attributeChangedCallback(name) {
      if (name === 'value' && !this.#dirty) {
        this.#set(fromIso(this.getAttribute('value')), false);
      }
      if (name === 'digits' && this.#value !== null && !this.#bad) {
        this.#text.value = written(this.#value, this.digits);
      }
      this.#update();
    }

    // As <input type="date">: the value attribute is the default value,
    // the value property the current one.
    get value() {
      return this.#value === null ? '' : toIso(this.#value);
    }
    set value(text) {
      this.#dirty = true;
      this.#set(fromIso(text === null || text === undefined ? '' : String(text)), false);
      this.#update();
    }
    get defaultValue() {
      return this.getAttribute('value') ?? '';
    }
    set defaultValue(text) {
      this.setAttribute('value', text);
    }
    get valueAsDate() {
      if (this.#value === null) {
        return null;
      }
      const [year, month, day] = this.value.split('-').map(Number);
      const date = new Date(0);
      date.setUTCFullYear(year, month - 1, day);
      return date;
    }
    set valueAsDate(date) {
      if (date === null) {
        this.value = '';
        return;
      }
      if (!(date instanceof Date)) {
        throw new TypeError('valueAsDate is a Date or null');
      }
      const pad = (n, w) => String(n).padStart(w, '0');
      this.value = Number.isNaN(date.getTime())
        ? ''
        : `${pad(date.getUTCFullYear(), 4)}-${pad(date.getUTCMonth() + 1, 2)}-${pad(date.getUTCDate(), 2)}`;
    }
    get name() {
      return this.getAttribute('name') ?? '';
    }
    set name(value) {
      this.setAttribute('name', value);
    }
    get min() {
      return this.getAttribute('min') ?? '';
    }
    set min(value) {
      this.setAttribute('min', value);
    }
    get max() {
      return this.getAttribute('max') ?? '';
    }
    set max(value) {
      this.setAttribute('max', value);
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
    get required() {
      return this.hasAttribute('required');
    }
    set required(on) {
      this.toggleAttribute('required', Boolean(on));
    }
    get readOnly() {
      return this.hasAttribute('readonly');
    }
    set readOnly(on) {
      this.toggleAttribute('readonly', Boolean(on));
    }
    get disabled() {
      return this.hasAttribute('disabled');
    }
    set disabled(on) {
      this.toggleAttribute('disabled', Boolean(on));
    }
    get form() {
      return this.#internals.form;
    }
    get labels() {
      return this.#internals.labels;
    }
    get validity() {
      return this.#internals.validity;
    }
    get validationMessage() {
      return this.#internals.validationMessage;
    }
    get willValidate() {
      return this.#internals.willValidate;
    }
    checkValidity() {
      return this.#internals.checkValidity();
    }
    reportValidity() {
      return this.#internals.reportValidity();
    }

    formResetCallback() {
      this.#dirty = false;
      this.#set(fromIso(this.getAttribute('value')), false);
      this.#update();
    }
    formDisabledCallback(disabled) {
      this.#formDisabled = disabled;
      this.#update();
    }
    formStateRestoreCallback(state) {
      this.#set(fromIso(state), false);
      this.#update();
    }

    // The date and the text that shows it; a date the user chose marks the
    // value as set.
    #set(date, byUser) {
      this.#value = date;
      this.#bad = false;
      this.#dirty ||= byUser;
      this.#text.value = date === null ? '' : written(date, this.digits);
    }

    #typed() {
      this.#dirty = true;
      const text = this.#text.value.trim();
      if (text === '') {
        this.#value = null;
        this.#bad = false;
      } else {
        try {
          this.#value = parseShamsi(text);
          this.#bad = false;
        } catch {
          this.#value = null;
          this.#bad = true;
        }
      }
      this.#update();
    }

    #fire(type) {
      this.dispatchEvent(new Event(type, { bubbles: true, composed: true }));
    }

    // The inner field's name: the element's labels, as <label for> names it.
    #label() {
      const labels = [...(this.#internals.labels ?? [])].map((label) => label.textContent.trim()).filter(Boolean);
      const name = labels.join(' ') || this.getAttribute('aria-label') || '';
      if (name) {
        this.#text.setAttribute('aria-label', name);
      } else {
        this.#text.removeAttribute('aria-label');
      }
    }

    #update() {
      const disabled = this.disabled || this.#formDisabled;
      const readOnly = this.readOnly;
      const words = this.names === 'english' ? WORDS.english : WORDS.persian;
      const dir = directionOf(this);
      this.#field.dir = dir;
      this.#dialog.dir = dir;
      this.#text.disabled = disabled;
      this.#text.readOnly = readOnly;
      this.#text.required = this.required;
      this.#button.disabled = disabled || readOnly;
      this.#button.setAttribute('aria-label', words.open);
      this.#dialog.setAttribute('aria-label', words.dialog);
      this.#text.setAttribute('placeholder', written(today(), this.digits));
      this.#internals.setFormValue(this.#value === null ? null : toIso(this.#value), this.#value === null ? '' : toIso(this.#value));
      const min = fromIso(this.getAttribute('min'));
      const max = fromIso(this.getAttribute('max'));
      const states = {
        badInput: this.#bad,
        valueMissing: this.required && this.#value === null && !this.#bad,
        rangeUnderflow: this.#value !== null && min !== null && compare(this.#value, min) < 0,
        rangeOverflow: this.#value !== null && max !== null && compare(this.#value, max) > 0,
      };
      const failed = readOnly ? undefined : Object.keys(states).find((state) => states[state]);
      if (failed === undefined) {
        this.#internals.setValidity({});
      } else {
        this.#internals.setValidity({ [failed]: true }, messageFor(failed, min, max), this.#text);
      }
      this.#text.setAttribute('aria-invalid', String(failed !== undefined && this.#dirty));
    }

    #open() {
      if (this.disabled || this.#formDisabled || this.readOnly || this.#dialog.open) {
        return;
      }
      this.#returnFocus = this.shadowRoot.activeElement ?? this.#text;
      this.#update();
      const calendar = this.#calendar;
      for (const name of ['min', 'max', 'digits', 'names']) {
        if (this.hasAttribute(name)) {
          calendar.setAttribute(name, this.getAttribute(name));
        } else {
          calendar.removeAttribute(name);
        }
      }
      calendar.value = this.value;
      // The month is drawn (once) before the popup is shown.
      const min = fromIso(this.getAttribute('min'));
      const max = fromIso(this.getAttribute('max'));
      calendar.focusedDate = toIso(this.#value ?? clamped(today(), min, max));
      if (matchMedia(NARROW).matches) {
        this.#dialog.showModal();
      } else {
        this.#dialog.show();
        document.addEventListener('pointerdown', this.#outside, true);
      }
      this.#button.setAttribute('aria-expanded', 'true');
      calendar.focus();
    }

    #close(refocus) {
      if (!this.#dialog.open) {
        return;
      }
      document.removeEventListener('pointerdown', this.#outside, true);
      this.#dialog.close();
      this.#button.setAttribute('aria-expanded', 'false');
      if (refocus) {
        (this.#returnFocus ?? this.#text).focus();
      }
      this.#returnFocus = null;
    }
  };
}
