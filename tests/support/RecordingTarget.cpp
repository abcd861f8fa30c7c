#include "RecordingTarget.h"

#include <algorithm>

namespace quorvex::test {

void RecordingTarget::Post(Msg msg, QString text, int wParam) {
    Record({msg, false, std::move(text), wParam, GetTickCount()});
}

void RecordingTarget::Send(Msg msg) { Record({msg, true, {}, 0, GetTickCount()}); }

void RecordingTarget::Record(RecordedMessage m) {
    if (hook_) hook_(m);
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(std::move(m));
    }
    changed_.notify_all();
}

std::vector<RecordedMessage> RecordingTarget::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<RecordedMessage> RecordingTarget::Of(Msg msg) const {
    std::vector<RecordedMessage> out;
    std::lock_guard lock(mutex_);
    std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(out),
                 [msg](const RecordedMessage& m) { return m.Id == msg; });
    return out;
}

int RecordingTarget::CountOf(Msg msg) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(messages_.begin(), messages_.end(), [msg](const RecordedMessage& m) { return m.Id == msg; }));
}

std::vector<QString> RecordingTarget::StatusTexts() const {
    std::vector<QString> out;
    for (const auto& m : Of(Msg::StatusText)) out.push_back(m.Text);
    return out;
}

void RecordingTarget::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

bool RecordingTarget::WaitFor(Msg msg, int n, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [msg, n](const std::vector<RecordedMessage>& all) {
            return std::count_if(all.begin(), all.end(), [msg](const RecordedMessage& m) { return m.Id == msg; }) >= n;
        },
        timeout);
}

bool RecordingTarget::WaitUntil(const std::function<bool(const std::vector<RecordedMessage>&)>& pred,
                                std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return pred(messages_); });
}

}  // namespace quorvex::test
