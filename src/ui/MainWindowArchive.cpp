// The main window's side of the results and the archive keeping: their menu items, the
// archive, change log and trusted keys windows, how the keeping's faults and notes are shown,
// and the question before a command that makes the logger begin a new log.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>

#include <utility>

#include "archive/ArchiveText.h"
#include "i18n/ProgramTexts.h"
#include "modbus/TransmissionThread.h"
#include "ui/ArchiveKeeping.h"
#include "ui/ArchiveWindow.h"
#include "ui/ChangeLogWindow.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"
#include "ui/dialogs/TrustedKeysDialog.h"

namespace quorvex {

namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

}  // namespace

void MainWindow::BuildArchiveItems(QMenu* file) {
    // Kept, never shown: their names are the stable handles of the first version's items.
    Item(file, objname::kReadResultsItem, QStringLiteral("[41]Odczytaj wyniki"))->setVisible(false);
    Item(file, objname::kSaveResultsItem, QStringLiteral("[42]Zapisz wyniki"))->setVisible(false);
    QAction* open = Item(file, objname::kOpenResultsItem, QStringLiteral("[2120]Otwórz plik wyników…"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, resultsTab_, &ResultsTab::OpenChosen);
    QMenu* recent = file->addMenu(QStringLiteral("[2207]Ostatnio otwierane"));
    recent->setObjectName(QString::fromLatin1(objname::kRecentMenu));
    recent->menuAction()->setObjectName(QString::fromLatin1(objname::kRecentMenuItem));
    recent->setToolTipsVisible(true);
    resultsTab_->SetRecentMenu(recent);
    connect(Item(file, objname::kArchiveItem, QStringLiteral("[2310]Archiwum…")), &QAction::triggered, this,
            &MainWindow::onArchiveChosen);
    connect(Item(file, objname::kImportItem, QStringLiteral("[2311]Importuj do archiwum…")), &QAction::triggered, this,
            [this] { keeping_->ImportChosen(resultsTab_->Folder()); });
    connect(Item(file, objname::kChangeLogItem, QStringLiteral("[2573]Dziennik zmian…")), &QAction::triggered, this,
            &MainWindow::onChangeLogChosen);
    QAction* report = Item(file, objname::kReportItem, QStringLiteral("[2442]Raport PDF…"));
    connect(report, &QAction::triggered, resultsTab_, &ResultsTab::ReportChosen);
    // Enabled with the results tab's report button.
    connect(file, &QMenu::aboutToShow, this, [this, report] { report->setEnabled(resultsTab_->CanReport()); });
}

void MainWindow::BuildKeepingItems() {
    connect(Item(settingsMenu_, objname::kRulesItem, QStringLiteral("[2411]Reguły oceny…")), &QAction::triggered,
            resultsTab_, &ResultsTab::RulesChosen);
    QAction* dewPoint =
        Item(settingsMenu_, objname::kDewPointFilesItem, QStringLiteral("[2464]Punkt rosy w plikach CSV"));
    dewPoint->setCheckable(true);
    dewPoint->setChecked(resultsTab_->DewPointInFiles());
    connect(dewPoint, &QAction::toggled, resultsTab_, &ResultsTab::SetDewPointInFiles);
    settingsMenu_->addSeparator();
    // "[2569]Podpisuj zapisywane pliki": Enabled in [Signing], on by default, written as the program ends.
    QAction* sign = Item(settingsMenu_, objname::kSignFilesItem, QStringLiteral("[2569]Podpisuj zapisywane pliki"));
    sign->setCheckable(true);
    sign->setChecked(keeping_->Signing());
    connect(sign, &QAction::toggled, keeping_.get(), &ArchiveKeeping::SetSigning);
    connect(Item(settingsMenu_, objname::kTrustedKeysItem, QStringLiteral("[2559]Zaufane klucze…")),
            &QAction::triggered, this, &MainWindow::onTrustedKeysChosen);
    settingsMenu_->addSeparator();
    // "[2484]Pobieraj automatycznie po podłączeniu" (AutoDownload) and its folder (AutoFolder).
    QAction* automatic =
        Item(settingsMenu_, objname::kAutoReadItem, QStringLiteral("[2484]Pobieraj automatycznie po podłączeniu"));
    automatic->setCheckable(true);
    automatic->setChecked(keeping_->AutoDownload());
    connect(automatic, &QAction::toggled, keeping_.get(), &ArchiveKeeping::SetAutoDownload);
    QAction* folder = Item(settingsMenu_, objname::kAutoFolderItem, QStringLiteral("[2485]Folder plików wyników…"));
    folder->setToolTip(keeping_->AutoFolder());
    connect(folder, &QAction::triggered, this, [this, folder] {
        keeping_->ChooseAutoFolder(resultsTab_->Folder());
        folder->setToolTip(keeping_->AutoFolder());
    });
}

void MainWindow::ConnectKeeping() {
    ArchiveKeeping* k = keeping_.get();
    connect(k, &ArchiveKeeping::Note, this, &MainWindow::AddMessageLine);
    connect(k, &ArchiveKeeping::StatusNote, this, &MainWindow::ShowStatusNote);
    connect(k, &ArchiveKeeping::Fault, this, &MainWindow::ShowArchiveBox);
    connect(k, &ArchiveKeeping::NewLogAsked, this, &MainWindow::AskBeforeNewLog);
    connect(k, &ArchiveKeeping::ResultsWanted, this, [this] { tabs_->setCurrentWidget(resultsTab_); });
    connect(resultsTab_, &ResultsTab::ResultsWanted, this, [this] { tabs_->setCurrentWidget(resultsTab_); });
    connect(resultsTab_, &ResultsTab::StatusNote, this, &MainWindow::ShowStatusNote);
    connect(k, &ArchiveKeeping::ArchiveChanged, this, [this] {
        if (archiveWindow_) archiveWindow_->SetArchive(keeping_->DownloadArchive(), keeping_->ArchiveProblem());
        if (changeLogWindow_) changeLogWindow_->SetArchive(keeping_->DownloadArchive(), keeping_->ArchiveProblem());
    });
    // Open windows show what was just kept.
    auto showKept = [this] {
        if (archiveWindow_ && archiveWindow_->isVisible()) archiveWindow_->Refresh();
        if (changeLogWindow_ && changeLogWindow_->isVisible()) changeLogWindow_->ShowNewEntries();
    };
    connect(k, &ArchiveKeeping::DownloadKept, this, showKept);
    connect(k, &ArchiveKeeping::Imported, this, showKept);
    connect(k, &ArchiveKeeping::ChangeRecorded, this, [this] {
        if (changeLogWindow_ && changeLogWindow_->isVisible())
            QTimer::singleShot(0, changeLogWindow_, &ChangeLogWindow::Refresh);
    });
}

void MainWindow::ShowArchiveBox(const QString& text) {
    // A fault and what follows from it make one box.
    if (archiveBox_ && archiveBox_->isVisible()) {
        archiveBox_->setText(archiveBox_->text() + QStringLiteral("\n\n") + text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, TranslateText(QStringLiteral("[2315]Archiwum")), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QString::fromLatin1(objname::kArchiveMessageBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    archiveBox_ = box;
    box->open();
}

void MainWindow::onArchiveChosen() {
    if (!archiveWindow_)
        archiveWindow_ = new ArchiveWindow(
            keeping_->DownloadArchive(),
            [this](std::int64_t log, std::optional<Moment> from, std::optional<Moment> to) {
                return resultsTab_->OpenArchivedLog(log, from, to);
            },
            this);
    archiveWindow_->SetArchive(keeping_->DownloadArchive(), keeping_->ArchiveProblem());
    archiveWindow_->show();
    archiveWindow_->raise();
    archiveWindow_->activateWindow();
}

void MainWindow::onChangeLogChosen() {
    if (!changeLogWindow_) {
        changeLogWindow_ = new ChangeLogWindow(keeping_->DownloadArchive(), this);
        changeLogWindow_->SignFile = [this](const QString& path) { return keeping_->Signer().Sign(path, {}); };
    }
    changeLogWindow_->SetArchive(keeping_->DownloadArchive(), keeping_->ArchiveProblem());
    changeLogWindow_->show();
    changeLogWindow_->raise();
    changeLogWindow_->activateWindow();
}

void MainWindow::onTrustedKeysChosen() {
    if (!trustedKeysDialog_) {
        auto* dialog = new TrustedKeysDialog(keeping_->KeyFolder(), this);
        dialog->KeyImported = [this](const TrustedKey& key) { keeping_->KeyTrusted(key); };
        trustedKeysDialog_ = dialog;
    }
    static_cast<TrustedKeysDialog*>(trustedKeysDialog_.data())->Refresh();
    trustedKeysDialog_->open();
}

void MainWindow::AskBeforeNewLog(int records) {
    if (newLogBox_) newLogBox_->close();
    const QString text = ArchiveText{
        QStringLiteral("[2307]Logger ma %1 rekord spoza archiwum; nowy zapis go usunie|"
                       "Logger ma %1 rekordy spoza archiwum; nowy zapis je usunie|"
                       "Logger ma %1 rekordów spoza archiwum; nowy zapis je usunie"),
        {QString::number(
            records)}}.Translated();
    auto* box = new QMessageBox(QMessageBox::Warning, TranslateText(QStringLiteral("[2314]Nowy zapis")), text,
                                QMessageBox::NoButton, this);
    box->setObjectName(QString::fromLatin1(objname::kEraseWarningBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* download =
        box->addButton(TranslateText(QStringLiteral("[2312]Najpierw odczytaj")), QMessageBox::AcceptRole);
    QPushButton* anyway =
        box->addButton(TranslateText(QStringLiteral("[2313]Uruchom mimo to")), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(TranslateText(QStringLiteral("[15]Anuluj")), QMessageBox::RejectRole);
    download->setObjectName(QString::fromLatin1(objname::kDownloadFirstButton));
    anyway->setObjectName(QString::fromLatin1(objname::kStartAnywayButton));
    cancel->setObjectName(QString::fromLatin1(objname::kCancelStartButton));
    box->setDefaultButton(download);
    box->setEscapeButton(cancel);
    connect(download, &QPushButton::clicked, keeping_.get(), &ArchiveKeeping::DownloadFirst);
    connect(anyway, &QPushButton::clicked, keeping_.get(), &ArchiveKeeping::StartAnyway);
    newLogBox_ = box;
    box->open();
}

void MainWindow::LinkOpened() {
    // A desk downloading on connection does not wait for two idle polls to learn the
    // parameters: both blocks the polls read are asked for at once.
    if (keeping_->AutoDownload()) session_->ReadParametersNow();
}

}  // namespace quorvex
