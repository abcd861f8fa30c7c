// quorvex-cli study create | add | list | evaluate: mapping studies kept in the archive.
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <memory>
#include <vector>

#include "cli/CliCommands.h"
#include "i18n/ProgramTexts.h"
#include "logs/ResultsReader.h"
#include "logs/ResultsStore.h"
#include "study/StudyAnalysis.h"

namespace quorvex {

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString ClockText(Moment m) { return FromMoment(m).toString(kClockFormat); }

// "90m", "2h", "1d", "45s" or plain seconds.
std::optional<std::int64_t> ParseDuration(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d+)\\s*([smhd]?)\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const std::int64_t n = m.captured(1).toLongLong(&ok);
    if (!ok) return std::nullopt;
    const QString unit = m.captured(2);
    const std::int64_t scale = unit == u"m" ? 60 : unit == u"h" ? 3600 : unit == u"d" ? 86400 : 1;
    return n * scale;
}

// A number with either decimal separator.
std::optional<float> ParseNumber(const QString& text) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const float v = t.toFloat(&ok);
    return ok && std::isfinite(v) ? std::optional<float>(v) : std::nullopt;
}

// "LOW:HIGH", either side may be left out (":8", "2:").
bool ParseRange(const QString& text, std::optional<StudyLimit>& low, std::optional<StudyLimit>& high) {
    const QStringList parts = text.split(u':');
    if (parts.size() != 2 || (parts[0].trimmed().isEmpty() && parts[1].trimmed().isEmpty())) return false;
    for (int k = 0; k < 2; ++k) {
        if (parts[k].trimmed().isEmpty()) continue;
        const auto v = ParseNumber(parts[k]);
        if (!v) return false;
        (k == 0 ? low : high) = StudyLimit{*v, 0};
    }
    return !low || !high || low->value < high->value;
}

int Usage(const QString& line) {
    Say(line);
    return kExitUsage;
}

std::optional<StudyDefinition> LoadStudy(Archive& archive, const QString& name, int& code) {
    std::optional<StudyDefinition> study;
    if (!archive.LoadStudy(name, study)) {
        Say(English(archive.LastError()));
        code = kExitArchive;
        return std::nullopt;
    }
    if (!study) {
        Say(TranslateText(QStringLiteral("[2795]Nie ma badania o nazwie %1")).arg(name));
        code = kExitUsage;
    }
    return study;
}

std::vector<StudyPosition> Planned(const StudyDefinition& s) {
    std::vector<StudyPosition> out;
    for (const StudyPositionPlan& p : s.positions) out.push_back({p.label, p.serial, nullptr, std::nullopt});
    return out;
}

int Create(const CliContext& c, Archive& archive) {
    const CliOptions::Study& o = c.options.study;
    StudyDefinition s;
    s.name = o.name.trimmed();
    s.kind = o.kind;
    const auto from = ParseClock(c.options.from), to = ParseClock(c.options.to);
    if (!from || !to) return Usage(QStringLiteral("--from and --to take YYYY-MM-DD or YYYY-MM-DD HH:MM:SS"));
    s.from = *from;
    s.to = *to;
    if (!o.stabilise.isEmpty()) {
        const auto seconds = ParseDuration(o.stabilise);
        if (!seconds) return Usage(QStringLiteral("--stabilise takes a duration like 90m, 2h or 1d"));
        s.stabiliseSeconds = *seconds;
    }
    if (!o.temperature.isEmpty() && !ParseRange(o.temperature, s.criteria.temperatureLow, s.criteria.temperatureHigh))
        return Usage(QStringLiteral("--temperature takes LOW:HIGH in °C, low below high (--temperature=-25:-15)"));
    if (!o.humidity.isEmpty() && !ParseRange(o.humidity, s.criteria.humidityLow, s.criteria.humidityHigh))
        return Usage(QStringLiteral("--humidity takes LOW:HIGH in %, low below high"));
    if (!o.maxSpread.isEmpty()) {
        s.criteria.maxSpread = ParseNumber(o.maxSpread);
        if (!s.criteria.maxSpread || *s.criteria.maxSpread < 0)
            return Usage(QStringLiteral("--max-spread takes degrees, zero or more"));
    }
    if (s.name.isEmpty()) return Usage(QStringLiteral("a study needs a name"));
    if (const QString problem = PeriodProblem(s.Period()); !problem.isEmpty()) return Usage(problem);
    int code = kExitDone;
    std::optional<StudyDefinition> existing;
    if (!archive.LoadStudy(s.name, existing)) return Say(English(archive.LastError())), kExitArchive;
    if (existing) return Usage(QStringLiteral("the archive holds a study named %1 already").arg(s.name));
    if (!archive.SaveStudy(s, LocalChange(ChangeKind::Study, CliProgram(), {})))
        return Say(English(archive.LastError())), kExitArchive;
    Print(QStringLiteral("study %1 created: %2 to %3\n").arg(s.name, ClockText(s.from), ClockText(s.to)));
    return code;
}

