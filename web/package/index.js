// The Shamsi calendar for JavaScript: the project's C++ library
// (shamsi/include/shamsi) compiled to WebAssembly. The module's bytes are in
// wasm.js, written at build time; importing this file compiles and
// instantiates them at once, synchronously. With no top-level await, no
// fetch and no file to find beside it, the package loads wherever a script
// runs: bundlers (which may move this file) and their dev servers, module
// workers (whose first message arrives after this file has run), CommonJS
// (index.cjs, the same file made by the build) and server-side rendering.
// Every function is synchronous.
import { WASM } from './wasm.js';

// Two hexadecimal digits a byte.
function bytesOf(hex) {
  const bytes = new Uint8Array(hex.length >> 1);
  for (let i = 0, at = 0; i < bytes.length; ++i, at += 2) {
    const high = hex.charCodeAt(at);
    const low = hex.charCodeAt(at + 1);
    bytes[i] = (((high & 15) + (high >> 6) * 9) << 4) | ((low & 15) + (low >> 6) * 9);
  }
  return bytes;
}

// The module is built to run without emscripten's JavaScript: of the system
// calls its C library imports, the reactor only ever reaches the exit (on a
// failed check, which aborts) and the note that memory grew.
const ENOSYS = 52;
function importsOf(module) {
  const imports = {};
  for (const { module: from, name, kind } of WebAssembly.Module.imports(module)) {
    if (kind !== 'function') continue;
    imports[from] ??= {};
    imports[from][name] =
      name === 'proc_exit'
        ? (status) => {
            throw new Error(`shamsi-date: the library stopped (status ${status})`);
          }
        : name === 'emscripten_notify_memory_growth'
          ? () => {}
          : () => ENOSYS;
  }
  return imports;
}

function compiled() {
  try {
    return new WebAssembly.Module(bytesOf(WASM));
  } catch (error) {
    // A page whose Content-Security-Policy allows no WebAssembly refuses it.
    throw new Error(
      `shamsi-date: cannot compile its WebAssembly (${error.message}); ` +
        "a Content-Security-Policy must allow it with 'wasm-unsafe-eval' in script-src",
      { cause: error },
    );
  }
}

const compiledModule = compiled();
const wasm = new WebAssembly.Instance(compiledModule, importsOf(compiledModule)).exports;
wasm._initialize();

// Views of the module's memory, made again when it has grown (which
// detaches the old buffer, leaving the views empty).
let i32 = new Int32Array(0);
let u8 = new Uint8Array(0);
function heap() {
  if (u8.length === 0) {
    i32 = new Int32Array(wasm.memory.buffer);
    u8 = new Uint8Array(wasm.memory.buffer);
  }
}
const fieldsAt = wasm.Fields() >> 2;

// Shamsi::Calendar, Shamsi::ReadError, Shamsi::Digits, Shamsi::MonthNames.
const SHAMSI = 0;
const MILADI = 1;
const NOT_A_DATE = 2;
const OUT_OF_RANGE = 3;
const DIGITS = { ascii: 0, persian: 1 };

const decoder = new TextDecoder();
const encoder = new TextEncoder();

function outputText(length) {
  heap();
  const start = wasm.Output();
  return decoder.decode(u8.subarray(start, start + length));
}

// The library's reason for an error, as the message of a RangeError.
const reasons = new Map();
function reason(error, calendar) {
  const key = error * 2 + calendar;
  if (!reasons.has(key)) {
    reasons.set(key, outputText(wasm.Describe(error, calendar)));
  }
  return reasons.get(key);
}

// What a value is, for the message of a TypeError.
function kind(value) {
  if (value === null || value === undefined) return String(value);
  if (Array.isArray(value)) return 'an array';
  if (isDate(value)) return 'a Date';
  const type = typeof value;
  return type === 'object' ? 'an object' : `a ${type}`;
}

// The TypeError for an argument the package cannot take: it names the
// function, the argument and what it takes.
function typeError(fn, argument, takes, value) {
  return new TypeError(`${fn}: ${argument} is ${takes}, not ${kind(value)}`);
}

