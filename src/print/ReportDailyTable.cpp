#include "print/ReportDailyTable.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "i18n/ProgramTexts.h"
#include "logs/DewPoint.h"
#include "logs/LogRecord.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

constexpr int kTablePoints = 8;
constexpr int kRuleGap = 3;
constexpr int kRuleThickness = 6;
constexpr int kTableGap = 100;
constexpr int kHeadingRows = 2;

struct Layout {
    std::vector<int> widths;  // date, then three per series
    int rowHeight = 0;
    int top = 0, bottom = 0;
    int RowsPerPage() const { return rowHeight > 0 ? (bottom - top) / rowHeight - kHeadingRows : 0; }
};

QStringList ValueHeadings() {
    return {TranslateText(QStringLiteral("[2438]Minimum")), TranslateText(QStringLiteral("[2439]Maksimum")),
            TranslateText(QStringLiteral("[2440]Średnia"))};
}

int SeriesCount(const DailyTable& table) { return table.humidity ? (table.dewPoint ? 3 : 2) : 1; }

Layout Measure(QPagedPaintDevice& device, const DailyTable& table, int headerHeight) {
    Layout layout;
    const QFontMetrics normal(PrintFont(kTablePoints, false), &device);
    const QFontMetrics bold(PrintFont(kTablePoints, true), &device);
    // As the table printout's columns: the widest text each can hold in this locale, or its heading.
    const int dateWidth = std::max(bold.horizontalAdvance(TranslateText(QStringLiteral("[131]Data"))),
                                   WidestAdvance(normal, DateSamples()));
    layout.widths.push_back(qRound(1.2 * dateWidth));
    int valueWidth = std::max(WidestAdvance(normal, TemperatureSamples()), WidestAdvance(normal, HumiditySamples()));
    for (const QString& h : ValueHeadings()) valueWidth = std::max(valueWidth, bold.horizontalAdvance(h));
    for (int i = 0; i < 3 * SeriesCount(table); ++i) layout.widths.push_back(qRound(1.2 * valueWidth));
    layout.rowHeight = qRound(1.1 * normal.height());
    layout.top = headerHeight + kRuleGap + kRuleThickness + kTableGap;
    layout.bottom = device.height() - 2 * normal.height();
    return layout;
}

void Cell(QPainter& painter, const QRect& cell, const QString& text, const QColor& fill) {
    painter.setBrush(fill);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
}

}  // namespace

DailyTable DailyValues(const ResultsStore& store, bool dewPoint) {
    DailyTable table;
    table.humidity = store.HasHumidity();
    table.dewPoint = dewPoint && table.humidity;
    if (store.IsEmpty()) return table;
    qint64 lastDay = std::numeric_limits<qint64>::min();
    store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
        const qint64 dayNumber = static_cast<qint64>(std::floor(r.time));
        if (dayNumber != lastDay || table.days.isEmpty()) {
            lastDay = dayNumber;
            table.days.push_back({FromMoment(r.time).date(), r.temperature, r.temperature, r.humidity, r.humidity});
        }
        DayValues& d = table.days.back();
        d.tempMin = std::min(d.tempMin, r.temperature);
        d.tempMax = std::max(d.tempMax, r.temperature);
        d.humMin = std::min(d.humMin, r.humidity);
        d.humMax = std::max(d.humMax, r.humidity);
        d.tempSum += r.temperature;
        d.humSum += r.humidity;
        ++d.count;
        if (!table.dewPoint) return;
        if (const std::optional<float> dew = DewPoint(r.temperature, r.humidity)) {
            d.dewMin = d.dewCount > 0 ? std::min(d.dewMin, *dew) : *dew;
            d.dewMax = d.dewCount > 0 ? std::max(d.dewMax, *dew) : *dew;
            d.dewSum += *dew;
            ++d.dewCount;
        }
    });
    return table;
}

