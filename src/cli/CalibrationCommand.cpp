// quorvex-cli calibration set | list: each logger's calibration, kept in the archive by serial.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommands.h"
#include "i18n/ProgramTexts.h"

namespace quorvex {

namespace {

std::optional<float> Number(const QString& text, float absent) {
    if (text.isEmpty()) return absent;
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const float v = t.toFloat(&ok);
    return ok ? std::optional<float>(v) : std::nullopt;
}

int Set(const CliContext& c, Archive& archive) {
    const CliOptions::Study& o = c.options.study;
    Calibration cal;
    cal.serial = c.options.serial;
    cal.certificate = o.certificate;
    cal.date = QDate::fromString(o.date, Qt::ISODate);
    cal.due = QDate::fromString(o.due, Qt::ISODate);
    if (!cal.date.isValid() || !cal.due.isValid()) {
        Say(QStringLiteral("--date and --due take YYYY-MM-DD"));
        return kExitUsage;
    }
    const struct {
        const QString& text;
        float& into;
        const char* option;
    } numbers[] = {{o.temperatureOffset, cal.temperatureOffset, "temperature-offset"},
                   {o.humidityOffset, cal.humidityOffset, "humidity-offset"},
                   {o.temperatureUncertainty, cal.temperatureUncertainty, "temperature-uncertainty"},
                   {o.humidityUncertainty, cal.humidityUncertainty, "humidity-uncertainty"}};
    for (const auto& n : numbers) {
        const auto v = Number(n.text, 0.0f);
        if (!v) {
            Say(QStringLiteral("--%1 takes a number, not '%2'").arg(QLatin1String(n.option), n.text));
            return kExitUsage;
        }
        n.into = *v;
    }
    if (const QString problem = CalibrationProblem(cal); !problem.isEmpty()) {
        Say(problem);
        return kExitUsage;
    }
    if (!archive.SaveCalibration(cal, LocalChange(ChangeKind::Calibration, CliProgram(), cal.serial))) {
        Say(English(archive.LastError()));
        return kExitArchive;
    }
    Print(QStringLiteral("calibration of logger %1 recorded: %2, due %3\n")
              .arg(cal.serial, cal.date.toString(Qt::ISODate), cal.due.toString(Qt::ISODate)));
    return kExitDone;
}

int List(const CliContext& c, Archive& archive) {
    const auto all = archive.Calibrations();
    if (!all) {
        Say(English(archive.LastError()));
        return kExitArchive;
    }
    QJsonArray list;
    QString text;
    const QDate today = QDate::currentDate();
    for (const Calibration& cal : *all) {
        list.append(QJsonObject{{QStringLiteral("serial"), cal.serial},
                                {QStringLiteral("certificate"), cal.certificate},
                                {QStringLiteral("date"), cal.date.toString(Qt::ISODate)},
                                {QStringLiteral("due"), cal.due.toString(Qt::ISODate)},
                                {QStringLiteral("temperature_offset_C"), cal.temperatureOffset},
                                {QStringLiteral("humidity_offset_pct"), cal.humidityOffset},
                                {QStringLiteral("temperature_uncertainty_C"), cal.temperatureUncertainty},
                                {QStringLiteral("humidity_uncertainty_pct"), cal.humidityUncertainty}});
        text += QStringLiteral("%1  %2  calibrated %3  due %4%5  offsets %6 °C %7 %  uncertainty %8 °C %9 %\n")
                    .arg(cal.serial, cal.certificate.isEmpty() ? QStringLiteral("-") : cal.certificate,
                         cal.date.toString(Qt::ISODate), cal.due.toString(Qt::ISODate),
                         cal.due < today ? QStringLiteral(" (overdue)") : QString())
                    .arg(cal.temperatureOffset)
                    .arg(cal.humidityOffset)
                    .arg(cal.temperatureUncertainty)
                    .arg(cal.humidityUncertainty);
    }
    if (c.options.json)
        Print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("archive"), archive.Location().Display()},
                                                          {QStringLiteral("calibrations"), list}})
                                    .toJson(QJsonDocument::Indented)));
    else
        Print(text);
    return kExitDone;
}

}  // namespace

int RunCalibration(const CliContext& c) {
    if (c.archive.kind == ArchiveLocation::Kind::None) {
        Say(QStringLiteral("calibrations live in an archive; --archive none names none"));
        return kExitUsage;
    }
    ProgramTexts texts;
    texts.SetLanguage(kLanguageEnglish);
    texts.Install();
    const bool set = c.options.command == CliOptions::Command::CalibrationSet;
    auto archive = c.OpenArchive(set ? CliContext::ArchiveUse::Write : CliContext::ArchiveUse::Read);
    if (!archive) return kExitArchive;
    return set ? Set(c, *archive) : List(c, *archive);
}

}  // namespace quorvex
