#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>

#include <utility>

#include "modbus/TransmissionThread.h"
#include "params/Codecs.h"
#include "params/LoggerState.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/ArchiveKeeping.h"
#include "ui/ControlBindings.h"
#include "ui/CorrectionTab.h"
#include "ui/LinkMenu.h"
#include "ui/MessagesTab.h"
#include "ui/MonitorTab.h"
#include "ui/QtOperatorPrompts.h"
#include "ui/RegistrationTab.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"
#include "ui/ResultsTabView.h"
#include "ui/ServiceTab.h"
#include "ui/TranslateWindow.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex {

MainWindow::MainWindow(ParameterModel& model, ResultsStore& results, const MainWindowOptions& options, QWidget* parent)
    : QMainWindow(parent),
      model_(model),
      results_(results),
      translator_(std::make_unique<Translator>()),
      controls_(std::make_unique<ControlBindings>(model)),
      systemLocale_(options.systemLocale) {
    settings_ = std::make_unique<IniFile>(options.settingsPath);
    prompts_ = options.prompts;
    if (!prompts_) {
        ownPrompts_ = std::make_unique<QtOperatorPrompts>(this);
        prompts_ = ownPrompts_.get();
    }
    keeping_ = std::make_unique<ArchiveKeeping>(model_, results_, *settings_, *prompts_,
                                                ArchiveKeeping::Setup{options.archive, options.keyFolder, [this] {
                                                                          return links_ ? links_->Chosen() : QString();
                                                                      }});
    BuildWindow(options);
    storedPort_ = settings_->ReadString(kWindowSection, QStringLiteral("PortCom"), kUsbLink);
    portForThisRun_ = !options.portOverride.isEmpty();
    links_->SetStartLink(portForThisRun_ ? options.portOverride : storedPort_);
    startResultsFile_ = options.resultsFile;
    CreateSession(options);
    // Before the first request: the thread reads the choice when it sends.
    fastFramesItem_->setChecked(settings_->ReadBool(kWindowSection, kFastFramesKey, false));
    translator_->SetMessageHandler([this](const QString& line) { AddMessageLine(line); });
    programTexts_.Install();

    onCreate();
    ConnectKeeping();
    // The session hands the log's blocks to the results tab's download.
    session_->SetDownload(&resultsTab_->Download());
    storedLanguage_ = NormalizeLanguage(language_);
    if (!options.languageOverride.isEmpty()) {
        language_ = LanguageFromName(options.languageOverride).value_or(kLanguagePolish);
        languageForThisRun_ = true;
    }
}

MainWindow::~MainWindow() {
    onDestroy();
    EndSession();
}

const QString& MainWindow::SettingsFilePath() const { return settings_->Path(); }

void MainWindow::ReadSettings() {
    PlaceWindow(QPoint(settings_->ReadInteger(kWindowSection, QStringLiteral("Left"), kDesignedLeft),
                       settings_->ReadInteger(kWindowSection, QStringLiteral("Top"), kDesignedTop)));
    // A first start speaks the desktop's language; a value stored since, even
    // one the program does not know (taken as Polish), is the operator's choice.
    language_ =
        StartLanguage(settings_->ReadString(kWindowSection, QStringLiteral("Language"), QString()), systemLocale_);
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
    settings_->WriteString(kWindowSection, QStringLiteral("PortCom"), portForThisRun_ ? storedPort_ : links_->Chosen());
    settings_->WriteString(kWindowSection, QStringLiteral("Language"),
                           languageForThisRun_ ? storedLanguage_ : NormalizeLanguage(language_));
    settings_->WriteBool(kWindowSection, kFastFramesKey, fastFramesItem_->isChecked());
    settings_->WriteBool(kSigningSection, kSigningEnabledKey, keeping_->Signing());
    settings_->WriteInteger(kWindowSection, QStringLiteral("Left"), pos().x());
    settings_->WriteInteger(kWindowSection, QStringLiteral("Top"), pos().y());
    // Written without checks: a settings folder that cannot be written must not
    // keep the program from ending.
    settings_->Flush();
}

void MainWindow::SetFastFrames(bool on) { session_->SetFastFrames(on); }

