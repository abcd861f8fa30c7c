#include "modbus/TransmissionThread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include "i18n/ProgramTexts.h"
#include "link/HidLink.h"
#include "link/HidrawBackend.h"
#include "link/SerialLink.h"
#include "modbus/Tick.h"

namespace quorvex {

QString LinkStatusText(const QString& linkName, int linkState) {
    QString state;
    switch (linkState) {
    case 0:
        break;
    case 1:
        state = QStringLiteral("[1022]-zamknięty");
        break;
    case 2:
        state = QStringLiteral("[1023]-otwarty");
        break;
    case 3:
        state = QStringLiteral("[1024]-wystąpił błąd otwarcia");
        break;
    case 4:
        state = QStringLiteral("[1025]-kabel podłączony");
        break;
    case 5:
        state = QStringLiteral("[1026]-kabel odłączony");
        break;
    default:
        return QStringLiteral("___");
    }
    QString text = TranslateText(QStringLiteral("[1021]Wybrany port")) + u' ' + linkName + u' ';
    if (!state.isEmpty()) text += TranslateText(state);
    return text;
}

namespace {

// How a link of each kind shows in LinkState and in the messages.
struct LinkReporting {
    std::int8_t OpenState;
    std::int8_t FailedState;
    Msg OpenedMsg;
    Msg FailedMsg;
    int AccessDeniedParam;  // wParam of FailedMsg when the system refused access
    int UnusableParam;      // wParam of FailedMsg when the device cannot carry the frames
    int MissingParam;       // wParam of FailedMsg when the device is not there
    int BusyParam;          // wParam of FailedMsg when another program holds the device
};

const LinkReporting& ReportingOf(LinkKind kind) {
    static constexpr LinkReporting kSerial{TransmissionThread::LINK_SERIAL_OPEN,
                                           TransmissionThread::LINK_SERIAL_FAILED,
                                           Msg::PortOpened,
                                           Msg::PortOpenFailed,
                                           kPortAccessDenied,
                                           0,
                                           kPortMissing,
                                           kPortBusy};
    static constexpr LinkReporting kHid{TransmissionThread::LINK_HID_CONNECTED,
                                        TransmissionThread::LINK_HID_ABSENT,
                                        Msg::HidConnected,
                                        Msg::HidAbsent,
                                        kHidAccessDenied,
                                        kHidUnusable,
                                        0,
                                        0};
    return kind == LinkKind::Hid ? kHid : kSerial;
}

int RefusalParam(const LinkReporting& reporting, LinkRefusal refusal) {
    switch (refusal) {
    case LinkRefusal::None:
        break;
    case LinkRefusal::AccessDenied:
        return reporting.AccessDeniedParam;
    case LinkRefusal::Unusable:
        return reporting.UnusableParam;
    case LinkRefusal::Missing:
        return reporting.MissingParam;
    case LinkRefusal::Busy:
        return reporting.BusyParam;
    }
    return 0;
}

}  // namespace

TransmissionThread::TransmissionThread(MessageTarget* target, const QString& linkName,
                                       std::shared_ptr<HidBackend> hidBackend, bool createSuspended)
    : Target_(target),
      LinkName_(linkName),
      HidBackend_(hidBackend ? std::move(hidBackend) : std::make_shared<HidrawBackend>()) {
    if (!createSuspended) start(QThread::HighPriority);
}

TransmissionThread::~TransmissionThread() {
    if (isRunning()) EndTransmissionThread(*this);
    {
        // Pairs with the end of run(): QThread's own wait is not seen by ThreadSanitizer.
        std::lock_guard lock(WakeMutex_);
    }
    // A thread that never ran opened nothing; one that ran closed its link on the way out.
    CloseLink();
}

void TransmissionThread::run() {
    Execute();
    // Everything the thread did is ordered before what its destructor does.
    std::lock_guard lock(WakeMutex_);
}

void TransmissionThread::RequestTermination() {
    Terminated_ = true;
    requestInterruption();
    Wake();
}

void TransmissionThread::Wake() {
    {
        std::lock_guard lock(WakeMutex_);
        WakeFlag_ = true;
    }
    WakeCv_.notify_all();
}

void TransmissionThread::WaitForWake(std::uint32_t ms) {
    std::unique_lock lock(WakeMutex_);
    WakeCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return WakeFlag_ || Terminated_.load(); });
    WakeFlag_ = false;
}

void TransmissionThread::CloseLink() {
    LinkState_ = LINK_SERIAL_CLOSED;
    if (Link_) Link_->Close();
}

void TransmissionThread::Execute() {
    while (!Terminated_.load()) {
        FollowLinkName();
        TakeDeviceNotices();
        Connected_ = Connect() ? 1 : 0;
        if (Connected_.load() == 1 && !Terminated_.load()) {
            SendFrames();
            ModbusProtocol();
        }
    }
    // The serial port must be closed on the thread that opened it.
    CloseLink();
}

void TransmissionThread::FollowLinkName() {
    const std::uint32_t version = LinkNameVersion_.load();
    if (version == SeenLinkNameVersion_) return;
    SeenLinkNameVersion_ = version;
    const QString name = LinkName();
    if (!Link_ || name != ThreadLinkName_) {
        if (Link_) {
            // The operator chose another link: the old one is let go before the new one opens.
            LinkState_ = LINK_SERIAL_CLOSED;
            Link_->Close();
        }
        Link_ = MakeLink(name);
        ThreadLinkName_ = name;
    }
    Link_->RetryNow();  // a link chosen anew is tried at once, and its failure said again
    FailureSaid_.clear();
}

std::unique_ptr<Link> TransmissionThread::MakeLink(const QString& name) const {
    if (name == kUsbLinkName) return std::make_unique<HidLink>(HidBackend_);
    return std::make_unique<SerialLink>(name);
}

