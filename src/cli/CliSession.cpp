#include "cli/CliSession.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace quorvex {

namespace {

std::uint32_t ReadKey(std::uint16_t start, std::uint16_t count) { return std::uint32_t{start} << 16 | count; }

}  // namespace

CliSession::CliSession(Options options) : options_(std::move(options)) {
    programTexts_.SetLanguage(NormalizeLanguage(options_.language));
    programTexts_.Install();
    LoggerSession::Options o;
    o.link = options_.link;
    o.hidBackend = options_.hidBackend;
    session_ = std::make_unique<LoggerSession>(params_, std::move(o));
    session_->SetFastFrames(options_.fastFrames);
    session_->SetDownload(&logs_);
    LoggerSession* s = session_.get();
    QObject::connect(s, &LoggerSession::linkChanged, s, [this](LinkEvent event) { LinkChanged(event); });
    QObject::connect(s, &LoggerSession::parametersRead, s,
                     [this](std::uint16_t start, std::uint16_t count, const LoggerSession::ChangedParameters&) {
                         ++reads_[ReadKey(start, count)];
                         if (!linkLost_ && !paramsReady_ && params_.ValueCount() == params_.ParameterCount()) {
                             paramsReady_ = true;
                             logs_.SetParamsReady(true);
                         }
                     });
    QObject::connect(s, &LoggerSession::messageLine, s, [this](const QString& line) { Diagnose(line); });
    QObject::connect(s, &LoggerSession::downloadProgress, s, [this](int records, int announced) {
        if (progress_) progress_(records, announced);
    });
    QObject::connect(s, &LoggerSession::downloadEnded, s, [this](const DownloadEnd& end) { lastEnd_ = end; });
}

CliSession::~CliSession() {
    // The thread ends first: what it still sends is taken by nobody.
    session_->disconnect();
    session_->End();
}

CliSession::Outcome CliSession::Connect(const std::function<bool()>& interrupted) {
    if (RunUntil([this] { return paramsReady_; }, interrupted)) return Outcome::Ready;
    if (!linkLost_) return Outcome::Interrupted;
    return opened_ ? Outcome::NoAnswer : Outcome::LinkFailed;
}

bool CliSession::RunUntil(const std::function<bool()>& done, const std::function<bool()>& interrupted) {
    while (!done()) {
        if (linkLost_ || (interrupted && interrupted())) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

int CliSession::ReadsAnswered(std::uint16_t startRegister, std::uint16_t count) const {
    const auto it = reads_.find(ReadKey(startRegister, count));
    return it == reads_.end() ? 0 : it->second;
}

void CliSession::LinkChanged(LinkEvent event) {
    const QString& link = options_.link;
    switch (event) {
    case LinkEvent::SerialOpened:
    case LinkEvent::HidOpened:
        // A command does not wait for two idle polls to learn the parameters.
        if (!opened_) session_->ReadParametersNow();
        opened_ = true;
        ++opens_;
        return;
    case LinkEvent::PortFailed:
    case LinkEvent::PortAccessDenied:
    case LinkEvent::PortMissing:
    case LinkEvent::PortBusy: {
        const QFileInfo device(link.startsWith(u'/') ? link : QStringLiteral("/dev/") + link);
        if (opened_)
            Lose(QStringLiteral("the link %1 was lost").arg(link));
        else if (event == LinkEvent::PortAccessDenied)
            Lose(QStringLiteral("cannot open %1: this user may not open it; add the user to the group %2 and log "
                                "in again")
                     .arg(link, device.group()));
        else if (!device.exists())
            Lose(QStringLiteral("cannot open %1: no such serial port").arg(link));
        else
            Lose(QStringLiteral("cannot open %1: it is in use by another program").arg(link));
        return;
    }
    case LinkEvent::HidAccessDenied:
        Lose(
            QStringLiteral("a logger is plugged in but the system denies access to it; install the udev rule "
                           "70-quorvex-logger.rules (see the README) and plug it in again"));
        return;
    case LinkEvent::HidUnusable:
        Lose(QStringLiteral("a logger is plugged in but its USB reports have a format this program cannot use"));
        return;
    case LinkEvent::HidAbsent:
        Lose(opened_ ? QStringLiteral("the USB logger was unplugged")
                     : QStringLiteral("no logger found on USB; for a logger on a serial port give its path "
                                      "with --port PATH, e.g. --port /dev/ttyUSB0"));
        return;
    case LinkEvent::NoResponse:
        Lose(QStringLiteral("no logger answers on %1").arg(link));
        return;
    case LinkEvent::BlocksCorrupted:
        Lose(QStringLiteral("the logger's log blocks arrived corrupted %1 times in a row")
                 .arg(LogDownload::kBadReplyRetries + 1));
        return;
    }
}

void CliSession::Lose(const QString& why) {
    // As the main window's reset: every parameter forgotten (the session has stopped a running
    // download already).
    if (linkLost_) return;
    linkLost_ = true;
    failure_ = why;
    paramsReady_ = false;
    params_.InvalidateAll();
    logs_.SetParamsReady(false);
}

void CliSession::Diagnose(const QString& line) const {
    if (options_.diagnostics) options_.diagnostics(line);
}

}  // namespace quorvex
