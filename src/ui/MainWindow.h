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
// MainWindowResults.cpp (the results tab: log download, chart, results file),
// MainWindowFiles.cpp (recent results files, the status bar's notes), MainWindowHelp.cpp
// (the Help menu and the About box).
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
#include "logs/LogDownloadView.h"
#include "params/DateTimeCodec.h"
#include "print/Report.h"
#include "session/LoggerSession.h"
#include "settings/IniFile.h"
#include "settings/RecentFiles.h"
#include "sign/FileSigner.h"
#include "ui/ArchiveWindow.h"
#include "ui/ChangeLogWindow.h"
#include "ui/PortMenu.h"
#include "ui/TabParts.h"

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
class CorrectionTab;
class DeviceTab;
class LinkMenu;
class MessagesTab;
class MonitorTab;
class RegistrationTab;
class ServiceTab;
class ParameterModel;
class LogDownload;
class ResultsModel;
class ResultsStore;
class ParameterReadWindow;
class RequestStrip;
class ResultsTabView;
class ChartWindow;
class StatePanel;
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
    // Results tab (MainWindowResults.cpp).
    void onChartClicked();
    void onPrintTableClicked();
    void onSaveResultsClicked();
    // "Plik" → "[2120]Otwórz plik wyników…" (Ctrl+O): asks for a file and opens it.
    void onOpenResultsChosen();
    // Reads a results file into a spare store and, only when all of it was
    // good, shows it in place of the results so far; otherwise a box names the
    // file and the line, and everything shown stays. False when not opened.
    bool OpenResultsFile(const QString& path);
    // A file of "Plik" → "[2207]Ostatnio otwierane": opened, or, when it is
    // gone, dropped from the list with a box that says so.
    bool OpenRecentFile(const QString& path);
    // The results files opened last, most recent first.
    const QStringList& RecentResultsFiles() const { return recent_.Files(); }
    // Drops the files that are gone and rebuilds the recent files menu.
    void RefreshRecentMenu();
    // A short note in the status bar's last panel, gone after a while.
    void ShowStatusNote(const QString& text);
    // The note after a printout was written to a PDF file.
    void PrintoutSaved(const QString& path);
    // "[2205]Pomoc" → "[2206]O programie": the About box, not modal.
    void onAboutChosen();
    // What the About box says: version, licence, the settings file, where
    // results are saved by default, the manual page.
    QString AboutText() const;
    // The folder the results save dialog starts in.
    QString ResultsFolder() const;

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

    // The modal parts of the results tab, replaceable so tests are not held up
    // by them. AskSavePath gets the remembered folder and the proposed file
    // name and returns the chosen path ("" = cancelled); ShowBox shows a
    // translated message box without waiting for it.
    // The chosen path has the extension of the chosen file type.
    std::function<QString(const QString& folder, const QString& fileName)> AskSavePath;
    // AskOpenPath gets the remembered folder and returns the file to open ("" = cancelled).
    std::function<QString(const QString& folder)> AskOpenPath;
    std::function<void(LogDownloadView::BoxIcon, const QString& caption, const QString& text)> ShowBox;
    // Where the signing key and the trusted keys live (a temporary folder in tests).
    QString keyFolder = UserSettingsFolder();
    // Signs the files the window writes, as "[2569]Podpisuj zapisywane pliki" says.
    FileSigner Signer();
    // Settings → "[2559]Zaufane klucze…": the trusted keys dialog, made on first use.
    void onTrustedKeysChosen();
    QPointer<QDialog> trustedKeysDialog;
    ResultsTabView& ResultsView() { return *resultsView_; }
    // A HID device arrived (true) or was removed (false); node is its device node: the
    // service tab's list anew, the thread told.
    void onHidDeviceChanged(bool arrival, const QString& node = {});

    // MainWindowArchive.cpp: every download kept in the archive as it arrives.
    // Null when the program runs without one (none chosen, or it could not be opened).
    Archive* DownloadArchive() const { return archive_.get(); }
    // "Plik" → "[2310]Archiwum…": the archive window, made on first use.
    void onArchiveChosen();
    ArchiveWindow* ArchiveBrowser() const { return archiveWindow_; }
    // An archived log (between two moments on the logger clock when given) read into a spare
    // store and shown in place of the results, as opening a file does. False when not shown.
    bool OpenArchivedLog(std::int64_t log, std::optional<Moment> from, std::optional<Moment> to);
    // "Plik" → "[2311]Importuj do archiwum…": asks for results files and imports them.
    void onImportChosen();
    void ImportResultsFiles(const QStringList& paths);
    // The change log: every write to the logger (through the model) and every download, import,
    // file and report goes into it; other parts add theirs (a signature, a file written) here.
    // Without an archive nothing is kept; a failure is said as the archive's faults are.
    void RecordChange(ChangeEntry entry);
    // "Plik" → "[2573]Dziennik zmian…": the change log window, made on first use.
    void onChangeLogChosen();
    ChangeLogWindow* ChangeLogBrowser() const { return changeLogWindow_; }
    // Gets the remembered folder and returns the files to import (none = cancelled).
    std::function<QStringList(const QString& folder)> AskImportPaths;
    // Asks whether a file changed after signing goes into the archive all the same (`text`
    // names it and what changed); a box unless a test sets it.
    std::function<bool(const QString& text)> ConfirmChangedImport;
    // Runs `start`, a command that makes the logger begin a new log, at once when that loses
    // no record; otherwise first asks whether to download, start anyway or cancel.
    void GuardNewLog(const std::function<void()>& start);

    // MainWindowReport.cpp: the PDF report of the results shown, the evaluation rules, the
    // dew point in saved files.
    // "[2442]Raport PDF…" (File menu and results tab): asks where, with which table, and writes it.
    void onReportChosen();
    // Gets the remembered folder, the proposed name and the table last chosen; returns the
    // path ("" = cancelled) and leaves the chosen table in `table`.
    std::function<QString(const QString& folder, const QString& fileName, ReportTable& table)> AskReportPath;
    // What the report says of where the results shown came from.
    ReportSource ShownResultsSource() const;
    // "[40]Ustawienia" → "[2411]Reguły oceny…": the rules dialog, opened without waiting.
    void onRulesChosen();
    // "[2464]Punkt rosy w plikach CSV": the CSV files written gain the dew point column.
    void SetDewPointInFiles(bool on);

    // MainWindowAuto.cpp: reading only what is new, by the button or when a logger is connected.
    // Starts a read of what the archive lacks of the logger's log; `automatic`: the unattended
    // one, which writes the results file into AutoFolder() and notifies the desktop when done.
    void StartNewDownload(bool automatic);
    // Settings → "[2485]Folder plików wyników…": asks for the folder of the automatic files.
    void onAutoFolderChosen();
    QString AutoFolder() const;
    // The archive holds part of the connected logger's current log ("[2483]Pobierz nowe" can be used).
    bool ArchivedPart() const { return archivedPart_; }
    // The desktop notification (title, body); replaceable so tests see what is said.
    std::function<void(const QString& title, const QString& body)> Notify;
    // Gets the folder chosen so far and returns the one chosen ("" = cancelled).
    std::function<QString(const QString& folder)> AskAutoFolder;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // MainWindowLayout.cpp
    void BuildWindow(const MainWindowOptions& options);
    QWidget* BuildResultsTab();
    void BuildMenu(const MainWindowOptions& options);
    void BuildToolBar();
    void BuildStatusBar();
    void BuildHelpMenu();
    void RebuildRecentMenu();

    // The tabs' buttons to their dialogs, the state panel's to the logger.
    void ConnectTabs();
    int ChooseStateCode() const;

    // MainWindowResults.cpp
    void CreateLogDownload();
    void RememberFolder(const QString& path);
    void ShowResultsTab();
    void EndLogDownload();
    ChartWindow* FindChartWindow() const;
    // Results read into a spare store (a file, the archive) take the place of those shown.
    void ShowOpenedResults(ResultsStore& opened);
    // MainWindowReport.cpp: the report button, the rules in the summary, the menu items' state.
    void ConnectReport();
    // What the archive knows of how an archived log came (its latest download, or its file).
    ReportSource ArchivedLogSource(std::int64_t log, const QString& serial);

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

    // MainWindowArchive.cpp
    void OpenArchive(const QString& given);
    // The archive to write into, made where it is missing (a download or an import keeps its
    // records, a write to the logger its entry); null when there is none or it cannot be made.
    Archive* WritableArchive();
    void ArchiveChanged();
    void ArchiveReported(const ArchiveText& text);
    void ShowArchiveBox(const QString& text);
    void AskBeforeNewLog(int records, const std::function<void()>& start);
    void DownloadThenStart(std::function<void()> start);
    void DownloadForStartEnded();
    // What keeps the downloads in the archive (and knows the last one).
    const class DownloadArchiver& Archiver() const;

    // MainWindowAuto.cpp
    void BuildAutoDownloadItems();
    void ApplyAutoDownloadSettings();
    void RefreshArchivedPart();
    void ParamsBecameReady();
    void NewDownloadEnded();
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
    QWidget* resultsTab_ = nullptr;
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

