// The main window's archive: every download kept as its blocks arrive, the archive window,
// importing saved results files, and the question before a command that makes the logger
// begin a new log over records the archive lacks.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <utility>

#include "archive/ArchiveRegisters.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadArchiver.h"
#include "archive/ImportSignature.h"
#include "i18n/ProgramTexts.h"
#include "logs/LogDownload.h"
#include "logs/ResultsFile.h"
#include "settings/IniFile.h"
#include "ui/ArchiveWindow.h"
#include "ui/CommandLine.h"
#include "ui/LinkMenu.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

// The archiver as the window runs it: it names the link the download runs on now, and says
// when a download has ended (a "Download first" waits for that).
class WindowArchiver : public DownloadArchiver {
public:
    using DownloadArchiver::DownloadArchiver;
    std::function<QString()> currentLink;
    std::function<void()> starting;  // before a read begins: the archive is made where missing
    std::function<void()> ended;

    void LogReadStarted(bool resumed) override {
        if (starting) starting();
        if (currentLink) SetLink(currentLink());
        DownloadArchiver::LogReadStarted(resumed);
    }
    void LogReadEnded(const DownloadEnd& end) override {
        DownloadArchiver::LogReadEnded(end);
        if (ended) ended();
    }
};

namespace {

bool Running(const LogDownload& logs) {
    return logs.GetState() == LogDownload::Starting || logs.GetState() == LogDownload::Reading;
}

}  // namespace

void MainWindow::OpenArchive(const QString& given) {
    archiver_ = std::make_shared<WindowArchiver>(nullptr, model_, *logs, VersionText(), links_->Chosen(),
                                                 [this](const ArchiveText& text) { ArchiveReported(text); });
    archiver_->currentLink = [this] { return links_->Chosen(); };
    archiver_->starting = [this] { WritableArchive(); };
    archiver_->ended = [this] {
        downloadEnded_ = QDateTime::currentDateTime();  // for the report's origin of the data
        // Not from inside the download's own step: the start may write to the logger.
        if (startAfterDownload_) QTimer::singleShot(0, this, &MainWindow::DownloadForStartEnded);
        QTimer::singleShot(0, this, &MainWindow::NewDownloadEnded);
        // An open archive window shows the download just kept.
        if (archiveWindow_ && archiveWindow_->isVisible())
            QTimer::singleShot(0, archiveWindow_, &ArchiveWindow::Refresh);
        if (changeLogWindow_ && changeLogWindow_->isVisible())
            QTimer::singleShot(0, changeLogWindow_, &ChangeLogWindow::ShowNewEntries);
    };
    logs->AddObserver(archiver_.get());
    model_.WatchWrites([this](const WriteOutcome& o) { RecordChange(WriteChange(o, model_, VersionText())); });

    ArchiveText error;
    const auto location = ResolveArchiveLocation(given, *settings_, error);
    if (location && location->kind != ArchiveLocation::Kind::None) {
        // Opening the program makes no archive: the first download or import does.
        archive_ = Archive::OpenExisting(*location, error);
        if (!archive_ && error.numbered.startsWith(kMissingArchive)) {
            missingArchive_ = *location;
            archiveProblem_ = std::exchange(error, {});
        }
    }
    if (!error.IsEmpty()) archiveProblem_ = error;
    archiver_->SetArchive(archive_.get());
    if (!error.IsEmpty()) {
        // Said once the window is up and speaks its language; everything else works on.
        QTimer::singleShot(0, this, [this, error] {
            ArchiveReported(error);
            ArchiveReported({QStringLiteral("[2330]Program działa bez archiwum"), {}});
        });
    }

    if (!ConfirmChangedImport) {
        ConfirmChangedImport = [this](const QString& text) {
            return QMessageBox::question(this, TranslateText(QStringLiteral("[2315]Archiwum")), text) ==
                   QMessageBox::Yes;
        };
    }
    if (!AskImportPaths) {
        AskImportPaths = [this](const QString& folder) {
            const QString title = TitleOfItem(TranslateText(QStringLiteral("[2311]Importuj do archiwum…")));
            QFileDialog dialog(this, title, folder);
            dialog.setObjectName(QString::fromLatin1(objname::kImportDialog));
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFiles);
            dialog.setNameFilters(
                {TranslateText(QStringLiteral("[2134]Pliki wyników")) + QStringLiteral(" (*.txt *.csv)"),
                 kResultsTextFilter, kResultsCsvFilter});
            if (dialog.exec() != QDialog::Accepted) return QStringList();
            return dialog.selectedFiles();
        };
    }
}

