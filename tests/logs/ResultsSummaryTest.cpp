// The summary against values worked out by hand: mean kinetic temperatures,
// extremes with their moments, time beyond the thresholds and excursions.
#include <gtest/gtest.h>

#include <cmath>

#include "LogTestUtil.h"
#include "logs/ResultsSummary.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

const Moment kStart = ToMoment(QDate(2015, 3, 1), QTime(8, 30));

void Fill(ResultsStore& store, std::initializer_list<float> temperatures, float humidity = 50.0f) {
    store.Clear();
    int i = 0;
    for (float t : temperatures) {
        store.Append(t, humidity + static_cast<float>(i), kStart + 300.0 * i / 86400.0);
        ++i;
    }
}

double Mkt(ResultsStore& store) {
    ResultsSummary summary;
    summary.Update(store);
    return summary.MeanKineticTemperature().value_or(NAN);
}

TEST(ResultsSummary, MeanKineticTemperatureMatchesHandValues) {
    ResultsStore store;
    Fill(store, {25.0f, 25.0f, 25.0f, 25.0f});
    EXPECT_NEAR(Mkt(store), 25.0, 1e-9);
    Fill(store, {20.0f, 30.0f, 20.0f, 30.0f});
    EXPECT_NEAR(Mkt(store), 26.26, 0.01);  // above the arithmetic mean of 25
    Fill(store, {2.0f, 8.0f});
    EXPECT_NEAR(Mkt(store), 5.54, 0.01);
    store.Clear();
    EXPECT_FALSE(ResultsSummary().MeanKineticTemperature().has_value());
}

TEST(ResultsSummary, ExtremesMeansAndExcursionsOfASmallLog) {
    LocaleGuard locale("pl_PL");
    ResultsStore store;
    store.loggerType = QStringLiteral("0201");
    store.intervalSeconds = 300;
    store.thresholds = Thresholds{10.0f, 2.0f, 60.0f, 40.0f};
    //          0     1      2      3     4      5     6     7
    for (float t : {5.0f, 12.0f, 12.0f, 5.0f, 12.5f, 1.0f, 1.0f, 5.0f})
        store.Append(t, 50.0f + 3.0f * static_cast<float>(store.Count()), kStart + 300.0 * store.Count() / 86400.0);
    // Humidity 50, 53, … 71: above 60 from record 4 on (4 records, one run), never below 40.

    ResultsSummary fresh;
    fresh.Update(store);
    EXPECT_EQ(fresh.Count(), 8);
    EXPECT_EQ(fresh.Temperature().min, 1.0f);
    EXPECT_EQ(fresh.Temperature().minIndex, 5);
    EXPECT_EQ(fresh.Temperature().max, 12.5f);
    EXPECT_EQ(fresh.Temperature().maxIndex, 4);
    EXPECT_DOUBLE_EQ(fresh.MeanTemperature(), 53.5 / 8);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::HighTemp).beyond, 3);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::HighTemp).excursions, 2);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::LowTemp).beyond, 2);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::LowTemp).excursions, 1);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::HighHum).excursions, 1);
    EXPECT_EQ(fresh.LimitAt(ResultsSummary::LowHum).beyond, 0);

    const QList<LoggerInfoRow> rows = SummaryRows(fresh, store, u',');
    QStringList lines;
    for (const LoggerInfoRow& r : rows) lines << r.caption + u'=' + r.value;
    EXPECT_EQ(lines.join(u'\n').toStdString(),
              QStringList({
                              QStringLiteral("Liczba rekordów=8"),
                              QStringLiteral("Pierwszy rekord=1.03.2015 08:30:00"),
                              QStringLiteral("Ostatni rekord=1.03.2015 09:05:00"),
                              QStringLiteral("Temperatura minimalna=1,0°C  1.03.2015 08:55:00"),
                              QStringLiteral("Temperatura maksymalna=12,5°C  1.03.2015 08:50:00"),
                              QStringLiteral("Temperatura średnia=6,7°C"),
                              QStringLiteral("Wilgotność minimalna=50,0%  1.03.2015 08:30:00"),
                              QStringLiteral("Wilgotność maksymalna=71,0%  1.03.2015 09:05:00"),
                              QStringLiteral("Wilgotność średnia=60,5%"),
                              // Dew point: 1 °C at 65 % and 12.5 °C at 62 % by hand.
                              QStringLiteral("Punkt rosy minimalny=-4,8°C  1.03.2015 08:55:00"),
                              QStringLiteral("Punkt rosy maksymalny=5,4°C  1.03.2015 08:50:00"),
                              QStringLiteral("Punkt rosy średni=-0,5°C"),
                              QStringLiteral("Czas powyżej progu górnego (10,0°C)=0d  00h:15m:00s"),
                              QStringLiteral("Przekroczenia progu górnego (10,0°C)=2"),
                              QStringLiteral("Czas poniżej progu dolnego (2,0°C)=0d  00h:10m:00s"),
                              QStringLiteral("Przekroczenia progu dolnego (2,0°C)=1"),
                              QStringLiteral("Czas powyżej progu górnego (60,0%)=0d  00h:20m:00s"),
                              QStringLiteral("Przekroczenia progu górnego (60,0%)=1"),
                              QStringLiteral("Czas poniżej progu dolnego (40,0%)=0d  00h:00m:00s"),
                              QStringLiteral("Przekroczenia progu dolnego (40,0%)=0"),
                              QStringLiteral("Średnia temperatura kinetyczna (MKT)=%1°C")
                                  .arg(QLocale().toString(fresh.MeanKineticTemperature().value(), 'f', 1)),
                          })
                  .join(u'\n')
                  .toStdString());

    // Opened from a file: no thresholds, no humidity rows for a temperature logger.
    store.thresholds.reset();
    store.loggerType = QStringLiteral("0101");
    fresh.Update(store);
    EXPECT_FALSE(fresh.HasLimits());
    EXPECT_EQ(SummaryRows(fresh, store, u'.').size(), 7);
}

TEST(ResultsSummary, FollowsAGrowingStoreAndStartsAfreshWhenItIsReplaced) {
    ResultsStore store, other;
    ResultsSummary summary;
    Fill(store, {3.0f, 4.0f});
    summary.Update(store);
    store.Append(9.0f, 0.0f, kStart + 0.1);
    store.Append(-1.0f, 0.0f, kStart + 0.2);
    summary.Update(store);
    ResultsSummary fresh;
    fresh.Update(store);
    EXPECT_EQ(summary.Count(), 4);
    EXPECT_EQ(summary.Temperature().max, fresh.Temperature().max);
    EXPECT_EQ(summary.Temperature().minIndex, 3);
    EXPECT_DOUBLE_EQ(summary.MeanKineticTemperature().value(), fresh.MeanKineticTemperature().value());

    Fill(other, {20.0f});
    store.Swap(other);  // as opening a file does: fewer records, other values
    summary.Update(store);
    EXPECT_EQ(summary.Count(), 1);
    EXPECT_EQ(summary.Temperature().max, 20.0f);
    Fill(store, {7.0f, 8.0f, 9.0f, 10.0f, 11.0f});  // cleared and refilled beyond the old count
    summary.Update(store);
    EXPECT_DOUBLE_EQ(summary.MeanTemperature(), 9.0);
}

}  // namespace
}  // namespace quorvex
