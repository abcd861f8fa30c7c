#include "chart/ObjectNames.h"
#include "ui/dialogs/ParameterReadWindow.h"

#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "modbus/Messages.h"

namespace quorvex {

ParameterReadWindow::ParameterReadWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QString::fromLatin1(objname::kParameterReadWindow));
    setModal(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QString::fromLatin1(objname::kReadProgress));
    ProgressBar1->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    resize(300, 60);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QString::fromLatin1(objname::kPollTimer));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &ParameterReadWindow::Timer1Timer);
    // The timer runs only while the window is shown: a hidden window's ticks
    // would wake the program a hundred times a second for nothing.
}

void ParameterReadWindow::SetCounts(int total, int received)
{
    Total = total;
    Received = received;
}

void ParameterReadWindow::showEvent(QShowEvent* e)
{
    ProgressBar1->setMaximum(Total);
    ProgressBar1->setValue(0);
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
    QDialog::showEvent(e);
    Timer1->start();
}

void ParameterReadWindow::hideEvent(QHideEvent* e)
{
    Timer1->stop();
    QDialog::hideEvent(e);
}

void ParameterReadWindow::Timer1Timer()
{
    if (ProgressBar1->value() < Received) ProgressBar1->setValue(ProgressBar1->value() + 1);
    if (ProgressBar1->value() >= ProgressBar1->maximum()) close();
}

void ParameterReadWindow::HandleMessage(int msg)
{
    if (msg == WM_NO_RESPONSE) close();
}

}  // namespace quorvex
