#pragma once
// Runs calls on one thread, handed to it from any thread in the order they were given: the
// way the transmission thread's messages reach the logger session. Later() queues a call and
// returns; AndWait() queues it and returns once it has run (at once on that thread itself).
//
// The queue is its own, under a standard library lock, and an eventfd wakes the receiving
// thread's event loop through a socket notifier. Callers never touch Qt's queue of posted
// events, whose locks ThreadSanitizer cannot see, so it sees every hand-over: a call sees
// everything its caller did before queuing it, and AndWait's caller everything the call did.
//
// The receiving thread must keep processing events (its event loop, or the shutdown wait of
// EndTransmissionThread), or AndWait waits for ever. Calls still queued when the queue is
// destroyed are dropped.
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QObject;
class QThread;

namespace quorvex {

class CallQueue {
public:
    // On the thread that is to run the calls, once it has an event dispatcher.
    CallQueue();
    ~CallQueue();
    CallQueue(const CallQueue&) = delete;
    CallQueue& operator=(const CallQueue&) = delete;

    void Later(std::function<void()> call);
    void AndWait(std::function<void()> call);

private:
    void RunNext();
    void Wake();

    QThread* const thread_;
    int wake_ = -1;  // eventfd; -1 when none could be had
    std::unique_ptr<QObject> notifier_;
    std::mutex lock_;
    std::deque<std::function<void()>> calls_;
};

}  // namespace quorvex
