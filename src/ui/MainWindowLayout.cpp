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
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "ui/ControlBindings.h"
#include "ui/CorrectionTab.h"
#include "ui/DeviceTab.h"
#include "ui/LinkMenu.h"
#include "ui/MainWindow.h"
#include "ui/MessagesTab.h"
#include "ui/MonitorTab.h"
#include "ui/ObjectNames.h"
#include "ui/RegistrationTab.h"
#include "ui/RequestStrip.h"
#include "ui/ServiceTab.h"
#include "ui/TabParts.h"

namespace quorvex {

namespace {

// Rows as tall as their text needs wrapped to the width it has: a tree takes its row heights
// from this hint, and Qt's own hint counts one line only.
class WrappingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto* tree = qobject_cast<const QTreeView*>(option.widget);
        if (!tree) return size;
        const int width = tree->isFirstColumnSpanned(index.row(), index.parent()) ? tree->viewport()->width()
                                                                                  : tree->columnWidth(index.column());
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        // The style's text margin on either side.
        const int margin = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        const QRect text =
            item.fontMetrics.boundingRect(QRect(0, 0, std::max(1, width - margin), 0), Qt::TextWordWrap, item.text);
        size.setHeight(std::max(size.height(), text.height() + size.height() - item.fontMetrics.height()));
        return size;
    }
};

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

void MainWindow::BuildWindow(const MainWindowOptions& options) {
    setObjectName(QString::fromLatin1(objname::kMainWindow));
    setWindowTitle(kMainCaption);
    auto* central = Named(new QWidget(this), objname::kCentralPanel);
    setCentralWidget(central);
    tabs_ = Named(new QTabWidget(central), objname::kTabs);
    QFont bold = tabs_->font();
    bold.setBold(true);
    tabs_->setFont(bold);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(tabs_);

    // Each tab binds its fields into the window's bindings as it makes them.
    tabs_->addTab(monitor_ = new MonitorTab(model_, *controls_), QStringLiteral("[100]Pomiary"));
    tabs_->addTab(registration_ = new RegistrationTab(model_, *controls_), QStringLiteral("[200]Rejestracja"));
    tabs_->addTab(resultsTab_ = BuildResultsTab(), QStringLiteral("[300]Wyniki"));
    tabs_->addTab(device_ = new DeviceTab(model_, *controls_), QStringLiteral("[500]Urządzenie"));
    tabs_->addTab(messages_ = new MessagesTab, QStringLiteral("[602]Komunikaty"));
    tabs_->addTab(service_ = new ServiceTab(model_, *translator_), QStringLiteral("[603]Serwis"));
    tabs_->addTab(correction_ = new CorrectionTab(model_, *controls_, *tabs_), QStringLiteral("[604]Korekta"));

    for (int i = 0; i < tabs_->count(); ++i) NormalWeight(tabs_->widget(i));
    for (QGroupBox* box : tabs_->findChildren<QGroupBox*>()) BoldCaption(box);

    BuildMenu(options);
    BuildToolBar();
    BuildStatusBar();
    resize(964, 678);
}

