#pragma once
// The transmission thread: the one place that touches the link to the logger, a serial port
// or the HID logger behind the one Link interface. It keeps the chosen link open, polls the
// logger when nothing else is queued, runs the queued requests one at a time through the
// protocol state machine and reports everything to its MessageTarget.
//
// Threads: AddRecord, SetLinkName, ZeroCounters, the readers and the device notices
// (HidDeviceArrived, HidDeviceRemoved) may be called from any thread (in the program: the
// user-interface thread). Execute and the protocol run on the thread itself, which alone
// touches the link. ResponseRecord() and Frame() may be read only while the target handles a
// sent message (WriteDone, ReadDone, LogReadFailed, LogReadDone, EndOfLog): the thread is
// blocked then and changes neither.
//
// A HID logger keeps at most 63 unread reports (one reply byte each, one per millisecond), so
// while a reply may be arriving the thread never waits for the other thread: it sends its
// blocking messages only once a reply is complete, reads the link name through a version
// number, and shares with the caller only locks held for a copy or an increment.
//
// Ending: call RequestTermination() (never QThread::terminate()), then wait while delivering
// the sent messages, as EndTransmissionThread() does. The destructor does the same if the
// owner did not, then closes the link.
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "link/HidBackend.h"
#include "link/Link.h"
#include "modbus/Messages.h"
#include "modbus/Request.h"
#include "modbus/TransmissionCounters.h"

namespace quorvex {

// The first status bar panel for a link name and LinkState: "[1021]Wybrany port", the name
// and the state's text, each numbered text in the program's language (its Polish wording while no
// translator is installed).
// "___" for a state outside 0…5.
QString LinkStatusText(const QString& linkName, int linkState);

class TransmissionThread final : public QThread {
public:
    // The link name of the HID logger; any other name is a serial port.
    static inline const QString kUsbLinkName = QStringLiteral("USB");
    static constexpr std::size_t kQueueLimit = 100;
    // The history is trimmed to what the status bar shows when the bar paints; a window
    // that is not painted (minimised) would let it grow a request a second for good.
    // Far more than any status bar shows, so painting sees no difference.
    static constexpr std::size_t kHistoryLimit = 256;
    static constexpr std::uint32_t kPollIdleMs = 1000;     // idle time before a poll is queued
    static constexpr std::uint32_t kFirstByteMs = 1500;    // wait for the first reply byte
    static constexpr std::uint32_t kSilenceMs = 800;       // silence that ends a reply
    static constexpr std::uint32_t kFlushMs = 500;         // longest flush after a bad reply
    static constexpr std::uint32_t kConnectRetryMs = 100;  // pause after a failed connect
    // Quiet kept on the line after a reply that ended by its own length, before the next
    // request: 3.5 character times at 9600 baud.
    static constexpr std::chrono::microseconds kQuietTime{4000};

    // LinkState values.
    enum : std::int8_t {
        LINK_NONE = 0,
        LINK_SERIAL_CLOSED = 1,
        LINK_SERIAL_OPEN = 2,
        LINK_SERIAL_FAILED = 3,
        LINK_HID_CONNECTED = 4,
        LINK_HID_ABSENT = 5,
    };

    // `target` receives every message and must outlive the thread. `hidBackend` (under the
    // HID logger's link and the HID list) defaults to the system's hidraw devices. The thread
    // starts at once, one step above normal priority, unless createSuspended is set (then
    // call start()).
    TransmissionThread(MessageTarget* target, const QString& linkName, std::shared_ptr<HidBackend> hidBackend = {},
                       bool createSuspended = false);
    ~TransmissionThread() override;
    TransmissionThread(const TransmissionThread&) = delete;
    TransmissionThread& operator=(const TransmissionThread&) = delete;

    // Queues a copy of the request (FIFO, at most 100 pending; the oldest pending one is
    // dropped on overflow), numbers it, records it in the history (dropping the oldest
    // entries beyond kHistoryLimit) and posts CommandQueued.
    void AddRecord(Request record);

    // Asks the loop to end after its current step; wakes it from any wait of its own.
    void RequestTermination();
    bool TerminationRequested() const { return Terminated_.load(); }

    QString LinkName() const;
    // The loop switches links on its next pass.
    void SetLinkName(const QString& name);

    std::int8_t LinkState() const { return LinkState_.load(); }
    QString LinkStatusText() const { return quorvex::LinkStatusText(LinkName(), LinkState()); }
    std::uint8_t ProtocolState() const { return ProtocolState_.load(); }
    bool Connected() const { return Connected_.load() != 0; }

    TransmissionCounters Counters() const;
    void ZeroCounters();

    // Fast frame end: a reply ends as soon as it is complete by its function's length with a
    // right CRC; anything else still ends by the silence. Off by default; takes effect from
    // the next request sent.
    void SetFastFrames(bool on) { FastFrames_ = on; }
    bool FastFrames() const { return FastFrames_.load(); }

    // A copy of the command history, oldest first.
    std::deque<Request> History() const;
    // Runs f(history) as one serialized access, e.g. the status bar's read-and-trim.
    template <class F>
    decltype(auto) WithHistory(F&& f) {
        std::lock_guard lock(SharedLock_);
        return f(commandHistory_);
    }