void MainWindow::onCreate() {
    ReadSettings();
    controls_->SetAllActive(false);
    tabs_->setCurrentIndex(0);
    correction_->HearChord(true);
    tabs_->setTabVisible(tabs_->indexOf(service_), false);
    tabs_->setTabVisible(tabs_->indexOf(messages_), false);
    tabs_->setTabVisible(tabs_->indexOf(correction_), false);
    ConnectTabs();
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

void MainWindow::ConnectTabs() {
    const auto open = [this](ParameterDialog which) { OpenDialog(which); };
    connect(monitor_, &MonitorTab::edit, this, open);
    connect(registration_, &RegistrationTab::edit, this, open);
    connect(correction_, &CorrectionTab::edit, this, open);
    connect(monitor_, &MonitorTab::record, this, [this](bool on) {
        // A new recording makes the logger begin a new log over the one it holds.
        if (on)
            keeping_->GuardNewLog([this] { model_.WriteRecordingBit(true); });
        else
            model_.WriteRecordingBit(false);
    });
    connect(service_, &ServiceTab::zero, this, &MainWindow::ZeroCounters);
    connect(service_, &ServiceTab::reset, this, &MainWindow::ResetLogger);
    // The service tab's counters, left alone while it was hidden, are brought up to date as it shows.
    connect(service_, &ServiceTab::shown, this, &MainWindow::RebuildCounterTable);
    connect(links_, &LinkMenu::picked, this, &MainWindow::ChooseLink);
    connect(links_, &LinkMenu::note, this, &MainWindow::AddMessageLine);
    connect(links_, &LinkMenu::changed, this, &MainWindow::onHidDeviceChanged);
}

void MainWindow::OpenDialog(ParameterDialog which) {
    // What each dialog shows and writes back. A save empties what it wrote until the
    // read-back arrives; a dialog opened meanwhile would show and write those blanks. The
    // temperature and humidity thresholds share their registers, so either dialog needs all four.
    ParameterModel& m = model_;
    const DialogNeeds thresholds{&m.Param<HighTemp>(), &m.Param<LowTemp>(), &m.Param<HighHum>(), &m.Param<LowHum>()};
    switch (which) {
    case ParameterDialog::Clock:
        return OpenDialog(windows_.clockDialog, {&m.Param<CurrentDate>(), &m.Param<CurrentTime>()});
    case ParameterDialog::Name:
        return OpenDialog(windows_.loggerNameDialog, {&m.Param<LoggerName>()});
    case ParameterDialog::Start:
        return OpenDialog(windows_.startDialog, {&m.Param<StartLog>(), &m.Param<WrapAround>(), &m.Param<LogStartDate>(),
                                                 &m.Param<LogStartTime>()});
    case ParameterDialog::TemperatureThresholds:
        return OpenDialog(windows_.temperatureDialog, thresholds);
    case ParameterDialog::HumidityThresholds:
        return OpenDialog(windows_.humidityDialog, thresholds);
    case ParameterDialog::SaveInterval:
        return OpenDialog(windows_.saveIntervalDialog, {&m.Param<WriteInterval>()});
    case ParameterDialog::Correction:
        return OpenDialog(windows_.correctionDialog, {&m.Param<CorrectionTemp>(), &m.Param<CorrectionHum>()});
    }
}

void MainWindow::onShown() {
    FillHidList();
    links_->Fill();
    SelectStartLink();
    ShowLinkStatus();
    links_->WatchDevices(Thread() != nullptr);
    resultsTab_->WindowShown();
    MonitorReset();
    // What opening the file says (a fault, its signature) comes before the first activation
    // translates the window: in the window's language already.
    programTexts_.SetLanguage(language_);
    if (!startResultsFile_.isEmpty()) resultsTab_->OpenResultsFile(std::exchange(startResultsFile_, QString()));
}

void MainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && shown_) onActivated();
}

void MainWindow::onActivated() {
    setWindowTitle(kMainCaption);
    ApplyLanguage(language_);
}

