// The PDF report read back as a reader sees it (pdftotext): verdict, logger
// facts and where the data came from on page 1, the page count and, on every
// page, "page N of M", the version and the records' fingerprint; in Polish and
// English, with each kind of table; and a folder that cannot be written.
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

#include "PrintTestSupport.h"
#include "ProgramTextsScope.h"
#include "chart/Chart.h"
#include "logs/DewPoint.h"
#include "logs/LogRecord.h"
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

// `days` of a cold room every 10 minutes from 28 December, 23:48:45: the temperature
// between 2 and 8 °C, the humidity between 45 and 85 % in a day-night swing.
void FillColdRoom(ResultsStore& store, int days = 2) {
    FillStore(store, 0);
    store.intervalSeconds = 600;
    store.thresholds = Thresholds{8.0f, 2.0f, 80.0f, 30.0f};
    const Moment start = ToMoment(QDate(2024, 12, 28), QTime(23, 48, 45));
    for (int i = 0; i < 144 * days; ++i) {
        const double phase = 2 * M_PI * i / 144.0;
        store.Append(static_cast<float>(std::round(50 + 30 * std::sin(phase)) / 10),
                     static_cast<float>(std::round(650 + 200 * std::sin(phase + 1)) / 10), start + i / 144.0);
    }
}

QList<ExcursionRule> ColdRoomRules() {
    return {{RuleSeries::Temperature, RuleSide::Above, 7.5f, RuleMeasure::SingleExcursion, 15 * 60},
            {RuleSeries::Humidity, RuleSide::Above, 80.0f, RuleMeasure::TotalTime, 2 * 3600},
            {RuleSeries::DewPoint, RuleSide::Above, 2.0f},
            {RuleSeries::KineticTemperature, RuleSide::Above, 8.0f}};
}

// Page 1 of the English report as a reader takes it in: no text drawn over another,
// a rule's time allowed whole on one line, who made the report, and the name it is
// proposed under; the facts and the verdict are never left as a page of a few rows.
TEST_F(Report, FirstPageReadsCleanlyAndSaysWhoMadeIt) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    test::ProgramTextsScope texts(QStringLiteral("Angielski"));
    qputenv("USER", "reviewer7");
    ResultsStore store;
    FillColdRoom(store, 5);  // more excursions than page 1 holds with the summary
    EXPECT_EQ(ProposedReportFileName(store), QStringLiteral("Chłodnia B 2024-12-28_23-48-45.pdf"));
    ReportRequest request;
    request.results = &store;
    request.rules = ColdRoomRules();
    request.table = ReportTable::None;
    request.source.file = QStringLiteral("/srv/results/a rather long folder name/Chłodnia B 2024-12-28.csv");
    const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
    const ReportOutcome outcome = WriteReport(pdf, request);
    ASSERT_TRUE(outcome.ok) << outcome.errorText.toStdString();
    const int pages = outcome.pages;
    ASSERT_EQ(pages, 3);
    const std::vector<Page> first = PdfWords(pdf, 1, pages - 1);  // all but the chart
    ASSERT_EQ(static_cast<int>(first.size()), pages - 1);
    for (std::size_t p = 0; p < first.size(); ++p) {
        const std::vector<Word>& words = first[p].words;
        for (std::size_t i = 0; i < words.size(); ++i)
            for (std::size_t j = i + 1; j < words.size(); ++j) {
                const Word &a = words[i], &b = words[j];
                const bool overlap =
                    a.xMin < b.xMax - 0.5 && b.xMin < a.xMax - 0.5 && a.yMin < b.yMax - 0.5 && b.yMin < a.yMax - 0.5;
                EXPECT_FALSE(overlap) << "page " << p + 1 << ": '" << a.text.toStdString() << "' over '"
                                      << b.text.toStdString() << "'";
            }
        // A page of its own holds more than the tail of a list.
        EXPECT_GT(words.size(), 40u) << "page " << p + 1;
    }
    // "0d  00h:15m:00s" stands on one line.
    const std::vector<Word>& words = first.at(0).words;
    const auto minutes = std::find_if(words.begin(), words.end(),
                                      [](const Word& w) { return w.text.contains(QStringLiteral("00h:15m:00s")); });
    ASSERT_NE(minutes, words.end());
    EXPECT_TRUE(minutes->text.startsWith(QStringLiteral("0d")) ||
                (minutes != words.begin() && (minutes - 1)->text == QStringLiteral("0d") &&
                 std::abs((minutes - 1)->yCentre() - minutes->yCentre()) < 0.5))
        << (minutes - 1)->text.toStdString() << " / " << minutes->text.toStdString();
    const QString text = PdfText(pdf, 1, 1).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("Report made"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("User: reviewer7"))) << text.toStdString();
}

