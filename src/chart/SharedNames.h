#pragma once
// The object names two folders' windows share: the one tool bar name, a dialog's close
// button, the groups and captions a dialog repeats from the main window. Here because the
// chart folder is the lowest that holds windows; each window's own names live beside it.

namespace quorvex::objname {

// Main window
inline constexpr char kToolBar[] = "ToolBar1";  // the tool bar (main window and chart window)

// Measurements tab
// the logger name group (main window and name dialog)
inline constexpr char kNameGroup[] = "GroupBoxNazwaLoggera";

// Registration tab
// caption of the start moment (main window and start dialog)
inline constexpr char kStartMomentCaption[] = "LabelMonitorCzasLogowania";
// how recording starts (main window and start dialog)
inline constexpr char kStartModeGroup[] = "GroupBoxTrybStartu";
// what a full memory does (main window and start dialog)
inline constexpr char kWrapGroup[] = "GroupBoxNadpisywanie";

// Messages and service tabs
// the first group: the service tab's logger reset group, the thresholds dialogs' fields
inline constexpr char kLeadGroup[] = "GroupBox1";

// Dialogs: shared
inline constexpr char kCloseButton[] = "ButtonClose";  // a dialog's close button

// Correction dialog
// the first caption: the correction dialog's temperature, the print dialog's printer
inline constexpr char kLeadCaption[] = "Label1";

// Every name above, for checks that span them all.
inline constexpr const char* kSharedNames[] = {
    kToolBar, kNameGroup, kStartMomentCaption, kStartModeGroup, kWrapGroup, kLeadGroup, kCloseButton, kLeadCaption,
};

}  // namespace quorvex::objname
