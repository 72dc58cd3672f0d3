// Rendered on the server: no DOM, no window.
import { formatShamsi, toShamsi } from 'shamsi-date';

export function render() {
  return `<p>${formatShamsi(toShamsi(2124, 3, 20), '%-d %B %Y')}</p>`;
}
