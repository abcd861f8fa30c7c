#pragma once
// The main window: tabs of the monitor, registration, results, device and the
// hidden service tabs; the settings file; the transmission thread and the
// translator it owns; the handlers of the thread's messages.
//
// Source files by subject: MainWindow.cpp (life cycle, language, dialog buttons),
// MainWindowLayout.cpp (the widgets), MainWindowMonitor.cpp (bindings, logger state,
// start/stop), MainWindowMessages.cpp (the thread's messages), MainWindowThread.cpp
// (everything that talks to the transmission thread), MainWindowLink.cpp (the link
// menu and device changes), MainWindowService.cpp (the service tab's buttons),
// MainWindowArchive.cpp (the archive's windows and boxes, routed to ArchiveKeeping),
// MainWindowFiles.cpp (the status bar's notes), MainWindowHelp.cpp (the Help menu and the
// About box). The results tab is ResultsTab; keeping the archive, ArchiveKeeping.
#include <QEvent>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "modbus/Messages.h"
#include "settings/IniFile.h"
#include "ui/ArchiveWindow.h"
#include "ui/ChangeLogWindow.h"
#include "ui/PortMenu.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace quorvex {

class Parameter;
struct WriteRefusal;
class DeviceWatcher;
class HidBackend;
class IniFile;
class ControlBindings;
class ParameterModel;
class LogDownload;
class ResultsModel;
class ResultsStore;
class ParameterReadWindow;
class RequestStrip;
class ResultsTab;
class ArchiveKeeping;
class OperatorPrompts;
class ChartWindow;
class StatePanel;
class TransmissionThread;

// Settings file keys.
inline const QString kWindowSection = QStringLiteral("Okno");
inline const QString kFastFramesKey = QStringLiteral("FastFrames");
constexpr int kDesignedLeft = 309;
constexpr int kDesignedTop = 169;
inline const QString kMainCaption = QStringLiteral("Quorvex v4.6");
inline const QString kUsbLink = QStringLiteral("USB");

// Monitor connection state.
enum ConnState : int { CONN_NONE = 1, CONN_READY = 2, CONN_READING = 3 };

struct MainWindowOptions {
    QString settingsPath;      // the settings file (see SettingsPath)
    QString portOverride;      // --port: the link for this run, as a menu choice would set it (not stored)
    QString languageOverride;  // --language: the language for this run (not stored)
    QString resultsFile;       // a results file to open once the window is shown
    // --archive: where downloads are kept for this run (a file, a postgresql:// address or
    // "none"); empty: the settings file's, else the default file.
    QString archive;
    bool startThread = true;                 // false: no transmission thread (window tests)
    std::shared_ptr<HidBackend> hidBackend;  // HID devices seen by the thread (default: the system's)
    // The desktop's locale: its language is the interface's on a first start,
    // before a language is stored in the settings file.
    QLocale systemLocale = QLocale::system();
    // What the program asks the operator (tests hand a scripted one); null: Qt's dialogs and boxes.
    OperatorPrompts* prompts = nullptr;
    // Where the signing key and the trusted keys live (a temporary folder in tests).
    QString keyFolder = UserSettingsFolder();
};

// A message of the transmission thread queued to the main window.
class ThreadMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    ThreadMessageEvent(Msg msg, QString text, int wParam)
        : QEvent(EventType()), Id(msg), Text(std::move(text)), WParam(wParam) {}
    const Msg Id;
    const QString Text;
    const int WParam;
};

