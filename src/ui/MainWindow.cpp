#include "ui/MainWindow.h"
#include "chart/ObjectNames.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include <utility>

#include "modbus/TransmissionThread.h"
#include "params/Codecs.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/ArchiveKeeping.h"
#include "ui/ControlBindings.h"
#include "ui/QtOperatorPrompts.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/TranslateWindow.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex {

QEvent::Type ThreadMessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MainWindow::MainWindow(ParameterModel& model, ResultsStore& results, const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent), model_(model), results_(results), systemLocale_(options.systemLocale) {
    settings = std::make_unique<IniFile>(options.settingsPath);
    translator = std::make_unique<Translator>();
    prompts_ = options.prompts;
    if (!prompts_) {
        ownPrompts_ = std::make_unique<QtOperatorPrompts>(this);
        prompts_ = ownPrompts_.get();
    }
    keeping_ = std::make_unique<ArchiveKeeping>(
        model_, results_, *settings, *prompts_,
        ArchiveKeeping::Setup{options.archive, options.keyFolder, [this] { return portName; }});
    BuildWindow();
    portName = settings->ReadString(kWindowSection, QStringLiteral("PortCom"), kUsbLink);
    storedPort_ = portName;
    if (!options.portOverride.isEmpty()) {
        portName = options.portOverride;
        portForThisRun_ = true;
    }
    // The thread starts on the link at once: give it the menu's spelling before the menu
    // exists, or "usb" would be tried as a serial device.
    portName = MenuSpelling(portName, SystemSerialPorts());
    startResultsFile_ = options.resultsFile;
    if (options.startThread) CreateThread(options);
    // Before the first request: the thread reads the choice when it sends.
    fastFramesItem->setChecked(settings->ReadBool(kWindowSection, kFastFramesKey, false));
    translator->SetMessageHandler([this](const QString& line) { AddMessageLine(line); });
    portErrorShown = false;
    hidAbsentShown = false;
    programTexts_.Install();
    ConnectModel();

    onCreate();
    ConnectKeeping();
    storedLanguage_ = NormalizeLanguage(language);
    if (!options.languageOverride.isEmpty()) {
        language = LanguageFromName(options.languageOverride).value_or(kLanguagePolish);
        languageForThisRun_ = true;
    }
}

MainWindow::~MainWindow() { onDestroy(); }

const QString& MainWindow::SettingsFilePath() const { return settings->Path(); }

void MainWindow::ReadSettings() {
    PlaceWindow(QPoint(settings->ReadInteger(kWindowSection, QStringLiteral("Left"), kDesignedLeft),
                       settings->ReadInteger(kWindowSection, QStringLiteral("Top"), kDesignedTop)));
    // A first start speaks the desktop's language; a value stored since, even
    // one the program does not know (taken as Polish), is the operator's choice.
    language =
        StartLanguage(settings->ReadString(kWindowSection, QStringLiteral("Language"), QString()), systemLocale_);
}

void MainWindow::PlaceWindow(const QPoint& stored) {
    // A position saved with a screen that is gone (a monitor unplugged, a
    // smaller desktop) would open the window out of sight. It is kept only
    // when enough of the window's top edge, where it is grabbed, lies on a
    // present screen; otherwise the window opens centred on the primary one.
    const QRect top(stored, QSize(width(), 30));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = top & screen->availableGeometry();
        if (seen.width() >= std::min(100, width()) && seen.height() >= 20) {
            move(stored);
            return;
        }
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        move(stored);
        return;
    }
    const QRect available = screen->availableGeometry();
    QPoint centred = available.center() - rect().center();
    // A window larger than the screen keeps its top left corner on it.
    centred.setX(std::max(centred.x(), available.left()));
    centred.setY(std::max(centred.y(), available.top()));
    move(centred);
}

void MainWindow::WriteSettings() {
    // A link or language given on the command line holds for that run only;
    // one the operator chose in the program since is remembered.
    settings->WriteString(kWindowSection, QStringLiteral("PortCom"), portForThisRun_ ? storedPort_ : portName);
    settings->WriteString(kWindowSection, QStringLiteral("Language"),
                          languageForThisRun_ ? storedLanguage_ : NormalizeLanguage(language));
    settings->WriteBool(kWindowSection, kFastFramesKey, fastFramesItem->isChecked());
    settings->WriteBool(kSigningSection, kSigningEnabledKey, keeping_->Signing());
    settings->WriteInteger(kWindowSection, QStringLiteral("Left"), pos().x());
    settings->WriteInteger(kWindowSection, QStringLiteral("Top"), pos().y());
    // Written without checks: a settings folder that cannot be written must not
    // keep the program from ending.
    settings->Flush();
}

void MainWindow::SetFastFrames(bool on) {
    if (thread) thread->SetFastFrames(on);
}

