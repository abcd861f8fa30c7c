// The main window's ways to the results tab: the thread's hand-overs of a log read, and the
// status bar's short notes about files written.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

#include "archive/ChangeRecording.h"
#include "modbus/TransmissionThread.h"
#include "ui/ArchiveKeeping.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"

namespace quorvex {

namespace {
constexpr int kStatusNoteMs = 15000;
}  // namespace

void MainWindow::LogReadDone() {
    // The data lies in the thread's receive buffer, valid only during this hand-over.
    if (thread) resultsTab_->LogReadDone(thread->ResponseRecord());
    strip_->update();
}

void MainWindow::LogReadRefused() {
    if (thread) resultsTab_->LogReadRefused(thread->ResponseRecord());
    strip_->update();
}

bool MainWindow::LogReadFailed() {
    strip_->update();
    return !thread || resultsTab_->LogReadFailed(thread->ResponseRecord());
}

void MainWindow::ShowStatusNote(const QString& text) {
    if (!notePanel) return;
    if (!statusNoteTimer_) {
        statusNoteTimer_ = new QTimer(this);
        statusNoteTimer_->setSingleShot(true);
        connect(statusNoteTimer_, &QTimer::timeout, this, [this] {
            notePanel->clear();
            notePanel->setToolTip(QString());
        });
    }
    notePanel->setText(text);
    notePanel->setToolTip(text);  // a long path may not fit the panel
    statusNoteTimer_->start(kStatusNoteMs);
}

void MainWindow::PrintoutSaved(const QString& path) {
    keeping_->RecordChange(FileChange(ChangeKind::Report, VersionText(), results_, path));
    ShowStatusNote(translator->Tr(QStringLiteral("[2204]Wydruk zapisano w pliku")) + u' ' +
                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

}  // namespace quorvex
