// The days a picker draws and moves through, all from the package's
// calendar: no rule of the calendar is kept here.
import { addShamsi, daysInMonth, formatShamsi, toMiladi, toShamsi, weekdayOf } from '../index.js';

/**
 * The weeks of a Shamsi month as a calendar draws them: rows of seven days,
 * Saturday first, with 0 where a row holds no day of the month.
 */
export function monthGrid(year, month) {
  const length = daysInMonth(year, month);
  const firstWeekday = weekdayOf({ year, month, day: 1 });
  const weeks = [];
  for (let first = 1 - firstWeekday; first <= length; first += 7) {
    weeks.push(Array.from({ length: 7 }, (_, i) => (first + i >= 1 && first + i <= length ? first + i : 0)));
  }
  return { year, month, length, firstWeekday, weeks };
}

const ISO = /^(\d{4,})-(\d\d)-(\d\d)$/;

// The Shamsi date of an ISO Miladi date YYYY-MM-DD, or null for any other
// text or a day outside the Shamsi years 1-9999 (as <input type="date">
// takes a bad value for none).
export function fromIso(text) {
  const match = typeof text === 'string' ? ISO.exec(text) : null;
  if (match === null) {
    return null;
  }
  try {
    return toShamsi(Number(match[1]), Number(match[2]), Number(match[3]));
  } catch {
    return null;
  }
}

const pad = (number, width) => String(number).padStart(width, '0');

export function toIso(date) {
  const { year, month, day } = toMiladi(date.year, date.month, date.day);
  return `${pad(year, 4)}-${pad(month, 2)}-${pad(day, 2)}`;
}

// Negative, 0 or positive as a is before, on or after b.
export function compare(a, b) {
  return a.year - b.year || a.month - b.month || a.day - b.day;
}

export function sameDay(a, b) {
  return a !== null && b !== null && compare(a, b) === 0;
}

// Today in the browser's time zone.
export function today() {
  const now = new Date();
  return toShamsi(now.getFullYear(), now.getMonth() + 1, now.getDate());
}

// The date moved as addShamsi moves it (a day past a month's end becomes its
// last), or null past the years 1-9999.
export function moved(date, amount) {
  try {
    return addShamsi(date, amount);
  } catch {
    return null;
  }
}

// The day nearest to date within [min, max] (either may be null).
export function clamped(date, min, max) {
  if (min !== null && compare(date, min) < 0) {
    return min;
  }
  if (max !== null && compare(date, max) > 0) {
    return max;
  }
  return date;
}

// The date as the field shows it, 1405/09/17 in the chosen digits.
export function written(date, digits) {
  return formatShamsi(date, '%Y/%m/%d', { digits });
}

// The attribute's choice when it is one of choices, else the first.
export function oneOf(value, choices) {
  return choices.includes(value) ? value : choices[0];
}
export const DIGITS = ['persian', 'ascii'];
export const NAMES = ['iranian', 'afghan', 'english'];
