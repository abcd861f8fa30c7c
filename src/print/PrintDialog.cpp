#include "print/PrintDialog.h"
#include "chart/SharedNames.h"
#include "print/ObjectNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "logs/LoggerInfo.h"

namespace quorvex {
namespace {

// A PDF file gets the resolution of an ordinary office laser printer, so the
// pixel sizes of the printout (rule, gaps, cell pens) look as they do on paper.
constexpr int kPdfResolution = 600;
// A PDF page keeps the unprintable edge a printer would have.
constexpr qreal kPdfMarginMm = 5.0;

QStringList TextLines(const QPlainTextEdit* memo) { return memo->toPlainText().split(u'\n'); }

void SetTextLines(QPlainTextEdit* memo, const QStringList& lines) { memo->setPlainText(lines.join(u'\n')); }

// Lines 0 to 4 of a memo; missing ones are empty.
QStringList FirstTextLines(const QPlainTextEdit* memo) {
    const QStringList lines = TextLines(memo);
    QStringList first;
    for (int i = 0; i < kPrintTextLines; ++i) first << lines.value(i);
    return first;
}

QPlainTextEdit* NewLinesEdit(const char* name, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setTabChangesFocus(true);
    const int lines = kPrintTextLines;
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * lines + 2 * memo->frameWidth() +
                         2 * static_cast<int>(memo->document()->documentMargin()) + 4);
    return memo;
}

}  // namespace

