#include "first_frame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

#ifdef _WIN32
#include <psapi.h>
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {

// Peak resident memory of the process so far, in KiB.
long long PeakResidentKiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return -1;
    }
    return static_cast<long long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return -1;
    }
#ifdef __APPLE__
    return static_cast<long long>(usage.ru_maxrss / 1024);  // bytes there
#else
    // glibc declares the field inside a union; reading it is what getrusage is for.
    return static_cast<long long>(usage.ru_maxrss);  // NOLINT(cppcoreguidelines-pro-type-union-access) KiB
#endif
#endif
}

// Processor time used by the process so far (user and system), in
// microseconds: unlike the wall-clock time it does not grow when other
// programs compete for the processor.
long long ProcessorMicroseconds() {
#ifdef _WIN32
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user) == 0) {
        return -1;
    }
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10;  // 100 ns ticks
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return -1;
    }
    const auto micros = [](const timeval& time) {
        return static_cast<long long>(time.tv_sec) * 1000000 + time.tv_usec;
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
#endif
}

long long MicrosecondsSinceEpoch() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

class FirstPaintFilter final : public QObject {
public:
    explicit FirstPaintFilter(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Runs once the event loop is back, after the whole frame (the
            // window and its children) has been painted and flushed.
            QTimer::singleShot(0, this, [] {
                const long long frame = MicrosecondsSinceEpoch();
                std::printf("frame_us=%lld cpu_us=%lld peak_rss_kib=%lld\n", frame, ProcessorMicroseconds(),
                            PeakResidentKiB());
                (void)std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void ReportFirstFrame(QWidget& window) { window.installEventFilter(new FirstPaintFilter(&window)); }
