#include "ui/dialogs/ParameterReadWindow.h"
#include "ui/dialogs/ObjectNames.h"

#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "modbus/Messages.h"

namespace quorvex {

ParameterReadWindow::ParameterReadWindow(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QString::fromLatin1(objname::kParameterReadWindow));
    setModal(false);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QString::fromLatin1(objname::kReadProgress));
    progressBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressBar);
    resize(300, 60);
    pollTimer = new QTimer(this);
    pollTimer->setObjectName(QString::fromLatin1(objname::kPollTimer));
    pollTimer->setInterval(10);
    connect(pollTimer, &QTimer::timeout, this, &ParameterReadWindow::onPollTimer);
    // The timer runs only while the window is shown: a hidden window's ticks
    // would wake the program a hundred times a second for nothing.
}

void ParameterReadWindow::SetCounts(int total, int received) {
    Total = total;
    Received = received;
}

void ParameterReadWindow::showEvent(QShowEvent* e) {
    progressBar->setMaximum(Total);
    progressBar->setValue(0);
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    QDialog::showEvent(e);
    pollTimer->start();
}

void ParameterReadWindow::hideEvent(QHideEvent* e) {
    pollTimer->stop();
    QDialog::hideEvent(e);
}

void ParameterReadWindow::onPollTimer() {
    if (progressBar->value() < Received) progressBar->setValue(progressBar->value() + 1);
    if (progressBar->value() >= progressBar->maximum()) close();
}

void ParameterReadWindow::HandleMessage(Msg msg) {
    if (msg == Msg::NoResponse) close();
}

}  // namespace quorvex