    // Pending requests, newest first (the protocol takes from the back).
    std::deque<Request> QueueSnapshot() const;
    std::size_t QueueSize() const;

    // The last completed exchange and the frame its Data points into; see the thread note.
    const Request& ResponseRecord() const { return ResponseRecord_; }
    const FrameBuffer& Frame() const { return FrameBuffer_; }
    std::uint8_t FrameLength() const { return FrameLength_; }

    // The last status text published with StatusText.
    QString CurrentStatusText() const;

    // The HID list of the service tab: product strings of the present interfaces.
    void ListHidProducts(QStringList& list);
    // Device notices of the window thread; both return at once, the thread acts on its next
    // pass. An arrival makes an absent logger be looked for at once. A removal of the
    // logger's own node (or any removal while no logger is open) closes the logger and looks
    // for it afresh; the removal of another device leaves the logger and its reply alone.
    void HidDeviceArrived();
    void HidDeviceRemoved(const QString& node);

protected:
    void run() override;

private:
    void Execute();
    // Takes up the link name when it has changed: another name, another link.
    void FollowLinkName();
    std::unique_ptr<Link> MakeLink(const QString& name) const;
    bool Connect();
    void TakeDeviceNotices();
    // The link opened: requests queued meanwhile were meant for what was there before
    // (a reset pressed while nothing was connected, say).
    void EmptyQueue();
    void SendFrames();
    void ModbusProtocol();  // one step; ModbusProtocol.cpp
    void StatusText(const QString& text);

    // Protocol helpers (ModbusProtocol.cpp).
    void StepIdle();
    void StepSend();
    void StepCheck();
    void StepAccept();
    bool ReadLinkByte(std::uint8_t& byte, std::uint32_t maxWaitMs);
    void WaitForQuietLine();
    void PurgeLink();
    void SetHistoryStatus(std::uint8_t status);
    void Count(std::uint32_t TransmissionCounters::*counter);
    void PostCounters();
    void Post(Msg msg, const QString& text = {}, int wParam = 0);
    void Send(Msg msg);
    // Sends msg with the request in hand as the response record, carrying no reply data.
    void SendWithoutData(Msg msg);

    // Waits up to ms or until woken (a request queued, the link name changed, the end asked).
    void WaitForWake(std::uint32_t ms);
    void Wake();
    void CloseLink();

    MessageTarget* const Target_;

    // The command queue and everything that takes it.
    mutable std::mutex QueueLock_;
    std::deque<Request> commandQueue_;
    std::uint32_t SeqCounter_ = 0;

    // History, link name, counters and the status text, shared with the caller's thread.
    mutable std::mutex SharedLock_;
    std::deque<Request> commandHistory_;
    QString LinkName_;
    TransmissionCounters Counters_;
    QString StatusText_;

    std::atomic<std::uint32_t> LinkNameVersion_{0};  // counts SetLinkName calls

    // Device notices, taken by the thread at the start of a pass.
    std::atomic<bool> HidArrivalNoticed_{false};
    std::atomic<bool> HidRemovalNoticed_{false};
    std::mutex NoticeLock_;  // held only to add or take a node name
    QStringList RemovedNodes_;

    std::atomic<std::int8_t> LinkState_{LINK_NONE};
    std::atomic<std::uint8_t> ProtocolState_{0};
    std::atomic<std::uint8_t> Connected_{0};
    std::atomic<bool> Terminated_{false};
    std::atomic<bool> FastFrames_{false};

    std::mutex WakeMutex_;
    std::condition_variable WakeCv_;
    bool WakeFlag_ = false;

    const std::shared_ptr<HidBackend> HidBackend_;
    // The link this pass of the loop works on, made for ThreadLinkName_; null until the
    // thread first runs.
    std::unique_ptr<Link> Link_;
    // The thread's own copy of the link name, renewed when LinkNameVersion_ moves on.
    QString ThreadLinkName_;
    // The link's failure text last said: a link that keeps failing alike is not said again.
    QString FailureSaid_;
    std::uint32_t SeenLinkNameVersion_ = ~0u;

    // Protocol working data: touched by the thread only (read by the target during a send).
    Request Working_;
    Request ResponseRecord_;
    FrameBuffer FrameBuffer_{};
    std::uint8_t FrameLength_ = 0;
    std::uint32_t SendTime_ = 0;
    std::uint32_t ByteTime_ = 0;
    std::uint32_t FlushStart_ = 0;
    std::uint32_t Transmissions_ = 0;
    bool LastReplyBad_ = false;  // the last transmission got a reply that failed the checks
    std::uint32_t PollTimer_ = 0;
    bool PollAlternate_ = false;
    bool FastReply_ = false;   // the reply in flight may end by its length
    bool AwaitQuiet_ = false;  // the last reply ended by its length: quiet before the next send
    std::chrono::steady_clock::time_point LastByteAt_;
};

// The owner's end of the thread: asks it to end and waits until it has, delivering the
// calling thread's events meanwhile so that a message the thread is sending cannot block
// the wait. Call it on the thread that receives the sent messages.
void EndTransmissionThread(TransmissionThread& thread);

}  // namespace quorvex
