// The Shamsi (Iranian solar) calendar, from the C++ library of the Shamsi
// date converter compiled to WebAssembly. Importing the module compiles it,
// synchronously; every function is synchronous.
//
// Every function checks its input: a date that is not a day of its calendar,
// one outside the Shamsi years 1-9999 (21 March 622 to 19 March 10621 in the
// Miladi calendar), a text that cannot be read, or a weekday that is not the
// date's, throws a RangeError whose message is the reason shamsi-date gives,
// such as "not a day of the Shamsi calendar". An argument the package cannot
// take (a string for a number, an unknown option or amount such as
// {hours: 3}) throws a TypeError that names the function and the argument.

/** A date: a Shamsi one (month 1 is Farvardin) or a Miladi one (proleptic Gregorian). */
export interface DateFields {
  year: number;
  month: number;
  day: number;
}

/** A span of the calendar, as `diff --ymd` gives it. */
export interface Span {
  years: number;
  months: number;
  days: number;
}

/** A Shamsi date and a wall-clock time: what toShamsi gives for a Date. */
export interface DateTimeFields extends DateFields {
  /** 0-23 */
  hour: number;
  /** 0-59 */
  minute: number;
  /** 0-59 */
  second: number;
}

/** A Shamsi date and a wall-clock time whose fields default to 0, for fromShamsi. */
export interface WallTime extends DateFields {
  hour?: number;
  minute?: number;
  second?: number;
}

export interface ZoneOptions {
  /**
   * An IANA time zone ('Asia/Tehran', 'Asia/Kabul', 'UTC', 'America/New_York') or an offset
   * ('+03:30') as Intl takes it; the runtime's own zone (as Date#getHours has it) by default.
   * A name Intl does not know throws a RangeError.
   */
  timeZone?: string;
}

export interface Amount {
  years?: number;
  months?: number;
  weeks?: number;
  days?: number;
}

export interface FormatOptions extends ZoneOptions {
  /** The digits numbers are written in; 'ascii' by default. */
  digits?: 'ascii' | 'persian';
  /**
   * The month names %B writes: Iran's (فروردین …) by default, Afghanistan's (حمل …), or the
   * Iranian names in Latin letters (Farvardin …), which also make %A write English weekdays.
   */
  names?: 'iranian' | 'afghan' | 'english';
}

/** The Shamsi date of a Miladi date: toShamsi(2025, 3, 21) is {year: 1404, month: 1, day: 1}. */
export function toShamsi(year: number, month: number, day: number): DateFields;
/**
 * The Shamsi date and wall-clock time of an instant in a time zone (the runtime's own by
 * default), from Intl's time zone data; the fraction of a second is dropped:
 *
 *     toShamsi(new Date('2026-12-08T22:00:00Z'), {timeZone: 'Asia/Tehran'})
 *     // {year: 1405, month: 9, day: 18, hour: 1, minute: 30, second: 0}
 */
export function toShamsi(date: Date, options?: ZoneOptions): DateTimeFields;

/**
 * The instant of a Shamsi wall-clock time in a time zone (the runtime's own by default); the
 * time's fields default to 0. Where the clocks went back and the time came twice, the later
 * instant; where they went forward and skipped it, the instant the offset before the change
 * gives, which is that time moved on by the change (02:30 on a day New York skips 02:00-03:00
 * is 03:30).
 *
 *     fromShamsi({year: 1405, month: 9, day: 18, hour: 1, minute: 30}, {timeZone: 'Asia/Tehran'})
 *     // 2026-12-08T22:00:00.000Z
 */
export function fromShamsi(fields: WallTime, options?: ZoneOptions): Date;

/** The Miladi date of a Shamsi date: toMiladi(1404, 1, 1) is {year: 2025, month: 3, day: 21}. */
export function toMiladi(year: number, month: number, day: number): DateFields;

