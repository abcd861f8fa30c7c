// The main window's widgets. Captions are the numbered Polish texts; the
// translator turns them into the current language.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/ObjectNames.h"
#include "params/StatusParameters.h"
#include "ui/MainWindow.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/StatePanel.h"

namespace quorvex {

namespace {

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QLabel(caption, parent), name);
}

QLineEdit* Edit(QWidget* parent, const char* name, int width = 0) {
    auto* e = Named(new QLineEdit(parent), name);
    if (width) e->setFixedWidth(width);
    return e;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = Named(new QPushButton(caption, parent), name);
    b->setMinimumWidth(90);
    return b;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QGroupBox(caption, parent), name);
}

QWidget* Page(const char* name) { return Named(new QWidget, name); }

// Only the tab captions are bold: a page of lists reads better in the normal weight.
void NormalWeight(QWidget* page) {
    QFont f = page->font();
    f.setBold(false);
    page->setFont(f);
}

// A group box's caption in bold and everything in it in the normal weight. Both
// are set on the widgets themselves, so neither the tab's bold font nor the
// style sheet that colours the caption can change them later.
void BoldCaption(QGroupBox* box) {
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    for (QObject* child : box->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || qobject_cast<QGroupBox*>(widget)) continue;
        QFont plain = widget->font();
        plain.setBold(false);
        widget->setFont(plain);
    }
}

// A caption, a field and its unit on one row of a grid.
void Row(QGridLayout* grid, int row, QWidget* caption, QWidget* field, QWidget* unit = nullptr) {
    if (caption) grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
}

// The three flags of the language buttons.
QIcon Flag(const QString& which) {
    QImage img(24, 16, QImage::Format_RGB32);
    QPainter p(&img);
    if (which == QLatin1String("PL")) {
        p.fillRect(0, 0, 24, 8, Qt::white);
        p.fillRect(0, 8, 24, 8, QColor(220, 20, 60));
    } else if (which == QLatin1String("DE")) {
        p.fillRect(0, 0, 24, 6, Qt::black);
        p.fillRect(0, 5, 24, 6, QColor(221, 0, 0));
        p.fillRect(0, 11, 24, 5, QColor(255, 206, 0));
    } else {
        p.fillRect(img.rect(), QColor(1, 33, 105));
        p.setPen(QPen(Qt::white, 4));
        p.drawLine(0, 0, 24, 16);
        p.drawLine(0, 16, 24, 0);
        p.setPen(QPen(QColor(200, 16, 46), 1));
        p.drawLine(0, 0, 24, 16);
        p.drawLine(0, 16, 24, 0);
        p.fillRect(9, 0, 6, 16, Qt::white);
        p.fillRect(0, 5, 24, 6, Qt::white);
        p.fillRect(10, 0, 4, 16, QColor(200, 16, 46));
        p.fillRect(0, 6, 24, 4, QColor(200, 16, 46));
    }
    p.setPen(Qt::gray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 23, 15);
    return QIcon(QPixmap::fromImage(img));
}

}  // namespace

void MainWindow::BuildWindow() {
    setObjectName(QString::fromLatin1(objname::kMainWindow));
    setWindowTitle(kMainCaption);
    auto* central = Named(new QWidget(this), objname::kCentralPanel);
    setCentralWidget(central);
    tabs = Named(new QTabWidget(central), objname::kTabs);
    QFont bold = tabs->font();
    bold.setBold(true);
    tabs->setFont(bold);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(tabs);

    tabs->addTab(measurementsTab = BuildMeasurementsTab(), QStringLiteral("[100]Pomiary"));
    tabs->addTab(registrationTab = BuildRegistrationTab(), QStringLiteral("[200]Rejestracja"));
    resultsTab_ =
        new ResultsTab({model_, results_, *settings, *translator, *prompts_, *keeping_, windows_, systemLocale_});
    tabs->addTab(resultsTab_, QStringLiteral("[300]Wyniki"));
    tabs->addTab(deviceTab = BuildDeviceTab(), QStringLiteral("[500]Urządzenie"));
    tabs->addTab(messagesTab = BuildMessagesTab(), QStringLiteral("[602]Komunikaty"));
    tabs->addTab(serviceTab = BuildServiceTab(), QStringLiteral("[603]Serwis"));
    tabs->addTab(correctionTab = BuildCorrectionTab(), QStringLiteral("[604]Korekta"));

    for (int i = 0; i < tabs->count(); ++i) NormalWeight(tabs->widget(i));
    for (QGroupBox* box : tabs->findChildren<QGroupBox*>()) BoldCaption(box);

    BuildMenu();
    BuildToolBar();
    BuildStatusBar();
    resize(964, 678);
}

