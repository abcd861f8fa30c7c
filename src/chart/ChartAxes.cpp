// The two axes of Chart: arrows, value ticks with grid and labels, the unit
// label, and the record axis with its time and date labels.
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPen>

#include <cmath>

#include "chart/Chart.h"
#include "params/DateTimeCodec.h"

namespace quorvex {

namespace {

// Text drawn with its top-left corner at (x, top).
void TextAt(QPainter& p, const QFontMetrics& fm, int x, int top, const QString& text) {
    p.drawText(QPoint(x, top + fm.ascent()), text);
}

int TruncateValue(float v) {
    if (!(v > -1e8f)) return -100000000;
    if (v > 1e8f) return 100000000;
    return static_cast<int>(v);
}

}  // namespace

void Chart::DrawAxes() {
    if (!canvas) return;
    QPainter& p = *canvas;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));

    // Value axis up to 10 pixels above yMax, record axis 10 pixels past the last record.
    const QPoint origin = ToPixel(0.0f, yMin);
    const QPoint top = ToPixel(0.0f, yMax) - QPoint(0, 10);
    p.drawLine(origin, top);
    p.drawLine(top, top + QPoint(-4, 6));
    p.drawLine(top, top + QPoint(4, 6));
    const QPoint right = ToPixel(static_cast<float>(sampleCount), yMin) + QPoint(10, 0);
    p.drawLine(origin, right);
    p.drawLine(right, right + QPoint(-6, -4));
    p.drawLine(right, right + QPoint(-6, 4));

    const int textHeight = QFontMetrics(p.font()).height();
    DrawValueAxis(textHeight);
    DrawRecordAxis();
}

void Chart::DrawValueAxis(int textHeight) {
    QPainter& p = *canvas;
    const QFontMetrics fm(p.font());
    const QColor black(Qt::black);
    const QColor grey = QColor::fromRgb(kGridColour);
    const QColor purple = QColor::fromRgb(kTextColour);

    // A whole number of units between labels, at least two text heights apart.
    int step = static_cast<int>(2.0f * static_cast<float>(textHeight) / yScale);
    if (step < 1) step = 1;
    const int labelColumn = x0 - fm.horizontalAdvance(QStringLiteral("-20")) - 15;
    const int gridEnd = ToPixel(static_cast<float>(sampleCount), 0.0f).x();
    const int last = TruncateValue(yMax);
    bool first = true;
    for (long long v = TruncateValue(yMin); v <= last; v += step) {
        const float value = static_cast<float>(v);
        if (value >= yMin) {
            const int row = ToPixel(0.0f, value).y();
            p.setPen(QPen(black, 1));
            p.drawLine(x0 - 6, row, x0 + 4, row);
            if (!first) {
                p.setPen(QPen(grey, 1, Qt::DotLine));
                p.drawLine(x0, row, gridEnd, row);
            }
            const QPen line = p.pen();
            p.setPen(purple);
            TextAt(p, fm, labelColumn, row - textHeight / 2, QString::number(v));
            p.setPen(line);
        }
        first = false;
    }

    const QString unit = UnitLabel();
    const QPen line = p.pen();
    p.setPen(purple);
    TextAt(p, fm, x0 - 10 - fm.horizontalAdvance(unit), 0, unit);
    p.setPen(line);
}

void Chart::DrawRecordAxis() {
    QPainter& p = *canvas;
    QFont regular = p.font();
    regular.setBold(false);
    p.setFont(regular);
    const QFontMetrics fm(regular);
    const QColor black(Qt::black);
    const QColor grey = QColor::fromRgb(kGridColour);
    const QColor purple = QColor::fromRgb(kTextColour);
    const QLocale locale;
    const QString timeFormat = LongTimeFormat();
    const QString dateFormat = ShortDateFormat();
    const int topRow = ToPixel(0.0f, yMax).y();

    // Short ticks take the colour the pen was left in (grey once a grid line is drawn).
    QColor tickColour = p.pen().color();
    int lastTick = 0;
    int lastTimeColumn = 0;
    int lastDateColumn = 0;
    const int count = RecordCount();
    for (int i = 0, next = 0; i < sampleCount; i = next) {
        next = i + 1;
        const int column = ToPixel(static_cast<float>(i), yMin).x();
        if (i != 0 && column <= lastTick + 4) continue;
        p.setPen(QPen(tickColour, 1));
        p.drawLine(column, y0, column, y0 + 5);
        lastTick = column;
        // Records before the next tick's column are passed over: with many
        // records per pixel that is nearly all of them. One short of the
        // computed index, so rounding cannot skip the tick's own record.
        if (xStep > 0.0f) {
            const double skipTo = std::floor((lastTick + 5.0 - x0) / xStep) - 1.0;
            if (skipTo > next) next = static_cast<int>(std::min<double>(skipTo, sampleCount));
        }

        const long long index = static_cast<long long>(firstIndex) + i;
        if (index >= count) continue;
        const QDateTime moment = FromMoment(source->At(static_cast<int>(index)).time);
        const QString time = locale.toString(moment.time(), timeFormat);
        const int timeWidth = fm.horizontalAdvance(time) + 5;
        if (i != 0 && column < lastTimeColumn + timeWidth) continue;

        p.setPen(QPen(black, 1));
        p.drawLine(column, y0, column, y0 + 10);
        tickColour = black;
        if (i > 0) {
            p.setPen(QPen(grey, 1, Qt::DotLine));
            p.drawLine(column, y0, column, topRow);
            tickColour = grey;
        }
        p.setPen(purple);
        TextAt(p, fm, column - timeWidth / 2, y0 + 12, time);
        lastTimeColumn = column;

        const QString date = locale.toString(moment.date(), dateFormat);
        const int dateWidth = fm.horizontalAdvance(date) + 5;
        if (i != 0 && column < lastDateColumn + dateWidth) continue;
        if (i > 0 && date == lastDate_) {
            // Skipped once; the same date may be written at the next chance.
            lastDate_.clear();
            continue;
        }
        TextAt(p, fm, column - dateWidth / 2, y0 + 27, date);
        lastDate_ = date;
        lastDateColumn = column;
    }
    p.setPen(QPen(tickColour, 1));
}

}  // namespace quorvex
