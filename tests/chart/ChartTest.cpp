#include "chart/Chart.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ChartTestUtil.h"

namespace quorvex {
namespace {

using namespace charttest;

constexpr QRgb kWhite = 0xFFFFFF;

class ChartTest : public ::testing::Test {
protected:
    ChartTest() {
        EnsureApplication();
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        engine.area = {0, 0, 800, 400};
        engine.marginLeft = 60;
        engine.marginBottom = 60;
        engine.marginRight = 20;
        engine.marginTop = 25;
        engine.showTemp = true;
        engine.showHum = true;
    }

    // Layout, then axes, series and thresholds into a white image of the area.
    QImage Draw() {
        QImage image(engine.area.right, engine.area.bottom, QImage::Format_RGB32);
        image.fill(kWhite);
        QPainter painter(&image);
        engine.SetCanvas(&painter, &image);
        engine.Layout();
        engine.DrawAxes();
        engine.DrawSeries();
        engine.DrawThresholds();
        painter.end();
        engine.SetCanvas(nullptr);
        return image;
    }

    ResultsStore store;
    Chart engine{store};
};

TEST_F(ChartTest, WindowRoundsHalfDownAndMoreThanHalfUp) {
    Fill(store, 7, DayNight);
    engine.zoomStart = 50;
    engine.zoomWidth = 50;
    engine.Layout();
    EXPECT_EQ(engine.sampleCount, 3);  // 3.5
    EXPECT_EQ(engine.firstIndex, 3);

    Fill(store, 103, DayNight);
    engine.zoomStart = 0;
    engine.zoomWidth = 10;
    engine.Layout();
    EXPECT_EQ(engine.sampleCount, 10);  // 10.3

    Fill(store, 107, DayNight);
    engine.zoomStart = 5;  // 5.35
    engine.Layout();
    EXPECT_EQ(engine.sampleCount, 11);  // 10.7
    EXPECT_EQ(engine.firstIndex, 5);
    EXPECT_EQ(engine.x0, 60);
    EXPECT_EQ(engine.y0, 340);
    EXPECT_FLOAT_EQ(engine.xStep, (800.0f - 20 - 60) / 11);
}

TEST_F(ChartTest, EmptyStoreHasNoWindowAndTheEmptyExtremes) {
    store.Clear();
    engine.showHum = false;
    engine.rescale = true;
    engine.Layout();
    EXPECT_EQ(engine.sampleCount, 0);
    EXPECT_FLOAT_EQ(engine.xStep, 10.0f);
    EXPECT_FLOAT_EQ(engine.yMin, 9.0f);
    EXPECT_FLOAT_EQ(engine.yMax, 11.0f);

    engine.showTemp = false;
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.yMin, -2.0f);
    EXPECT_FLOAT_EQ(engine.yMax, 101.0f);

    // Drawing an empty store writes no time or date label under the axis.
    engine.showTemp = true;
    const QImage image = Draw();
    EXPECT_EQ(CountColour(image, Chart::kTextColour, QRect(0, engine.y0 + 6, 800, 50)), 0);
}

TEST_F(ChartTest, ThresholdsWidenTheRangeOnlyWhenShown) {
    Fill(store, 50, [](int k) { return Sample{18.2f + 6.5f * k / 49.0f, 50.0f}; });
    engine.thresholds = {30.0f, 10.0f, 90.0f, 5.0f};
    engine.showHum = false;
    engine.rescale = true;
    engine.Layout();
    EXPECT_NEAR(engine.yMin, 17.2f, 1e-5);
    EXPECT_NEAR(engine.yMax, 25.7f, 1e-5);

    engine.showThresholds = true;
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.yMin, 9.0f);
    EXPECT_FLOAT_EQ(engine.yMax, 31.0f);

    // Humidity thresholds count only while humidity is shown.
    engine.showHum = true;
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.yMin, 4.0f);
    EXPECT_FLOAT_EQ(engine.yMax, 91.0f);
}

TEST_F(ChartTest, RangeIsKeptUntilTheWindowChangesOrRescaleIsSet) {
    Fill(store, 100, [](int k) { return Sample{static_cast<float>(k), 50.0f}; });
    engine.showHum = false;
    engine.zoomStart = 10;
    engine.zoomWidth = 20;
    engine.Layout();
    // Records 10..30 inclusive are scanned.
    EXPECT_FLOAT_EQ(engine.winTempMin, 10.0f);
    EXPECT_FLOAT_EQ(engine.winTempMax, 30.0f);
    EXPECT_FLOAT_EQ(engine.yMin, 9.0f);
    EXPECT_FLOAT_EQ(engine.yMax, 31.0f);

    engine.showHum = true;  // not seen without rescale
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.yMax, 31.0f);
    engine.rescale = true;
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.yMax, 51.0f);

    engine.rescale = false;
    engine.zoomStart = 50;  // a new window is scanned without rescale
    engine.Layout();
    EXPECT_FLOAT_EQ(engine.winTempMin, 50.0f);
    EXPECT_FLOAT_EQ(engine.winTempMax, 70.0f);
}

