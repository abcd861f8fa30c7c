#include "logs/ExcursionRules.h"

#include <QLocale>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "i18n/ProgramTexts.h"
#include "logs/DewPoint.h"
#include "logs/LogRecord.h"
#include "logs/ResultsSummary.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "settings/IniFile.h"

namespace quorvex {
namespace {

constexpr double kMsPerDay = 86'400'000.0;

// One value rule followed through the records.
struct Tracker {
    int rule = 0;   // index into the verdict's rules
    int value = 0;  // 0 temperature, 1 humidity, 2 dew point
    bool above = true;
    float limit = 0.0f;
    bool single = true;
    std::int64_t allowedMs = 0;
    bool inRun = false;
    Excursion run;
    bool wasBeyond = false;  // the record before the one being read
    float previousValue = 0.0f;
};

// Logs repeat the same few hundred pairs of temperature and humidity over and
// over: their dew points are kept, by the pair's exact bits, in a small table.
class DewPointCache {
public:
    DewPointCache() : slots_(kSlots) {}
    std::optional<float> Get(float temperature, float humidity) {
        const std::uint64_t key = (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(temperature)) << 32) |
                                  std::bit_cast<std::uint32_t>(humidity);
        Slot& slot = slots_[static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kBits))];
        if (!slot.used || slot.key != key) slot = {key, true, DewPoint(temperature, humidity)};
        return slot.dew;
    }

private:
    static constexpr int kBits = 12;
    static constexpr std::size_t kSlots = std::size_t{1} << kBits;
    struct Slot {
        std::uint64_t key = 0;
        bool used = false;
        std::optional<float> dew;
    };
    std::vector<Slot> slots_;
};

bool Breaks(std::int64_t ms, std::int64_t allowedMs) { return allowedMs == 0 || ms > allowedMs; }

void Close(Tracker& t, RuleVerdict& v, Moment lastMoment, std::int64_t lastSpanMs) {
    t.inRun = false;
    t.run.end = lastMoment + static_cast<double>(lastSpanMs) / kMsPerDay;
    ++v.excursions;
    v.longestMs = std::max(v.longestMs, t.run.durationMs);
    // A total-time rule keeps every excursion until the end decides.
    if (!t.single || Breaks(t.run.durationMs, t.allowedMs)) v.breaking.push_back(t.run);
}

const char* SeriesKey(RuleSeries s) {
    switch (s) {
    case RuleSeries::Temperature:
        return "temperature";
    case RuleSeries::Humidity:
        return "humidity";
    case RuleSeries::DewPoint:
        return "dewpoint";
    case RuleSeries::KineticTemperature:
        return "mkt";
    }
    return "";
}

QString Tr(const char16_t* text) { return TranslateText(QString::fromUtf16(text)); }

QString MomentText(Moment m) {
    const QDateTime moment = FromMoment(m);
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

}  // namespace

bool Verdict::Evaluated() const {
    return std::any_of(rules.begin(), rules.end(), [](const RuleVerdict& r) { return r.applies; });
}

bool Verdict::Pass() const {
    return std::all_of(rules.begin(), rules.end(), [](const RuleVerdict& r) { return !r.applies || r.pass; });
}

bool RuleApplies(const ExcursionRule& rule, bool humidity) {
    return humidity || rule.series == RuleSeries::Temperature || rule.series == RuleSeries::KineticTemperature;
}

QList<ExcursionRule> DefaultRules(const ResultsStore& store) {
    QList<ExcursionRule> rules;
    if (!store.thresholds) return rules;
    const Thresholds& t = *store.thresholds;
    rules.push_back({RuleSeries::Temperature, RuleSide::Above, t.highTemp});
    rules.push_back({RuleSeries::Temperature, RuleSide::Below, t.lowTemp});
    if (store.HasHumidity()) {
        rules.push_back({RuleSeries::Humidity, RuleSide::Above, t.highHum});
        rules.push_back({RuleSeries::Humidity, RuleSide::Below, t.lowHum});
    }
    return rules;
}

