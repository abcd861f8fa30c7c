#pragma once
// The printouts' drawing: the header block that tops every printed page (the
// operator's free lines and the chosen facts about the logger) and the results
// table flowing in side-by-side column blocks over as many pages as needed.
// Both draw on any QPainter whose device is a paged device (a QPrinter for a
// printer or a PDF file, a QPdfWriter in tests); lengths are device pixels.
// Pages are finished one by one with newPage(), so a printer or PDF job
// streams and memory does not grow with the number of records.
#include <QDate>
#include <QFont>
#include <QRect>
#include <QStringList>

#include <functional>

#include "logs/ResultsStore.h"
#include "print/PrintFace.h"

class QFontMetrics;
class QPainter;
class QPagedPaintDevice;

namespace quorvex {

// What the header block shows, from the print dialog's controls.
struct PrintHeaderOptions {
    bool header = false;        // the free lines below
    QStringList headerLines;    // printed as given, empty lines included
    bool name = true;           // logger name
    bool number = true;         // type and serial number
    bool interval = true;       // save interval
    bool firstLog = true;       // moments of the first and last printed record
    bool shownRecords = false;  // those are the first and last of the records shown, not of the log
    bool printDate = true;      // today's date
    bool summary = false;       // the summary of the results, below the header of the first page
};

// The lines without the empty ones at the end (empty ones before a filled
// line stay: they are printed as blank lines).
QStringList WithoutTrailingEmptyLines(QStringList lines);

// Draws the header block between `left` and `right` from row `top` and returns
// its height. `firstRecord` and `lastRecord` name the records whose moments
// the first/last log lines show (ignored when they lie outside the store).
// Texts never pass `right`: the free lines wrap, a fact is cut, and a label
// never runs into its value column.
int PrintHeader(QPainter& painter, const ResultsStore& results, const PrintHeaderOptions& options, int left, int right,
                int top, int firstRecord, int lastRecord, QDate today = QDate::currentDate());

// What a larger document draws in the strip at the foot of each table page in
// place of the table's own page number; `page` counts the table's pages from 1.
using TableFooterFunction = std::function<void(QPainter& painter, int page, const QRect& strip)>;

struct TablePrintResult {
    int pages = 0;    // pages drawn, the last one included
    bool ok = false;  // false: the page cannot hold a single record below the header
};

// Prints every record of `results` on `device` (which `painter` is active
// on): header block, rule and table on each page, and at its foot the page
// number among all pages ("Strona 2/7"). With `dewPoint` a log with humidity
// gets the dew point column after the humidity. On failure the job is left
// unfinished with whatever pages were drawn; the caller aborts it.
TablePrintResult PrintTable(QPainter& painter, QPagedPaintDevice& device, const ResultsStore& results,
                            const PrintHeaderOptions& options, QDate today = QDate::currentDate(),
                            const TableFooterFunction& footer = {}, bool dewPoint = false);

// The pages PrintTable draws on `device` for `results` without the summary,
// when the header block of every page is `headerHeight` high (as PrintHeader
// returned it for the same options); nothing is drawn.
int TablePageCount(QPagedPaintDevice& device, const ResultsStore& results, int headerHeight, bool dewPoint = false);

// The texts a column of dates, times, temperatures (and dew points) or
// humidities can hold at its widest, in the default locale's formats with
// the system's decimal separator; and the widest of `texts` in `metrics`.
QStringList DateSamples();
QStringList TimeSamples();
QStringList TemperatureSamples();
QStringList HumiditySamples();
int WidestAdvance(const QFontMetrics& metrics, const QStringList& texts);

// Margins of the table printout for a page `pageWidth` pixels wide.
int TableLeftMargin(int pageWidth);
int TableRightMargin(int pageWidth);

// Draws the summary of `results` (its heading, then one caption and value a
// line, as the header's facts) between `left` and `right` from row `top` and
// returns its height.
int PrintSummary(QPainter& painter, const ResultsStore& results, int left, int right, int top);

// Draws the 6-pixel black rule centred on row `y` from `left` to `right`.
void DrawHeaderRule(QPainter& painter, int left, int right, int y);

}  // namespace quorvex
