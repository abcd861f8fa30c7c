// ChartWindow: construction, tool bar, zoom and series handlers, refresh.
// The painting of the two paint boxes and the overview drag are in
// ChartWindowPaint.cpp.
#include "chart/ChartWindow.h"

#include <QButtonGroup>
#include <QEvent>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

#include "chart/ChartIcons.h"
#include "chart/ObjectNames.h"
#include "chart/PaintBox.h"
#include "logs/LoggerInfo.h"

namespace quorvex {

namespace {

QToolButton* NewButton(QWidget* parent, const char* name, const QString& text, const QIcon& icon = {}) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    if (!icon.isNull()) {
        button->setIcon(icon);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    button->setAutoRaise(true);
    return button;
}

// A zoom step narrows by ten percent of the records down to ten, and never
// widens a window a dragged span made narrower still.
int NarrowerWidth(int width) { return std::max(width - 10, std::min(width, 10)); }
int WiderWidth(int width) { return std::min(width + 10, 100); }

}  // namespace

ChartWindow::ChartWindow(ResultsStore& results, QWidget* parent)
    : QWidget(parent), chartEngine(results), overviewEngine(results), results(&results) {
    setObjectName(QString::fromLatin1(objname::kChartWindow));
    resize(900, 600);
    // Room for the read-out and the extremes side by side above the chart.
    setMinimumSize(720, 400);
    dragFrame = {50, 1, 200, 96 - 5 - 1};
    BuildControls();
    RetranslateTexts();
    dragFrame.bottom = PaintBoxRzut->height() - 1;
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QString::fromLatin1(objname::kToolBar));
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setMovable(false);
    SpeedButtonZoomIn = NewButton(ToolBar1, objname::kZoomInButton, QStringLiteral("+"), ZoomInIcon());
    SpeedButtonZoomOut = NewButton(ToolBar1, objname::kZoomOutButton, QStringLiteral("-"), ZoomOutIcon());
    SpeedButton1 = NewButton(ToolBar1, objname::kZoomAllButton, QStringLiteral("100%"), ZoomAllIcon());
    SpeedButtonShowTempHum = NewButton(ToolBar1, objname::kBothSeriesButton, QStringLiteral("°C  %"));
    SpeedButtonShowTemp = NewButton(ToolBar1, objname::kTempSeriesButton, QStringLiteral("°C"));
    SpeedButtonShowHum = NewButton(ToolBar1, objname::kHumSeriesButton, QStringLiteral("%"));
    SpeedButtonShowProgi = NewButton(ToolBar1, objname::kThresholdsButton, QString(), ThresholdsIcon());
    SpeedButtonShowProgi2 = NewButton(ToolBar1, objname::kThresholdsOffButton, QString());
    SpeedButtonDrukuj = NewButton(ToolBar1, objname::kChartPrintButton, QString(), PrintIcon());
    for (QToolButton* b : {SpeedButtonShowTempHum, SpeedButtonShowTemp, SpeedButtonShowHum, SpeedButtonShowProgi,
                           SpeedButtonShowProgi2}) {
        b->setCheckable(true);
        b->setMinimumWidth(36);
    }
    SpeedButtonDrukuj->setEnabled(false);
    SpeedButtonShowProgi2->hide();

    ToolBar1->addSeparator();
    ToolBar1->addWidget(SpeedButtonZoomIn);
    ToolBar1->addWidget(SpeedButtonZoomOut);
    ToolBar1->addWidget(SpeedButton1);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(SpeedButtonShowTempHum);
    ToolBar1->addWidget(SpeedButtonShowTemp);
    ToolBar1->addWidget(SpeedButtonShowHum);
    ToolBar1->addWidget(SpeedButtonShowProgi);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(SpeedButtonDrukuj);
    layout->addWidget(ToolBar1);

