// The dew point series of Chart. It is drawn after the temperature and humidity, so their
// painted-pixel drawing (ChartSeries.cpp) never meets its colour. With many records a pixel
// column, the segments between them stay inside the column's lowest to highest row: one bar
// a column draws the same line for one fill, whatever the number of records.
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "chart/Chart.h"

namespace quorvex {

void Chart::DrawDewPoint() {
    const int last = LastDrawnPosition();
    if (!canvas || !DewPointShown() || last < 0) return;
    const std::vector<float>& values = dewPoints->Values();
    if (values.size() < static_cast<std::size_t>(firstIndex) + static_cast<std::size_t>(last) + 1) return;
    QPainter& p = *canvas;
    const QColor colour = QColor::fromRgb(kDewPointColour);
    p.setPen(QPen(colour, 2));
    bool inColumn = false;  // a column is being gathered
    int column = 0, top = 0, bottom = 0;
    QPoint previous;  // the last record's pixel
    auto endColumn = [&] {
        if (inColumn) p.fillRect(QRect(column - 1, top - 1, 2, bottom - top + 2), colour);
    };
    for (int i = 0; i <= last; ++i) {
        const float value = values[static_cast<std::size_t>(firstIndex) + static_cast<std::size_t>(i)];
        if (std::isnan(value)) {
            endColumn();
            inColumn = false;
            continue;
        }
        const QPoint at = ToPixel(static_cast<float>(i), value);
        if (inColumn && at.x() == column) {
            top = std::min(top, at.y());
            bottom = std::max(bottom, at.y());
        } else {
            endColumn();
            if (inColumn) p.drawLine(previous, at);
            inColumn = true;
            column = at.x();
            top = bottom = at.y();
        }
        previous = at;
    }
    endColumn();
}

}  // namespace quorvex
