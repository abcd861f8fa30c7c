// The results tab of the main window: the log download controller bound to
// its widgets, the thread's log messages, the chart window and the results
// text and CSV files, opening saved results.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

#include "archive/ChangeRecording.h"
#include "chart/ChartWindow.h"
#include "logs/LogDownload.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsModel.h"
#include "logs/ResultsReader.h"
#include "modbus/TransmissionThread.h"
#include "print/PrintDialog.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

namespace {

const QString kDirKey = QStringLiteral("Dir");

// Column widths of the results table; "Lp" only needs room for the count,
// so the five columns fit the tab without a horizontal scroll bar.
constexpr int kColumnWidths[] = {60, 121, 119, 119, 119, 0};  // the dew point's: ResultsTabView

QMessageBox::Icon ToQtIcon(LogDownloadView::BoxIcon icon) {
    switch (icon) {
    case LogDownloadView::BoxIcon::Error:
        return QMessageBox::Critical;
    case LogDownloadView::BoxIcon::Warning:
        return QMessageBox::Warning;
    case LogDownloadView::BoxIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

}  // namespace

void MainWindow::CreateLogDownload() {
    auto* table = findChild<QTableView*>(QString::fromLatin1(objname::kResultsTable));
    // The table reads the results store directly: no item per row.
    QAbstractItemModel* placeholder = table->model();
    resultsModel_ = new ResultsModel(results_, table);
    table->setModel(resultsModel_);
    delete placeholder;
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setShowGrid(true);
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setMinimumSectionSize(10);
    for (int c = 0; c < ResultsModel::ColumnCount; ++c) table->setColumnWidth(c, kColumnWidths[c]);
    // The tabs' bold font is for captions; thousands of bold rows read badly.
    QFont plain = table->font();
    plain.setBold(false);
    table->setFont(plain);
    // Fixed row heights keep a table of a million rows cheap to lay out.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);

    auto* logger = findChild<QTreeWidget*>(QString::fromLatin1(objname::kLoggerList));
    logger->setColumnWidth(0, 98);

    if (!AskSavePath) {
        AskSavePath = [this](const QString& folder, const QString& fileName) {
            QFileDialog dialog(this, {}, folder);
            dialog.setObjectName(QString::fromLatin1(objname::kSaveResultsDialog));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setNameFilters({kResultsTextFilter, kResultsCsvFilter});
            dialog.setDefaultSuffix(kResultsFileSuffix);
            // The dialog itself swaps a typed ".txt" for ".csv" when the filter
            // changes; a name typed without either gets the filter's.
            connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
                dialog.setDefaultSuffix(filter == kResultsCsvFilter ? kResultsCsvSuffix : kResultsFileSuffix);
            });
            dialog.selectFile(fileName);
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
            return ResultsPathForFilter(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
        };
    }
    if (!AskOpenPath) {
        AskOpenPath = [this](const QString& folder) {
            const QString title = TitleOfItem(translator_->Tr(QStringLiteral("[2120]Otwórz plik wyników…")));
            QFileDialog dialog(this, title, folder);
            dialog.setObjectName(QString::fromLatin1(objname::kOpenResultsDialog));
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setNameFilters(
                {translator_->Tr(QStringLiteral("[2134]Pliki wyników")) + QStringLiteral(" (*.txt *.csv)"),
                 kResultsTextFilter, kResultsCsvFilter});
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
            return dialog.selectedFiles().constFirst();
        };
    }
    if (!ShowBox) {
        ShowBox = [this](LogDownloadView::BoxIcon icon, const QString& caption, const QString& text) {
            // Opened, not executed: the box may come up while the transmission
            // thread waits for the window to take a reply.
            auto* box = new QMessageBox(ToQtIcon(icon), caption, text, QMessageBox::Ok, this);
            box->setObjectName(QString::fromLatin1(objname::kResultsMessageBox));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        };
    }

    ResultsTabView::Widgets w;
    w.status = findChild<QListWidget*>(QString::fromLatin1(objname::kDownloadStatusList));
    w.progress = findChild<QProgressBar*>(QString::fromLatin1(objname::kDownloadProgress));
    const char* names[] = {objname::kStartReadButton, objname::kStopReadButton,   objname::kRetryReadButton,
                           objname::kChartButton,     objname::kPrintTableButton, objname::kSaveResultsButton};
    for (int i = 0; i < 6; ++i) w.buttons[i] = findChild<QPushButton*>(QString::fromLatin1(names[i]));
    w.loggerInfo = logger;
    w.summary = findChild<QTreeWidget*>(QString::fromLatin1(objname::kSummaryList));
    w.results = resultsModel_;
    w.table = table;
    w.report = findChild<QPushButton*>(QString::fromLatin1(objname::kReportButton));
    resultsView_ = std::make_unique<ResultsTabView>(
        w, [this](LogDownloadView::BoxIcon icon, const QString& caption, const QString& text) {
            if (ShowBox) ShowBox(icon, caption, text);
        });

    logs = std::make_unique<LogDownload>(model_, results_);
    logs->SetView(resultsView_.get());
    connect(w.buttons[LogDownloadView::ButtonStart], &QPushButton::clicked, this, [this] {
        if (logs) logs->StartRead();
    });
    connect(w.buttons[LogDownloadView::ButtonStop], &QPushButton::clicked, this, [this] {
        if (logs) logs->StopRead();
    });
    connect(w.buttons[LogDownloadView::ButtonRetry], &QPushButton::clicked, this, [this] {
        if (logs) logs->ResumeRead();
    });
    connect(w.buttons[LogDownloadView::ButtonChart], &QPushButton::clicked, this, &MainWindow::onChartClicked);
    connect(w.buttons[LogDownloadView::ButtonPrintTable], &QPushButton::clicked, this,
            &MainWindow::onPrintTableClicked);
    connect(w.buttons[LogDownloadView::ButtonSaveResults], &QPushButton::clicked, this,
            &MainWindow::onSaveResultsClicked);
    ConnectReport();
    logs->Reset();
}

void MainWindow::ShowResultsTab() {
    if (!logs) return;
    if (ChartWindow* chart = FindChartWindow()) {
        logs->SetThresholds(chart->ThresholdsBlock());
        // Results opened from a file carry no thresholds: the chart then draws none.
        chart->SetThresholdsFromResults(true);
        // An open chart empties with the table when a new download begins,
        // not only when its first block arrives. Queued: the download has
        // named its logger (type, humidity) by the time the chart looks.
        connect(resultsModel_, &QAbstractItemModel::modelReset, chart, &ChartWindow::RefreshChart,
                Qt::QueuedConnection);
        // The chart window may go before this window does (tests, the end of the program).
        connect(chart, &QObject::destroyed, this, [this] {
            if (logs) logs->SetThresholds(nullptr);
        });
    }
    logs->Reset();
}

void MainWindow::EndLogDownload() {
    if (logs) logs->SetView(nullptr);
    // The download goes before its observer, the archiver, does.
    logs.reset();
    archiver_.reset();
    resultsView_.reset();
}

ChartWindow* MainWindow::FindChartWindow() const { return qobject_cast<ChartWindow*>(windows_.chartWindow); }

void MainWindow::onChartClicked() {
    ChartWindow* chart = FindChartWindow();
    if (!chart) return;
    chart->SetResults(results_);
    chart->ShowChart();
}

void MainWindow::onPrintTableClicked() {
    auto* print = qobject_cast<PrintDialog*>(windows_.printDialog);
    if (!print) return;
    print->Results = &results_;
    if (print->ExecForTable() != QDialog::Accepted) return;
    print->PrintTable();
}

void MainWindow::RememberFolder(const QString& path) {
    if (!settings_) return;
    settings_->WriteString(kWindowSection, kDirKey, QFileInfo(path).absolutePath());
    settings_->Flush();
}

void MainWindow::onSaveResultsClicked() {
    if (!settings_ || !AskSavePath) return;
    const QString folder = ResultsFolder();
    // The extension is part of the proposal: the date in the name holds dots,
    // and a name with a dot would not get the dialog's default suffix.
    const QString proposed = ProposedResultsFileName(results_, model_) + QLatin1Char('.') + kResultsFileSuffix;
    const QString path = AskSavePath(folder, proposed);
    if (path.isEmpty()) return;
    const FileSigner signer = Signer();
    const SaveResultsOutcome outcome = SaveResultsFile(path, results_, ResultsFormatOf(path),
                                                       dewPointFilesItem && dewPointFilesItem->isChecked(), &signer);
    if (!outcome.ok) {
        // The records stay in memory: the operator can choose another place.
        if (ShowBox)
            ShowBox(LogDownloadView::BoxIcon::Error, translator_->Tr(QStringLiteral("[1020]Błąd")), outcome.errorText);
        return;
    }
    RememberFolder(path);
    RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), results_, path));
    ShowStatusNote(translator_->Tr(QStringLiteral("[2203]Wyniki zapisano w pliku")) + u' ' +
                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    // Saved all the same; the operator learns that it carries no signature, and why.
    const QString unsignedNote = outcome.signature.Note();
    if (!unsignedNote.isEmpty() && ShowBox)
        ShowBox(LogDownloadView::BoxIcon::Warning, translator_->Tr(QStringLiteral("[1020]Błąd")), unsignedNote);
}

