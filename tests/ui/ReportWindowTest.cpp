// The verdict, the report and the dew point from the window: the rules dialog refusing bad
// rows and storing good ones, the report of an opened file read back from the PDF, and the dew
// point column and chart series for results with humidity only.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "../chart/ChartTestUtil.h"
#include "../print/PrintTestSupport.h"
#include "DialogTestSupport.h"
#include "UiTestSupport.h"
#include "chart/ChartWindow.h"
#include "chart/PaintBox.h"
#include "logs/DewPoint.h"
#include "logs/ResultsModel.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/ObjectNames.h"
#include "ui/dialogs/RulesDialog.h"

namespace quorvex::test {
namespace {

class ReportWindow : public ::testing::Test {
protected:
    // The texts of the boxes the operator was shown.
    QStringList Boxes() const {
        QStringList texts;
        for (const ScriptedPrompts::Box& box : w.prompts.boxes) texts << box.text;
        return texts;
    }
    ResultsTab& Tab() { return w.form->ResultsPage(); }
    // Six records ten minutes apart; temperatures as given, 50 % humidity unless `humidity` is off.
    QString WriteCsv(const char* name, std::initializer_list<float> temperatures, bool humidity = true) {
        const QString path = w.dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(humidity ? "record,time,temperature_C,humidity_pct\r\n" : "record,time,temperature_C\r\n");
        int i = 0;
        for (float t : temperatures) {
            f.write(QStringLiteral("%1,2024-03-01T08:%2:00+01:00,%3%4\r\n")
                        .arg(i + 1)
                        .arg(i * 10, 2, 10, QLatin1Char('0'))
                        .arg(static_cast<double>(t), 0, 'f', 1)
                        .arg(humidity ? QStringLiteral(",50.0") : QString())
                        .toUtf8());
            ++i;
        }
        return path;
    }
    QString Setting(const char* key) {
        QSettings ini(w.path, QSettings::IniFormat);
        return ini.value(QString::fromLatin1(key)).toString();
    }
    QStringList SummaryTexts() {
        QStringList out;
        auto* list = w.Find<QTreeWidget>(objname::kSummaryList);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0) + u'|' + list->topLevelItem(i)->text(1);
        return out;
    }

