#include "print/TablePrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

#include <algorithm>
#include <optional>
#include <vector>

#include "logs/DewPoint.h"
#include "logs/LogRecord.h"
#include "logs/LoggerInfo.h"
#include "logs/ResultsSummary.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

constexpr int kRuleThickness = 6;
constexpr int kRuleGap = 3;     // between the header block and the rule
constexpr int kTableGap = 100;  // between the rule and the table
constexpr int kCellPen = 2;
constexpr int kHeaderPoints = 10;
constexpr int kTablePoints = 8;
const QString kHeightSample = QStringLiteral("Test");
// The page number's strip at the foot of every page, in lines of the table font:
// the number stands on its last line, a line's room apart from the table.
constexpr int kFooterLines = 2;

QString DateTimeText(const ResultsStore& results, int index) {
    if (index < 0 || index >= results.Count()) return {};
    const QDateTime moment = FromMoment(results.At(index).time);
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

struct TableLayout {
    std::vector<int> cellWidths;
    QStringList headings;
    int firstMeasured = 0;  // measured width of column 1, before the 1.2 widening
    int blockWidth = 0;
    int rowHeight = 0;
};

// `metrics` of the record rows, `headingMetrics` of the bold heading row.
// Each column is as wide as its heading or the widest text it can hold in
// the printout's language and the default locale's formats, whichever is wider.
TableLayout MeasureTable(const QFontMetrics& metrics, const QFontMetrics& headingMetrics, bool humidity,
                         bool dewPoint) {
    struct Column {
        const char16_t* heading;
        QStringList samples;
    };
    std::vector<Column> columns{{u"[2200]Lp", {QStringLiteral("9999000")}},
                                {u"[131]Data", DateSamples()},
                                {u"[132]Czas", TimeSamples()},
                                {u"[140]Temperatura", TemperatureSamples()}};
    if (humidity) columns.push_back({u"[150]Wilgotność", HumiditySamples()});
    if (humidity && dewPoint) columns.push_back({u"[2405]Punkt rosy", TemperatureSamples()});
    TableLayout layout;
    for (const Column& column : columns) {
        // The heading as it is printed: bold, in the printout's language.
        const QString heading = TranslateText(QString::fromUtf16(column.heading));
        const int w = std::max(headingMetrics.horizontalAdvance(heading), WidestAdvance(metrics, column.samples));
        if (layout.cellWidths.empty()) layout.firstMeasured = w;
        const int cell = qRound(1.2 * w);
        layout.cellWidths.push_back(cell);
        layout.headings << heading;
        layout.blockWidth += cell;
    }
    layout.rowHeight = qRound(1.1 * metrics.height());
    return layout;
}

QStringList RecordCells(const ResultsStore& results, int index, bool humidity, bool dewPoint) {
    const LogRecord& r = results.At(index);
    const QDateTime moment = FromMoment(r.time);
    // Paper follows the system's number format, not the separator typed on screen last.
    const QChar separator = SystemDecimalSeparator();
    QStringList cells{QString::number(index + 1), QLocale().toString(moment.date(), ShortDateFormat()),
                      QLocale().toString(moment.time(), LongTimeFormat()),
                      LogTemperatureText(r.temperature, separator)};
    if (humidity) cells << LogHumidityText(r.humidity, separator);
    if (humidity && dewPoint) {
        const std::optional<float> dew = DewPoint(r.temperature, r.humidity);
        cells << (dew ? LogTemperatureText(*dew, separator) : QString());
    }
    return cells;
}

// One row of cells from `x`; the last cells are cut at `rightMargin`.
// Returns the right edge of the last cell drawn.
int DrawRow(QPainter& painter, const TableLayout& layout, const QStringList& texts, int x, int top, int rightMargin,
            const QColor& fill) {
    const int bottom = top + layout.rowHeight;
    painter.setBrush(fill);
    for (std::size_t c = 0; c < layout.cellWidths.size() && x < rightMargin; ++c) {
        const int cellRight = std::min(x + layout.cellWidths[c], rightMargin);
        const QRect cell(QPoint(x, top), QPoint(cellRight - 1, bottom - 1));
        painter.drawRect(cell);
        painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, texts[static_cast<qsizetype>(c)]);
        x = cellRight;
    }
    return x;
}

