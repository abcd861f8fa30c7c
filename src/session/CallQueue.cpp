#include "session/CallQueue.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>

#include <condition_variable>
#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace quorvex {

CallQueue::CallQueue() : thread_(QThread::currentThread()), wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (wake_ >= 0) {
        auto* notifier = new QSocketNotifier(wake_, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { RunNext(); });
        notifier_.reset(notifier);
    } else {
        // Without a descriptor to spare, Qt's own queue wakes the thread instead.
        notifier_ = std::make_unique<QObject>();
    }
}

CallQueue::~CallQueue() {
    notifier_.reset();
    if (wake_ >= 0) ::close(wake_);
}

void CallQueue::Later(std::function<void()> call) {
    {
        std::lock_guard lock(lock_);
        calls_.push_back(std::move(call));
    }
    Wake();
}

void CallQueue::AndWait(std::function<void()> call) {
    if (QThread::currentThread() == thread_) {
        call();
        return;
    }
    // On the caller's stack: the caller is still waiting for as long as the call may touch it.
    std::condition_variable done;
    bool finished = false;
    Later([&] {
        call();
        std::lock_guard lock(lock_);
        finished = true;
        done.notify_all();
    });
    std::unique_lock lock(lock_);
    done.wait(lock, [&] { return finished; });
}

void CallQueue::Wake() {
    if (wake_ < 0) {
        QMetaObject::invokeMethod(
            notifier_.get(), [this] { RunNext(); }, Qt::QueuedConnection);
        return;
    }
    const std::uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
}

void CallQueue::RunNext() {
    // One call for each wake-up, as events come one at a time; the next waits for another
    // turn of the event loop. Nothing of this object is touched once the call runs, so a call
    // may end the queue's owner.
    std::function<void()> call;
    {
        std::lock_guard lock(lock_);
        if (wake_ >= 0) {
            std::uint64_t count = 0;
            (void)!::read(wake_, &count, sizeof count);
        }
        if (calls_.empty()) return;
        call = std::move(calls_.front());
        calls_.pop_front();
        if (!calls_.empty()) Wake();
    }
    call();
}

}  // namespace quorvex
