#include "cli/LoggerSession.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <condition_variable>
#include <deque>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "modbus/TransmissionThread.h"

namespace quorvex {

namespace {

// The two blocks the thread polls, asked for at once so that a command need not wait for
// two idle seconds of polling.
constexpr struct { std::uint16_t start, count; } kParameterBlocks[] = {{256, 90}, {0, 29}};
constexpr std::uint8_t kReadAttempts = 3;

std::uint32_t ReadKey(std::uint16_t start, std::uint16_t count) { return std::uint32_t{start} << 16 | count; }

}  // namespace

// Carries the thread's messages to the session's thread in the order they were given: posted
// ones are queued, for a sent one the thread waits until the session has handled it. The queue
// is the standard library's and the wake-up a pipe, so every hand-over is ordered in a way
// ThreadSanitizer sees (Qt's own event queue synchronises inside the uninstrumented library).
class LoggerSession::Bridge : public MessageTarget {
public:
    explicit Bridge(LoggerSession* session) : session_(session) {
        if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
        notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, session);
        QObject::connect(notifier_, &QSocketNotifier::activated, session, [this] { Deliver(); });
    }
    ~Bridge() override {
        delete notifier_;
        for (int fd : pipe_)
            if (fd >= 0) ::close(fd);
    }
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    void Post(Msg msg, QString text, int wParam) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back({msg, std::move(text), wParam, 0});
        }
        Wake();
    }
    void Send(Msg msg) override {
        std::unique_lock lock(mutex_);
        const std::uint64_t ticket = ++sent_;
        queue_.push_back({msg, {}, 0, ticket});
        lock.unlock();
        Wake();
        lock.lock();
        handledCv_.wait(lock, [&] { return handled_ >= ticket; });
    }

private:
    struct Item {
        Msg msg;
        QString text;
        int wParam;
        std::uint64_t ticket;  // 0: posted
    };

    void Wake() {
        const char byte = 1;
        // A full pipe already holds a wake-up.
        [[maybe_unused]] const ssize_t n = ::write(pipe_[1], &byte, 1);
    }
    // On the session's thread.
    void Deliver() {
        char bytes[64];
        while (::read(pipe_[0], bytes, sizeof bytes) > 0) {}
        for (;;) {
            Item item;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) return;
                item = std::move(queue_.front());
                queue_.pop_front();
            }
            session_->Handle(item.msg, item.text, item.wParam);
            if (item.ticket != 0) {
                {
                    std::lock_guard lock(mutex_);
                    handled_ = item.ticket;
                }
                handledCv_.notify_all();
            }
        }
    }

    LoggerSession* session_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    std::mutex mutex_;
    std::condition_variable handledCv_;
    std::deque<Item> queue_;
    std::uint64_t sent_ = 0;
    std::uint64_t handled_ = 0;
};

LoggerSession::LoggerSession(Options options) : options_(std::move(options)), bridge_(std::make_unique<Bridge>(this)) {
    programTexts_.SetLanguage(NormalizeLanguage(options_.language));
    programTexts_.Install();
    thread_ = std::make_unique<TransmissionThread>(bridge_.get(), options_.link, options_.hidBackend, true);
    thread_->SetFastFrames(options_.fastFrames);
    LoggerChannel channel;
    channel.enqueue = [t = thread_.get()](const Request& r) { t->AddRecord(r); };
    channel.note = [this](const QString& line) { Diagnose(line); };
    params_.Connect(std::move(channel));
    thread_->start(QThread::HighPriority);
}

LoggerSession::~LoggerSession() {
    closing_ = true;
    params_.Disconnect();
    logs_.SetView(nullptr);
    // Delivers what the thread still sends; the handlers ignore it now.
    EndTransmissionThread(*thread_);
    thread_.reset();
}

LoggerSession::Outcome LoggerSession::Connect(const std::function<bool()>& interrupted) {
    if (RunUntil([this] { return paramsReady_; }, interrupted)) return Outcome::Ready;
    if (!linkLost_) return Outcome::Interrupted;
    return opened_ ? Outcome::NoAnswer : Outcome::LinkFailed;
}

