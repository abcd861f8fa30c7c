// ChartWindow: construction, tool bar, zoom and series handlers, refresh.
// The painting of the two paint boxes and the overview drag are in
// ChartWindowPaint.cpp.
#include "chart/ChartWindow.h"

#include <QButtonGroup>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "chart/ChartIcons.h"
#include "chart/PaintBox.h"

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

}  // namespace

ChartWindow::ChartWindow(QWidget* parent) : QWidget(parent), chartEngine(StoredResults), overviewEngine(StoredResults) {
    setObjectName(QStringLiteral("FormWykres1"));
    setWindowTitle(QStringLiteral("Wykres"));
    resize(900, 600);
    dragFrame = {50, 1, 200, 96 - 5 - 1};
    BuildControls();
    dragFrame.bottom = PaintBoxRzut->height() - 1;
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setMovable(false);
    SpeedButtonZoomIn = NewButton(ToolBar1, "SpeedButtonZoomIn", QStringLiteral("+"), ZoomInIcon());
    SpeedButtonZoomOut = NewButton(ToolBar1, "SpeedButtonZoomOut", QStringLiteral("-"), ZoomOutIcon());
    SpeedButton1 = NewButton(ToolBar1, "SpeedButton1", QStringLiteral("100%"), ZoomAllIcon());
    SpeedButtonShowTempHum = NewButton(ToolBar1, "SpeedButtonShowTempHum", QStringLiteral("°C  %"));
    SpeedButtonShowTemp = NewButton(ToolBar1, "SpeedButtonShowTemp", QStringLiteral("°C"));
    SpeedButtonShowHum = NewButton(ToolBar1, "SpeedButtonShowHum", QStringLiteral("%"));
    SpeedButtonShowProgi = NewButton(ToolBar1, "SpeedButtonShowProgi", QString(), ThresholdsIcon());
    SpeedButtonShowProgi2 = NewButton(ToolBar1, "SpeedButtonShowProgi2", QString());
    SpeedButtonDrukuj = NewButton(ToolBar1, "SpeedButtonDrukuj", QString(), PrintIcon());
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
    PanelWykres->setObjectName(QStringLiteral("PanelWykres"));
    auto* chartLayout = new QVBoxLayout(PanelWykres);
    chartLayout->setContentsMargins(0, 10, 5, 0);
    PaintBoxWykres = new PaintBox(PanelWykres);
    PaintBoxWykres->setObjectName(QStringLiteral("PaintBoxWykres"));
    chartLayout->addWidget(PaintBoxWykres);
    layout->addWidget(PanelWykres, 1);

    PanelRzut = new QWidget(this);
    PanelRzut->setObjectName(QStringLiteral("PanelRzut"));
    PanelRzut->setFixedHeight(96);
    auto* overviewLayout = new QVBoxLayout(PanelRzut);
    overviewLayout->setContentsMargins(40, 5, 40, 0);
    PaintBoxRzut = new PaintBox(PanelRzut);
    PaintBoxRzut->setObjectName(QStringLiteral("PaintBoxRzut"));
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
    PaintBoxRzut->onPaint = [this](QPainter& p) { PaintBoxRzutPaint(p); };
    PaintBoxRzut->onMouseMove = [this](QMouseEvent& e) { PaintBoxRzutMouseMove(qRound(e.position().x())); };
    PaintBoxRzut->onMouseDown = [this](QMouseEvent& e) { PaintBoxRzutMouseDown(qRound(e.position().x())); };
    PaintBoxRzut->onMouseUp = [this](QMouseEvent&) { PaintBoxRzutMouseUp(); };
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
    if (!event->spontaneous()) FormShow();
}

void ChartWindow::FormShow() {
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
    zoomWidth = std::max(zoomWidth - 10, 10);
    zoomStart += (oldWidth - zoomWidth) / 2;
    PlaceDragFrame();
    PaintBothNow();
}

void ChartWindow::SpeedButtonZoomOutClick() {
    const int oldWidth = zoomWidth;
    zoomWidth = std::min(zoomWidth + 10, 100);
    zoomStart -= (zoomWidth - oldWidth) / 2;
    if (zoomStart + zoomWidth > 100) zoomStart = 100 - zoomWidth;
    if (zoomStart < 0) zoomStart = 0;
    if (zoomStart + zoomWidth > 100) zoomStart = 100 - zoomWidth;
    PlaceDragFrame();
    PaintBothNow();
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
