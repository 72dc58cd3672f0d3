// The Shamsi date picker: <shamsi-calendar> and <shamsi-date-input>, custom
// elements defined when this module is imported in a page (where there is no
// DOM, importing it defines nothing). Dates in attributes and properties are
// ISO Miladi, YYYY-MM-DD, as <input type="date"> has them; one that is not a
// day of the Shamsi years 1-9999 counts as absent.
import type { Names } from './index.js';

/** A month as a calendar draws it: rows of seven days, Saturday first, 0 for no day. */
export interface MonthGrid {
  year: number;
  month: number;
  /** The days of the month, 29 to 31. */
  length: number;
  /** The weekday of its first day, 0 for Saturday to 6 for Friday. */
  firstWeekday: number;
  weeks: number[][];
}

/** The weeks of a Shamsi month, as <shamsi-calendar> draws them. */
export function monthGrid(year: number, month: number): MonthGrid;

/**
 * One Shamsi month as a grid. Keys: the arrows (a day, following the text's direction, or a
 * week), Home and End (the week's first and last day), PageUp and PageDown (a month),
 * Shift+PageUp and Shift+PageDown (a year), Enter and Space (choose). Fires `change`
 * (bubbling, composed) when a day is chosen, or in range mode when a range is complete.
 */
export interface ShamsiCalendarElement extends HTMLElement {
  /** The chosen day. */
  value: string;
  /** Days before min or after max cannot be chosen. */
  min: string;
  max: string;
  /** Digits of the days and the year; 'persian' by default. */
  digits: 'persian' | 'ascii';
  /** Names of the months (and the language of the weekdays); 'iranian' by default. */
  names: Names;
  /** Range mode: a first choice sets start, a second sets end. */
  range: boolean;
  start: string;
  end: string;
  /** The day that has the grid's tab stop; setting it shows its month. */
  focusedDate: string;
}

/**
 * A form field for a Shamsi date, form-associated like <input type="date">: it submits its
 * ISO Miladi value under its name, and takes part in constraint validation (valueMissing,
 * rangeUnderflow, rangeOverflow, badInput for a text it cannot read), with Persian messages.
 * Fires `input` and `change` (bubbling, composed) when the date changes.
 */
export interface ShamsiDateInputElement extends HTMLElement {
  /** The current date; the value attribute is the default one, which form.reset() restores. */
  value: string;
  defaultValue: string;
  /** The date at 00:00 UTC, or null. */
  valueAsDate: Date | null;
  name: string;
  min: string;
  max: string;
  required: boolean;
  readOnly: boolean;
  disabled: boolean;
  digits: 'persian' | 'ascii';
  names: Names;
  readonly form: HTMLFormElement | null;
  readonly labels: NodeList;
  readonly validity: ValidityState;
  readonly validationMessage: string;
  readonly willValidate: boolean;
  checkValidity(): boolean;
  reportValidity(): boolean;
}

declare global {
  interface HTMLElementTagNameMap {
    'shamsi-calendar': ShamsiCalendarElement;
    'shamsi-date-input': ShamsiDateInputElement;
  }
}
