#pragma once
// Runs a call on the thread of a QObject and waits until it has run: the way a sent message
// reaches the main window. Equivalent to a blocking queued call, but the hand-back goes
// through the standard library, so ThreadSanitizer sees the order of the call and what the
// caller does next (Qt's own hand-back happens inside the uninstrumented library).
//
// The receiver's thread must keep processing events (its event loop, or the shutdown wait of
// EndTransmissionThread), or the caller waits for ever. Called on the receiver's own thread,
// the call runs at once.
#include <functional>

class QObject;

namespace quorvex {

void CallAndWait(QObject* receiver, std::function<void()> call);

}  // namespace quorvex
