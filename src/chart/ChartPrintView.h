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
    QFont font;  // of the chart's texts, in the bitmap's pixels
};

}  // namespace quorvex
