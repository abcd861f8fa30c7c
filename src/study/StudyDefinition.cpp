#include "study/StudyDefinition.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quorvex {

namespace {

const char* const kLimitKeys[] = {"temperature_low", "temperature_high", "humidity_low", "humidity_high"};

std::optional<StudyLimit>* Limits(StudyCriteria& c, int k) {
    std::optional<StudyLimit>* all[] = {&c.temperatureLow, &c.temperatureHigh, &c.humidityLow, &c.humidityHigh};
    return all[k];
}

}  // namespace

QString CriteriaText(const StudyCriteria& criteria) {
    StudyCriteria c = criteria;
    QJsonObject o;
    for (int k = 0; k < 4; ++k) {
        const std::optional<StudyLimit>& limit = *Limits(c, k);
        if (!limit) continue;
        o.insert(QLatin1String(kLimitKeys[k]),
                 QJsonObject{
                     {QStringLiteral("value"), static_cast<double>(limit->value)},
                     {QStringLiteral("allowed_s"), static_cast<double>(limit->allowedSeconds)},
                     {QStringLiteral("measure"),
                      limit->measure == RuleMeasure::TotalTime ? QStringLiteral("total") : QStringLiteral("single")}});
    }
    if (c.maxSpread) o.insert(QStringLiteral("max_spread"), static_cast<double>(*c.maxSpread));
    o.insert(QStringLiteral("apply_calibration"), c.applyCalibration);
    o.insert(QStringLiteral("judge_with_uncertainty"), c.judgeWithUncertainty);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

std::optional<StudyCriteria> CriteriaFromText(const QString& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonObject o = doc.object();
    StudyCriteria c;
    for (int k = 0; k < 4; ++k) {
        const QJsonValue v = o.value(QLatin1String(kLimitKeys[k]));
        if (v.isUndefined()) continue;
        if (!v.isObject()) return std::nullopt;
        const QJsonObject l = v.toObject();
        if (!l.value(QStringLiteral("value")).isDouble()) return std::nullopt;
        *Limits(c, k) = StudyLimit{static_cast<float>(l.value(QStringLiteral("value")).toDouble()),
                                   static_cast<std::int64_t>(l.value(QStringLiteral("allowed_s")).toDouble()),
                                   l.value(QStringLiteral("measure")).toString() == QLatin1String("single")
                                       ? RuleMeasure::SingleExcursion
                                       : RuleMeasure::TotalTime};
    }
    if (o.value(QStringLiteral("max_spread")).isDouble())
        c.maxSpread = static_cast<float>(o.value(QStringLiteral("max_spread")).toDouble());
    c.applyCalibration = o.value(QStringLiteral("apply_calibration")).toBool(true);
    c.judgeWithUncertainty = o.value(QStringLiteral("judge_with_uncertainty")).toBool(false);
    return c;
}

}  // namespace quorvex