// The right edge of a block of cells that starts at `x` (< `rightMargin`).
int BlockRight(const TableLayout& layout, int x, int rightMargin) {
    return std::min(x + layout.blockWidth, rightMargin);
}

// Records one page holds below `tableTop`: rows per block (under the heading
// row) times the blocks side by side, as the drawing loop below fills them.
qint64 PageCapacity(const TableLayout& layout, int left, int right, int tableTop, int tableBottom) {
    const int rows = (tableBottom - tableTop) / layout.rowHeight - 1;
    if (rows <= 0 || layout.rowHeight <= 0) return 0;
    qint64 blocks = 1;
    for (int x = left;; ++blocks) {
        const int nextX = BlockRight(layout, x, right) + layout.firstMeasured / 2;
        if (nextX + layout.blockWidth >= right) break;
        x = nextX;
    }
    return blocks * rows;
}

// Pages for `records` when the first page holds `first` and every other `next`.
int PageCount(qint64 records, qint64 first, qint64 next) {
    if (records <= first || next <= 0) return 1;
    return static_cast<int>(1 + (records - first + next - 1) / next);
}

void DrawPageNumber(QPainter& painter, int page, int pages, int left, int right, int top, int bottom) {
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(QRect(left, top, std::max(0, right - left), std::max(0, bottom - top)),
                     Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                     TranslateText(QStringLiteral("[2201]Strona %1/%2")).arg(page).arg(pages));
    painter.restore();
}

// The row of one label and its value; the label stops at the value column.
void DrawFactLine(QPainter& painter, const QString& label, const QString& value, int left, int valueX, int right, int y,
                  int height) {
    painter.drawText(QRect(left, y, std::max(0, valueX - left), height),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, TranslateText(label) + u':');
    painter.drawText(QRect(valueX, y, std::max(0, right - valueX), height),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, value);
}

}  // namespace

QStringList DateSamples() {
    // Every month, on a two-digit day: a format that names the month is as wide as its longest name.
    QStringList texts;
    for (int month = 1; month <= 12; ++month) texts << QLocale().toString(QDate(2008, month, 28), ShortDateFormat());
    return texts;
}

QStringList TimeSamples() {
    // Every hour: a twelve-hour clock's hours and its AM/PM differ in width.
    QStringList texts;
    for (int hour = 0; hour < 24; ++hour) texts << QLocale().toString(QTime(hour, 58, 58), LongTimeFormat());
    return texts;
}

QStringList TemperatureSamples() {
    // The extremes of the range the logger's thresholds take, -99 to 200 °C.
    const QChar separator = SystemDecimalSeparator();
    return {LogTemperatureText(-99.9f, separator), LogTemperatureText(199.9f, separator)};
}

QStringList HumiditySamples() { return {LogHumidityText(100.0f, SystemDecimalSeparator())}; }

