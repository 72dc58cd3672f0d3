// The elements' style sheets. Every colour, size and the font are custom
// properties a page may set on the element or above it; ::part() reaches
// each piece.
const theme = `
:host {
  --shamsi-background: #fff;
  --shamsi-text: #1c1c1c;
  --shamsi-muted: #595959;
  --shamsi-border: #8a8a8a;
  --shamsi-accent: #0b57d0;
  --shamsi-accent-text: #fff;
  --shamsi-range: #d3e3fd;
  --shamsi-weekend: #b3261e;
  --shamsi-today: #0b57d0;
  --shamsi-cell: 2.25rem;
  --shamsi-radius: 0.5rem;
  font-family: var(--shamsi-font, inherit);
  color: var(--shamsi-text);
}
:host([hidden]) { display: none; }
@media (prefers-color-scheme: dark) {
  :host {
    --shamsi-background: #1f1f1f;
    --shamsi-text: #ececec;
    --shamsi-muted: #b4b4b4;
    --shamsi-border: #8f8f8f;
    --shamsi-accent: #a8c7fa;
    --shamsi-accent-text: #062e6f;
    --shamsi-range: #0f3a75;
    --shamsi-weekend: #ffb4ab;
    --shamsi-today: #a8c7fa;
  }
}
button, select, input { font: inherit; color: inherit; }
button { cursor: pointer; }
:focus-visible { outline: 2px solid var(--shamsi-accent); outline-offset: 1px; }
.hidden-label {
  position: absolute; width: 1px; height: 1px; overflow: hidden; clip-path: inset(50%); white-space: nowrap;
}
@media (max-width: 480px), (pointer: coarse) {
  :host { --shamsi-cell: 44px; }
}
`;

export const calendarStyle = `${theme}
:host { display: inline-block; }
.calendar {
  background: var(--shamsi-background); padding: 0.5rem; border-radius: var(--shamsi-radius);
  inline-size: max-content;
}
.header { display: flex; align-items: center; gap: 0.25rem; margin-block-end: 0.25rem; }
.header select, .header input {
  min-block-size: var(--shamsi-cell); background: var(--shamsi-background);
  border: 1px solid var(--shamsi-border); border-radius: 0.25rem; padding-inline: 0.25rem;
}
.header input { inline-size: 5.5ch; }
.header .nav {
  inline-size: var(--shamsi-cell); block-size: var(--shamsi-cell); border: 0; border-radius: 50%;
  background: transparent; font-size: 1.25em; line-height: 1;
}
.header .nav:hover { background: var(--shamsi-range); }
.header .nav:disabled { opacity: 0.4; cursor: default; }
.header .spacer { flex: 1; }
table { border-collapse: collapse; }
th {
  inline-size: var(--shamsi-cell); block-size: 1.75rem; font-weight: normal; color: var(--shamsi-muted);
}
th.weekend, td.weekend { color: var(--shamsi-weekend); }
td {
  inline-size: var(--shamsi-cell); block-size: var(--shamsi-cell); padding: 0; text-align: center;
  border-radius: 50%; cursor: pointer; user-select: none;
}
td:empty { cursor: default; }
td:not(:empty):hover { background: var(--shamsi-range); }
td[aria-current='date'] { box-shadow: inset 0 0 0 2px var(--shamsi-today); }
td.in-range { background: var(--shamsi-range); border-radius: 0; }
td[aria-selected='true']:not(.in-range), td.range-end {
  background: var(--shamsi-accent); color: var(--shamsi-accent-text);
}
td[aria-disabled='true'] { color: var(--shamsi-muted); text-decoration: line-through; cursor: not-allowed; }
td[aria-disabled='true']:hover { background: transparent; }
td:focus-visible { outline-offset: -2px; }
@media (forced-colors: active) {
  td[aria-selected='true'], td.in-range { background: Highlight; color: HighlightText; forced-color-adjust: none; }
  td[aria-current='date'] { outline: 2px solid CanvasText; }
  td[aria-disabled='true'] { color: GrayText; }
}
`;

export const inputStyle = `${theme}
:host { display: inline-block; position: relative; }
.field {
  display: inline-flex; align-items: stretch; border: 1px solid var(--shamsi-border);
  border-radius: 0.25rem; background: var(--shamsi-background);
}
.field:focus-within { outline: 2px solid var(--shamsi-accent); outline-offset: 1px; }
input {
  border: 0; background: transparent; padding: 0.25rem 0.5rem; inline-size: 11ch;
  min-block-size: 2rem; text-align: end; outline: none;
}
.field[dir='rtl'] input { text-align: right; }
button {
  border: 0; background: transparent; min-inline-size: 2rem; padding: 0 0.25rem;
  display: inline-flex; align-items: center; justify-content: center;
}
button svg { inline-size: 1.25rem; block-size: 1.25rem; fill: currentColor; }
:host(:disabled) .field { opacity: 0.6; }
:host(:disabled) button { cursor: default; }
dialog {
  padding: 0; border: 1px solid var(--shamsi-border); border-radius: var(--shamsi-radius);
  background: var(--shamsi-background); color: inherit; box-shadow: 0 4px 16px rgb(0 0 0 / 25%);
}
dialog:not(:modal) { position: absolute; inset: 100% auto auto auto; inset-inline-start: 0; margin: 2px 0 0; z-index: 10; }
dialog:modal {
  inline-size: 100vw; max-inline-size: 100vw; margin: auto 0 0; border-radius: var(--shamsi-radius) var(--shamsi-radius) 0 0;
  box-sizing: border-box; display: flex; justify-content: center;
}
dialog::backdrop { background: rgb(0 0 0 / 40%); }
@media (max-width: 480px), (pointer: coarse) {
  input { min-block-size: 44px; }
  button { min-inline-size: 44px; }
}
@media (forced-colors: active) {
  .field, dialog { border-color: CanvasText; }
}
`;
