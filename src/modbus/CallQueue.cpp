#include "modbus/CallAndWait.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace quorvex {

void CallAndWait(QObject* receiver, std::function<void()> call)
{
    if (receiver->thread() == QThread::currentThread()) {
        call();
        return;
    }
    struct Handshake {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    // Shared, so that the receiver's last touch of it may come after the caller has gone on.
    auto handshake = std::make_shared<Handshake>();
    // Held from before the call is queued until the wait lets go of it: the receiver's first
    // step takes it, which orders everything the caller did before it.
    std::unique_lock lock(handshake->mutex);
    QMetaObject::invokeMethod(
        receiver,
        [handshake, call = std::move(call)] {
            { std::lock_guard first(handshake->mutex); }
            call();
            std::lock_guard last(handshake->mutex);
            handshake->finished = true;
            handshake->done.notify_all();
        },
        Qt::QueuedConnection);
    handshake->done.wait(lock, [&] { return handshake->finished; });
}

}  // namespace quorvex