void MainWindow::ApplyLanguage(const QString& lang) {
    language_ = NormalizeLanguage(lang);
    SetDecimalSeparator(DecimalSeparatorOf(language_));
    programTexts_.SetLanguage(language_);
    ApplyQtTexts();
    TranslateWindow(*translator_, language_, this);
    TranslateMenu(*translator_, language_, menuBar());
    if (windows_.printDialog) TranslateWindow(*translator_, language_, windows_.printDialog);
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
    if (controls_) controls_->RefreshAll();
    ShowLinkStatus();
    monitor_->ShowState(-1);
}

void MainWindow::ApplyQtTexts() {
    // Every activation applies the language again; Qt's texts change only with it (each change
    // sends every widget a LanguageChange).
    if (qtTextsLanguage_ == language_) return;
    qtTextsLanguage_ = language_;
    QCoreApplication::removeTranslator(&qtTexts_);
    const QString code = language_ == kLanguagePolish   ? QStringLiteral("pl")
                         : language_ == kLanguageGerman ? QStringLiteral("de")
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
    TranslateWindow(*translator_, language_, dialog);
    if (auto* d = qobject_cast<QDialog*>(dialog)) {
        const QPointer<MainWindow> self(this);
        d->exec();
        // The program may have ended while the dialog was open (closed with it, rejected).
        if (!self || destroyed_) return;
    } else {
        dialog->show();
    }
    model_.UpdateDependencies();
    controls_->RefreshAll();
}

void MainWindow::ShowParametersPending() {
    auto* box =
        new QMessageBox(QMessageBox::Information, translator_->Tr(QStringLiteral("[600]Zmień parametr")),
                        translator_->Tr(QStringLiteral("[2070]Parametry nie zostały jeszcze odczytane z Loggera. "
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
    controls_->SetAllActive(false);
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
        wait->setWindowTitle(translator_->Tr(QStringLiteral("[601]Odczyt danych")));
        wait->SetCounts(total, read);
        if (!wait->isVisible()) wait->show();
    }
    if (read >= total) {
        controls_->SetAllActive(true);
        connState_ = CONN_READY;
        paramsReady_ = true;
        resultsTab_->SetParamsReady(true);
        keeping_->ParamsBecameReady();
    }
}

int MainWindow::ChooseStateCode() const {
    const int link = CurrentLinkState();
    if (link == 3) {
        switch (links_->PortRefusal().value_or(0)) {
        case kPortMissing:
            return 15;
        case kPortBusy:
            return 12;
        case kPortAccessDenied:
            return 11;
        default:
            return 10;
        }
    }
    if (link == 5) return links_->HidUnusable() ? 25 : 20;
    if (connState_ == CONN_NONE) return 30;
    if (connState_ == CONN_READING) return 35;
    return LoggerStateCode(model_);
}

void MainWindow::UpdateLoggerState() { monitor_->ShowState(ChooseStateCode()); }

const QString& MainWindow::StateText() const { return monitor_->StateText(); }

int MainWindow::LastStateCode() const { return monitor_->StateCode(); }

void MainWindow::SelectStartLink() {
    links_->SelectStartLink();
    session_->SetLinkName(links_->Chosen());
}

void MainWindow::ChooseLink(const QString& name) {
    links_->Choose(name);
    portForThisRun_ = false;
    session_->SetLinkName(links_->Chosen());
    MonitorReset();
}

void MainWindow::onHidDeviceChanged(bool arrival, const QString& node) {
    if (destroyed_) return;
    FillHidList();
    // The thread decides and does the rest itself, between two of its own HID calls: an
    // arrival lets it look for an absent logger at once; a removal closes and reopens the
    // logger only when the node that went is the logger's (or no logger is open).
    if (arrival)
        session_->HidDeviceArrived();
    else
        session_->HidDeviceRemoved(node);
}

void MainWindow::PortOpenFailed(int refusal) {
    if (!links_->Refused(refusal)) return;
    MonitorReset();
    UpdateLoggerState();
    ShowLinkStatus();
    links_->TellRefusal(refusal, CurrentLinkName());
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
    correction_->HearChord(false);
    WriteSettings();
    EndSession();
    // The translator goes after the thread: the thread's last status texts may
    // still be translated while it ends.
    translator_->SetMessageHandler({});
    resultsTab_->EndDownload();
    controls_.reset();
}

void MainWindow::AddMessageLine(const QString& line) { messages_->AddLine(line); }

}  // namespace quorvex
