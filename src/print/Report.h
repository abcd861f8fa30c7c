#pragma once
// The report a reviewer signs: one PDF written straight to a file (no print
// dialog) for whatever results are at hand — a download, an opened file, an
// archived log. Page 1 (and more when the verdict's excursions need them):
// title, the logger's facts, where the data came from, the rules with their
// verdict, the summary. Then one landscape page with the chart of the whole
// log and its thresholds, drawn as the chart printout draws it; then the
// table of every record as the table printout prints it, or one row a day
// (minimum, maximum, mean), or no table.
//
// Every page carries "page N of M", this program's version and the records'
// fingerprint (RecordsFingerprint.h). Texts stay texts with their fonts
// embedded; the file is PDF/A-1b. Written to a temporary file beside the
// target and renamed over it once complete: a failure leaves nothing behind.
// Needs a QGuiApplication (the offscreen platform does).
#include <QDateTime>
#include <QList>
#include <QPageSize>
#include <QString>

#include "archive/Archive.h"
#include "logs/ExcursionRules.h"
#include "logs/ResultsStore.h"
#include "sign/FileSigner.h"

class QLocale;

namespace quorvex {

enum class ReportTable { All, Daily, None };

// The report's table as the settings file keeps it: "all", "daily" or "none".
inline const QString kReportSection = QStringLiteral("Report");
inline const QString kReportTableKey = QStringLiteral("Table");

// What the results store does not carry, filled by whoever asks for the
// report from what it knows of the log. Empty fields are left out.
struct ReportSource {
    QString firmware;  // the logger's firmware version text
    QString logStart;  // the start of logging as the logger's parameter shows it
    // A download: when it ended, by whom, on which computer, with which program version,
    // and how many records arrived of those the logger announced (0: not known).
    QDateTime downloaded;
    QString user;
    QString host;
    QString programVersion;
    int received = 0;
    int announced = 0;
    // Results read from a file (ResultsStore::sourceFile when empty).
    QString file;
};

// How an archived log came, for its report: the file it was imported from, or its latest
// download and whether the archive holds all of it. `logStart` as the caller shows moments.
ReportSource ReportSourceOf(const ArchiveLogRow& log, const QString& logStart);

struct ReportRequest {
    const ResultsStore* results = nullptr;
    QList<ExcursionRule> rules;  // RulesFor(): the stored set or the log's thresholds
    ReportTable table = ReportTable::All;
    ReportSource source;
    QPageSize paper = QPageSize(QPageSize::A4);  // ReportPaper() for the operator's locale
    const FileSigner* signer = nullptr;          // signs the written report when given
};

struct ReportOutcome {
    bool ok = false;
    int pages = 0;
    QString errorText;      // translated, names the file and the reason
    SignOutcome signature;  // the report written: whether it was signed, and if not why
};

// Letter where the locale measures in inches (the United States), else A4.
QPageSize ReportPaper(const QLocale& locale);

// The user's login name and this computer's name, for ReportSource.
QString CurrentUserName();
QString CurrentHostName();

// Writes the report to `path`. The texts are in the program's language, dates
// and numbers in the default locale's formats, as on the printouts.
ReportOutcome WriteReport(const QString& path, const ReportRequest& request);

// The name proposed for the report of `store`, with ".pdf": the logger's name
// and the first record's moment in the ISO form "2026-12-07_23-39-33", the
// same in every language and locale and sorted by time in a folder.
QString ProposedReportFileName(const ResultsStore& store);

// "all", "daily", "none".
bool ParseReportTable(const QString& text, ReportTable& table);

}  // namespace quorvex
