#pragma once
// Waiting on the Qt event loop for something a window, a timer or another thread brings about.
// The loop sleeps between events; a short timer wakes it to look at the condition again, so a
// waiting test leaves the processor to the simulator and the thread it is waiting for.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace quorvex::test {

// Runs the event loop until `done` holds; `ms` only bounds a hang.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Keeps the event loop running for `ms`.
inline void RunFor(int ms) {
    WaitUntil([] { return false; }, ms);
}

}  // namespace quorvex::test