Verdict EvaluateRules(const ResultsStore& store, const QList<ExcursionRule>& rules) {
    Verdict verdict;
    const bool humidity = store.HasHumidity();
    std::vector<Tracker> trackers;
    bool dewPoint = false, kinetic = false;
    for (const ExcursionRule& rule : rules) {
        RuleVerdict judged;
        judged.rule = rule;
        judged.applies = RuleApplies(rule, humidity);
        verdict.rules.push_back(judged);
        if (!judged.applies) continue;
        if (rule.series == RuleSeries::KineticTemperature) {
            kinetic = true;
            continue;
        }
        Tracker t;
        t.rule = static_cast<int>(verdict.rules.size()) - 1;
        t.value = rule.series == RuleSeries::Temperature ? 0 : rule.series == RuleSeries::Humidity ? 1 : 2;
        t.above = rule.side == RuleSide::Above;
        t.limit = rule.limit;
        t.single = rule.measure == RuleMeasure::SingleExcursion;
        t.allowedMs = std::max<std::int64_t>(0, rule.allowedSeconds) * 1000;
        dewPoint = dewPoint || t.value == 2;
        trackers.push_back(t);
    }

    const int n = store.Count();
    const std::int64_t intervalMs = std::max<std::int64_t>(0, store.intervalSeconds) * 1000;
    if (!trackers.empty() && n > 0) {
        // A record is taken in once the next one tells how long it stands for
        // and whether the run it belongs to goes on.
        const LogRecord* previous = nullptr;
        int index = 0;
        std::int64_t gapMs = 0;  // the spacing before the record last seen
        // Takes the previous record into tracker `t`'s run; `goesOn`: the run
        // continues into the record now read.
        auto takeIn = [&](Tracker& t, std::int64_t spanMs, bool goesOn) {
            RuleVerdict& v = verdict.rules[t.rule];
            if (!t.inRun) {
                t.inRun = true;
                t.run = Excursion{index - 1, index - 1, previous->time, previous->time, 0, t.previousValue};
            } else if (t.above ? t.previousValue > t.run.peak : t.previousValue < t.run.peak) {
                t.run.peak = t.previousValue;
            }
            t.run.lastRecord = index - 1;
            t.run.durationMs += spanMs;
            v.totalMs += spanMs;
            if (!goesOn) Close(t, v, previous->time, spanMs);
        };
        DewPointCache dewPoints;
        store.ForEach(0, n - 1, [&](const LogRecord& r) {
            float values[3] = {r.temperature, r.humidity, 0.0f};
            bool known[3] = {true, true, true};
            if (dewPoint) {
                const std::optional<float> dew = dewPoints.Get(r.temperature, r.humidity);
                known[2] = dew.has_value();
                values[2] = dew.value_or(0.0f);
            }
            std::int64_t span = 0;
            bool continues = true;
            if (previous) {
                gapMs = std::max<std::int64_t>(0, std::llround((r.time - previous->time) * kMsPerDay));
                span = intervalMs > 0 ? std::min(gapMs, intervalMs) : gapMs;
                continues = intervalMs == 0 || gapMs <= intervalMs;
            }
            for (Tracker& t : trackers) {
                const float value = values[t.value];
                const bool beyond = known[t.value] && (t.above ? value > t.limit : value < t.limit);
                if (t.wasBeyond) takeIn(t, span, continues && beyond);
                t.wasBeyond = beyond;
                t.previousValue = value;
            }
            previous = &r;
            ++index;
        });
        for (Tracker& t : trackers)
            if (t.wasBeyond) takeIn(t, intervalMs > 0 ? intervalMs : gapMs, false);
    }

    std::optional<double> mkt;
    if (kinetic) {
        ResultsSummary summary;
        summary.Update(store);
        mkt = summary.MeanKineticTemperature();
    }
    for (RuleVerdict& v : verdict.rules) {
        if (!v.applies) continue;
        if (v.rule.series == RuleSeries::KineticTemperature) {
            v.kineticTemperature = mkt;
            v.pass = !(mkt && *mkt > v.rule.limit);
            continue;
        }
        const std::int64_t allowedMs = std::max<std::int64_t>(0, v.rule.allowedSeconds) * 1000;
        if (v.rule.measure == RuleMeasure::SingleExcursion) {
            v.pass = v.breaking.isEmpty();
        } else {
            v.pass = v.excursions == 0 || !Breaks(v.totalMs, allowedMs);
            if (v.pass) v.breaking.clear();
        }
    }
    return verdict;
}