// A number as the module takes it: a whole number, held to 32 bits. Larger
// ones stay larger than any the calendar accepts; a number that is not whole
// is not a day of the calendar; anything but a number is a TypeError.
const LARGEST = 0x7fffffff;
function whole(value, calendar, fn = 'shamsi-date', argument = 'a date field') {
  if (!Number.isInteger(value)) {
    if (typeof value !== 'number') {
      throw typeError(fn, argument, 'a number', value);
    }
    throw new RangeError(reason(NOT_A_DATE, calendar));
  }
  return value > LARGEST ? LARGEST : value < -LARGEST ? -LARGEST : value;
}

function fieldsAsDate() {
  heap();
  return { year: i32[fieldsAt], month: i32[fieldsAt + 1], day: i32[fieldsAt + 2] };
}

// A date the module returned in one number (year * 512 + month * 32 + day),
// or minus the error.
function unpacked(result, calendar) {
  if (result < 0) {
    throw new RangeError(reason(-result, calendar));
  }
  return { year: result >> 9, month: (result >> 5) & 15, day: result & 31 };
}

function checkDate(date, fn = 'shamsi-date', argument = 'the date', takes = 'an object {year, month, day}') {
  if (date === null || typeof date !== 'object') {
    throw typeError(fn, argument, takes, date);
  }
}

// An options object (or undefined), with no key but those named.
function checkKeys(object, keys, fn, argument) {
  if (object === undefined) {
    return;
  }
  if (object === null || typeof object !== 'object') {
    throw typeError(fn, argument, `an object {${keys.join(', ')}}`, object);
  }
  for (const key in object) {
    if (!keys.includes(key)) {
      throw new TypeError(`${fn}: ${argument} has no '${key}'; it takes ${keys.join(', ')}`);
    }
  }
}

const { ToShamsi, ToMiladi } = wasm;

export function toShamsi(year, month, day) {
  if ((year | 0) === year && (month | 0) === month && (day | 0) === day) {
    return unpacked(ToShamsi(year, month, day), MILADI);
  }
  if (typeof year === 'object' && year !== null) {
    return shamsiAt(year, month);
  }
  return unpacked(
    ToShamsi(
      whole(year, MILADI, 'toShamsi', 'year'),
      whole(month, MILADI, 'toShamsi', 'month'),
      whole(day, MILADI, 'toShamsi', 'day'),
    ),
    MILADI,
  );
}

export function toMiladi(year, month, day) {
  return unpacked(
    (year | 0) === year && (month | 0) === month && (day | 0) === day
      ? ToMiladi(year, month, day)
      : ToMiladi(
          whole(year, SHAMSI, 'toMiladi', 'year'),
          whole(month, SHAMSI, 'toMiladi', 'month'),
          whole(day, SHAMSI, 'toMiladi', 'day'),
        ),
    SHAMSI,
  );
}

function parse(text, calendar, fn) {
  if (typeof text !== 'string') {
    throw typeError(fn, 'the text', 'a string', text);
  }
  const room = text.length * 3;
  const start = wasm.Input(room);
  heap();
  const { written } = encoder.encodeInto(text, u8.subarray(start, start + room));
  const error = wasm.Parse(calendar, written);
  if (error !== 0) {
    throw new RangeError(reason(error, calendar));
  }
  return fieldsAsDate();
}

export function parseShamsi(text) {
  return parse(text, SHAMSI, 'parseShamsi');
}

export function parseMiladi(text) {
  return parse(text, MILADI, 'parseMiladi');
}

function choice(table, value, what) {
  if (!Object.hasOwn(table, value)) {
    const choices = Object.keys(table).join(', ');
    throw new RangeError(`${what} takes ${choices}, not '${value}'`);
  }
  return table[value];
}

// The pattern and choices the module's formatter was last made with, and
// why it refused them (null for a good pattern).
let lastPattern = null;
let lastDigits = null;
let lastNames = null;
let formatError = null;

function setFormat(pattern, digits, names) {
  if (typeof pattern !== 'string') {
    throw typeError('formatShamsi', 'the pattern', 'a string', pattern);
  }
  const digitsCode = choice(DIGITS, digits, 'digits');
  // The pattern, then the word that chooses the names, which the library reads.
  const namesWord = String(names);
  const room = (pattern.length + namesWord.length) * 3;
  const start = wasm.Input(room);
  heap();
  const patternBytes = encoder.encodeInto(pattern, u8.subarray(start, start + room)).written;
  const namesBytes = encoder.encodeInto(namesWord, u8.subarray(start + patternBytes, start + room)).written;
  const result = wasm.SetFormat(patternBytes, digitsCode, namesBytes);
  formatError =
    result === 0 ? null : result < 0 ? `no month names are called '${namesWord}'` : outputText(result);
  lastPattern = pattern;
  lastDigits = digits;
  lastNames = names;
}