QWidget* MainWindow::BuildMeasurementsTab() {
    QWidget* page = Page(objname::kMeasurementsTab);
    auto* grid = new QGridLayout(page);

    auto* name = Group(page, objname::kNameGroup, QStringLiteral("[110]Nazwa"));
    (new QHBoxLayout(name))->addWidget(Edit(name, objname::kNameField), 1);
    name->layout()->addWidget(Button(name, objname::kChangeNameButton, QStringLiteral("[1]Zmień")));

    auto* clock = Group(page, objname::kClockGroup, QStringLiteral("[130]Zegar"));
    auto* cg = new QGridLayout(clock);
    Row(cg, 0, Label(clock, objname::kDateCaption, QStringLiteral("[131]Data:")), Edit(clock, objname::kDateField));
    Row(cg, 1, Label(clock, objname::kTimeCaption, QStringLiteral("[132]Czas:")), Edit(clock, objname::kTimeField));
    cg->addWidget(Button(clock, objname::kSetClockButton, QStringLiteral("[2]Ustaw")), 2, 1, Qt::AlignRight);

    auto measurement = [&](const char* box, const QString& caption, const char* current, const char* currentUnit,
                           const char* hiLabel, const char* hi, const char* hiUnit, const char* loLabel, const char* lo,
                           const char* loUnit, const char* button, const QString& unit) {
        auto* g = Group(page, box, caption);
        auto* gg = new QGridLayout(g);
        gg->setColumnStretch(1, 1);
        Row(gg, 0, nullptr, Edit(g, current), Label(g, currentUnit, unit));
        Row(gg, 1, Label(g, hiLabel, QStringLiteral("[141]Górny próg")), Edit(g, hi), Label(g, hiUnit, unit));
        Row(gg, 2, Label(g, loLabel, QStringLiteral("[142]Dolny próg")), Edit(g, lo), Label(g, loUnit, unit));
        gg->addWidget(Button(g, button, QStringLiteral("[1]Zmień")), 3, 1, 1, 2, Qt::AlignRight);
        return g;
    };
    const QString celsius = QStringLiteral("°C");
    auto* temp = measurement(objname::kTemperatureGroup, QStringLiteral("[140]Temperatura"), objname::kTemperatureField,
                             objname::kTemperatureUnit, objname::kHighTempCaption, objname::kHighTempField,
                             objname::kHighTempUnit, objname::kLowTempCaption, objname::kLowTempField,
                             objname::kLowTempUnit, objname::kTempThresholdsButton, celsius);
    auto* hum = measurement(objname::kHumidityGroup, QStringLiteral("[150]Wilgotność"), objname::kHumidityField,
                            objname::kHumidityUnit, objname::kHighHumCaption, objname::kHighHumField,
                            objname::kHighHumUnit, objname::kLowHumCaption, objname::kLowHumField, objname::kLowHumUnit,
                            objname::kHumThresholdsButton, QStringLiteral("%"));

    auto* state = Group(page, objname::kStateGroup, QStringLiteral("[120]Aktualny stan loggera"));
    auto* sl = new QVBoxLayout(state);
    statePanel = new StatePanel(state);
    statePanel->setMinimumHeight(70);
    sl->addWidget(statePanel, 1);
    auto* buttons = new QHBoxLayout;
    recordStartButton = Button(state, objname::kRecordStartButton, QStringLiteral("[3]Start"));
    recordStopButton = Button(state, objname::kRecordStopButton, QStringLiteral("[4]Stop"));
    buttons->addStretch();
    buttons->addWidget(recordStartButton);
    buttons->addWidget(recordStopButton);
    buttons->addStretch();
    sl->addLayout(buttons);
    recordStartButton->hide();
    recordStopButton->hide();

    grid->addWidget(name, 0, 0, 1, 2);
    grid->addWidget(clock, 1, 0);
    grid->addWidget(state, 1, 1);
    grid->addWidget(temp, 2, 0);
    grid->addWidget(hum, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* MainWindow::BuildRegistrationTab() {
    QWidget* page = Page(objname::kRegistrationTab);
    auto* v = new QVBoxLayout(page);

    auto* reg = Group(page, objname::kRegistrationGroup, QStringLiteral("[210]Parametry startu i rejestracji"));
    auto* rg = new QGridLayout(reg);
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(Label(reg, objname::kStartMomentCaption, QStringLiteral("[211]Start rejestracji:")));
    startRow->addWidget(Edit(reg, objname::kStartDateField, 110));
    startRow->addWidget(Edit(reg, objname::kStartTimeField, 90));
    startRow->addStretch();
    rg->addLayout(startRow, 0, 0, 1, 2);

    auto* mode = Group(reg, objname::kStartModeGroup, QStringLiteral("[220]Sposób uruchomienia rejestracji:"));
    auto* ml = new QVBoxLayout(mode);
    ml->addWidget(Named(new QRadioButton(StartModeCaption(0), mode), objname::kButtonStartMode));
    ml->addWidget(Named(new QRadioButton(StartModeCaption(1), mode), objname::kImmediateStartMode));
    ml->addWidget(Named(new QRadioButton(StartModeCaption(2), mode), objname::kTimedStartMode));
    auto* wrap = Group(reg, objname::kWrapGroup, QStringLiteral("[230]Po zapełnieniu pamięci:"));
    auto* wl = new QVBoxLayout(wrap);
    wl->addWidget(Named(new QRadioButton(WrapAroundCaption(0), wrap), objname::kStopWhenFullMode));
    wl->addWidget(Named(new QRadioButton(WrapAroundCaption(1), wrap), objname::kOverwriteMode));
    wl->addStretch();
    rg->addWidget(mode, 1, 0);
    rg->addWidget(wrap, 1, 1);
    rg->addWidget(Button(reg, objname::kChangeStartButton, QStringLiteral("[1]Zmień")), 2, 1, Qt::AlignRight);

    auto* save = Group(page, objname::kSavingGroup, QStringLiteral("[240]Parametry zapisu"));
    auto* sg = new QGridLayout(save);
    Row(sg, 0, Label(save, objname::kIntervalCaption, QStringLiteral("[241]Częstość zapisu:")),
        Edit(save, objname::kIntervalField, 200));
    Row(sg, 1, Label(save, objname::kSavedCountCaption, QStringLiteral("[242]Liczba zapisanych pomiarów:")),
        Edit(save, objname::kSavedCountField, 200));
    sg->setColumnStretch(2, 1);
    sg->addWidget(Button(save, objname::kChangeIntervalButton, QStringLiteral("[1]Zmień")), 2, 1, 1, 2, Qt::AlignRight);

    v->addWidget(reg);
    v->addWidget(save);
    v->addStretch();
    return page;
}

QWidget* MainWindow::BuildDeviceTab() {
    QWidget* page = Page(objname::kDeviceTab);
    auto* v = new QVBoxLayout(page);
    auto* dev = Group(page, objname::kDeviceGroup, QStringLiteral("[510]Parametry urządzenia"));
    auto* g = new QGridLayout(dev);
    Row(g, 0, Label(dev, objname::kTypeCaption, QStringLiteral("[511]Typ:")), Edit(dev, objname::kTypeField, 200));
    Row(g, 1, Label(dev, objname::kSerialCaption, QStringLiteral("[512]Numer seryjny:")),
        Edit(dev, objname::kSerialField, 200));
    Row(g, 2, Label(dev, objname::kMadeCaption, QStringLiteral("[513]Data produkcji:")),
        Edit(dev, objname::kMadeField, 200));
    Row(g, 3, Label(dev, objname::kFirmwareCaption, QStringLiteral("[515]Wersja oprogramowania:")),
        Edit(dev, objname::kFirmwareField, 200));
    Row(g, 4, Label(dev, objname::kBatteryCaption, QStringLiteral("[517]Stan baterii:")),
        Edit(dev, objname::kBatteryField, 200));
    Row(g, 5, Label(dev, objname::kMeasuredCaption, QStringLiteral("[516]Liczba pomiarów od początku:")),
        Edit(dev, objname::kMeasuredField, 200));
    g->setColumnStretch(2, 1);
    v->addWidget(dev);
    v->addStretch();
    return page;
}

QWidget* MainWindow::BuildMessagesTab() {
    QWidget* page = Page(objname::kMessagesTab);
    NormalWeight(page);
    messageList = Named(new QListWidget(page), objname::kMessageList);
    (new QVBoxLayout(page))->addWidget(messageList);
    return page;
}

QWidget* MainWindow::BuildServiceTab() {
    // Service texts are plain Polish: the translator leaves them alone.
    QWidget* page = Page(objname::kServiceTab);
    NormalWeight(page);
    auto* errors = Group(page, objname::kErrorsGroup, QStringLiteral("Błędy transmisji"));
    errors->setGeometry(44, 21, 312, 251);
    errorCounters = Named(new QTreeWidget(errors), objname::kErrorCounters);
    errorCounters->setGeometry(4, 26, 283, 172);
    errorCounters->setEnabled(false);
    errorCounters->setColumnCount(2);
    errorCounters->setHeaderHidden(true);
    errorCounters->setRootIsDecorated(false);
    // 190 wide unless the longest label needs more: every label stays readable whole.
    const int labelWidth =
        errorCounters->fontMetrics().horizontalAdvance(QStringLiteral("Nieprawidłowa suma kontrolna")) + 12;
    errorCounters->setColumnWidth(0, std::max(190, labelWidth));
    errorCounters->setColumnWidth(1, 68);
    for (const char* key : {"Brak odpowiedzi", "Ramka za krótka", "Ramka za długa", "Nieprawidłowa suma kontrolna",
                            "Nieprawidłowa komenda"})
        new QTreeWidgetItem(errorCounters, {QString::fromUtf8(key), QString()});
    Button(errors, objname::kZeroButton, QStringLiteral("Zeruj"))->setGeometry(110, 206, 92, 30);

    auto* reset = Group(page, objname::kLeadGroup, QStringLiteral("Reset Loggera"));
    reset->setGeometry(428, 23, 425, 64);
    Button(page, objname::kResetButton, QStringLiteral("Reset"))->setGeometry(586, 47, 100, 32);

    parameterList = Named(new QTreeWidget(page), objname::kParameterList);
    parameterList->setGeometry(428, 95, 425, 370);
    parameterList->setColumnCount(2);
    parameterList->setHeaderLabels({QStringLiteral("Nazwa"), QStringLiteral("Wartość")});
    parameterList->setRootIsDecorated(false);
    parameterList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    parameterList->header()->setSectionsClickable(false);
    parameterList->header()->setStretchLastSection(false);
    parameterList->setStyleSheet(
        QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                       "border-bottom: 1px solid #d0d0d0; }"));
    parameterList->setColumnWidth(0, 246);
    parameterList->setColumnWidth(1, 150);
    // The name column stays at least 200 wide, the value column at most 150.
    connect(parameterList->header(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column == 0 && size < 200) parameterList->setColumnWidth(0, 200);
        if (column == 1 && size > 150) parameterList->setColumnWidth(1, 150);
    });
    Button(page, objname::kReadParametersButton, QStringLiteral("Pobierz liste parametrów"))
        ->setGeometry(428, 473, 243, 29);

    auto* hid = Group(page, objname::kHidGroup, QStringLiteral("Lista urządzeń HID"));
    hid->setGeometry(44, 287, 312, 178);
    hidList = Named(new QListWidget(hid), objname::kHidList);
    (new QVBoxLayout(hid))->addWidget(hidList);
    return page;
}

