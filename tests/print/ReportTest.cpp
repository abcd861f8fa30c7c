// The PDF report read back as a reader sees it (pdftotext): verdict, logger
// facts and where the data came from on page 1, the page count and, on every
// page, "page N of M", the version and the records' fingerprint; in Polish and
// English, with each kind of table; and a folder that cannot be written.
#include <QDir>
#include <QFile>

#include "PrintTestSupport.h"
#include "ProgramTextsScope.h"
#include "logs/RecordsFingerprint.h"
#include "print/Report.h"

namespace quorvex::printtest {
namespace {

class Report : public PrintTest {};

TEST_F(Report, EveryPageIsTiedToItsRecordsInBothLanguages) {
    ResultsStore store;
    FillStore(store, 3000);  // 3000 records over about 21 days, -5.0 … 34.9 °C
    store.thresholds = Thresholds{30.0f, -10.0f, 95.0f, 0.0f};
    store.intervalSeconds = 600;
    const QString fingerprint = RecordsFingerprint(store);
    struct Case {
        const char* language;
        ReportTable table;
        const char* fail;
        const char* overall;
        const char* page;
    };
    for (const Case& c : {Case{"Polski", ReportTable::All, "NIEZGODNY", "Ocena ogólna", "Strona %1 z %2"},
                          Case{"Angielski", ReportTable::Daily, "FAIL", "Overall verdict", "Page %1 of %2"},
                          Case{"Angielski", ReportTable::None, "FAIL", "Overall verdict", "Page %1 of %2"}}) {
        SCOPED_TRACE(c.language);
        test::ProgramTextsScope texts(QString::fromUtf8(c.language));
        ReportRequest request;
        request.results = &store;
        request.rules = DefaultRules(store);
        request.table = c.table;
        request.source.firmware = QStringLiteral("3.07");
        request.source.downloaded = QDateTime(QDate(2024, 3, 22), QTime(9, 15));
        request.source.user = QStringLiteral("kontrola");
        request.source.received = 3000;
        request.source.announced = 3100;
        const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
        const ReportOutcome outcome = WriteReport(pdf, request);
        ASSERT_TRUE(outcome.ok) << outcome.errorText.toStdString();
        const int pages = PdfPageCount(pdf);
        EXPECT_EQ(pages, outcome.pages);
        const QString first = PdfText(pdf, 1, 1).simplified();
        // Temperatures above 30 °C break the upper threshold; the rest holds.
        for (const QString& expected : {QStringLiteral("Chłodnia B"), QStringLiteral("SN-A17"), QStringLiteral("3.07"),
                                        QStringLiteral("kontrola"), QStringLiteral("3000"), QStringLiteral("3100"),
                                        QString::fromUtf8(c.overall) + u' ' + QString::fromUtf8(c.fail)})
            EXPECT_TRUE(first.contains(expected)) << expected.toStdString() << "\n" << first.toStdString();
        for (int p = 1; p <= pages; ++p) {
            const QString text = PdfText(pdf, p, p).simplified();
            EXPECT_TRUE(text.contains(fingerprint)) << "page " << p;
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.page).arg(p).arg(pages))) << "page " << p;
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Quorvex \\d+\\.\\d+")))) << "page " << p;
        }
        const QString last = PdfText(pdf, pages, pages);
        if (c.table == ReportTable::All) {
            EXPECT_GT(pages, 10);
            EXPECT_TRUE(last.contains(QStringLiteral("3000"))) << last.toStdString();
        } else if (c.table == ReportTable::Daily) {
            EXPECT_EQ(pages, 3);  // the first page, the chart, 21 days
            EXPECT_TRUE(last.contains(QStringLiteral("Maximum"))) << last.toStdString();
        } else {
            EXPECT_EQ(pages, 2);
        }
    }
}

TEST_F(Report, SmallLogsAndAFolderThatCannotBeWritten) {
    test::ProgramTextsScope texts(QStringLiteral("Polski"));
    ResultsStore store;
    FillStore(store, 1, QStringLiteral("01.1"));
    ReportRequest request;
    request.results = &store;
    request.rules = {{RuleSeries::Temperature, RuleSide::Above, 8.0f}};
    const QString pdf = dir_.filePath(QStringLiteral("one.pdf"));
    ASSERT_TRUE(WriteReport(pdf, request).ok);
    EXPECT_TRUE(PdfText(pdf).simplified().contains(QStringLiteral("Ocena ogólna ZGODNY")));
    // Letter in the United States.
    EXPECT_EQ(ReportPaper(QLocale(QLocale::English, QLocale::UnitedStates)).id(), QPageSize::Letter);
    EXPECT_EQ(ReportPaper(QLocale(QLocale::Polish, QLocale::Poland)).id(), QPageSize::A4);

    const QString missing = dir_.filePath(QStringLiteral("none/report.pdf"));
    const ReportOutcome failed = WriteReport(missing, request);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.errorText.contains(QStringLiteral("none"))) << failed.errorText.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("one.pdf")});
}

}  // namespace
}  // namespace quorvex::printtest