    seriesGroup_ = new QButtonGroup(this);
    seriesGroup_->setExclusive(true);
    for (QToolButton* b : {SpeedButtonShowTempHum, SpeedButtonShowTemp, SpeedButtonShowHum}) seriesGroup_->addButton(b);
    SpeedButtonShowTempHum->setChecked(true);
    // The thresholds button shares a group with a partner that is never shown:
    // pressing the partner is how the pressed thresholds button is released.
    thresholdsGroup_ = new QButtonGroup(this);
    thresholdsGroup_->setExclusive(true);
    thresholdsGroup_->addButton(SpeedButtonShowProgi);
    thresholdsGroup_->addButton(SpeedButtonShowProgi2);

    PanelWykres = new QWidget(this);
    PanelWykres->setObjectName(QString::fromLatin1(objname::kChartPanel));
    auto* chartLayout = new QVBoxLayout(PanelWykres);
    chartLayout->setContentsMargins(0, 10, 5, 0);
    PaintBoxWykres = new PaintBox(PanelWykres);
    PaintBoxWykres->setObjectName(QString::fromLatin1(objname::kChartBox));
    chartLayout->addWidget(PaintBoxWykres);
    layout->addWidget(PanelWykres, 1);

    PanelRzut = new QWidget(this);
    PanelRzut->setObjectName(QString::fromLatin1(objname::kOverviewPanel));
    PanelRzut->setFixedHeight(96);
    auto* overviewLayout = new QVBoxLayout(PanelRzut);
    overviewLayout->setContentsMargins(40, 5, 40, 0);
    PaintBoxRzut = new PaintBox(PanelRzut);
    PaintBoxRzut->setObjectName(QString::fromLatin1(objname::kOverview));
    overviewLayout->addWidget(PaintBoxRzut);
    layout->addWidget(PanelRzut);
    PaintBoxRzut->resize(PaintBoxRzut->width(), 96 - 5);

    connect(SpeedButtonZoomIn, &QToolButton::clicked, this, [this] { SpeedButtonZoomInClick(); });
    connect(SpeedButtonZoomOut, &QToolButton::clicked, this, [this] { SpeedButtonZoomOutClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButtonZoomAllClick(); });
    connect(SpeedButtonShowTempHum, &QToolButton::clicked, this, [this] { SpeedButtonShowTempHumClick(); });
    connect(SpeedButtonShowTemp, &QToolButton::clicked, this, [this] { SpeedButtonShowTempClick(); });
    connect(SpeedButtonShowHum, &QToolButton::clicked, this, [this] { SpeedButtonShowHumClick(); });
    connect(SpeedButtonShowProgi, &QToolButton::clicked, this, [this] { SpeedButtonShowProgiClick(); });
    connect(SpeedButtonDrukuj, &QToolButton::clicked, this, [this] { SpeedButtonDrukujClick(); });

    PaintBoxWykres->onPaint = [this](QPainter& p) { PaintBoxWykresPaint(p); };
    PaintBoxWykres->onMouseMove = [this](QMouseEvent& e) { PaintBoxWykresMouseMove(qRound(e.position().x())); };
    PaintBoxWykres->onMouseDown = [this](QMouseEvent& e) {
        PaintBoxWykresMouseDown(qRound(e.position().x()), e.button());
    };
    PaintBoxWykres->onMouseUp = [this](QMouseEvent& e) { PaintBoxWykresMouseUp(qRound(e.position().x())); };
    PaintBoxWykres->onWheel = [this](QWheelEvent& e) {
        PaintBoxWykresWheel(qRound(e.position().x()), e.angleDelta().y());
    };
    PaintBoxRzut->onPaint = [this](QPainter& p) { PaintBoxRzutPaint(p); };
    PaintBoxRzut->onMouseMove = [this](QMouseEvent& e) { PaintBoxRzutMouseMove(qRound(e.position().x())); };
    PaintBoxRzut->onMouseDown = [this](QMouseEvent& e) { PaintBoxRzutMouseDown(qRound(e.position().x())); };
    PaintBoxRzut->onMouseUp = [this](QMouseEvent&) { PaintBoxRzutMouseUp(); };
}