const DownloadArchiver& MainWindow::Archiver() const { return *archiver_; }

Archive* MainWindow::WritableArchive() {
    if (archive_ || !missingArchive_) return archive_.get();
    ArchiveText error;
    archive_ = Archive::Open(*missingArchive_, error);
    if (!archive_) {
        ArchiveReported(error);
        return nullptr;
    }
    missingArchive_.reset();
    archiveProblem_ = {};
    ArchiveChanged();
    return archive_.get();
}

void MainWindow::ArchiveChanged() {
    archiver_->SetArchive(archive_.get());
    if (archiveWindow_) archiveWindow_->SetArchive(archive_.get(), archiveProblem_);
    if (changeLogWindow_) changeLogWindow_->SetArchive(archive_.get(), archiveProblem_);
}

void MainWindow::ArchiveReported(const ArchiveText& text) {
    const QString shown = text.Translated();
    AddMessageLine(shown);
    // Differing records are news, not a fault.
    if (text.numbered.startsWith(QStringLiteral("[2305]"))) return ShowStatusNote(shown);
    ShowArchiveBox(shown);
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
            archive_.get(),
            [this](std::int64_t log, std::optional<Moment> from, std::optional<Moment> to) {
                return OpenArchivedLog(log, from, to);
            },
            this);
    archiveWindow_->SetArchive(archive_.get(), archiveProblem_);
    archiveWindow_->show();
    archiveWindow_->raise();
    archiveWindow_->activateWindow();
}

bool MainWindow::OpenArchivedLog(std::int64_t log, std::optional<Moment> from, std::optional<Moment> to) {
    if (!logs || !archive_) return false;
    auto fail = [this](const QString& text) {
        if (ShowBox) ShowBox(LogDownloadView::BoxIcon::Error, TranslateText(QStringLiteral("[1020]Błąd")), text);
        return false;
    };
    // The running download would go on appending to the archived records.
    if (Running(*logs))
        return fail(
            TranslateText(QStringLiteral("[2133]Trwa odczyt danych z loggera. Przerwij go, zanim otworzysz plik.")));
    ResultsStore opened;
    if (!archive_->LoadRecords(log, opened, from, to)) return fail(archive_->LastError().Translated());
    if (opened.IsEmpty())
        return fail(TranslateText(QStringLiteral("[2333]Archiwum nie ma rekordów tego logu między tymi chwilami")));
    ShowOpenedResults(opened);
    openedSource_ = ArchivedLogSource(log, results_.serialNumber);
    return true;
}

void MainWindow::onImportChosen() {
    if (!AskImportPaths) return;
    const QStringList paths = AskImportPaths(ResultsFolder());
    if (!paths.isEmpty()) ImportResultsFiles(paths);
}

