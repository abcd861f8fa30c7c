#pragma once
// The main window: tabs of the monitor, registration, results, device and the
// hidden service tabs; the settings file; the logger session and the
// translator it owns; the handlers of the session's signals.
//
// Each tab of the monitor builds its own widgets and bindings: MonitorTab, RegistrationTab,
// DeviceTab, MessagesTab, ServiceTab, CorrectionTab; LinkMenu holds the link items of the
// settings menu and what the operator was told about the link. The window builds the menus,
// holds the logger session and the other windows, and routes between them.
// Source files by subject: MainWindow.cpp (life cycle, language, dialog buttons, the logger
// state), MainWindowLayout.cpp (tabs, menus, tool and status bars), MainWindowSession.cpp
// (the logger session's signals, the link status, the thread's counters and HID list),
// MainWindowArchive.cpp (the archive's windows and boxes, routed to ArchiveKeeping),
// MainWindowResults.cpp (the status bar's notes), MainWindowHelp.cpp (the Help menu and the
// About box). The results tab is ResultsTab; keeping the archive, ArchiveKeeping.
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "params/DateTimeCodec.h"
#include "session/LoggerSession.h"
#include "settings/IniFile.h"
#include "ui/ArchiveWindow.h"
#include "ui/ChangeLogWindow.h"
#include "ui/PortMenu.h"
#include "ui/TabParts.h"

class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QTabWidget;
class QTimer;

namespace quorvex {

class Parameter;
struct WriteRefusal;
class HidBackend;
class IniFile;
class ControlBindings;
class CorrectionTab;
class DeviceTab;
class LinkMenu;
class MessagesTab;
class MonitorTab;
class RegistrationTab;
class ServiceTab;
class ParameterModel;
class ResultsStore;
class ParameterReadWindow;
class RequestStrip;
class ResultsTab;
class ArchiveKeeping;
class OperatorPrompts;
class TransmissionThread;

// Settings file keys.
inline const QString kWindowSection = QStringLiteral("Okno");
inline const QString kFastFramesKey = QStringLiteral("FastFrames");
constexpr int kDesignedLeft = 309;
constexpr int kDesignedTop = 169;
inline const QString kMainCaption = QStringLiteral("Quorvex v4.6");

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
    // The serial ports the link menu offers (default: the system's).
    std::shared_ptr<const SerialPortSource> serialPorts;
    // The desktop's locale: its language is the interface's on a first start,
    // before a language is stored in the settings file.
    QLocale systemLocale = QLocale::system();
    // What the program asks the operator (tests hand a scripted one); null: Qt's dialogs and boxes.
    OperatorPrompts* prompts = nullptr;
    // Where the signing key and the trusted keys live (a temporary folder in tests).
    QString keyFolder = UserSettingsFolder();
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
    // The state panel anew from the link, the connection and the logger.
    void UpdateLoggerState();
    void ShowLinkStatus();
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

    // The message log writer: appends unless equal to the last line.
    void AddMessageLine(const QString& line);

    // The tabs of the monitor and the link menu, for the program's parts and tests.
    MonitorTab& Monitor() { return *monitor_; }
    MessagesTab& Messages() { return *messages_; }
    ServiceTab& Service() { return *service_; }
    CorrectionTab& Correction() { return *correction_; }
    LinkMenu& Links() { return *links_; }

    // Read access for the program's other windows and for tests.
    ParameterModel& Model() { return model_; }
    ResultsStore& Results() { return results_; }
    // The program's other windows (see ProgramWindows).
    ProgramWindows& Windows() { return windows_; }
    Translator& TextTranslator() { return *translator_; }
    ControlBindings& Controls() { return *controls_; }
    // The logger session: the transmission thread (null when the window runs without one) and
    // the way the thread's messages come in.
    LoggerSession& Session() { return *session_; }
    TransmissionThread* Thread();
    const QString& Language() const { return language_; }
    const QString& StateText() const;
    int LastStateCode() const;
    int ConnectionState() const { return connState_; }
    bool ParamsReady() const { return paramsReady_; }
    QTabWidget* Tabs() const { return tabs_; }
    RequestStrip* Strip() const { return strip_; }
    const QString& SettingsFilePath() const;
    // The settings file, for the parts that keep their own sections in it (the rules).
    IniFile& SettingsFile() { return *settings_; }

    // Sets the link (the port menu's choice): the menu's tick, the thread's link, the reset.
    void ChooseLink(const QString& name);

