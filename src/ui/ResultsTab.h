#pragma once
// The results tab: the log download bound to its status list, progress bar and buttons, the
// results table and summary, the logger's facts; the chart window and the table printout of
// the results; saving them as a results file or a PDF report; opening results files (and the
// recent ones) and archived logs in their place; the evaluation rules and the dew point in
// saved files.
//
// Source files: ResultsTab.cpp (widgets, download, chart, print, save), ResultsTabFiles.cpp
// (opening results, the recent files), ResultsTabReport.cpp (report, rules, dew point).
#include <QLocale>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

#include "params/DateTimeCodec.h"
#include "print/Report.h"
#include "settings/RecentFiles.h"
#include "ui/ResultsTabView.h"

class QMenu;
class QPushButton;

namespace quorvex {

class ArchiveKeeping;
class ChartWindow;
class IniFile;
class LogDownload;
class OperatorPrompts;
class ParameterModel;
class ResultsModel;
class ResultsStore;
class ResultsTabView;
class Translator;
struct ProgramWindows;
struct Request;

class ResultsTab : public QWidget {
    Q_OBJECT
public:
    struct Needs {
        ParameterModel& model;
        ResultsStore& results;  // what the tab shows, and the download fills
        IniFile& settings;
        Translator& translator;
        OperatorPrompts& prompts;
        ArchiveKeeping& keeping;        // keeps downloads and changes, signs files
        const ProgramWindows& windows;  // the chart window and the print dialog, once made
        QLocale systemLocale;           // the desktop's: the report's paper
    };
    explicit ResultsTab(const Needs& needs, QWidget* parent = nullptr);
    ~ResultsTab() override;

    // The download of the logger's log, until EndDownload.
    LogDownload& Download() { return *logs_; }
    ResultsTabView& View() { return *view_; }
    // The button that starts a read of the whole log (bound to the logger's readiness).
    QPushButton* StartButton() const { return widgets_.buttons[LogDownloadView::ButtonStart]; }
    // The window is shown: the chart window follows the results from now on.
    void WindowShown();
    // The program ends: the download lets go of the widgets and the archive.
    void EndDownload();

    // The logger's parameters are all read (true) or the link was reset (false).
    void SetParamsReady(bool ready);
    // The link was reset: a running download stops.
    void LinkReset();
    // Texts and numbers in the window's language again.
    void RefreshTexts();
    // A block of the log arrived (the session hands it to the download): an open chart shows it.
    void BlockArrived();

    // The buttons and menu items.
    void ChartChosen();
    void PrintTableChosen();
    void SaveChosen();
    // Asks for a results file and opens it.
    void OpenChosen();
    // Asks where and with which table, and writes the PDF report of the results shown.
    void ReportChosen();
    // The rules dialog, opened without waiting.
    void RulesChosen();
    // There are results to report on (the report button is enabled).
    bool CanReport() const;

    // Reads a results file into a spare store and, only when all of it was good, shows it in
    // place of the results so far; otherwise a box names the file and the line, and everything
    // shown stays. False when not opened.
    bool OpenResultsFile(const QString& path);
    // A recent file: opened, or, when it is gone, dropped from the list with a box that says so.
    bool OpenRecentFile(const QString& path);
    // An archived log (between two moments on the logger clock when given) shown in place of the
    // results, as opening a file does. False when not shown.
    bool OpenArchivedLog(std::int64_t log, std::optional<Moment> from, std::optional<Moment> to);
    // The results files opened last, most recent first.
    const QStringList& RecentResultsFiles() const { return recent_.Files(); }
    // The menu that lists them (rebuilt as the list changes).
    void SetRecentMenu(QMenu* menu);
    // Drops the files that are gone and rebuilds the recent files menu.
    void RefreshRecentMenu();

    // The CSV files written gain the dew point column.
    bool DewPointInFiles() const;
    void SetDewPointInFiles(bool on);
    // What the report says of where the results shown came from.
    ReportSource ShownResultsSource() const;
    // The folder the results dialogs start in.
    QString Folder() const;

signals:
    // A short note for the status bar (a file written).
    void StatusNote(const QString& text);
    // Results were opened: they are what the operator came for, whatever the link is doing.
    void ResultsWanted();

private:
    void BuildWidgets();
    void CreateDownload();
    void RebuildRecentMenu();
    ChartWindow* Chart() const;
    // Results read into a spare store (a file, the archive) take the place of those shown.
    void ShowOpenedResults(ResultsStore& opened);
    void ShowError(const QString& text);

    ParameterModel& model_;
    ResultsStore& results_;
    IniFile& settings_;
    Translator& translator_;
    OperatorPrompts& prompts_;
    ArchiveKeeping& keeping_;
    const ProgramWindows& windows_;
    QLocale systemLocale_;
    ResultsModel* resultsModel_ = nullptr;
    QPushButton* reportButton_ = nullptr;
    std::unique_ptr<ResultsTabView> view_;
    std::unique_ptr<LogDownload> logs_;
    // The widgets the tab built, kept as they are made for the download's view.
    ResultsTabView::Widgets widgets_;
    QPushButton* newReadButton_ = nullptr;  // "Pobierz nowe": what the archive lacks
    RecentFiles recent_;
    QMenu* recentMenu_ = nullptr;
    // Where opened results came from (a file, an archived log), for the report; a
    // download's facts are taken when the report is written.
    ReportSource openedSource_;
};

}  // namespace quorvex
