// The main window's report side: the PDF report of whatever the results tab shows (a
// download, an opened file, an archived log), the evaluation rules dialog and the verdict
// in the summary, and the switch for the dew point in saved CSV files.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "archive/Archive.h"
#include "archive/ChangeRecording.h"
#include "logs/LogDownload.h"
#include "logs/ResultsCsv.h"
#include "logs/ResultsFile.h"
#include "params/ClockParameters.h"
#include "params/Codecs.h"
#include "params/DeviceParameters.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/RulesDialog.h"

namespace quorvex {

namespace {

QString TableKey(ReportTable table) {
    switch (table) {
    case ReportTable::Daily:
        return QStringLiteral("daily");
    case ReportTable::None:
        return QStringLiteral("none");
    case ReportTable::All:
        break;
    }
    return QStringLiteral("all");
}

QString KnownText(const Parameter& p) { return p.Known() ? p.GetText() : QString(); }

QString MomentLine(const QDateTime& moment) {
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

}  // namespace

void MainWindow::ConnectReport() {
    if (auto* button = findChild<QPushButton*>(QString::fromLatin1(objname::kReportButton))) {
        button->setEnabled(false);  // enabled with the print button, once there are results
        connect(button, &QPushButton::clicked, this, &MainWindow::onReportChosen);
        if (auto* file = findChild<QMenu*>(QString::fromLatin1(objname::kFileMenu)))
            connect(file, &QMenu::aboutToShow, this, [this, button] { reportItem->setEnabled(button->isEnabled()); });
    }
    resultsView_->SetRules([this](const ResultsStore& store, QString* error) {
        return settings_ ? RulesFor(store, *settings_, error) : DefaultRules(store);
    });
    dewPointFilesItem->setChecked(settings_ && settings_->ReadBool(kFilesSection, kDewPointInFilesKey, false));
    connect(dewPointFilesItem, &QAction::toggled, this, &MainWindow::SetDewPointInFiles);

    if (!AskReportPath) {
        AskReportPath = [this](const QString& folder, const QString& fileName, ReportTable& table) {
            const QString title = TitleOfItem(TranslateText(QStringLiteral("[2442]Raport PDF…")));
            QFileDialog dialog(this, title, folder);
            dialog.setObjectName(QString::fromLatin1(objname::kReportDialog));
            // Qt's own dialog: the table choice goes into its layout.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setNameFilter(TranslateText(QStringLiteral("[2463]Pliki PDF")) + QStringLiteral(" (*.pdf)"));
            dialog.setDefaultSuffix(QStringLiteral("pdf"));
            dialog.selectFile(fileName);
            auto* choice = new QComboBox(&dialog);
            choice->setObjectName(QString::fromLatin1(objname::kReportTableChoice));
            choice->addItem(TranslateText(QStringLiteral("[2460]wszystkie rekordy")), int(ReportTable::All));
            choice->addItem(TranslateText(QStringLiteral("[2461]wartości dobowe")), int(ReportTable::Daily));
            choice->addItem(TranslateText(QStringLiteral("[2462]bez tabeli")), int(ReportTable::None));
            choice->setCurrentIndex(choice->findData(int(table)));
            if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
                const int row = grid->rowCount();
                grid->addWidget(new QLabel(TranslateText(QStringLiteral("[2459]Tabela w raporcie:")), &dialog), row, 0);
                grid->addWidget(choice, row, 1);
            }
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
            table = ReportTable(choice->currentData().toInt());
            return dialog.selectedFiles().constFirst();
        };
    }
}

void MainWindow::onReportChosen() {
    if (!settings_ || !AskReportPath || !logs || results_.IsEmpty()) return;
    auto fail = [this](const QString& text) {
        if (ShowBox) ShowBox(LogDownloadView::BoxIcon::Error, TranslateText(QStringLiteral("[1020]Błąd")), text);
    };
    ReportRequest request;
    request.results = &results_;
    QString rulesError;
    request.rules = RulesFor(results_, *settings_, &rulesError);
    // A report that silently left a stored check out would be signed as if it held it.
    if (!rulesError.isEmpty()) return fail(rulesError);
    if (!ParseReportTable(settings_->ReadString(kReportSection, kReportTableKey, QString()), request.table))
        request.table = ReportTable::All;
    QString path = AskReportPath(ResultsFolder(), ProposedReportFileName(results_), request.table);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    settings_->WriteString(kReportSection, kReportTableKey, TableKey(request.table));
    settings_->Flush();
    request.source = ShownResultsSource();
    request.paper = ReportPaper(systemLocale_);

    const FileSigner signer = Signer();
    request.signer = &signer;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportOutcome outcome = WriteReport(path, request);
    QApplication::restoreOverrideCursor();
    if (!outcome.ok) return fail(outcome.errorText);
    RememberFolder(path);
    RecordChange(FileChange(ChangeKind::Report, VersionText(), results_, path));
    ShowStatusNote(TranslateText(QStringLiteral("[2458]Raport zapisano w pliku")) + u' ' +
                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    // Written all the same; the operator learns that it carries no signature, and why.
    const QString unsignedNote = outcome.signature.Note();
    if (!unsignedNote.isEmpty() && ShowBox)
        ShowBox(LogDownloadView::BoxIcon::Warning, TranslateText(QStringLiteral("[1020]Błąd")), unsignedNote);
}

ReportSource MainWindow::ShownResultsSource() const {
    if (!logs || logs->GetState() == LogDownload::Opened) return openedSource_;
    // A download: the logger's facts as read with it, and this computer's.
    ReportSource source;
    source.firmware = KnownText(model_.Param<VersionFirmware>());
    const QString startDate = KnownText(model_.Param<LogStartDate>());
    if (!startDate.isEmpty()) source.logStart = startDate + u' ' + KnownText(model_.Param<LogStartTime>());
    if (logs->GetState() == LogDownload::Finished || logs->GetState() == LogDownload::Aborted)
        source.downloaded = downloadEnded_;
    source.user = CurrentUserName();
    source.host = CurrentHostName();
    source.programVersion = VersionText();
    source.received = results_.Count();
    source.announced = logs->LogCount();
    return source;
}

ReportSource MainWindow::ArchivedLogSource(std::int64_t log, const QString& serial) {
    ReportSource source;
    if (!archive_) return source;
    const auto rows = archive_->Logs(serial);
    if (!rows) return source;
    for (const ArchiveLogRow& row : *rows) {
        if (row.id == log) return ReportSourceOf(row, MomentLine(FromMoment(MomentFromSeconds(row.key.startSeconds))));
    }
    return source;
}

void MainWindow::onRulesChosen() {
    if (!settings_) return;
    // Humidity rules are refused only for a logger known to measure none: the results shown,
    // else the logger connected; with neither, nothing speaks against them.
    const DeviceType& type = model_.Param<DeviceType>();
    const bool humidity = !results_.IsEmpty() ? results_.HasHumidity()
                          : type.Known()      ? IsHumidityDevice(type.GetText())
                                              : true;
    auto* dialog = new RulesDialog(*settings_, humidity, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] {
        if (resultsView_) resultsView_->RulesChanged();
    });
    // Opened, not executed: the thread's hand-overs go on meanwhile.
    dialog->open();
}

void MainWindow::SetDewPointInFiles(bool on) {
    if (!settings_) return;
    settings_->WriteBool(kFilesSection, kDewPointInFilesKey, on);
    settings_->Flush();
}

}  // namespace quorvex
