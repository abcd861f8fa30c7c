#pragma once
// Excursion rules and the verdict a reviewer signs. A rule names a series
// (temperature, humidity or dew point), a side of a limit (above, below) and
// how long the values may stay beyond it: no single excursion longer than D,
// or no more than D beyond the limit in all; D = 0 means that any reading
// beyond the limit fails the rule. A further kind fails when the mean kinetic
// temperature of the whole log lies above its limit.
//
// Time: each record stands for one save interval from its moment, or up to
// the next record's moment when that comes sooner. A record further than one
// interval from the one before it starts a new excursion: nothing is known of
// the gap between, so it counts neither as beyond nor as within the limit.
// The last record stands for one save interval; where the interval is not
// known (0), every record stands up to the next one and the last for the
// spacing before it (a single record for no time, which still fails a D = 0
// rule when it lies beyond). Touching the limit is not beyond it.
//
// Without stored rules the log's own thresholds are the rules, each with D = 0:
// what the summary counts as excursions.
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

#include "logs/ResultsStore.h"

namespace quorvex {

class IniFile;

enum class RuleSeries { Temperature, Humidity, DewPoint, KineticTemperature };
enum class RuleSide { Above, Below };
enum class RuleMeasure { SingleExcursion, TotalTime };

struct ExcursionRule {
    RuleSeries series = RuleSeries::Temperature;
    RuleSide side = RuleSide::Above;                     // the kinetic temperature rule is always "above"
    float limit = 0.0f;                                  // °C or %
    RuleMeasure measure = RuleMeasure::SingleExcursion;  // not for the kinetic temperature
    std::int64_t allowedSeconds = 0;                     // D

    friend bool operator==(const ExcursionRule&, const ExcursionRule&) = default;
};

// A run of records beyond a limit.
struct Excursion {
    int firstRecord = 0, lastRecord = 0;  // indexes into the store
    Moment start = 0.0;                   // the first record's moment
    Moment end = 0.0;                     // the end of the time the last record stands for
    std::int64_t durationMs = 0;
    float peak = 0.0f;  // the value furthest beyond the limit
};

struct RuleVerdict {
    ExcursionRule rule;
    // False for a rule the log cannot be judged by (humidity or dew point of a log without
    // humidity): it stays in its place in the list, judged neither way.
    bool applies = true;
    bool pass = true;
    int excursions = 0;        // all excursions beyond the limit
    std::int64_t totalMs = 0;  // all time beyond it
    std::int64_t longestMs = 0;
    // What broke the rule: for a single-excursion rule the excursions longer
    // than D (every one when D = 0); for a total-time rule every excursion
    // when the total exceeds D. Empty for a rule that passed.
    QList<Excursion> breaking;
    std::optional<double> kineticTemperature;  // the kinetic temperature rule's value
};

struct Verdict {
    QList<RuleVerdict> rules;  // every rule, in its order, also those that do not apply
    // No rule applies (a log without thresholds and no rules stored, or only rules it cannot
    // be judged by): no verdict.
    bool Evaluated() const;
    bool Pass() const;  // every rule that applies passed
};

// Humidity and dew point rules apply to logs with humidity only.
bool RuleApplies(const ExcursionRule& rule, bool humidity);

// The log's thresholds as rules with D = 0 (upper, lower temperature; upper,
// lower humidity for a log with humidity); none for a log without thresholds.
QList<ExcursionRule> DefaultRules(const ResultsStore& store);

// One pass over the records (two with a kinetic temperature rule). Rules that
// do not apply to the log keep their place in the verdict, marked so.
Verdict EvaluateRules(const ResultsStore& store, const QList<ExcursionRule>& rules);

// The settings file keeps the rule set in this section: Count, and for rule N
// (from 1) SeriesN (temperature, humidity, dewpoint, mkt), SideN (above,
// below), LimitN (either decimal separator), MeasureN (single, total) and
// DurationN (whole seconds). A missing section or Count means "no rules stored".
inline const QString kRulesSection = QStringLiteral("Rules");

struct StoredRules {
    bool stored = false;  // the section holds a rule set (perhaps an empty one)
    QList<ExcursionRule> rules;
    QString error;  // a damaged entry, named by its key; then `rules` is empty
};
StoredRules LoadRules(const IniFile& settings);
void SaveRules(IniFile& settings, const QList<ExcursionRule>& rules);

// What a log is judged by: the stored rule set, or without one DefaultRules.
// Empty with `error` set when the stored set is damaged: no verdict is better
// than one that silently leaves a check out.
QList<ExcursionRule> RulesFor(const ResultsStore& store, const IniFile& settings, QString* error = nullptr);

// A rule as typed in the rules dialog: the limit with either decimal separator,
// D in minutes (a fraction allowed). Nothing, with a numbered message in the
// program's language, for an empty or unparsable limit or duration, a negative
// duration, or a humidity or dew point rule for a logger without humidity.
std::optional<ExcursionRule> RuleFromTexts(RuleSeries series, RuleSide side, const QString& limitText,
                                           RuleMeasure measure, const QString& minutesText, bool humidityLogger,
                                           QString& message);

// The texts of the verdict in the program's language, numbers with `separator`.
QString VerdictWord(bool pass);  // "ZGODNY" / "NIEZGODNY"
// A rule's verdict word, or "nie dotyczy" for a rule that does not apply.
QString VerdictWord(const RuleVerdict& verdict);
QString RuleText(const ExcursionRule& rule, QChar separator);
QString SeriesValueText(RuleSeries series, double value, QChar separator);  // "8,5°C", "71,0%"
QString DurationText(std::int64_t milliseconds);  // whole seconds, as the save interval is shown
// One line per rule ("1. <rule>: ZGODNY", numbered as stored), then one per breaking excursion
// (start – end, duration, peak) up to `maxExcursions` per rule and a line
// for the rest, then the overall verdict. For the summary and `evaluate`.
QStringList VerdictLines(const Verdict& verdict, QChar separator, int maxExcursions = 20);

}  // namespace quorvex