int Add(const CliContext& c, Archive& archive) {
    const CliOptions::Study& o = c.options.study;
    int code = kExitDone;
    auto study = LoadStudy(archive, o.name, code);
    if (!study) return code;
    StudyPositionPlan position;
    position.label = o.position.trimmed();
    if (!o.file.isEmpty()) {
        // The file goes into the archive first, as archive import takes it; the position names its log.
        ResultsStore read;
        const ReadResultsOutcome outcome = ReadResultsFile(o.file, read);
        if (!outcome.ok) return Usage(outcome.errorText);
        if (const int imported = ImportResultsFiles(c, archive, {o.file}); imported != kExitDone) return imported;
        position.serial = read.serialNumber;
        position.logStart = read.IsEmpty() ? 0 : MomentSeconds(read.At(0).time);
        position.sourceFile = QFileInfo(o.file).fileName();
    } else {
        position.serial = c.options.serial;
        if (!c.options.logStart.isEmpty()) {
            const auto start = ParseClock(c.options.logStart);
            if (!start) return Usage(QStringLiteral("--log takes YYYY-MM-DD or YYYY-MM-DD HH:MM:SS"));
            position.logStart = MomentSeconds(*start);
        }
    }
    study->positions.push_back(position);
    if (const QString problem = StudyProblem(study->Period(), Planned(*study), false); !problem.isEmpty())
        return Usage(problem);
    if (!archive.SaveStudy(*study, LocalChange(ChangeKind::Study, CliProgram(), position.serial)))
        return Say(English(archive.LastError())), kExitArchive;
    Print(QStringLiteral("position %1 of study %2: logger %3\n").arg(position.label, study->name, position.serial));
    return kExitDone;
}

int List(const CliContext& c, Archive& archive) {
    const auto names = archive.StudyNames();
    if (!names) return Say(English(archive.LastError())), kExitArchive;
    QJsonArray list;
    QString text;
    for (const QString& name : *names) {
        std::optional<StudyDefinition> s;
        if (!archive.LoadStudy(name, s) || !s) return Say(English(archive.LastError())), kExitArchive;
        QJsonArray positions;
        for (const StudyPositionPlan& p : s->positions)
            positions.append(QJsonObject{{QStringLiteral("position"), p.label}, {QStringLiteral("serial"), p.serial}});
        list.append(QJsonObject{{QStringLiteral("study"), s->name},
                                {QStringLiteral("kind"), s->kind},
                                {QStringLiteral("from"), FromMoment(s->from).toString(Qt::ISODate)},
                                {QStringLiteral("to"), FromMoment(s->to).toString(Qt::ISODate)},
                                {QStringLiteral("stabilise_s"), static_cast<double>(s->stabiliseSeconds)},
                                {QStringLiteral("positions"), positions}});
        text += QStringLiteral("%1  %2 to %3  %4 positions%5\n")
                    .arg(s->name, ClockText(s->from), ClockText(s->to))
                    .arg(s->positions.size())
                    .arg(s->kind.isEmpty() ? QString() : QStringLiteral("  ") + s->kind);
    }
    if (c.options.json)
        Print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("archive"), archive.Location().Display()},
                                                          {QStringLiteral("studies"), list}})
                                    .toJson(QJsonDocument::Indented)));
    else
        Print(text);
    return kExitDone;
}