TEST_F(ChartTest, HitTestSelectsTheNearestRecordAndNothingOutside) {
    Fill(store, 20, DayNight);
    engine.area = {0, 0, 280, 300};  // 200 pixels for 20 records: 10 per record
    engine.Layout();
    ASSERT_FLOAT_EQ(engine.xStep, 10.0f);

    engine.HitTest(60 + 30 + 5);  // exactly half a step right of record 3
    EXPECT_EQ(engine.cursorIndex, 3);
    EXPECT_FLOAT_EQ(engine.cursorTemp, store[3].temperature);
    EXPECT_FLOAT_EQ(engine.cursorHum, store[3].humidity);
    EXPECT_DOUBLE_EQ(engine.cursorTime, store[3].time);
    engine.HitTest(60 + 30 + 6);
    EXPECT_EQ(engine.cursorIndex, 4);

    engine.HitTest(59);
    EXPECT_EQ(engine.cursorIndex, -1);
    engine.HitTest(60);
    EXPECT_EQ(engine.cursorIndex, 0);
    engine.HitTest(60 + 190 + 5);
    EXPECT_EQ(engine.cursorIndex, 19);
    engine.HitTest(60 + 190 + 6);  // past the last record
    EXPECT_EQ(engine.cursorIndex, -1);

    // Zoomed: positions count from the first shown record.
    engine.zoomStart = 50;
    engine.zoomWidth = 50;
    engine.Layout();
    engine.HitTest(60);
    EXPECT_EQ(engine.cursorIndex, 10);
}

TEST_F(ChartTest, SeriesArePaintedWhereTheRecordsAre) {
    Fill(store, 300, DayNight);
    const QImage image = Draw();
    ASSERT_GT(CountColour(image, Chart::kTempColour), 300);
    ASSERT_GT(CountColour(image, Chart::kHumColour), 300);

    // Every record's point is painted in its colour (or within a pixel of it).
    auto near = [&](QPoint p, QRgb c) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (IsColour(image, p.x() + dx, p.y() + dy, c)) return true;
        return false;
    };
    for (int k = 0; k < store.Count(); ++k) {
        ASSERT_TRUE(near(engine.ToPixel(k, store[k].temperature), Chart::kTempColour)) << k;
        ASSERT_TRUE(near(engine.ToPixel(k, store[k].humidity), Chart::kHumColour)) << k;
    }
    // And no series colour lies outside the rows the curves span.
    const int tempTop = engine.ToPixel(0, 24.0f).y() - 2, tempBottom = engine.ToPixel(0, 18.0f).y() + 2;
    const int humTop = engine.ToPixel(0, 60.0f).y() - 2, humBottom = engine.ToPixel(0, 40.0f).y() + 2;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (IsColour(image, x, y, Chart::kTempColour)) {
                ASSERT_TRUE(y >= tempTop && y <= tempBottom) << x << "," << y;
            }
            if (IsColour(image, x, y, Chart::kHumColour)) {
                ASSERT_TRUE(y >= humTop && y <= humBottom) << x << "," << y;
            }
        }
}

TEST_F(ChartTest, ManyRecordsPerColumnStillFillTheirSpan) {
    // 100 000 records in 720 columns: every column's span of values is painted
    // although most segments are skipped by the painted-pixel test.
    Fill(store, 100000, [](int k) { return Sample{(k % 2) ? 30.0f : 10.0f, 50.0f}; });
    engine.showHum = false;
    const QImage image = Draw();
    const int top = engine.ToPixel(0, 30.0f).y(), bottom = engine.ToPixel(0, 10.0f).y();
    for (int x = engine.x0 + 1; x < engine.ToPixel(store.Count() - 1, 0).x(); x += 7) {
        for (int y = top + 1; y < bottom; y += 5)
            ASSERT_TRUE(IsColour(image, x, y, Chart::kTempColour)) << x << "," << y;
    }
}

