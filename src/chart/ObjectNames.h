#pragma once
// The object names of the chart window: stable handles for tests, the translator and
// outside checks. Names it shares with other windows are in chart/SharedNames.h.

namespace quorvex::objname {

// Evaluation rules, the PDF report and the dew point
inline constexpr char kDewPointButton[] = "SpeedButtonShowDewPoint";  // chart window: shows the dew point

// Chart window
inline constexpr char kChartWindow[] = "FormWykres1";                  // the chart window
inline constexpr char kZoomInButton[] = "SpeedButtonZoomIn";           // zooms in
inline constexpr char kZoomOutButton[] = "SpeedButtonZoomOut";         // zooms out
inline constexpr char kZoomAllButton[] = "SpeedButton1";               // shows the whole chart
inline constexpr char kBothSeriesButton[] = "SpeedButtonShowTempHum";  // shows temperature and humidity
inline constexpr char kTempSeriesButton[] = "SpeedButtonShowTemp";     // shows temperature only
inline constexpr char kHumSeriesButton[] = "SpeedButtonShowHum";       // shows humidity only
inline constexpr char kThresholdsButton[] = "SpeedButtonShowProgi";    // shows the threshold lines
// never shown: releases the threshold lines button
inline constexpr char kThresholdsOffButton[] = "SpeedButtonShowProgi2";
inline constexpr char kChartPrintButton[] = "SpeedButtonDrukuj";  // prints the chart
inline constexpr char kChartPanel[] = "PanelWykres";              // the panel around the chart
inline constexpr char kChartBox[] = "PaintBoxWykres";             // the chart
inline constexpr char kOverviewPanel[] = "PanelRzut";             // the panel around the overview strip
inline constexpr char kOverview[] = "PaintBoxRzut";               // the overview strip under the chart

// Every name above, for checks that span them all.
inline constexpr const char* kChartNames[] = {
    kDewPointButton,   kChartWindow,      kZoomInButton,    kZoomOutButton,    kZoomAllButton,
    kBothSeriesButton, kTempSeriesButton, kHumSeriesButton, kThresholdsButton, kThresholdsOffButton,
    kChartPrintButton, kChartPanel,       kChartBox,        kOverviewPanel,    kOverview,
};

}  // namespace quorvex::objname
