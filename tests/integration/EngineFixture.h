#pragma once
// The transmission thread wired to a recording target, with what the target sees at the
// moments that matter: the history status of every transmitted request (at message FrameSent)
// and the response record with its data bytes while a sent message is handled.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "RecordingTarget.h"
#include "modbus/TransmissionThread.h"

namespace quorvex::test {

struct HandedOver {
    Msg Id{};
    Request Record;
    std::vector<std::uint8_t> Data;  // ByteCount bytes from Data, copied while the thread waits
};

struct SentFrame {
    std::int32_t SeqNo = 0;
    std::uint8_t Status = 0;  // the history status right after the transmission
    std::int32_t Tag = 0;
};

inline Request ReadRequest(std::uint16_t reg, std::uint16_t count, std::uint8_t attempts = 3,
                           std::uint8_t address = kLoggerAddress) {
    Request r;
    r.Address = address;
    r.Function = FN_READ_HOLDING;
    r.StartRegister = reg;
    r.Count = count;
    r.Attempts = attempts;
    r.Tag = reg == kLogRegister ? TAG_LOG : 0;
    return r;
}

inline Request WriteSingle(std::uint16_t reg, std::uint16_t value, std::uint8_t attempts = 2) {
    Request r;
    r.Function = FN_WRITE_SINGLE;
    r.StartRegister = reg;
    r.Value = value;
    r.Attempts = attempts;
    return r;
}

class Engine {
public:
    Engine(const QString& linkName, std::shared_ptr<HidBackend> hid = {}) {
        target.SetHook([this](const RecordedMessage& m) { OnMessage(m); });
        thread = std::make_unique<TransmissionThread>(&target, linkName, std::move(hid), true);
        thread->start(QThread::HighPriority);
    }
    ~Engine() {
        EndTransmissionThread(*thread);
        thread.reset();
    }

    std::vector<HandedOver> HandOvers() const {
        std::lock_guard lock(mutex_);
        return handOvers_;
    }
    std::vector<SentFrame> Transmissions() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::vector<std::uint8_t> TransmissionStatuses(std::int32_t seqNo) const {
        std::vector<std::uint8_t> out;
        for (const auto& s : Transmissions())
            if (s.SeqNo == seqNo) out.push_back(s.Status);
        return out;
    }
    // The history entry of a request, or a record with SeqNo 0.
    Request HistoryEntry(std::int32_t seqNo) const {
        for (const auto& r : thread->History())
            if (r.SeqNo == seqNo) return r;
        return {};
    }
    // Waits until the history entry of seqNo holds a final status (3, 4 or 10).
    bool WaitFinished(std::int32_t seqNo, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            const auto s = HistoryEntry(seqNo).Status;
            if (s == STATUS_NO_REPLY || s == STATUS_DONE || s == STATUS_POLL_DROPPED) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    RecordingTarget target;
    std::unique_ptr<TransmissionThread> thread;

private:
    void OnMessage(const RecordedMessage& m) {
        // Runs on the transmission thread, inside Post or Send.
        if (m.Sent) {
            HandedOver h{m.Id, thread->ResponseRecord(), {}};
            if (m.Id == Msg::ReadDone || m.Id == Msg::LogReadDone)
                h.Data.assign(h.Record.Data, h.Record.Data + h.Record.ByteCount);
            std::lock_guard lock(mutex_);
            handOvers_.push_back(std::move(h));
        } else if (m.Id == Msg::FrameSent) {
            // The newest history entry with status 1 or 2 set just now belongs to the request
            // in flight: the protocol set it right before posting.
            SentFrame f;
            for (const auto& r : thread->History())
                if (r.Status == STATUS_SENT || r.Status == STATUS_SENT_AGAIN) f = {r.SeqNo, r.Status, r.Tag};
            std::lock_guard lock(mutex_);
            sent_.push_back(f);
        }
    }

    mutable std::mutex mutex_;
    std::vector<HandedOver> handOvers_;
    std::vector<SentFrame> sent_;
};

}  // namespace quorvex::test
