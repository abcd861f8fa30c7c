// The series drawn per pixel column against the same series drawn record by
// record: the pictures must agree pixel for pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <random>
#include <sstream>

#include "ChartTestUtil.h"
#include "chart/Chart.h"

namespace quorvex {
namespace {

using namespace charttest;

enum class Shape { Wandering, Crossing, BeyondRange };

// Tenths of a degree, as the logger measures: a wandering curve with flat runs,
// rare spikes and single records that drop out of the curve and come back.
// Crossing: humidity runs through the temperature. BeyondRange: some records
// lie outside the value range the chart is drawn for.
void FillRandom(ResultsStore& store, int count, Shape shape, std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::normal_distribution<float> step(0.0f, 0.4f);
    auto tenths = [](float v) { return static_cast<float>(std::lround(v * 10.0f)) / 10.0f; };
    float t = 20.0f, h = 50.0f;
    int flat = 0;
    store.Clear();
    for (int k = 0; k < count; ++k) {
        if (flat > 0) {
            --flat;
        } else {
            t += step(rng);
            h += 2.0f * step(rng);
            if (unit(rng) < 0.02f) flat = static_cast<int>(unit(rng) * 200.0f);
        }
        float tk = t, hk = shape == Shape::Crossing ? t + 3.0f * step(rng) : h;
        const float r = unit(rng);
        if (r < 0.003f)
            tk += 25.0f * (unit(rng) - 0.5f);  // spike
        else if (r < 0.01f)
            tk = 0.0f;  // one record out of the curve
        if (unit(rng) < 0.005f) hk += 40.0f * (unit(rng) - 0.5f);
        store.Append(tenths(tk), tenths(hk), MomentOf(k));
    }
    if (shape == Shape::BeyondRange) {
        // The chart believes the values lie in a narrower band than they do.
        store.tempMax = store.tempMin + (store.tempMax - store.tempMin) / 3.0f;
        store.humMin = store.humMax - (store.humMax - store.humMin) / 3.0f;
    }
}

QImage Draw(Chart& engine, QImage::Format format, bool eachRecord) {
    QImage image(engine.area.right, engine.area.bottom, format);
    image.fill(format == QImage::Format_ARGB32_Premultiplied ? QColor(Qt::transparent) : QColor(0xF0F0F0));
    QPainter painter(&image);
    engine.SetCanvas(&painter, &image);
    engine.rescale = true;
    engine.Layout();
    engine.DrawAxes();
    if (eachRecord)
        engine.DrawSeriesEachRecord();
    else
        engine.DrawSeries();
    engine.DrawThresholds();
    painter.end();
    engine.SetCanvas(nullptr);
    return image;
}

std::string FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                std::ostringstream out;
                out << "first difference at " << x << "," << y << ": " << std::hex << a.pixel(x, y) << " vs "
                    << b.pixel(x, y);
                return out.str();
            }
    return "same";
}

TEST(ChartSeries, ColumnDrawingIsPixelForPixelTheRecordByRecordDrawing) {
    EnsureApplication();
    std::mt19937 rng(20240501);
    struct Size {
        int width, height;
    };
    struct Zoom {
        int start, width;
    };
    const Size sizes[] = {{1200, 600}, {300, 96}, {517, 233}};
    const Zoom zooms[] = {{0, 100}, {10, 20}, {45, 10}, {90, 10}};
    int compared = 0;
    for (int count : {1, 2, 7, 300, 5000, 200000}) {
        ResultsStore store;
        for (Shape shape : {Shape::Wandering, Shape::Crossing, Shape::BeyondRange}) {
            FillRandom(store, count, shape, rng);
            for (const Size& size : sizes) {
                for (const Zoom& zoom : zooms) {
                    // The largest store at one size only: it is the slow reference that costs.
                    if (count == 200000 && size.width != 1200) continue;
                    const int which = compared % 3;  // both series, temperature only, humidity only
                    Chart engine(store);
                    engine.area = {0, 0, size.width, size.height};
                    engine.marginLeft = size.height > 100 ? 60 : 0;
                    engine.marginBottom = size.height > 100 ? 60 : 0;
                    engine.marginRight = size.height > 100 ? 20 : 0;
                    engine.marginTop = size.height > 100 ? 25 : 0;
                    engine.showTemp = which != 2;
                    engine.showHum = which != 1;
                    engine.showThresholds = compared % 2 == 0;
                    engine.thresholds = {24.0f, 16.0f, 60.0f, 40.0f};
                    engine.zoomStart = zoom.start;
                    engine.zoomWidth = zoom.width;
                    const auto format = size.height < 100 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
                    SCOPED_TRACE(testing::Message() << count << " records, shape " << static_cast<int>(shape) << ", "
                                                    << size.width << "x" << size.height << ", zoom " << zoom.start
                                                    << "+" << zoom.width << ", series " << which);
                    const QImage reference = Draw(engine, format, true);
                    const QImage columns = Draw(engine, format, false);
                    ASSERT_TRUE(reference == columns) << FirstDifference(reference, columns);
                    // A second size of the same window reuses what the first one built.
                    engine.area.bottom = size.height + 37;
                    ASSERT_TRUE(Draw(engine, format, true) == Draw(engine, format, false));
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 150);
}

TEST(ChartSeries, ALoneRecordIsAPointAndAStoreThatChangesIsDrawnAfresh) {
    EnsureApplication();
    ResultsStore store;
    store.loggerType = QStringLiteral("0201");
    store.Append(21.5f, 48.0f, MomentOf(0));
    Chart engine(store);
    engine.area = {0, 0, 400, 300};
    engine.marginLeft = 60;
    engine.marginBottom = 60;
    engine.marginRight = 20;
    engine.marginTop = 25;
    engine.showTemp = engine.showHum = true;
    QImage image = Draw(engine, QImage::Format_RGB32, false);
    const QPoint t = engine.ToPixel(0.0f, 21.5f), h = engine.ToPixel(0.0f, 48.0f);
    EXPECT_EQ(CountColour(image, Chart::kTempColour), 4);
    EXPECT_EQ(CountColour(image, Chart::kHumColour), 4);
    EXPECT_TRUE(IsColour(image, t.x(), t.y(), Chart::kTempColour));
    EXPECT_TRUE(IsColour(image, h.x() - 1, h.y() - 1, Chart::kHumColour));

    // Same window, same count, other records: the columns are built again.
    Fill(store, 3000, DayNight);
    const QImage before = Draw(engine, QImage::Format_RGB32, false);
    Fill(store, 3000, [](int k) { return Sample{DayNight(k).humidity - 30.0f, DayNight(k).temperature + 30.0f}; });
    EXPECT_TRUE(Draw(engine, QImage::Format_RGB32, true) == Draw(engine, QImage::Format_RGB32, false));
    EXPECT_FALSE(before == Draw(engine, QImage::Format_RGB32, false));
}

}  // namespace
}  // namespace quorvex