    // A HID device arrived (true) or was removed (false); node is its device node: the
    // service tab's list anew, the thread told.
    void onHidDeviceChanged(bool arrival, const QString& node = {});

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // MainWindowLayout.cpp
    void BuildWindow(const MainWindowOptions& options);
    void BuildMenu(const MainWindowOptions& options);
    void BuildToolBar();
    void BuildStatusBar();
    void BuildHelpMenu();

    // The tabs' buttons to their dialogs, the state panel's to the logger.
    void ConnectTabs();
    int ChooseStateCode() const;

    // MainWindowSession.cpp
    // The session on the link chosen, its signals connected to the handlers below.
    void CreateSession(const MainWindowOptions& options);
    void EndSession();
    void OnLinkChanged(LinkEvent event);
    void OnParametersRead(const std::vector<const Parameter*>& changed);
    int CurrentLinkState() const;
    QString CurrentLinkName() const;
    // A write the logger refused or a read-back showing another value than was written: the
    // operator is told, and the link stays as it is.
    void ShowWriteRefusal(const WriteRefusal& refusal);
    void RebuildCounterTable();
    void FillHidList();
    // The service tab's buttons: zero the thread's counters, reset the logger.
    void ZeroCounters();
    void ResetLogger();

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

    void SelectStartLink();
    // Qt's own texts (file and print dialogs, the buttons of message boxes) in the program's
    // language, from Qt's translations.
    void ApplyQtTexts();
    // The serial port did not open (`refusal`: the thread's kPort… reason); said when it starts or its
    // cause changes, never again on each of the thread's retries.
    void PortOpenFailed(int refusal);

    // The parameters a dialog shows and writes back.
    using DialogNeeds = std::vector<const Parameter*>;
    // Shows the dialog modally when every parameter it needs holds the logger's value.
    void OpenDialog(QWidget* dialog, const DialogNeeds& needs);
    // The dialog a tab's change button opens.
    void OpenDialog(ParameterDialog which);
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

    std::unique_ptr<IniFile> settings_;
    std::unique_ptr<Translator> translator_;
    // Numbered texts outside the window's own captions (dialogs, results, the thread's
    // status) in the window's language; installed into the application.
    ProgramTexts programTexts_;
    QTranslator qtTexts_;
    QString qtTextsLanguage_;  // the language qtTexts_ was loaded for
    QString language_ = kLanguagePolish;
    std::unique_ptr<ControlBindings> controls_;  // the bindings every tab made
    // The tabs (their object names are in ui/ObjectNames.h) and the link items of the settings menu.
    QTabWidget* tabs_ = nullptr;
    MonitorTab* monitor_ = nullptr;
    RegistrationTab* registration_ = nullptr;
    ResultsTab* resultsTab_ = nullptr;
    DeviceTab* device_ = nullptr;
    MessagesTab* messages_ = nullptr;
    ServiceTab* service_ = nullptr;
    CorrectionTab* correction_ = nullptr;
    LinkMenu* links_ = nullptr;
    QLabel* linkStatusPanel_ = nullptr;  // the status bar's first panel: the link and its state
    QLabel* notePanel_ = nullptr;        // the status bar's last panel: short notes
    QMenu* settingsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* aboutItem_ = nullptr;
    QAction* exitItem_ = nullptr;
    // "[2150]Szybki odczyt": replies end as soon as they are complete (FastFrames in the settings).
    QAction* fastFramesItem_ = nullptr;

    RequestStrip* strip_ = nullptr;
    // What the program asks the operator: the one handed in, else the window's own.
    std::unique_ptr<OperatorPrompts> ownPrompts_;
    OperatorPrompts* prompts_ = nullptr;
    std::unique_ptr<ArchiveKeeping> keeping_;
    int connState_ = CONN_NONE;
    bool paramsReady_ = false;
    bool destroyed_ = false;
    bool created_ = false;
    bool shown_ = false;
    QString startResultsFile_;  // opened once the window is shown
    QLocale systemLocale_;
    QTimer* statusNoteTimer_ = nullptr;
    QPointer<QMessageBox> aboutBox_;
    // What the settings file held, written back instead of a link or language
    // given on the command line as long as the operator has not chosen another.
    QString storedPort_;
    QString storedLanguage_;
    bool portForThisRun_ = false;
    bool languageForThisRun_ = false;
    // The transmission thread and its messages; ended by onDestroy.
    std::unique_ptr<LoggerSession> session_;
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
