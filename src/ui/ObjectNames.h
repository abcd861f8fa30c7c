#pragma once
// The object names of the main window (its tabs, menus, tool and status bars, message boxes),
// the archive window and the change log window. They are handles that tests, the translator
// and outside checks find the widgets by, so the strings never change even where the C++
// names around them do. Names ending in %1 are patterns numbered from 1. Names another
// folder's windows share are in chart/SharedNames.h.

namespace quorvex::objname {

// Main window
inline constexpr char kMainWindow[] = "MainForm1";                 // the main window
inline constexpr char kCentralPanel[] = "PanelMain";               // the main window's central widget
inline constexpr char kTabs[] = "PageControl1";                    // the tab widget holding every page
inline constexpr char kMeasurementsTab[] = "TabSheet4";            // the Measurements tab
inline constexpr char kRegistrationTab[] = "TabSheet1";            // the Registration tab
inline constexpr char kResultsTab[] = "TabSheet2";                 // the Results tab
inline constexpr char kDeviceTab[] = "TabSheet5";                  // the Device tab
inline constexpr char kMessagesTab[] = "TabSheetKomunikaty";       // the Messages tab (hidden)
inline constexpr char kServiceTab[] = "TabSheetSerwis";            // the Service tab (hidden)
inline constexpr char kCorrectionTab[] = "TabSheetKorekta";        // the Correction tab (hidden)
inline constexpr char kMenuBar[] = "MainMenu1";                    // the menu bar
inline constexpr char kFileMenu[] = "MenuPlik";                    // the File menu
inline constexpr char kReadResultsItem[] = "MenuOpen";             // File: read results (hidden)
inline constexpr char kSaveResultsItem[] = "MenuSave";             // File: save results (hidden)
inline constexpr char kOpenResultsItem[] = "MenuOpenResults";      // File: open a results file
inline constexpr char kRecentMenu[] = "MenuOstatnie";              // File: the recent results files submenu
inline constexpr char kRecentMenuItem[] = "MenuOstatnieItem";      // the recent files submenu's own item
inline constexpr char kRecentNone[] = "MenuOstatnieBrak";          // the recent files submenu's "none" item
inline constexpr char kRecentFileItem[] = "MenuOstatni%1";         // one recent file item, numbered from 1
inline constexpr char kExitItem[] = "MenuClose";                   // File: exit
inline constexpr char kSettingsMenu[] = "MenuUstawienia";          // the Settings menu
inline constexpr char kUsbItem[] = "MenuUSB";                      // Settings: the USB link
inline constexpr char kPortItem[] = "MenuCom%1";                   // Settings: one serial port item, numbered from 1
inline constexpr char kOtherPortItem[] = "MenuComOther";           // Settings: the start link the system does not list
inline constexpr char kFastFramesItem[] = "MenuSzybkiOdczyt";      // Settings: fast reading
inline constexpr char kAutoReadItem[] = "MenuAutoOdczyt";          // Settings: download on connection
inline constexpr char kAutoFolderItem[] = "MenuAutoFolder";        // Settings: folder of automatic files
inline constexpr char kHelpMenu[] = "MenuPomoc";                   // the Help menu
inline constexpr char kAboutItem[] = "MenuAbout";                  // Help: about the program
inline constexpr char kAboutBox[] = "AboutBox";                    // the About box
inline constexpr char kPolishButton[] = "SpeedButtonLangPL";       // the tool bar's Polish flag
inline constexpr char kEnglishButton[] = "SpeedButtonLangEN";      // the tool bar's English flag
inline constexpr char kGermanButton[] = "SpeedButtonLangDE";       // the tool bar's German flag
inline constexpr char kStatusBar[] = "StatusBar1";                 // the status bar
inline constexpr char kLinkStatusPanel[] = "StatusBar1Panel0";     // status bar: the link and its state
inline constexpr char kRequestStrip[] = "StatusBar1Panel1";        // status bar: the strip of recent requests
inline constexpr char kNotePanel[] = "StatusBar1Panel2";           // status bar: short notes
inline constexpr char kParamsPendingBox[] = "ParamsPendingBox";    // box: the parameters are not read yet
inline constexpr char kResetRefusedBox[] = "ResetRefusedBox";      // box: the logger refused the reset
inline constexpr char kHidDeniedBox[] = "HidDeniedBox";            // box: no access to the USB logger
inline constexpr char kPortAccessBox[] = "PortAccessBox";          // box: no access to the serial port
inline constexpr char kPortErrorBox[] = "PortErrorBox";            // box: the serial port does not open
inline constexpr char kResultsMessageBox[] = "ResultsMessageBox";  // box: a message of the results tab
inline constexpr char kSaveResultsDialog[] = "SaveDialog1";        // the results file save dialog
inline constexpr char kOpenResultsDialog[] = "OpenDialog1";        // the results file open dialog
inline constexpr char kArchiveItem[] = "MenuArchiwum";             // File: the archive window
inline constexpr char kImportItem[] = "MenuImportuj";              // File: import results files into the archive
inline constexpr char kImportDialog[] = "OpenDialogImport";        // the file dialog choosing files to import
inline constexpr char kArchiveMessageBox[] = "ArchiveMessageBox";  // box: the archive failed or refused a file
inline constexpr char kEraseWarningBox[] = "EraseWarningBox";  // box: a new recording would erase unarchived records
inline constexpr char kDownloadFirstButton[] = "ButtonDownloadFirst";  // erase box: download, then start
inline constexpr char kStartAnywayButton[] = "ButtonStartAnyway";      // erase box: start, losing the records
inline constexpr char kCancelStartButton[] = "ButtonCancelStart";      // erase box: start nothing
inline constexpr char kArchiveWindow[] = "ArchiveWindow";              // the archive window
inline constexpr char kArchiveWhere[] = "LabelArchiveWhere";           // archive window: which archive it shows
inline constexpr char kArchiveFilterCaption[] = "LabelArchiveFilter";  // archive window: the filter's caption
inline constexpr char kArchiveFilter[] = "EditArchiveFilter";          // archive window: filter by name or serial
inline constexpr char kArchiveLoggersGroup[] = "GroupArchiveLoggers";  // archive window: the loggers' frame
inline constexpr char kArchiveLoggers[] = "TreeArchiveLoggers";        // archive window: the loggers
inline constexpr char kArchiveLogsGroup[] = "GroupArchiveLogs";        // archive window: the logs' frame
inline constexpr char kArchiveLogs[] = "TreeArchiveLogs";  // archive window: the chosen logger's logs and downloads
inline constexpr char kArchiveFromCaption[] = "LabelArchiveFrom";  // archive window: caption of the range's start
inline constexpr char kArchiveFrom[] = "DateTimeArchiveFrom";      // archive window: the range's first moment
inline constexpr char kArchiveToCaption[] = "LabelArchiveTo";      // archive window: caption of the range's end
inline constexpr char kArchiveTo[] = "DateTimeArchiveTo";          // archive window: the range's last moment
inline constexpr char kArchiveOpenButton[] = "ButtonArchiveOpen";  // archive window: opens the range in the results tab
inline constexpr char kChangeLogItem[] = "MenuDziennikZmian";      // File: the change log window
inline constexpr char kChangeLogWindow[] = "ChangeLogWindow";      // the change log window
inline constexpr char kChangeLogCheck[] = "LabelChangeLogCheck";   // change log window: what checking the chain found
inline constexpr char kChangeLogLogger[] = "ComboChangeLogLogger";     // change log window: the logger filter
inline constexpr char kChangeLogFrom[] = "DateChangeLogFrom";          // change log window: the period's first day
inline constexpr char kChangeLogTo[] = "DateChangeLogTo";              // change log window: the period's last day
inline constexpr char kChangeLogEntries[] = "TreeChangeLog";           // change log window: the entries
inline constexpr char kChangeLogPrintButton[] = "ButtonChangeLogPdf";  // change log window: print the list to PDF
inline constexpr char kSignFilesItem[] = "MenuPodpisujPliki";          // Settings: sign every written file
inline constexpr char kTrustedKeysItem[] = "MenuZaufaneKlucze";        // Settings: the trusted keys dialog

// Measurements tab
inline constexpr char kNameField[] = "EditMonitorNazwaLoggera";                // the logger's name
inline constexpr char kChangeNameButton[] = "ButtonZmienNazwaLoggera";         // opens the logger name dialog
inline constexpr char kClockGroup[] = "GroupBoxZegar";                         // the logger clock group
inline constexpr char kDateCaption[] = "LabelMonitorAktualnaData";             // caption of the logger's date
inline constexpr char kDateField[] = "EditMonitorAktualnaData";                // the logger's date
inline constexpr char kTimeCaption[] = "LabelMonitorAktualnyCzas";             // caption of the logger's time
inline constexpr char kTimeField[] = "EditMonitorAktualnyCzas";                // the logger's time
inline constexpr char kSetClockButton[] = "ButtonUstawZegar";                  // opens the clock dialog
inline constexpr char kTemperatureGroup[] = "GroupBoxTemperatura";             // the temperature group
inline constexpr char kTemperatureField[] = "EditMonitorAktualnaTemperatura";  // the current temperature
// unit of the current temperature
inline constexpr char kTemperatureUnit[] = "LabelMonitorAktualnaTemperatura2";
// caption of the upper temperature threshold
inline constexpr char kHighTempCaption[] = "LabelMonitorTemperaturaGornyProg";
// the upper temperature threshold
inline constexpr char kHighTempField[] = "EditMonitorTemperaturaGornyProg";
// unit of the upper temperature threshold
inline constexpr char kHighTempUnit[] = "LabelMonitorTemperaturaGornyProg2";
// caption of the lower temperature threshold
inline constexpr char kLowTempCaption[] = "LabelMonitorTemperaturaDolnyProg";
inline constexpr char kLowTempField[] = "EditMonitorTemperaturaDolnyProg";  // the lower temperature threshold
// unit of the lower temperature threshold
inline constexpr char kLowTempUnit[] = "LabelMonitorTemperaturaDolnyProg2";
// opens the temperature thresholds dialog
inline constexpr char kTempThresholdsButton[] = "ButtonZmienProgiTemp";
inline constexpr char kHumidityGroup[] = "GroupBoxWilgotnosc";              // the humidity group
inline constexpr char kHumidityField[] = "EditMonitorAktualnaWilgotnosc";   // the current humidity
inline constexpr char kHumidityUnit[] = "LabelMonitorAktualnaWilgotnosc2";  // unit of the current humidity
// caption of the upper humidity threshold
inline constexpr char kHighHumCaption[] = "LabelMonitorWilgotnoscGornyProg";
inline constexpr char kHighHumField[] = "EditMonitorWilgotnoscGornyProg";  // the upper humidity threshold
// unit of the upper humidity threshold
inline constexpr char kHighHumUnit[] = "LabelMonitorWilgotnoscGornyProg2";
// caption of the lower humidity threshold
inline constexpr char kLowHumCaption[] = "LabelMonitorWilgotnoscDolnyProg";
inline constexpr char kLowHumField[] = "EditMonitorWilgotnoscDolnyProg";  // the lower humidity threshold
// unit of the lower humidity threshold
inline constexpr char kLowHumUnit[] = "LabelMonitorWilgotnoscDolnyProg2";
// opens the humidity thresholds dialog
inline constexpr char kHumThresholdsButton[] = "ButtonZmienProgiWilgotnosc";
inline constexpr char kStateGroup[] = "GroupBoxStanLoggera";    // the logger state group
inline constexpr char kStatePanel[] = "PaintBoxStanLoggera";    // the logger state text
inline constexpr char kRecordStartButton[] = "ButtonLogStart";  // starts recording
inline constexpr char kRecordStopButton[] = "ButtonLogStop";    // stops recording

// Registration tab
inline constexpr char kRegistrationGroup[] = "GroupBoxRejestracja";       // the start and recording group
inline constexpr char kStartDateField[] = "EditMonitorDataLogowania";     // the recording start date
inline constexpr char kStartTimeField[] = "EditMonitorCzasLogowania";     // the recording start time
inline constexpr char kButtonStartMode[] = "RadioButtonStart0";           // start mode: by the logger's button
inline constexpr char kImmediateStartMode[] = "RadioButtonStart1";        // start mode: from the computer at once
inline constexpr char kTimedStartMode[] = "RadioButtonStart2";            // start mode: at the set moment
inline constexpr char kStopWhenFullMode[] = "RadioButtonWrap0";           // full memory: stop
inline constexpr char kOverwriteMode[] = "RadioButtonWrap1";              // full memory: overwrite
inline constexpr char kChangeStartButton[] = "ButtonZmienLogStart";       // opens the start dialog
inline constexpr char kSavingGroup[] = "GroupBoxParametryZapisu";         // the saving parameters group
inline constexpr char kIntervalCaption[] = "LabelMonitorCzestoscZapisu";  // caption of the save interval
inline constexpr char kIntervalField[] = "EditMonitorCzestoscZapisu";     // the save interval
// caption of the number of saved measurements
inline constexpr char kSavedCountCaption[] = "LabelMonitorLiczbaPomiarow";
inline constexpr char kSavedCountField[] = "EditMonitorLiczbaPomiarow";  // the number of saved measurements
inline constexpr char kChangeIntervalButton[] = "ButtonZmienFreqSave";   // opens the save interval dialog

// Results tab
inline constexpr char kResultsTable[] = "ListViewWyniki";           // the table of downloaded records
inline constexpr char kLoggerList[] = "ListViewLogger";             // the facts of the logger the results came from
inline constexpr char kSummaryList[] = "ListViewPodsumowanie";      // the summary of the results
inline constexpr char kDownloadGroup[] = "GroupBoxStatus";          // the download status group
inline constexpr char kDownloadProgress[] = "ProgressBarLogCount";  // the download's progress
inline constexpr char kDownloadStatusList[] = "ListBoxStatus";      // the download's status lines
inline constexpr char kResultsButtons[] = "PanelWynikiPrzyciski";   // the column of results buttons
inline constexpr char kStartReadButton[] = "ButtonStart";           // starts the download afresh
inline constexpr char kStopReadButton[] = "ButtonStop";             // interrupts the download
inline constexpr char kRetryReadButton[] = "ButtonRetry";           // resumes the download
inline constexpr char kNewReadButton[] = "ButtonNowe";              // downloads only what the archive lacks
inline constexpr char kChartButton[] = "ButtonChart";               // shows the chart
inline constexpr char kPrintTableButton[] = "ButtonPrintTable";     // prints the table
inline constexpr char kSaveResultsButton[] = "ButtonSaveResults";   // saves the results to a file

// Evaluation rules, the PDF report and the dew point
inline constexpr char kRulesItem[] = "MenuReguly";                     // Settings: the evaluation rules dialog
inline constexpr char kDewPointFilesItem[] = "MenuPunktRosyWPlikach";  // Settings: the dew point in CSV files
inline constexpr char kReportItem[] = "MenuRaportPdf";                 // File: the PDF report
inline constexpr char kReportButton[] = "ButtonReport";                // results tab: writes the PDF report
inline constexpr char kReportDialog[] = "SaveDialogReport";            // the report's save dialog
inline constexpr char kReportTableChoice[] = "ComboBoxReportTable";    // report save dialog: which table

// Device tab
inline constexpr char kDeviceGroup[] = "GroupBoxUrzadzenie";          // the device parameters group
inline constexpr char kTypeCaption[] = "LabelMonitorTyp";             // caption of the device type
inline constexpr char kTypeField[] = "EditMonitorTyp";                // the device type
inline constexpr char kSerialCaption[] = "LabelMonitorNumerSeryjny";  // caption of the serial number
inline constexpr char kSerialField[] = "EditMonitorNumerSeryjny";     // the serial number
inline constexpr char kMadeCaption[] = "LabelMonitorDataProdukcji";   // caption of the production date
inline constexpr char kMadeField[] = "EditMonitorDataProdukcji";      // the production date
// caption of the firmware version
inline constexpr char kFirmwareCaption[] = "LabelMonitorWersjaOprogramowania";
inline constexpr char kFirmwareField[] = "EditlMonitorWersjaOprogramowania";  // the firmware version
inline constexpr char kBatteryCaption[] = "LabelMonitorStanBaterii";          // caption of the battery state
inline constexpr char kBatteryField[] = "EditMonitorStanBaterii";             // the battery state
// caption of the measurements since the start
inline constexpr char kMeasuredCaption[] = "LabelMonitorIloscPomiarow";
inline constexpr char kMeasuredField[] = "EditMonitorIloscPomiarow";  // the measurements since the start

// Messages and service tabs
inline constexpr char kMessageList[] = "MessageListBox";                  // the message log
inline constexpr char kErrorsGroup[] = "GroupBox2";                       // the transmission errors group
inline constexpr char kErrorCounters[] = "ValueListEditorModbusErrors";   // the transmission error counters
inline constexpr char kZeroButton[] = "ButtonZeruj";                      // zeroes the error counters
inline constexpr char kResetButton[] = "ButtonReset";                     // resets the logger
inline constexpr char kParameterList[] = "ListViewParametry";             // the list of every parameter
inline constexpr char kReadParametersButton[] = "ButtonListaParametrow";  // reads the list of parameters
inline constexpr char kHidGroup[] = "GroupBox7";                          // the HID devices group
inline constexpr char kHidList[] = "ListBoxListaHID";                     // the HID devices present

// Correction tab
inline constexpr char kCorrectionGroup[] = "GroupBoxTemperatura2";           // the correction group
inline constexpr char kCorrTempCaption[] = "LabelKorektaTemperatura";        // caption of the current temperature
inline constexpr char kCorrTempField[] = "EditMonitorAktualnaTemperatura2";  // the current temperature
// unit of the current temperature
inline constexpr char kCorrTempUnit[] = "LabelMonitorAktualnaTemperatura3";
inline constexpr char kCorrHumCaption[] = "LabelKorektaWilgotnosc";        // caption of the current humidity
inline constexpr char kCorrHumField[] = "EditMonitorAktualnaWilgotnosc2";  // the current humidity
inline constexpr char kCorrHumUnit[] = "LabelMonitorAktualnaWilgotnosc3";  // unit of the current humidity
// caption of the temperature correction
inline constexpr char kTempCorrectionCaption[] = "LabelMonitorTemperaturaKorekta";
inline constexpr char kTempCorrectionField[] = "EditMonitorTemperaturaKorekta";  // the temperature correction
// unit of the temperature correction
inline constexpr char kTempCorrectionUnit[] = "LabelMonitorTemperaturaKorekta2";
// caption of the humidity correction
inline constexpr char kHumCorrectionCaption[] = "LabelMonitorWilgotnoscKorekta";
inline constexpr char kHumCorrectionField[] = "EditMonitorWilgotnoscKorekta";  // the humidity correction
// unit of the humidity correction
inline constexpr char kHumCorrectionUnit[] = "LabelMonitorWilgotnoscKorekta2";
inline constexpr char kCorrectionButton[] = "ButtonKorektaTempHum";  // opens the correction dialog

// Every name above, for checks that span them all.
inline constexpr const char* kUiNames[] = {
    kMainWindow,
    kCentralPanel,
    kTabs,
    kMeasurementsTab,
    kRegistrationTab,
    kResultsTab,
    kDeviceTab,
    kMessagesTab,
    kServiceTab,
    kCorrectionTab,
    kMenuBar,
    kFileMenu,
    kReadResultsItem,
    kSaveResultsItem,
    kOpenResultsItem,
    kRecentMenu,
    kRecentMenuItem,
    kRecentNone,
    kRecentFileItem,
    kExitItem,
    kSettingsMenu,
    kUsbItem,
    kPortItem,
    kOtherPortItem,
    kFastFramesItem,
    kAutoReadItem,
    kAutoFolderItem,
    kHelpMenu,
    kAboutItem,
    kAboutBox,
    kPolishButton,
    kEnglishButton,
    kGermanButton,
    kStatusBar,
    kLinkStatusPanel,
    kRequestStrip,
    kNotePanel,
    kParamsPendingBox,
    kResetRefusedBox,
    kHidDeniedBox,
    kPortAccessBox,
    kPortErrorBox,
    kResultsMessageBox,
    kSaveResultsDialog,
    kOpenResultsDialog,
    kArchiveItem,
    kImportItem,
    kImportDialog,
    kArchiveMessageBox,
    kEraseWarningBox,
    kDownloadFirstButton,
    kStartAnywayButton,
    kCancelStartButton,
    kArchiveWindow,
    kArchiveWhere,
    kArchiveFilterCaption,
    kArchiveFilter,
    kArchiveLoggersGroup,
    kArchiveLoggers,
    kArchiveLogsGroup,
    kArchiveLogs,
    kArchiveFromCaption,
    kArchiveFrom,
    kArchiveToCaption,
    kArchiveTo,
    kArchiveOpenButton,
    kChangeLogItem,
    kChangeLogWindow,
    kChangeLogCheck,
    kChangeLogLogger,
    kChangeLogFrom,
    kChangeLogTo,
    kChangeLogEntries,
    kChangeLogPrintButton,
    kSignFilesItem,
    kTrustedKeysItem,
    kNameField,
    kChangeNameButton,
    kClockGroup,
    kDateCaption,
    kDateField,
    kTimeCaption,
    kTimeField,
    kSetClockButton,
    kTemperatureGroup,
    kTemperatureField,
    kTemperatureUnit,
    kHighTempCaption,
    kHighTempField,
    kHighTempUnit,
    kLowTempCaption,
    kLowTempField,
    kLowTempUnit,
    kTempThresholdsButton,
    kHumidityGroup,
    kHumidityField,
    kHumidityUnit,
    kHighHumCaption,
    kHighHumField,
    kHighHumUnit,
    kLowHumCaption,
    kLowHumField,
    kLowHumUnit,
    kHumThresholdsButton,
    kStateGroup,
    kStatePanel,
    kRecordStartButton,
    kRecordStopButton,
    kRegistrationGroup,
    kStartDateField,
    kStartTimeField,
    kButtonStartMode,
    kImmediateStartMode,
    kTimedStartMode,
    kStopWhenFullMode,
    kOverwriteMode,
    kChangeStartButton,
    kSavingGroup,
    kIntervalCaption,
    kIntervalField,
    kSavedCountCaption,
    kSavedCountField,
    kChangeIntervalButton,
    kResultsTable,
    kLoggerList,
    kSummaryList,
    kDownloadGroup,
    kDownloadProgress,
    kDownloadStatusList,
    kResultsButtons,
    kStartReadButton,
    kStopReadButton,
    kRetryReadButton,
    kNewReadButton,
    kChartButton,
    kPrintTableButton,
    kSaveResultsButton,
    kRulesItem,
    kDewPointFilesItem,
    kReportItem,
    kReportButton,
    kReportDialog,
    kReportTableChoice,
    kDeviceGroup,
    kTypeCaption,
    kTypeField,
    kSerialCaption,
    kSerialField,
    kMadeCaption,
    kMadeField,
    kFirmwareCaption,
    kFirmwareField,
    kBatteryCaption,
    kBatteryField,
    kMeasuredCaption,
    kMeasuredField,
    kMessageList,
    kErrorsGroup,
    kErrorCounters,
    kZeroButton,
    kResetButton,
    kParameterList,
    kReadParametersButton,
    kHidGroup,
    kHidList,
    kCorrectionGroup,
    kCorrTempCaption,
    kCorrTempField,
    kCorrTempUnit,
    kCorrHumCaption,
    kCorrHumField,
    kCorrHumUnit,
    kTempCorrectionCaption,
    kTempCorrectionField,
    kTempCorrectionUnit,
    kHumCorrectionCaption,
    kHumCorrectionField,
    kHumCorrectionUnit,
    kCorrectionButton,
};

}  // namespace quorvex::objname
