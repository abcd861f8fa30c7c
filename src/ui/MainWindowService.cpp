// The service tab's buttons: zero the transmission counters, reset the logger,
// list every parameter with its current text.
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "modbus/TransmissionThread.h"
#include "params/ParameterModel.h"
#include "ui/MainWindow.h"

namespace quorvex {

void MainWindow::ConnectServiceButtons()
{
    auto hook = [this](const char* name, void (MainWindow::*handler)()) {
        if (auto* b = TabSheetSerwis->findChild<QPushButton*>(QString::fromLatin1(name)))
            connect(b, &QPushButton::clicked, this, handler);
    };
    hook("ButtonZeruj", &MainWindow::ButtonZerujClick);
    hook("ButtonReset", &MainWindow::ButtonResetClick);
    hook("ButtonListaParametrow", &MainWindow::ButtonListaParametrowClick);
}

void MainWindow::ButtonZerujClick()
{
    if (!thread) return;
    thread->ZeroCounters();
    // The table is rebuilt the way the thread's own counter changes are.
    QueueMessage(WM_COUNTERS, thread->ProtocolState());
}

void MainWindow::ButtonResetClick()
{
    if (!thread) return;
    if (!thread->Connected()) {
        // Queued now it would go to whichever logger is connected next.
        auto* box = new QMessageBox(QMessageBox::Warning, translator->Tr(QStringLiteral("[1020]Błąd")),
                                    translator->Tr(QStringLiteral("[2080]Brak podłączonego Loggera - reset nie "
                                                                  "został wysłany.")),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("ResetRefusedBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_RESET_COMMAND;
    r.Attempts = 1;
    thread->AddRecord(r);
}

void MainWindow::ButtonListaParametrowClick()
{
    ListViewParametry->clear();
    QList<QTreeWidgetItem*> rows;
    for (const Parameter* p : model_.Parameters) rows << new QTreeWidgetItem({p->Name, p->GetText()});
    ListViewParametry->addTopLevelItems(rows);
}

}  // namespace quorvex