TEST_F(ChartTest, ThresholdLinesLieOnTheirRowsAndAreBroken) {
    Fill(store, 300, DayNight);
    engine.thresholds = {28.0f, 12.0f, 80.0f, 30.0f};
    engine.showThresholds = true;
    const QImage image = Draw();
    const int plotLeft = engine.x0 + 1, plotRight = engine.ToPixel(engine.sampleCount, 0).x() - 1;
    auto rowStats = [&](float value, QRgb colour) {
        const int row = engine.ToPixel(0, value).y();
        int painted = 0;
        for (int x = plotLeft; x <= plotRight; ++x) painted += IsColour(image, x, row, colour);
        return std::pair{row, painted};
    };
    const int span = plotRight - plotLeft + 1;
    for (auto [value, colour] : {std::pair{28.0f, Chart::kTempColour},
                                 {12.0f, Chart::kTempColour},
                                 {80.0f, Chart::kHumColour},
                                 {30.0f, Chart::kHumColour}}) {
        const auto [row, painted] = rowStats(value, colour);
        // A broken line: clearly more than half and clearly less than all of the row.
        EXPECT_GT(painted, span / 2) << value;
        EXPECT_LT(painted, span - span / 10) << value;
        // The rows next to it hold no such line.
        int beside = 0;
        for (int x = plotLeft; x <= plotRight; ++x)
            beside += IsColour(image, x, row - 2, colour) + IsColour(image, x, row + 2, colour);
        EXPECT_LT(beside, span / 10) << value;
    }

    engine.showThresholds = false;
    engine.rescale = true;
    const QImage without = Draw();
    EXPECT_EQ(rowStats(28.0f, Chart::kTempColour).second, 0);
}

// Columns of the inked runs in a band of rows below the axis, where nothing
// but the labels is drawn (glyph edges are smoothed, so any non-white counts).
std::vector<std::pair<int, int>> LabelRuns(const QImage& image, int top, int bottom) {
    std::vector<std::pair<int, int>> runs;
    int start = -1, lastInk = -100;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = top; y <= bottom && !ink; ++y) ink = !IsColour(image, x, y, kWhite);
        if (!ink) continue;
        if (x - lastInk > 4) {  // glyphs of one label stand at most 3 columns apart
            if (start >= 0) runs.emplace_back(start, lastInk);
            start = x;
        }
        lastInk = x;
    }
    if (start >= 0) runs.emplace_back(start, lastInk);
    return runs;
}

TEST_F(ChartTest, TimeLabelsStandAtRoundMomentsSuitedToTheSpan) {
    const QFontMetrics fm(QApplication::font());
    const int timeWidth = fm.horizontalAdvance(QStringLiteral("88:88"));
    const int dateWidth = fm.horizontalAdvance(QStringLiteral("88.88.8888"));
    struct Case {
        int count, intervalSec, startSec;  // the first record that many seconds after midnight
        double finestStep, coarsestStep;   // seconds
    } const cases[] = {
        {40, 300, 0, 60, 1800},                // 200 minutes: whole minutes
        {90, 420, 197, 60, 3600},              // an odd start and interval
        {2000, 300, 0, 3600, 12 * 3600},       // a week: hours
        {200000, 300, 0, 86400, 366 * 86400},  // two years: days or months
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        store.Clear();
        for (int k = 0; k < c.count; ++k) {
            const Sample s = DayNight(k);
            store.Append(s.temperature, s.humidity, MomentOf(0) + (c.startSec + double(k) * c.intervalSec) / 86400.0);
        }
        engine.rescale = true;
        const QImage image = Draw();
        const TimeMarks scale = engine.RoundMoments(timeWidth + 12, dateWidth + 12);
        ASSERT_GE(scale.marks.size(), 3u);
        EXPECT_GE(scale.step.ApproxSeconds(), c.finestStep);
        EXPECT_LE(scale.step.ApproxSeconds(), c.coarsestStep);
        for (const TimeMark& mark : scale.marks) {
            EXPECT_TRUE(scale.step.Begins(mark.moment)) << FromMoment(mark.moment).toString().toStdString();
            // It lies between the records taken before and after it.
            EXPECT_LE(store[static_cast<int>(std::floor(mark.position))].time, mark.moment + 1e-9);
            EXPECT_GE(store[static_cast<int>(std::ceil(mark.position))].time, mark.moment - 1e-9);
        }
        // Labels side by side, none run into the next.
        const int widest = scale.step.InDays() ? dateWidth : timeWidth;
        const auto labels = LabelRuns(image, engine.y0 + 12, engine.y0 + 12 + fm.ascent());
        ASSERT_GE(labels.size(), 3u);
        for (auto [a, b] : labels) EXPECT_LE(b - a + 1, widest + 2) << a;
        const auto dates = LabelRuns(image, engine.y0 + 27, engine.y0 + 27 + fm.ascent());
        EXPECT_EQ(dates.empty(), scale.step.InDays());  // the dates under times of day
        for (auto [a, b] : dates) EXPECT_LE(b - a + 1, dateWidth + 2) << a;
    }
}