/**
 * Reads a Shamsi date in every form shamsi-date reads: "1405/09/17", "1405-9-17",
 * "17 آذر 1405", "۱۷ قوس ۱۴۰۵", "سه‌شنبه ۱۷ آذر ۱۴۰۵" (the weekday checked), in ASCII,
 * Persian or Arabic-Indic digits, with blanks around it. The full year is always written.
 */
export function parseShamsi(text: string): DateFields;

/**
 * Reads a Miladi date: "2026/12/08", "2026-12-08", "8 December 2026", "December 8, 2026",
 * "Tuesday, 8 Dec 2026", in any of the three kinds of digits.
 */
export function parseMiladi(text: string): DateFields;

/**
 * Writes a Shamsi date, byte for byte as `shamsi-date --format` does: %Y (at least four digits),
 * %y (two), %m and %d (two), %-m and %-d (unpadded), %B (the month's name), %A (the weekday's),
 * %j (the day of the year, three digits), %H %M %S (the time, two digits each), %z (the offset
 * from UTC: '+03:30', '-05:00', '+03:25:44'), %% (a %). A bad pattern throws a RangeError
 * naming what is wrong with it.
 *
 * A Date is written as its wall date and time in options.timeZone (the runtime's own zone by
 * default), with that zone's offset then for %z. Date fields are written with their hour,
 * minute and second (0 where absent) and no offset: %z writes nothing for them.
 *
 *     formatShamsi({year: 1405, month: 9, day: 17}, '%A %-d %B %Y', {digits: 'persian'})
 *     // 'سه‌شنبه ۱۷ آذر ۱۴۰۵'
 *     formatShamsi(new Date('2026-12-08T22:00:00Z'), '%Y/%m/%d %H:%M %z', {timeZone: 'Asia/Tehran'})
 *     // '1405/09/18 01:30 +03:30'
 */
export function formatShamsi(date: Date | WallTime, pattern?: string, options?: FormatOptions): string;

/** True when Esfand of the Shamsi year has 30 days. */
export function isLeapYear(year: number): boolean;

/** The days of a Shamsi month, 29 to 31. */
export function daysInMonth(year: number, month: number): number;

/**
 * Moves a Shamsi date as `shamsi-date add` does: years and months together, keeping the day of
 * the month (a day past the end of the month becomes its last), then weeks and days. A result
 * outside the years 1-9999 throws a RangeError.
 */
export function addShamsi(date: DateFields, amount?: Amount): DateFields;

/**
 * b - a as `shamsi-date diff --ymd` gives it: the most whole months n with a moved by n months
 * not past b, as n / 12 years and n % 12 months, then the days left; negative when b is earlier.
 */
export function between(a: DateFields, b: DateFields): Span;

/**
 * The Shamsi dates of many days at once. Days are counted from 1970-01-01, as a Date's
 * milliseconds divided by 86,400,000. A day outside the years 1-9999 throws a RangeError
 * naming its index.
 */
export function shamsiFromDays(days: Int32Array): { year: Int32Array; month: Int32Array; day: Int32Array };

/**
 * The days (from 1970-01-01) of many Shamsi dates at once, given as three arrays of the same
 * length. The first bad date throws a RangeError naming its index.
 */
export function daysFromShamsi(year: Int32Array, month: Int32Array, day: Int32Array): Int32Array;

// Weeks and names

/** The names a list is in: as FormatOptions' names. */
export type Names = 'iranian' | 'afghan' | 'english';

/** The weekday of a Shamsi date in the Iranian week: 0 for Saturday to 6 for Friday. */
export function weekdayOf(date: DateFields): number;

/** The twelve month names, Farvardin first: monthNames('afghan')[8] is 'قوس'. */
export function monthNames(names?: Names): readonly string[];

/** The seven weekday names, Saturday first: Persian, or English for names 'english'. */
export function weekdayNames(names?: Names): readonly string[];

/**
 * The heads of a month's seven columns, Saturday first, as `shamsi-date cal` writes them: the
 * Persian initials (ش ی د س چ پ ج), or 'Sa' to 'Fr' for names 'english'.
 */
export function weekdayInitials(names?: Names): readonly string[];
