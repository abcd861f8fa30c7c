#pragma once
// A MessageTarget for tests: records every message the transmission thread posts or sends,
// lets a test wait for one, and runs an optional hook on the sending thread while a sent
// message is "being handled" (the moment the main window would read ResponseRecord).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include <QString>

#include "modbus/Messages.h"
#include "modbus/Tick.h"

namespace quorvex::test {

struct RecordedMessage {
    Msg Id{};
    bool Sent = false;  // delivered with Send (blocking) rather than Post
    QString Text;
    int WParam = 0;
    std::uint32_t Tick = 0;
};

class RecordingTarget : public MessageTarget {
public:
    using Hook = std::function<void(const RecordedMessage&)>;

    void Post(Msg msg, QString text = {}, int wParam = 0) override;
    void Send(Msg msg) override;

    // Runs on the thread that posts or sends, before the call returns. Set it before the
    // thread starts or while it cannot deliver (it is read without a lock).
    void SetHook(Hook hook) { hook_ = std::move(hook); }

    std::vector<RecordedMessage> Messages() const;
    std::vector<RecordedMessage> Of(Msg msg) const;
    int CountOf(Msg msg) const;
    // Texts of all StatusText messages, in order.
    std::vector<QString> StatusTexts() const;
    void Clear();

    // Waits until at least n messages `msg` were recorded; false on time-out.
    bool WaitFor(Msg msg, int n = 1, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Waits until pred(messages) holds; false on time-out.
    bool WaitUntil(const std::function<bool(const std::vector<RecordedMessage>&)>& pred,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    void Record(RecordedMessage m);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<RecordedMessage> messages_;
    Hook hook_;
};

}  // namespace quorvex::test
