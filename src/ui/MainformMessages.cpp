// The transmission thread's messages as the main window handles them.
#include <QCoreApplication>
#include <QMessageBox>
#include <QStatusBar>

#include "params/Controlmanager.h"
#include "ui/Mainform.h"
#include "ui/RequestStrip.h"
#include "ui/dialogs/Formodczytparam.h"

namespace quorvex {

bool TMainForm1::event(QEvent* e)
{
    if (e->type() == ThreadMessageEvent::EventType()) {
        const auto* m = static_cast<ThreadMessageEvent*>(e);
        HandleMessage(m->Msg, m->Text, m->WParam);
        return true;
    }
    return QMainWindow::event(e);
}

void TMainForm1::HandleMessage(int msg, const QString& text, int wParam)
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
        case WM_PORT_OPEN_ERROR: {
            if (portErrorShown) break;
            portErrorShown = true;
            MonitorReset();
            UpdateLoggerState();
            ShowLinkStatus();
            auto* box = new QMessageBox(
                QMessageBox::Critical, translator->Tr(QStringLiteral("[1020]Błąd")),
                translator->Tr(QStringLiteral("[1000]Wystąpił błąd otwarcia portu:")) + QLatin1Char(' ') +
                    CurrentLinkName() + QStringLiteral(".\n") +
                    translator->Tr(QStringLiteral("[1001]Port nie istnieje lub jest otwarty\n przez inną aplikację.")),
                QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("PortErrorBox"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
            box->open();
            break;
        }
        case WM_LOG_READ_FAILED:
            // A corrupted log block the download could not ask for again ends like a request
            // without reply, through the same posted message.
            if (!LogReadFailed()) QCoreApplication::postEvent(this, new ThreadMessageEvent(WM_NO_RESPONSE, {}, 0));
            break;
        case WM_NO_RESPONSE:
            if (AppForms.FormOdczytParam1) AppForms.FormOdczytParam1->HandleMessage(msg);
            MonitorReset();
            UpdateLoggerState();
            strip_->update();
            break;
        case WM_READ_DONE:
            if (AppForms.FormOdczytParam1) AppForms.FormOdczytParam1->HandleMessage(msg);
            StoreReadReply();
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
            UpdateLoggerState();
            ShowLinkStatus();
            break;
        case WM_HID_ABSENT:
            if (!hidAbsentShown) {
                hidAbsentShown = true;
                MonitorReset();
                UpdateLoggerState();
                ShowLinkStatus();
            }
            // A logger the user may not open: say so once, with what to do about it.
            if (wParam == kHidAccessDenied && !hidDeniedShown) {
                hidDeniedShown = true;
                ShowHidAccessDenied();
            }
            break;
        default:
            break;
    }
}

}  // namespace quorvex
