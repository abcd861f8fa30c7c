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
#include "ui/ResultsTab.h"
#include "ui/ServiceTab.h"
#include "ui/TabParts.h"

namespace quorvex {

namespace {

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
    resultsTab_ =
        new ResultsTab({model_, results_, *settings_, *translator_, *prompts_, *keeping_, windows_, systemLocale_});
    tabs_->addTab(resultsTab_, QStringLiteral("[300]Wyniki"));
    // Reading the log needs a logger that answers.
    controls_->AddFrame({.button = resultsTab_->StartButton()});
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

void MainWindow::BuildMenu(const MainWindowOptions& options) {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QString::fromLatin1(objname::kMenuBar));
    QMenu* file = bar->addMenu(QStringLiteral("[30]Plik"));
    file->setObjectName(QString::fromLatin1(objname::kFileMenu));
    BuildArchiveItems(file);
    // A file deleted or moved since it was opened leaves the list before anyone picks it.
    connect(file, &QMenu::aboutToShow, resultsTab_, &ResultsTab::RefreshRecentMenu);
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
