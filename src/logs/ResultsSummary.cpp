#include "logs/ResultsSummary.h"

#include <QLocale>

#include "logs/DewPoint.h"

#include <functional>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvex {
namespace {

void TakeIn(ResultsSummary::Series& s, float value, int index) {
    if (index == 0 || value < s.min) {
        s.min = value;
        s.minIndex = index;
    }
    if (index == 0 || value > s.max) {
        s.max = value;
        s.maxIndex = index;
    }
    s.sum += value;
}

void TakeInDewPoint(ResultsSummary::Series& s, float value, int index, bool first) {
    if (first || value < s.min) {
        s.min = value;
        s.minIndex = index;
    }
    if (first || value > s.max) {
        s.max = value;
        s.maxIndex = index;
    }
    s.sum += value;
}

void TakeIn(ResultsSummary::Limit& limit, bool beyond) {
    if (beyond) {
        ++limit.beyond;
        if (!limit.inRun) ++limit.excursions;
    }
    limit.inRun = beyond;
}

QString MomentText(const ResultsStore& store, int index) {
    if (index < 0 || index >= store.Count()) return {};
    const QDateTime moment = FromMoment(store.At(index).time);
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

}  // namespace

void ResultsSummary::Restart(const ResultsStore& store) {
    generation_ = store.Generation();
    thresholds_ = store.thresholds;
    count_ = 0;
    temperature_ = humidity_ = dewPoint_ = Series{};
    withDewPoint_ = store.HasHumidity();
    dewPointCount_ = 0;
    hasLimits_ = thresholds_.has_value();
    const Thresholds t = thresholds_.value_or(Thresholds{});
    limits_[HighTemp] = Limit{t.highTemp};
    limits_[LowTemp] = Limit{t.lowTemp};
    limits_[HighHum] = Limit{t.highHum};
    limits_[LowHum] = Limit{t.lowHum};
    kineticSum_ = 0.0;
    belowAbsoluteZero_ = false;
}

void ResultsSummary::Update(const ResultsStore& store) {
    if (store.Generation() != generation_ || store.thresholds != thresholds_ || store.Count() < count_ ||
        store.HasHumidity() != withDewPoint_)
        Restart(store);
    const double reference = kActivationOverR / kZeroCelsius;
    for (int i = count_; i < store.Count(); ++i) {
        const LogRecord& r = store.At(i);
        TakeIn(temperature_, r.temperature, i);
        TakeIn(humidity_, r.humidity, i);
        if (withDewPoint_) {
            if (const auto dew = quorvex::DewPoint(r.temperature, r.humidity)) {
                TakeInDewPoint(dewPoint_, *dew, i, dewPointCount_ == 0);
                ++dewPointCount_;
            }
        }
        const double kelvin = static_cast<double>(r.temperature) + kZeroCelsius;
        if (kelvin > 0.0)
            kineticSum_ += std::exp(reference - kActivationOverR / kelvin);
        else
            belowAbsoluteZero_ = true;
        if (hasLimits_) {
            TakeIn(limits_[HighTemp], r.temperature > limits_[HighTemp].value);
            TakeIn(limits_[LowTemp], r.temperature < limits_[LowTemp].value);
            TakeIn(limits_[HighHum], r.humidity > limits_[HighHum].value);
            TakeIn(limits_[LowHum], r.humidity < limits_[LowHum].value);
        }
    }
    count_ = store.Count();
}

std::optional<double> ResultsSummary::MeanKineticTemperature() const {
    if (count_ == 0 || belowAbsoluteZero_) return std::nullopt;
    const double mean = kineticSum_ / count_;
    const double denominator = kActivationOverR / kZeroCelsius - std::log(mean);
    if (!(mean > 0.0) || !(denominator > 0.0) || !std::isfinite(denominator)) return std::nullopt;
    return kActivationOverR / denominator - kZeroCelsius;
}

QList<LoggerInfoRow> SummaryRows(const ResultsSummary& summary, const ResultsStore& store, QChar separator) {
    QList<LoggerInfoRow> rows;
    auto row = [&](const char16_t* caption, const QString& value, const QString& suffix = {}) {
        QString text = TranslateText(QString::fromUtf16(caption));
        if (!suffix.isEmpty()) text += u' ' + suffix;
        rows.push_back({text, value});
    };
    // An opened file's signature closes the summary, so that a printout of it says it too.
    const auto withSignature = [&]() {
        if (store.signature) row(u"[2531]Podpis", store.signature->Text());
        return rows;
    };
    row(u"[2136]Liczba rekordów", QString::number(summary.Count()));
    if (summary.Count() == 0) return withSignature();
    row(u"[2148]Pierwszy rekord", MomentText(store, 0));
    row(u"[2149]Ostatni rekord", MomentText(store, store.Count() - 1));

    using Text = std::function<QString(float)>;
    const Text temperatureText = [&](float v) { return LogTemperatureText(v, separator); };
    const Text humidityText = [&](float v) { return LogHumidityText(v, separator); };
    auto extreme = [&](float value, int index, const Text& text) {
        return text(value) + QStringLiteral("  ") + MomentText(store, index);
    };
    const ResultsSummary::Series& t = summary.Temperature();
    row(u"[2137]Temperatura minimalna", extreme(t.min, t.minIndex, temperatureText));
    row(u"[2138]Temperatura maksymalna", extreme(t.max, t.maxIndex, temperatureText));
    row(u"[2139]Temperatura średnia", temperatureText(static_cast<float>(summary.MeanTemperature())));
    const bool humidity = store.HasHumidity();
    if (humidity) {
        const ResultsSummary::Series& h = summary.Humidity();
        row(u"[2140]Wilgotność minimalna", extreme(h.min, h.minIndex, humidityText));
        row(u"[2141]Wilgotność maksymalna", extreme(h.max, h.maxIndex, humidityText));
        row(u"[2142]Wilgotność średnia", humidityText(static_cast<float>(summary.MeanHumidity())));
        if (summary.DewPointCount() > 0) {
            const ResultsSummary::Series& d = summary.DewPoint();
            row(u"[2421]Punkt rosy minimalny", extreme(d.min, d.minIndex, temperatureText));
            row(u"[2422]Punkt rosy maksymalny", extreme(d.max, d.maxIndex, temperatureText));
            row(u"[2423]Punkt rosy średni", temperatureText(static_cast<float>(summary.MeanDewPoint())));
        }
    }
    if (summary.HasLimits()) {
        using L = ResultsSummary;
        const std::int64_t interval = std::max<std::int64_t>(0, store.intervalSeconds);
        auto limitRows = [&](L::LimitIndex index, const char16_t* time, const char16_t* count, const Text& text) {
            const L::Limit& limit = summary.LimitAt(index);
            const QString threshold = u'(' + text(limit.value) + u')';
            const std::int64_t seconds =
                std::min<std::int64_t>(limit.beyond * interval, std::numeric_limits<std::uint32_t>::max());
            row(time, IntervalText(static_cast<std::uint32_t>(seconds)), threshold);
            row(count, QString::number(limit.excursions), threshold);
        };
        limitRows(L::HighTemp, u"[2143]Czas powyżej progu górnego", u"[2145]Przekroczenia progu górnego",
                  temperatureText);
        limitRows(L::LowTemp, u"[2144]Czas poniżej progu dolnego", u"[2146]Przekroczenia progu dolnego",
                  temperatureText);
        if (humidity) {
            limitRows(L::HighHum, u"[2143]Czas powyżej progu górnego", u"[2145]Przekroczenia progu górnego",
                      humidityText);
            limitRows(L::LowHum, u"[2144]Czas poniżej progu dolnego", u"[2146]Przekroczenia progu dolnego",
                      humidityText);
        }
    }
    const auto mkt = summary.MeanKineticTemperature();
    row(u"[2147]Średnia temperatura kinetyczna (MKT)", mkt ? temperatureText(static_cast<float>(*mkt)) : QString());
    return withSignature();
}

QList<LoggerInfoRow> SummaryRows(const ResultsSummary& summary, const ResultsStore& store, QChar separator,
                                 const Verdict& verdict, const QString& fingerprint) {
    QList<LoggerInfoRow> rows = SummaryRows(summary, store, separator);
    // The signature's row still closes the summary, after the verdict and the fingerprint.
    std::optional<LoggerInfoRow> signature;
    if (store.signature && !rows.isEmpty()) signature = rows.takeLast();
    const QString heading = TranslateText(QStringLiteral("[2403]Ocena zgodności"));
    if (!verdict.Evaluated()) {
        rows.push_back({heading, VerdictLines(verdict, separator).value(0)});
    } else {
        int number = 0;
        for (const RuleVerdict& v : verdict.rules) {
            QString value = VerdictWord(v);
            if (v.kineticTemperature)
                value +=
                    QStringLiteral(" (MKT %1)").arg(SeriesValueText(v.rule.series, *v.kineticTemperature, separator));
            rows.push_back({QStringLiteral("%1. %2").arg(++number).arg(RuleText(v.rule, separator)), value});
            Verdict one;
            one.rules.push_back(v);
            // The excursion lines of VerdictLines, between its rule line and its overall line.
            const QStringList lines = VerdictLines(one, separator);
            for (qsizetype i = 1; i + 1 < lines.size(); ++i) rows.push_back({lines[i], QString()});
        }
        rows.push_back({TranslateText(QStringLiteral("[2412]Ocena ogólna")), VerdictWord(verdict.Pass())});
    }
    rows.push_back({TranslateText(QStringLiteral("[2425]Odcisk danych (SHA-256)")), fingerprint});
    if (signature) rows.push_back(*signature);
    return rows;
}

}  // namespace quorvex
