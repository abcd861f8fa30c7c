// quorvex-cli report and evaluate: the verdict and the PDF report of a results file or an
// archived log, without a window. Both take a ResultsStore from wherever it comes (LoadResults below is
// the one place that knows where), so that other sources of results join by adding a way
// to fill the store.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

#include "archive/ChangeRecording.h"
#include "cli/CliCommands.h"
#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "logs/ExcursionRules.h"
#include "logs/RecordsFingerprint.h"
#include "logs/ResultsCsv.h"
#include "logs/ResultsReader.h"
#include "params/DateTimeCodec.h"
#include "print/Report.h"
#include "settings/IniFile.h"

namespace quorvex {

namespace {

// The results the command works on, from a file or the archive: kExitDone, or the exit
// code with the reason said.
int LoadResults(const CliContext& c, ResultsStore& store, ReportSource& source) {
    if (c.options.serial.isEmpty()) {
        const ReadResultsOutcome read = ReadResultsFile(c.options.resultsFile, store);
        if (!read.ok) {
            Say(MessageLine(read.errorText));
            return kExitUsage;
        }
        source.file = QFileInfo(c.options.resultsFile).absoluteFilePath();
        return kExitDone;
    }
    if (c.archive.kind == ArchiveLocation::Kind::None) {
        Say(QStringLiteral("--serial reads the archive; --archive none names none"));
        return kExitUsage;
    }
    const auto archive = c.OpenArchive(CliContext::ArchiveUse::Read);
    if (!archive) return kExitArchive;
    ArchiveLogRow log;
    if (const int code = LoadArchivedLog(c, *archive, store, &log); code != kExitDone) return code;
    source = ReportSourceOf(
        log, FromMoment(MomentFromSeconds(log.key.startSeconds)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return kExitDone;
}

// The rules the window would judge these results by; false with the reason said.
bool LoadRules(const CliContext& c, const ResultsStore& store, QList<ExcursionRule>& rules) {
    QString error;
    rules = RulesFor(store, IniFile(c.settingsFile), &error);
    if (!error.isEmpty()) {
        Say(error);
        return false;
    }
    return true;
}

// A temperature, humidity or limit as precise as the logger gives it: one decimal (a float's
// 6.8 is 6.800000190734863 as a double).
double OneDecimal(double value) { return std::round(value * 10.0) / 10.0; }

QJsonObject RuleJson(const RuleVerdict& v) {
    static const char* const kSeries[] = {"temperature", "humidity", "dewpoint", "mkt"};
    QJsonObject o;
    o[QStringLiteral("rule")] = RuleText(v.rule, u'.');
    o[QStringLiteral("series")] = QLatin1String(kSeries[static_cast<int>(v.rule.series)]);
    o[QStringLiteral("side")] = v.rule.side == RuleSide::Above ? QStringLiteral("above") : QStringLiteral("below");
    o[QStringLiteral("limit")] = OneDecimal(v.rule.limit);
    o[QStringLiteral("applicable")] = v.applies;
    // A rule the log cannot be judged by neither passes nor fails.
    o[QStringLiteral("pass")] = v.applies ? QJsonValue(v.pass) : QJsonValue();
    if (v.rule.series == RuleSeries::KineticTemperature) {
        o[QStringLiteral("mkt")] = v.kineticTemperature ? QJsonValue(OneDecimal(*v.kineticTemperature)) : QJsonValue();
        return o;
    }
    o[QStringLiteral("measure")] =
        v.rule.measure == RuleMeasure::SingleExcursion ? QStringLiteral("single") : QStringLiteral("total");
    o[QStringLiteral("allowed_seconds")] = static_cast<qint64>(v.rule.allowedSeconds);
    o[QStringLiteral("excursions")] = v.excursions;
    o[QStringLiteral("total_seconds")] = static_cast<double>(v.totalMs) / 1000.0;
    o[QStringLiteral("longest_seconds")] = static_cast<double>(v.longestMs) / 1000.0;
    QJsonArray breaking;
    for (const Excursion& e : v.breaking) {
        QJsonObject x;
        x[QStringLiteral("start")] = IsoMomentText(e.start);
        x[QStringLiteral("end")] = IsoMomentText(e.end);
        x[QStringLiteral("duration_seconds")] = static_cast<double>(e.durationMs) / 1000.0;
        x[QStringLiteral("peak")] = OneDecimal(e.peak);
        x[QStringLiteral("first_record")] = e.firstRecord + 1;
        x[QStringLiteral("last_record")] = e.lastRecord + 1;
        breaking.append(x);
    }
    o[QStringLiteral("breaking")] = breaking;
    return o;
}

}  // namespace

int RunEvaluate(const CliContext& c) {
    ProgramTexts texts;
    texts.SetLanguage(c.language);
    texts.Install();
    ResultsStore store;
    ReportSource source;
    QList<ExcursionRule> rules;
    if (const int code = LoadResults(c, store, source); code != kExitDone) return code;
    if (!LoadRules(c, store, rules)) return kExitUsage;
    const Verdict verdict = EvaluateRules(store, rules);
    if (c.options.json) {
        QJsonObject o;
        if (c.options.serial.isEmpty()) {
            o[QStringLiteral("file")] = source.file;
        } else {
            o[QStringLiteral("serial")] = store.serialNumber;
            o[QStringLiteral("log")] = source.logStart;
        }
        o[QStringLiteral("records")] = store.Count();
        o[QStringLiteral("fingerprint")] = RecordsFingerprint(store);
        o[QStringLiteral("pass")] = verdict.Evaluated() ? QJsonValue(verdict.Pass()) : QJsonValue();
        QJsonArray list;
        for (const RuleVerdict& v : verdict.rules) list.append(RuleJson(v));
        o[QStringLiteral("rules")] = list;
        Print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    } else {
        Print(VerdictLines(verdict, u'.').join(u'\n') + u'\n');
    }
    // Nothing judged is no pass: a script must not take it for one.
    if (!verdict.Evaluated()) {
        Say(QStringLiteral("no rules apply to these results: store rules in the settings file"));
        return kExitUsage;
    }
    return verdict.Pass() ? kExitDone : kExitFails;
}

int RunReport(const CliContext& c) {
    ProgramTexts texts;
    texts.SetLanguage(c.language);
    texts.Install();
    ReportRequest request;
    ResultsStore store;
    if (const int code = LoadResults(c, store, request.source); code != kExitDone) return code;
    if (!LoadRules(c, store, request.rules)) return kExitUsage;
    request.results = &store;
    QString table = c.options.table;
    if (table.isEmpty())
        table = IniFile(c.settingsFile).ReadString(kReportSection, kReportTableKey, QStringLiteral("all"));
    if (!ParseReportTable(table, request.table)) request.table = ReportTable::All;
    request.paper = ReportPaper(QLocale());
    const FileSigner signer = c.Signer();
    request.signer = &signer;
    const ReportOutcome outcome = WriteReport(c.options.output, request);
    if (!outcome.ok) {
        Say(MessageLine(outcome.errorText));
        return kExitFile;
    }
    Print(QStringLiteral("Report written to %1 (%2 pages)\n").arg(c.options.output).arg(outcome.pages));
    RecordChange(c.OpenArchive(CliContext::ArchiveUse::Note).get(),
                 FileChange(ChangeKind::Report, CliProgram(), store, c.options.output));
    SayUnsigned(outcome.signature);
    return kExitDone;
}

}  // namespace quorvex