StoredRules LoadRules(const IniFile& settings) {
    StoredRules result;
    const QString countText = settings.ReadString(kRulesSection, QStringLiteral("Count"), {}).trimmed();
    if (countText.isEmpty()) return result;
    result.stored = true;
    auto fail = [&](const QString& key) {
        result.rules.clear();
        result.error = QStringLiteral("[%1] %2").arg(kRulesSection, key);
        return result;
    };
    bool ok = false;
    const int count = countText.toInt(&ok);
    if (!ok || count < 0 || count > 1000) return fail(QStringLiteral("Count"));
    for (int i = 1; i <= count; ++i) {
        const auto key = [&](const char* name) { return QString::fromLatin1(name) + QString::number(i); };
        const auto text = [&](const char* name) {
            return settings.ReadString(kRulesSection, key(name), {}).trimmed().toLower();
        };
        ExcursionRule rule;
        const QString series = text("Series");
        bool found = false;
        for (RuleSeries s :
             {RuleSeries::Temperature, RuleSeries::Humidity, RuleSeries::DewPoint, RuleSeries::KineticTemperature}) {
            if (series == QLatin1String(SeriesKey(s))) {
                rule.series = s;
                found = true;
            }
        }
        if (!found) return fail(key("Series"));
        const QString side = text("Side");
        if (side == QLatin1String("above") || (side.isEmpty() && rule.series == RuleSeries::KineticTemperature))
            rule.side = RuleSide::Above;
        else if (side == QLatin1String("below") && rule.series != RuleSeries::KineticTemperature)
            rule.side = RuleSide::Below;
        else
            return fail(key("Side"));
        if (!ParseNumber(text("Limit"), rule.limit) || !std::isfinite(rule.limit)) return fail(key("Limit"));
        if (rule.series != RuleSeries::KineticTemperature) {
            const QString measure = text("Measure");
            if (measure == QLatin1String("single"))
                rule.measure = RuleMeasure::SingleExcursion;
            else if (measure == QLatin1String("total"))
                rule.measure = RuleMeasure::TotalTime;
            else
                return fail(key("Measure"));
            const QString duration = text("Duration");
            rule.allowedSeconds = duration.toLongLong(&ok);
            if (!ok || rule.allowedSeconds < 0) return fail(key("Duration"));
        }
        result.rules.push_back(rule);
    }
    return result;
}

void SaveRules(IniFile& settings, const QList<ExcursionRule>& rules) {
    settings.WriteInteger(kRulesSection, QStringLiteral("Count"), static_cast<int>(rules.size()));
    for (int i = 1; i <= rules.size(); ++i) {
        const ExcursionRule& rule = rules[i - 1];
        const auto key = [&](const char* name) { return QString::fromLatin1(name) + QString::number(i); };
        settings.WriteString(kRulesSection, key("Series"), QString::fromLatin1(SeriesKey(rule.series)));
        settings.WriteString(kRulesSection, key("Side"),
                             rule.side == RuleSide::Above ? QStringLiteral("above") : QStringLiteral("below"));
        settings.WriteString(kRulesSection, key("Limit"), QString::number(static_cast<double>(rule.limit), 'g', 9));
        settings.WriteString(
            kRulesSection, key("Measure"),
            rule.measure == RuleMeasure::SingleExcursion ? QStringLiteral("single") : QStringLiteral("total"));
        settings.WriteString(kRulesSection, key("Duration"), QString::number(rule.allowedSeconds));
    }
}

QList<ExcursionRule> RulesFor(const ResultsStore& store, const IniFile& settings, QString* error) {
    const StoredRules stored = LoadRules(settings);
    if (error)
        *error = stored.error.isEmpty()
                     ? QString()
                     : Tr(u"[2420]Reguły oceny w pliku ustawień są uszkodzone:") + u' ' + stored.error;
    if (!stored.error.isEmpty()) return {};
    return stored.stored ? stored.rules : DefaultRules(store);
}

std::optional<ExcursionRule> RuleFromTexts(RuleSeries series, RuleSide side, const QString& limitText,
                                           RuleMeasure measure, const QString& minutesText, bool humidityLogger,
                                           QString& message) {
    ExcursionRule rule{series, series == RuleSeries::KineticTemperature ? RuleSide::Above : side, 0.0f, measure, 0};
    message.clear();
    if (!RuleApplies(rule, humidityLogger)) {
        message = Tr(u"[2419]Logger nie mierzy wilgotności: reguła wilgotności ani punktu rosy nie ma zastosowania.");
        return std::nullopt;
    }
    if (!ParseNumber(limitText, rule.limit) || !std::isfinite(rule.limit)) {
        message = Tr(u"[2416]Wartość graniczna jest pusta lub nie jest liczbą.");
        return std::nullopt;
    }
    if (series == RuleSeries::KineticTemperature) return rule;
    float minutes = 0.0f;
    if (!ParseNumber(minutesText, minutes) || !std::isfinite(minutes)) {
        message = Tr(u"[2417]Czas trwania jest pusty lub nie jest liczbą.");
        return std::nullopt;
    }
    if (minutes < 0.0f) {
        message = Tr(u"[2418]Czas trwania nie może być ujemny.");
        return std::nullopt;
    }
    rule.allowedSeconds = std::llround(static_cast<double>(minutes) * 60.0);
    return rule;
}