QWidget* MainWindow::BuildCorrectionTab() {
    QWidget* page = Page(objname::kCorrectionTab);
    auto* v = new QVBoxLayout(page);
    auto* box = Group(page, objname::kCorrectionGroup, QStringLiteral("[604]Korekta"));
    auto* g = new QGridLayout(box);
    const QString celsius = QStringLiteral("°C");
    const QString percent = QStringLiteral("%");
    Row(g, 0, Label(box, objname::kCorrTempCaption, QStringLiteral("[140]Temperatura")),
        Edit(box, objname::kCorrTempField, 120), Label(box, objname::kCorrTempUnit, celsius));
    Row(g, 1, Label(box, objname::kCorrHumCaption, QStringLiteral("[150]Wilgotność")),
        Edit(box, objname::kCorrHumField, 120), Label(box, objname::kCorrHumUnit, percent));
    Row(g, 2, Label(box, objname::kTempCorrectionCaption, QStringLiteral("[605]Korekta temperatury:")),
        Edit(box, objname::kTempCorrectionField, 120), Label(box, objname::kTempCorrectionUnit, celsius));
    Row(g, 3, Label(box, objname::kHumCorrectionCaption, QStringLiteral("[606]Korekta wilgotności:")),
        Edit(box, objname::kHumCorrectionField, 120), Label(box, objname::kHumCorrectionUnit, percent));
    g->addWidget(Button(box, objname::kCorrectionButton, QStringLiteral("[1]Zmień")), 4, 1, Qt::AlignRight);
    g->setColumnStretch(3, 1);
    v->addWidget(box);
    v->addStretch();
    return page;
}

