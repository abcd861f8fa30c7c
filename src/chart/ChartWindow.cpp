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
#include "chart/SharedNames.h"
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
    : QWidget(parent), chartEngine_(results), overviewEngine_(results), results_(&results) {
    setObjectName(QString::fromLatin1(objname::kChartWindow));
    resize(900, 600);
    // Room for the read-out and the extremes side by side above the chart.
    setMinimumSize(720, 400);
    dragFrame_ = {50, 1, 200, 96 - 5 - 1};
    BuildControls();
    RetranslateTexts();
    dragFrame_.bottom = overview->height() - 1;
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar = new QToolBar(this);
    toolBar->setObjectName(QString::fromLatin1(objname::kToolBar));
    toolBar->setIconSize(QSize(24, 24));
    toolBar->setMovable(false);
    zoomInButton = NewButton(toolBar, objname::kZoomInButton, QStringLiteral("+"), ZoomInIcon());
    zoomOutButton = NewButton(toolBar, objname::kZoomOutButton, QStringLiteral("-"), ZoomOutIcon());
    zoomAllButton = NewButton(toolBar, objname::kZoomAllButton, QStringLiteral("100%"), ZoomAllIcon());
    bothSeriesButton = NewButton(toolBar, objname::kBothSeriesButton, QStringLiteral("°C  %"));
    tempSeriesButton = NewButton(toolBar, objname::kTempSeriesButton, QStringLiteral("°C"));
    humSeriesButton = NewButton(toolBar, objname::kHumSeriesButton, QStringLiteral("%"));
    thresholdsButton = NewButton(toolBar, objname::kThresholdsButton, QString(), ThresholdsIcon());
    thresholdsOffButton = NewButton(toolBar, objname::kThresholdsOffButton, QString());
    dewPointButton = NewButton(toolBar, objname::kDewPointButton, QStringLiteral("Td"));
    printButton = NewButton(toolBar, objname::kChartPrintButton, QString(), PrintIcon());
    for (QToolButton* b :
         {bothSeriesButton, tempSeriesButton, humSeriesButton, thresholdsButton, thresholdsOffButton, dewPointButton}) {
        b->setCheckable(true);
        b->setMinimumWidth(36);
    }
    printButton->setEnabled(false);
    thresholdsOffButton->hide();

    toolBar->addSeparator();
    toolBar->addWidget(zoomInButton);
    toolBar->addWidget(zoomOutButton);
    toolBar->addWidget(zoomAllButton);
    toolBar->addSeparator();
    toolBar->addWidget(bothSeriesButton);
    toolBar->addWidget(tempSeriesButton);
    toolBar->addWidget(humSeriesButton);
    toolBar->addWidget(dewPointButton);
    toolBar->addWidget(thresholdsButton);
    toolBar->addSeparator();
    toolBar->addWidget(printButton);
    layout->addWidget(toolBar);

    seriesGroup_ = new QButtonGroup(this);
    seriesGroup_->setExclusive(true);
    for (QToolButton* b : {bothSeriesButton, tempSeriesButton, humSeriesButton}) seriesGroup_->addButton(b);
    bothSeriesButton->setChecked(true);
    // The thresholds button shares a group with a partner that is never shown:
    // pressing the partner is how the pressed thresholds button is released.
    thresholdsGroup_ = new QButtonGroup(this);
    thresholdsGroup_->setExclusive(true);
    thresholdsGroup_->addButton(thresholdsButton);
    thresholdsGroup_->addButton(thresholdsOffButton);

    chartPanel = new QWidget(this);
    chartPanel->setObjectName(QString::fromLatin1(objname::kChartPanel));
    auto* chartLayout = new QVBoxLayout(chartPanel);
    chartLayout->setContentsMargins(0, 10, 5, 0);
    chartBox = new PaintBox(chartPanel);
    chartBox->setObjectName(QString::fromLatin1(objname::kChartBox));
    chartLayout->addWidget(chartBox);
    layout->addWidget(chartPanel, 1);

    overviewPanel = new QWidget(this);
    overviewPanel->setObjectName(QString::fromLatin1(objname::kOverviewPanel));
    overviewPanel->setFixedHeight(96);
    auto* overviewLayout = new QVBoxLayout(overviewPanel);
    overviewLayout->setContentsMargins(40, 5, 40, 0);
    overview = new PaintBox(overviewPanel);
    overview->setObjectName(QString::fromLatin1(objname::kOverview));
    overviewLayout->addWidget(overview);
    layout->addWidget(overviewPanel);
    overview->resize(overview->width(), 96 - 5);

    connect(zoomInButton, &QToolButton::clicked, this, [this] { onZoomInClicked(); });
    connect(zoomOutButton, &QToolButton::clicked, this, [this] { onZoomOutClicked(); });
    connect(zoomAllButton, &QToolButton::clicked, this, [this] { onZoomAllClicked(); });
    connect(bothSeriesButton, &QToolButton::clicked, this, [this] { onBothSeriesClicked(); });
    connect(tempSeriesButton, &QToolButton::clicked, this, [this] { onTempSeriesClicked(); });
    connect(humSeriesButton, &QToolButton::clicked, this, [this] { onHumSeriesClicked(); });
    connect(thresholdsButton, &QToolButton::clicked, this, [this] { onThresholdsClicked(); });
    connect(dewPointButton, &QToolButton::clicked, this, [this] { onDewPointClicked(); });
    connect(printButton, &QToolButton::clicked, this, [this] { onPrintClicked(); });

    chartBox->onPaint = [this](QPainter& p) { onChartPaint(p); };
    chartBox->onMouseMove = [this](QMouseEvent& e) { onChartMouseMove(qRound(e.position().x())); };
    chartBox->onMouseDown = [this](QMouseEvent& e) { onChartMouseDown(qRound(e.position().x()), e.button()); };
    chartBox->onMouseUp = [this](QMouseEvent& e) { onChartMouseUp(qRound(e.position().x())); };
    chartBox->onWheel = [this](QWheelEvent& e) { onChartWheel(qRound(e.position().x()), e.angleDelta().y()); };
    overview->onPaint = [this](QPainter& p) { onOverviewPaint(p); };
    overview->onMouseMove = [this](QMouseEvent& e) { onOverviewMouseMove(qRound(e.position().x())); };
    overview->onMouseDown = [this](QMouseEvent& e) { onOverviewMouseDown(qRound(e.position().x())); };
    overview->onMouseUp = [this](QMouseEvent&) { onOverviewMouseUp(); };
}

