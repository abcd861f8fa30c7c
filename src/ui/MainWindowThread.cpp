// Everything of the main window that talks to the transmission thread.
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>

#include "params/ParameterModel.h"
#include "ui/MainWindow.h"
#include "ui/OperatorPrompts.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/WriteRefusalText.h"

#include "modbus/CallQueue.h"
#include "modbus/TransmissionThread.h"

namespace quorvex {

// Carries the thread's messages to the main window, in the order they were given: posted
// ones are queued, sent ones are run on the window's thread while the thread waits, so the
// window reads its response record undisturbed.
class MessageBridge : public MessageTarget {
public:
    explicit MessageBridge(MainWindow* form) : form_(form) {}
    void Post(Msg msg, QString text, int wParam) override {
        // A text of the window's own: one shared with the thread is freed by whichever side
        // lets go of it last, and when that is Qt's own code on the thread, ThreadSanitizer
        // cannot see that the window had let go first.
        if (!text.isEmpty()) text = QString(text.constData(), text.size());
        calls_.Later([form = form_, msg, text = std::move(text), wParam] { form->HandleMessage(msg, text, wParam); });
    }
    void Send(Msg msg) override {
        calls_.AndWait([form = form_, msg] { form->HandleMessage(msg); });
    }

private:
    MainWindow* form_;
    CallQueue calls_;
};

void MainWindow::CreateThread(const MainWindowOptions& options) {
    bridge_ = std::make_shared<MessageBridge>(this);
    thread = new TransmissionThread(bridge_.get(), portName, options.hidBackend);
    strip_->SetHistoryAccess([t = thread](const std::function<void(std::deque<Request>&)>& f) { t->WithHistory(f); });
}

void MainWindow::ConnectModel() {
    LoggerChannel channel;
    channel.note = [this](const QString& line) { AddMessageLine(line); };
    if (thread) channel.enqueue = [t = thread](const Request& r) { t->AddRecord(r); };
    model_.Connect(std::move(channel));
}

void MainWindow::QueueMessage(Msg msg, int wParam) {
    // Through the thread's own queue, so that it keeps its place among the thread's messages.
    if (bridge_)
        bridge_->Post(msg, {}, wParam);
    else
        QCoreApplication::postEvent(this, new ThreadMessageEvent(msg, {}, wParam));
}

void MainWindow::EndThread() {
    if (!thread) return;
    strip_->SetHistoryAccess({});
    EndTransmissionThread(*thread);
    delete thread;
    thread = nullptr;
}

int MainWindow::CurrentLinkState() const {
    if (thread) return thread->LinkState();
    return 0;
}

QString MainWindow::CurrentLinkName() const {
    if (thread) return thread->LinkName();
    return portName;
}

void MainWindow::ShowLinkStatus() {
    if (thread) {
        // A serial port that is not there reads as a USB logger unplugged does.
        const bool unplugged =
            thread->LinkState() == TransmissionThread::LINK_SERIAL_FAILED && portRefusal == kPortMissing;
        linkStatusPanel->setText(unplugged ? LinkStatusText(thread->LinkName(), TransmissionThread::LINK_HID_ABSENT)
                                           : thread->LinkStatusText());
        // Readable in full even when a very long path no longer fits the window.
        linkStatusPanel->setToolTip(linkStatusPanel->text());
        return;
    }
    linkStatusPanel->clear();
    linkStatusPanel->setToolTip(QString());
}

void MainWindow::StoreReadReply() {
    if (!thread) return;
    const Request& r = thread->ResponseRecord();
    model_.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
}

void MainWindow::WriteRefused() {
    if (!thread) return;
    const Request& r = thread->ResponseRecord();
    const std::uint8_t code = r.Data && r.ByteCount >= 1 ? r.Data[0] : 0;
    resultsTab_->WriteRefused(r);
    if (const auto refusal = model_.WriteRefused(r, code)) ShowWriteRefusal(*refusal);
}

void MainWindow::WriteConfirmed() {
    if (thread) model_.WriteConfirmed(thread->ResponseRecord());
}

void MainWindow::CheckReadBack() {
    if (!thread) return;
    for (const WriteRefusal& refusal : model_.CheckReadBack(thread->ResponseRecord())) ShowWriteRefusal(refusal);
}

void MainWindow::ShowWriteRefusal(const WriteRefusal& refusal) {
    // The box opens without waiting: the transmission thread is waiting for this hand-over.
    const auto translate = [this](const QString& text) { return translator->Tr(text); };
    prompts_->ShowBox(OperatorPrompts::BoxIcon::Warning, translate(QStringLiteral("[1020]Błąd")),
                      WriteRefusalText(refusal, translate));
}

void MainWindow::RebuildCounterTable() {
    if (!thread) return;
    // The counters change after every exchange; the rows stay the same, so
    // their values are updated in place rather than the table rebuilt.
    const QStringList lines = CounterTableLines(thread->Counters());
    if (errorCounters->topLevelItemCount() != lines.size()) errorCounters->clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
        const QString name = lines[i].left(eq), value = lines[i].mid(eq + 1);
        QTreeWidgetItem* item = errorCounters->topLevelItem(static_cast<int>(i));
        if (!item) {
            new QTreeWidgetItem(errorCounters, {name, value});
            continue;
        }
        if (item->text(0) != name) item->setText(0, name);
        if (item->text(1) != value) item->setText(1, value);
    }
}

void MainWindow::FillHidList() {
    if (!thread) return;
    QStringList products;
    thread->ListHidProducts(products);
    hidList->clear();
    hidList->addItems(products);
}

}  // namespace quorvex
