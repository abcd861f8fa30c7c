#include "chart/ChartWindow.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <set>
#include <span>
#include <string>

#include "ChartTestUtil.h"
#include "ProgramTextsScope.h"
#include "chart/ObjectNames.h"
#include "chart/PaintBox.h"
#include "chart/SharedNames.h"
#include "i18n/Translator.h"
#include "logs/LogRecord.h"
#include "print/ObjectNames.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/ObjectNames.h"

namespace quorvex {
namespace {

using namespace charttest;

class ChartWindowTest : public ::testing::Test {
protected:
    ChartWindowTest() {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        Fill(results, 2000, DayNight);
        results.loggerName = QStringLiteral("Chłodnia");
        results.loggerType = QStringLiteral("0201");
        results.serialNumber = QStringLiteral("0019A7F3");
        results.writeInterval = QStringLiteral("0d  00h:05m:00s");
        *window.ThresholdsBlock() = {26.0f, 16.0f, 70.0f, 30.0f};
        window.resize(1080, 700);  // overview strip 1000 pixels wide
        window.SetResults(results);
        window.ShowChart();
        Settle();
    }

    static void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    static void Mouse(QWidget* box, QEvent::Type type, int x, int y) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, y), box->mapToGlobal(QPointF(x, y)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(box, &event);
    }

    // Grabs the frame at `from`, drags it by `by` pixels in steps, releases it.
    void Drag(int from, int by) {
        QWidget* strip = window.overview;
        Mouse(strip, QEvent::MouseMove, from, 40);
        Mouse(strip, QEvent::MouseButtonPress, from, 40);
        const int steps = 10;
        for (int s = 1; s <= steps; ++s) Mouse(strip, QEvent::MouseMove, from + by * s / steps, 40);
        Mouse(strip, QEvent::MouseButtonRelease, from + by, 40);
        Settle();
    }

    // Whether most of an overview column is aqua (the zoom window; series may cross it).
    bool AquaColumn(int x) const {
        const QImage& overview = window.OverviewBitmap();
        return CountColour(overview, 0x00FFFF, QRect(x, 0, 1, overview.height())) > overview.height() / 2;
    }

    int StripWidth() const { return window.overview->width(); }

