#pragma once
// The object names of the parameter dialogs, the rules, report and trusted keys dialogs and
// the parameter read window: stable handles for tests, the translator and outside checks.
// Names the main window shares with a dialog are in chart/SharedNames.h.

namespace quorvex::objname {

// Main window
inline constexpr char kTrustedKeysDialog[] = "TrustedKeysDialog";        // the trusted public keys
inline constexpr char kTrustedKeysList[] = "TreeTrustedKeys";            // trusted keys: id and file of each key
inline constexpr char kTrustedKeysImport[] = "ButtonTrustedKeysImport";  // trusted keys: imports a public key file
inline constexpr char kTrustedKeysRemove[] = "ButtonTrustedKeysRemove";  // trusted keys: removes the chosen key
inline constexpr char kTrustedKeysClose[] = "ButtonTrustedKeysClose";    // trusted keys: closes the dialog

// Evaluation rules, the PDF report and the dew point
inline constexpr char kRulesDialog[] = "FormReguly";             // the evaluation rules dialog
inline constexpr char kRulesTable[] = "TableReguly";             // rules dialog: one row a rule
inline constexpr char kRulesNote[] = "LabelReguly";              // rules dialog: what an empty table means
inline constexpr char kAddRuleButton[] = "ButtonDodajRegule";    // rules dialog: adds a row
inline constexpr char kRemoveRuleButton[] = "ButtonUsunRegule";  // rules dialog: removes the chosen row

// Dialogs: shared
inline constexpr char kSaveButton[] = "ButtonSave";          // a dialog's save button
inline constexpr char kCancelButton[] = "ButtonCancel";      // the humidity thresholds dialog's cancel button
inline constexpr char kDateEdit[] = "DateTimeAktualnaData";  // the date picker (clock and start dialogs)
inline constexpr char kTimeEdit[] = "DateTimeAktualnyCzas";  // the time picker (clock and start dialogs)
inline constexpr char kFieldsGroup[] = "GroupBox3";          // the fields group (clock and save interval dialogs)
inline constexpr char kPollTimer[] = "Timer1";               // the polling timer (clock dialog, parameter read window)

// Clock dialog
inline constexpr char kClockDialog[] = "FormZegar1";                  // the clock dialog
inline constexpr char kClockDateCaption[] = "LabelAktualnaData";      // caption of the date picker
inline constexpr char kClockTimeCaption[] = "LabelAktualnyCzas";      // caption of the time picker
inline constexpr char kComputerTimeCheck[] = "CheckBoxComputerTime";  // take the computer's clock
inline constexpr char kLoggerTimeCheck[] = "CheckBoxLoggerTime";      // follow the logger's clock

// Correction dialog
inline constexpr char kCorrectionDialog[] = "FormKorekcja";  // the correction dialog
inline constexpr char kCorrTempEdit[] = "EditTemp";          // the temperature correction
inline constexpr char kCorrTempUnitLabel[] = "Label2";       // unit of the temperature correction
inline constexpr char kCorrHumLabel[] = "Label3";            // caption of the humidity correction
inline constexpr char kCorrHumEdit[] = "EditHum";            // the humidity correction
inline constexpr char kCorrHumUnitLabel[] = "Label4";        // unit of the humidity correction

// Logger name dialog
inline constexpr char kLoggerNameDialog[] = "FormNazwa1";  // the logger name dialog
inline constexpr char kNameEdit[] = "EditNazwa";           // the new name

// Parameter read window
// the window shown while the parameters are read
inline constexpr char kParameterReadWindow[] = "FormOdczytParam1";
inline constexpr char kReadProgress[] = "ProgressBar1";  // the parameters read so far

// Save interval dialog
inline constexpr char kSaveIntervalDialog[] = "FormFreqSave1";  // the save interval dialog
inline constexpr char kIntervalLabel[] = "Label";               // caption of the interval
inline constexpr char kDaysSpin[] = "UpDown1";                  // the days of the interval
inline constexpr char kDaysEdit[] = "Edit1";                    // the days spin box's own edit
inline constexpr char kHoursEdit[] = "DateTime";                // hours, minutes and seconds of the interval

// Start dialog
inline constexpr char kStartDialog[] = "FormStartLog1";             // the start dialog
inline constexpr char kStartMomentGroup[] = "GroupBoxTrybStartu2";  // the start moment and mode group
inline constexpr char kButtonStartRadio[] = "RadioButtonSU1";       // start mode: by the logger's button
inline constexpr char kImmediateStartRadio[] = "RadioButtonSU2";    // start mode: from the computer at once
inline constexpr char kTimedStartRadio[] = "RadioButtonSU3";        // start mode: at the set moment
inline constexpr char kStopWhenFullRadio[] = "RadioButtonPZ1";      // full memory: stop
inline constexpr char kOverwriteRadio[] = "RadioButtonPZ2";         // full memory: overwrite

// Threshold dialogs
inline constexpr char kTemperatureDialog[] = "FormTemperatura";  // the temperature thresholds dialog
inline constexpr char kHumidityDialog[] = "FormWilgotnosc";      // the humidity thresholds dialog
inline constexpr char kUpperLabel[] = "LabelUpper";              // caption of the upper threshold
inline constexpr char kUpperEdit[] = "EditUpperLimit";           // the upper threshold
inline constexpr char kUpperUnitLabel[] = "LabelUpperUnit";      // unit of the upper threshold
inline constexpr char kLowerLabel[] = "LabelLower";              // caption of the lower threshold
inline constexpr char kLowerEdit[] = "EditLowerLimit";           // the lower threshold
inline constexpr char kLowerUnitLabel[] = "LabelLowerUnit";      // unit of the lower threshold

// Every name above, for checks that span them all.
inline constexpr const char* kDialogNames[] = {
    kTrustedKeysDialog, kTrustedKeysList,    kTrustedKeysImport, kTrustedKeysRemove, kTrustedKeysClose,
    kRulesDialog,       kRulesTable,         kRulesNote,         kAddRuleButton,     kRemoveRuleButton,
    kSaveButton,        kCancelButton,       kDateEdit,          kTimeEdit,          kFieldsGroup,
    kPollTimer,         kClockDialog,        kClockDateCaption,  kClockTimeCaption,  kComputerTimeCheck,
    kLoggerTimeCheck,   kCorrectionDialog,   kCorrTempEdit,      kCorrTempUnitLabel, kCorrHumLabel,
    kCorrHumEdit,       kCorrHumUnitLabel,   kLoggerNameDialog,  kNameEdit,          kParameterReadWindow,
    kReadProgress,      kSaveIntervalDialog, kIntervalLabel,     kDaysSpin,          kDaysEdit,
    kHoursEdit,         kStartDialog,        kStartMomentGroup,  kButtonStartRadio,  kImmediateStartRadio,
    kTimedStartRadio,   kStopWhenFullRadio,  kOverwriteRadio,    kTemperatureDialog, kHumidityDialog,
    kUpperLabel,        kUpperEdit,          kUpperUnitLabel,    kLowerLabel,        kLowerEdit,
    kLowerUnitLabel,
};

}  // namespace quorvex::objname