QString VerdictWord(bool pass) { return pass ? Tr(u"[2401]ZGODNY") : Tr(u"[2402]NIEZGODNY"); }

QString VerdictWord(const RuleVerdict& verdict) {
    return verdict.applies ? VerdictWord(verdict.pass) : Tr(u"[2671]nie dotyczy");
}

QString SeriesValueText(RuleSeries series, double value, QChar separator) {
    const auto v = static_cast<float>(value);
    return series == RuleSeries::Humidity ? LogHumidityText(v, separator) : LogTemperatureText(v, separator);
}

QString DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds =
        std::clamp<std::int64_t>((milliseconds + 500) / 1000, 0, std::numeric_limits<std::uint32_t>::max());
    return IntervalText(static_cast<std::uint32_t>(seconds));
}

QString RuleText(const ExcursionRule& rule, QChar separator) {
    QString series;
    switch (rule.series) {
    case RuleSeries::Temperature:
        series = Tr(u"[140]Temperatura");
        break;
    case RuleSeries::Humidity:
        series = Tr(u"[150]Wilgotność");
        break;
    case RuleSeries::DewPoint:
        series = Tr(u"[2405]Punkt rosy");
        break;
    case RuleSeries::KineticTemperature:
        series = Tr(u"[2147]Średnia temperatura kinetyczna (MKT)");
        break;
    }
    const QString limit = SeriesValueText(rule.series, rule.limit, separator);
    QString beyond = rule.side == RuleSide::Above ? Tr(u"[2406]%1 powyżej %2").arg(series, limit)
                                                  : Tr(u"[2407]%1 poniżej %2").arg(series, limit);
    if (rule.series == RuleSeries::KineticTemperature) return beyond;
    QString measure;
    if (rule.allowedSeconds <= 0)
        measure = Tr(u"[2410]żaden odczyt poza granicą");
    else if (rule.measure == RuleMeasure::SingleExcursion)
        measure = Tr(u"[2408]żadne przekroczenie dłuższe niż %1").arg(DurationText(rule.allowedSeconds * 1000));
    else
        measure = Tr(u"[2409]łączny czas przekroczeń nie dłuższy niż %1").arg(DurationText(rule.allowedSeconds * 1000));
    return beyond + QStringLiteral(": ") + measure;
}

QStringList VerdictLines(const Verdict& verdict, QChar separator, int maxExcursions) {
    QStringList lines;
    if (!verdict.Evaluated()) {
        lines << Tr(u"[2413]Brak reguł oceny: ocena nie jest możliwa");
        return lines;
    }
    int number = 0;
    for (const RuleVerdict& v : verdict.rules) {
        QString line = QStringLiteral("%1. %2 — %3").arg(++number).arg(RuleText(v.rule, separator), VerdictWord(v));
        if (v.rule.series == RuleSeries::KineticTemperature && v.kineticTemperature)
            line += QStringLiteral(" (MKT %1)").arg(SeriesValueText(v.rule.series, *v.kineticTemperature, separator));
        lines << line;
        const int shown = std::min<int>(static_cast<int>(v.breaking.size()), std::max(0, maxExcursions));
        for (int i = 0; i < shown; ++i) {
            const Excursion& e = v.breaking[i];
            lines << QStringLiteral("    ") + Tr(u"[2414]%1 – %2, czas %3, wartość skrajna %4")
                                                  .arg(MomentText(e.start), MomentText(e.end),
                                                       DurationText(e.durationMs),
                                                       SeriesValueText(v.rule.series, e.peak, separator));
        }
        if (v.breaking.size() > shown)
            lines << QStringLiteral("    ") +
                         CountForm(Tr(u"[2415]… oraz %1 dalsze przekroczenie|… oraz %1 dalsze przekroczenia|"
                                      u"… oraz %1 dalszych przekroczeń"),
                                   v.breaking.size() - shown)
                             .arg(v.breaking.size() - shown);
    }
    lines << Tr(u"[2412]Ocena ogólna") + QStringLiteral(": ") + VerdictWord(verdict.Pass());
    return lines;
}

}  // namespace quorvex
