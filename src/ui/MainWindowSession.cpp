// The main window's side of the logger session: what the window does with each of the
// session's signals, and what it shows of the link and the thread's counters.
#include <QLabel>

#include "params/ParameterModel.h"
#include "session/LoggerSession.h"
#include "ui/ControlBindings.h"
#include "ui/LinkMenu.h"
#include "ui/MainWindow.h"
#include "ui/OperatorPrompts.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/ServiceTab.h"
#include "ui/WriteRefusalText.h"
#include "ui/dialogs/ParameterReadWindow.h"

#include "modbus/TransmissionThread.h"

namespace quorvex {

void MainWindow::CreateSession(const MainWindowOptions& options) {
    LoggerSession::Options o;
    o.link = links_->Chosen();
    o.startThread = options.startThread;
    o.hidBackend = options.hidBackend;
    session_ = std::make_unique<LoggerSession>(model_, std::move(o));
    if (TransmissionThread* t = session_->Thread())
        strip_->SetHistoryAccess([t](const std::function<void(std::deque<Request>&)>& f) { t->WithHistory(f); });
    // Ending: only the thread's hand-overs still matter, and they need nothing from the window.
    const auto live = [this] { return !destroyed_; };
    LoggerSession* s = session_.get();
    connect(s, &LoggerSession::linkChanged, this, [this, live](LinkEvent event) {
        if (live()) OnLinkChanged(event);
    });
    connect(s, &LoggerSession::parametersRead, this,
            [this, live](std::uint16_t, std::uint16_t, const LoggerSession::ChangedParameters& changed) {
                if (live()) OnParametersRead(changed);
            });
    connect(s, &LoggerSession::writeRefused, this, [this, live](const WriteRefusal& refusal) {
        if (live()) ShowWriteRefusal(refusal);
    });
    connect(s, &LoggerSession::downloadProgress, this, [this, live] {
        if (!live()) return;
        resultsTab_->BlockArrived();
    });
    connect(s, &LoggerSession::countersChanged, this, [this, live] {
        // The service tab's table is brought up to date when the tab is shown.
        if (live() && service_->isVisible()) RebuildCounterTable();
    });
    connect(s, &LoggerSession::messageLine, this, [this, live](const QString& line) {
        if (live()) AddMessageLine(line);
    });
    connect(s, &LoggerSession::requestsChanged, this, [this, live] {
        if (live()) strip_->update();
    });
}

void MainWindow::EndSession() {
    if (!session_) return;
    strip_->SetHistoryAccess({});
    // What the thread still sends while it ends goes to nobody.
    session_->disconnect(this);
    session_->End();
}

namespace {

// The serial port's failure as the thread gave it, the way the link menu keeps it.
int PortReason(LinkEvent event) {
    switch (event) {
    case LinkEvent::PortAccessDenied:
        return kPortAccessDenied;
    case LinkEvent::PortMissing:
        return kPortMissing;
    case LinkEvent::PortBusy:
        return kPortBusy;
    default:
        return 0;
    }
}

// The USB logger's absence as the thread gave it, the way the link menu keeps it.
int HidReason(LinkEvent event) {
    switch (event) {
    case LinkEvent::HidAccessDenied:
        return kHidAccessDenied;
    case LinkEvent::HidUnusable:
        return kHidUnusable;
    default:
        return 0;
    }
}

}  // namespace

void MainWindow::OnLinkChanged(LinkEvent event) {
    switch (event) {
    case LinkEvent::SerialOpened:
        links_->Opened();
        UpdateLoggerState();
        ShowLinkStatus();
        LinkOpened();
        break;
    case LinkEvent::HidOpened:
        links_->HidFound();
        UpdateLoggerState();
        ShowLinkStatus();
        LinkOpened();
        break;
    case LinkEvent::PortFailed:
    case LinkEvent::PortAccessDenied:
    case LinkEvent::PortMissing:
    case LinkEvent::PortBusy:
        PortOpenFailed(PortReason(event));
        break;
    case LinkEvent::HidAbsent:
    case LinkEvent::HidAccessDenied:
    case LinkEvent::HidUnusable:
        // A logger that is there but cannot be used says so in the state panel, also
        // when it turns up (or goes) while the absence was reported already.
        switch (links_->HidMissing(HidReason(event))) {
        case LinkMenu::Absence::New:
            MonitorReset();
            UpdateLoggerState();
            ShowLinkStatus();
            break;
        case LinkMenu::Absence::Changed:
            UpdateLoggerState();
            break;
        case LinkMenu::Absence::Known:
            break;
        }
        break;
    case LinkEvent::NoResponse:
    case LinkEvent::BlocksCorrupted:
        // The first read breaks off: its wait window goes too.
        if (windows_.parameterReadWindow) windows_.parameterReadWindow->close();
        MonitorReset();
        UpdateLoggerState();
        break;
    }
}

void MainWindow::OnParametersRead(const std::vector<const Parameter*>& changed) {
    // The change buttons grey out while the logger records; a dialog already open
    // would still change the interval or start moment of the running log.
    if (model_.RecordingActive()) CloseParameterDialogs();
    ParamReadProgress();
    // Only what the reply changed: most polls bring the same values again.
    controls_->Update(changed);
    UpdateLoggerState();
}

int MainWindow::CurrentLinkState() const { return session_ ? session_->LinkState() : 0; }

QString MainWindow::CurrentLinkName() const { return session_ ? session_->LinkName() : links_->Chosen(); }

TransmissionThread* MainWindow::Thread() { return session_ ? session_->Thread() : nullptr; }

void MainWindow::ShowLinkStatus() {
    if (Thread()) {
        // A serial port that is not there reads as a USB logger unplugged does.
        const bool unplugged =
            session_->LinkState() == TransmissionThread::LINK_SERIAL_FAILED && links_->PortRefusal() == kPortMissing;
        linkStatusPanel_->setText(unplugged ? LinkStatusText(session_->LinkName(), TransmissionThread::LINK_HID_ABSENT)
                                            : session_->LinkStatusText());
        // Readable in full even when a very long path no longer fits the window.
        linkStatusPanel_->setToolTip(linkStatusPanel_->text());
        return;
    }
    linkStatusPanel_->clear();
    linkStatusPanel_->setToolTip(QString());
}

void MainWindow::ShowWriteRefusal(const WriteRefusal& refusal) {
    // The box opens without waiting: the transmission thread is waiting for this hand-over.
    const auto translate = [this](const QString& text) { return translator_->Tr(text); };
    prompts_->ShowBox(OperatorPrompts::BoxIcon::Warning, translate(QStringLiteral("[1020]Błąd")),
                      WriteRefusalText(refusal, translate));
}

void MainWindow::RebuildCounterTable() {
    if (Thread()) service_->ShowCounters(CounterTableLines(session_->Counters()));
}

void MainWindow::FillHidList() {
    if (Thread()) service_->ShowHidDevices(session_->HidProducts());
}

void MainWindow::ZeroCounters() {
    // The table is rebuilt the way the thread's own counter changes are.
    session_->ZeroCounters();
}

void MainWindow::ResetLogger() {
    if (!Thread()) return;
    if (!session_->Connected()) {
        // Queued now it would go to whichever logger is connected next.
        service_->SayResetRefused();
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_RESET_COMMAND;
    r.Attempts = 1;
    session_->AddRequest(r);
}

}  // namespace quorvex
