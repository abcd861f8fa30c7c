#include "modbus/TransmissionThread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include "link/HidrawBackend.h"
#include "modbus/Tick.h"
#include "i18n/TranslateHook.h"

namespace quorvex {

QString LinkStatusText(const QString& linkName, int linkState)
{
    QString state;
    switch (linkState) {
    case 0: break;
    case 1: state = QStringLiteral("[1022]-zamknięty"); break;
    case 2: state = QStringLiteral("[1023]-otwarty"); break;
    case 3: state = QStringLiteral("[1024]-wystąpił błąd otwarcia"); break;
    case 4: state = QStringLiteral("[1025] -kabel podłączony"); break;
    case 5: state = QStringLiteral("[1026]-kabel odłączony"); break;
    default: return QStringLiteral("___");
    }
    QString text = TranslatedByHook(QStringLiteral("[1021]Wybrany port")) + u' ' + linkName + u' ';
    if (!state.isEmpty())
        text += TranslatedByHook(state);
    return text;
}

TransmissionThread::TransmissionThread(MessageTarget* target, const QString& linkName,
                                   std::shared_ptr<HidBackend> hidBackend, bool createSuspended)
    : Target_(target), LinkName_(linkName)
{
    if (!hidBackend)
        hidBackend = std::make_shared<HidrawBackend>();
    Hid_ = std::make_unique<HidLink>(std::move(hidBackend));
    if (!createSuspended)
        start(QThread::HighPriority);
}

TransmissionThread::~TransmissionThread()
{
    if (isRunning())
        EndTransmissionThread(*this);
    {
        // Pairs with the end of run(): QThread's own wait is not seen by ThreadSanitizer.
        std::lock_guard lock(WakeMutex_);
    }
    // A thread that never ran opened nothing; one that ran closed its links on the way out.
    CloseLinks();
}

void TransmissionThread::run()
{
    Execute();
    // Everything the thread did is ordered before what its destructor does.
    std::lock_guard lock(WakeMutex_);
}

void TransmissionThread::RequestTermination()
{
    Terminated_ = true;
    requestInterruption();
    Wake();
}

void TransmissionThread::Wake()
{
    {
        std::lock_guard lock(WakeMutex_);
        WakeFlag_ = true;
    }
    WakeCv_.notify_all();
}

void TransmissionThread::WaitForWake(std::uint32_t ms)
{
    std::unique_lock lock(WakeMutex_);
    WakeCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return WakeFlag_ || Terminated_.load(); });
    WakeFlag_ = false;
}

void TransmissionThread::CloseLinks()
{
    LinkState_ = LINK_SERIAL_CLOSED;
    Serial_.ClosePort();
    Hid_->Close();
}

void TransmissionThread::Execute()
{
    while (!Terminated_.load()) {
        const std::uint32_t version = LinkNameVersion_.load();
        if (version != SeenLinkNameVersion_) {
            SeenLinkNameVersion_ = version;
            ThreadLinkName_ = LinkName();
            HidSearchDue_ = true;  // a link chosen anew is tried at once
        }
        const bool usb = ThreadLinkName_ == kUsbLinkName;
        UsbLink_ = usb;
        TakeDeviceNotices();
        Connected_ = (usb ? HidConnect() : SerialConnect()) ? 1 : 0;
        if (Connected_.load() == 1 && !Terminated_.load()) {
            SendFrames();
            ModbusProtocol();
        }
    }
    // The serial port must be closed on the thread that opened it.
    CloseLinks();
}

bool TransmissionThread::SerialConnect()
{
    Hid_->Close();
    const QString& name = ThreadLinkName_;
    if (name != Serial_.PortName()) {
        // The operator chose another port.
        LinkState_ = LINK_SERIAL_CLOSED;
        Serial_.ClosePort();
    }
    if (Serial_.Opened()) {
        LinkState_ = LINK_SERIAL_OPEN;
        return true;
    }
    Serial_.ClosePort();
    if (!Serial_.OpenPort(name)) {
        LinkState_ = LINK_SERIAL_FAILED;
        StatusText(Serial_.LastMessage());
        Post(WM_PORT_OPEN_ERROR, {}, Serial_.AccessDenied() ? kPortAccessDenied : 0);
        WaitForWake(kConnectRetryMs);
        return false;
    }
    LinkState_ = LINK_SERIAL_OPEN;
    if (!Serial_.ClearRXBuffer())
        StatusText(Serial_.LastMessage());
    EmptyQueue();
    StatusText(QStringLiteral("Port ") + name + QStringLiteral(" został otwarty"));
    Post(WM_PORT_OPENED);
    return true;
}

bool TransmissionThread::HidConnect()
{
    Serial_.ClosePort();
    if (Hid_->Opened()) {
        LinkState_ = LINK_HID_CONNECTED;
        return true;
    }
    // Every look enumerates the devices; while the logger stays away that happens once a
    // second, and at once when a device arrives or the link was just chosen.
    if (HidSearchDue_ || TicksSince(HidSearchTime_) >= kHidSearchMs) {
        HidSearchDue_ = false;
        HidSearchTime_ = GetTickCount();
        if (Hid_->OpenByProduct(kHidProduct)) {
            LinkState_ = LINK_HID_CONNECTED;
            UnusableReported_.clear();
            EmptyQueue();
            StatusText(QStringLiteral("Urządzenie HID Logger podłączone"));
            Post(WM_HID_CONNECTED);
            return true;
        }
        ReportUnusableHid();
    }
    LinkState_ = LINK_HID_ABSENT;
    int why = 0;
    if (Hid_->AccessDenied())
        why = kHidAccessDenied;
    else if (Hid_->Unusable() != HidUnusable::None)
        why = kHidUnusable;
    Post(WM_HID_ABSENT, {}, why);
    WaitForWake(kConnectRetryMs);
    return false;
}