bool TransmissionThread::Connect() {
    const LinkReporting& reporting = ReportingOf(Link_->Kind());
    if (Link_->Opened()) {
        LinkState_ = reporting.OpenState;
        return true;
    }
    if (Link_->Open()) {
        FailureSaid_.clear();
        LinkState_ = reporting.OpenState;
        if (!Link_->Purge()) StatusText(Link_->FailureText());
        EmptyQueue();
        StatusText(Link_->OpenedText());
        Post(reporting.OpenedMsg);
        return true;
    }
    LinkState_ = reporting.FailedState;
    // A port that stays away fails the same way every 100 ms: said once until it changes.
    const QString failure = Link_->FailureText();
    if (!failure.isEmpty() && failure != FailureSaid_) StatusText(failure);
    FailureSaid_ = failure;
    Post(reporting.FailedMsg, {}, RefusalParam(reporting, Link_->Refusal()));
    WaitForWake(kConnectRetryMs);
    return false;
}

void TransmissionThread::EmptyQueue() {
    std::lock_guard lock(QueueLock_);
    commandQueue_.clear();
}

void TransmissionThread::TakeDeviceNotices() {
    if (HidArrivalNoticed_.exchange(false)) Link_->RetryNow();
    if (!HidRemovalNoticed_.load()) return;
    QStringList nodes;
    {
        // Never wait for the window thread here: a reply may be arriving.
        std::unique_lock lock(NoticeLock_, std::try_to_lock);
        if (!lock.owns_lock()) return;  // being added to just now: taken on the next pass
        HidRemovalNoticed_ = false;
        nodes.swap(RemovedNodes_);
    }
    Link_->DevicesRemoved(nodes);
}

void TransmissionThread::HidDeviceArrived() {
    HidArrivalNoticed_ = true;
    Wake();
}

void TransmissionThread::HidDeviceRemoved(const QString& node) {
    {
        std::lock_guard lock(NoticeLock_);
        RemovedNodes_.append(node);
        HidRemovalNoticed_ = true;
    }
    Wake();
}

void TransmissionThread::SendFrames() {
    if (ProtocolState_.load() != 1) {
        PollTimer_ = GetTickCount();
        return;
    }
    if (TicksSince(PollTimer_) < kPollIdleMs || QueueSize() != 0) return;
    Request poll;
    poll.Tag = TAG_POLL;
    poll.Address = kLoggerAddress;
    poll.Function = FN_READ_HOLDING;
    poll.Attempts = 3;
    poll.StartRegister = PollAlternate_ ? 0 : 256;
    poll.Count = PollAlternate_ ? 29 : 90;
    PollAlternate_ = !PollAlternate_;
    AddRecord(std::move(poll));
    PollTimer_ = GetTickCount();
}

void TransmissionThread::AddRecord(Request record) {
    {
        std::lock_guard lock(QueueLock_);
        if (commandQueue_.size() >= kQueueLimit) {
            StatusText(QStringLiteral("Błąd w funkcji 'AddRecord'. Przepełniona kolejka 'StdKolejkaKomendy'."));
            commandQueue_.pop_back();
        }
        ++SeqCounter_;
        record.SeqNo = static_cast<std::int32_t>(SeqCounter_ & 0x7FFFFFFF);
        record.Data = nullptr;  // a caller's pointer means nothing to the thread
        commandQueue_.push_front(record);
        {
            std::lock_guard shared(SharedLock_);
            commandHistory_.push_back(std::move(record));
            while (commandHistory_.size() > kHistoryLimit) commandHistory_.pop_front();
        }
        Post(Msg::CommandQueued);
    }
    Wake();
}

void TransmissionThread::StatusText(const QString& text) {
    {
        std::lock_guard lock(SharedLock_);
        StatusText_ = text;
    }
    Post(Msg::StatusText, text);
}

void TransmissionThread::Post(Msg msg, const QString& text, int wParam) {
    if (Target_) Target_->Post(msg, text, wParam);
}

void TransmissionThread::Send(Msg msg) {
    if (Target_) Target_->Send(msg);
}

QString TransmissionThread::LinkName() const {
    std::lock_guard lock(SharedLock_);
    return LinkName_;
}

void TransmissionThread::SetLinkName(const QString& name) {
    {
        std::lock_guard lock(SharedLock_);
        LinkName_ = name;
        ++LinkNameVersion_;
    }
    Wake();
}

TransmissionCounters TransmissionThread::Counters() const {
    std::lock_guard lock(SharedLock_);
    return Counters_;
}

void TransmissionThread::ZeroCounters() {
    std::lock_guard lock(SharedLock_);
    Counters_ = {};
}

std::deque<Request> TransmissionThread::History() const {
    std::lock_guard lock(SharedLock_);
    return commandHistory_;
}

std::deque<Request> TransmissionThread::QueueSnapshot() const {
    std::lock_guard lock(QueueLock_);
    return commandQueue_;
}

std::size_t TransmissionThread::QueueSize() const {
    std::lock_guard lock(QueueLock_);
    return commandQueue_.size();
}

QString TransmissionThread::CurrentStatusText() const {
    std::lock_guard lock(SharedLock_);
    return StatusText_;
}

void TransmissionThread::ListHidProducts(QStringList& list) { HidLink::ListProducts(*HidBackend_, list); }

void EndTransmissionThread(TransmissionThread& thread) {
    thread.RequestTermination();
    if (thread.isFinished() || !thread.isRunning()) return;
    // Only a thread with an event dispatcher can receive the messages the thread sends.
    const bool deliver = QAbstractEventDispatcher::instance() != nullptr;
    while (!thread.wait(QDeadlineTimer(5))) {
        if (deliver) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace quorvex