// The rows of `image` holding `colour`, and the longest share of a row's width it covers.
struct ColourSpread {
    int top = -1, bottom = -1;
    double widestRow = 0;
};
ColourSpread SpreadOf(const QImage& image, QRgb colour) {
    ColourSpread spread;
    for (int y = 0; y < image.height(); ++y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x) {
            // Near the colour: the page's raster need not fall on the chart's pixels.
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) < 70 && std::abs(qGreen(p) - qGreen(colour)) < 70 &&
                 std::abs(qBlue(p) - qBlue(colour)) < 70;
        }
        if (n == 0) continue;
        if (spread.top < 0) spread.top = y;
        spread.bottom = y;
        spread.widestRow = std::max(spread.widestRow, static_cast<double>(n) / image.width());
    }
    return spread;
}

// The chart page: temperature (and dew point) on the left axis, humidity on its own
// at the right, so a cold room's 2 to 8 °C fill the plot as its 45 to 85 % do; each
// rule's limit a line across the plot in its series' colour. The table carries the
// dew point the chart shows.
TEST_F(Report, ChartGivesEachSeriesItsAxisAndEachRuleItsLineAndTheTableTheDewPoint) {
    test::ProgramTextsScope texts(QStringLiteral("Angielski"));
    ResultsStore store;
    FillColdRoom(store);
    ReportRequest request;
    request.results = &store;
    request.rules = ColdRoomRules();
    request.table = ReportTable::All;
    const QString pdf = dir_.filePath(QStringLiteral("chart.pdf"));
    const ReportOutcome outcome = WriteReport(pdf, request);
    ASSERT_TRUE(outcome.ok) << outcome.errorText.toStdString();
    // The chart's page is the landscape one.
    const std::vector<Page> pages = PdfWords(pdf, 1, outcome.pages);
    const auto landscape = std::find_if(pages.begin(), pages.end(), [](const Page& p) { return p.width > p.height; });
    ASSERT_NE(landscape, pages.end());
    const int chartPage = static_cast<int>(landscape - pages.begin()) + 1;
    // 300 dpi: each pixel of the chart's bitmap two by two, one of them at least unblended.
    const QImage page = PdfPageImage(pdf, chartPage, 300, dir_.filePath(QStringLiteral("chart")));
    ASSERT_FALSE(page.isNull());
    const ColourSpread temperature = SpreadOf(page, Chart::kTempColour);
    const ColourSpread humidity = SpreadOf(page, Chart::kHumColour);
    ASSERT_GT(humidity.bottom - humidity.top, page.height() / 3);
    EXPECT_GT(temperature.bottom - temperature.top, 0.8 * (humidity.bottom - humidity.top))
        << "temperature from row " << temperature.top << " to " << temperature.bottom << ", humidity from "
        << humidity.top << " to " << humidity.bottom;
    // A limit line is the only thing that runs across most of the plot in one colour.
    for (const auto& [name, colour] :
         {std::pair{"temperature", Chart::kTempColour}, std::pair{"humidity", Chart::kHumColour},
          std::pair{"dew point", Chart::kDewPointColour}})
        EXPECT_GT(SpreadOf(page, colour).widestRow, 0.3) << name;
    // The humidity's axis: a black line upright at the right end of the plot.
    int rightAxis = -1;
    for (int x = page.width() / 2; x < page.width(); ++x) {
        int run = 0, longest = 0;
        for (int y = 0; y < page.height(); ++y) {
            const QRgb p = page.pixel(x, y);
            run = std::max({qRed(p), qGreen(p), qBlue(p)}) < 90 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest > page.height() / 3) rightAxis = x;
    }
    EXPECT_GT(rightAxis, page.width() * 3 / 4);

    const Page& table = pages.at(static_cast<std::size_t>(chartPage));  // the first table page
    EXPECT_GE(table.Find(QStringLiteral("Dew")).size(), 1u);
    EXPECT_EQ(table.Find(QStringLiteral("Dew")).size(), table.Find(QStringLiteral("No.")).size());
    const auto first = SameRow(table, *table.Find(QStringLiteral("1")).at(0));
    ASSERT_EQ(first.size(), 6u);
    const LogRecord& r = store.At(0);
    EXPECT_EQ(first[5]->text, LogTemperatureText(*DewPoint(r.temperature, r.humidity), u','));
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
