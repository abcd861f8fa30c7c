// The service tab's buttons: zero the transmission counters, reset the logger,
// list every parameter with its current text.
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "chart/ObjectNames.h"
#include "modbus/TransmissionThread.h"
#include "params/ParameterModel.h"
#include "ui/MainWindow.h"

namespace quorvex {

void MainWindow::ConnectServiceButtons() {
    auto hook = [this](const char* name, void (MainWindow::*handler)()) {
        if (auto* b = serviceTab->findChild<QPushButton*>(QString::fromLatin1(name)))
            connect(b, &QPushButton::clicked, this, handler);
    };
    hook(objname::kZeroButton, &MainWindow::onZeroCountersClicked);
    hook(objname::kResetButton, &MainWindow::onResetClicked);
    hook(objname::kReadParametersButton, &MainWindow::onReadParametersClicked);
}

void MainWindow::onZeroCountersClicked() {
    // The table is rebuilt the way the thread's own counter changes are.
    session_->ZeroCounters();
}

void MainWindow::onResetClicked() {
    if (!Thread()) return;
    if (!session_->Connected()) {
        // Queued now it would go to whichever logger is connected next.
        auto* box = new QMessageBox(QMessageBox::Warning, translator->Tr(QStringLiteral("[1020]Błąd")),
                                    translator->Tr(QStringLiteral("[2080]Brak podłączonego Loggera - reset nie "
                                                                  "został wysłany.")),
                                    QMessageBox::Ok, this);
        box->setObjectName(QString::fromLatin1(objname::kResetRefusedBox));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    Request r;
    r.Address = kLoggerAddress;
    r.Function = FN_RESET_COMMAND;
    r.Attempts = 1;
    session_->AddRequest(r);
}

void MainWindow::onReadParametersClicked() {
    parameterList->clear();
    QList<QTreeWidgetItem*> rows;
    for (const Parameter* p : model_.Parameters) rows << new QTreeWidgetItem({p->Name, p->GetText()});
    parameterList->addTopLevelItems(rows);
}

}  // namespace quorvex