void TransmissionThread::EmptyQueue()
{
    std::lock_guard lock(QueueLock);
    StdKolejkaKomendy_.clear();
}

void TransmissionThread::ReportUnusableHid()
{
    if (Hid_->Unusable() == HidUnusable::None) {
        UnusableReported_.clear();
        return;
    }
    // One line per logger and reason, not one per look.
    const QString line = QStringLiteral("Funkcja HidConnect. Logger ") + QString::fromStdString(Hid_->UnusablePath())
        + QStringLiteral(" nie może być użyty: ") + UnusableText(Hid_->Unusable()) + QLatin1Char('.');
    if (line == UnusableReported_)
        return;
    UnusableReported_ = line;
    StatusText(line);
}

void TransmissionThread::TakeDeviceNotices()
{
    if (HidArrivalNoticed_.exchange(false))
        HidSearchDue_ = true;
    if (!HidRemovalNoticed_.load())
        return;
    QStringList nodes;
    {
        // Never wait for the window thread here: a reply may be arriving.
        std::unique_lock lock(NoticeLock_, std::try_to_lock);
        if (!lock.owns_lock())
            return;  // being added to just now: taken on the next pass
        HidRemovalNoticed_ = false;
        nodes.swap(RemovedNodes_);
    }
    if (!Hid_->Opened()) {
        HidSearchDue_ = true;
        return;
    }
    // Another device went (a mouse, a keyboard): the logger and its reply in flight stay.
    if (!nodes.contains(QString::fromStdString(Hid_->Path())))
        return;
    Hid_->Close();
    HidSearchDue_ = true;
}

void TransmissionThread::HidDeviceArrived()
{
    HidArrivalNoticed_ = true;
    Wake();
}

void TransmissionThread::HidDeviceRemoved(const QString& node)
{
    {
        std::lock_guard lock(NoticeLock_);
        RemovedNodes_.append(node);
        HidRemovalNoticed_ = true;
    }
    Wake();
}

void TransmissionThread::SendFrames()
{
    if (ProtocolState_.load() != 1) {
        PollTimer_ = GetTickCount();
        return;
    }
    if (TicksSince(PollTimer_) < kPollIdleMs || QueueSize() != 0)
        return;
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

void TransmissionThread::AddRecord(Request record)
{
    {
        std::lock_guard lock(QueueLock);
        if (StdKolejkaKomendy_.size() >= kQueueLimit) {
            StatusText(QStringLiteral("Błąd w funkcji 'AddRecord'. Przepełniona kolejka 'StdKolejkaKomendy'."));
            StdKolejkaKomendy_.pop_back();
        }
        ++SeqCounter_;
        record.SeqNo = static_cast<std::int32_t>(SeqCounter_ & 0x7FFFFFFF);
        record.Data = nullptr;  // a caller's pointer means nothing to the thread
        StdKolejkaKomendy_.push_front(record);
        {
            std::lock_guard shared(SharedLock_);
            StdHistoriaKomend_.push_back(std::move(record));
            while (StdHistoriaKomend_.size() > kHistoryLimit)
                StdHistoriaKomend_.pop_front();
        }
        Post(WM_COMMAND_QUEUED);
    }
    Wake();
}

void TransmissionThread::StatusText(const QString& text)
{
    {
        std::lock_guard lock(SharedLock_);
        StatusText_ = text;
    }
    Post(WM_STATUS_TEXT, text);
}

void TransmissionThread::Post(int msg, const QString& text, int wParam)
{
    if (Target_)
        Target_->Post(msg, text, wParam);
}

void TransmissionThread::Send(int msg)
{
    if (Target_)
        Target_->Send(msg);
}

QString TransmissionThread::LinkName() const
{
    std::lock_guard lock(SharedLock_);
    return LinkName_;
}

void TransmissionThread::SetLinkName(const QString& name)
{
    {
        std::lock_guard lock(SharedLock_);
        LinkName_ = name;
        ++LinkNameVersion_;
    }
    Wake();
}

TransmissionCounters TransmissionThread::Counters() const
{
    std::lock_guard lock(SharedLock_);
    return Counters_;
}

void TransmissionThread::ZeroCounters()
{
    std::lock_guard lock(SharedLock_);
    Counters_ = {};
}

std::deque<Request> TransmissionThread::History() const
{
    std::lock_guard lock(SharedLock_);
    return StdHistoriaKomend_;
}

std::deque<Request> TransmissionThread::QueueSnapshot() const
{
    std::lock_guard lock(QueueLock);
    return StdKolejkaKomendy_;
}

std::size_t TransmissionThread::QueueSize() const
{
    std::lock_guard lock(QueueLock);
    return StdKolejkaKomendy_.size();
}

QString TransmissionThread::CurrentStatusText() const
{
    std::lock_guard lock(SharedLock_);
    return StatusText_;
}

void TransmissionThread::ListHidProducts(QStringList& list)
{
    Hid_->ListProducts(list);
}

void EndTransmissionThread(TransmissionThread& thread)
{
    thread.RequestTermination();
    if (thread.isFinished() || !thread.isRunning())
        return;
    // Only a thread with an event dispatcher can receive the messages the thread sends.
    const bool deliver = QAbstractEventDispatcher::instance() != nullptr;
    while (!thread.wait(QDeadlineTimer(5))) {
        if (deliver)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace quorvex