void MainWindow::onCreate() {
    ReadSettings();
    controls = std::make_unique<ControlBindings>(this);
    BindMonitorControls();
    controls->SetAllActive(false);
    tabs->setCurrentIndex(0);
    qApp->installEventFilter(this);
    tabs->setTabVisible(tabs->indexOf(serviceTab), false);
    tabs->setTabVisible(tabs->indexOf(messagesTab), false);
    tabs->setTabVisible(tabs->indexOf(correctionTab), false);

    // What each dialog shows and writes back. A save empties what it wrote until the
    // read-back arrives; a dialog opened meanwhile would show and write those blanks. The
    // temperature and humidity thresholds share their registers, so either dialog needs all four.
    ParameterModel& m = model_;
    const DialogNeeds thresholds{&m.Param<HighTemp>(), &m.Param<LowTemp>(), &m.Param<HighHum>(), &m.Param<LowHum>()};
    auto connectDialog = [this](const char* button, QWidget* ProgramWindows::*form, DialogNeeds needs) {
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(button)))
            connect(b, &QPushButton::clicked, this,
                    [this, form, needs = std::move(needs)] { OpenDialog(windows_.*form, needs); });
    };
    connectDialog(objname::kSetClockButton, &ProgramWindows::clockDialog,
                  {&m.Param<CurrentDate>(), &m.Param<CurrentTime>()});
    connectDialog(objname::kChangeNameButton, &ProgramWindows::loggerNameDialog, {&m.Param<LoggerName>()});
    connectDialog(objname::kChangeStartButton, &ProgramWindows::startDialog,
                  {&m.Param<StartLog>(), &m.Param<WrapAround>(), &m.Param<LogStartDate>(), &m.Param<LogStartTime>()});
    connectDialog(objname::kTempThresholdsButton, &ProgramWindows::temperatureDialog, thresholds);
    connectDialog(objname::kHumThresholdsButton, &ProgramWindows::humidityDialog, thresholds);
    connectDialog(objname::kChangeIntervalButton, &ProgramWindows::saveIntervalDialog, {&m.Param<WriteInterval>()});
    connectDialog(objname::kCorrectionButton, &ProgramWindows::correctionDialog,
                  {&m.Param<CorrectionTemp>(), &m.Param<CorrectionHum>()});
    // A new recording makes the logger begin a new log over the one it holds.
    connect(recordStartButton, &QPushButton::clicked, this,
            [this] { keeping_->GuardNewLog([this] { onRecordStartClicked(); }); });
    connect(recordStopButton, &QPushButton::clicked, this, &MainWindow::onRecordStopClicked);
    ConnectServiceButtons();
    created_ = true;
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        onShown();
        onActivated();
    }
}

void MainWindow::onShown() {
    FillHidList();
    FillPortMenu();
    SelectStartLink();
    ShowLinkStatus();
    StartDeviceWatcher();
    resultsTab_->WindowShown();
    MonitorReset();
    // What opening the file says (a fault, its signature) comes before the first activation
    // translates the window: in the window's language already.
    programTexts_.SetLanguage(language);
    if (!startResultsFile_.isEmpty()) resultsTab_->OpenResultsFile(std::exchange(startResultsFile_, QString()));
}

void MainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && shown_) onActivated();
}

void MainWindow::onActivated() {
    setWindowTitle(kMainCaption);
    ApplyLanguage(language);
}

void MainWindow::ApplyLanguage(const QString& lang) {
    language = NormalizeLanguage(lang);
    SetDecimalSeparator(DecimalSeparatorOf(language));
    programTexts_.SetLanguage(language);
    ApplyQtTexts();
    TranslateWindow(*translator, language, this);
    TranslateMenu(*translator, language, menuBar());
    if (windows_.printDialog) TranslateWindow(*translator, language, windows_.printDialog);
    // The chart window puts its title, tool tips and chart texts into the language itself.
    if (windows_.chartWindow) {
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(windows_.chartWindow, &change);
    }
    if (archiveWindow_) {
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(archiveWindow_, &change);
    }
    resultsTab_->RefreshTexts();
    // Numbers on screen are written anew with the language's separator.
    if (controls) controls->RefreshAll();
    ShowLinkStatus();
    SetLoggerState(-1);
}

