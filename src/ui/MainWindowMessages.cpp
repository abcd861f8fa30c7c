// The transmission thread's messages as the main window handles them.
#include <QStatusBar>

#include "params/ParameterModel.h"
#include "ui/ControlBindings.h"
#include "ui/LinkMenu.h"
#include "ui/MainWindow.h"
#include "ui/RequestStrip.h"
#include "ui/ServiceTab.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex {

bool MainWindow::event(QEvent* e) {
    if (e->type() == ThreadMessageEvent::EventType()) {
        const auto* m = static_cast<ThreadMessageEvent*>(e);
        HandleMessage(m->Id, m->Text, m->WParam);
        return true;
    }
    return QMainWindow::event(e);
}

void MainWindow::HandleMessage(Msg msg, const QString& text, int wParam) {
    if (destroyed_) {
        // Ending: only the thread's hand-overs still matter, and they need nothing from us.
        return;
    }
    switch (msg) {
    case Msg::PortOpened:
        links_->Opened();
        UpdateLoggerState();
        ShowLinkStatus();
        LinkOpened();
        break;
    case Msg::PortOpenFailed:
        PortOpenFailed(wParam);
        break;
    case Msg::LogReadFailed:
        // A corrupted log block the download could not ask for again ends like a request
        // without reply, through the same posted message.
        if (!LogReadFailed()) QueueMessage(Msg::NoResponse, 0);
        break;
    case Msg::NoResponse:
        if (windows_.parameterReadWindow) windows_.parameterReadWindow->HandleMessage(msg);
        MonitorReset();
        UpdateLoggerState();
        strip_->update();
        break;
    case Msg::ReadDone:
        if (windows_.parameterReadWindow) windows_.parameterReadWindow->HandleMessage(msg);
        StoreReadReply();
        CheckReadBack();
        // The change buttons grey out while the logger records; a dialog already open
        // would still change the interval or start moment of the running log.
        if (model_.RecordingActive()) CloseParameterDialogs();
        ParamReadProgress();
        // Only what the reply changed: most polls bring the same values again.
        controls_->Update(model_.TakeChanged());
        UpdateLoggerState();
        break;
    case Msg::StatusText:
        AddMessageLine(text);
        break;
    case Msg::Counters:
        // The service tab's table is brought up to date when the tab is shown.
        if (service_->isVisible()) RebuildCounterTable();
        break;
    case Msg::WriteDone:
        WriteConfirmed();
        strip_->update();
        break;
    case Msg::WriteRefused:
        WriteRefused();
        strip_->update();
        break;
    case Msg::FrameSent:
    case Msg::CommandQueued:
        strip_->update();
        break;
    case Msg::LogReadDone:
        LogReadDone();
        break;
    case Msg::EndOfLog:
        LogReadRefused();
        break;
    case Msg::HidConnected:
        links_->HidFound();
        UpdateLoggerState();
        ShowLinkStatus();
        LinkOpened();
        break;
    case Msg::HidAbsent:
        // A logger that is there but cannot be used says so in the state panel, also
        // when it turns up (or goes) while the absence was reported already.
        switch (links_->HidMissing(wParam)) {
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
    default:
        break;
    }
}

}  // namespace quorvex
