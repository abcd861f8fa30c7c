#pragma once
// The chart printout: one landscape page with the print dialog's header
// block (and the summary when it is ticked), the rule, and the chart drawn by a temporary chart engine into a
// bitmap of a quarter of the remaining width and height, stretched without
// smoothing onto the rest of the page (so lines and texts come out as bold as
// on the screen rather than hair-thin at the printer's resolution).
#include <QList>

#include <functional>
#include <utility>

#include "chart/ChartPrintView.h"
#include "logs/ExcursionRules.h"

class QPainter;
class QPagedPaintDevice;

namespace quorvex {

// Draws the header (and summary) between left and right from top and returns its height.
using PageHeaderFunction = std::function<int(QPainter& painter, int left, int right, int top)>;

// What the report adds to the chart of the chart window.
struct ChartPageExtras {
    // Humidity on a scale of its own, labelled on the right ("%"); temperature
    // and dew point keep the left one ("°C"), so neither flattens the other.
    bool humidityAxis = false;
    // Each rule's limit as a line on its series' scale, labelled with its number
    // in this list (from 1) and the limit; the scales reach every limit.
    QList<ExcursionRule> rules;
};

// Draws the whole chart page on `device`, which `painter` is active on.
void DrawChartPage(QPainter& painter, QPagedPaintDevice& device, const ChartPrintView& view,
                   const PageHeaderFunction& header, const ChartPageExtras& extras = {});

// The first and last record of the window the chart shows (firstIndex and
// firstIndex + sampleCount, the last kept below the record count).
std::pair<int, int> ChartRecordRange(int firstIndex, int sampleCount, int recordCount);

}  // namespace quorvex
