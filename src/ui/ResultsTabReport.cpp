// The results tab's report side: the PDF report of whatever the tab shows (a download, an
// opened file, an archived log), the evaluation rules dialog and the verdict in the summary,
// and the dew point in saved CSV files.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "archive/ChangeRecording.h"
#include "i18n/ProgramTexts.h"
#include "logs/LogDownload.h"
#include "logs/ResultsCsv.h"
#include "logs/ResultsFile.h"
#include "params/ClockParameters.h"
#include "params/Codecs.h"
#include "params/DeviceParameters.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/ArchiveKeeping.h"
#include "ui/CommandLine.h"
#include "ui/OperatorPrompts.h"
#include "ui/ResultsFolder.h"
#include "ui/ResultsTab.h"
#include "ui/ResultsTabView.h"
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

}  // namespace

bool ResultsTab::CanReport() const { return reportButton_ && reportButton_->isEnabled(); }

void ResultsTab::ReportChosen() {
    if (!logs_ || results_.IsEmpty()) return;
    auto fail = [this](const QString& text) {
        prompts_.ShowBox(LogDownloadView::BoxIcon::Error, TranslateText(QStringLiteral("[1020]Błąd")), text);
    };
    ReportRequest request;
    request.results = &results_;
    QString rulesError;
    request.rules = RulesFor(results_, settings_, &rulesError);
    // A report that silently left a stored check out would be signed as if it held it.
    if (!rulesError.isEmpty()) return fail(rulesError);
    if (!ParseReportTable(settings_.ReadString(kReportSection, kReportTableKey, QString()), request.table))
        request.table = ReportTable::All;
    QString path = prompts_.AskReportPath(Folder(), ProposedReportFileName(results_), request.table);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    settings_.WriteString(kReportSection, kReportTableKey, TableKey(request.table));
    settings_.Flush();
    request.source = ShownResultsSource();
    request.paper = ReportPaper(systemLocale_);

    const FileSigner signer = keeping_.Signer();
    request.signer = &signer;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportOutcome outcome = WriteReport(path, request);
    QApplication::restoreOverrideCursor();
    if (!outcome.ok) return fail(outcome.errorText);
    RememberResultsFolder(settings_, path);
    keeping_.RecordChange(FileChange(ChangeKind::Report, VersionText(), results_, path));
    emit StatusNote(TranslateText(QStringLiteral("[2458]Raport zapisano w pliku")) + u' ' +
                    QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    // Written all the same; the operator learns that it carries no signature, and why.
    const QString unsignedNote = outcome.signature.Note();
    if (!unsignedNote.isEmpty())
        prompts_.ShowBox(LogDownloadView::BoxIcon::Warning, TranslateText(QStringLiteral("[1020]Błąd")), unsignedNote);
}

ReportSource ResultsTab::ShownResultsSource() const {
    if (!logs_ || logs_->GetState() == LogDownload::Opened) return openedSource_;
    // A download: the logger's facts as read with it, and this computer's.
    ReportSource source;
    source.firmware = KnownText(model_.Param<VersionFirmware>());
    const QString startDate = KnownText(model_.Param<LogStartDate>());
    if (!startDate.isEmpty()) source.logStart = startDate + u' ' + KnownText(model_.Param<LogStartTime>());
    if (logs_->GetState() == LogDownload::Finished || logs_->GetState() == LogDownload::Aborted)
        source.downloaded = keeping_.DownloadEnded();
    source.user = CurrentUserName();
    source.host = CurrentHostName();
    source.programVersion = VersionText();
    source.received = results_.Count();
    source.announced = logs_->LogCount();
    return source;
}

void ResultsTab::RulesChosen() {
    // Humidity rules are refused only for a logger known to measure none: the results shown,
    // else the logger connected; with neither, nothing speaks against them.
    const DeviceType& type = model_.Param<DeviceType>();
    const bool humidity = !results_.IsEmpty() ? results_.HasHumidity()
                          : type.Known()      ? IsHumidityDevice(type.GetText())
                                              : true;
    auto* dialog = new RulesDialog(settings_, humidity, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] {
        if (view_) view_->RulesChanged();
    });
    // Opened, not executed: the thread's hand-overs go on meanwhile.
    dialog->open();
}

bool ResultsTab::DewPointInFiles() const { return settings_.ReadBool(kFilesSection, kDewPointInFilesKey, false); }

void ResultsTab::SetDewPointInFiles(bool on) {
    settings_.WriteBool(kFilesSection, kDewPointInFilesKey, on);
    settings_.Flush();
}

}  // namespace quorvex
