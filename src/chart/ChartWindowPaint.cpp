// ChartWindow: the two paint boxes with their back buffers, the texts over
// the chart, the cursor, the zoom by wheel and by a dragged span, and the
// drag of the overview's zoom window.
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/ChartWindow.h"
#include "chart/PaintBox.h"
#include "logs/LogRecord.h"
#include "logs/LoggerInfo.h"
#include "params/DateTimeCodec.h"

namespace quorvex {

namespace {

constexpr QRgb kAqua = 0x00FFFF;
// Under the plot: the time and date labels, the legend, then the footer on a
// line of its own (a long logger name would run into the legend).
constexpr int kFooterRow = 60;
constexpr int kMarginBottom = kFooterRow + 16;

QFont BoldFont(const QFont& base, int pointSize) {
    QFont font = base;
    font.setBold(true);
    font.setPointSize(pointSize);
    return font;
}

}  // namespace

QColor ChartWindow::BoxColour() const { return chartBox->palette().color(QPalette::Window); }

QRect ChartWindow::WindowRect() const {
    return QRect(QPoint(windowRect_.left, windowRect_.top), QPoint(windowRect_.right - 1, windowRect_.bottom - 1));
}

EdgeRect ChartWindow::LayoutChart(bool withRescale) {
    const EdgeRect area{0, 0, chartBox->width(), chartBox->height()};
    Chart& e = chartEngine_;
    e.source = results_;
    e.showTemp = showTemp_;
    e.showHum = showHum_;
    e.showThresholds = showThresholds_;
    // A no-op unless records arrived or the store changed since the last paint.
    dewPoints_.Update(*results_);
    e.dewPoints = &dewPoints_;
    e.showDewPoint = showDewPoint_;
    e.rescale = withRescale && (rescale_ || chartRescalePending_);
    e.area = area;
    e.marginLeft = 60;
    e.marginBottom = kMarginBottom;
    e.marginRight = 20;
    e.marginTop = 25;
    e.zoomStart = zoomStart_;
    e.zoomWidth = zoomWidth_;
    e.Layout();
    firstIndex_ = e.firstIndex;
    sampleCount_ = e.sampleCount;
    return area;
}

void ChartWindow::onChartPaint(QPainter& painter) {
    Chart& e = chartEngine_;
    const EdgeRect area = LayoutChart(true);

    if (!chartDrawn_ || area != chartArea_ || firstIndex_ != chartFirst_ || sampleCount_ != chartCount_ || e.rescale) {
        RedrawChartBitmap(area);
    }
    chartRescalePending_ = false;
    e.rescale = false;

    painter.drawImage(0, 0, chartBitmap_);
    // A store emptied since the mouse last moved has no cursor record; one
    // that a zoom or a drag left outside the shown records would be drawn
    // over the axes and labels. Either stays hidden until the mouse moves.
    if (e.cursorIndex >= results_->Count() || e.cursorIndex < e.firstIndex ||
        e.cursorIndex > e.firstIndex + e.sampleCount)
        e.cursorIndex = -1;
    painter.setBrush(BoxColour());
    e.SetCanvas(&painter);
    e.DrawCursor();
    e.SetCanvas(nullptr);
    if (spanning_) {
        // The span a release will zoom to, over the plot.
        const QRect span(QPoint(std::min(spanFrom_, spanTo_), e.marginTop), QPoint(std::max(spanFrom_, spanTo_), e.y0));
        painter.fillRect(span, QColor(0x33, 0x99, 0xFF, 0x40));
        painter.setPen(QPen(QColor(0x33, 0x99, 0xFF), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(span);
    }

    painter.setPen(QColor::fromRgb(Chart::kTextColour));
    painter.setFont(BoldFont(font(), 10));
    const QFontMetrics fm(painter.font());
    const QString cursor = CursorText();
    if (!cursor.isEmpty()) painter.drawText(60 + 40, fm.ascent(), cursor);
    const QString extremes = ExtremesText();
    painter.drawText(area.right - 20 - fm.horizontalAdvance(extremes), fm.ascent(), extremes);

    painter.setFont(BoldFont(font(), 8));
    painter.drawText(60, e.y0 + kFooterRow + QFontMetrics(painter.font()).ascent(), FooterText());
}

void ChartWindow::RedrawChartBitmap(const EdgeRect& area) {
    const int w = std::max(area.right - area.left, 1), h = std::max(area.bottom - area.top, 1);
    if (chartBitmap_.size() != QSize(w, h)) chartBitmap_ = QImage(w, h, QImage::Format_RGB32);
    chartBitmap_.fill(BoxColour());
    QPainter p(&chartBitmap_);
    p.setFont(font());
    chartEngine_.SetCanvas(&p, &chartBitmap_);
    chartEngine_.DrawAxes();
    chartEngine_.DrawSeries();
    chartEngine_.DrawDewPoint();
    chartEngine_.DrawThresholds();
    chartEngine_.DrawLegend();
    chartEngine_.SetCanvas(nullptr);
    chartDrawn_ = true;
    chartArea_ = area;
    chartFirst_ = firstIndex_;
    chartCount_ = sampleCount_;
    ++chartRedraws_;
}

QString ChartWindow::CursorText() const {
    const Chart& e = chartEngine_;
    if (e.cursorIndex < 0) return {};
    // The format is a numbered text: each language writes a moment its own way.
    QString text = FromMoment(e.cursorTime).toString(TranslateText(QStringLiteral("[2181]dd-MM-yyyy'r'  HH:mm ss's'")));
    if (showTemp_) text += QStringLiteral("     ") + LogTemperatureText(e.cursorTemp);
    if (showHum_) text += QStringLiteral("     ") + LogHumidityText(e.cursorHum);
    if (e.DewPointShown() && !std::isnan(e.cursorDew))
        text += QStringLiteral("     Td ") + LogTemperatureText(e.cursorDew);
    return text;
}

QString ChartWindow::ExtremesText() const {
    const Chart& e = chartEngine_;
    QString text = QStringLiteral("Max: Min:");
    if (showTemp_) {
        text += QStringLiteral("  (") + LogTemperatureText(e.winTempMax) + QStringLiteral("  ") +
                LogTemperatureText(e.winTempMin) + QStringLiteral(")");
    }
    if (showHum_) {
        text += QStringLiteral("  (") + LogHumidityText(e.winHumMax) + QStringLiteral("  ") +
                LogHumidityText(e.winHumMin) + QStringLiteral(")");
    }
    return text;
}

QString ChartWindow::FooterText() const {
    // The number as the results tab lists it (its rows: name, type, number, period).
    constexpr qsizetype kNumberRow = 2;
    const QString number = LoggerInfoRows(*results_).value(kNumberRow).value;
    return TranslateText(QStringLiteral("[1041]Nazwa:")) + QStringLiteral(" ") + results_->loggerName +
           QStringLiteral("   ") + TranslateText(QStringLiteral("[1039]Numer:")) + QStringLiteral(" ") + number +
           QStringLiteral("   ") + TranslateText(QStringLiteral("[241]Częstość zapisu:")) + QStringLiteral(" ") +
           results_->writeInterval;
}

void ChartWindow::onChartMouseMove(int x) {
    // The zoom may have changed since the last paint; the hit test needs the
    // window the next paint will show.
    LayoutChart(false);
    chartEngine_.HitTest(x);
    if (spanning_) spanTo_ = std::clamp(x, chartEngine_.x0, chartEngine_.area.right - chartEngine_.marginRight);
    chartBox->update();
}

void ChartWindow::onChartMouseDown(int x, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    LayoutChart(false);
    const Chart& e = chartEngine_;
    if (x < e.x0 || x > e.area.right - e.marginRight || results_->IsEmpty()) return;
    spanning_ = true;
    spanFrom_ = spanTo_ = x;
}

void ChartWindow::onChartMouseUp(int x) {
    if (!spanning_) return;
    spanning_ = false;
    LayoutChart(false);
    spanTo_ = std::clamp(x, chartEngine_.x0, chartEngine_.area.right - chartEngine_.marginRight);
    // A click, or a hand that shook, is no span.
    constexpr int kLeastSpan = 5;
    if (std::abs(spanTo_ - spanFrom_) >= kLeastSpan) ZoomToColumns(spanFrom_, spanTo_);
    chartBox->update();
}

void ChartWindow::onChartWheel(int x, int angleDelta) {
    // One zoom step a notch (120 eighths of a degree); finer wheels add up.
    constexpr int kNotch = 120;
    wheelRest_ += angleDelta;
    for (; wheelRest_ >= kNotch; wheelRest_ -= kNotch) ZoomAround(x, true);
    for (; wheelRest_ <= -kNotch; wheelRest_ += kNotch) ZoomAround(x, false);
}

void ChartWindow::onOverviewPaint(QPainter& painter) {
    const EdgeRect area{0, 0, overview->width(), overview->height()};
    Chart& e = overviewEngine_;
    e.source = results_;
    e.showTemp = showTemp_;
    e.showHum = showHum_;
    e.showThresholds = false;
    e.rescale = rescale_ || overviewRescalePending_;
    e.area = area;
    e.marginLeft = e.marginBottom = e.marginRight = e.marginTop = 0;
    e.zoomStart = 0;
    e.zoomWidth = 100;
    e.Layout();

    // The main chart's window, as its own Layout gives it, so the highlight is
    // right whichever paint box paints first.
    const RecordWindow shown = WindowForZoom(results_->Count(), zoomStart_, zoomWidth_);
    firstIndex_ = shown.firstIndex;
    sampleCount_ = shown.sampleCount;
    if (!overviewDrawn_ || area != overviewArea_ || firstIndex_ != overviewFirst_ || sampleCount_ != overviewCount_ ||
        e.rescale) {
        RedrawOverviewBitmap(area);
    }
    overviewRescalePending_ = false;
    e.rescale = false;

    painter.drawImage(0, 0, overviewBitmap_);
    if (dragging_) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(windowRect_.left, windowRect_.top, windowRect_.right - windowRect_.left - 1,
                         windowRect_.bottom - windowRect_.top - 1);
    }
}

void ChartWindow::RedrawOverviewBitmap(const EdgeRect& area) {
    const int w = std::max(area.right - area.left, 1), h = std::max(area.bottom - area.top, 1);
    if (overviewBitmap_.size() != QSize(w, h)) overviewBitmap_ = QImage(w, h, QImage::Format_RGB32);
    overviewBitmap_.fill(BoxColour());
    QPainter p(&overviewBitmap_);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    const int c1 = overviewEngine_.ToPixel(static_cast<float>(firstIndex_), 0.0f).x();
    const int c2 = overviewEngine_.ToPixel(static_cast<float>(firstIndex_ + sampleCount_), 0.0f).x();
    windowRect_ = {c1 + 1, area.top + 1, c2 - 1, area.bottom - 1};
    if (windowRect_.right > windowRect_.left && windowRect_.bottom > windowRect_.top) {
        p.fillRect(WindowRect(), QColor::fromRgb(kAqua));
    }
    // The series of all records do not move with the zoom window: they are
    // drawn once into a transparent layer and laid over the aqua window, so a
    // drag step does not walk through every record again. The layer holds
    // only opaque series pixels, so the result is the same as drawing the
    // series straight onto the strip.
    const SeriesKey key{area, results_->Count(), showTemp_, showHum_, overviewEngine_.yMin, overviewEngine_.yMax};
    if (overviewEngine_.rescale || !(key == seriesKey_) || overviewSeries_.isNull()) {
        overviewSeries_ = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        overviewSeries_.fill(Qt::transparent);
        QPainter layer(&overviewSeries_);
        overviewEngine_.SetCanvas(&layer, &overviewSeries_);
        overviewEngine_.DrawSeries();
        overviewEngine_.SetCanvas(nullptr);
        seriesKey_ = key;
    }
    p.drawImage(0, 0, overviewSeries_);
    overviewDrawn_ = true;
    overviewArea_ = area;
    overviewFirst_ = firstIndex_;
    overviewCount_ = sampleCount_;
    ++overviewRedraws_;
}

void ChartWindow::onOverviewMouseMove(int x) {
    overHand_ = windowRect_.left < x && x < windowRect_.right;
    overview->setCursor(overHand_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (!dragging_) return;
    const int d = x - dragLastX_;
    dragLastX_ = x;
    dragFrame_.left += d;
    dragFrame_.right += d;
    if (dragFrame_.left < 0) {
        dragFrame_.right -= dragFrame_.left;
        dragFrame_.left = 0;
    }
    const int w = overview->width();
    if (dragFrame_.right > w) {
        const int excess = dragFrame_.right - w;
        dragFrame_.left -= excess;
        dragFrame_.right -= excess;
    }
    zoomStart_ = w > 0 ? dragFrame_.left * 100 / w : 0;
    RefreshChart();
}

void ChartWindow::onOverviewMouseDown(int x) {
    if (!overHand_) return;
    dragging_ = true;
    dragLastX_ = x;
    overview->update();
}

void ChartWindow::onOverviewMouseUp() {
    dragging_ = false;
    overview->update();
}

}  // namespace quorvex
