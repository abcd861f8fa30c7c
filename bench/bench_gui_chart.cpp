// Chart repaint costs: the back buffer of the chart (axes, series, threshold
// lines) for 10 000 and 1 000 000 records into 1200×600 at several zooms, and
// one step of dragging the overview frame over 1 000 000 records in the
// window. The machine may be shared: read the CPU column.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "BenchWindow.h"
#include "chart/Chart.h"
#include "chart/ChartWindow.h"
#include "chart/PaintBox.h"
#include "core/Measurement.h"
#include "logs/LogRecord.h"
#include "logs/ResultsStore.h"

namespace quorvex {
namespace {

// Records as the simulated logger measures them every 5 minutes, through the
// logger's tenths encoding.
void FillFromSimulator(ResultsStore& store, int count) {
    store.Clear();
    store.loggerType = QStringLiteral("0201");
    sim::Climate climate;
    const std::int64_t start = 1'700'000'000;
    const Moment startMoment = 45000.0;
    for (int k = 0; k < count; ++k) {
        const sim::Sample s = sim::MeasureAt(climate, start + 300LL * k);
        const DecodedRecord r = DecodeLogRecord(sim::PackMeasurement(s.celsius, s.percent));
        store.Append(r.temperature, r.humidity, startMoment + k * 300.0 / 86400.0);
    }
}

// The engine of the chart window at 1200×600 over `store`, zoomed to a
// centred window `zoomWidth` percent wide.
void SetUpChart(Chart& engine, int zoomWidth) {
    engine.area = {0, 0, 1200, 600};
    engine.marginLeft = 60;
    engine.marginBottom = 60;
    engine.marginRight = 20;
    engine.marginTop = 25;
    engine.showTemp = engine.showHum = engine.showThresholds = true;
    engine.thresholds = {30.0f, 2.0f, 75.0f, 25.0f};
    engine.zoomWidth = zoomWidth;
    engine.zoomStart = (100 - zoomWidth) / 2;
}

void Repaint(Chart& engine, QImage& image) {
    image.fill(0xF0F0F0);
    QPainter painter(&image);
    engine.SetCanvas(&painter, &image);
    engine.rescale = true;
    engine.Layout();
    engine.DrawAxes();
    engine.DrawSeries();
    engine.DrawThresholds();
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
}

// A repaint of the back buffer for a window already drawn once (a resize, a
// rescale, another series choice): arguments are the record count and the
// zoom width in percent.
void BM_FullRepaint(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore store;
    FillFromSimulator(store, static_cast<int>(state.range(0)));
    Chart engine(store);
    SetUpChart(engine, static_cast<int>(state.range(1)));
    QImage image(1200, 600, QImage::Format_RGB32);
    Repaint(engine, image);
    for (auto _ : state) Repaint(engine, image);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FullRepaint)
    ->Args({10'000, 100})
    ->Args({1'000'000, 100})
    ->Args({1'000'000, 50})
    ->Args({1'000'000, 20})
    ->Args({1'000'000, 10})
    ->Unit(benchmark::kMillisecond);

// The first repaint of a window: a fresh engine, so the value range and the
// column envelopes are computed too (a new download, a zoom step).
void BM_FirstRepaint(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore store;
    FillFromSimulator(store, static_cast<int>(state.range(0)));
    QImage image(1200, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        Chart engine(store);
        SetUpChart(engine, static_cast<int>(state.range(1)));
        Repaint(engine, image);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FirstRepaint)
    ->Args({1'000'000, 100})
    ->Args({1'000'000, 50})
    ->Args({1'000'000, 10})
    ->Unit(benchmark::kMillisecond);

// One mouse step of an overview drag, with both paint boxes painted before it
// counts as done. The frame (argument: its width in percent) travels right and
// back 12 pixels a step, so every step moves the window by a whole percent and
// both back buffers are redrawn each time.
void BM_OverviewDragStep(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore results;
    FillFromSimulator(results, 1'000'000);
    ChartWindow window(results);
    window.resize(1200, 720);
    window.ShowChart();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    while (window.ZoomWidth() > state.range(0)) window.onZoomInClicked();
    QWidget* strip = window.overview;
    const QRect frame = window.WindowRect();
    const int y = strip->height() / 2;
    auto mouse = [&](QEvent::Type type, int x) {
        QMouseEvent event(type, QPointF(x, y), strip->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &event);
    };
    int x = (frame.left() + frame.right()) / 2;
    mouse(QEvent::MouseMove, x);
    mouse(QEvent::MouseButtonPress, x);
    const int redrawsBefore = window.ChartRedrawCount();
    int direction = 12;
    for (auto _ : state) {
        x += direction;
        if (x + direction > strip->width() - 5 || x + direction < 5) direction = -direction;
        mouse(QEvent::MouseMove, x);
        window.chartBox->repaint();
        strip->repaint();
    }
    mouse(QEvent::MouseButtonRelease, x);
    state.counters["redraws_per_step"] =
        static_cast<double>(window.ChartRedrawCount() - redrawsBefore) / static_cast<double>(state.iterations());
    window.hide();
}
BENCHMARK(BM_OverviewDragStep)->Arg(10)->Arg(20)->Arg(50)->Arg(90)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
