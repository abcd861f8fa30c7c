// The chart printout, from the chart window's print button to the PDF page.
#include "print/ChartPrintout.h"
#include "print/ObjectNames.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <map>
#include <set>

#include "PrintTestSupport.h"
#include "chart/Chart.h"
#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"
#include "ui/ChartPrinting.h"

namespace quorvex {
namespace {

using namespace printtest;

class ChartPrintout : public PrintTest {
protected:
    void SetUp() override {
        PrintTest::SetUp();
        if (HasFatalFailure()) return;
        FillStore(store_, 2000);
        printWindow_ = std::make_unique<PrintDialog>(store_, dir_.filePath(QStringLiteral("quorvex.INI")));
        printWindow_->printerNames = [] { return QStringList(); };
        printWindow_->askPdfPath = [this](QWidget*, const QString&) { return pdf_; };
        printWindow_->showError = [this](QWidget*, const QString& text) { errors_ << text; };
        chart_ = std::make_unique<ChartWindow>(store_);
        chart_->resize(1000, 600);
        chart_->SetResults(store_);
        chart_->ShowChart();
    }

    // Presses the print button and answers the print dialog with `button`.
    void PrintFromChart(const char* button) {
        QTimer::singleShot(0, printWindow_.get(), [this, button] {
            printWindow_->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        chart_->printButton->click();
    }

    // The moment of record `index` as the header prints it.
    QString MomentText(int index) const {
        const QDateTime t = FromMoment(store_.At(index).time);
        return QLocale().toString(t.date(), ShortDateFormat()) + u' ' + QLocale().toString(t.time(), LongTimeFormat());
    }
    static bool HasFact(const QString& text, const QString& caption, const QString& value) {
        return QRegularExpression(QRegularExpression::escape(caption) + QStringLiteral(":\\s+") +
                                  QRegularExpression::escape(value))
            .match(text)
            .hasMatch();
    }

    ResultsStore store_;
    QString pdf_;
    QStringList errors_;
    std::unique_ptr<PrintDialog> printWindow_;
    std::unique_ptr<ChartWindow> chart_;
};

TEST_F(ChartPrintout, PrintButtonWaitsForAPrintWindowThenPrintsOneLandscapePage) {
    EXPECT_FALSE(chart_->printButton->isEnabled());
    ConnectChartPrinting(*chart_, *printWindow_);
    ASSERT_TRUE(chart_->printButton->isEnabled());

    // Three steps in: records 15 % to 85 % of the store are shown.
    for (int i = 0; i < 3; ++i) chart_->onZoomInClicked();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const int first = chart_->FirstIndex();
    const int last = first + chart_->SampleCount();
    ASSERT_GT(first, 0);
    ASSERT_LT(last, store_.Count());

    pdf_ = dir_.filePath(QStringLiteral("wykres.pdf"));
    PrintFromChart(objname::kPrintButton);
    ASSERT_TRUE(QFile::exists(pdf_));
    EXPECT_TRUE(errors_.isEmpty());
    EXPECT_EQ(PdfPageCount(pdf_), 1);
    const Page page = PdfWords(pdf_, 1, 1).at(0);
    EXPECT_GT(page.width, page.height) << "landscape";

    // The header names the first and last shown record, and says so.
    const QString text = PdfText(pdf_);
    EXPECT_TRUE(HasFact(text, QStringLiteral("Data pierwszego pokazanego loga"), MomentText(first)))
        << text.toStdString();
    EXPECT_TRUE(HasFact(text, QStringLiteral("Data ostatniego pokazanego loga"), MomentText(last)));
    EXPECT_TRUE(text.contains(QStringLiteral("Chłodnia B")));
}

TEST_F(ChartPrintout, TheWholeLogIsNamedAsSuchAndTheSummaryIsPrintedWhenTicked) {
    ConnectChartPrinting(*chart_, *printWindow_);
    for (bool summary : {true, false}) {
        SCOPED_TRACE(summary);
        QTimer::singleShot(0, printWindow_.get(), [this, summary] {
            printWindow_->findChild<QCheckBox*>(QString::fromLatin1(objname::kSummaryCheck))->setChecked(summary);
            printWindow_->findChild<QPushButton*>(QString::fromLatin1(objname::kPrintButton))->click();
        });
        pdf_ = dir_.filePath(summary ? QStringLiteral("z.pdf") : QStringLiteral("bez.pdf"));
        chart_->printButton->click();
        EXPECT_EQ(PdfPageCount(pdf_), 1);
        const QString text = PdfText(pdf_);
        EXPECT_TRUE(HasFact(text, QStringLiteral("Data pierwszego loga"), MomentText(0))) << text.toStdString();
        EXPECT_TRUE(HasFact(text, QStringLiteral("Data ostatniego loga"), MomentText(store_.Count() - 1)));
        EXPECT_EQ(text.contains(QStringLiteral("Podsumowanie")), summary);
        EXPECT_EQ(HasFact(text, QStringLiteral("Liczba rekordów"), QString::number(store_.Count())), summary);
    }
}

TEST_F(ChartPrintout, TheChartIsCopiedPixelForPixelBelowTheRule) {
    ConnectChartPrinting(*chart_, *printWindow_);
    chart_->thresholdsButton->click();  // threshold lines too
    pdf_ = dir_.filePath(QStringLiteral("piksele.pdf"));
    PrintFromChart(objname::kPrintButton);

    // Above the rule only the header's black text; the chart lies below it.
    const QImage page = PdfPageImage(pdf_, 1, 100, dir_.filePath(QStringLiteral("strona")));
    ASSERT_FALSE(page.isNull());
    int ruleRow = -1;
    for (int y = 0; y < page.height() && ruleRow < 0; ++y)
        if (qGray(page.pixel(page.width() / 2, y)) < 60 && qGray(page.pixel(page.width() / 3, y)) < 60) ruleRow = y;
    ASSERT_GT(ruleRow, 0) << "the rule under the header";
    int colouredAbove = 0, colouredBelow = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (std::abs(qRed(p) - qBlue(p)) > 100) ++(y < ruleRow ? colouredAbove : colouredBelow);
        }
    EXPECT_EQ(colouredAbove, 0);
    EXPECT_GT(colouredBelow, 1000);

    // At the printing resolution, the middle of the plot holds exactly the
    // chart's own colours: a smoothed or JPEG-compressed copy would add shades.
    const QRect middle(page.width() * 6 * 4 / 10, page.height() * 6 * 4 / 10, 1200, 1200);
    const QImage plot = PdfPageImage(pdf_, 1, 600, dir_.filePath(QStringLiteral("srodek")), middle);
    ASSERT_FALSE(plot.isNull());
    std::map<QRgb, int> colours;
    for (int y = 0; y < plot.height(); ++y)
        for (int x = 0; x < plot.width(); ++x) ++colours[plot.pixel(x, y) & 0xFFFFFF];
    const std::set<QRgb> chartColours{0xFFFFFF, 0x000000, Chart::kGridColour, Chart::kTempColour, Chart::kHumColour};
    int others = 0;
    for (const auto& [rgb, n] : colours)
        if (!chartColours.count(rgb)) others += n;
    EXPECT_EQ(others, 0);
    EXPECT_GT(colours[Chart::kTempColour] + colours[Chart::kHumColour], 500);
}

}  // namespace
}  // namespace quorvex
