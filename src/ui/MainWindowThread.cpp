// Everything of the main window that talks to the transmission thread.
#include <QCoreApplication>
#include <QLabel>

#include "params/ParameterModel.h"
#include "ui/LinkMenu.h"
#include "ui/MainWindow.h"
#include "ui/OperatorPrompts.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/ServiceTab.h"
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
    thread_ = new TransmissionThread(bridge_.get(), links_->Chosen(), options.hidBackend);
    strip_->SetHistoryAccess([t = thread_](const std::function<void(std::deque<Request>&)>& f) { t->WithHistory(f); });
}

void MainWindow::ConnectModel() {
    LoggerChannel channel;
    channel.note = [this](const QString& line) { AddMessageLine(line); };
    if (thread_) channel.enqueue = [t = thread_](const Request& r) { t->AddRecord(r); };
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
    if (!thread_) return;
    strip_->SetHistoryAccess({});
    EndTransmissionThread(*thread_);
    delete thread_;
    thread_ = nullptr;
}

int MainWindow::CurrentLinkState() const {
    if (thread_) return thread_->LinkState();
    return 0;
}

QString MainWindow::CurrentLinkName() const {
    if (thread_) return thread_->LinkName();
    return links_->Chosen();
}

void MainWindow::ShowLinkStatus() {
    if (thread_) {
        // A serial port that is not there reads as a USB logger unplugged does.
        const bool unplugged =
            thread_->LinkState() == TransmissionThread::LINK_SERIAL_FAILED && links_->PortRefusal() == kPortMissing;
        linkStatusPanel_->setText(unplugged ? LinkStatusText(thread_->LinkName(), TransmissionThread::LINK_HID_ABSENT)
                                            : thread_->LinkStatusText());
        // Readable in full even when a very long path no longer fits the window.
        linkStatusPanel_->setToolTip(linkStatusPanel_->text());
        return;
    }
    linkStatusPanel_->clear();
    linkStatusPanel_->setToolTip(QString());
}

void MainWindow::StoreReadReply() {
    if (!thread_) return;
    const Request& r = thread_->ResponseRecord();
    model_.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
}

void MainWindow::WriteRefused() {
    if (!thread_) return;
    const Request& r = thread_->ResponseRecord();
    const std::uint8_t code = r.Data && r.ByteCount >= 1 ? r.Data[0] : 0;
    resultsTab_->WriteRefused(r);
    if (const auto refusal = model_.WriteRefused(r, code)) ShowWriteRefusal(*refusal);
}

void MainWindow::WriteConfirmed() {
    if (thread_) model_.WriteConfirmed(thread_->ResponseRecord());
}

void MainWindow::CheckReadBack() {
    if (!thread_) return;
    for (const WriteRefusal& refusal : model_.CheckReadBack(thread_->ResponseRecord())) ShowWriteRefusal(refusal);
}

void MainWindow::ShowWriteRefusal(const WriteRefusal& refusal) {
    // The box opens without waiting: the transmission thread is waiting for this hand-over.
    const auto translate = [this](const QString& text) { return translator_->Tr(text); };
    prompts_->ShowBox(OperatorPrompts::BoxIcon::Warning, translate(QStringLiteral("[1020]Błąd")),
                      WriteRefusalText(refusal, translate));
}

void MainWindow::RebuildCounterTable() {
    if (thread_) service_->ShowCounters(CounterTableLines(thread_->Counters()));
}

void MainWindow::FillHidList() {
    if (!thread_) return;
    QStringList products;
    thread_->ListHidProducts(products);
    service_->ShowHidDevices(products);
}

void MainWindow::ZeroCounters() {
    if (!thread_) return;
    thread_->ZeroCounters();
    // The table is rebuilt the way the thread's own counter changes are.
    QueueMessage(Msg::Counters, thread_->ProtocolState());
}

void MainWindow::ResetLogger() {
    if (!thread_) return;
    if (!thread_->Connected()) {
        service_->SayResetRefused();
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_RESET_COMMAND;
    r.Attempts = 1;
    thread_->AddRecord(r);
}

}  // namespace quorvex