PrintDialog::PrintDialog(const ResultsStore& results, QString settingsPath, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)), printer_(QPrinter::HighResolution) {
    Results = &results;
    setObjectName(QString::fromLatin1(objname::kPrintDialog));
    setWindowTitle(QStringLiteral("[700]Drukuj"));
    printerNames = [] { return QPrinterInfo::availablePrinterNames(); };
    askPdfPath = [](QWidget* owner, const QString& suggestion) {
        QFileDialog dialog(owner, TranslateText(QStringLiteral("[2024]Zapisz wydruk jako PDF")), suggestion,
                           QStringLiteral("PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    showError = [](QWidget* owner, const QString& text) {
        QMessageBox::critical(owner, TranslateText(QStringLiteral("[1020]Błąd")), text);
    };
    BuildControls();
}

PrintDialog::~PrintDialog() = default;

void PrintDialog::BuildControls() {
    auto* group = new QGroupBox(QStringLiteral("[710]Drukarka"), this);
    group->setObjectName(QString::fromLatin1(objname::kPrinterGroup));
    printerCaption_ = new QLabel(QStringLiteral("[711]Nazwa:"), group);
    printerCaption_->setObjectName(QString::fromLatin1(objname::kLeadCaption));
    printerList_ = new QComboBox(group);
    printerList_->setObjectName(QString::fromLatin1(objname::kPrinterList));
    printerList_->setMinimumContentsLength(24);
    printerSetupButton_ = new QPushButton(QStringLiteral("[17]Właściwości"), group);
    printerSetupButton_->setObjectName(QString::fromLatin1(objname::kPrinterSetupButton));
    auto* printerRow = new QHBoxLayout(group);
    printerRow->addWidget(printerCaption_);
    printerRow->addWidget(printerList_, 1);
    printerRow->addWidget(printerSetupButton_);

    auto check = [this](const char* name, const char* caption) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(QString::fromLatin1(name));
        connect(box, &QCheckBox::clicked, this, &PrintDialog::onOptionClicked);
        return box;
    };
    headerCheck_ = check(objname::kHeaderCheck, "[720]Nagłówek");
    headerText_ = NewLinesEdit(objname::kHeaderText, this);
    nameCheck_ = check(objname::kNameCheck, "[1046]Nazwa Loggera");
    numberCheck_ = check(objname::kNumberCheck, "[1047]Typ, numer seryjny");
    intervalCheck_ = check(objname::kIntervalCheck, "[1048]Częstość zapisu");
    firstLogCheck_ = check(objname::kFirstLogCheck, "[1049]Daty logowania");
    printDateCheck_ = check(objname::kPrintDateCheck, "[1050]Data wydruku");
    summaryCheck_ = check(objname::kSummaryCheck, "[2135]Podsumowanie");

    // The footer is kept in the settings but not printed, so the operator
    // sees it without being able to change it.
    auto* footer = new QFrame(this);
    footer->setObjectName(QString::fromLatin1(objname::kFooterPanel));
    footerCheck_ = new QCheckBox(QStringLiteral("[740]Stopka"), footer);
    footerCheck_->setObjectName(QString::fromLatin1(objname::kFooterCheck));
    footerText_ = NewLinesEdit(objname::kFooterText, footer);
    auto* footerColumn = new QVBoxLayout(footer);
    footerColumn->setContentsMargins(0, 0, 0, 0);
    footerColumn->addWidget(footerCheck_);
    footerColumn->addWidget(footerText_);
    footer->setEnabled(false);

    printButton_ = new QPushButton(QStringLiteral("[18]Drukuj"), this);
    printButton_->setObjectName(QString::fromLatin1(objname::kPrintButton));
    printButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("[15]Anuluj"), this);
    cancelButton_->setObjectName(QString::fromLatin1(objname::kPrintCancelButton));

    auto* headerColumn = new QVBoxLayout;
    headerColumn->addWidget(headerCheck_);
    headerColumn->addWidget(headerText_);
    headerColumn->addStretch(1);
    auto* factColumn = new QVBoxLayout;
    for (QCheckBox* box : {nameCheck_, numberCheck_, intervalCheck_, firstLogCheck_, printDateCheck_, summaryCheck_})
        factColumn->addWidget(box);
    factColumn->addStretch(1);
    auto* choices = new QHBoxLayout;
    choices->addLayout(headerColumn, 1);
    choices->addLayout(factColumn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(printButton_);
    buttons->addWidget(cancelButton_);

    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addLayout(choices);
    column->addWidget(footer);
    column->addLayout(buttons);

    connect(printerList_, &QComboBox::activated, this, &PrintDialog::onPrinterChanged);
    connect(printerSetupButton_, &QPushButton::clicked, this, &PrintDialog::onPrinterSetupClicked);
    connect(printButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void PrintDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) onShown();
    QDialog::showEvent(event);
}

void PrintDialog::done(int result) {
    onClosed();
    QDialog::done(result);
}

void PrintDialog::onShown() {
    SettingsToControls(LoadPrintSettings(settingsPath_));
    FillPrinterList();
    SelectCurrentPrinter();
    onOptionClicked();
}

void PrintDialog::onClosed() {
    // A settings folder that cannot be written must not keep the dialog from closing.
    SavePrintSettings(settingsPath_, ControlsToSettings());
}

void PrintDialog::SettingsToControls(const PrintSettings& s) {
    SetTextLines(headerText_, s.headerLines);
    headerCheck_->setChecked(s.header);
    nameCheck_->setChecked(s.name);
    numberCheck_->setChecked(s.number);
    intervalCheck_->setChecked(s.interval);
    firstLogCheck_->setChecked(s.firstLog);
    printDateCheck_->setChecked(s.printDate);
    summaryCheck_->setChecked(s.summary);
    footerCheck_->setChecked(s.footer);
    SetTextLines(footerText_, s.footerLines);
}

PrintSettings PrintDialog::ControlsToSettings() const {
    PrintSettings s;
    s.header = headerCheck_->isChecked();
    s.headerLines = FirstTextLines(headerText_);
    s.name = nameCheck_->isChecked();
    s.number = numberCheck_->isChecked();
    s.interval = intervalCheck_->isChecked();
    s.firstLog = firstLogCheck_->isChecked();
    s.printDate = printDateCheck_->isChecked();
    s.summary = summaryCheck_->isChecked();
    s.footer = footerCheck_->isChecked();
    s.footerLines = FirstTextLines(footerText_);
    return s;
}

void PrintDialog::FillPrinterList() {
    listedPrinters_ = printerNames ? printerNames() : QStringList();
    const QSignalBlocker quiet(printerList_);
    printerList_->clear();
    printerList_->addItems(listedPrinters_);
    printerList_->addItem(TranslateText(QStringLiteral("[2021]Plik PDF")));
}

int PrintDialog::PdfEntryIndex() const { return static_cast<int>(listedPrinters_.size()); }

void PrintDialog::SelectCurrentPrinter() {
    int index = PdfEntryIndex();
    if (printer_.outputFormat() == QPrinter::NativeFormat) {
        const qsizetype at = listedPrinters_.indexOf(printer_.printerName());
        if (at >= 0) index = static_cast<int>(at);
    }
    // A printer that is gone (or none at all) leaves the PDF file chosen.
    onPrinterChanged(index);
}

void PrintDialog::onPrinterChanged(int index) {
    if (index >= 0 && index < listedPrinters_.size()) {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(listedPrinters_[index]);
        pdfPrepared_ = false;
    }
    // Also when the printer could not be set up: the list shows what will be used.
    if (printer_.outputFormat() != QPrinter::NativeFormat || index < 0 || index >= listedPrinters_.size()) {
        if (printer_.outputFormat() != QPrinter::PdfFormat) pdfPrepared_ = false;
        printer_.setOutputFormat(QPrinter::PdfFormat);
        if (!pdfPrepared_) {
            // Once per change to a file: later page setups of the operator stay.
            printer_.setResolution(kPdfResolution);
            printer_.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                                    QPageLayout::Millimeter);
            pdfPrepared_ = true;
        }
        index = PdfEntryIndex();
    }
    const QSignalBlocker quiet(printerList_);
    printerList_->setCurrentIndex(index);
}