void ChartWindow::RetranslateTexts() {
    const QString title = TranslateText(QStringLiteral("[2180]Wykres"));
    if (title == windowTitle()) return;  // the language has not changed
    setWindowTitle(title);
    const std::pair<QToolButton*, const char16_t*> tips[] = {
        {SpeedButtonZoomIn, u"[2182]Powiększ (kółko myszy lub przeciągnięcie po wykresie)"},
        {SpeedButtonZoomOut, u"[2183]Pomniejsz (kółko myszy)"},
        {SpeedButton1, u"[2184]Pokaż cały wykres"},
        {SpeedButtonShowTempHum, u"[2185]Temperatura i wilgotność"},
        {SpeedButtonShowTemp, u"[140]Temperatura"},
        {SpeedButtonShowHum, u"[150]Wilgotność"},
        {SpeedButtonShowProgi, u"[2186]Progi alarmowe"},
        {SpeedButtonDrukuj, u"[2187]Drukuj wykres"},
    };
    for (const auto& [button, tip] : tips) button->setToolTip(TranslateText(QString::fromUtf16(tip)));
    // The legend is part of the back buffer; the read-out and footer are
    // written at every paint.
    chartDrawn_ = false;
    PaintBoxWykres->update();
}

void ChartWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) RetranslateTexts();
}

void ChartWindow::SetResults(ResultsStore& store) {
    results = &store;
    chartEngine.source = results;
    overviewEngine.source = results;
    chartDrawn_ = overviewDrawn_ = false;  // another store: nothing drawn so far is valid
}

void ChartWindow::ShowChart() {
    show();
    raise();
    activateWindow();
    RefreshChart();
}

void ChartWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) onShown();
}

void ChartWindow::onShown() {
    chartEngine.source = results;
    overviewEngine.source = results;
    SpeedButtonShowTempHum->setChecked(true);
    SpeedButtonZoomAllClick();
}

void ChartWindow::RefreshChart() {
    const bool humidity = results->HasHumidity();
    SpeedButtonShowHum->setEnabled(humidity);
    // A pressed humidity button that has just become unavailable would leave
    // the chart empty; both series (that is, temperature) take its place.
    if (!humidity && SpeedButtonShowHum->isChecked()) SpeedButtonShowTempHum->setChecked(true);
    showTemp = SpeedButtonShowTemp->isChecked() || SpeedButtonShowTempHum->isChecked();
    showHum = (SpeedButtonShowHum->isChecked() || SpeedButtonShowTempHum->isChecked()) && SpeedButtonShowHum->isEnabled();
    if (rescale) chartRescalePending_ = overviewRescalePending_ = true;
    PaintBoxWykres->update();
    PaintBoxRzut->update();
}

void ChartWindow::PlaceDragFrame() {
    const int w = PaintBoxRzut->width();
    dragFrame.left = w * zoomStart / 100;
    dragFrame.right = w * zoomWidth / 100 + dragFrame.left;
}

void ChartWindow::PaintBothNow() {
    PaintBoxWykres->repaint();
    PaintBoxRzut->repaint();
}

void ChartWindow::SpeedButtonZoomInClick() {
    const int oldWidth = zoomWidth;
    zoomWidth = NarrowerWidth(zoomWidth);
    zoomStart += (oldWidth - zoomWidth) / 2;
    PlaceDragFrame();
    PaintBothNow();
}

void ChartWindow::SpeedButtonZoomOutClick() {
    const int oldWidth = zoomWidth;
    zoomWidth = WiderWidth(zoomWidth);
    zoomStart -= (zoomWidth - oldWidth) / 2;
    if (zoomStart + zoomWidth > 100) zoomStart = 100 - zoomWidth;
    if (zoomStart < 0) zoomStart = 0;
    if (zoomStart + zoomWidth > 100) zoomStart = 100 - zoomWidth;
    PlaceDragFrame();
    PaintBothNow();
}