void MainWindow::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QString::fromLatin1(objname::kMenuBar));
    QMenu* file = bar->addMenu(QStringLiteral("[30]Plik"));
    file->setObjectName(QString::fromLatin1(objname::kFileMenu));
    BuildArchiveItems(file);
    // A file deleted or moved since it was opened leaves the list before anyone picks it.
    connect(file, &QMenu::aboutToShow, resultsTab_, &ResultsTab::RefreshRecentMenu);
    file->addSeparator();
    exitItem = file->addAction(QStringLiteral("[39]Zakończ"));
    exitItem->setObjectName(QString::fromLatin1(objname::kExitItem));
    connect(exitItem, &QAction::triggered, this, &QWidget::close);

    settingsMenu = bar->addMenu(QStringLiteral("[40]Ustawienia"));
    settingsMenu->setObjectName(QString::fromLatin1(objname::kSettingsMenu));
    usbItem = settingsMenu->addAction(kUsbLink);
    usbItem->setObjectName(QString::fromLatin1(objname::kUsbItem));
    usbItem->setCheckable(true);
    connect(usbItem, &QAction::triggered, this, [this] { onPortItemChosen(usbItem); });
    BuildPortMenuItems();
    settingsMenu->addSeparator();
    fastFramesItem = settingsMenu->addAction(QStringLiteral("[2150]Szybki odczyt"));
    fastFramesItem->setObjectName(QString::fromLatin1(objname::kFastFramesItem));
    fastFramesItem->setCheckable(true);
    connect(fastFramesItem, &QAction::toggled, this, &MainWindow::SetFastFrames);
    settingsMenu->addSeparator();
    BuildKeepingItems();
    BuildHelpMenu();
}