bool LoggerSession::RunUntil(const std::function<bool()>& done, const std::function<bool()>& interrupted) {
    while (!done()) {
        if (linkLost_ || (interrupted && interrupted())) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

int LoggerSession::WritesConfirmed(std::uint16_t startRegister) const {
    const auto it = writes_.find(startRegister);
    return it == writes_.end() ? 0 : it->second;
}

int LoggerSession::ReadsAnswered(std::uint16_t startRegister, std::uint16_t count) const {
    const auto it = reads_.find(ReadKey(startRegister, count));
    return it == reads_.end() ? 0 : it->second;
}

void LoggerSession::Handle(Msg msg, const QString& text, int wParam) {
    if (closing_) return;
    switch (msg) {
    case Msg::PortOpened:
    case Msg::HidConnected:
        if (!opened_) QueueParameterReads();
        opened_ = true;
        ++opens_;
        break;
    case Msg::PortOpenFailed: {
        const QFileInfo device(options_.link.startsWith(u'/') ? options_.link
                                                              : QStringLiteral("/dev/") + options_.link);
        if (opened_)
            Lose(QStringLiteral("the link %1 was lost").arg(options_.link));
        else if (wParam == kPortAccessDenied)
            Lose(QStringLiteral("cannot open %1: this user may not open it; add the user to the group %2 and log "
                                "in again")
                     .arg(options_.link, device.group()));
        else if (!device.exists())
            Lose(QStringLiteral("cannot open %1: no such serial port").arg(options_.link));
        else
            Lose(QStringLiteral("cannot open %1: it is in use by another program").arg(options_.link));
        break;
    }
    case Msg::HidAbsent:
        if (wParam == kHidAccessDenied)
            Lose(
                QStringLiteral("a logger is plugged in but the system denies access to it; install the udev rule "
                               "70-quorvex-logger.rules (see the README) and plug it in again"));
        else if (wParam == kHidUnusable)
            Lose(QStringLiteral("a logger is plugged in but its USB reports have a format this program cannot use"));
        else
            Lose(opened_ ? QStringLiteral("the USB logger was unplugged")
                         : QStringLiteral("no logger found on USB; for a logger on a serial port give its path "
                                          "with --port PATH, e.g. --port /dev/ttyUSB0"));
        break;
    case Msg::NoResponse:
        Lose(QStringLiteral("no logger answers on %1").arg(options_.link));
        break;
    case Msg::ReadDone: {
        const Request& r = thread_->ResponseRecord();
        params_.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
        // The commands check what they wrote themselves; the model tells the change log.
        params_.CheckReadBack(r);
        ++reads_[ReadKey(r.StartRegister, r.Count)];
        if (!linkLost_ && !paramsReady_ && params_.ValueCount() == params_.ParameterCount()) {
            paramsReady_ = true;
            logs_.RefreshView();
        }
        break;
    }
    case Msg::WriteDone:
        params_.WriteConfirmed(thread_->ResponseRecord());
        ++writes_[thread_->ResponseRecord().StartRegister];
        break;
    case Msg::WriteRefused:
        // A command's read-back tells what the logger kept; the download stops on its own.
        logs_.WriteRefused(thread_->ResponseRecord());
        if (const Request& r = thread_->ResponseRecord(); r.Data && r.ByteCount >= 1)
            params_.WriteRefused(r, r.Data[0]);
        break;
    case Msg::LogReadDone:
        // The data lies in the thread's receive buffer, valid only during this hand-over.
        logs_.LogReadDone(thread_->ResponseRecord());
        break;
    case Msg::EndOfLog:
        logs_.LogReadRefused(thread_->ResponseRecord());
        break;
    case Msg::LogReadFailed:
        // Corrupted blocks are asked for again; when the download gives up, as the window
        // does, the logger counts as not answering.
        if (!logs_.LogReadFailed(thread_->ResponseRecord()))
            Lose(QStringLiteral("the logger's log blocks arrived corrupted %1 times in a row")
                     .arg(LogDownload::kBadReplyRetries + 1));
        break;
    case Msg::StatusText:
        Diagnose(text);
        break;
    default:
        break;
    }
}

void LoggerSession::QueueParameterReads() {
    for (const auto& block : kParameterBlocks) {
        Request r;
        r.Address = kLoggerAddress;
        r.Function = FN_READ_HOLDING;
        r.StartRegister = block.start;
        r.Count = block.count;
        r.Attempts = kReadAttempts;
        thread_->AddRecord(r);
    }
}

void LoggerSession::Lose(const QString& why) {
    // As the main window's reset: every parameter forgotten, a running download stopped.
    if (linkLost_) return;
    linkLost_ = true;
    failure_ = why;
    paramsReady_ = false;
    params_.InvalidateAll();
    logs_.StopRead();
    logs_.RefreshView();
}

void LoggerSession::Diagnose(const QString& line) const {
    if (options_.diagnostics) options_.diagnostics(line);
}

}  // namespace quorvex