const FORMAT_OPTIONS = ['digits', 'names', 'timeZone'];

// A time field of a date's fields: 0 when absent, else a whole number in
// the range.
function timeField(fields, name, last, fn) {
  const value = fields[name];
  if (value === undefined) {
    return 0;
  }
  if (typeof value !== 'number') {
    throw typeError(fn, name, 'a number', value);
  }
  if (!Number.isInteger(value) || value < 0 || value > last) {
    throw new RangeError(`${name} takes 0-${last}, not ${value}`);
  }
  return value;
}

export function formatShamsi(date, pattern = '%Y/%m/%d', options = undefined) {
  checkDate(date, 'formatShamsi', 'the date', 'a Date or an object {year, month, day}');
  let digits = 'ascii';
  let names = 'iranian';
  let timeZone;
  if (options !== undefined) {
    checkKeys(options, FORMAT_OPTIONS, 'formatShamsi', 'options');
    ({ digits = 'ascii', names = 'iranian', timeZone } = options);
  }
  if (pattern !== lastPattern || digits !== lastDigits || names !== lastNames) {
    setFormat(pattern, digits, names);
  }
  if (formatError !== null) {
    throw new RangeError(formatError);
  }
  let length;
  if (isDate(date)) {
    const ms = instant(date, 'formatShamsi');
    length = wasm.FormatAt(Math.floor(ms / 1000), zoneOf(timeZone, 'formatShamsi').offsetAt(ms));
    if (length < 0) {
      throw new RangeError(reason(-length, MILADI));
    }
  } else {
    if (timeZone !== undefined) {
      throw new TypeError('formatShamsi: a timeZone is for a Date, not for date fields');
    }
    const { year, month, day } = date;
    const hour = timeField(date, 'hour', 23, 'formatShamsi');
    const minute = timeField(date, 'minute', 59, 'formatShamsi');
    const second = timeField(date, 'second', 59, 'formatShamsi');
    length =
      (year | 0) === year && (month | 0) === month && (day | 0) === day
        ? wasm.Format(year, month, day, hour, minute, second)
        : wasm.Format(
            whole(year, SHAMSI, 'formatShamsi', 'year'),
            whole(month, SHAMSI, 'formatShamsi', 'month'),
            whole(day, SHAMSI, 'formatShamsi', 'day'),
            hour,
            minute,
            second,
          );
    if (length < 0) {
      throw new RangeError(reason(-length, SHAMSI));
    }
  }
  heap();
  // Most dates are written in ASCII: those need no decoder.
  const start = wasm.Output();
  let text = '';
  for (let i = start; i < start + length; ++i) {
    const byte = u8[i];
    if (byte >= 0x80) {
      return decoder.decode(u8.subarray(start, start + length));
    }
    text += String.fromCharCode(byte);
  }
  return text;
}

function yearOrThrow(result) {
  if (result < 0) {
    throw new RangeError(reason(-result, SHAMSI));
  }
  return result;
}

export function isLeapYear(year) {
  return yearOrThrow(wasm.IsLeapYear(whole(year, SHAMSI, 'isLeapYear', 'year'))) === 1;
}

export function daysInMonth(year, month) {
  return yearOrThrow(
    wasm.DaysInMonth(whole(year, SHAMSI, 'daysInMonth', 'year'), whole(month, SHAMSI, 'daysInMonth', 'month')),
  );
}

function amount(value, name) {
  if (!Number.isInteger(value)) {
    if (typeof value !== 'number') {
      throw typeError('addShamsi', name, 'a number', value);
    }
    throw new RangeError(`an amount is a whole number, not ${String(value)}`);
  }
  // Far past any move the calendar can make, which the library refuses.
  return Math.max(-1e9, Math.min(1e9, value));
}

const AMOUNTS = ['years', 'months', 'weeks', 'days'];