void MainWindow::ImportResultsFiles(const QStringList& paths) {
    if (!archive_ && !missingArchive_)
        return ShowArchiveBox(TranslateText(QStringLiteral("[2330]Program działa bez archiwum")));
    QStringList refused;
    const QList<TrustedKey> trusted = LoadTrustedKeys(keyFolder);
    for (const QString& path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        // A file changed after signing goes in only on the operator's word, and its entry says so.
        const ImportSignature signature = CheckImportSignature(absolute, trusted);
        if (signature.Refused() &&
            (!ConfirmChangedImport ||
             !ConfirmChangedImport(ArchiveText{QStringLiteral("[2607]Plik %1 zmieniono po podpisaniu albo jego podpis "
                                                              "jest nieczytelny (%2). Zaimportować go mimo to?"),
                                               {QDir::toNativeSeparators(absolute), signature.check.Text()}}
                                       .Translated()))) {
            const QString said = signature.Refusal(absolute).Translated();
            AddMessageLine(said);
            refused << said;
            continue;
        }
        if (!WritableArchive()) return;
        ArchiveDownloadFacts facts = LocalDownloadFacts(VersionText(), absolute);
        facts.note = signature.Note();
        const auto count = archive_->Import(absolute, facts);
        const QString said = count ? ArchiveText{QStringLiteral("[2309]Zaimportowano %1 rekord z pliku %2 do archiwum|"
                                                                "Zaimportowano %1 rekordy z pliku %2 do archiwum|"
                                                                "Zaimportowano %1 rekordów z pliku %2 do archiwum"),
                                                 {QString::number(*count), absolute}}
                                         .Translated()
                                   : archive_->LastError().Translated();
        AddMessageLine(said);
        if (count)
            ShowStatusNote(said);
        else
            refused << said;
    }
    if (!refused.isEmpty()) ShowArchiveBox(refused.join(QStringLiteral("\n\n")));
    if (archiveWindow_ && archiveWindow_->isVisible()) archiveWindow_->Refresh();
    if (changeLogWindow_ && changeLogWindow_->isVisible()) changeLogWindow_->ShowNewEntries();
}

void MainWindow::RecordChange(ChangeEntry entry) {
    // A change made to a logger is kept even before the first download; a file written from
    // results shown goes into an archive that is there.
    const bool logger = entry.kind == ChangeKind::RegisterWrite || entry.kind == ChangeKind::ClockSet ||
                        entry.kind == ChangeKind::Start || entry.kind == ChangeKind::Stop ||
                        entry.kind == ChangeKind::Reset;
    if (!(logger ? WritableArchive() : archive_.get())) return;
    if (!archive_->AppendChange(entry)) return ArchiveReported(archive_->LastError());
    if (changeLogWindow_ && changeLogWindow_->isVisible())
        QTimer::singleShot(0, changeLogWindow_, &ChangeLogWindow::Refresh);
}

void MainWindow::onChangeLogChosen() {
    if (!changeLogWindow_) {
        changeLogWindow_ = new ChangeLogWindow(archive_.get(), this);
        changeLogWindow_->SignFile = [this](const QString& path) { return Signer().Sign(path, {}); };
    }
    changeLogWindow_->SetArchive(archive_.get(), archiveProblem_);
    changeLogWindow_->show();
    changeLogWindow_->raise();
    changeLogWindow_->activateWindow();
}

void MainWindow::GuardNewLog(const std::function<void()>& start) {
    auto missing = RecordsNotArchived(archive_.get(), model_);
    if (!missing && archive_) {
        // The archive cannot answer: every record the logger holds counts, and the fault is told.
        ArchiveReported(archive_->LastError());
        missing = RecordsNotArchived(nullptr, model_);
    }
    if (missing.value_or(0) <= 0) return start();
    AskBeforeNewLog(*missing, start);
}

void MainWindow::AskBeforeNewLog(int records, const std::function<void()>& start) {
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
    connect(download, &QPushButton::clicked, this, [this, start] { DownloadThenStart(start); });
    connect(anyway, &QPushButton::clicked, this, [start] { start(); });
    newLogBox_ = box;
    box->open();
}

void MainWindow::DownloadThenStart(std::function<void()> start) {
    if (!logs) return;
    startAfterDownload_ = std::move(start);
    tabs_->setCurrentWidget(resultsTab_);
    logs->StartRead();
    // A download that could not begin holds nothing back.
    if (!Running(*logs)) startAfterDownload_ = {};
}

void MainWindow::DownloadForStartEnded() {
    std::function<void()> start = std::exchange(startAfterDownload_, {});
    if (!start || !logs) return;
    // Without an archive the downloaded records are in the window now, to be saved.
    if (!archive_ && logs->GetState() == LogDownload::Finished && !logs->ShortOfAnnounced()) return start();
    // A download stopped or cut short, or an archive that failed meanwhile, leaves records to
    // lose: they are counted again, and asked about again.
    GuardNewLog(start);
}

}  // namespace quorvex
