// Start-up probe shared by the start-up programs: reports, on standard
// output, the moment the first frame of a window has been painted, the
// processor time and the peak resident memory of the process at that
// moment, then ends the program.
//
// The launcher takes the wall-clock time just before it starts the process,
// so the difference covers everything from process start: loading the
// libraries, creating the application and the window, and the first paint.
#pragma once

class QWidget;

// Watches the window for its first paint event. Once the event loop has
// finished that paint (and so flushed the frame to the screen), prints
//   frame_us=<microseconds since the Unix epoch> cpu_us=<microseconds> peak_rss_kib=<KiB>
// and quits the application with status 0.
void ReportFirstFrame(QWidget& window);
