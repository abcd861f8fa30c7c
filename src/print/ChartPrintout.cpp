#include "print/ChartPrintout.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>

#include "chart/Chart.h"
#include "logs/DewPointSeries.h"
#include "print/TablePrinter.h"

namespace quorvex {

std::pair<int, int> ChartRecordRange(int firstIndex, int sampleCount, int recordCount) {
    int last = firstIndex + sampleCount;
    if (last >= recordCount) last = recordCount - 1;
    return {firstIndex, last};
}

void DrawChartPage(QPainter& painter, QPagedPaintDevice& device, const ChartPrintView& view,
                   const PageHeaderFunction& header) {
    const int pageWidth = device.width();
    const int pageHeight = device.height();
    painter.fillRect(QRect(0, 0, pageWidth, pageHeight), Qt::white);
    const int left = static_cast<int>(pageWidth * 0.1);
    const int right = pageWidth - static_cast<int>((pageWidth - left) * 0.04);

    int top = header ? header(painter, left, right, 0) : 0;
    DrawHeaderRule(painter, left, right, top);
    top += 6 + 100;

    const int width = (right - left) / 4;
    const int height = (pageHeight - top) / 4;
    if (width < 1 || height < 1) return;  // the header took the whole page
    QImage bitmap(width, height, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    {
        QPainter canvas(&bitmap);
        canvas.setFont(view.font);
        const ResultsStore none;
        const ResultsStore& results = view.results ? *view.results : none;
        DewPointSeries dewPoints;
        if (view.showDewPoint) dewPoints.Update(results);
        Chart engine(results);
        engine.SetCanvas(&canvas, &bitmap);
        engine.showTemp = view.showTemp;
        engine.showHum = view.showHum;
        engine.showThresholds = view.showThresholds;
        engine.showDewPoint = view.showDewPoint;
        engine.dewPoints = &dewPoints;
        engine.rescale = true;  // a fresh engine: the value range is computed for this window
        engine.thresholds = view.thresholds;
        engine.area = {0, 0, bitmap.width(), bitmap.height()};
        engine.marginLeft = 45;
        engine.marginBottom = 60;
        engine.marginRight = 10;
        engine.marginTop = 25;
        engine.zoomStart = view.zoomStart;
        engine.zoomWidth = view.zoomWidth;
        engine.Layout();
        engine.DrawAxes();
        engine.DrawSeries();
        engine.DrawDewPoint();
        engine.DrawThresholds();
        engine.DrawLegend();
        engine.SetCanvas(nullptr);
    }
    // A plain pixel copy: every bitmap pixel becomes a 4 × 4 block. Lossless,
    // or a PDF would store the chart as a JPEG with smeared lines.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(QRect(left, top, 4 * width, 4 * height), bitmap);
    painter.restore();
}

}  // namespace quorvex
