// A form whose date the app holds: the field shows the state, and its
// change events set it.
import { StrictMode, useState } from 'react';
import { createRoot } from 'react-dom/client';
import 'shamsi-date/picker';

function App() {
  const [day, setDay] = useState('2026-12-08');
  const [changes, setChanges] = useState(0);
  return (
    <main>
      <h1>گزارش</h1>
      <label htmlFor="day">روز</label>
      <shamsi-date-input
        id="day"
        name="day"
        value={day}
        onChange={(event) => {
          setDay(event.target.value);
          setChanges((count) => count + 1);
        }}
      />
      <p>
        <output id="state">{day}</output> <output id="changes">{changes}</output>
      </p>
      <button type="button" id="nowruz" onClick={() => setDay('2025-03-21')}>
        نوروز ۱۴۰۴
      </button>
    </main>
  );
}

createRoot(document.getElementById('root')).render(
  <StrictMode>
    <App />
  </StrictMode>,
);