    LocaleGuard locale{"pl_PL"};
    WindowFixture w;
};

TEST_F(ReportWindow, RulesDialogRefusesBadRowsStoresGoodOnesAndTheSummaryJudgesByThem) {
    ASSERT_TRUE(Tab().OpenResultsFile(WriteCsv("t.csv", {5.0f, 9.0f, 9.5f, 5.0f, 4.0f, 5.0f}, false)));
    w.Find<QAction>(objname::kRulesItem)->trigger();
    auto* dialog = w.form->findChild<RulesDialog*>(QString::fromLatin1(objname::kRulesDialog));
    ASSERT_NE(dialog, nullptr);
    dialog->addButton->click();
    auto cell = [&](int column) { return dialog->table->cellWidget(0, column); };
    auto* series = qobject_cast<QComboBox*>(cell(RulesDialog::ColumnSeries));
    struct Case {
        RuleSeries series;
        const char *limit, *minutes, *reason;
    };
    for (const Case& c : {Case{RuleSeries::Temperature, "", "0", "Wartość graniczna jest pusta"},
                          Case{RuleSeries::Temperature, "8,x", "0", "Wartość graniczna jest pusta"},
                          Case{RuleSeries::Temperature, "8", "-1", "nie może być ujemny"},
                          Case{RuleSeries::Temperature, "8", "", "Czas trwania jest pusty"},
                          Case{RuleSeries::Humidity, "70", "0", "nie mierzy wilgotności"},
                          Case{RuleSeries::DewPoint, "5", "0", "nie mierzy wilgotności"}}) {
        series->setCurrentIndex(series->findData(int(c.series)));
        qobject_cast<QLineEdit*>(cell(RulesDialog::ColumnLimit))->setText(QString::fromLatin1(c.limit));
        qobject_cast<QLineEdit*>(cell(RulesDialog::ColumnMinutes))->setText(QString::fromLatin1(c.minutes));
        ErrorBoxCatcher catcher;
        dialog->saveButton->click();
        ASSERT_EQ(catcher.texts.size(), 1) << c.limit;
        EXPECT_TRUE(catcher.texts[0].contains(QStringLiteral("Reguła 1:")) &&
                    catcher.texts[0].contains(QString::fromUtf8(c.reason)))
            << catcher.texts[0].toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(Setting("Rules/Count").isEmpty());  // nothing stored
    }
    // Either separator; 15 minutes allowed: the 20-minute excursion above 8 °C breaks it.
    series->setCurrentIndex(series->findData(int(RuleSeries::Temperature)));
    qobject_cast<QLineEdit*>(cell(RulesDialog::ColumnLimit))->setText(QStringLiteral("8.0"));
    qobject_cast<QLineEdit*>(cell(RulesDialog::ColumnMinutes))->setText(QStringLiteral("15,0"));
    dialog->saveButton->click();
    EXPECT_EQ(Setting("Rules/Count"), QStringLiteral("1"));
    EXPECT_EQ(Setting("Rules/Duration1"), QStringLiteral("900"));
    const QString summary = SummaryTexts().join(u'\n');
    EXPECT_TRUE(summary.contains(QStringLiteral("Ocena ogólna|NIEZGODNY"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Odcisk danych (SHA-256)|")));
}

TEST_F(ReportWindow, ReportOfAnOpenedFileCarriesVerdictOriginAndFingerprintOnEveryPage) {
    const QString csv = WriteCsv("h.csv", {20.0f, 21.0f, 30.5f, 22.0f, 20.0f, 19.0f});
    ASSERT_TRUE(Tab().OpenResultsFile(csv));
    SaveRules(w.form->SettingsFile(), {ExcursionRule{RuleSeries::Temperature, RuleSide::Above, 25.0f}});
    const QString pdf = w.dir.filePath(QStringLiteral("raport.pdf"));
    w.prompts.reportPaths = {pdf};
    w.prompts.reportTables = {ReportTable::Daily};
    w.Find<QPushButton>(objname::kReportButton)->click();
    ASSERT_TRUE(Boxes().isEmpty()) << Boxes().join(u'\n').toStdString();
    ASSERT_EQ(w.prompts.asked.size(), 1u);
    EXPECT_EQ(w.prompts.asked[0].table, ReportTable::All);  // nothing chosen before
    const QString asked = w.prompts.asked[0].proposed;
    // The first record's moment in the ISO form, whatever the locale writes.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(" \\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.pdf$")).match(asked).hasMatch())
        << asked.toStdString();
    EXPECT_EQ(Setting("Report/Table"), QStringLiteral("daily"));
    const int pages = printtest::PdfPageCount(pdf);
    ASSERT_GE(pages, 3);  // facts, chart, daily table
    const QString fingerprint = Tab().View().ShownFingerprint();
    ASSERT_EQ(fingerprint.size(), 64);
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(
            printtest::PdfText(pdf, page, page).remove(QRegularExpression(QStringLiteral("\\s"))).contains(fingerprint))
            << page;
    const QString first = printtest::PdfText(pdf, 1, 1);
    EXPECT_TRUE(first.contains(QStringLiteral("NIEZGODNY")));
    EXPECT_TRUE(first.contains(QStringLiteral("Odczytano z pliku"))) << first.toStdString();
    // Who made it, as every report says (the command line's too).
    EXPECT_TRUE(first.contains(QStringLiteral("Sporządzenie raportu")) && first.contains(QStringLiteral("Użytkownik:")))
        << first.toStdString();

    // A folder that is not there: a box naming it, nothing written.
    const QString nowhere = w.dir.filePath(QStringLiteral("brak/raport.pdf"));
    w.prompts.reportPaths = {nowhere};
    w.Find<QPushButton>(objname::kReportButton)->click();
    EXPECT_EQ(w.prompts.asked.back().table, ReportTable::Daily);  // the table chosen last time
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains(w.dir.filePath(QStringLiteral("brak")))) << Boxes()[0].toStdString();
    EXPECT_TRUE(QDir(w.dir.filePath(QStringLiteral("brak"))).entryList(QDir::Files).isEmpty());
}

TEST_F(ReportWindow, HumidityAndDewPointOnlyForResultsWithHumidity) {
    auto* table = w.Find<QTableView>(objname::kResultsTable);
    Tab().ChartChosen();
    auto* chart = qobject_cast<ChartWindow*>(w.form->Windows().chartWindow);
    ASSERT_NE(chart, nullptr);
    auto greenPixels = [&] {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();  // the window comes up
        chart->chartBox->repaint();
        return charttest::CountColour(chart->ChartBitmap(), Chart::kDewPointColour);
    };
    // A text file of a temperature-only logger that carries a humidity column of zeros all the
    // same: its type says there is no humidity, as a download from that logger would.
    const QString zeros = w.dir.filePath(QStringLiteral("t.txt"));
    {
        QFile f(zeros);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "Nazwa\tMro\xc5\xbania\r\nTyp\t0101\r\nSerial\t00310C5E\r\n \r\n \r\n \r\n \r\n"
            "1\t01.03.2024 08:00:00\t-18,5\t0,0\r\n2\t01.03.2024 08:10:00\t-18,0\t0,0\r\n");
    }
    const struct {
        QString path;
        bool humidity;
    } files[] = {{WriteCsv("h.csv", {20.0f, 30.0f, 25.0f}), true},
                 {WriteCsv("t.csv", {20.0f, 30.0f, 25.0f}, false), false},
                 {zeros, false}};
    for (const auto& [path, humidity] : files) {
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(Tab().OpenResultsFile(path));
        EXPECT_EQ(table->isColumnHidden(ResultsModel::ColumnHumidity), !humidity);
        EXPECT_EQ(table->isColumnHidden(ResultsModel::ColumnDewPoint), !humidity);
        EXPECT_EQ(SummaryTexts().filter(QStringLiteral("Wilgotność")).size(), humidity ? 3 : 0)
            << SummaryTexts().join(u'\n').toStdString();
        EXPECT_EQ(chart->humSeriesButton->isEnabled(), humidity);
        EXPECT_EQ(chart->dewPointButton->isEnabled(), humidity);
        if (humidity) {
            const auto dew = DewPoint(20.0f, 50.0f);
            ASSERT_TRUE(dew);
            EXPECT_EQ(table->model()->index(0, ResultsModel::ColumnDewPoint).data().toString(),
                      LogTemperatureText(*dew));
            chart->dewPointButton->click();
        }
        EXPECT_EQ(greenPixels() > 0, humidity);  // paints, and lays the chart out
        EXPECT_EQ(chart->ShowsDewPoint(), humidity);
        EXPECT_EQ(chart->ChartEngine().LegendTexts().size(), humidity ? 3 : 1);
    }
    chart->hide();
}

}  // namespace
}  // namespace quorvex::test
