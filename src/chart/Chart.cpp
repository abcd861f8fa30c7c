#include "chart/Chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "logs/LoggerInfo.h"

namespace quorvex {

namespace {

// n × percent / 100, truncated, raised by one when the dropped fraction
// exceeds one half. Whole-number arithmetic, so 3.5 is exactly 3.5.
int PercentOf(int count, int percent) {
    const long long product = static_cast<long long>(count) * percent;
    long long whole = product / 100;
    const long long rest = product % 100;
    if (rest > 50)
        ++whole;
    else if (rest < -50)
        --whole;
    return static_cast<int>(std::clamp<long long>(whole, -2147483647LL, 2147483647LL));
}

}  // namespace

RecordWindow WindowForZoom(int count, int zoomStart, int zoomWidth) {
    return {PercentOf(count, zoomStart), PercentOf(count, zoomWidth)};
}

Chart::Chart(const ResultsStore& records) : source(&records) {}

void Chart::Layout() {
    const RecordWindow window = WindowForZoom(RecordCount(), zoomStart, zoomWidth);
    firstIndex = window.firstIndex;
    sampleCount = window.sampleCount;
    x0 = area.left + marginLeft;
    y0 = area.bottom - marginBottom;
    if (firstIndex != rangeFirst || sampleCount != rangeCount || rescale) {
        ComputeRange();
        rangeFirst = firstIndex;
        rangeCount = sampleCount;
    }
    yScale = static_cast<float>(y0 - marginTop) / (yMax - yMin);
    if (yScale == 0.0f) yScale = 0.01f;
    xStep =
        sampleCount == 0 ? 10.0f : static_cast<float>(area.right - marginRight - x0) / static_cast<float>(sampleCount);
}

void Chart::ComputeRange() {
    yMax = 100.0f;
    yMin = -1.0f;

    bool found = false;
    if (source && !(zoomStart == 0 && zoomWidth == 100)) {
        const long long last = std::min<long long>(static_cast<long long>(firstIndex) + sampleCount,
                                                   static_cast<long long>(RecordCount()) - 1);
        const int first = std::max(firstIndex, 0);
        if (first <= last) {
            const LogRecord& r = source->At(first);
            winTempMax = winTempMin = r.temperature;
            winHumMax = winHumMin = r.humidity;
            found = true;
            source->ForEach(first, static_cast<int>(last), [&](const LogRecord& r) {
                if (r.temperature > winTempMax) winTempMax = r.temperature;
                if (r.temperature < winTempMin) winTempMin = r.temperature;
                if (r.humidity > winHumMax) winHumMax = r.humidity;
                if (r.humidity < winHumMin) winHumMin = r.humidity;
            });
        }
    }
    // At full zoom, and for a window that holds no record, the store's own
    // extremes (10.0 while it is empty) rather than values of another window.
    if (!found) {
        constexpr float empty = ResultsStore::kEmptyExtreme;
        winTempMax = source ? source->tempMax : empty;
        winTempMin = source ? source->tempMin : empty;
        winHumMax = source ? source->humMax : empty;
        winHumMin = source ? source->humMin : empty;
    }

    if (showTemp && showHum) {
        yMax = std::max(winTempMax, winHumMax);
        yMin = std::min(winTempMin, winHumMin);
    } else if (showTemp) {
        yMax = winTempMax;
        yMin = winTempMin;
    } else if (showHum) {
        yMax = winHumMax;
        yMin = winHumMin;
    }
    if (DewPointShown()) {
        // The dew point lies at or below the temperature, often below the humidity too.
        const std::vector<float>& values = dewPoints->Values();
        bool any = false;
        if (found) {
            const long long last = std::min<long long>(static_cast<long long>(firstIndex) + sampleCount,
                                                       static_cast<long long>(values.size()) - 1);
            for (long long i = std::max(firstIndex, 0); i <= last; ++i) {
                const float v = values[static_cast<std::size_t>(i)];
                if (std::isnan(v)) continue;
                winDewMax = any ? std::max(winDewMax, v) : v;
                winDewMin = any ? std::min(winDewMin, v) : v;
                any = true;
            }
        } else if (dewPoints->Any()) {
            winDewMax = dewPoints->Max();
            winDewMin = dewPoints->Min();
            any = true;
        }
        if (any && (showTemp || showHum)) {
            yMax = std::max(yMax, winDewMax);
            yMin = std::min(yMin, winDewMin);
        } else if (any) {
            yMax = winDewMax;
            yMin = winDewMin;
        }
    }
    if (showThresholds && showTemp) {
        yMax = std::max(yMax, thresholds.highTemp);
        yMin = std::min(yMin, thresholds.lowTemp);
    }
    if (showThresholds && showHum) {
        yMax = std::max(yMax, thresholds.highHum);
        yMin = std::min(yMin, thresholds.lowHum);
    }
    yMax += 1.0f;
    yMin -= 1.0f;
}

void Chart::DrawThresholds() {
    if (!canvas) return;
    QPainter& p = *canvas;
    const float end = static_cast<float>(sampleCount);
    auto line = [&](float value) { p.drawLine(ToPixel(0.0f, value), ToPixel(end, value)); };
    if (showTemp && showThresholds) {
        p.setPen(QPen(QColor::fromRgb(kTempColour), 1, Qt::DashLine));
        line(thresholds.highTemp);
        line(thresholds.lowTemp);
    }
    if (showHum && showThresholds) {
        p.setPen(QPen(QColor::fromRgb(kHumColour), 1, Qt::DashDotLine));
        line(thresholds.highHum);
        line(thresholds.lowHum);
    }
    QPen solid = p.pen();
    solid.setStyle(Qt::SolidLine);
    p.setPen(solid);
}

void Chart::HitTest(int mouseX) {
    cursorIndex = -1;
    if (xStep == 0.0f) return;
    const double offset = static_cast<double>(mouseX) - x0;
    // Truncation toward zero would give record 0 to the columns just left of
    // the plot; nothing left of it is under the mouse.
    if (offset < 0.0) return;
    long long i = static_cast<long long>(offset / xStep);
    if (offset - static_cast<double>(i) * xStep > xStep / 2.0) ++i;
    const long long index = static_cast<long long>(firstIndex) + i;
    if (!RecordExists(index)) return;
    const LogRecord& r = source->At(static_cast<int>(index));
    cursorTime = r.time;
    cursorTemp = r.temperature;
    cursorHum = r.humidity;
    cursorDew = DewPointShown() && static_cast<std::size_t>(index) < dewPoints->Values().size()
                    ? dewPoints->Values()[static_cast<std::size_t>(index)]
                    : std::nanf("");
    cursorIndex = static_cast<int>(index);
}

void Chart::DrawCursor() {
    if (!canvas || cursorIndex < 0) return;
    QPainter& p = *canvas;
    const float x = static_cast<float>(cursorIndex - firstIndex);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(ToPixel(x, yMin), ToPixel(x, yMax));
    p.setPen(QPen(Qt::black, 2));
    auto marker = [&](float value) {
        const QPoint at = ToPixel(x, value);
        p.drawRect(QRect(QPoint(at.x() - 2, at.y() - 2), QPoint(at.x() + 4, at.y() + 4)));
    };
    if (showTemp) marker(cursorTemp);
    if (showHum) marker(cursorHum);
    if (DewPointShown() && !std::isnan(cursorDew)) marker(cursorDew);
}

bool Chart::DewPointShown() const { return showDewPoint && dewPoints && !dewPoints->Values().empty(); }

QString Chart::UnitLabel() const {
    QString label = QStringLiteral("[");
    if (showTemp || DewPointShown()) label += QStringLiteral("°C");
    if (showHum) label += QStringLiteral(" %");
    return label + QStringLiteral("]");
}

QStringList Chart::LegendTexts() const {
    QStringList texts;
    if (showTemp) texts << TranslateText(QStringLiteral("[140]Temperatura")) + QStringLiteral(" [°C]");
    if (showHum) texts << TranslateText(QStringLiteral("[150]Wilgotność")) + QStringLiteral(" [%RH]");
    if (DewPointShown())
        texts << TranslateText(QStringLiteral("[2424]Punkt rosy (obliczony)")) + QStringLiteral(" [°C]");
    return texts;
}

void Chart::DrawLegend() {
    if (!canvas || RecordCount() == 0) return;  // nothing drawn, nothing to name
    QPainter& p = *canvas;
    const QFontMetrics fm(p.font());
    constexpr int kSample = 24;  // length of the sample line
    constexpr int kSpace = 6;    // between the line and its name
    constexpr int kEntryGap = 20;
    const QStringList texts = LegendTexts();
    QList<QRgb> colours;
    if (showTemp) colours << kTempColour;
    if (showHum) colours << kHumColour;
    if (DewPointShown()) colours << kDewPointColour;
    int width = 0;
    for (const QString& text : texts) width += kSample + kSpace + fm.horizontalAdvance(text) + kEntryGap;
    int x = area.right - marginRight - width + kEntryGap;
    const int top = y0 + 44;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const int row = top + fm.height() / 2;
        p.fillRect(QRect(x, row - 1, kSample, 3), QColor::fromRgb(colours[i]));
        x += kSample + kSpace;
        p.setPen(QColor::fromRgb(kTextColour));
        p.drawText(QPoint(x, top + fm.ascent()), texts[i]);
        x += fm.horizontalAdvance(texts[i]) + kEntryGap;
    }
}

}  // namespace quorvex