QWidget* MainWindow::BuildResultsTab() {
    QWidget* page = Named(new QWidget, objname::kResultsTab);
    // Captions, buttons and lists in the weight the other tabs show them in.
    NormalWeight(page);
    auto* grid = new QGridLayout(page);

    auto* table = Named(new QTableView(page), objname::kResultsTable);
    auto* model = new QStandardItemModel(0, 5, table);
    const QStringList columns{QStringLiteral("[2200]Lp"), QStringLiteral("[131]Data"), QStringLiteral("[132]Czas"),
                              QStringLiteral("[140]Temperatura"), QStringLiteral("[150]Wilgotność")};
    for (int c = 0; c < columns.size(); ++c) model->setHeaderData(c, Qt::Horizontal, columns[c]);
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* logger = Named(new QTreeWidget(page), objname::kLoggerList);
    logger->setColumnCount(2);
    logger->setHeaderLabels({QStringLiteral("[320]Dane Loggera"), QString()});
    logger->setRootIsDecorated(false);
    logger->setColumnWidth(0, 150);

    // Under the table, as wide as it: captions such as "Czas powyżej progu
    // górnego (22,5°C)" and values with their moments fit side by side.
    auto* summary = Named(new QTreeWidget(page), objname::kSummaryList);
    summary->setColumnCount(2);
    summary->setHeaderLabels({QStringLiteral("[2135]Podsumowanie"), QString()});
    summary->setRootIsDecorated(false);
    summary->setSelectionMode(QAbstractItemView::NoSelection);
    summary->setFocusPolicy(Qt::NoFocus);
    // Rules and excursions are sentences: wrapped within their column rather than cut short,
    // and wrapped anew when the column is made narrower or wider.
    summary->setWordWrap(true);
    summary->setItemDelegate(new WrappingDelegate(summary));
    QObject::connect(summary->header(), &QHeaderView::sectionResized, summary, [summary] { summary->doItemsLayout(); });
    summary->setMinimumHeight((summary->fontMetrics().height() + 4) * 10);

    auto* status = Group(page, objname::kDownloadGroup, QStringLiteral("[330]Status"));
    auto* sl = new QVBoxLayout(status);
    sl->addWidget(Named(new QProgressBar(status), objname::kDownloadProgress));
    sl->addWidget(Named(new QListWidget(status), objname::kDownloadStatusList));

    auto* buttons = Named(new QWidget(page), objname::kResultsButtons);
    auto* bl = new QVBoxLayout(buttons);
    bl->setContentsMargins(0, 0, 0, 0);
    for (auto [name, caption] : {std::pair{objname::kStartReadButton, "[10]Rozpocznij odczyt od nowa"},
                                 std::pair{objname::kStopReadButton, "[11]Przerwij odczyt"},
                                 std::pair{objname::kRetryReadButton, "[13]Ponów odczyt"},
                                 std::pair{objname::kNewReadButton, "[2483]Pobierz nowe"},
                                 std::pair{objname::kChartButton, "[12]Pokaż wykres"},
                                 std::pair{objname::kPrintTableButton, "[16]Drukuj tabelę"},
                                 std::pair{objname::kSaveResultsButton, "[2202]Zapisz wyniki do pliku"},
                                 std::pair{objname::kReportButton, "[2442]Raport PDF…"}}) {
        QPushButton* button = Button(buttons, name, QString::fromUtf8(caption));
        bl->addWidget(button);
        // Reading the log needs a logger that answers.
        if (name == objname::kStartReadButton) controls_->AddFrame({.button = button});
    }
    bl->addStretch();

    grid->addWidget(table, 0, 0, 2, 1);
    grid->addWidget(summary, 2, 0);
    grid->addWidget(logger, 0, 1);
    grid->addWidget(status, 1, 1);
    grid->addWidget(buttons, 2, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    return page;
}

void MainWindow::BuildMenu(const MainWindowOptions& options) {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QString::fromLatin1(objname::kMenuBar));
    QMenu* file = bar->addMenu(QStringLiteral("[30]Plik"));
    file->setObjectName(QString::fromLatin1(objname::kFileMenu));
    readResultsItem = file->addAction(QStringLiteral("[41]Odczytaj wyniki"));
    readResultsItem->setObjectName(QString::fromLatin1(objname::kReadResultsItem));
    readResultsItem->setVisible(false);
    saveResultsItem = file->addAction(QStringLiteral("[42]Zapisz wyniki"));
    saveResultsItem->setObjectName(QString::fromLatin1(objname::kSaveResultsItem));
    saveResultsItem->setVisible(false);
    openResultsItem = file->addAction(QStringLiteral("[2120]Otwórz plik wyników…"));
    openResultsItem->setObjectName(QString::fromLatin1(objname::kOpenResultsItem));
    openResultsItem->setShortcut(QKeySequence::Open);
    connect(openResultsItem, &QAction::triggered, this, &MainWindow::onOpenResultsChosen);
    recentMenu = file->addMenu(QStringLiteral("[2207]Ostatnio otwierane"));
    recentMenu->setObjectName(QString::fromLatin1(objname::kRecentMenu));
    recentMenu->menuAction()->setObjectName(QString::fromLatin1(objname::kRecentMenuItem));
    recentMenu->setToolTipsVisible(true);
    archiveItem = file->addAction(QStringLiteral("[2310]Archiwum…"));
    archiveItem->setObjectName(QString::fromLatin1(objname::kArchiveItem));
    connect(archiveItem, &QAction::triggered, this, &MainWindow::onArchiveChosen);
    importItem = file->addAction(QStringLiteral("[2311]Importuj do archiwum…"));
    importItem->setObjectName(QString::fromLatin1(objname::kImportItem));
    connect(importItem, &QAction::triggered, this, &MainWindow::onImportChosen);
    changeLogItem = file->addAction(QStringLiteral("[2573]Dziennik zmian…"));
    changeLogItem->setObjectName(QString::fromLatin1(objname::kChangeLogItem));
    connect(changeLogItem, &QAction::triggered, this, &MainWindow::onChangeLogChosen);
    reportItem = file->addAction(QStringLiteral("[2442]Raport PDF…"));
    reportItem->setObjectName(QString::fromLatin1(objname::kReportItem));
    connect(reportItem, &QAction::triggered, this, &MainWindow::onReportChosen);
    // A file deleted or moved since it was opened leaves the list before anyone picks it.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::RefreshRecentMenu);
    file->addSeparator();
    exitItem_ = file->addAction(QStringLiteral("[39]Zakończ"));
    exitItem_->setObjectName(QString::fromLatin1(objname::kExitItem));
    connect(exitItem_, &QAction::triggered, this, &QWidget::close);

    settingsMenu_ = bar->addMenu(QStringLiteral("[40]Ustawienia"));
    settingsMenu_->setObjectName(QString::fromLatin1(objname::kSettingsMenu));
    links_ = new LinkMenu(*settingsMenu_, *this, *translator_, options.serialPorts);
    settingsMenu_->addSeparator();
    fastFramesItem_ = settingsMenu_->addAction(QStringLiteral("[2150]Szybki odczyt"));
    fastFramesItem_->setObjectName(QString::fromLatin1(objname::kFastFramesItem));
    fastFramesItem_->setCheckable(true);
    connect(fastFramesItem_, &QAction::toggled, this, &MainWindow::SetFastFrames);
    settingsMenu_->addSeparator();
    rulesItem = settingsMenu_->addAction(QStringLiteral("[2411]Reguły oceny…"));
    rulesItem->setObjectName(QString::fromLatin1(objname::kRulesItem));
    connect(rulesItem, &QAction::triggered, this, &MainWindow::onRulesChosen);
    dewPointFilesItem = settingsMenu_->addAction(QStringLiteral("[2464]Punkt rosy w plikach CSV"));
    dewPointFilesItem->setObjectName(QString::fromLatin1(objname::kDewPointFilesItem));
    dewPointFilesItem->setCheckable(true);
    settingsMenu_->addSeparator();
    signFilesItem = settingsMenu_->addAction(QStringLiteral("[2569]Podpisuj zapisywane pliki"));
    signFilesItem->setObjectName(QString::fromLatin1(objname::kSignFilesItem));
    signFilesItem->setCheckable(true);
    signFilesItem->setChecked(true);
    trustedKeysItem = settingsMenu_->addAction(QStringLiteral("[2559]Zaufane klucze…"));
    trustedKeysItem->setObjectName(QString::fromLatin1(objname::kTrustedKeysItem));
    connect(trustedKeysItem, &QAction::triggered, this, &MainWindow::onTrustedKeysChosen);
    settingsMenu_->addSeparator();
    BuildAutoDownloadItems();
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
    linkStatusPanel_ = Named(new QLabel(bar), objname::kLinkStatusPanel);
    // As wide as the link's text (a pseudo-terminal's path can be long), never
    // narrower than the designed panel, so the request strip keeps its place.
    linkStatusPanel_->setMinimumWidth(300);
    linkStatusPanel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    strip_ = new RequestStrip(bar);
    strip_->setFixedSize(150, 18);
    // The empty last panel gives way to a long link text.
    // It also carries short notes, such as the file just written.
    notePanel_ = Named(new QLabel(bar), objname::kNotePanel);
    notePanel_->setMinimumWidth(0);
    notePanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(linkStatusPanel_);
    bar->addWidget(strip_);
    bar->addWidget(notePanel_, 1);
}

}  // namespace quorvex