void ChartWindow::RetranslateTexts() {
    const QString title = TranslateText(QStringLiteral("[2180]Wykres"));
    if (title == windowTitle()) return;  // the language has not changed
    setWindowTitle(title);
    const std::pair<QToolButton*, const char16_t*> tips[] = {
        {zoomInButton, u"[2182]Powiększ (kółko myszy lub przeciągnięcie po wykresie)"},
        {zoomOutButton, u"[2183]Pomniejsz (kółko myszy)"},
        {zoomAllButton, u"[2184]Pokaż cały wykres"},
        {bothSeriesButton, u"[2185]Temperatura i wilgotność"},
        {tempSeriesButton, u"[140]Temperatura"},
        {humSeriesButton, u"[150]Wilgotność"},
        {thresholdsButton, u"[2186]Progi alarmowe"},
        {dewPointButton, u"[2424]Punkt rosy (obliczony)"},
        {printButton, u"[2187]Drukuj wykres"},
    };
    for (const auto& [button, tip] : tips) button->setToolTip(TranslateText(QString::fromUtf16(tip)));
    // The legend is part of the back buffer; the read-out and footer are
    // written at every paint.
    chartDrawn_ = false;
    chartBox->update();
}

void ChartWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) RetranslateTexts();
}

void ChartWindow::SetResults(ResultsStore& store) {
    results_ = &store;
    chartEngine_.source = results_;
    overviewEngine_.source = results_;
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
    chartEngine_.source = results_;
    overviewEngine_.source = results_;
    bothSeriesButton->setChecked(true);
    onZoomAllClicked();
}

void ChartWindow::RefreshChart() {
    const bool humidity = results_->HasHumidity();
    humSeriesButton->setEnabled(humidity);
    // A pressed humidity button that has just become unavailable would leave
    // the chart empty; both series (that is, temperature) take its place.
    if (!humidity && humSeriesButton->isChecked()) bothSeriesButton->setChecked(true);
    if (thresholdsFromResults_) {
        if (results_->thresholds) chartEngine_.thresholds = *results_->thresholds;
        thresholdsButton->setEnabled(results_->thresholds.has_value());
        if (!results_->thresholds && showThresholds_) {
            thresholdsOffButton->setChecked(true);
            showThresholds_ = false;
        }
    }
    showTemp_ = tempSeriesButton->isChecked() || bothSeriesButton->isChecked();
    showHum_ = (humSeriesButton->isChecked() || bothSeriesButton->isChecked()) && humSeriesButton->isEnabled();
    dewPoints_.Update(*results_);
    dewPointButton->setEnabled(humidity);
    showDewPoint_ = humidity && dewPointButton->isChecked();
    if (rescale_) chartRescalePending_ = overviewRescalePending_ = true;
    chartBox->update();
    overview->update();
}

