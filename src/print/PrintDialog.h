#pragma once
// PrintDialog, the print dialog: the printer (every installed printer and
// "PDF file"), its setup, five free header lines, the logger facts printed
// above the table, and the footer lines that are kept but not offered. Its
// choices live in section "OknoDrukuj" of the settings file, read on every
// show and written on every close, whichever button closed it.
//
// The dialog also runs the print jobs: PrintTable for the results table, and
// BeginJob/PrintPageHeader for the chart window's printout.
#include <QDialog>
#include <QPrinter>
#include <QStringList>

#include <functional>

#include "logs/ResultsStore.h"
#include "print/ChartPrintout.h"
#include "print/PrintSettings.h"
#include "print/TablePrinter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPainter;
class QPlainTextEdit;
class QPushButton;

namespace quorvex {

class PrintDialog : public QDialog {
    Q_OBJECT
public:
    // `results`: the program's results, printed unless a button names others;
    // `settingsPath`: the program's settings file, opened on show and on close.
    PrintDialog(const ResultsStore& results, QString settingsPath, QWidget* parent = nullptr);
    ~PrintDialog() override;

    // The records to print; set by the button that opens the dialog.
    const ResultsStore* Results;
    // First and last record (0-based) whose moments the header shows.
    int FirstRecord = 0;
    int LastRecord = -1;

    // The current printer: the one chosen in the list, set up by "Properties".
    QPrinter& Printer() { return printer_; }

    // Where the operator's machine is reached; tests replace these.
    // The installed printers by name.
    std::function<QStringList()> printerNames;
    // The file a PDF printout goes to (empty: the operator cancelled).
    std::function<QString(QWidget* parent, const QString& suggestion)> askPdfPath;
    // Shows an operator-facing failure.
    std::function<void(QWidget* parent, const QString& text)> showError;

    // Event handlers.
    void onShown();
    void onClosed();
    void onPrinterChanged(int index);
    void onPrinterSetupClicked();
    void onOptionClicked();

    // Shows the dialog for the table printout: the page turned the way the
    // operator last printed a table (upright at first), whatever the chart's
    // printout turned it to since. A turn set up in the dialog is kept for
    // the next table. Returns the dialog's result.
    int ExecForTable();
    // Shows the dialog for the chart printout, on a landscape page.
    int ExecForChart();

    // Prints every record of Results. False when the job could not be done
    // (the operator has been told why, or cancelled the PDF file choice).
    bool PrintTable();

    // Prints the chart page of `view` (the chart window shows records
    // firstIndex .. firstIndex + sampleCount). False as for PrintTable.
    bool PrintChart(const ChartPrintView& view, int firstIndex, int sampleCount);

    // Opens a job on the current printer with `painter`; for "PDF file" asks
    // for the file first. False when it cannot start (the operator has been
    // told) or the operator cancelled.
    bool BeginJob(QPainter& painter);
    // Draws the page header of a printout between `left` and `right` from
    // `top`, for FirstRecord..LastRecord (named the first and last shown when
    // they are not the whole log), with the summary of all records below it
    // when that is ticked, and returns its height.
    int PrintPageHeader(QPainter& painter, int left, int right, int top);

    // The header block as the check boxes and memo say now (trailing empty
    // lines of the memo removed from the memo itself).
    PrintHeaderOptions HeaderOptions();

    // The list entry standing for a PDF file (the last one).
    int PdfEntryIndex() const;

signals:
    // A printout (table or chart) was written completely to the PDF file `path`.
    void PdfWritten(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void BuildControls();
    void FillPrinterList();
    void SelectCurrentPrinter();
    PrintSettings ControlsToSettings() const;
    void SettingsToControls(const PrintSettings& s);
    void ReportError(const QString& text);
    void NoteWrittenPdf();

    QString settingsPath_;
    QPrinter printer_;
    QStringList listedPrinters_;  // names of the list's printer entries, in order
    bool pdfPrepared_ = false;    // the PDF file's resolution and margins are set
    QPageLayout::Orientation tableOrientation_ = QPageLayout::Portrait;

    QComboBox* printerList_ = nullptr;
    QLabel* printerCaption_ = nullptr;
    QPushButton* printerSetupButton_ = nullptr;
    QCheckBox* headerCheck_ = nullptr;
    QPlainTextEdit* headerText_ = nullptr;
    QCheckBox* nameCheck_ = nullptr;
    QCheckBox* numberCheck_ = nullptr;
    QCheckBox* intervalCheck_ = nullptr;
    QCheckBox* firstLogCheck_ = nullptr;
    QCheckBox* printDateCheck_ = nullptr;
    QCheckBox* summaryCheck_ = nullptr;
    QCheckBox* footerCheck_ = nullptr;
    QPlainTextEdit* footerText_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace quorvex
