// Rendered on the server: no DOM, no window.
import { formatShamsi, toShamsi } from 'shamsi-date';
import { monthGrid } from 'shamsi-date/picker';

export function render() {
  const { length } = monthGrid(1403, 12);
  return `<p>${formatShamsi(toShamsi(2124, 3, 20), '%-d %B %Y')}, ${length}</p>`;
}