export function addShamsi(date, by = undefined) {
  checkDate(date, 'addShamsi');
  checkKeys(by, AMOUNTS, 'addShamsi', 'amount');
  const { years = 0, months = 0, weeks = 0, days = 0 } = by ?? {};
  const error = wasm.Add(
    whole(date.year, SHAMSI, 'addShamsi', 'year'),
    whole(date.month, SHAMSI, 'addShamsi', 'month'),
    whole(date.day, SHAMSI, 'addShamsi', 'day'),
    amount(years, 'years'),
    amount(months, 'months'),
    amount(weeks, 'weeks'),
    amount(days, 'days'),
  );
  if (error !== 0) {
    throw new RangeError(reason(error, SHAMSI));
  }
  return fieldsAsDate();
}

export function between(a, b) {
  checkDate(a, 'between', 'a');
  checkDate(b, 'between', 'b');
  const error = wasm.Between(
    whole(a.year, SHAMSI, 'between', 'year'),
    whole(a.month, SHAMSI, 'between', 'month'),
    whole(a.day, SHAMSI, 'between', 'day'),
    whole(b.year, SHAMSI, 'between', 'year'),
    whole(b.month, SHAMSI, 'between', 'month'),
    whole(b.day, SHAMSI, 'between', 'day'),
  );
  if (error !== 0) {
    throw new RangeError(reason(error, SHAMSI));
  }
  heap();
  return { years: i32[fieldsAt], months: i32[fieldsAt + 1], days: i32[fieldsAt + 2] };
}

// Instants and time zones

// What offset from UTC a zone keeps at an instant comes from Intl (the
// runtime's own time zone database), asked once for each span of two days
// of UTC and kept: the offsets at the span's start and at the next one's,
// and where they differ, the second the clocks changed, found by halving.
// No zone changes its offset twice within four days (the closest two
// changes of the tz database are 3.98 days apart), so a span holds at most
// one change.
const DAY_MS = 86_400_000;
const SPAN_MS = 2 * DAY_MS;
// Past about half a million spans (some 2,900 years) a zone forgets what it
// learnt and starts again.
const KEPT_SPANS = 1 << 19;

class Zone {
  constructor(name) {
    this.format = new Intl.DateTimeFormat('en-US', {
      timeZone: name,
      hourCycle: 'h23',
      year: 'numeric',
      month: 'numeric',
      day: 'numeric',
      hour: 'numeric',
      minute: 'numeric',
      second: 'numeric',
    });
    this.spans = new Map();
    this.lastSpan = NaN;
    this.lastOffsets = 0;
  }

  // Intl's offset in seconds at an instant of whole seconds: its wall time
  // there less the instant.
  asked(ms) {
    const wall = new Date(0);
    let year = 0;
    let month = 0;
    let day = 0;
    let hour = 0;
    let minute = 0;
    let second = 0;
    for (const { type, value } of this.format.formatToParts(ms)) {
      if (type === 'year') year = Number(value);
      else if (type === 'month') month = Number(value);
      else if (type === 'day') day = Number(value);
      else if (type === 'hour') hour = Number(value);
      else if (type === 'minute') minute = Number(value);
      else if (type === 'second') second = Number(value);
    }
    wall.setUTCFullYear(year, month - 1, day);
    wall.setUTCHours(hour, minute, second, 0);
    return Math.round((wall.getTime() - ms) / 1000);
  }

  // The offset of a span, or [before, the change's instant, after].
  learnt(span) {
    const start = span * SPAN_MS;
    const before = this.asked(start);
    const after = this.asked(start + SPAN_MS);
    if (before === after) {
      return before;
    }
    let low = start; // before the change
    let high = start + SPAN_MS; // after it
    while (high - low > 1000) {
      const middle = low + Math.floor((high - low) / 2000) * 1000;
      if (this.asked(middle) === before) low = middle;
      else high = middle;
    }
    return [before, high, after];
  }

  offsetAt(ms) {
    const span = Math.floor(ms / SPAN_MS);
    let offsets = this.lastOffsets;
    if (span !== this.lastSpan) {
      offsets = this.spans.get(span);
      if (offsets === undefined) {
        if (this.spans.size >= KEPT_SPANS) this.spans.clear();
        offsets = this.learnt(span);
        this.spans.set(span, offsets);
      }
      this.lastSpan = span;
      this.lastOffsets = offsets;
    }
    return typeof offsets === 'number' ? offsets : ms < offsets[1] ? offsets[0] : offsets[2];
  }
}