void MainWindow::BuildToolBar() {
    auto* bar = Named(new QToolBar(this), objname::kToolBar);
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    auto* spacer = new QWidget(bar);
    spacer->setFixedWidth(500);
    bar->addWidget(spacer);
    for (auto [name, flag, lang] : {std::tuple{objname::kPolishButton, "PL", &kLanguagePolish},
                                    std::tuple{objname::kEnglishButton, "EN", &kLanguageEnglish},
                                    std::tuple{objname::kGermanButton, "DE", &kLanguageGerman}}) {
        auto* b = Named(new QToolButton(bar), name);
        b->setIcon(Flag(QString::fromLatin1(flag)));
        b->setIconSize(QSize(24, 16));
        b->setToolTip(*lang);
        b->setAutoRaise(true);
        const QString language = *lang;
        connect(b, &QToolButton::clicked, this, [this, language] {
            languageForThisRun_ = false;
            ApplyLanguage(language);
        });
        bar->addWidget(b);
    }
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString::fromLatin1(objname::kStatusBar));
    bar->setSizeGripEnabled(false);
    linkStatusPanel = Named(new QLabel(bar), objname::kLinkStatusPanel);
    // As wide as the link's text (a pseudo-terminal's path can be long), never
    // narrower than the designed panel, so the request strip keeps its place.
    linkStatusPanel->setMinimumWidth(300);
    linkStatusPanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    strip_ = new RequestStrip(bar);
    strip_->setFixedSize(150, 18);
    // The empty last panel gives way to a long link text.
    // It also carries short notes, such as the file just written.
    notePanel = Named(new QLabel(bar), objname::kNotePanel);
    notePanel->setMinimumWidth(0);
    notePanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(linkStatusPanel);
    bar->addWidget(strip_);
    bar->addWidget(notePanel, 1);
}

}  // namespace quorvex
