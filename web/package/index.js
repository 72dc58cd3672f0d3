// The Shamsi calendar for JavaScript: the project's C++ library
// (shamsi/include/shamsi) compiled to WebAssembly, in shamsi.wasm beside
// this file. Importing the module loads it (top-level await); every function
// after that is synchronous.

const wasmUrl = new URL('./shamsi.wasm', import.meta.url);

async function wasmBytes() {
  if (wasmUrl.protocol === 'file:' && typeof process === 'object' && process.versions?.node) {
    const { readFile } = await import('node:fs/promises');
    return readFile(wasmUrl);
  }
  const response = await fetch(wasmUrl);
  if (!response.ok) {
    throw new Error(`shamsi-date: cannot load ${wasmUrl}: ${response.status}`);
  }
  return response.arrayBuffer();
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

const module = await WebAssembly.compile(await wasmBytes());
const { exports: wasm } = await WebAssembly.instantiate(module, importsOf(module));
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

// A number as the module takes it: a whole number, held to 32 bits. Larger
// ones stay larger than any the calendar accepts; anything else is refused.
const LARGEST = 0x7fffffff;
function whole(value, calendar) {
  if (!Number.isInteger(value)) {
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

function checkDate(date) {
  if (date === null || typeof date !== 'object') {
    throw new TypeError('a date is an object {year, month, day}');
  }
}

const { ToShamsi, ToMiladi } = wasm;

export function toShamsi(year, month, day) {
  return unpacked(
    (year | 0) === year && (month | 0) === month && (day | 0) === day
      ? ToShamsi(year, month, day)
      : ToShamsi(whole(year, MILADI), whole(month, MILADI), whole(day, MILADI)),
    MILADI,
  );
}

export function toMiladi(year, month, day) {
  return unpacked(
    (year | 0) === year && (month | 0) === month && (day | 0) === day
      ? ToMiladi(year, month, day)
      : ToMiladi(whole(year, SHAMSI), whole(month, SHAMSI), whole(day, SHAMSI)),
    SHAMSI,
  );
}

function parse(text, calendar) {
  if (typeof text !== 'string') {
    throw new TypeError('the date to read is a string');
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
  return parse(text, SHAMSI);
}

export function parseMiladi(text) {
  return parse(text, MILADI);
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
    throw new TypeError('the pattern is a string');
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

export function formatShamsi(date, pattern = '%Y/%m/%d', { digits = 'ascii', names = 'iranian' } = {}) {
  checkDate(date);
  if (pattern !== lastPattern || digits !== lastDigits || names !== lastNames) {
    setFormat(pattern, digits, names);
  }
  if (formatError !== null) {
    throw new RangeError(formatError);
  }
  const { year, month, day } = date;
  const length =
    (year | 0) === year && (month | 0) === month && (day | 0) === day
      ? wasm.Format(year, month, day)
      : wasm.Format(whole(year, SHAMSI), whole(month, SHAMSI), whole(day, SHAMSI));
  if (length < 0) {
    throw new RangeError(reason(-length, SHAMSI));
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
  return yearOrThrow(wasm.IsLeapYear(whole(year, SHAMSI))) === 1;
}

export function daysInMonth(year, month) {
  return yearOrThrow(wasm.DaysInMonth(whole(year, SHAMSI), whole(month, SHAMSI)));
}

function amount(value) {
  if (!Number.isInteger(value)) {
    throw new RangeError(`an amount is a whole number, not ${String(value)}`);
  }
  // Far past any move the calendar can make, which the library refuses.
  return Math.max(-1e9, Math.min(1e9, value));
}

export function addShamsi(date, { years = 0, months = 0, weeks = 0, days = 0 } = {}) {
  checkDate(date);
  const error = wasm.Add(
    whole(date.year, SHAMSI),
    whole(date.month, SHAMSI),
    whole(date.day, SHAMSI),
    amount(years),
    amount(months),
    amount(weeks),
    amount(days),
  );
  if (error !== 0) {
    throw new RangeError(reason(error, SHAMSI));
  }
  return fieldsAsDate();
}

export function between(a, b) {
  checkDate(a);
  checkDate(b);
  const error = wasm.Between(
    whole(a.year, SHAMSI),
    whole(a.month, SHAMSI),
    whole(a.day, SHAMSI),
    whole(b.year, SHAMSI),
    whole(b.month, SHAMSI),
    whole(b.day, SHAMSI),
  );
  if (error !== 0) {
    throw new RangeError(reason(error, SHAMSI));
  }
  heap();
  return { years: i32[fieldsAt], months: i32[fieldsAt + 1], days: i32[fieldsAt + 2] };
}

function int32Array(value, what) {
  if (!(value instanceof Int32Array)) {
    throw new TypeError(`${what} is an Int32Array`);
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
  int32Array(days, 'days');
  const count = days.length;
  const dates = { year: new Int32Array(count), month: new Int32Array(count), day: new Int32Array(count) };
  const bad = inBatches([days], [dates.year, dates.month, dates.day], wasm.ShamsiFromDays);
  if (bad >= 0) {
    throw new RangeError(`index ${bad}: ${reason(OUT_OF_RANGE, SHAMSI)}`);
  }
  return dates;
}

export function daysFromShamsi(year, month, day) {
  int32Array(year, 'year');
  int32Array(month, 'month');
  int32Array(day, 'day');
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
