#pragma once
// The chart printout: one landscape page with the print dialog's header
// block (and the summary when it is ticked), the rule, and the chart drawn by a temporary chart engine into a
// bitmap of a quarter of the remaining width and height, stretched without
// smoothing onto the rest of the page (so lines and texts come out as bold as
// on the screen rather than hair-thin at the printer's resolution).
#include <functional>
#include <utility>

#include "chart/ChartPrintView.h"

class QPainter;
class QPagedPaintDevice;

namespace quorvex {

// Draws the header (and summary) between left and right from top and returns its height.
using PageHeaderFunction = std::function<int(QPainter& painter, int left, int right, int top)>;

// Draws the whole chart page on `device`, which `painter` is active on.
void DrawChartPage(QPainter& painter, QPagedPaintDevice& device, const ChartPrintView& view,
                   const PageHeaderFunction& header);

// The first and last record of the window the chart shows (firstIndex and
// firstIndex + sampleCount, the last kept below the record count).
std::pair<int, int> ChartRecordRange(int firstIndex, int sampleCount, int recordCount);

}  // namespace quorvex
