// The two axes of Chart: arrows, value ticks with grid and labels, the unit
// label, and the record axis with its time and date labels.
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "chart/Chart.h"
#include "params/DateTimeCodec.h"

namespace quorvex {

namespace {

// Text drawn with its top-left corner at (x, top).
void TextAt(QPainter& p, const QFontMetrics& fm, int x, int top, const QString& text) {
    p.drawText(QPoint(x, top + fm.ascent()), text);
}

// The locale's short time format without its seconds: the marks fall on
// whole minutes.
QString MinuteFormat(const QLocale& locale) {
    static const QRegularExpression seconds(QStringLiteral("[^A-Za-z' ]?s+"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds).trimmed();
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
    // Right-aligned at the axis, but never begun left of the surface where
    // its first character would be cut off (a narrow left margin).
    TextAt(p, fm, std::max(area.left + 1, x0 - 10 - fm.horizontalAdvance(unit)), 0, unit);
    p.setPen(line);
}

TimeMarks Chart::RoundMoments(int timePixels, int datePixels) const {
    TimeMarks result;
    const long long first = firstIndex;
    const long long last = std::min<long long>(first + sampleCount, static_cast<long long>(RecordCount()) - 1);
    if (first < 0 || first > last) return result;
    auto timeAt = [this](long long i) { return source->At(static_cast<int>(i)).time; };
    const double spanSeconds = (timeAt(last) - timeAt(first)) * 86400.0;
    result.step = TimeStep::ForSpan(spanSeconds, static_cast<double>(last - first) * xStep, timePixels, datePixels);
    const TimeStep& step = result.step;
    if (step.Begins(timeAt(first))) result.marks.push_back({0.0, timeAt(first)});

    // The round moments passed between two neighbouring records, each placed
    // between them in proportion to time. Past a long break in the records
    // only the last one is kept: the others would crowd into one record step.
    auto markBetween = [&](long long before, long long after) {
        const Moment from = timeAt(before), to = timeAt(after);
        const qint64 end = step.Interval(to);
        const qint64 begin = std::max(step.Interval(from) + 1, end - 63);
        for (qint64 interval = begin; interval <= end; ++interval) {
            const Moment boundary = step.Start(interval);
            const double fraction = to > from ? std::clamp((boundary - from) / (to - from), 0.0, 1.0) : 1.0;
            result.marks.push_back({static_cast<double>(before - first) + fraction, boundary});
        }
    };
    // Probes one record apart, or one pixel column apart when many records
    // share a column; a round moment between two probes is found by bisection.
    const double perProbe = xStep >= 1.0f ? 1.0 : 1.0 / xStep;
    long long previous = first;
    qint64 previousInterval = step.Interval(timeAt(first));
    for (long long k = 1; previous < last; ++k) {
        const long long probe =
            std::min(last, std::max(previous + 1, first + static_cast<long long>(static_cast<double>(k) * perProbe)));
        const qint64 interval = step.Interval(timeAt(probe));
        if (interval > previousInterval) {
            long long lo = previous, hi = probe;
            while (hi - lo > 1) {
                const long long mid = lo + (hi - lo) / 2;
                (step.Interval(timeAt(mid)) > previousInterval ? hi : lo) = mid;
            }
            markBetween(lo, hi);
        }
        previous = probe;
        previousInterval = interval;
    }
    return result;
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
    const QString timeFormat = MinuteFormat(locale);
    const QString dateFormat = ShortDateFormat();
    const int topRow = ToPixel(0.0f, yMax).y();
    constexpr int kGap = 12;  // between two labels

    // A short tick under each record while the records stand apart.
    p.setPen(QPen(black, 1));
    if (xStep >= 5.0f) {
        for (int i = 0; i < sampleCount; ++i) {
            const int column = ToPixel(static_cast<float>(i), yMin).x();
            p.drawLine(column, y0, column, y0 + 5);
        }
    }

    // Labels at round moments: times of day, with the date below the first
    // one and wherever the day changes; or dates alone for steps of days.
    const int timeWidth = fm.horizontalAdvance(locale.toString(QTime(23, 58), timeFormat));
    const int dateWidth = fm.horizontalAdvance(locale.toString(QDate(2000, 12, 28), dateFormat));
    const TimeMarks scale = RoundMoments(timeWidth + kGap, dateWidth + kGap);
    const bool datesOnly = scale.step.InDays();
    struct DateLabel {
        int column;
        QString text;
    };
    std::vector<DateLabel> dayChanges;
    std::optional<DateLabel> firstDate;
    int lastRight = std::numeric_limits<int>::min() / 2;
    QDate lastDate;
    auto label = [&](int column, const QString& text, int row) {
        const int left = column - fm.horizontalAdvance(text) / 2;
        p.setPen(purple);
        TextAt(p, fm, left, row, text);
        return left + fm.horizontalAdvance(text);
    };
    auto longTick = [&](int column) {
        p.setPen(QPen(black, 1));
        p.drawLine(column, y0, column, y0 + 10);
        if (column > x0) {
            p.setPen(QPen(grey, 1, Qt::DotLine));
            p.drawLine(column, y0, column, topRow);
        }
    };
    for (const TimeMark& mark : scale.marks) {
        const QDateTime moment = FromMoment(mark.moment);
        if (!moment.isValid()) continue;
        const QString text =
            datesOnly ? locale.toString(moment.date(), dateFormat) : locale.toString(moment.time(), timeFormat);
        const int column = ToPixel(static_cast<float>(mark.position), yMin).x();
        // Records whose times jump (a break, a clock set back) can crowd marks.
        if (column - fm.horizontalAdvance(text) / 2 < lastRight + kGap / 2) continue;
        longTick(column);
        lastRight = label(column, text, y0 + 12);
        if (!datesOnly && moment.date() != lastDate) {
            const DateLabel date{column, locale.toString(moment.date(), dateFormat)};
            if (lastDate.isValid())
                dayChanges.push_back(date);
            else
                firstDate = date;
        }
        lastDate = moment.date();
    }
    // No round moment among the records (a span shorter than a minute): the
    // first record's own moment.
    if (!lastDate.isValid() && sampleCount > 0 && RecordExists(firstIndex)) {
        const QDateTime moment = FromMoment(source->At(firstIndex).time);
        longTick(x0);
        label(x0, locale.toString(moment.time(), LongTimeFormat()), y0 + 12);
        firstDate = DateLabel{x0, locale.toString(moment.date(), dateFormat)};
    }

    // The days' dates first; the first label's date only where it leaves them room.
    int dateRight = std::numeric_limits<int>::min() / 2;
    int firstChangeLeft = std::numeric_limits<int>::max();
    for (const DateLabel& date : dayChanges) {
        const int left = date.column - fm.horizontalAdvance(date.text) / 2;
        if (left < dateRight + kGap) continue;
        dateRight = label(date.column, date.text, y0 + 27);
        firstChangeLeft = std::min(firstChangeLeft, left);
    }
    if (firstDate && firstDate->column + fm.horizontalAdvance(firstDate->text) / 2 + kGap <= firstChangeLeft)
        label(firstDate->column, firstDate->text, y0 + 27);
    p.setPen(QPen(black, 1));
}

}  // namespace quorvex
