#pragma once
// ChartWindow, the chart window ("Wykres"): the records of the results store
// as a chart with an overview strip below it, zoom in steps of 10 % of the
// records (buttons, or the mouse wheel around the pointer), zoom to a span
// dragged across the chart, a draggable zoom window in the overview,
// temperature / humidity / both, the dew point of results with humidity,
// alarm threshold lines, a legend and a read-out of the record under the mouse.
//
// How the main window uses it (one instance, created hidden at start-up):
//   chartWindow->ThresholdsBlock()   hand to LogDownload::SetThresholds in onShown
//   onChartClicked:                chartWindow->SetResults(the program's results);
//                                    chartWindow->ShowChart();
//   after every downloaded block     chartWindow->RefreshChart();
// ShowChart shows the window (not modally) or brings it to the front; every
// showing from hidden resets the zoom to all records and selects both series.
// RefreshChart is cheap when nothing changed and may be called whether the
// window is shown or not. Closing the window only hides it. A LanguageChange
// event (sent by the main window when its language is applied) puts the
// title, the tool tips and the texts on the chart into the current language.
//
// The back buffer of the chart is redrawn only when the paint box's size, the
// shown records or the value range change; the cursor and the texts are drawn
// on top of it, so moving the mouse costs one copy of the buffer.
// User-interface thread only.
#include <QImage>
#include <QWidget>

#include <functional>

#include "chart/Chart.h"
#include "chart/ChartPrintView.h"
#include "logs/ResultsStore.h"
#include "logs/Thresholds.h"

class QButtonGroup;
class QToolBar;
class QToolButton;
class QMouseEvent;

