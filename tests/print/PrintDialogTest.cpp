// The print dialog as the operator uses it: its settings in the settings file,
// the printer list, and printing to a PDF file through it.
#include "print/ObjectNames.h"
#include "print/PrintDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "PrintTestSupport.h"
#include "ProgramTextsScope.h"
#include "i18n/Translator.h"
#include "ui/TranslateWindow.h"

namespace quorvex {
namespace {

using namespace printtest;

class PrintDialogTest : public PrintTest {
protected:
    void SetUp() override {
        PrintTest::SetUp();
        if (HasFatalFailure()) return;
        ini_ = dir_.filePath(QStringLiteral("quorvex.INI"));
        FillStore(store_, 120);
    }

    // A dialog that sees the given printers and sends PDF output to `pdfPath_`.
    std::unique_ptr<PrintDialog> NewDialog(QStringList printers = {}) {
        auto form = std::make_unique<PrintDialog>(store_, ini_);
        form->printerNames = [printers] { return printers; };
        form->askPdfPath = [this](QWidget*, const QString&) {
            ++pathQuestions_;
            return pdfPath_;
        };
        form->showError = [this](QWidget*, const QString& text) { errors_ << text; };
        return form;
    }

    template <class T>
    static T* Child(QWidget& form, const char* name) {
        T* child = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static void Click(QWidget& form, const char* name) { Child<QAbstractButton>(form, name)->click(); }

    QString FileText() const {
        QFile f(ini_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QString ini_;
    ResultsStore store_;
    QString pdfPath_;
    int pathQuestions_ = 0;
    QStringList errors_;
};

TEST_F(PrintDialogTest, AnEmptySettingsFileGivesTheDefaultsAndTheFooterStaysOutOfReach) {
    auto form = NewDialog();
    form->show();
    if (qEnvironmentVariableIsSet("QUORVEX_KEEP_PRINTS"))
        form->grab().save(dir_.filePath(QStringLiteral("dialog.png")));
    EXPECT_FALSE(Child<QCheckBox>(*form, objname::kHeaderCheck)->isChecked());
    EXPECT_FALSE(Child<QPlainTextEdit>(*form, objname::kHeaderText)->isEnabled());
    for (const char* name : {objname::kNameCheck, objname::kNumberCheck, objname::kIntervalCheck,
                             objname::kFirstLogCheck, objname::kPrintDateCheck})
        EXPECT_TRUE(Child<QCheckBox>(*form, name)->isChecked()) << name;
    EXPECT_FALSE(Child<QCheckBox>(*form, objname::kFooterCheck)->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(*form, objname::kFooterCheck)->isEnabled());
    EXPECT_FALSE(Child<QPlainTextEdit>(*form, objname::kFooterText)->isEnabled());
    // Five lines, all empty.
    EXPECT_EQ(Child<QPlainTextEdit>(*form, objname::kHeaderText)->toPlainText(), QStringLiteral("\n\n\n\n"));

    Click(*form, objname::kHeaderCheck);
    EXPECT_TRUE(Child<QPlainTextEdit>(*form, objname::kHeaderText)->isEnabled());
    Click(*form, objname::kHeaderCheck);
    EXPECT_FALSE(Child<QPlainTextEdit>(*form, objname::kHeaderText)->isEnabled());
}

TEST_F(PrintDialogTest, ChoicesRoundTripThroughTheSettingsFileWhicheverButtonCloses) {
    const QString odd = QStringLiteral("Zakład \"Łódź\", hala=2; 50%");
    for (const char* button : {objname::kPrintButton, objname::kPrintCancelButton}) {
        SCOPED_TRACE(button);
        QFile::remove(ini_);
        {
            auto form = NewDialog();
            form->show();
            Click(*form, objname::kHeaderCheck);
            Child<QPlainTextEdit>(*form, objname::kHeaderText)->setPlainText(odd + QStringLiteral("\n\nLinia 3"));
            Click(*form, objname::kNumberCheck);
            Click(*form, objname::kPrintDateCheck);
            Click(*form, objname::kSummaryCheck);
            Click(*form, button);
            EXPECT_FALSE(form->isVisible());
        }
        const QString text = FileText();
        EXPECT_TRUE(text.contains(QStringLiteral("[OknoDrukuj]")));
        for (const char* line : {"boolHeader=1", "boolName=1", "boolNumber=0", "boolInterval=1", "boolFirstLog=1",
                                 "boolPrintDate=0", "boolSummary=1", "boolFooter=0", "Header5=", "Footer1="})
            EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line << "\n" << text.toStdString();

        auto again = NewDialog();
        again->show();
        EXPECT_TRUE(Child<QCheckBox>(*again, objname::kHeaderCheck)->isChecked());
        EXPECT_TRUE(Child<QPlainTextEdit>(*again, objname::kHeaderText)->isEnabled());
        EXPECT_EQ(Child<QPlainTextEdit>(*again, objname::kHeaderText)->toPlainText(),
                  odd + QStringLiteral("\n\nLinia 3\n\n"));
        EXPECT_FALSE(Child<QCheckBox>(*again, objname::kNumberCheck)->isChecked());
        EXPECT_FALSE(Child<QCheckBox>(*again, objname::kPrintDateCheck)->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(*again, objname::kNameCheck)->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(*again, objname::kSummaryCheck)->isChecked());
        again->reject();
    }
}

TEST_F(PrintDialogTest, WithoutPrintersThePdfFileIsChosenAndPrintsTheTable) {
    auto form = NewDialog();
    form->show();
    auto* list = Child<QComboBox>(*form, objname::kPrinterList);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentText(), QStringLiteral("Plik PDF"));
    EXPECT_EQ(form->Printer().outputFormat(), QPrinter::PdfFormat);

    pdfPath_ = dir_.filePath(QStringLiteral("tabela.pdf"));
    Click(*form, objname::kPrintButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    ASSERT_TRUE(form->PrintTable());
    EXPECT_EQ(pathQuestions_, 1);
    EXPECT_TRUE(errors_.isEmpty());
    EXPECT_EQ(form->FirstRecord, 0);
    EXPECT_EQ(form->LastRecord, 119);
    EXPECT_GE(PdfPageCount(pdfPath_), 1);
    const QString text = PdfText(pdfPath_);
    EXPECT_TRUE(text.contains(QStringLiteral("Chłodnia B")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wilgotność")));
}

TEST_F(PrintDialogTest, InstalledPrintersAreListedBeforeThePdfFile) {
    auto form = NewDialog({QStringLiteral("Biuro"), QStringLiteral("Laser 2")});
    form->show();
    auto* list = Child<QComboBox>(*form, objname::kPrinterList);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Biuro"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("Laser 2"));
    EXPECT_EQ(list->itemText(2), QStringLiteral("Plik PDF"));
    EXPECT_EQ(form->PdfEntryIndex(), 2);
    form->reject();
}

TEST_F(PrintDialogTest, AnUnwritablePdfPathIsReportedAndNothingElseIsLost) {
    auto form = NewDialog();
    form->show();
    Click(*form, objname::kHeaderCheck);
    Child<QPlainTextEdit>(*form, objname::kHeaderText)->setPlainText(QStringLiteral("Nagłówek A"));
    form->accept();

    pdfPath_ = dir_.filePath(QStringLiteral("brak/katalogu/tabela.pdf"));
    EXPECT_FALSE(form->PrintTable());
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("Nie można zapisać pliku PDF")));
    EXPECT_TRUE(errors_[0].contains(pdfPath_));
    EXPECT_FALSE(QFile::exists(pdfPath_));
    EXPECT_EQ(store_.Count(), 120);
    EXPECT_TRUE(FileText().contains(QStringLiteral("Header1=Nag")));

    // The operator picks another file and it prints.
    pdfPath_ = dir_.filePath(QStringLiteral("dobry.pdf"));
    EXPECT_TRUE(form->PrintTable());
    EXPECT_EQ(errors_.size(), 1);
    EXPECT_TRUE(PdfText(pdfPath_).contains(QStringLiteral("Nagłówek A")));

    // Cancelling the file choice prints nothing and reports nothing.
    pdfPath_.clear();
    EXPECT_FALSE(form->PrintTable());
    EXPECT_EQ(errors_.size(), 1);
}

TEST_F(PrintDialogTest, TrailingEmptyHeaderLinesGoWhenPrintingAndComeBackOnTheNextShow) {
    auto form = NewDialog();
    form->show();
    Click(*form, objname::kHeaderCheck);
    auto* memo = Child<QPlainTextEdit>(*form, objname::kHeaderText);
    memo->setPlainText(QStringLiteral("\nDruga\n\n\n"));
    form->accept();
    pdfPath_ = dir_.filePath(QStringLiteral("naglowek.pdf"));
    ASSERT_TRUE(form->PrintTable());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\nDruga"));
    EXPECT_TRUE(PdfText(pdfPath_).contains(QStringLiteral("Druga")));
    form->show();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("\nDruga\n\n\n"));
    form->reject();
}

TEST_F(PrintDialogTest, CaptionsAndThePdfEntryFollowTheLanguage) {
    Translator translator;
    quorvex::test::ProgramTextsScope texts(kLanguageEnglish);
    auto form = NewDialog();
    TranslateWindow(translator, kLanguageEnglish, form.get());
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Print"));
    EXPECT_EQ(Child<QAbstractButton>(*form, objname::kPrinterSetupButton)->text(), QStringLiteral("Properties"));
    EXPECT_EQ(Child<QGroupBox>(*form, objname::kPrinterGroup)->title(), QStringLiteral("Printer"));
    EXPECT_EQ(Child<QComboBox>(*form, objname::kPrinterList)->currentText(), QStringLiteral("PDF file"));

    pdfPath_ = dir_.filePath(QStringLiteral("english.pdf"));
    ASSERT_TRUE(form->PrintTable());
    const QString text = PdfText(pdfPath_);
    EXPECT_TRUE(text.contains(QStringLiteral("Logger name:")));
    EXPECT_TRUE(text.contains(QStringLiteral("Humidity")));

    texts.SetLanguage(kLanguagePolish);
    TranslateWindow(translator, kLanguagePolish, form.get());
    EXPECT_EQ(Child<QAbstractButton>(*form, objname::kPrintCancelButton)->text(), QStringLiteral("Anuluj"));
    form->reject();
}

}  // namespace
}  // namespace quorvex