public:
    std::unique_ptr<LogDownload> logs;
    QAction *readResultsItem = nullptr, *saveResultsItem = nullptr;
    QAction* openResultsItem = nullptr;
    QAction *archiveItem = nullptr, *importItem = nullptr, *changeLogItem = nullptr;
    QAction *reportItem = nullptr, *rulesItem = nullptr, *dewPointFilesItem = nullptr;
    QMenu* recentMenu = nullptr;  // the recent results files
    // "[2569]Podpisuj zapisywane pliki" (Enabled in [Signing], on by default); the trusted keys dialog.
    QAction *signFilesItem = nullptr, *trustedKeysItem = nullptr;
    // "[2484]Pobieraj automatycznie po podłączeniu" (AutoDownload) and its folder (AutoFolder).
    QAction *autoDownloadItem = nullptr, *autoFolderItem = nullptr;

private:
    RequestStrip* strip_ = nullptr;
    ResultsModel* resultsModel_ = nullptr;
    std::unique_ptr<ResultsTabView> resultsView_;
    int connState_ = CONN_NONE;
    bool paramsReady_ = false;
    bool destroyed_ = false;
    bool created_ = false;
    bool shown_ = false;
    QString startResultsFile_;  // opened once the window is shown
    QLocale systemLocale_;
    RecentFiles recent_;
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
    // Shared pointers: their types are complete only where they are made (MainWindowArchive.cpp).
    std::shared_ptr<Archive> archive_;
    // The archive chosen but not there yet: made by the first write (WritableArchive), said
    // by whatever only reads it.
    std::optional<ArchiveLocation> missingArchive_;
    ArchiveText archiveProblem_;
    std::shared_ptr<class WindowArchiver> archiver_;  // the log download's observer
    QPointer<ArchiveWindow> archiveWindow_;
    QPointer<ChangeLogWindow> changeLogWindow_;
    QPointer<QMessageBox> archiveBox_;  // the one archive fault box on screen
    QPointer<QMessageBox> newLogBox_;   // the one box asking before a new log
    // Where opened results came from (a file, an archived log), for the report; a
    // download's facts are taken when the report is written.
    ReportSource openedSource_;
    QDateTime downloadEnded_;  // when the last download finished, stopped or broke off
    // The command a "Download first" holds back until the download has ended.
    std::function<void()> startAfterDownload_;
    bool archivedPart_ = false;     // see ArchivedPart()
    bool autoDownloading_ = false;  // the running read is the unattended one
};

// Creates windows 2 to 11 (the main window exists already) into its table.
void CreateWindows(MainWindow* mainForm);
// Destroys them again (tests, and the end of the program).
void DestroyWindows(MainWindow& mainForm);

}  // namespace quorvex
