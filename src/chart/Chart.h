#pragma once
// Chart, the chart engine: temperature and humidity of the results store
// drawn against the record index, with a value axis, time and date labels,
// alarm threshold lines and a hover cursor. It draws on whatever QPainter its
// owner hands it and knows nothing of windows; the chart window owns one for
// the chart and one for the overview strip, the printout builds its own.
//
// The owner sets the fields below, calls Layout, then the drawing steps.
// User-interface thread only.
#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <vector>

#include "chart/ColumnEnvelopes.h"
#include "chart/PixelMath.h"
#include "chart/TimeStep.h"
#include "logs/DewPointSeries.h"
#include "logs/ResultsStore.h"
#include "logs/Thresholds.h"

class QImage;
class QPainter;

namespace quorvex {

// A rectangle given as its four edges; right and bottom lie one past the last
// pixel column and row (area (0, 0, 1200, 600) is a 1200×600 surface).
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const EdgeRect&, const EdgeRect&) = default;
};

// The shown records for a store of `count` records and a zoom window in
// percent: a product whose dropped fraction exceeds one half rounds up, exactly
// one half rounds down.
struct RecordWindow {
    int firstIndex = 0;
    int sampleCount = 0;
};
RecordWindow WindowForZoom(int count, int zoomStart, int zoomWidth);

// A round moment on the time axis: where it falls between the shown records
// (a record position counted from firstIndex) and the moment itself.
struct TimeMark {
    double position = 0.0;
    Moment moment = 0.0;
};

struct TimeMarks {
    TimeStep step;
    std::vector<TimeMark> marks;  // left to right
};

class Chart {
public:
    // Series and axis colours.
    static constexpr QRgb kTempColour = 0xFF0000;      // red
    static constexpr QRgb kHumColour = 0x0000FF;       // blue
    static constexpr QRgb kGridColour = 0x808080;      // grey
    static constexpr QRgb kTextColour = 0x800080;      // purple
    static constexpr QRgb kDewPointColour = 0x008000;  // green

    explicit Chart(const ResultsStore& records);

    float yScale = 0.0f;  // pixels per degree or percent
    float xStep = 0.0f;   // pixels per record
    float yMax = 1.0f;    // value at the top of the plot area
    float yMin = 0.0f;    // value at its bottom
    int x0 = 0;           // column of the first shown record
    int y0 = 0;           // row of yMin
    int rangeFirst = 0;   // window for which yMax and yMin were last computed
    int rangeCount = 0;

    // Where the drawing steps paint. `surface` is the image `canvas` paints on;
    // without it (a widget) the series are drawn without the painted-pixel test.
    QPainter* canvas = nullptr;
    const QImage* surface = nullptr;
    EdgeRect area;
    const ResultsStore* source = nullptr;

    bool showTemp = false;
    bool showHum = false;
    bool showThresholds = false;
    bool rescale = false;
    // The dew point series, drawn over the others in its own colour; its owner keeps the
    // values (computed once per record) and brings them up to date before Layout.
    bool showDewPoint = false;
    const DewPointSeries* dewPoints = nullptr;

    // Alarm thresholds; the log download fills them through a pointer to this block.
    Thresholds thresholds;

    // Extremes of the shown records, set by ComputeRange.
    float winTempMax = ResultsStore::kEmptyExtreme;
    float winHumMax = ResultsStore::kEmptyExtreme;
    float winTempMin = ResultsStore::kEmptyExtreme;
    float winHumMin = ResultsStore::kEmptyExtreme;
    float winDewMax = 0.0f;  // only while DewPointShown()
    float winDewMin = 0.0f;

    int marginLeft = 0;
    int marginBottom = 0;
    int marginRight = 0;
    int marginTop = 0;

    int zoomStart = 0;    // percent of all records: first shown
    int zoomWidth = 100;  // percent of all records shown

    int cursorIndex = -1;  // record under the mouse, -1 for none
    float cursorTemp = 0.0f;
    float cursorHum = 0.0f;
    float cursorDew = 0.0f;  // NaN where the record has none
    Moment cursorTime = 0.0;

    int firstIndex = 100;  // first shown record
    int sampleCount = 10;  // shown record intervals

    void SetCanvas(QPainter* painter, const QImage* image = nullptr) {
        canvas = painter;
        surface = image;
    }

    // Pixel of record position x (counted from firstIndex) at value v, each
    // coordinate truncated toward zero. Called for every drawn record.
    QPoint ToPixel(float x, float v) const { return {TruncatePixel(x0 + static_cast<double>(x) * xStep), ToRow(v)}; }
    // Its row alone, for the many values of one pixel column (the column's
    // product 0 × xStep is not folded away: xStep may be infinite).
    int ToRow(float v) const { return TruncatePixel(y0 - (static_cast<double>(v) - yMin) * yScale); }

    // The window, the value range (recomputed only when the window changed or
    // rescale is set) and the scales. Must run before any drawing step.
    void Layout();
    void ComputeRange();

    void DrawAxes();
    // The two series, each segment between consecutive records drawn with a
    // 2-pixel pen unless the pixel at its end already holds the series colour;
    // a window of one record draws that record's point. On an image it can read
    // (the owners' back buffers) it draws each pixel column from the column
    // envelopes, built once per window, and the picture is pixel for pixel
    // that of DrawSeriesEachRecord, which it uses everywhere else.
    // The surface holds no pixel in a series colour before (owners draw the
    // series on a background, the grid and the axes).
    void DrawSeries();
    // The same picture drawn record by record.
    void DrawSeriesEachRecord();
    // The dew point series after DrawSeries: per pixel column one bar from its lowest to its
    // highest value, joined to the record before the column by a 2-pixel line; a record
    // without a value breaks the line.
    void DrawDewPoint();
    // The dew point is asked for and the store has values for it.
    bool DewPointShown() const;
    void DrawThresholds();
    void DrawCursor();
    // The legend, one sample line and name with unit per series shown,
    // right-aligned under the date labels; none while there are no records.
    // Drawn after the series.
    void DrawLegend();
    // Its entries, "Temperatura [°C]", "Wilgotność [%RH]" and the dew point's, in the current language.
    QStringList LegendTexts() const;

    // The round moments of the shown records for labels `timePixels` wide
    // (a time of day) or `datePixels` wide (a date). A mark lies where the
    // records pass the moment, between the two records on either side of it.
    // Needs Layout.
    TimeMarks RoundMoments(int timePixels, int datePixels) const;

    // The record nearest to a pixel column becomes the cursor record; a column
    // left of the plot or past the last record leaves no cursor.
    void HitTest(int mouseX);

    // The unit label between the brackets, "[°C %]" for both series.
    QString UnitLabel() const;

    // The last record position DrawSeries draws (counted from firstIndex), -1
    // when the window holds no record.
    int LastDrawnPosition() const;

private:
    int RecordCount() const { return source ? source->Count() : 0; }
    bool RecordExists(long long index) const { return index >= 0 && index < RecordCount(); }
    void DrawValueAxis(int textHeight);
    void DrawRecordAxis();
    // The shown records per pixel column, for DrawSeries.
    ColumnEnvelopes envelopes_;
};

}  // namespace quorvex