TEST(TimeStep, RoundMomentsFallOnTheClockMondaysAndFirstsOfTheMonth) {
    const Moment thursday = ToMoment(QDate(2024, 5, 16), QTime(13, 47, 12));
    const std::pair<TimeStep, QDateTime> cases[] = {
        {TimeStep::Seconds(15 * 60), QDateTime(QDate(2024, 5, 16), QTime(13, 45))},
        {TimeStep::Seconds(6 * 3600), QDateTime(QDate(2024, 5, 16), QTime(12, 0))},
        {TimeStep::Seconds(7 * 86400), QDateTime(QDate(2024, 5, 13), QTime(0, 0))},
        {TimeStep::Months(3), QDateTime(QDate(2024, 4, 1), QTime(0, 0))},
    };
    for (const auto& [step, expected] : cases) {
        const qint64 interval = step.Interval(thursday);
        EXPECT_EQ(FromMoment(step.Start(interval)), FromMoment(ToMoment(expected)))
            << expected.toString().toStdString();
        EXPECT_FALSE(step.Begins(thursday));
        EXPECT_EQ(step.Interval(step.Start(interval + 1)), interval + 1);
    }
}

TEST_F(ChartTest, UnitLabelAndLegendStayWholeBesideANarrowMargin) {
    Fill(store, 300, DayNight);
    engine.marginLeft = 45;  // the printout's
    const QFontMetrics fm(QApplication::font());
    ASSERT_GT(fm.horizontalAdvance(engine.UnitLabel()) + 10, engine.marginLeft);
    for (bool humidity : {true, false}) {
        SCOPED_TRACE(humidity);
        engine.showHum = humidity;
        engine.rescale = true;
        QImage image = Draw();
        QPainter painter(&image);
        engine.SetCanvas(&painter, &image);
        engine.DrawLegend();
        painter.end();

        // The unit label is inked, but not in the surface's first column.
        const QRect unitBand(0, 0, engine.x0 - 8, fm.ascent());
        EXPECT_GT(unitBand.width() * unitBand.height() - CountColour(image, kWhite, unitBand), 20);
        for (int y = 0; y < fm.height(); ++y) EXPECT_TRUE(IsColour(image, 0, y, kWhite)) << y;

        // A sample line of each series shown, under the date labels.
        const QRect legendBand(0, engine.y0 + 44, engine.area.right, engine.area.bottom - engine.y0 - 44);
        EXPECT_GT(CountColour(image, Chart::kTempColour, legendBand), 20);
        EXPECT_EQ(CountColour(image, Chart::kHumColour, legendBand) > 20, humidity);
        EXPECT_EQ(engine.LegendTexts().join(u'|'),
                  humidity ? QStringLiteral("Temperatura [°C]|Wilgotność [%RH]") : QStringLiteral("Temperatura [°C]"));
    }
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

using namespace charttest;

// Vertical and horizontal segments are filled rather than stroked; they must
// cover exactly the pixels the 2-pixel pen covers.
TEST(ChartSegments, FilledSegmentsMatchThePen) {
    EnsureApplication();
    struct Case {
        int count;
        Sample a, b;
    };
    // 2000 records in 100 columns: records 0 and 1 share a column (vertical), the rest run flat;
    // 5 records: one per 20 columns, equal values (horizontal) or not (slanted).
    for (const Case& c :
         {Case{2000, {10.0f, 0}, {20.0f, 0}}, Case{5, {15.0f, 0}, {15.0f, 0}}, Case{5, {12.0f, 0}, {18.0f, 0}}}) {
        ResultsStore store;
        Fill(store, c.count, [&](int k) { return k == 0 ? c.a : c.b; });
        Chart engine(store);
        engine.area = {0, 0, 120, 100};
        engine.marginLeft = engine.marginRight = 10;
        engine.marginTop = engine.marginBottom = 10;
        engine.showTemp = true;
        QImage drawn(120, 100, QImage::Format_RGB32), pen(120, 100, QImage::Format_RGB32);
        drawn.fill(0xFFFFFF);
        pen.fill(0xFFFFFF);
        QPainter p(&drawn);
        engine.SetCanvas(&p, &drawn);
        engine.Layout();
        engine.DrawSeries();
        p.end();
        QPainter q(&pen);
        q.setPen(QPen(QColor::fromRgb(Chart::kTempColour), 2));
        for (int i = 1; i <= std::min(engine.sampleCount, store.Count() - 1); ++i)
            q.drawLine(engine.ToPixel(i, store[i].temperature), engine.ToPixel(i - 1, store[i - 1].temperature));
        q.end();
        ASSERT_GT(CountColour(drawn, Chart::kTempColour), 10) << c.count;
        EXPECT_TRUE(drawn == pen) << c.count;
    }
}

}  // namespace
}  // namespace quorvex