// The runtime's own zone, as a Date's getDate and getHours see it (its
// getTimezoneOffset drops the seconds of an offset such as +03:25:44).
const LOCAL = {
  offsetAt(ms) {
    const date = new Date(Math.floor(ms / 1000) * 1000);
    const wall = new Date(0);
    wall.setUTCFullYear(date.getFullYear(), date.getMonth(), date.getDate());
    wall.setUTCHours(date.getHours(), date.getMinutes(), date.getSeconds(), 0);
    return Math.round((wall.getTime() - date.getTime()) / 1000);
  },
};

const zones = new Map();
function zoneOf(timeZone, fn) {
  if (timeZone === undefined) {
    return LOCAL;
  }
  let zone = zones.get(timeZone);
  if (zone === undefined) {
    if (typeof timeZone !== 'string') {
      throw typeError(fn, 'timeZone', "a time zone's name", timeZone);
    }
    try {
      zone = new Zone(timeZone);
    } catch {
      throw new RangeError(`${fn}: no time zone is called '${timeZone}'`);
    }
    zones.set(timeZone, zone);
  }
  return zone;
}



function isDate(value) {
  return value instanceof Date || Object.prototype.toString.call(value) === '[object Date]';
}

// Instants far outside the years 1-9999 are refused before a zone is asked;
// the ones near the ends are left to the module.
const FIRST_MS = Date.UTC(622, 2, 18);
const LAST_MS = Date.UTC(10621, 2, 22);

// A Date's milliseconds since 1970.
function instant(date, fn) {
  if (!isDate(date)) {
    throw typeError(fn, 'the date', 'a Date', date);
  }
  const ms = Date.prototype.getTime.call(date);
  if (Number.isNaN(ms)) {
    throw new RangeError(`${fn}: the Date is invalid`);
  }
  if (ms < FIRST_MS || ms > LAST_MS) {
    throw new RangeError(reason(OUT_OF_RANGE, MILADI));
  }
  return ms;
}

const ZONE_OPTIONS = ['timeZone'];

// toShamsi(date, {timeZone}): the Shamsi date and time of an instant.
function shamsiAt(date, options) {
  let timeZone;
  if (options !== undefined) {
    checkKeys(options, ZONE_OPTIONS, 'toShamsi', 'options');
    timeZone = options.timeZone;
  }
  const ms = instant(date, 'toShamsi');
  const packed = wasm.ToShamsiAt(Math.floor(ms / 1000), zoneOf(timeZone, 'toShamsi').offsetAt(ms));
  if (packed < 0) {
    throw new RangeError(reason(-packed, MILADI));
  }
  heap();
  return {
    year: packed >> 9,
    month: (packed >> 5) & 15,
    day: packed & 31,
    hour: i32[fieldsAt],
    minute: i32[fieldsAt + 1],
    second: i32[fieldsAt + 2],
  };
}

const WALL_FIELDS = ['year', 'month', 'day', 'hour', 'minute', 'second'];

export function fromShamsi(fields, options = undefined) {
  if (isDate(fields)) {
    throw typeError('fromShamsi', 'fields', 'an object {year, month, day, hour, minute, second}', fields);
  }
  checkDate(fields, 'fromShamsi', 'fields');
  checkKeys(fields, WALL_FIELDS, 'fromShamsi', 'fields');
  checkKeys(options, ZONE_OPTIONS, 'fromShamsi', 'options');
  const zone = zoneOf(options?.timeZone, 'fromShamsi');
  const error = wasm.DaysOf(
    whole(fields.year, SHAMSI, 'fromShamsi', 'year'),
    whole(fields.month, SHAMSI, 'fromShamsi', 'month'),
    whole(fields.day, SHAMSI, 'fromShamsi', 'day'),
  );
  if (error !== 0) {
    throw new RangeError(reason(error, SHAMSI));
  }
  heap();
  // The wall time, counted as if it were UTC.
  const wall =
    i32[fieldsAt] * DAY_MS +
    timeField(fields, 'hour', 23, 'fromShamsi') * 3_600_000 +
    timeField(fields, 'minute', 59, 'fromShamsi') * 60_000 +
    timeField(fields, 'second', 59, 'fromShamsi') * 1000;
  // The offsets a day either side hold every offset the zone can have at
  // this wall time. Each that the zone keeps at the instant it gives is an
  // answer: two where the clocks went back (the later is taken), none where
  // they went forward (the offset before the change is taken, so that the
  // skipped time is moved on by the change).
  const before = zone.offsetAt(wall - DAY_MS);
  const after = zone.offsetAt(wall + DAY_MS);
  let found = NaN;
  for (const offset of [before, after]) {
    const ms = wall - offset * 1000;
    if (zone.offsetAt(ms) === offset && !(ms <= found)) {
      found = ms;
    }
  }
  return new Date(Number.isNaN(found) ? wall - before * 1000 : found);
}