// The program's other windows, created once at start-up in this order after the main
// window, which owns them; null until created. The main window skips a window that is missing.
struct ProgramWindows {
    ParameterReadWindow* parameterReadWindow = nullptr;
    QWidget* chartWindow = nullptr;
    QWidget* humidityDialog = nullptr;  // humidity thresholds
    QWidget* correctionDialog = nullptr;
    QWidget* clockDialog = nullptr;
    QWidget* loggerNameDialog = nullptr;
    QWidget* startDialog = nullptr;
    QWidget* saveIntervalDialog = nullptr;
    QWidget* printDialog = nullptr;
    QWidget* temperatureDialog = nullptr;  // temperature thresholds
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `model` and `results`: the program's logger state and results store, which outlive the window.
    MainWindow(ParameterModel& model, ResultsStore& results, const MainWindowOptions& options,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Life cycle steps.
    void onCreate();
    void onShown();
    void onActivated();
    void onDestroy();

    void ApplyLanguage(const QString& lang);
    void MonitorReset();
    void ParamReadProgress();
    void UpdateLoggerState();
    void SetLoggerState(int code);
    void ShowLinkStatus();
    void onRecordStartClicked();
    void onRecordStopClicked();
    // The results tab (its download, files, report) and the keeping of the archive (change
    // log, automatic download, signing); what the program asks the operator.
    ResultsTab& ResultsPage() { return *resultsTab_; }
    ArchiveKeeping& Keeping() { return *keeping_; }
    OperatorPrompts& Prompts() { return *prompts_; }
    // A short note in the status bar's last panel, gone after a while.
    void ShowStatusNote(const QString& text);
    // The note after a printout was written to a PDF file.
    void PrintoutSaved(const QString& path);
    // "[2205]Pomoc" → "[2206]O programie": the About box, not modal.
    void onAboutChosen();
    // What the About box says: version, licence, the settings file, where
    // results are saved by default, the manual page.
    QString AboutText() const;
    // Toggles the correction tab (the service key chord).
    void ToggleCorrectionTab();

    // One message of the transmission thread, on the user-interface thread.
    void HandleMessage(Msg msg, const QString& text = {}, int wParam = 0);
    // The message log writer: appends unless equal to the last line.
    void AddMessageLine(const QString& line);

    // Read access for the program's other windows and for tests.
    ParameterModel& Model() { return model_; }
    ResultsStore& Results() { return results_; }
    // The program's other windows (see ProgramWindows).
    ProgramWindows& Windows() { return windows_; }
    Translator& TextTranslator() { return *translator; }
    ControlBindings& Controls() { return *controls; }
    TransmissionThread* Thread() { return thread; }
    const QString& Language() const { return language; }
    const QString& PortName() const { return portName; }
    const QString& StateText() const { return stateText; }
    int LastStateCode() const { return lastStateCode_; }
    int ConnectionState() const { return connState_; }
    bool ParamsReady() const { return paramsReady_; }
    QTabWidget* Tabs() const { return tabs; }
    RequestStrip* Strip() const { return strip_; }
    const QString& SettingsFilePath() const;

    // Sets the link (the port menu's choice): portName, the thread's link, the reset.
    void ChooseLink(const QString& name);

    // MainWindowLink.cpp: the link menu and the HID device changes.
    void FillPortMenu();
    void FillPortMenu(const QList<SerialPortEntry>& ports);
    // Checks the item that names `name` ignoring case and returns its caption (the
    // link's own spelling); `name` itself when no item matches.
    QString PortComSelected(const QString& name);
    // Serial adapters came or went: the port items anew, the checked one kept if still there.
    void RefreshPortMenu();
    // Where FillPortMenu() and RefreshPortMenu() get the system's serial ports from.
    std::function<QList<SerialPortEntry>()> SerialPorts = SystemSerialPorts;
    void onPortItemChosen(QAction* item);
    // A HID device arrived (true) or was removed (false); node is its device node.
    void onHidDeviceChanged(bool arrival, const QString& node = {});

    // MainWindowService.cpp
    void onZeroCountersClicked();
    void onResetClicked();
    void onReadParametersClicked();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // MainWindowLayout.cpp
    void BuildWindow();
    QWidget* BuildMeasurementsTab();
    QWidget* BuildRegistrationTab();
    QWidget* BuildDeviceTab();
    QWidget* BuildMessagesTab();
    QWidget* BuildServiceTab();
    QWidget* BuildCorrectionTab();
    void BuildMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildHelpMenu();

    // MainWindowMonitor.cpp
    void BindMonitorControls();
    int ChooseStateCode() const;

    // The thread's hand-overs of a log read, passed to the results tab. LogReadFailed is false
    // when the download gives up on a corrupted block: the caller treats it as NoResponse.
    void LogReadDone();
    void LogReadRefused();
    bool LogReadFailed();

    // MainWindowThread.cpp
    void CreateThread(const MainWindowOptions& options);
    // The parameter model's way to the thread (when it runs) and to the message log.
    void ConnectModel();
    void EndThread();
    // Queues a message to this window behind the thread's messages not yet handled.
    void QueueMessage(Msg msg, int wParam);
    int CurrentLinkState() const;
    QString CurrentLinkName() const;
    void StoreReadReply();
    // A write the logger refused (message WriteRefused) or a read-back showing another value than
    // was written: the operator is told, and the link stays as it is.
    void WriteRefused();
    void WriteConfirmed();
    void CheckReadBack();
    void ShowWriteRefusal(const WriteRefusal& refusal);
    void RebuildCounterTable();
    void FillHidList();

    // MainWindowArchive.cpp: the windows of the archive keeping (archive, change log, trusted
    // keys), its faults and its question before a new log.
    void BuildArchiveItems(QMenu* file);
    void BuildKeepingItems();
    void ConnectKeeping();
    void onArchiveChosen();
    void onChangeLogChosen();
    void onTrustedKeysChosen();
    void ShowArchiveBox(const QString& text);
    void AskBeforeNewLog(int records);
    // A logger was connected: a desk downloading on connection asks for its parameters at once.
    void LinkOpened();

    // MainWindowLink.cpp, MainWindowService.cpp
    void BuildPortMenuItems();
    void OfferStartLink(const QString& name);
    void SelectStartLink();
    bool IsListedLink(const QString& name) const;
    void StartDeviceWatcher();
    void ShowHidAccessDenied();
    void ShowPortError(bool accessDenied);
    // Qt's own texts (file and print dialogs, the buttons of message boxes) in the program's
    // language, from Qt's translations.
    void ApplyQtTexts();
    // The serial port did not open (wParam of PortOpenFailed: why); said when it starts or its
    // cause changes, never again on each of the thread's retries.
    void PortOpenFailed(int refusal);
    void ConnectServiceButtons();

    // The parameters a dialog shows and writes back.
    using DialogNeeds = std::vector<const Parameter*>;
    // Shows the dialog modally when every parameter it needs holds the logger's value.
    void OpenDialog(QWidget* dialog, const DialogNeeds& needs);
    void ShowParametersPending();
    // The seven parameter dialogs, as the monitor's reset closes them.
    void CloseParameterDialogs();
    // Every dialog and message box on the screen, rejected.
    void CloseOpenDialogs();
    void SetFastFrames(bool on);
    void ReadSettings();
    // Moves the window to a stored position if that is on a present screen.
    void PlaceWindow(const QPoint& stored);
    void WriteSettings();

    ParameterModel& model_;
    ResultsStore& results_;
    ProgramWindows windows_;

public:
    // Fields in the window's own order.
    std::unique_ptr<IniFile> settings;
    TransmissionThread* thread = nullptr;  // owned; ended and deleted by onDestroy
    std::unique_ptr<Translator> translator;
    // Numbered texts outside the window's own captions (dialogs, results, the thread's
    // status) in the window's language; installed into the application.
    ProgramTexts programTexts_;
    QTranslator qtTexts_;
    QString qtTextsLanguage_;  // the language qtTexts_ was loaded for
    QString portName;
    // The link chosen has had its port error box, or has opened: no further box until the
    // operator chooses a link again (a replug, an unplugged adapter are not told by boxes).
    bool portErrorShown = false;
    // Why the serial port is failing (wParam of PortOpenFailed), while it fails; nothing while open.
    std::optional<int> portRefusal;
    bool hidAbsentShown = false;
    bool hidDeniedShown = false;  // the box about a logger without access rights, once per episode
    bool hidUnusable = false;     // a logger is there whose reports do not fit the link
    QString stateText;
    QString language = kLanguagePolish;
    std::unique_ptr<ControlBindings> controls;

    // Controls (their object names are in chart/ObjectNames.h).
    QTabWidget* tabs = nullptr;
    QWidget *measurementsTab = nullptr, *registrationTab = nullptr, *deviceTab = nullptr, *messagesTab = nullptr,
            *serviceTab = nullptr, *correctionTab = nullptr;
    StatePanel* statePanel = nullptr;
    QPushButton *recordStartButton = nullptr, *recordStopButton = nullptr;
    QListWidget* messageList = nullptr;
    QListWidget* hidList = nullptr;
    QTreeWidget* errorCounters = nullptr;
    QTreeWidget* parameterList = nullptr;
    QLabel* linkStatusPanel = nullptr;
    QMenu* settingsMenu = nullptr;
    QAction *usbItem = nullptr, *exitItem = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* aboutItem = nullptr;
    QLabel* notePanel = nullptr;  // the status bar's last panel: short notes
    // "[2150]Szybki odczyt": replies end as soon as they are complete (FastFrames in the settings).
    QAction* fastFramesItem = nullptr;
    QAction* portItems[kPortMenuItems] = {};  // MenuCom1 … MenuCom6
    // After the six: the link this run started with when the system does not list it
    // (a pseudo-terminal given with --port, a port stored earlier), so it can be chosen again.
    QAction* otherPortItem = nullptr;

private:
    RequestStrip* strip_ = nullptr;
    // What the program asks the operator: the one handed in, else the window's own.
    std::unique_ptr<OperatorPrompts> ownPrompts_;
    OperatorPrompts* prompts_ = nullptr;
    std::unique_ptr<ArchiveKeeping> keeping_;
    ResultsTab* resultsTab_ = nullptr;  // a page of the tabs
    int lastStateCode_ = -1;
    int connState_ = CONN_NONE;
    bool paramsReady_ = false;
    bool keypad2Down_ = false;
    bool destroyed_ = false;
    bool created_ = false;
    bool shown_ = false;
    QString startResultsFile_;  // opened once the window is shown
    QLocale systemLocale_;
    QTimer* statusNoteTimer_ = nullptr;
    QPointer<QMessageBox> aboutBox_;
    const QEvent* lastKeyEvent_ = nullptr;
    QPointer<QWidget> lastKeyReceiver_;
    QString lastMessageLine_;
    // What the settings file held, written back instead of a link or language
    // given on the command line as long as the operator has not chosen another.
    QString storedPort_;
    QString storedLanguage_;
    bool portForThisRun_ = false;
    bool languageForThisRun_ = false;
    std::shared_ptr<class MessageBridge> bridge_;  // the thread's message target
    DeviceWatcher* watcher_ = nullptr;
    DeviceWatcher* ttyWatcher_ = nullptr;  // serial adapters coming and going
    QList<SerialPortEntry> systemPorts_;   // the ports the menu was last filled from
    QPointer<QMessageBox> portErrorBox_;   // the one port error box on screen
    QPointer<ArchiveWindow> archiveWindow_;
    QPointer<ChangeLogWindow> changeLogWindow_;
    QPointer<QDialog> trustedKeysDialog_;
    QPointer<QMessageBox> archiveBox_;  // the one archive fault box on screen
    QPointer<QMessageBox> newLogBox_;   // the one box asking before a new log
};

// Creates windows 2 to 11 (the main window exists already) into its table.
void CreateWindows(MainWindow* mainForm);
// Destroys them again (tests, and the end of the program).
void DestroyWindows(MainWindow& mainForm);

}  // namespace quorvex