int DailyTablePageCount(QPagedPaintDevice& device, const DailyTable& table, int headerHeight) {
    const int rows = Measure(device, table, headerHeight).RowsPerPage();
    if (rows <= 0 || table.days.isEmpty()) return 1;
    return static_cast<int>((table.days.size() + rows - 1) / rows);
}

bool PrintDailyTable(QPainter& painter, QPagedPaintDevice& device, const ResultsStore& store, const DailyTable& table,
                     const PrintHeaderOptions& options, const TableFooterFunction& footer) {
    const QColor headingFill = QPalette().color(QPalette::Active, QPalette::Midlight);
    const QChar separator = SystemDecimalSeparator();
    const QStringList values = ValueHeadings();
    qsizetype next = 0;
    for (int page = 1;; ++page) {
        if (page > 1) device.newPage();
        const int pageWidth = device.width();
        const int left = TableLeftMargin(pageWidth);
        const int right = TableRightMargin(pageWidth);
        painter.fillRect(QRect(0, 0, pageWidth, device.height()), Qt::white);
        const int headerHeight = PrintHeader(painter, store, options, left, right, 0, 0, store.Count() - 1);
        DrawHeaderRule(painter, left, right, headerHeight + kRuleGap);
        const Layout layout = Measure(device, table, headerHeight);
        if (footer) footer(painter, page, QRect(left, layout.bottom, right - left, device.height() - layout.bottom));
        if (layout.RowsPerPage() <= 0) return false;

        painter.save();
        painter.setPen(QPen(Qt::black, 2));
        painter.setFont(PrintFont(kTablePoints, true));
        int y = layout.top;
        // Series names over their three columns, then the column names.
        int x = left + layout.widths[0];
        Cell(painter, QRect(left, y, layout.widths[0], 2 * layout.rowHeight),
             TranslateText(QStringLiteral("[131]Data")), headingFill);
        const QStringList series{TranslateText(QStringLiteral("[140]Temperatura")),
                                 TranslateText(QStringLiteral("[150]Wilgotność")),
                                 TranslateText(QStringLiteral("[2405]Punkt rosy"))};
        for (int s = 0; s < SeriesCount(table); ++s) {
            const int w = layout.widths[1 + 3 * s] * 3;
            Cell(painter, QRect(x, y, w, layout.rowHeight), series[s], headingFill);
            for (int c = 0; c < 3; ++c)
                Cell(painter, QRect(x + c * layout.widths[1], y + layout.rowHeight, layout.widths[1], layout.rowHeight),
                     values[c], headingFill);
            x += w;
        }
        y += kHeadingRows * layout.rowHeight;
        painter.setFont(PrintFont(kTablePoints, false));
        for (int row = 0; row < layout.RowsPerPage() && next < table.days.size(); ++row, ++next) {
            const DayValues& d = table.days[next];
            QStringList cells{QLocale().toString(d.day, ShortDateFormat()), LogTemperatureText(d.tempMin, separator),
                              LogTemperatureText(d.tempMax, separator),
                              LogTemperatureText(static_cast<float>(d.tempSum / d.count), separator)};
            if (table.humidity)
                cells << LogHumidityText(d.humMin, separator) << LogHumidityText(d.humMax, separator)
                      << LogHumidityText(static_cast<float>(d.humSum / d.count), separator);
            if (table.dewPoint && d.dewCount > 0)
                cells << LogTemperatureText(d.dewMin, separator) << LogTemperatureText(d.dewMax, separator)
                      << LogTemperatureText(static_cast<float>(d.dewSum / d.dewCount), separator);
            else if (table.dewPoint)
                cells << QString() << QString() << QString();
            x = left;
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const int w = layout.widths[static_cast<std::size_t>(c)];
                Cell(painter, QRect(x, y, w, layout.rowHeight), cells[c], Qt::white);
                x += w;
            }
            y += layout.rowHeight;
        }
        painter.restore();
        if (next >= table.days.size()) return true;
    }
}

}  // namespace quorvex
