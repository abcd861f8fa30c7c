// The verdict against excursions worked out by hand (single against total
// time, D = 0, touching the limit, gaps, the last record), the dew point
// against published values, the rules as the settings file keeps them and
// the records' fingerprint across the file formats.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

#include "LogTestUtil.h"
#include "logs/DewPoint.h"
#include "logs/ExcursionRules.h"
#include "logs/RecordsFingerprint.h"
#include "logs/ResultsCsv.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsReader.h"
#include "settings/IniFile.h"

namespace quorvex {
namespace {

const Moment kStart = ToMoment(QDate(2024, 3, 1), QTime(8, 0));
constexpr int kInterval = 600;  // 10 minutes

// Records of a humidity logger, one every interval from kStart; a minute
// count in `at` places record i at that many minutes instead.
void Fill(ResultsStore& store, const std::vector<float>& temperatures, const std::vector<int>& at = {},
          int interval = kInterval) {
    store.Clear();
    store.loggerType = QStringLiteral("0201");
    store.intervalSeconds = interval;
    for (std::size_t i = 0; i < temperatures.size(); ++i) {
        const double minutes = i < at.size() ? at[i] : static_cast<double>(i) * interval / 60.0;
        store.Append(temperatures[i], 50.0f, kStart + minutes / 1440.0);
    }
}

struct Expected {
    int first, last;  // records of a breaking excursion
    int minutes;      // its duration
    float peak;
};

struct RuleCase {
    const char* name;
    std::vector<float> temperatures;
    std::vector<int> at;  // minutes, when not one interval apart
    ExcursionRule rule;
    bool pass;
    std::vector<Expected> breaking;
    int excursions;
    int totalMinutes;
};

constexpr auto T = RuleSeries::Temperature;
constexpr auto Above = RuleSide::Above;
constexpr auto Below = RuleSide::Below;
constexpr auto Single = RuleMeasure::SingleExcursion;
constexpr auto Total = RuleMeasure::TotalTime;

TEST(ExcursionRules, ExcursionsAndVerdictsMatchHandValues) {
    const std::vector<RuleCase> cases = {
        {"one reading beyond fails a D = 0 rule",
         {5, 9, 5},
         {},
         {T, Above, 8, Single, 0},
         false,
         {{1, 1, 10, 9}},
         1,
         10},
        {"touching the limit is not beyond it", {5, 8, 8, 5}, {}, {T, Above, 8, Single, 0}, true, {}, 0, 0},
        {"an excursion as long as D passes", {5, 9, 10, 9, 5}, {}, {T, Above, 8, Single, 1800}, true, {}, 1, 30},
        {"one a record longer fails",
         {9, 10, 9.5f, 9, 5},
         {},
         {T, Above, 8, Single, 1800},
         false,
         {{0, 3, 40, 10}},
         1,
         40},
        {"two short excursions pass a single rule",
         {9, 9, 5, 9, 9, 5},
         {},
         {T, Above, 8, Single, 1800},
         true,
         {},
         2,
         40},
        {"and fail a total rule together",
         {9, 9, 5, 9, 9.5f, 5},
         {},
         {T, Above, 8, Total, 1800},
         false,
         {{0, 1, 20, 9}, {3, 4, 20, 9.5f}},
         2,
         40},
        {"below a limit, the lowest value is the peak",
         {2, 1.5f, 0.5f, 1, 3},
         {},
         {T, Below, 2, Single, 0},
         false,
         {{1, 3, 30, 0.5f}},
         1,
         30},
        // Minutes 0, 10, 20, then 60, 70: the records before the gap stand for
        // one interval each, and the gap starts a new excursion.
        {"a gap splits an excursion and is not counted",
         {9, 9, 9, 9, 5},
         {0, 10, 20, 60, 70},
         {T, Above, 8, Single, 1200},
         false,
         {{0, 2, 30, 9}},
         2,
         40},
        // The last record stands for one interval.
        {"the last record counts one interval", {5, 9}, {}, {T, Above, 8, Total, 599}, false, {{1, 1, 10, 9}}, 1, 10},
        // A record closer than one interval to the next stands only until it.
        {"a closer next record shortens the span",
         {9, 9, 5},
         {0, 4, 14},
         {T, Above, 8, Total, 0},
         false,
         {{0, 1, 14, 9}},
         1,
         14},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsStore store;
        Fill(store, c.temperatures, c.at);
        const Verdict verdict = EvaluateRules(store, {c.rule});
        ASSERT_EQ(verdict.rules.size(), 1);
        const RuleVerdict& v = verdict.rules[0];
        EXPECT_EQ(v.pass, c.pass);
        EXPECT_EQ(verdict.Pass(), c.pass);
        EXPECT_EQ(v.excursions, c.excursions);
        EXPECT_EQ(v.totalMs, c.totalMinutes * 60'000LL);
        ASSERT_EQ(v.breaking.size(), static_cast<qsizetype>(c.breaking.size()));
        for (std::size_t i = 0; i < c.breaking.size(); ++i) {
            const Excursion& e = v.breaking[static_cast<qsizetype>(i)];
            EXPECT_EQ(e.firstRecord, c.breaking[i].first);
            EXPECT_EQ(e.lastRecord, c.breaking[i].last);
            EXPECT_EQ(e.durationMs, c.breaking[i].minutes * 60'000LL);
            EXPECT_FLOAT_EQ(e.peak, c.breaking[i].peak);
            EXPECT_NEAR((e.end - e.start) * 1440.0, c.breaking[i].minutes, 1e-6);
        }
    }
}

TEST(ExcursionRules, EdgesOfTheLogAndOtherSeries) {
    ResultsStore store;
    // One record, the interval unknown: it stands for no time and still fails D = 0.
    Fill(store, {9}, {}, 0);
    EXPECT_FALSE(EvaluateRules(store, {{T, Above, 8, Single, 0}}).Pass());
    EXPECT_TRUE(EvaluateRules(store, {{T, Above, 8, Single, 60}}).Pass());
    // No records: nothing beyond.
    store.Clear();
    EXPECT_TRUE(EvaluateRules(store, {{T, Above, 8, Single, 0}}).Pass());

    // The thresholds as rules; a humidity rule does not apply to a temperature logger.
    Fill(store, {5, 5});
    store.thresholds = Thresholds{8.0f, 2.0f, 70.0f, 30.0f};
    EXPECT_EQ(DefaultRules(store).size(), 4);
    EXPECT_TRUE(EvaluateRules(store, DefaultRules(store)).Pass());
    store.loggerType = QStringLiteral("0101");
    EXPECT_EQ(DefaultRules(store).size(), 2);
    EXPECT_FALSE(EvaluateRules(store, {{RuleSeries::Humidity, Above, 40, Single, 0}}).Evaluated());

    // Dew point of 20 °C / 50 % is 9.3 °C; MKT of a constant 5 °C is 5 °C.
    store.Clear();
    store.loggerType = QStringLiteral("0201");
    store.intervalSeconds = kInterval;
    store.Append(20.0f, 50.0f, kStart);
    EXPECT_FALSE(EvaluateRules(store, {{RuleSeries::DewPoint, Above, 9.2f, Single, 0}}).Pass());
    EXPECT_TRUE(EvaluateRules(store, {{RuleSeries::DewPoint, Above, 9.3f, Single, 0}}).Pass());
    const Verdict mkt = EvaluateRules(store, {{RuleSeries::KineticTemperature, Above, 19.5f}});
    EXPECT_FALSE(mkt.Pass());
    EXPECT_NEAR(mkt.rules[0].kineticTemperature.value_or(0), 20.0, 1e-6);
}

TEST(DewPoint, PublishedValuesAndWhereThereIsNone) {
    struct Case {
        float t, rh, dew;
    };
    for (const Case& c : {Case{20, 50, 9.3f}, Case{30, 80, 26.2f}, Case{-10, 80, -12.8f}, Case{-20, 50, -27.8f},
                          Case{0, 100, 0.0f}, Case{5, 60, -2.1f}}) {
        SCOPED_TRACE(testing::Message() << c.t << " °C, " << c.rh << " %");
        const auto dew = DewPoint(c.t, c.rh);
        ASSERT_TRUE(dew.has_value());
        EXPECT_FLOAT_EQ(*dew, c.dew);
        EXPECT_FALSE(std::signbit(*dew) && *dew == 0.0f);
    }
    EXPECT_FALSE(DewPoint(20, 0).has_value());
    EXPECT_FALSE(DewPoint(20, -1).has_value());
    EXPECT_FALSE(DewPoint(NAN, 50).has_value());
}

TEST(ExcursionRules, StoredAndTypedRules) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.INI"));
    const QList<ExcursionRule> rules = {{T, Below, -2.5f, Total, 5400},
                                        {RuleSeries::DewPoint, Above, 12.0f, Single, 0},
                                        {RuleSeries::KineticTemperature, Above, 25.0f}};
    ResultsStore store;
    Fill(store, {5});
    store.thresholds = Thresholds{8.0f, 2.0f, 70.0f, 30.0f};
    {
        IniFile ini(path);
        EXPECT_EQ(RulesFor(store, ini), DefaultRules(store));  // nothing stored: the thresholds
        SaveRules(ini, rules);
        ASSERT_TRUE(ini.Flush());
    }
    IniFile ini(path);
    EXPECT_EQ(RulesFor(store, ini), rules);
    // A limit typed with a comma reads as well; a damaged entry gives no rules and names the key.
    ini.WriteString(kRulesSection, QStringLiteral("Limit1"), QStringLiteral("-2,5"));
    EXPECT_EQ(LoadRules(ini).rules, rules);
    ini.WriteString(kRulesSection, QStringLiteral("Duration2"), QStringLiteral("-5"));
    QString error;
    EXPECT_TRUE(RulesFor(store, ini, &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("Duration2"))) << error.toStdString();

    // The dialog's input: each refusal with its numbered message.
    QString message;
    const auto typed = RuleFromTexts(T, Above, QStringLiteral("8,5"), Single, QStringLiteral("1.5"), false, message);
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(*typed, (ExcursionRule{T, Above, 8.5f, Single, 90}));
    struct Refusal {
        RuleSeries series;
        const char* limit;
        const char* minutes;
        const char* wording;
    };
    for (const Refusal& r : {Refusal{T, "", "0", "Wartość graniczna"}, Refusal{T, "8a", "0", "Wartość graniczna"},
                             Refusal{T, "8", "", "Czas trwania jest pusty"}, Refusal{T, "8", "-1", "ujemny"},
                             Refusal{RuleSeries::Humidity, "60", "0", "nie mierzy wilgotności"}}) {
        EXPECT_FALSE(RuleFromTexts(r.series, Above, QString::fromUtf8(r.limit), Single, QString::fromUtf8(r.minutes),
                                   false, message));
        EXPECT_TRUE(message.contains(QString::fromUtf8(r.wording))) << message.toStdString();
    }
}

TEST(RecordsFingerprint, SameRecordsSameFingerprintInEveryFileFormat) {
    test::LocaleGuard locale("pl_PL");
    QTemporaryDir dir;
    ResultsStore store;
    Fill(store, {5.0f, -3.2f, 9.9f});
    store.loggerName = QStringLiteral("Chłodnia");
    const QString hash = RecordsFingerprint(store);
    EXPECT_EQ(hash.size(), 64);
    // CSV with the dew point column and the text file read back give the same records.
    for (const auto& [name, format] :
         {std::pair{"r.csv", ResultsFormat::Csv}, std::pair{"r.txt", ResultsFormat::Text}}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(SaveResultsFile(path, store, format, true).ok);
        ResultsStore back;
        ASSERT_TRUE(ReadResultsFile(path, back).ok) << name;
        EXPECT_EQ(RecordsFingerprint(back), hash) << name;
    }
    QFile csv(dir.filePath(QStringLiteral("r.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines.value(0), "record,time,temperature_C,humidity_pct,dew_point_C\r");
    EXPECT_TRUE(lines.value(1).endsWith(",5.0,50.0,-4.6\r")) << lines.value(1).toStdString();
    // One value changed: another fingerprint.
    store.Append(1.0f, 50.0f, kStart + 1.0);
    EXPECT_NE(RecordsFingerprint(store), hash);
}

}  // namespace
}  // namespace quorvex
