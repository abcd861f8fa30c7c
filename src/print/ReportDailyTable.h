#pragma once
// The report's daily table: one row per calendar day of the log with the
// minimum, maximum and mean of each series, in the cells of the table printout.
#include <QDate>
#include <QList>

#include "print/TablePrinter.h"

namespace quorvex {

struct DayValues {
    QDate day;
    float tempMin = 0.0f, tempMax = 0.0f, humMin = 0.0f, humMax = 0.0f;
    double tempSum = 0.0, humSum = 0.0;
    int count = 0;
    // The dew point of the records that have one (none at 0 % humidity).
    float dewMin = 0.0f, dewMax = 0.0f;
    double dewSum = 0.0;
    int dewCount = 0;
};

struct DailyTable {
    bool humidity = false;
    bool dewPoint = false;  // the dew point's three columns follow the humidity's
    QList<DayValues> days;  // in the order the records have them
};

// One pass over the records; a day that comes again after another (a clock
// set back) gets a row of its own. `dewPoint` adds the dew point to a log with humidity.
DailyTable DailyValues(const ResultsStore& store, bool dewPoint = false);

// Pages PrintDailyTable draws below a header block `headerHeight` high.
int DailyTablePageCount(QPagedPaintDevice& device, const DailyTable& table, int headerHeight);

// Header block (PrintHeader with `options`), rule and the rows over as many
// pages as they need, `footer` at the foot of each. Starts on the current
// page. False when a page cannot hold a single row.
bool PrintDailyTable(QPainter& painter, QPagedPaintDevice& device, const ResultsStore& store, const DailyTable& table,
                     const PrintHeaderOptions& options, const TableFooterFunction& footer);

}  // namespace quorvex
