#pragma once
// Ctrl+C (SIGINT) and SIGTERM as a request to stop, seen by the event loop: the handler only
// writes to a pipe, a socket notifier on the main thread records which signal came.
#include <QObject>

class QSocketNotifier;

namespace quorvex {

class StopSignals : public QObject {
public:
    // Installs the handlers; they stay until the program ends.
    StopSignals();
    ~StopSignals() override;
    // The first stop signal received, 0 while none came.
    int Received() const { return received_; }

private:
    QSocketNotifier* notifier_ = nullptr;
    int received_ = 0;
};

}  // namespace quorvex
