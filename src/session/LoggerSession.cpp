#include "session/LoggerSession.h"

#include "logs/LogDownload.h"
#include "modbus/TransmissionThread.h"
#include "params/ParameterModel.h"

namespace quorvex {

namespace {

// The two blocks the thread polls.
constexpr struct { std::uint16_t start, count; } kParameterBlocks[] = {{256, 90}, {0, 29}};
constexpr std::uint8_t kParameterReadAttempts = 3;

LinkEvent PortFailure(int refusal) {
    switch (refusal) {
    case kPortAccessDenied:
        return LinkEvent::PortAccessDenied;
    case kPortMissing:
        return LinkEvent::PortMissing;
    case kPortBusy:
        return LinkEvent::PortBusy;
    default:
        return LinkEvent::PortFailed;
    }
}

LinkEvent HidFailure(int reason) {
    switch (reason) {
    case kHidAccessDenied:
        return LinkEvent::HidAccessDenied;
    case kHidUnusable:
        return LinkEvent::HidUnusable;
    default:
        return LinkEvent::HidAbsent;
    }
}

// Carries the thread's messages onto the session's thread in the order they were given:
// posted ones are queued, for a sent one the thread waits until the session has taken it.
class Bridge final : public MessageTarget {
public:
    Bridge(LoggerSession* session, CallQueue& calls) : session_(session), calls_(calls) {}
    void Post(Msg msg, QString text, int wParam) override {
        // A text of the session's own: one shared with the thread is freed by whichever side
        // lets go of it last, and when that is Qt's own code on the thread, ThreadSanitizer
        // cannot see that the session had let go first.
        if (!text.isEmpty()) text = QString(text.constData(), text.size());
        calls_.Later([s = session_, msg, text = std::move(text), wParam] { s->Deliver(msg, text, wParam); });
    }
    void Send(Msg msg) override {
        calls_.AndWait([s = session_, msg] { s->Deliver(msg); });
    }

private:
    LoggerSession* session_;
    CallQueue& calls_;
};

}  // namespace

// Tells the download's end on as a signal.
class LoggerSession::EndListener final : public LogDownloadObserver {
public:
    explicit EndListener(LoggerSession* session) : session_(session) {}
    void LogReadStarted(bool) override {}
    void LogBlockRead(int, const std::uint8_t*, int) override {}
    void LogReadEnded(const DownloadEnd& end) override { emit session_->downloadEnded(end); }

private:
    LoggerSession* session_;
};

LoggerSession::LoggerSession(ParameterModel& params, Options options, QObject* parent)
    : QObject(parent),
      params_(params),
      options_(std::move(options)),
      bridge_(std::make_unique<Bridge>(this, calls_)),
      endListener_(std::make_unique<EndListener>(this)) {
    if (options_.startThread)
        thread_ = std::make_unique<TransmissionThread>(bridge_.get(), options_.link, options_.hidBackend, true);
    LoggerChannel channel;
    channel.note = [this](const QString& line) { emit messageLine(line); };
    if (thread_) channel.enqueue = [t = thread_.get()](const Request& r) { t->AddRecord(r); };
    params_.Connect(std::move(channel));
    if (thread_) thread_->start(QThread::HighPriority);
}

LoggerSession::~LoggerSession() { End(); }

void LoggerSession::SetDownload(LogDownload* logs) {
    if (logs_) logs_->RemoveObserver(endListener_.get());
    logs_ = logs;
    if (logs_) logs_->AddObserver(endListener_.get());
}

void LoggerSession::End() {
    if (ended_) return;
    ended_ = true;
    params_.Disconnect();
    SetDownload(nullptr);
    if (!thread_) return;
    // Delivers what the thread still sends; Deliver ignores it now.
    EndTransmissionThread(*thread_);
    thread_.reset();
}

void LoggerSession::Deliver(Msg msg, const QString& text, int wParam) {
    if (ended_) return;
    switch (msg) {
    case Msg::PortOpened:
        emit linkChanged(LinkEvent::SerialOpened);
        break;
    case Msg::HidConnected:
        emit linkChanged(LinkEvent::HidOpened);
        break;
    case Msg::PortOpenFailed:
        LinkLost(PortFailure(wParam));
        break;
    case Msg::HidAbsent:
        LinkLost(HidFailure(wParam));
        break;
    case Msg::NoResponse:
        LinkLost(LinkEvent::NoResponse);
        emit requestsChanged();
        break;
    case Msg::ReadDone:
        TakeReadReply();
        break;
    case Msg::WriteDone:
        if (thread_) {
            const Request& r = thread_->ResponseRecord();
            params_.WriteConfirmed(r);
            emit writeConfirmed(r.StartRegister);
        }
        emit requestsChanged();
        break;
    case Msg::WriteRefused:
        if (thread_) {
            const Request& r = thread_->ResponseRecord();
            const std::uint8_t code = r.Data && r.ByteCount >= 1 ? r.Data[0] : 0;
            // A refused set-next-record write stops the download; the model follows the others.
            if (logs_) logs_->WriteRefused(r);
            if (const auto refusal = params_.WriteRefused(r, code)) emit writeRefused(*refusal);
        }
        emit requestsChanged();
        break;
    case Msg::LogReadDone:
    case Msg::EndOfLog:
    case Msg::LogReadFailed:
        TakeLogReply(msg);
        break;
    case Msg::StatusText:
        emit messageLine(text);
        break;
    case Msg::Counters:
        emit countersChanged();
        break;
    case Msg::FrameSent:
    case Msg::CommandQueued:
        emit requestsChanged();
        break;
    }
}

void LoggerSession::TakeReadReply() {
    std::uint16_t start = 0, count = 0;
    if (thread_) {
        const Request& r = thread_->ResponseRecord();
        start = r.StartRegister;
        count = r.Count;
        params_.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
        for (const WriteRefusal& refusal : params_.CheckReadBack(r)) emit writeRefused(refusal);
    }
    // Only what the reply changed: most polls bring the same values again.
    emit parametersRead(start, count, params_.TakeChanged());
}

void LoggerSession::TakeLogReply(Msg msg) {
    // The data lies in the thread's receive buffer, valid only during this hand-over.
    if (logs_ && thread_) {
        const Request& r = thread_->ResponseRecord();
        if (msg == Msg::LogReadDone) {
            logs_->LogReadDone(r);
        } else if (msg == Msg::EndOfLog) {
            logs_->LogReadRefused(r);
        } else if (!logs_->LogReadFailed(r)) {
            // A corrupted block the download could not ask for again ends like a request without
            // reply, behind the thread's messages already given.
            calls_.Later([this] {
                if (!ended_) LinkLost(LinkEvent::BlocksCorrupted);
            });
        }
    }
    if (msg == Msg::LogReadDone) {
        bool ok = false;
        const int announced = logs_ ? logs_->RecordsText().toInt(&ok) : 0;
        emit downloadProgress(logs_ ? logs_->LogCount() : 0, ok ? announced : 0);
    }
    emit requestsChanged();
}

void LoggerSession::LinkLost(LinkEvent event) {
    // A download cannot go on without the logger; the window's reset would stop it as well,
    // but only here is it known why.
    if (logs_)
        logs_->StopRead(event == LinkEvent::BlocksCorrupted ? DownloadEnd::Kind::CorruptedReplies
                                                            : DownloadEnd::Kind::NoAnswer);
    emit linkChanged(event);
}

int LoggerSession::LinkState() const {
    return thread_ ? static_cast<int>(thread_->LinkState()) : static_cast<int>(TransmissionThread::LINK_NONE);
}

QString LoggerSession::LinkName() const { return thread_ ? thread_->LinkName() : options_.link; }

void LoggerSession::SetLinkName(const QString& name) {
    options_.link = name;
    if (thread_ && thread_->LinkName() != name) thread_->SetLinkName(name);
}

QString LoggerSession::LinkStatusText() const { return thread_ ? thread_->LinkStatusText() : QString(); }

bool LoggerSession::Connected() const { return thread_ && thread_->Connected(); }

void LoggerSession::SetFastFrames(bool on) {
    if (thread_) thread_->SetFastFrames(on);
}

void LoggerSession::AddRequest(const Request& request) {
    if (thread_) thread_->AddRecord(request);
}

void LoggerSession::ReadParametersNow() {
    for (const auto& block : kParameterBlocks) {
        Request r;
        r.Address = kLoggerAddress;
        r.Function = FN_READ_HOLDING;
        r.StartRegister = block.start;
        r.Count = block.count;
        r.Attempts = kParameterReadAttempts;
        AddRequest(r);
    }
}

TransmissionCounters LoggerSession::Counters() const { return thread_ ? thread_->Counters() : TransmissionCounters{}; }

void LoggerSession::ZeroCounters() {
    if (!thread_) return;
    thread_->ZeroCounters();
    // Told the way the thread's own counter changes are, in their order.
    calls_.Later([this] {
        if (!ended_) emit countersChanged();
    });
}

QStringList LoggerSession::HidProducts() const {
    QStringList products;
    if (thread_) thread_->ListHidProducts(products);
    return products;
}

void LoggerSession::HidDeviceArrived() {
    if (thread_) thread_->HidDeviceArrived();
}

void LoggerSession::HidDeviceRemoved(const QString& node) {
    if (thread_) thread_->HidDeviceRemoved(node);
}

}  // namespace quorvex