void PrintDialog::onPrinterSetupClicked() {
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        // A file has no printer options; its page is all there is to set up.
        QPageSetupDialog dialog(&printer_, this);
        dialog.exec();
    } else {
        QPrintDialog dialog(&printer_, this);
        dialog.exec();
    }
    SelectCurrentPrinter();
}

void PrintDialog::onOptionClicked() { headerText_->setEnabled(headerCheck_->isChecked()); }

PrintHeaderOptions PrintDialog::HeaderOptions() {
    PrintHeaderOptions options;
    options.header = headerCheck_->isChecked();
    if (options.header) {
        options.headerLines = WithoutTrailingEmptyLines(TextLines(headerText_));
        SetTextLines(headerText_, options.headerLines);
    }
    options.name = nameCheck_->isChecked();
    options.number = numberCheck_->isChecked();
    options.interval = intervalCheck_->isChecked();
    options.firstLog = firstLogCheck_->isChecked();
    options.printDate = printDateCheck_->isChecked();
    options.summary = summaryCheck_->isChecked();
    return options;
}

void PrintDialog::ReportError(const QString& text) {
    if (showError) showError(this, text);
}

bool PrintDialog::BeginJob(QPainter& painter) {
    const bool pdf = printer_.outputFormat() == QPrinter::PdfFormat;
    if (pdf) {
        const QString path = askPdfPath ? askPdfPath(this, printer_.outputFileName()) : QString();
        if (path.isEmpty()) return false;
        printer_.setOutputFileName(path);
    }
    if (painter.begin(&printer_)) return true;
    ReportError(
        pdf ? TranslateText(QStringLiteral("[2020]Nie można zapisać pliku PDF")) + u'\n' + printer_.outputFileName()
            : TranslateText(QStringLiteral("[2023]Nie można rozpocząć wydruku na")) + u' ' + printer_.printerName());
    return false;
}

int PrintDialog::PrintPageHeader(QPainter& painter, int left, int right, int top) {
    const ResultsStore& results = *Results;
    PrintHeaderOptions options = HeaderOptions();
    // A part of the log (a zoomed chart): the dates say they are of the records shown.
    options.shownRecords = FirstRecord > 0 || LastRecord < results.Count() - 1;
    int height = PrintHeader(painter, results, options, left, right, top, FirstRecord, LastRecord);
    if (options.summary) height += PrintSummary(painter, results, left, right, top + height);
    return height;
}

int PrintDialog::ExecForTable() {
    printer_.setPageOrientation(tableOrientation_);
    const int result = exec();
    tableOrientation_ = printer_.pageLayout().orientation();
    return result;
}

int PrintDialog::ExecForChart() {
    printer_.setPageOrientation(QPageLayout::Landscape);
    return exec();
}

void PrintDialog::NoteWrittenPdf() {
    if (printer_.outputFormat() == QPrinter::PdfFormat) emit PdfWritten(printer_.outputFileName());
}

bool PrintDialog::PrintTable() {
    const ResultsStore& results = *Results;
    FirstRecord = 0;
    LastRecord = results.Count() - 1;
    const PrintHeaderOptions options = HeaderOptions();
    QPainter painter;
    if (!BeginJob(painter)) return false;
    const TablePrintResult printed = quorvex::PrintTable(painter, printer_, results, options);
    if (!printed.ok) printer_.abort();
    painter.end();
    if (!printed.ok)
        ReportError(TranslateText(QStringLiteral("[2022]Strona jest za mała na tabelę")));
    else
        NoteWrittenPdf();
    return printed.ok;
}

bool PrintDialog::PrintChart(const ChartPrintView& view, int firstIndex, int sampleCount) {
    const ResultsStore& results = view.results ? *view.results : *Results;
    std::tie(FirstRecord, LastRecord) = ChartRecordRange(firstIndex, sampleCount, results.Count());
    QPainter painter;
    if (!BeginJob(painter)) return false;
    DrawChartPage(painter, printer_, view,
                  [this](QPainter& p, int left, int right, int top) { return PrintPageHeader(p, left, right, top); });
    painter.end();
    NoteWrittenPdf();
    return true;
}

}  // namespace quorvex
