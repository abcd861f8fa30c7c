// The transmission thread's messages as the main window handles them.
#include <QStatusBar>

#include "params/ControlBindings.h"
#include "params/ParameterModel.h"
#include "ui/MainWindow.h"
#include "ui/RequestStrip.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex {

bool MainWindow::event(QEvent* e)
{
    if (e->type() == ThreadMessageEvent::EventType()) {
        const auto* m = static_cast<ThreadMessageEvent*>(e);
        HandleMessage(m->Msg, m->Text, m->WParam);
        return true;
    }
    return QMainWindow::event(e);
}

void MainWindow::HandleMessage(int msg, const QString& text, int wParam)
{
    if (destroyed_) {
        // Ending: only the thread's hand-overs still matter, and they need nothing from us.
        return;
    }
    switch (msg) {
        case WM_PORT_OPENED:
            portErrorShown = false;
            UpdateLoggerState();
            ShowLinkStatus();
            break;
        case WM_PORT_OPEN_ERROR:
            if (portErrorShown) break;
            portErrorShown = true;
            MonitorReset();
            UpdateLoggerState();
            ShowLinkStatus();
            ShowPortError(wParam == kPortAccessDenied);
            break;
        case WM_LOG_READ_FAILED:
            // A corrupted log block the download could not ask for again ends like a request
            // without reply, through the same posted message.
            if (!LogReadFailed()) QueueMessage(WM_NO_RESPONSE, 0);
            break;
        case WM_NO_RESPONSE:
            if (AppWindows.parameterReadWindow) AppWindows.parameterReadWindow->HandleMessage(msg);
            MonitorReset();
            UpdateLoggerState();
            strip_->update();
            break;
        case WM_READ_DONE:
            if (AppWindows.parameterReadWindow) AppWindows.parameterReadWindow->HandleMessage(msg);
            StoreReadReply();
            CheckReadBack();
            // The change buttons grey out while the logger records; a dialog already open
            // would still change the interval or start moment of the running log.
            if (model_.RecordingActive()) CloseParameterDialogs();
            ParamReadProgress();
            controls->RefreshAll();
            UpdateLoggerState();
            break;
        case WM_STATUS_TEXT:
            AddMessageLine(text);
            break;
        case WM_COUNTERS:
            RebuildCounterTable();
            break;
        case WM_WRITE_DONE:
            WriteConfirmed();
            strip_->update();
            break;
        case WM_WRITE_REFUSED:
            WriteRefused();
            strip_->update();
            break;
        case WM_FRAME_SENT:
        case WM_COMMAND_QUEUED:
            strip_->update();
            break;
        case WM_LOG_READ_DONE:
            LogReadDone();
            break;
        case WM_LOG_READ_REFUSED:
            LogReadRefused();
            break;
        case WM_HID_CONNECTED:
            hidAbsentShown = false;
            hidDeniedShown = false;
            hidUnusable = false;
            UpdateLoggerState();
            ShowLinkStatus();
            break;
        case WM_HID_ABSENT: {
            // A logger that is there but cannot be used says so in the state panel, also
            // when it turns up (or goes) while the absence was reported already.
            const bool unusable = wParam == kHidUnusable;
            const bool changed = unusable != hidUnusable;
            hidUnusable = unusable;
            if (!hidAbsentShown) {
                hidAbsentShown = true;
                MonitorReset();
                UpdateLoggerState();
                ShowLinkStatus();
            } else if (changed) {
                UpdateLoggerState();
            }
            // A logger the user may not open: say so once, with what to do about it.
            if (wParam == kHidAccessDenied && !hidDeniedShown) {
                hidDeniedShown = true;
                ShowHidAccessDenied();
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace quorvex