void ChartWindow::PlaceDragFrame() {
    const int w = overview->width();
    dragFrame_.left = w * zoomStart_ / 100;
    dragFrame_.right = w * zoomWidth_ / 100 + dragFrame_.left;
}

void ChartWindow::PaintBothNow() {
    chartBox->repaint();
    overview->repaint();
}

void ChartWindow::onZoomInClicked() {
    const int oldWidth = zoomWidth_;
    zoomWidth_ = NarrowerWidth(zoomWidth_);
    zoomStart_ += (oldWidth - zoomWidth_) / 2;
    PlaceDragFrame();
    PaintBothNow();
}

void ChartWindow::onZoomOutClicked() {
    const int oldWidth = zoomWidth_;
    zoomWidth_ = WiderWidth(zoomWidth_);
    zoomStart_ -= (zoomWidth_ - oldWidth) / 2;
    if (zoomStart_ + zoomWidth_ > 100) zoomStart_ = 100 - zoomWidth_;
    if (zoomStart_ < 0) zoomStart_ = 0;
    if (zoomStart_ + zoomWidth_ > 100) zoomStart_ = 100 - zoomWidth_;
    PlaceDragFrame();
    PaintBothNow();
}

void ChartWindow::ZoomAround(int x, bool in) {
    const int width = in ? NarrowerWidth(zoomWidth_) : WiderWidth(zoomWidth_);
    if (width == zoomWidth_) return;
    LayoutChart(false);
    const Chart& e = chartEngine_;
    // The share of the shown records left of the pointer stays left of it.
    const double plot = static_cast<double>(e.area.right - e.marginRight - e.x0);
    const double share = plot > 0.0 ? std::clamp((x - e.x0) / plot, 0.0, 1.0) : 0.5;
    const WheelAnchor& last = wheelAnchor_;
    const double anchor = last.x == x && last.zoomStart == zoomStart_ && last.zoomWidth == zoomWidth_
                              ? last.percent
                              : zoomStart_ + zoomWidth_ * share;
    zoomWidth_ = width;
    zoomStart_ = std::clamp(static_cast<int>(std::lround(anchor - width * share)), 0, 100 - width);
    wheelAnchor_ = {x, zoomStart_, zoomWidth_, anchor};
    PlaceDragFrame();
    RefreshChart();
    // The read-out follows the record now under the pointer.
    LayoutChart(false);
    chartEngine_.HitTest(x);
}

void ChartWindow::ZoomToColumns(int from, int to) {
    LayoutChart(false);
    const Chart& e = chartEngine_;
    const int count = results_->Count();
    if (count <= 0 || e.xStep <= 0.0f) return;
    auto percentAt = [&](int column) {
        return (e.firstIndex + (column - e.x0) / static_cast<double>(e.xStep)) * 100.0 / count;
    };
    // Whole percents that hold the span.
    const int start = static_cast<int>(std::floor(percentAt(std::min(from, to))));
    const int end = static_cast<int>(std::ceil(percentAt(std::max(from, to))));
    zoomWidth_ = std::clamp(end - start, 1, 100);
    zoomStart_ = std::clamp(start, 0, 100 - zoomWidth_);
    PlaceDragFrame();
    RefreshChart();
}

void ChartWindow::onZoomAllClicked() {
    zoomWidth_ = 100;
    zoomStart_ = 0;
    dragFrame_.left = 0;
    dragFrame_.right = overview->width();
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::onBothSeriesClicked() {
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::onTempSeriesClicked() {
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::onHumSeriesClicked() {
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::onThresholdsClicked() {
    if (showThresholds_) {
        thresholdsOffButton->setChecked(true);
        showThresholds_ = false;
    } else {
        showThresholds_ = thresholdsButton->isChecked();
    }
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::onDewPointClicked() {
    rescale_ = true;
    RefreshChart();
    rescale_ = false;
}

void ChartWindow::SetPrintHandler(std::function<void()> handler) {
    printHandler_ = std::move(handler);
    printButton->setEnabled(static_cast<bool>(printHandler_));
}

void ChartWindow::onPrintClicked() {
    if (printHandler_) printHandler_();
}

ChartPrintView ChartWindow::PrintView() const {
    ChartPrintView view;
    view.results = results_;
    view.showTemp = showTemp_;
    view.showHum = showHum_;
    view.showThresholds = showThresholds_;
    view.showDewPoint = showDewPoint_;
    view.thresholds = chartEngine_.thresholds;
    view.zoomStart = zoomStart_;
    view.zoomWidth = zoomWidth_;
    view.font = font();
    return view;
}

}  // namespace quorvex
