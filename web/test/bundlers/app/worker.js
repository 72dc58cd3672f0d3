// Answers each message [year, month, day] with its Shamsi date.
import { formatShamsi, toShamsi } from 'shamsi-date';

self.onmessage = ({ data }) => {
  self.postMessage(formatShamsi(toShamsi(...data), '%A %-d %B %Y', { digits: 'persian' }));
};
