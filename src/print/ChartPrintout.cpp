#include "print/ChartPrintout.h"

#include <QFontMetrics>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "chart/Chart.h"
#include "logs/DewPointSeries.h"
#include "params/Codecs.h"
#include "print/TablePrinter.h"

namespace quorvex {

namespace {

// The bitmap's margins: room for the value labels left (and right), the time
// and date labels and the legend below.
constexpr int kMarginLeft = 45;
constexpr int kMarginRight = 10;
constexpr int kMarginRightWithAxis = 45;
constexpr int kMarginBottom = 60;
constexpr int kMarginTop = 25;

void SetUp(Chart& engine, QPainter& canvas, const QImage& bitmap, const ChartPrintView& view, int marginRight) {
    engine.SetCanvas(&canvas, &bitmap);
    engine.showThresholds = view.showThresholds;
    engine.rescale = true;  // a fresh engine: the value range is computed for this window
    engine.thresholds = view.thresholds;
    engine.area = {0, 0, bitmap.width(), bitmap.height()};
    engine.marginLeft = kMarginLeft;
    engine.marginBottom = kMarginBottom;
    engine.marginRight = marginRight;
    engine.marginTop = kMarginTop;
    engine.zoomStart = view.zoomStart;
    engine.zoomWidth = view.zoomWidth;
}

// Widens the engine's value range to hold `values` with the engine's own room of one unit.
void Reach(Chart& engine, const QList<float>& values) {
    engine.Layout();
    bool widened = false;
    for (const float v : values) {
        if (!std::isfinite(v)) continue;
        if (v + 1.0f > engine.yMax) {
            engine.yMax = v + 1.0f;
            widened = true;
        }
        if (v - 1.0f < engine.yMin) {
            engine.yMin = v - 1.0f;
            widened = true;
        }
    }
    engine.rescale = false;
    if (widened) engine.Layout();  // the same window: only the scale follows the range
}

bool OnHumidityScale(const ExcursionRule& rule) { return rule.series == RuleSeries::Humidity; }

bool Drawn(const ExcursionRule& rule) { return rule.series != RuleSeries::KineticTemperature; }

QRgb ColourOf(const ExcursionRule& rule) {
    switch (rule.series) {
    case RuleSeries::Humidity:
        return Chart::kHumColour;
    case RuleSeries::DewPoint:
        return Chart::kDewPointColour;
    default:
        return Chart::kTempColour;
    }
}

// The humidity's own axis at the right end of the plot: ticks, labels a
// round number of percent apart, and its unit at the top as the left axis has it.
void DrawHumidityAxis(QPainter& p, const Chart& humidity) {
    const QFontMetrics fm(p.font());
    const int x = humidity.ToPixel(static_cast<float>(humidity.sampleCount), humidity.yMin).x();
    const int bottom = humidity.y0;
    const int top = humidity.ToPixel(0.0f, humidity.yMax).y() - 10;
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(x, bottom, x, top);
    p.drawLine(x, top, x - 4, top + 6);
    p.drawLine(x, top, x + 4, top + 6);
    // Labels at least two text heights apart, on a step of 1, 2 or 5 times a power of ten.
    const double least = 2.0 * fm.height() / std::max(1e-6f, humidity.yScale);
    double step = std::pow(10.0, std::floor(std::log10(std::max(least, 1e-6))));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= least) {
            step *= factor;
            break;
        }
    }
    step = std::max(step, 1.0);
    const QColor purple = QColor::fromRgb(Chart::kTextColour);
    for (double v = std::ceil(humidity.yMin / step) * step; v <= humidity.yMax; v += step) {
        const int row = humidity.ToPixel(0.0f, static_cast<float>(v)).y();
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(x - 4, row, x + 6, row);
        p.setPen(purple);
        p.drawText(QPoint(x + 9, row - fm.height() / 2 + fm.ascent()), QString::number(v, 'g', 6));
    }
    p.setPen(purple);
    p.drawText(QPoint(x + 10, fm.ascent()), QStringLiteral("[%]"));
}