void ChartWindow::ZoomAround(int x, bool in) {
    const int width = in ? NarrowerWidth(zoomWidth) : WiderWidth(zoomWidth);
    if (width == zoomWidth) return;
    LayoutChart(false);
    const Chart& e = chartEngine;
    // The share of the shown records left of the pointer stays left of it.
    const double plot = static_cast<double>(e.area.right - e.marginRight - e.x0);
    const double share = plot > 0.0 ? std::clamp((x - e.x0) / plot, 0.0, 1.0) : 0.5;
    const WheelAnchor& last = wheelAnchor_;
    const double anchor = last.x == x && last.zoomStart == zoomStart && last.zoomWidth == zoomWidth
                              ? last.percent
                              : zoomStart + zoomWidth * share;
    zoomWidth = width;
    zoomStart = std::clamp(static_cast<int>(std::lround(anchor - width * share)), 0, 100 - width);
    wheelAnchor_ = {x, zoomStart, zoomWidth, anchor};
    PlaceDragFrame();
    RefreshChart();
    // The read-out follows the record now under the pointer.
    LayoutChart(false);
    chartEngine.HitTest(x);
}

void ChartWindow::ZoomToColumns(int from, int to) {
    LayoutChart(false);
    const Chart& e = chartEngine;
    const int count = results->Count();
    if (count <= 0 || e.xStep <= 0.0f) return;
    auto percentAt = [&](int column) {
        return (e.firstIndex + (column - e.x0) / static_cast<double>(e.xStep)) * 100.0 / count;
    };
    // Whole percents that hold the span.
    const int start = static_cast<int>(std::floor(percentAt(std::min(from, to))));
    const int end = static_cast<int>(std::ceil(percentAt(std::max(from, to))));
    zoomWidth = std::clamp(end - start, 1, 100);
    zoomStart = std::clamp(start, 0, 100 - zoomWidth);
    PlaceDragFrame();
    RefreshChart();
}

void ChartWindow::SpeedButtonZoomAllClick() {
    zoomWidth = 100;
    zoomStart = 0;
    dragFrame.left = 0;
    dragFrame.right = PaintBoxRzut->width();
    rescale = true;
    RefreshChart();
    rescale = false;
}

void ChartWindow::SpeedButtonShowTempHumClick() {
    rescale = true;
    RefreshChart();
    rescale = false;
}

void ChartWindow::SpeedButtonShowTempClick() {
    rescale = true;
    RefreshChart();
    rescale = false;
}

void ChartWindow::SpeedButtonShowHumClick() {
    rescale = true;
    RefreshChart();
    rescale = false;
}

void ChartWindow::SpeedButtonShowProgiClick() {
    if (showThresholds) {
        SpeedButtonShowProgi2->setChecked(true);
        showThresholds = false;
    } else {
        showThresholds = SpeedButtonShowProgi->isChecked();
    }
    rescale = true;
    RefreshChart();
    rescale = false;
}

void ChartWindow::SetPrintHandler(std::function<void()> handler) {
    printHandler_ = std::move(handler);
    SpeedButtonDrukuj->setEnabled(static_cast<bool>(printHandler_));
}

void ChartWindow::SpeedButtonDrukujClick() {
    if (printHandler_) printHandler_();
}

ChartPrintView ChartWindow::PrintView() const {
    ChartPrintView view;
    view.results = results;
    view.showTemp = showTemp;
    view.showHum = showHum;
    view.showThresholds = showThresholds;
    view.thresholds = chartEngine.thresholds;
    view.zoomStart = zoomStart;
    view.zoomWidth = zoomWidth;
    view.font = font();
    return view;
}

}  // namespace quorvex