void MainWindow::onOpenResultsChosen() {
    if (!settings_ || !AskOpenPath) return;
    const QString path = AskOpenPath(ResultsFolder());
    if (!path.isEmpty()) OpenResultsFile(path);
}

bool MainWindow::OpenResultsFile(const QString& path) {
    if (!logs) return false;
    auto fail = [this](const QString& text) {
        if (ShowBox) ShowBox(LogDownloadView::BoxIcon::Error, translator_->Tr(QStringLiteral("[1020]Błąd")), text);
        return false;
    };
    // The running download would go on appending to the opened results.
    if (logs->GetState() == LogDownload::Starting || logs->GetState() == LogDownload::Reading)
        return fail(
            translator_->Tr(QStringLiteral("[2133]Trwa odczyt danych z loggera. Przerwij go, zanim otworzysz plik.")));
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ResultsStore opened;
    const ReadResultsOutcome outcome = ReadResultsFile(absolute, opened);
    if (!outcome.ok) return fail(outcome.errorText);
    opened.signature = CheckSignature(absolute, LoadTrustedKeys(keyFolder));
    const SignatureCheck check = *opened.signature;
    ShowOpenedResults(opened);
    openedSource_ = {};
    openedSource_.file = absolute;
    // The records are shown all the same: the operator sees what was changed, told that it was.
    if (check.Alarming() && ShowBox)
        ShowBox(LogDownloadView::BoxIcon::Error, translator_->Tr(QStringLiteral("[1020]Błąd")),
                QDir::toNativeSeparators(absolute) + u'\n' + check.Text());
    RememberFolder(absolute);
    recent_.Add(absolute);
    if (settings_) recent_.Save(*settings_);
    RebuildRecentMenu();
    return true;
}

void MainWindow::ShowOpenedResults(ResultsStore& opened) {
    results_.Swap(opened);
    logs->ResultsOpened();
    if (ChartWindow* chart = FindChartWindow()) {
        chart->SetResults(results_);
        if (chart->isVisible()) chart->onZoomAllClicked();  // the whole new time line
    }
    // Whatever the link is doing, the opened results are what the operator came for.
    tabs_->setCurrentWidget(resultsTab_);
}

QString MainWindow::ResultsFolder() const {
    return settings_ ? settings_->ReadString(kWindowSection, kDirKey, QString()) : QString();
}

}  // namespace quorvex