// Each rule's limit across the plot in its series' colour, with its number and limit at the right end.
void DrawRuleLimits(QPainter& p, const Chart& left, const Chart* humidity, const QList<ExcursionRule>& rules) {
    const QFontMetrics fm(p.font());
    const QChar separator = SystemDecimalSeparator();
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const ExcursionRule& rule = rules[i];
        if (!Drawn(rule)) continue;
        const Chart& scale = OnHumidityScale(rule) && humidity ? *humidity : left;
        const QPoint from = scale.ToPixel(0.0f, rule.limit);
        const QPoint to = scale.ToPixel(static_cast<float>(scale.sampleCount), rule.limit);
        const QColor colour = QColor::fromRgb(ColourOf(rule));
        p.setPen(QPen(colour, 1, Qt::DashLine));
        p.drawLine(from, to);
        const QString label =
            QStringLiteral("%1: %2").arg(i + 1).arg(SeriesValueText(rule.series, rule.limit, separator));
        p.setPen(colour);
        p.drawText(QPoint(to.x() - 4 - fm.horizontalAdvance(label), to.y() - 3 - fm.descent()), label);
    }
    p.setPen(QPen(Qt::black, 1));
}

}  // namespace

std::pair<int, int> ChartRecordRange(int firstIndex, int sampleCount, int recordCount) {
    int last = firstIndex + sampleCount;
    if (last >= recordCount) last = recordCount - 1;
    return {firstIndex, last};
}

void DrawChartPage(QPainter& painter, QPagedPaintDevice& device, const ChartPrintView& view,
                   const PageHeaderFunction& header, const ChartPageExtras& extras) {
    const int pageWidth = device.width();
    const int pageHeight = device.height();
    painter.fillRect(QRect(0, 0, pageWidth, pageHeight), Qt::white);
    const int left = static_cast<int>(pageWidth * 0.1);
    const int right = pageWidth - static_cast<int>((pageWidth - left) * 0.04);

    int top = header ? header(painter, left, right, 0) : 0;
    DrawHeaderRule(painter, left, right, top);
    top += 6 + 100;

    const int width = (right - left) / 4;
    const int height = (pageHeight - top) / 4;
    if (width < 1 || height < 1) return;  // the header took the whole page
    QImage bitmap(width, height, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    {
        QPainter canvas(&bitmap);
        // The printouts' face at the size asked for: the chart's labels do not
        // change with the faces installed where it is printed.
        const int points = view.font.pointSize() > 0 ? view.font.pointSize() : 9;
        canvas.setFont(PrintFont(points, view.font.bold()));
        const ResultsStore none;
        const ResultsStore& results = view.results ? *view.results : none;
        DewPointSeries dewPoints;
        if (view.showDewPoint) dewPoints.Update(results);
        const bool ownAxis = extras.humidityAxis && view.showHum && view.showTemp;
        Chart engine(results);
        SetUp(engine, canvas, bitmap, view, ownAxis ? kMarginRightWithAxis : kMarginRight);
        engine.showTemp = view.showTemp;
        engine.showHum = view.showHum && !ownAxis;
        engine.showDewPoint = view.showDewPoint;
        engine.dewPoints = &dewPoints;
        Chart humidity(results);
        SetUp(humidity, canvas, bitmap, view, kMarginRightWithAxis);
        humidity.showTemp = false;
        humidity.showHum = true;

        QList<float> leftLimits, humidityLimits;
        for (const ExcursionRule& rule : extras.rules) {
            if (!Drawn(rule)) continue;
            (OnHumidityScale(rule) && ownAxis ? humidityLimits : leftLimits).push_back(rule.limit);
        }
        Reach(engine, leftLimits);
        if (ownAxis) Reach(humidity, humidityLimits);

        engine.DrawAxes();
        engine.DrawSeries();
        if (ownAxis) humidity.DrawSeries();
        engine.DrawDewPoint();
        engine.DrawThresholds();
        if (ownAxis) {
            humidity.DrawThresholds();
            DrawHumidityAxis(canvas, humidity);
        }
        DrawRuleLimits(canvas, engine, ownAxis ? &humidity : nullptr, extras.rules);
        engine.showHum = view.showHum;  // the legend names every series drawn
        engine.DrawLegend();
        engine.SetCanvas(nullptr);
        humidity.SetCanvas(nullptr);
    }
    // A plain pixel copy: every bitmap pixel becomes a 4 × 4 block. Lossless,
    // or a PDF would store the chart as a JPEG with smeared lines.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(QRect(left, top, 4 * width, 4 * height), bitmap);
    painter.restore();
}

}  // namespace quorvex
