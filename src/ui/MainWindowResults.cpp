// The main window's status bar: short notes about files written.
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

void MainWindow::ShowStatusNote(const QString& text) {
    if (!notePanel_) return;
    if (!statusNoteTimer_) {
        statusNoteTimer_ = new QTimer(this);
        statusNoteTimer_->setSingleShot(true);
        connect(statusNoteTimer_, &QTimer::timeout, this, [this] {
            notePanel_->clear();
            notePanel_->setToolTip(QString());
        });
    }
    notePanel_->setText(text);
    notePanel_->setToolTip(text);  // a long path may not fit the panel
    statusNoteTimer_->start(kStatusNoteMs);
}

void MainWindow::PrintoutSaved(const QString& path) {
    keeping_->RecordChange(FileChange(ChangeKind::Report, VersionText(), results_, path));
    ShowStatusNote(translator_->Tr(QStringLiteral("[2204]Wydruk zapisano w pliku")) + u' ' +
                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

}  // namespace quorvex