void MainWindow::ApplyQtTexts() {
    // Every activation applies the language again; Qt's texts change only with it (each change
    // sends every widget a LanguageChange).
    if (qtTextsLanguage_ == language) return;
    qtTextsLanguage_ = language;
    QCoreApplication::removeTranslator(&qtTexts_);
    const QString code = language == kLanguagePolish   ? QStringLiteral("pl")
                         : language == kLanguageGerman ? QStringLiteral("de")
                                                       : QString();
    // Without Qt's translations installed its dialogs stay in English, as before.
    if (!code.isEmpty() &&
        qtTexts_.load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
}

void MainWindow::OpenDialog(QWidget* dialog, const DialogNeeds& needs) {
    if (!dialog || destroyed_) return;
    for (const Parameter* p : needs)
        if (!p->Known()) {
            ShowParametersPending();
            return;
        }
    TranslateWindow(*translator, language, dialog);
    if (auto* d = qobject_cast<QDialog*>(dialog)) {
        const QPointer<MainWindow> self(this);
        d->exec();
        // The program may have ended while the dialog was open (closed with it, rejected).
        if (!self || destroyed_) return;
    } else {
        dialog->show();
    }
    model_.UpdateDependencies();
    controls->RefreshAll();
}

void MainWindow::ShowParametersPending() {
    auto* box =
        new QMessageBox(QMessageBox::Information, translator->Tr(QStringLiteral("[600]Zmień parametr")),
                        translator->Tr(QStringLiteral("[2070]Parametry nie zostały jeszcze odczytane z Loggera. "
                                                      "Spróbuj ponownie za chwilę.")),
                        QMessageBox::Ok, this);
    box->setObjectName(QString::fromLatin1(objname::kParamsPendingBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not exec(): the thread's hand-overs, the awaited read-back among them, go on meanwhile.
    box->open();
}

void MainWindow::CloseParameterDialogs() {
    // Closing rejects: a dialog closed here writes nothing.
    for (QWidget* dialog :
         {windows_.loggerNameDialog, windows_.clockDialog, windows_.temperatureDialog, windows_.humidityDialog,
          windows_.saveIntervalDialog, windows_.startDialog, windows_.correctionDialog})
        if (dialog) dialog->close();
}

void MainWindow::CloseOpenDialogs() {
    // Each open dialog or message box runs its own event loop further down the stack; a
    // rejected one returns from it as if cancelled once the current handler is done.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
}

void MainWindow::MonitorReset() {
    model_.InvalidateAll();
    // The first read breaks off: its wait window goes too.
    if (windows_.parameterReadWindow) windows_.parameterReadWindow->close();
    if (connState_ == CONN_NONE) return;
    paramsReady_ = false;
    connState_ = CONN_NONE;
    model_.InvalidateAll();
    controls->SetAllActive(false);
    keeping_->LinkReset();
    resultsTab_->LinkReset();
    CloseParameterDialogs();
}

void MainWindow::ParamReadProgress() {
    if (connState_ == CONN_NONE) connState_ = CONN_READING;
    if (connState_ != CONN_READING) return;
    const int total = model_.ParameterCount();
    const int read = model_.ValueCount();
    if (ParameterReadWindow* wait = windows_.parameterReadWindow) {
        wait->setWindowTitle(translator->Tr(QStringLiteral("[601]Odczyt danych")));
        wait->SetCounts(total, read);
        if (!wait->isVisible()) wait->show();
    }
    if (read >= total) {
        controls->SetAllActive(true);
        connState_ = CONN_READY;
        paramsReady_ = true;
        resultsTab_->SetParamsReady(true);
        keeping_->ParamsBecameReady();
    }
}

void MainWindow::ToggleCorrectionTab() {
    const int index = tabs->indexOf(correctionTab);
    tabs->setTabVisible(index, !tabs->isTabVisible(index));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    // The service tab's counters, left alone while it was hidden, are brought up to date as it shows.
    if (watched == serviceTab && e->type() == QEvent::Show) RebuildCounterTable();
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(e);
        auto* widget = static_cast<QWidget*>(watched);
        const bool keypad2 =
            (key->modifiers() & Qt::KeypadModifier) && (key->key() == Qt::Key_2 || key->key() == Qt::Key_Down);
        if (keypad2 && !key->isAutoRepeat()) keypad2Down_ = e->type() == QEvent::KeyPress;
        // A key event not taken by a widget travels on to its parents and passes
        // here once for each: only its first stop counts.
        const bool passingOn = e == lastKeyEvent_ && lastKeyReceiver_ && widget->isAncestorOf(lastKeyReceiver_);
        lastKeyEvent_ = e;
        lastKeyReceiver_ = widget;
        if (e->type() == QEvent::KeyPress && !passingOn) {
            const Qt::KeyboardModifiers mods = key->modifiers();
            const bool chord = (mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier) &&
                               (key->key() == Qt::Key_F9 || key->key() == Qt::Key_K);
            if (chord && !keypad2Down_) ToggleCorrectionTab();
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    onDestroy();
    e->accept();
}

void MainWindow::onDestroy() {
    if (destroyed_ || !created_) return;
    destroyed_ = true;
    // A desktop logout or Ctrl+C may come while a dialog is open: it goes first, unwritten.
    CloseOpenDialogs();
    model_.Disconnect();
    qApp->removeEventFilter(this);
    WriteSettings();
    EndThread();
    // The translator goes after the thread: the thread's last status texts may
    // still be translated while it ends.
    translator->SetMessageHandler({});
    resultsTab_->EndDownload();
    controls.reset();
}

void MainWindow::AddMessageLine(const QString& line) {
    if (messageList->count() > 0 && line == lastMessageLine_) return;
    lastMessageLine_ = line;
    messageList->addItem(line);
}

}  // namespace quorvex