// The archived log that stood at the position: the one its start names, else the logger's log
// that began last before the study's end (a file's own when the position names a file).
std::optional<std::int64_t> PositionLog(Archive& archive, const StudyDefinition& s, const StudyPositionPlan& p,
                                        int& code) {
    const auto logs = archive.Logs(p.serial);
    if (!logs) {
        Say(English(archive.LastError()));
        code = kExitArchive;
        return std::nullopt;
    }
    const ArchiveLogRow* chosen = nullptr;
    for (const ArchiveLogRow& l : *logs) {
        if (l.sourceFile != p.sourceFile) continue;
        if (p.logStart ? l.key.startSeconds != *p.logStart : l.key.startSeconds > MomentSeconds(s.to)) continue;
        if (!chosen || l.key.startSeconds > chosen->key.startSeconds) chosen = &l;
    }
    if (!chosen) {
        Say(TranslateText(QStringLiteral("[2784]Położenie „%1” nie ma zapisu rejestratora")).arg(p.label));
        code = kExitUsage;
        return std::nullopt;
    }
    return chosen->id;
}

double Round(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

QJsonObject PositionJson(const PositionFigures& f) {
    QJsonObject o{{QStringLiteral("position"), f.label},
                  {QStringLiteral("serial"), f.serial},
                  {QStringLiteral("records"), f.records},
                  {QStringLiteral("coverage"), Round(f.coverage, 4)},
                  {QStringLiteral("calibration"), CalibrationUseKey(f.calibration)},
                  {QStringLiteral("pass"), f.pass}};
    if (f.records > 0) {
        o.insert(QStringLiteral("min_C"), Round(f.temperature.min, 1));
        o.insert(QStringLiteral("max_C"), Round(f.temperature.max, 1));
        o.insert(QStringLiteral("mean_C"), Round(f.temperature.mean, 2));
        o.insert(QStringLiteral("mkt_C"),
                 f.kineticTemperature ? QJsonValue(Round(*f.kineticTemperature, 2)) : QJsonValue());
        o.insert(QStringLiteral("swing_C"), Round(f.swing, 1));
        if (f.humidity) {
            o.insert(QStringLiteral("min_pct"), Round(f.humidityFigures.min, 1));
            o.insert(QStringLiteral("max_pct"), Round(f.humidityFigures.max, 1));
            o.insert(QStringLiteral("mean_pct"), Round(f.humidityFigures.mean, 2));
        }
    }
    return o;
}

QString Figure(double v, int decimals) { return QString::number(v, 'f', decimals); }

QString PositionLine(const PositionFigures& f) {
    QString line = QStringLiteral("%1  %2  %3 records").arg(f.label, f.serial).arg(f.records);
    if (f.records > 0) {
        line +=
            QStringLiteral("  min %1 max %2 mean %3 MKT %4 swing %5 °C")
                .arg(Figure(f.temperature.min, 1), Figure(f.temperature.max, 1), Figure(f.temperature.mean, 2),
                     f.kineticTemperature ? Figure(*f.kineticTemperature, 2) : QStringLiteral("-"), Figure(f.swing, 1));
        if (f.temperatureUncertainty > 0) line += QStringLiteral(" (±%1)").arg(Figure(f.temperatureUncertainty, 2));
        if (f.humidity)
            line += QStringLiteral("  humidity min %1 max %2 mean %3 %")
                        .arg(Figure(f.humidityFigures.min, 1), Figure(f.humidityFigures.max, 1),
                             Figure(f.humidityFigures.mean, 2));
    }
    if (f.coverage < 1.0) line += QStringLiteral("  ") + CoverageText(f.coverage);
    line += QStringLiteral("  calibration %1  %2").arg(CalibrationUseKey(f.calibration), f.pass ? "PASS" : "FAIL");
    return line;
}

int Evaluate(const CliContext& c, Archive& archive) {
    int code = kExitDone;
    const auto study = LoadStudy(archive, c.options.study.name, code);
    if (!study) return code;
    const auto calibrations = archive.Calibrations();
    if (!calibrations) return Say(English(archive.LastError())), kExitArchive;
    QHash<QString, Calibration> bySerial;
    for (const Calibration& cal : *calibrations) bySerial.insert(cal.serial, cal);
    std::vector<std::unique_ptr<ResultsStore>> logs;
    std::vector<StudyPosition> positions;
    for (const StudyPositionPlan& p : study->positions) {
        const auto log = PositionLog(archive, *study, p, code);
        if (!log) return code;
        auto store = std::make_unique<ResultsStore>();
        if (!archive.LoadRecords(*log, *store, study->from, study->to))
            return Say(English(archive.LastError())), kExitArchive;
        const auto cal = bySerial.constFind(p.serial);
        positions.push_back({p.label, p.serial, store.get(),
                             cal == bySerial.constEnd() ? std::nullopt : std::optional<Calibration>(*cal)});
        logs.push_back(std::move(store));
    }
    if (const QString problem = StudyProblem(study->Period(), positions); !problem.isEmpty()) return Usage(problem);
    const StudyResult r = AnalyseStudy(study->Period(), study->criteria, positions);
    auto label = [&](int i) { return i < 0 ? QString() : r.positions[static_cast<std::size_t>(i)].label; };
    if (c.options.json) {
        QJsonArray list;
        for (const PositionFigures& f : r.positions) list.append(PositionJson(f));
        const QJsonValue spread =
            r.largestSpread
                ? QJsonValue(QJsonObject{{QStringLiteral("value"), Round(r.largestSpread->value, 1)},
                                         {QStringLiteral("at"), FromMoment(r.largestSpread->at).toString(Qt::ISODate)}})
                : QJsonValue();
        Print(QString::fromUtf8(
            QJsonDocument(
                QJsonObject{{QStringLiteral("study"), study->name},
                            {QStringLiteral("from"), FromMoment(study->from).toString(Qt::ISODate)},
                            {QStringLiteral("to"), FromMoment(study->to).toString(Qt::ISODate)},
                            {QStringLiteral("stabilise_s"), static_cast<double>(study->stabiliseSeconds)},
                            {QStringLiteral("verdict"), r.pass ? QStringLiteral("pass") : QStringLiteral("fail")},
                            {QStringLiteral("hot_spot"), label(r.hotSpot)},
                            {QStringLiteral("cold_spot"), label(r.coldSpot)},
                            {QStringLiteral("spread_max_C"), spread},
                            {QStringLiteral("positions"), list}})
                .toJson(QJsonDocument::Indented)));
    } else {
        QString text =
            QStringLiteral("study %1%2: %3 to %4, analysed from %5 (stabilisation %6 s), grid %7 s\n")
                .arg(study->name, study->kind.isEmpty() ? QString() : QStringLiteral(" (") + study->kind + u')',
                     ClockText(study->from), ClockText(study->to), ClockText(r.analysedFrom))
                .arg(study->stabiliseSeconds)
                .arg(r.gridSeconds);
        for (const PositionFigures& f : r.positions) text += PositionLine(f) + u'\n';
        text += QStringLiteral("hot spot %1, cold spot %2, warmest mean %3, coldest mean %4\n")
                    .arg(label(r.hotSpot), label(r.coldSpot), label(r.warmestMean), label(r.coldestMean));
        if (r.largestSpread)
            text += QStringLiteral("largest spread %1 °C at %2%3\n")
                        .arg(Figure(r.largestSpread->value, 1), ClockText(r.largestSpread->at),
                             r.spreadPass ? QString() : QStringLiteral(" (beyond the allowed spread)"));
        text += QStringLiteral("verdict: %1\n").arg(r.pass ? "PASS" : "FAIL");
        Print(text);
    }
    return r.pass ? kExitDone : kExitFails;
}

}  // namespace

int RunStudy(const CliContext& c) {
    if (c.archive.kind == ArchiveLocation::Kind::None)
        return Usage(QStringLiteral("studies live in an archive; --archive none names none"));
    // What is said is in English, as the other archive commands say it.
    ProgramTexts texts;
    texts.SetLanguage(kLanguageEnglish);
    texts.Install();
    const bool writes =
        c.options.command == CliOptions::Command::StudyCreate || c.options.command == CliOptions::Command::StudyAdd;
    auto archive = c.OpenArchive(writes ? CliContext::ArchiveUse::Write : CliContext::ArchiveUse::Read);
    if (!archive) return kExitArchive;
    switch (c.options.command) {
    case CliOptions::Command::StudyCreate:
        return Create(c, *archive);
    case CliOptions::Command::StudyAdd:
        return Add(c, *archive);
    case CliOptions::Command::StudyList:
        return List(c, *archive);
    default:
        return Evaluate(c, *archive);
    }
}

}  // namespace quorvex
