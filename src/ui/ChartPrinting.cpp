#include "ui/ChartPrinting.h"

#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"

namespace quorvex {

void ConnectChartPrinting(ChartWindow& chart, PrintDialog& dialog) {
    chart.SetPrintHandler([&chart, &dialog] {
        dialog.Results = chart.Results();
        if (dialog.ExecForChart() != QDialog::Accepted) return;
        // Read after the dialog: the chart may have been refreshed meanwhile.
        dialog.PrintChart(chart.PrintView(), chart.FirstIndex(), chart.SampleCount());
    });
}

}  // namespace quorvex