    // The application exists before the window is built.
    struct Application {
        Application() { EnsureApplication(); }
    } application_;
    ResultsStore results;
    ChartWindow window{results};
};

TEST_F(ChartWindowTest, OpensOnAllRecordsWithBothSeries) {
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wykres"));
    ASSERT_EQ(StripWidth(), 1000);
    EXPECT_EQ(window.ZoomStart(), 0);
    EXPECT_EQ(window.ZoomWidth(), 100);
    EXPECT_EQ(window.FirstIndex(), 0);
    EXPECT_EQ(window.SampleCount(), 2000);
    EXPECT_TRUE(window.bothSeriesButton->isChecked());
    EXPECT_TRUE(window.ShowsTemp() && window.ShowsHum());
    EXPECT_FALSE(window.printButton->isEnabled());
    EXPECT_FALSE(window.thresholdsOffButton->isVisible());
    const QImage& chart = window.ChartBitmap();
    EXPECT_EQ(chart.size(), window.chartBox->size());
    EXPECT_GT(CountColour(chart, Chart::kTempColour), 500);
    EXPECT_GT(CountColour(chart, Chart::kHumColour), 500);
    // The whole overview is the zoom window: aqua from end to end.
    const QImage& overview = window.OverviewBitmap();
    EXPECT_TRUE(AquaColumn(2));
    EXPECT_TRUE(AquaColumn(StripWidth() - 3));
    EXPECT_GT(CountColour(overview, Chart::kTempColour), 300);
}

TEST_F(ChartWindowTest, ZoomButtonsStepByTenPercent) {
    const int w = StripWidth();
    for (int expected : {90, 80, 70}) {
        window.zoomInButton->click();
        EXPECT_EQ(window.ZoomWidth(), expected);
        EXPECT_EQ(window.ZoomStart(), (100 - expected) / 2);
    }
    EXPECT_EQ(window.DragFrame().left, w * 15 / 100);
    EXPECT_EQ(window.DragFrame().right, w * 70 / 100 + w * 15 / 100);
    EXPECT_EQ(window.FirstIndex(), 300);
    EXPECT_EQ(window.SampleCount(), 1400);
    // The aqua window follows: records 300..1700 of 2000.
    EXPECT_FALSE(AquaColumn(w * 10 / 100));
    EXPECT_TRUE(AquaColumn(w * 16 / 100));
    EXPECT_TRUE(AquaColumn(w * 84 / 100));
    EXPECT_FALSE(AquaColumn(w * 90 / 100));

    for (int i = 0; i < 10; ++i) window.zoomInButton->click();
    EXPECT_EQ(window.ZoomWidth(), 10);  // never narrower

    window.zoomAllButton->click();
    EXPECT_EQ(window.ZoomWidth(), 100);
    EXPECT_EQ(window.ZoomStart(), 0);
    EXPECT_EQ(window.DragFrame().left, 0);
    EXPECT_EQ(window.DragFrame().right, w);
}

TEST_F(ChartWindowTest, DraggingMovesTheWindowAndPinsAtBothEnds) {
    for (int i = 0; i < 9; ++i) window.zoomInButton->click();
    ASSERT_EQ(window.ZoomWidth(), 10);
    ASSERT_EQ(window.ZoomStart(), 45);
    ASSERT_EQ(window.WindowRect().left(), 451);

    Drag(500, 400);  // frame 450..550 to 850..950
    EXPECT_EQ(window.DragFrame().left, 850);
    EXPECT_EQ(window.ZoomStart(), 85);
    EXPECT_FALSE(window.Dragging());
    EXPECT_EQ(window.FirstIndex(), 1700);
    // Zoom out from start 85, width 10.
    window.zoomOutButton->click();
    EXPECT_EQ(window.ZoomWidth(), 20);
    EXPECT_EQ(window.ZoomStart(), 80);

    Drag(900, 300);  // past the right end: stops at the strip's width
    EXPECT_EQ(window.DragFrame().right, StripWidth());
    EXPECT_EQ(window.DragFrame().right - window.DragFrame().left, 200);
    EXPECT_EQ(window.ZoomStart(), 80);

    Drag(900, -1200);  // past the left end: pinned at 0, same width
    EXPECT_EQ(window.DragFrame().left, 0);
    EXPECT_EQ(window.DragFrame().right, 200);
    EXPECT_EQ(window.ZoomStart(), 0);
    EXPECT_EQ(window.FirstIndex(), 0);

    // Pressing outside the window does not start a drag.
    Drag(600, -300);
    EXPECT_EQ(window.DragFrame().left, 0);
}

TEST_F(ChartWindowTest, ZoomOutFromTheLeftEdgeKeepsTheStartAtZero) {
    window.zoomInButton->click();
    Drag(500, -200);
    ASSERT_EQ(window.ZoomStart(), 0);
    ASSERT_EQ(window.ZoomWidth(), 90);
    window.zoomOutButton->click();
    EXPECT_EQ(window.ZoomWidth(), 100);
    EXPECT_EQ(window.ZoomStart(), 0);
}

TEST_F(ChartWindowTest, TemperatureOnlyLoggerHasNoHumidity) {
    results.loggerType = QStringLiteral("0101");
    window.RefreshChart();
    window.bothSeriesButton->click();
    Settle();
    EXPECT_FALSE(window.humSeriesButton->isEnabled());
    EXPECT_TRUE(window.ShowsTemp());
    EXPECT_FALSE(window.ShowsHum());
    EXPECT_EQ(window.ChartEngine().UnitLabel(), QStringLiteral("[°C]"));
    EXPECT_EQ(CountColour(window.ChartBitmap(), Chart::kHumColour), 0);
    EXPECT_GT(CountColour(window.ChartBitmap(), Chart::kTempColour), 500);
    EXPECT_FALSE(window.ExtremesText().contains(QLatin1Char('%')));

    // Temperature alone on a humidity logger, then humidity alone.
    results.loggerType = QStringLiteral("0201");
    window.tempSeriesButton->click();
    Settle();
    EXPECT_TRUE(window.humSeriesButton->isEnabled());
    EXPECT_EQ(CountColour(window.ChartBitmap(), Chart::kHumColour), 0);
    window.humSeriesButton->click();
    Settle();
    EXPECT_EQ(CountColour(window.ChartBitmap(), Chart::kTempColour), 0);
    EXPECT_GT(CountColour(window.ChartBitmap(), Chart::kHumColour), 500);
    // The range follows the series shown: humidity 40..60.
    EXPECT_FLOAT_EQ(window.ChartEngine().yMax, 61.0f);
}

TEST_F(ChartWindowTest, ThresholdsButtonShowsAndHidesTheLines) {
    window.tempSeriesButton->click();
    Settle();
    const float narrowMin = window.ChartEngine().yMin;
    const float narrowMax = window.ChartEngine().yMax;
    const auto lineAt = [&](float value) {
        const Chart& e = window.ChartEngine();
        const int row = e.ToPixel(0, value).y();
        return CountColour(window.ChartBitmap(), Chart::kTempColour, QRect(e.x0 + 1, row, 300, 1));
    };

    window.thresholdsButton->click();
    Settle();
    EXPECT_TRUE(window.ShowsThresholds());
    EXPECT_TRUE(window.thresholdsButton->isChecked());
    EXPECT_FLOAT_EQ(window.ChartEngine().yMax, 27.0f);
    EXPECT_FLOAT_EQ(window.ChartEngine().yMin, 15.0f);
    EXPECT_GT(lineAt(26.0f), 100);
    EXPECT_GT(lineAt(16.0f), 100);

    window.thresholdsButton->click();
    Settle();
    EXPECT_FALSE(window.ShowsThresholds());
    EXPECT_FALSE(window.thresholdsButton->isChecked());
    EXPECT_FLOAT_EQ(window.ChartEngine().yMin, narrowMin);
    EXPECT_FLOAT_EQ(window.ChartEngine().yMax, narrowMax);
    EXPECT_LT(window.ChartEngine().ToPixel(0, 26.0f).y(), window.ChartEngine().marginTop);  // off the plot now
}

TEST_F(ChartWindowTest, MouseMovesReuseTheBackBuffer) {
    const int redraws = window.ChartRedrawCount();
    const int overviewRedraws = window.OverviewRedrawCount();
    QWidget* box = window.chartBox;
    const Chart& e = window.ChartEngine();
    QString last;
    for (int x = e.x0 + 3; x < box->width() - 30; x += 97) {
        Mouse(box, QEvent::MouseMove, x, 200);
        box->repaint();
        EXPECT_NE(window.CursorText(), last) << x;
        last = window.CursorText();
    }
    EXPECT_EQ(window.ChartRedrawCount(), redraws);
    EXPECT_EQ(window.OverviewRedrawCount(), overviewRedraws);

    // The cursor line is on the screen, not in the back buffer.
    Mouse(box, QEvent::MouseMove, e.x0 + 400, 200);
    const QImage screen = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int column = e.ToPixel(e.cursorIndex - e.firstIndex, 0).x();
    const int row = (e.marginTop + e.y0) / 2;
    EXPECT_TRUE(IsColour(screen, column, row, 0x000000));
    EXPECT_FALSE(IsColour(window.ChartBitmap(), column, row, 0x000000));

    // Left of the plot and past the last record: no read-out.
    Mouse(box, QEvent::MouseMove, e.x0 - 3, 200);
    EXPECT_EQ(window.CursorText(), QString());
    EXPECT_EQ(e.cursorIndex, -1);
    Mouse(box, QEvent::MouseMove, box->width() - 2, 200);
    EXPECT_EQ(e.cursorIndex, -1);
}

TEST_F(ChartWindowTest, ACursorAZoomLeavesOutsideTheWindowStaysHiddenUntilTheMouseMoves) {
    QWidget* box = window.chartBox;
    const Chart& e = window.ChartEngine();
    Mouse(box, QEvent::MouseMove, e.ToPixel(50, 0).x(), 200);  // record 50 of 2000
    box->repaint();
    ASSERT_NEAR(e.cursorIndex, 50, 3);
    window.zoomInButton->click();  // records 100..1900: record 50 would stand over the value labels
    box->repaint();
    EXPECT_EQ(e.cursorIndex, -1);
    EXPECT_EQ(window.CursorText(), QString());
    const QImage screen = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(CountColour(screen, 0x000000, QRect(0, e.marginTop, e.x0 - 8, e.y0 - e.marginTop)), 0);
    Mouse(box, QEvent::MouseMove, e.x0 + 10, 200);
    box->repaint();
    EXPECT_GE(e.cursorIndex, 100);
    EXPECT_FALSE(window.CursorText().isEmpty());
}

TEST_F(ChartWindowTest, HitTestFollowsAZoomNotYetPainted) {
    for (int i = 0; i < 9; ++i) window.zoomInButton->click();  // records 900..1100
    QWidget* strip = window.overview;
    Mouse(strip, QEvent::MouseMove, 500, 40);
    Mouse(strip, QEvent::MouseButtonPress, 500, 40);
    Mouse(strip, QEvent::MouseMove, 600, 40);  // start 55 %: records 1100..1300, not painted yet
    Mouse(strip, QEvent::MouseButtonRelease, 600, 40);
    Mouse(window.chartBox, QEvent::MouseMove, window.ChartEngine().x0, 200);
    EXPECT_EQ(window.ChartEngine().cursorIndex, 1100);
}

TEST_F(ChartWindowTest, ReadOutExtremesAndFooterTexts) {
    const Chart& e = window.ChartEngine();
    for (int i = 0; i < 9; ++i) window.zoomInButton->click();  // records 900..1100, 5 pixels apart
    Mouse(window.chartBox, QEvent::MouseMove, e.ToPixel(5, 0).x(), 200);
    ASSERT_EQ(e.cursorIndex, 905);  // 905 × 5 minutes after 1 May, 00:00
    EXPECT_EQ(window.CursorText(), QStringLiteral("04-05-2024r  03:25 00s     ") +
                                       LogTemperatureText(results[905].temperature) + QStringLiteral("     ") +
                                       LogHumidityText(results[905].humidity));
    window.zoomAllButton->click();
    EXPECT_EQ(window.ExtremesText(), QStringLiteral("Max: Min:  (") + LogTemperatureText(results.tempMax) +
                                         QStringLiteral("  ") + LogTemperatureText(results.tempMin) +
                                         QStringLiteral(")  (") + LogHumidityText(results.humMax) +
                                         QStringLiteral("  ") + LogHumidityText(results.humMin) + QStringLiteral(")"));
    EXPECT_EQ(window.FooterText(),
              QStringLiteral("Nazwa: Chłodnia   Numer: 0019A7F3   Częstość zapisu: 0d  00h:05m:00s"));
}

TEST_F(ChartWindowTest, WheelZoomsAroundThePointer) {
    QWidget* box = window.chartBox;
    const Chart& e = window.ChartEngine();
    auto wheel = [&](int x, int delta) {
        QWheelEvent event(QPointF(x, 200), box->mapToGlobal(QPointF(x, 200)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &event);
        Settle();
    };
    const int x = e.ToPixel(1500, 0).x();  // three quarters in
    Mouse(box, QEvent::MouseMove, x, 200);
    const int underPointer = e.cursorIndex;
    for (int expected : {90, 80, 70}) {
        wheel(x, 120);
        EXPECT_EQ(window.ZoomWidth(), expected);
        // The record under the pointer stays there (to a percent of the records).
        EXPECT_NEAR(e.cursorIndex, underPointer, 20);
        EXPECT_NEAR(window.FirstIndex() + (x - e.x0) / e.xStep, underPointer, 20);
    }
    EXPECT_EQ(window.DragFrame().left, StripWidth() * window.ZoomStart() / 100);
    wheel(x, 60);  // half a notch waits for the other half
    EXPECT_EQ(window.ZoomWidth(), 70);
    wheel(x, -3 * 120 - 60);
    EXPECT_EQ(window.ZoomWidth(), 100);
    EXPECT_EQ(window.ZoomStart(), 0);
}

TEST_F(ChartWindowTest, DraggingASpanAcrossTheChartZoomsToIt) {
    QWidget* box = window.chartBox;
    const Chart& e = window.ChartEngine();
    const int from = e.ToPixel(400, 0).x(), to = e.ToPixel(800, 0).x();
    Mouse(box, QEvent::MouseButtonPress, from, 200);
    for (int x = from; x <= to; x += 40) Mouse(box, QEvent::MouseMove, x, 200);
    EXPECT_TRUE(window.Spanning());
    Mouse(box, QEvent::MouseButtonRelease, to, 200);
    Settle();
    // Records 400..800 of 2000, to a percent: 20 % to 40 %.
    EXPECT_NEAR(window.FirstIndex(), 400, 20);
    EXPECT_NEAR(window.FirstIndex() + window.SampleCount(), 800, 20);
    EXPECT_TRUE(AquaColumn(StripWidth() * 30 / 100));
    EXPECT_FALSE(AquaColumn(StripWidth() * 50 / 100));

    // Narrower than a zoom step: zooming in keeps it, zooming out widens it by one.
    const int a = e.ToPixel(10, 0).x(), b = e.ToPixel(50, 0).x();
    Mouse(box, QEvent::MouseButtonPress, a, 200);
    Mouse(box, QEvent::MouseMove, b, 200);
    Mouse(box, QEvent::MouseButtonRelease, b, 200);
    const int narrow = window.ZoomWidth();
    ASSERT_LT(narrow, 10);
    window.zoomInButton->click();
    EXPECT_EQ(window.ZoomWidth(), narrow);
    window.zoomOutButton->click();
    EXPECT_EQ(window.ZoomWidth(), narrow + 10);
}

TEST_F(ChartWindowTest, TitleTipsAndReadOutFollowTheLanguage) {
    quorvex::test::ProgramTextsScope texts;
    const Chart& e = window.ChartEngine();
    for (int i = 0; i < 9; ++i) window.zoomInButton->click();  // records 900..1100
    Mouse(window.chartBox, QEvent::MouseMove, e.ToPixel(5, 0).x(), 200);
    ASSERT_EQ(e.cursorIndex, 905);  // 4 May 2024, 03:25
    struct Case {
        QString language, title, zoomInTip, moment, legend;
    } const cases[] = {
        {kLanguageEnglish, "Chart", "Zoom in", "2024-05-04  03:25:00", "Temperature [°C]"},
        {kLanguageGerman, "Diagramm", "Vergrößern", "04.05.2024  03:25:00", "Temperatur [°C]"},
        {kLanguagePolish, "Wykres", "Powiększ", "04-05-2024r  03:25 00s", "Temperatura [°C]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language.toStdString());
        texts.SetLanguage(c.language);
        const int redraws = window.ChartRedrawCount();
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(&window, &change);
        Settle();
        EXPECT_EQ(window.windowTitle(), c.title);
        EXPECT_TRUE(window.zoomInButton->toolTip().startsWith(c.zoomInTip));
        EXPECT_FALSE(window.printButton->toolTip().isEmpty() || window.printButton->toolTip().startsWith(u'['));
        EXPECT_TRUE(window.CursorText().startsWith(c.moment + QStringLiteral("     ")))
            << window.CursorText().toStdString();
        EXPECT_EQ(window.ChartEngine().LegendTexts().value(0), c.legend);
        EXPECT_GT(window.ChartRedrawCount(), redraws);  // the legend is in the back buffer
    }
}

TEST_F(ChartWindowTest, ChartGrowsAsBlocksArrive) {
    results.Clear();
    results.loggerType = QStringLiteral("0201");
    window.hide();
    window.ShowChart();
    Settle();
    EXPECT_EQ(window.SampleCount(), 0);
    EXPECT_EQ(CountColour(window.ChartBitmap(), Chart::kTempColour), 0);

    int lastRedraws = window.ChartRedrawCount();
    for (int block = 1; block <= 5; ++block) {
        for (int k = 0; k < 62; ++k) {
            const Sample s = DayNight(results.Count() * 3);
            results.Append(s.temperature, s.humidity, MomentOf(results.Count()));
        }
        window.RefreshChart();
        Settle();
        EXPECT_EQ(window.SampleCount(), 62 * block);
        EXPECT_GT(window.ChartRedrawCount(), lastRedraws);
        lastRedraws = window.ChartRedrawCount();
        // The newest record is drawn at the right end of the plot.
        const Chart& e = window.ChartEngine();
        const int last = results.Count() - 1;
        const QPoint p = e.ToPixel(last, results[last].temperature);
        EXPECT_TRUE(IsColour(window.ChartBitmap(), p.x(), p.y(), Chart::kTempColour) ||
                    IsColour(window.ChartBitmap(), p.x() - 1, p.y(), Chart::kTempColour))
            << block;
        // And in the overview, whose series are kept between drag steps.
        int overviewRed = 0;
        const int x = (results.Count() - 1) * StripWidth() / results.Count();
        overviewRed += CountColour(window.OverviewBitmap(), Chart::kTempColour, QRect(x - 2, 0, 3, 96));
        EXPECT_GT(overviewRed, 0) << block;
    }
    // Nothing new: a refresh paints from the back buffer.
    window.RefreshChart();
    Settle();
    EXPECT_EQ(window.ChartRedrawCount(), lastRedraws);
}

TEST_F(ChartWindowTest, EveryShowingResetsZoomAndSeries) {
    window.zoomInButton->click();
    window.tempSeriesButton->click();
    window.hide();
    window.ShowChart();
    Settle();
    EXPECT_EQ(window.ZoomWidth(), 100);
    EXPECT_EQ(window.ZoomStart(), 0);
    EXPECT_TRUE(window.bothSeriesButton->isChecked());
    EXPECT_TRUE(window.ShowsHum());
    // Showing an open window again only raises it.
    window.zoomInButton->click();
    window.ShowChart();
    EXPECT_EQ(window.ZoomWidth(), 90);
}

// Tests, the translator and outside checks find widgets by these names: two constants with one
// string would make a lookup find the wrong widget, and a name set outside the list would be
// a handle nobody keeps.
TEST_F(ChartWindowTest, ObjectNamesAreUniqueAndTheWindowUsesOnlyThose) {
    std::set<std::string> names;
    // Each folder keeps its windows' names; together they are every name the program sets.
    for (const auto& list :
         {std::span<const char* const>(objname::kChartNames), std::span<const char* const>(objname::kSharedNames),
          std::span<const char* const>(objname::kPrintNames), std::span<const char* const>(objname::kUiNames),
          std::span<const char* const>(objname::kDialogNames)})
        for (const char* name : list) EXPECT_TRUE(names.insert(name).second) << name;
    int named = 0;
    for (QObject* object : window.findChildren<QObject*>()) {
        const std::string name = object->objectName().toStdString();
        if (name.empty() || name.rfind("qt_", 0) == 0) continue;
        ++named;
        EXPECT_EQ(names.count(name), 1u) << name;
    }
    EXPECT_EQ(names.count(window.objectName().toStdString()), 1u);
    EXPECT_GT(named, 10);
}

}  // namespace
}  // namespace quorvex
