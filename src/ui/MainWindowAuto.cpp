// Downloading only what is new: the "[2483]Pobierz nowe" button, and the automatic download
// when a logger is connected (Settings → "[2484]Pobieraj automatycznie po podłączeniu"),
// which also writes the results file into a chosen folder and tells the operator on the desktop.
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <utility>

#include "archive/ArchiveRegisters.h"
#include "archive/ArchivedStart.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadedLogFile.h"
#include "logs/LogDownload.h"
#include "logs/LoggerResultsFile.h"
#include "modbus/TransmissionThread.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/DesktopNotification.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTabView.h"

namespace quorvex {

namespace {
const QString kAutoDownloadKey = QStringLiteral("AutoDownload");
const QString kAutoFolderKey = QStringLiteral("AutoFolder");
}  // namespace

void MainWindow::BuildAutoDownloadItems() {
    autoDownloadItem = settingsMenu_->addAction(QStringLiteral("[2484]Pobieraj automatycznie po podłączeniu"));
    autoDownloadItem->setObjectName(QString::fromLatin1(objname::kAutoReadItem));
    autoDownloadItem->setCheckable(true);
    autoFolderItem = settingsMenu_->addAction(QStringLiteral("[2485]Folder plików wyników…"));
    autoFolderItem->setObjectName(QString::fromLatin1(objname::kAutoFolderItem));
    connect(autoDownloadItem, &QAction::toggled, this, [this](bool on) {
        // Remembered at once: the desk that turned it on wants it after a crash too.
        if (!settings_) return;
        settings_->WriteBool(kWindowSection, kAutoDownloadKey, on);
        settings_->Flush();
    });
    connect(autoFolderItem, &QAction::triggered, this, &MainWindow::onAutoFolderChosen);
}

void MainWindow::ApplyAutoDownloadSettings() {
    const QSignalBlocker quiet(autoDownloadItem);
    autoDownloadItem->setChecked(settings_->ReadBool(kWindowSection, kAutoDownloadKey, false));
    autoFolderItem->setToolTip(AutoFolder());
    if (!Notify) Notify = [](const QString& title, const QString& body) { ShowDesktopNotification(title, body); };
    if (!AskAutoFolder)
        AskAutoFolder = [this](const QString& folder) {
            return QFileDialog::getExistingDirectory(
                this, TranslateText(QStringLiteral("[2485]Folder plików wyników…")), folder);
        };
    auto* button = findChild<QPushButton*>(QString::fromLatin1(objname::kNewReadButton));
    connect(button, &QPushButton::clicked, this, [this] { StartNewDownload(false); });
    resultsView_->SetNewReadButton(button, [this] { return archivedPart_; });
}

QString MainWindow::AutoFolder() const {
    return settings_ ? settings_->ReadString(kWindowSection, kAutoFolderKey, QString()) : QString();
}

void MainWindow::onAutoFolderChosen() {
    if (!settings_ || !AskAutoFolder) return;
    const QString folder = AskAutoFolder(AutoFolder().isEmpty() ? ResultsFolder() : AutoFolder());
    if (folder.isEmpty()) return;
    settings_->WriteString(kWindowSection, kAutoFolderKey, folder);
    settings_->Flush();
    autoFolderItem->setToolTip(folder);
}

void MainWindow::RefreshArchivedPart() {
    archivedPart_ = false;
    if (archive_ && paramsReady_)
        if (const auto key = CurrentLogKey(model_)) archivedPart_ = archive_->ArchivedThrough(*key).value_or(0) > 0;
    if (resultsView_) resultsView_->RefreshNewReadButton();
}

void MainWindow::LinkOpened() {
    // A desk downloading on connection does not wait for two idle polls to learn the
    // parameters: both blocks the polls read are asked for at once.
    if (autoDownloadItem->isChecked()) session_->ReadParametersNow();
}

void MainWindow::ParamsBecameReady() {
    RefreshArchivedPart();
    // After this step: the window finishes taking the parameters first.
    if (autoDownloadItem->isChecked())
        QTimer::singleShot(0, this, [this] {
            if (paramsReady_ && autoDownloadItem->isChecked()) StartNewDownload(true);
        });
}

void MainWindow::StartNewDownload(bool automatic) {
    if (!logs || !paramsReady_) return;
    if (logs->GetState() == LogDownload::Starting || logs->GetState() == LogDownload::Reading) return;
    tabs_->setCurrentWidget(resultsTab_);
    autoDownloading_ = automatic;
    StartReadOfNew(*logs, archive_.get(), model_, automatic,
                   [this](const ArchiveText& text) { ArchiveReported(text); });
    if (logs->GetState() != LogDownload::Reading) autoDownloading_ = false;
}

void MainWindow::NewDownloadEnded() {
    RefreshArchivedPart();
    if (!std::exchange(autoDownloading_, false) || !logs) return;
    const QString name = results_.loggerName.isEmpty() ? results_.serialNumber : results_.loggerName;
    const QString title = TranslateText(QStringLiteral("[2486]Logger %1")).arg(name);
    QString body;
    // New: what the archive did not hold before; a logger that gave archived records otherwise brings none.
    const int fresh = NewRecords(archive_.get(), Archiver(), logs->NewCount());
    if (logs->GetState() != LogDownload::Finished) {
        body = CountText(QStringLiteral("[2487]Odczyt przerwany: %1 nowy rekord, następne podłączenie go dokończy|"
                                        "Odczyt przerwany: %1 nowe rekordy, następne podłączenie go dokończy|"
                                        "Odczyt przerwany: %1 nowych rekordów, następne podłączenie go dokończy"),
                         fresh);
    } else {
        body = CountText(QStringLiteral("[2489]%1 nowy rekord|%1 nowe rekordy|%1 nowych rekordów"), fresh);
        if (!AutoFolder().isEmpty()) {
            const FileSigner signer = Signer();
            // The file holds what the archive holds; records the logger gave otherwise go beside it.
            const WrittenLog log =
                WriteDownloadedLog(AutoFolder(), results_, archive_.get(), Archiver(), ResultsFormat::Text, &signer);
            const WrittenResults& written = log.file;
            if (log.differs) {
                const QString differs = DifferingText(log.differing).Translated();
                body += u'\n' + differs;
                if (log.differs->ok) {
                    RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), results_, log.differs->path));
                    AddMessageLine(differs + QStringLiteral(": ") + log.differs->path);
                    if (!log.differs->signature.Note().isEmpty()) AddMessageLine(log.differs->signature.Note());
                } else {
                    AddMessageLine(log.differs->errorText);
                }
            }
            if (written.ok) {
                RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), log.Held(results_), written.path));
                ShowStatusNote(TranslateText(QStringLiteral("[2203]Wyniki zapisano w pliku")) + u' ' + written.path);
                // Unattended: the missing signature goes into the message list, not a box.
                if (!written.signature.Note().isEmpty()) AddMessageLine(written.signature.Note());
            } else {
                AddMessageLine(written.errorText);
                body += u'\n' + written.errorText;
                if (ShowBox)
                    ShowBox(LogDownloadView::BoxIcon::Error, TranslateText(QStringLiteral("[1020]Błąd")),
                            written.errorText);
            }
        }
    }
    AddMessageLine(title + QStringLiteral(": ") + body);
    if (Notify) Notify(title, body);
}

}  // namespace quorvex