namespace quorvex {

class PaintBox;

class ChartWindow : public QWidget {
    Q_OBJECT

public:
    // `results`: the program's results, shown until SetResults names others.
    explicit ChartWindow(ResultsStore& results, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // --- what the main window calls ---
    // The records to show; both engines read them from the next paint on.
    void SetResults(ResultsStore& store);
    // Shows the window, raises it and refreshes it (onChartClicked).
    void ShowChart();
    // Re-reads the store's type (humidity button) and the series buttons and
    // asks both paint boxes to repaint; the chart grows with the store.
    void RefreshChart();
    // The four alarm thresholds the chart draws; the log download fills them.
    Thresholds* ThresholdsBlock() { return &chartEngine_.thresholds; }
    // On: the thresholds drawn are those the results carry, and results without any (opened
    // from a file) draw none. Off: the block is drawn as it was last filled.
    void SetThresholdsFromResults(bool on) { thresholdsFromResults_ = on; }

    // --- tool bar handlers (also reached by clicking the buttons) ---
    void onZoomInClicked();
    void onZoomOutClicked();
    void onZoomAllClicked();
    void onBothSeriesClicked();
    void onTempSeriesClicked();
    void onHumSeriesClicked();
    void onThresholdsClicked();
    // Switches the dew point series (results with humidity only).
    void onDewPointClicked();
    // Runs the print handler (the owner prints the chart through its print dialog).
    void onPrintClicked();

    // What the print button does; the window that owns both the chart and the
    // printing gives it. The button stays disabled until a handler is given.
    void SetPrintHandler(std::function<void()> handler);
    // What the chart shows now, for a printout.
    ChartPrintView PrintView() const;
    // The records the chart shows.
    ResultsStore* Results() const { return results_; }

    // --- state, for the tool bar's owner and for tests ---
    int ZoomStart() const { return zoomStart_; }
    int ZoomWidth() const { return zoomWidth_; }
    int FirstIndex() const { return firstIndex_; }
    int SampleCount() const { return sampleCount_; }
    bool ShowsTemp() const { return showTemp_; }
    bool ShowsHum() const { return showHum_; }
    bool ShowsThresholds() const { return showThresholds_; }
    bool ShowsDewPoint() const { return showDewPoint_; }
    // The dew point of the records, brought up to date when the store changes.
    const DewPointSeries& DewPoints() const { return dewPoints_; }
    bool Dragging() const { return dragging_; }
    EdgeRect DragFrame() const { return dragFrame_; }
    // The highlighted window in the overview as last painted, as a QRect.
    QRect WindowRect() const;
    const Chart& ChartEngine() const { return chartEngine_; }
    const QImage& ChartBitmap() const { return chartBitmap_; }
    const QImage& OverviewBitmap() const { return overviewBitmap_; }
    // How often each back buffer has been redrawn since creation.
    int ChartRedrawCount() const { return chartRedraws_; }
    int OverviewRedrawCount() const { return overviewRedraws_; }
    // A span being dragged across the chart, in paint box columns.
    bool Spanning() const { return spanning_; }
    // The read-out line above the chart ("" when no record is under the mouse).
    QString CursorText() const;
    QString ExtremesText() const;
    QString FooterText() const;

    // Controls, named as the window's controls.
    QToolBar* toolBar = nullptr;
    QToolButton* zoomInButton = nullptr;
    QToolButton* zoomOutButton = nullptr;
    QToolButton* zoomAllButton = nullptr;
    QToolButton* bothSeriesButton = nullptr;
    QToolButton* tempSeriesButton = nullptr;
    QToolButton* humSeriesButton = nullptr;
    QToolButton* thresholdsButton = nullptr;
    QToolButton* thresholdsOffButton = nullptr;  // never shown: pressing it releases thresholdsButton
    QToolButton* dewPointButton = nullptr;       // checkable, enabled for results with humidity
    QToolButton* printButton = nullptr;          // enabled once a print handler is given
    QWidget* chartPanel = nullptr;
    PaintBox* chartBox = nullptr;
    QWidget* overviewPanel = nullptr;
    PaintBox* overview = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void onShown();
    // Hands the chart engine the window's state and runs its Layout; the
    // rescale asked for is applied only by a paint.
    EdgeRect LayoutChart(bool withRescale);
    void onChartPaint(QPainter& painter);
    void onChartMouseMove(int x);
    void onChartMouseDown(int x, Qt::MouseButton button);
    void onChartMouseUp(int x);
    void onChartWheel(int x, int angleDelta);
    // Zooms one step in or out keeping the record under column x in place.
    void ZoomAround(int x, bool in);
    // Shows the records between two columns of the chart.
    void ZoomToColumns(int from, int to);
    void RetranslateTexts();
    void onOverviewPaint(QPainter& painter);
    void onOverviewMouseDown(int x);
    void onOverviewMouseMove(int x);
    void onOverviewMouseUp();
    void RedrawChartBitmap(const EdgeRect& area);
    void RedrawOverviewBitmap(const EdgeRect& area);
    void PlaceDragFrame();
    void PaintBothNow();
    QColor BoxColour() const;

    QImage chartBitmap_;
    QImage overviewBitmap_;
    EdgeRect dragFrame_;
    EdgeRect windowRect_;
    int zoomStart_ = 0;
    int zoomWidth_ = 20;
    int firstIndex_ = 0;
    int sampleCount_ = 0;
    bool dragging_ = false;
    int dragLastX_ = 0;
    bool showTemp_ = false;
    bool showHum_ = false;
    bool showThresholds_ = false;
    bool rescale_ = false;
    Chart chartEngine_;
    Chart overviewEngine_;
    ResultsStore* results_;
    std::function<void()> printHandler_;

    // A rescale asked for reaches each paint box at its next paint, even when
    // that paint comes later than the request (a hidden window, a queued update).
    bool chartRescalePending_ = false;
    bool overviewRescalePending_ = false;

    // What each back buffer was last drawn for.
    bool chartDrawn_ = false;
    EdgeRect chartArea_;
    int chartFirst_ = 0;
    int chartCount_ = 0;
    bool overviewDrawn_ = false;
    EdgeRect overviewArea_;
    int overviewFirst_ = 0;
    int overviewCount_ = 0;

    // The overview's series layer and what it was drawn for.
    struct SeriesKey {
        EdgeRect area;
        int count = -1;
        bool temp = false;
        bool hum = false;
        float yMin = 0.0f;
        float yMax = 0.0f;
        friend bool operator==(const SeriesKey&, const SeriesKey&) = default;
    };
    QImage overviewSeries_;
    SeriesKey seriesKey_;

    // Zoom to a dragged span: where the press was and where the mouse is now.
    bool spanning_ = false;
    int spanFrom_ = 0;
    int spanTo_ = 0;
    // Wheel turns not yet a whole notch (fine-grained wheels and touch pads).
    int wheelRest_ = 0;
    // Where the last wheel step held the pointer's record, in percent of the
    // records: further steps at the same column start from it rather than
    // from the whole-percent window, so roundings do not add up.
    struct WheelAnchor {
        int x = -1;
        int zoomStart = -1;
        int zoomWidth = -1;
        double percent = 0.0;
    } wheelAnchor_;

    int chartRedraws_ = 0;
    int overviewRedraws_ = 0;
    bool overHand_ = false;

    QButtonGroup* seriesGroup_ = nullptr;
    QButtonGroup* thresholdsGroup_ = nullptr;
    bool thresholdsFromResults_ = false;
    bool showDewPoint_ = false;
    DewPointSeries dewPoints_;
};

}  // namespace quorvex
