#pragma once
// The chart window's print button, connected to the print dialog by the window
// that owns both: the dialog takes the chart's records, and once accepted
// prints the chart as it is shown then, on a landscape page.
namespace quorvex {

class ChartWindow;
class PrintDialog;

// Both must outlive the connection (the program's windows live until its end).
void ConnectChartPrinting(ChartWindow& chart, PrintDialog& dialog);

}  // namespace quorvex