int WidestAdvance(const QFontMetrics& metrics, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

int TablePageCount(QPagedPaintDevice& device, const ResultsStore& results, int headerHeight, bool dewPoint) {
    const int left = TableLeftMargin(device.width());
    const int right = TableRightMargin(device.width());
    const QFontMetrics normalMetrics(PrintFont(kTablePoints, false), &device);
    const TableLayout layout = MeasureTable(normalMetrics, QFontMetrics(PrintFont(kTablePoints, true), &device),
                                            results.HasHumidity(), dewPoint);
    const int tableBottom = device.height() - kFooterLines * normalMetrics.height();
    const qint64 capacity =
        PageCapacity(layout, left, right, headerHeight + kRuleGap + kRuleThickness + kTableGap, tableBottom);
    return PageCount(results.Count(), capacity, capacity);
}

QStringList WithoutTrailingEmptyLines(QStringList lines) {
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int TableLeftMargin(int pageWidth) { return qRound(0.1 * pageWidth); }

int TableRightMargin(int pageWidth) { return pageWidth - qRound(0.03 * (pageWidth - TableLeftMargin(pageWidth))); }

void DrawHeaderRule(QPainter& painter, int left, int right, int y) {
    painter.fillRect(QRect(left, y - kRuleThickness / 2, right - left, kRuleThickness), Qt::black);
}

int PrintHeader(QPainter& painter, const ResultsStore& results, const PrintHeaderOptions& options, int left, int right,
                int top, int firstRecord, int lastRecord, QDate today) {
    painter.save();
    painter.setFont(PrintFont(kHeaderPoints, false));
    painter.setPen(Qt::black);
    const int lineHeight = painter.fontMetrics().height();
    int y = top;
    if (options.header && !options.headerLines.isEmpty()) {
        // Each line wrapped between the margins (a word longer than the line
        // is broken too), every printed line one fact line's height below the
        // last, and the facts start below all of it.
        QTextOption wrap(Qt::AlignLeft | Qt::AlignTop);
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        for (const QString& text : options.headerLines) {
            QTextLayout layout(text, painter.font(), painter.device());
            layout.setTextOption(wrap);
            layout.beginLayout();
            int lines = 0;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(std::max(0, right - left));
                line.setPosition(QPointF(0, lines++ * lineHeight));
            }
            layout.endLayout();
            layout.draw(&painter, QPointF(left, y));
            y += std::max(1, lines) * lineHeight;
        }
    }
    const int valueX = left + qRound(0.4 * (right - left));
    auto fact = [&](const char16_t* label, const QString& value) {
        DrawFactLine(painter, QString::fromUtf16(label), value, left, valueX, right, y, lineHeight);
        y += lineHeight;
    };
    if (options.name) fact(u"[1046]Nazwa Loggera", results.loggerName);
    if (options.number) fact(u"[1047]Typ, numer seryjny Loggera", results.loggerType + u' ' + results.serialNumber);
    if (options.interval) fact(u"[1048]Częstość zapisu logów", results.writeInterval);
    if (options.firstLog && options.shownRecords) {
        fact(u"[2188]Data pierwszego pokazanego loga", DateTimeText(results, firstRecord));
        fact(u"[2189]Data ostatniego pokazanego loga", DateTimeText(results, lastRecord));
    } else if (options.firstLog) {
        fact(u"[1051]Data pierwszego loga", DateTimeText(results, firstRecord));
        fact(u"[1052]Data ostatniego loga", DateTimeText(results, lastRecord));
    }
    if (options.printDate) fact(u"[1050]Data wydruku", QLocale().toString(today, ShortDateFormat()));
    painter.restore();
    return y - top;
}

int PrintSummary(QPainter& painter, const ResultsStore& results, int left, int right, int top) {
    ResultsSummary summary;
    summary.Update(results);
    painter.save();
    painter.setPen(Qt::black);
    QFont heading = PrintFont(kHeaderPoints, true);
    painter.setFont(heading);
    const int lineHeight = painter.fontMetrics().height();
    // A blank line's room above the heading sets the block off from the facts.
    int y = top + lineHeight;
    painter.drawText(QRect(left, y, std::max(0, right - left), lineHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     TranslateText(QStringLiteral("[2135]Podsumowanie")));
    y += lineHeight;
    painter.setFont(PrintFont(kHeaderPoints, false));
    // Paper follows the system's number format, not the separator typed on screen last.
    const QList<LoggerInfoRow> rows = SummaryRows(summary, results, SystemDecimalSeparator());
    // The values line up where the header's do, unless a caption (they are
    // longer than the header's, and longer still in German) needs more room.
    int widest = 0;
    for (const LoggerInfoRow& row : rows)
        widest = std::max(widest, painter.fontMetrics().horizontalAdvance(row.caption + u':'));
    const int valueX =
        left + std::clamp(widest + lineHeight / 2, qRound(0.4 * (right - left)), qRound(0.65 * (right - left)));
    for (const LoggerInfoRow& row : rows) {
        DrawFactLine(painter, row.caption, row.value, left, valueX, right, y, lineHeight);
        y += lineHeight;
    }
    painter.restore();
    return y - top;
}

TablePrintResult PrintTable(QPainter& painter, QPagedPaintDevice& device, const ResultsStore& results,
                            const PrintHeaderOptions& options, QDate today, const TableFooterFunction& footer,
                            bool dewPoint) {
    TablePrintResult result;
    const int firstRecord = 0;
    const int lastRecord = results.Count() - 1;
    const bool humidity = results.HasHumidity();
    // The desktop's 3D-light colour (what the toolkit calls mid-light).
    const QColor headingFill = QPalette().color(QPalette::Active, QPalette::Midlight);

    painter.save();
    int printed = 0;    // records printed so far; the next one is record `printed`
    int pageCount = 1;  // known once the first page has its header
    for (;;) {
        if (result.pages > 0) device.newPage();
        ++result.pages;
        const int pageWidth = device.width();
        const int pageBottom = device.height();
        const int left = TableLeftMargin(pageWidth);
        const int right = TableRightMargin(pageWidth);
        painter.fillRect(QRect(0, 0, pageWidth, pageBottom), Qt::white);

        const int headerHeight = PrintHeader(painter, results, options, left, right, 0, firstRecord, lastRecord, today);
        int y = headerHeight;
        if (options.summary && result.pages == 1) y += PrintSummary(painter, results, left, right, y);
        y += kRuleGap;
        DrawHeaderRule(painter, left, right, y);
        const int tableTop = y + kRuleThickness + kTableGap;

        const QFont normalFont = PrintFont(kTablePoints, false);
        const QFont boldFont = PrintFont(kTablePoints, true);
        const QFontMetrics normalMetrics(normalFont, &device);
        const TableLayout layout = MeasureTable(normalMetrics, QFontMetrics(boldFont, &device), humidity, dewPoint);
        // The table stops above the page number.
        const int tableBottom = pageBottom - kFooterLines * normalMetrics.height();
        if (result.pages == 1) {
            // Every later page has the same header, without the summary: the
            // number of pages follows before the first one is finished.
            const int laterTableTop = headerHeight + kRuleGap + kRuleThickness + kTableGap;
            pageCount = PageCount(lastRecord + 1, PageCapacity(layout, left, right, tableTop, tableBottom),
                                  PageCapacity(layout, left, right, laterTableTop, tableBottom));
        }
        painter.setFont(normalFont);
        if (footer)
            footer(painter, result.pages,
                   QRect(left, tableBottom, std::max(0, right - left), pageBottom - tableBottom));
        else
            DrawPageNumber(painter, result.pages, pageCount, left, right, tableBottom, pageBottom);
        painter.setPen(QPen(Qt::black, kCellPen));

        int x = left;
        for (;;) {
            // Heading row, then records until the next row would reach the page number.
            int rowTop = tableTop;
            if (rowTop + layout.rowHeight > tableBottom) {
                painter.restore();
                return result;  // not even the heading fits
            }
            painter.setFont(boldFont);
            int blockRight = DrawRow(painter, layout, layout.headings, x, rowTop, right, headingFill);
            rowTop += layout.rowHeight;
            painter.setFont(normalFont);
            int rowsInBlock = 0;
            while (printed <= lastRecord && rowTop + layout.rowHeight <= tableBottom) {
                ++printed;
                blockRight = DrawRow(painter, layout, RecordCells(results, printed - 1, humidity, dewPoint), x, rowTop,
                                     right, Qt::white);
                rowTop += layout.rowHeight;
                ++rowsInBlock;
            }
            if (printed > lastRecord) {
                result.ok = true;
                painter.restore();
                return result;
            }
            // Every block of every page has the same height: a block without a
            // record means the job would never end.
            if (rowsInBlock == 0) {
                painter.restore();
                return result;
            }
            const int nextX = blockRight + layout.firstMeasured / 2;
            if (nextX + layout.blockWidth >= right) break;  // no further block fits: next page
            x = nextX;
        }
    }
}

}  // namespace quorvex
