#pragma once
// What the chart window shows, as a printout of the chart needs it.
#include <QFont>

#include "logs/ResultsStore.h"
#include "logs/Thresholds.h"

namespace quorvex {

struct ChartPrintView {
    const ResultsStore* results = nullptr;  // set by whoever asks for the printout
    bool showTemp = true;
    bool showHum = true;
    bool showThresholds = false;
    bool showDewPoint = false;  // drawn where the results have humidity
    Thresholds thresholds;
    int zoomStart = 0;
    int zoomWidth = 100;
    QFont font;  // the size and weight of the chart's texts (set in the printouts' face)
};

}  // namespace quorvex
