#pragma once
// The object names of the print dialog: stable handles for tests, the translator and
// outside checks. Names it shares with other windows are in chart/SharedNames.h.

namespace quorvex::objname {

// Print dialog
inline constexpr char kPrintDialog[] = "FormDrukuj1";              // the print dialog
inline constexpr char kPrinterGroup[] = "GroupBoxDrukarka";        // the printer group
inline constexpr char kPrinterList[] = "ComboBoxDrukarki";         // the printers to choose from
inline constexpr char kPrinterSetupButton[] = "ButtonPrintSetup";  // the printer's properties
inline constexpr char kHeaderCheck[] = "CheckBoxHeader";           // print the header lines
inline constexpr char kHeaderText[] = "MemoHeader";                // the header lines
inline constexpr char kNameCheck[] = "CheckBoxName";               // print the logger's name
inline constexpr char kNumberCheck[] = "CheckBoxNumber";           // print the serial number
inline constexpr char kIntervalCheck[] = "CheckBoxWriteInterval";  // print the save interval
inline constexpr char kFirstLogCheck[] = "CheckBoxFirstLog";       // print the first record's moment
inline constexpr char kPrintDateCheck[] = "CheckBoxPrintDate";     // print the printing date
inline constexpr char kSummaryCheck[] = "CheckBoxSummary";         // print the summary
inline constexpr char kFooterPanel[] = "PanelFooter";              // the footer's panel
inline constexpr char kFooterCheck[] = "CheckBoxFooter";           // print the footer lines
inline constexpr char kFooterText[] = "MemoFooter";                // the footer lines
inline constexpr char kPrintButton[] = "ButtonPrint";              // prints
inline constexpr char kPrintCancelButton[] = "ButtonAnuluj";       // closes without printing

// Every name above, for checks that span them all.
inline constexpr const char* kPrintNames[] = {
    kPrintDialog, kPrinterGroup, kPrinterList,   kPrinterSetupButton, kHeaderCheck,       kHeaderText,
    kNameCheck,   kNumberCheck,  kIntervalCheck, kFirstLogCheck,      kPrintDateCheck,    kSummaryCheck,
    kFooterPanel, kFooterCheck,  kFooterText,    kPrintButton,        kPrintCancelButton,
};

}  // namespace quorvex::objname