function int32Array(value, what, fn) {
  if (!(value instanceof Int32Array)) {
    throw typeError(fn, what, 'an Int32Array', value);
  }
  return value;
}

// The module's batch buffer: four arrays of BATCH numbers.
const batchAt = wasm.Batch() >> 2;
const BATCH = wasm.BatchSize();

// Converts arrays of count numbers, BATCH at a time: copies each part of
// the inputs into the first arrays of the batch buffer, runs convert(size),
// and copies the results from the last arrays into outputs. Returns -1, or
// the index of the first bad date.
function inBatches(inputs, outputs, convert) {
  const count = inputs[0].length;
  const outputAt = batchAt + (4 - outputs.length) * BATCH;
  for (let start = 0; start < count; start += BATCH) {
    const size = Math.min(BATCH, count - start);
    heap();
    inputs.forEach((array, k) => i32.set(array.subarray(start, start + size), batchAt + k * BATCH));
    const bad = convert(size);
    if (bad >= 0) {
      return start + bad;
    }
    outputs.forEach((array, k) => array.set(i32.subarray(outputAt + k * BATCH, outputAt + k * BATCH + size), start));
  }
  return -1;
}

export function shamsiFromDays(days) {
  int32Array(days, 'days', 'shamsiFromDays');
  const count = days.length;
  const dates = { year: new Int32Array(count), month: new Int32Array(count), day: new Int32Array(count) };
  const bad = inBatches([days], [dates.year, dates.month, dates.day], wasm.ShamsiFromDays);
  if (bad >= 0) {
    throw new RangeError(`index ${bad}: ${reason(OUT_OF_RANGE, SHAMSI)}`);
  }
  return dates;
}

export function daysFromShamsi(year, month, day) {
  int32Array(year, 'year', 'daysFromShamsi');
  int32Array(month, 'month', 'daysFromShamsi');
  int32Array(day, 'day', 'daysFromShamsi');
  const count = year.length;
  if (month.length !== count || day.length !== count) {
    throw new RangeError('year, month and day differ in length');
  }
  const days = new Int32Array(count);
  const bad = inBatches([year, month, day], [days], wasm.DaysFromShamsi);
  if (bad >= 0) {
    heap();
    throw new RangeError(`index ${bad}: ${reason(i32[fieldsAt], SHAMSI)}`);
  }
  return days;
}

// Weeks and names

export function weekdayOf(date) {
  checkDate(date);
  const result = wasm.WeekdayOf(whole(date.year, SHAMSI), whole(date.month, SHAMSI), whole(date.day, SHAMSI));
  if (result < 0) {
    throw new RangeError(reason(-result, SHAMSI));
  }
  return result;
}

// The library's lists of names, one a line in Output(), kept once read.
const nameLists = new Map();
function namesOf(kind, names) {
  const key = `${kind} ${names}`;
  if (!nameLists.has(key)) {
    const word = String(names);
    const room = word.length * 3;
    const start = wasm.Input(room);
    heap();
    const length = wasm.Names(kind, encoder.encodeInto(word, u8.subarray(start, start + room)).written);
    if (length < 0) {
      throw new RangeError(`no month names are called '${word}'`);
    }
    nameLists.set(key, Object.freeze(outputText(length).split('\n')));
  }
  return nameLists.get(key);
}

export function monthNames(names = 'iranian') {
  return namesOf(0, names);
}

export function weekdayNames(names = 'iranian') {
  return namesOf(1, names);
}

export function weekdayInitials(names = 'iranian') {
  return namesOf(2, names);
}
