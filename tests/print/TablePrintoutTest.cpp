// The results table printout, printed to PDF and read back with the poppler
// tools: what is on which page, counted the way a reader of the paper would.
#include "print/TablePrinter.h"

#include <QFontInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <string>

#include "PrintTestSupport.h"
#include "ProgramTextsScope.h"
#include "i18n/Translator.h"
#include "params/Codecs.h"

namespace quorvex {
namespace {

using namespace printtest;

class TablePrintout : public PrintTest {
protected:
    QString Pdf(const QString& name) const { return dir_.filePath(name); }

    // Prints `store` to a PDF of the given page at 600 dpi without margins.
    TablePrintResult Print(const ResultsStore& store, const PrintHeaderOptions& options, const QString& path,
                           QPageSize page = QPageSize(QPageSize::A4),
                           QPageLayout::Orientation orientation = QPageLayout::Portrait) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(600);
        printer.setPageSize(page);
        printer.setPageOrientation(orientation);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        EXPECT_TRUE(painter.begin(&printer));
        const TablePrintResult result = PrintTable(painter, printer, store, options, QDate(2024, 5, 17));
        painter.end();
        return result;
    }
};

PrintHeaderOptions NoHeader() {
    PrintHeaderOptions o;
    o.header = o.name = o.number = o.interval = o.firstLog = o.printDate = false;
    return o;
}

// What a reader counts on a full first page: the blocks side by side (one
// "Lp" heading each) and the rows of the first block, which reach down to the
// page number ("1/7") at the foot of the paper, a line of room apart.
struct ReaderCount {
    int blocks = 0;
    int rowsPerBlock = 0;
    int PerPage() const { return blocks * rowsPerBlock; }
};

const Word* PageNumber(const Page& page) {
    static const QRegularExpression fraction(QStringLiteral("^\\d+/\\d+$"));
    for (const Word& w : page.words)
        if (fraction.match(w.text).hasMatch()) return &w;
    return nullptr;
}

ReaderCount CountRowsOnFirstPage(const Page& page) {
    ReaderCount c;
    const auto headings = page.Find(QStringLiteral("Lp"));
    const auto one = page.Find(QStringLiteral("1"));
    const auto two = page.Find(QStringLiteral("2"));
    const Word* number = PageNumber(page);
    if (headings.empty() || one.empty() || two.empty() || !number) return c;
    const double pitch = two[0]->yCentre() - one[0]->yCentre();
    // A number stands centred under its block's heading, however wide either is.
    auto centre = [](const Word& w) { return (w.xMin + w.xMax) / 2; };
    double first = page.width, second = page.width;
    for (const Word* h : headings) first = std::min(first, centre(*h));
    for (const Word* h : headings)
        if (centre(*h) > first + 1) second = std::min(second, centre(*h));
    const double firstBlockEnd = (first + second) / 2;
    static const QRegularExpression whole(QStringLiteral("^\\d+$"));
    double lastRow = 0;
    for (const Word& w : page.words)
        if (centre(w) < firstBlockEnd && whole.match(w.text).hasMatch()) {
            ++c.rowsPerBlock;
            lastRow = std::max(lastRow, w.yCentre());
        }
    c.blocks = static_cast<int>(headings.size());
    // The block is full: one more row would reach into the line kept free above the number.
    const double tableBottom = number->yMin - (number->yMax - number->yMin);
    EXPECT_LE(lastRow + pitch / 2, tableBottom + 1.0);
    EXPECT_GT(lastRow + pitch / 2 + pitch, tableBottom - 1.0) << "room for another row was left";
    return c;
}

// Pages, and the record numbers on pages 1, 2 and the last, follow from the
// first page's rows: every page but the last is full, numbers run on.
void ExpectPagesCountedByReader(const QString& pdf, int records) {
    const std::vector<Page> first = PdfWords(pdf, 1, 1);
    ASSERT_EQ(first.size(), 1u);
    const ReaderCount count = CountRowsOnFirstPage(first[0]);
    ASSERT_GT(count.PerPage(), 0);
    const int expectedPages = (records + count.PerPage() - 1) / count.PerPage();
    const int pages = PdfPageCount(pdf);
    EXPECT_EQ(pages, expectedPages) << count.blocks << " blocks of " << count.rowsPerBlock << " rows";
    for (int p : {1, 2, pages}) {
        if (p > pages) continue;
        const std::vector<Page> one = PdfWords(pdf, p, p);
        ASSERT_EQ(one.size(), 1u);
        std::vector<int> numbers = RecordNumbers(one[0]);
        std::sort(numbers.begin(), numbers.end());
        const int from = (p - 1) * count.PerPage() + 1;
        const int to = std::min(records, p * count.PerPage());
        ASSERT_EQ(static_cast<int>(numbers.size()), to - from + 1) << "page " << p;
        EXPECT_EQ(numbers.front(), from) << "page " << p;
        EXPECT_EQ(numbers.back(), to) << "page " << p;
        EXPECT_EQ(one[0].Find(QStringLiteral("Lp")).size(),
                  static_cast<std::size_t>((to - from) / count.rowsPerBlock + 1))
            << "every block has its heading, page " << p;
        // "Strona p/pages" at the foot, below everything else on the page.
        const auto number = one[0].Find(QStringLiteral("%1/%2").arg(p).arg(pages));
        ASSERT_EQ(number.size(), 1u) << "page " << p;
        EXPECT_EQ(SameRow(one[0], *one[0].Find(QStringLiteral("Strona")).at(0)).size(), 2u);
        const auto below = std::count_if(one[0].words.begin(), one[0].words.end(), [&](const Word& w) {
            return std::abs(w.yCentre() - number[0]->yCentre()) > 0.5 && w.yMax > number[0]->yMin;
        });
        EXPECT_EQ(below, 0) << "page " << p;
    }
}

TEST_F(TablePrintout, PagesAndBlocksFollowFromRowPitchAndPageHeight) {
    ResultsStore store;
    struct Case {
        int records;
        QPageSize page;
        QPageLayout::Orientation orientation;
    };
    const Case cases[] = {
        {250, QPageSize(QPageSize::A4), QPageLayout::Portrait},
        {5000, QPageSize(QPageSize::A4), QPageLayout::Portrait},
        {777, QPageSize(QPageSize::A5), QPageLayout::Landscape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        FillStore(store, c.records);
        const QString pdf = Pdf(QStringLiteral("pages%1.pdf").arg(c.records));
        const TablePrintResult result = Print(store, PrintHeaderOptions{}, pdf, c.page, c.orientation);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.pages, PdfPageCount(pdf));
        ExpectPagesCountedByReader(pdf, c.records);
    }
}

TEST_F(TablePrintout, TemperatureLoggerPrintsFourColumnsHumidityLoggerFive) {
    ResultsStore store;
    // A point typed on screen does not reach the paper: it keeps the Polish comma.
    float typed = 0;
    ASSERT_TRUE(ParseNumber(QStringLiteral("2.5"), typed));
    for (const auto& [type, columns] : {std::pair{QStringLiteral("01.3"), 4}, std::pair{QStringLiteral("02.1"), 5}}) {
        SCOPED_TRACE(type.toStdString());
        FillStore(store, 40, type);
        const QString pdf = Pdf(type + QStringLiteral(".pdf"));
        ASSERT_TRUE(Print(store, NoHeader(), pdf).ok);
        const Page page = PdfWords(pdf, 1, 1).at(0);
        const auto heading = page.Find(QStringLiteral("Lp"));
        ASSERT_EQ(heading.size(), 1u);
        EXPECT_EQ(SameRow(page, *heading[0]).size(), static_cast<std::size_t>(columns));
        const auto first = page.Find(QStringLiteral("1"));
        ASSERT_FALSE(first.empty());
        const auto row = SameRow(page, *first[0]);
        ASSERT_EQ(row.size(), static_cast<std::size_t>(columns));
        EXPECT_EQ(row[1]->text, QStringLiteral("1.03.2024"));
        EXPECT_EQ(row[2]->text, QStringLiteral("08:00:00"));
        EXPECT_EQ(row[3]->text, QStringLiteral("-5,0°C"));
        EXPECT_EQ(page.Find(QStringLiteral("Wilgotność")).size(), columns == 5 ? 1u : 0u);
    }
}

// The room left and right of the text in each cell of a row of a rendered
// page; `word` is a word of the row whose box marks it.
std::vector<std::pair<int, int>> CellRoom(const QImage& image, const Word& word, int dpi) {
    auto px = [&](double points) { return static_cast<int>(std::lround(points * dpi / 72.0)); };
    const int top = px(word.yMin) - 1, bottom = px(word.yMax) + 1;
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    // Cell borders run through the whole row; no glyph does.
    std::vector<int> borders;
    for (int x = 0; x < image.width(); ++x) {
        bool through = true;
        for (int y = top; y <= bottom && through; ++y) through = dark(x, y);
        if (through && (borders.empty() || x > borders.back() + 1))
            borders.push_back(x);
        else if (through)
            borders.back() = x;
    }
    // The glyphs' bodies, clear of the row's top and bottom rules.
    const int inner = (bottom - top) / 5;
    std::vector<std::pair<int, int>> room;
    for (std::size_t b = 1; b < borders.size(); ++b) {
        int first = -1, last = -1;
        for (int x = borders[b - 1] + 2; x < borders[b] - 1; ++x)
            for (int y = top + inner; y <= bottom - inner; ++y)
                if (dark(x, y)) {
                    if (first < 0) first = x;
                    last = x;
                }
        if (first >= 0) room.emplace_back(first - borders[b - 1], borders[b] - last);
    }
    return room;
}

TEST_F(TablePrintout, EveryHeadingAndValueFitsItsCellInEveryLanguageAndLocale) {
    // Late evening, a cold store and a saturated one: the widest times ("11:58:58 PM"),
    // temperatures and humidities each locale writes.
    ResultsStore store;
    FillStore(store, 0);
    const Moment start = ToMoment(QDate(2024, 12, 28), QTime(23, 58, 58));
    for (int i = 0; i < 20; ++i) store.Append(-88.8f, 100.0f, start + i / 144.0);
    Translator translator;
    quorvex::test::ProgramTextsScope texts;
    const int dpi = 200;
    struct Case {
        QString language;
        const char* locale;
        const char* time;  // the first record's time as the locale writes it
    };
    for (const Case& c : {Case{kLanguagePolish, "pl_PL", "23:58:58"}, Case{kLanguageEnglish, "en_US", "11:58:58"},
                          Case{kLanguageGerman, "de_DE", "23:58:58"}}) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        translator.SetLanguage(c.language);
        texts.SetLanguage(c.language);
        const QString pdf = Pdf(c.language + QStringLiteral(".pdf"));
        ASSERT_TRUE(Print(store, NoHeader(), pdf).ok);
        const Page page = PdfWords(pdf, 1, 1).at(0);
        const auto lp = page.Find(translator.Tr(QStringLiteral("[2200]Lp")));
        ASSERT_EQ(lp.size(), 1u);
        EXPECT_EQ(page.Find(translator.Tr(QStringLiteral("[2201]Strona %1/%2")).section(u' ', 0, 0)).size(), 1u);
        EXPECT_EQ(page.Find(QStringLiteral("1/1")).size(), 1u);
        const auto time = page.Find(QString::fromLatin1(c.time));
        ASSERT_FALSE(time.empty());
        const QImage image = PdfPageImage(pdf, 1, dpi, pdf + QStringLiteral(".page"));
        // Cells are a fifth wider than the widest text they hold: a tenth of it
        // on either side (12 pixels and more here for the longest headings),
        // never the sliver of a cell sized for the heading in plain text (4 or 5),
        // nor a text cut at the cell's border (1 or 2).
        for (const auto& [row, least] : {std::pair{lp[0], 9}, std::pair{time[0], 5}}) {
            const auto room = CellRoom(image, *row, dpi);
            ASSERT_EQ(room.size(), 5u) << row->text.toStdString();
            for (std::size_t cell = 0; cell < room.size(); ++cell) {
                EXPECT_GE(room[cell].first, least) << row->text.toStdString() << ", column " << cell + 1;
                EXPECT_GE(room[cell].second, least) << row->text.toStdString() << ", column " << cell + 1;
            }
        }
    }
}

TEST_F(TablePrintout, PagesAreSetInTheFaceLoadedFromItsFileWhateverElseIsInstalled) {
    // Here every sans serif name stands for another face (PrintTestSupport.h); the
    // printout still embeds its own face alone, plain and bold.
    ResultsStore store;
    FillStore(store, 30);
    PrintHeaderOptions all;
    all.summary = true;
    const QString pdf = Pdf(QStringLiteral("face.pdf"));
    ASSERT_TRUE(Print(store, all, pdf).ok);
    const QStringList fonts = RunTool(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_GE(fonts.size(), 2);
    for (const QString& font : fonts)
        EXPECT_TRUE(font.contains(QStringLiteral("LiberationSans"))) << font.toStdString();
    EXPECT_EQ(QFontInfo(PrintFont(10, true)).family(), QStringLiteral("Liberation Sans"));
}

TEST_F(TablePrintout, HeaderBlockShowsExactlyTheChosenFactsOnEveryPage) {
    ResultsStore store;
    FillStore(store, 600);
    PrintHeaderOptions all;
    all.header = true;
    all.headerLines = {QStringLiteral("Magazyn Północ"), QStringLiteral("Kontrola HACCP")};
    all.summary = true;
    const QString full = Pdf(QStringLiteral("all.pdf"));
    SetDecimalSeparator(u'.');  // as after typing "2.5" on screen: paper keeps the system's ","
    ASSERT_TRUE(Print(store, all, full).ok);
    ResetDecimalSeparator();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("Temperatura średnia:\\s+-?\\d+,\\d°C")).match(PdfText(full)).hasMatch());
    const int pages = PdfPageCount(full);
    ASSERT_GE(pages, 2);
    // Every page repeats the header, with the values beside their labels.
    for (int p : {1, pages}) {
        const QString text = PdfText(full, p, p);
        EXPECT_TRUE(text.contains(QStringLiteral("Kontrola HACCP"))) << p;
        // The summary's shorter first page is counted in.
        EXPECT_TRUE(text.contains(QStringLiteral("Strona %1/%2").arg(p).arg(pages))) << p;
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("Typ, numer seryjny Loggera:\\s+02\\.1 SN-A17")).match(text).hasMatch());
        // Record 600 is 599 intervals of 10 minutes after the first: 5 March, 11:50.
        EXPECT_TRUE(QRegularExpression(QStringLiteral("Data ostatniego loga:\\s+5\\.03\\.2024 11:50:00"))
                        .match(text)
                        .hasMatch());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("Data wydruku:\\s+17\\.05\\.2024")).match(text).hasMatch());
        // The summary only tops the first page.
        EXPECT_EQ(text.contains(QStringLiteral("Podsumowanie")), p == 1) << p;
        EXPECT_EQ(QRegularExpression(QStringLiteral("Liczba rekordów:\\s+600\\b")).match(text).hasMatch(), p == 1);
    }

    const std::pair<bool PrintHeaderOptions::*, QString> switches[] = {
        {&PrintHeaderOptions::header, QStringLiteral("Magazyn Północ")},
        {&PrintHeaderOptions::name, QStringLiteral("Nazwa Loggera:")},
        {&PrintHeaderOptions::number, QStringLiteral("Typ, numer seryjny Loggera:")},
        {&PrintHeaderOptions::interval, QStringLiteral("Częstość zapisu logów:")},
        {&PrintHeaderOptions::firstLog, QStringLiteral("Data ostatniego loga:")},
        {&PrintHeaderOptions::printDate, QStringLiteral("Data wydruku:")},
        {&PrintHeaderOptions::summary, QStringLiteral("Średnia temperatura kinetyczna (MKT):")},
    };
    FillStore(store, 5);
    for (const auto& [flag, label] : switches) {
        SCOPED_TRACE(label.toStdString());
        PrintHeaderOptions one = all;
        one.*flag = false;
        const QString pdf = Pdf(QStringLiteral("without.pdf"));
        ASSERT_TRUE(Print(store, one, pdf).ok);
        const QString text = PdfText(pdf);
        EXPECT_FALSE(text.contains(label));
        for (const auto& [other, otherLabel] : switches) {
            if (other != flag) {
                EXPECT_TRUE(text.contains(otherLabel)) << otherLabel.toStdString();
            }
        }
    }
}

TEST_F(TablePrintout, OneRecordGivesOnePageWhoseFirstAndLastLogAreThatRecord) {
    ResultsStore store;
    FillStore(store, 1);
    const QString pdf = Pdf(QStringLiteral("one.pdf"));
    const TablePrintResult result = Print(store, PrintHeaderOptions{}, pdf);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    const Page page = PdfWords(pdf, 1, 1).at(0);
    EXPECT_EQ(RecordNumbers(page), std::vector<int>{1});
    const QString text = PdfText(pdf);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("pierwszego loga:\\s+1\\.03\\.2024 08:00:00")).match(text).hasMatch());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("ostatniego loga:\\s+1\\.03\\.2024 08:00:00")).match(text).hasMatch());
}

TEST_F(TablePrintout, BlankHeaderLinesBeforeAFilledOneKeepTheirPlace) {
    ResultsStore store;
    FillStore(store, 3);
    auto yOf = [&](const QStringList& lines, const QString& word) {
        PrintHeaderOptions o = NoHeader();
        o.header = true;
        o.headerLines = lines;
        const QString pdf = Pdf(QStringLiteral("blank.pdf"));
        EXPECT_TRUE(Print(store, o, pdf).ok);
        const Page page = PdfWords(pdf, 1, 1).at(0);
        const auto found = page.Find(word);
        const auto heading = page.Find(QStringLiteral("Lp"));
        EXPECT_EQ(found.size(), 1u);
        EXPECT_EQ(heading.size(), 1u);
        return std::pair{found.empty() ? -1.0 : found[0]->yCentre(), heading.empty() ? -1.0 : heading[0]->yCentre()};
    };
    const auto filled = yOf({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z"), QStringLiteral("Dół")},
                            QStringLiteral("Dół"));
    const auto blank = yOf({{}, {}, {}, QStringLiteral("Dół")}, QStringLiteral("Dół"));
    EXPECT_NEAR(blank.first, filled.first, 0.01);
    EXPECT_NEAR(blank.second, filled.second, 0.01);
    // Three lines push the table down by three fourths of what four lines do.
    const auto three = yOf({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Dół")}, QStringLiteral("Dół"));
    const auto none = yOf({}, QStringLiteral("Lp"));
    EXPECT_NEAR(three.second - none.second, 0.75 * (filled.second - none.second), 0.05);
}

// The darkest column right of `fromX` (pixels), over the whole page.
int DarkPixelsRightOf(const QImage& image, int fromX) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark;
    return dark;
}

TEST_F(TablePrintout, LongHeaderLinesWrapAndPushTheTableDownLongNamesStopAtTheMargin) {
    ResultsStore store;
    FillStore(store, 300);
    PrintHeaderOptions shortOnes;
    shortOnes.header = true;
    shortOnes.headerLines = {QStringLiteral("Krótko")};
    const QString shortPdf = Pdf(QStringLiteral("short.pdf"));
    ASSERT_TRUE(Print(store, shortOnes, shortPdf).ok);
    const Page shortPage = PdfWords(shortPdf, 1, 1).at(0);
    const double shortTop = shortPage.Find(QStringLiteral("Lp")).at(0)->yCentre();
    const double pitch = shortPage.Find(QStringLiteral("Typ,")).at(0)->yCentre() -
                         shortPage.Find(QStringLiteral("Nazwa")).at(0)->yCentre();

    // A sentence of many words and one endless word: both wrap within the
    // margins, nothing of them is lost, and the table moves down by whole lines.
    PrintHeaderOptions longOnes = shortOnes;
    QStringList words;
    for (int i = 1; i <= 60; ++i) words << QStringLiteral("słowo%1").arg(i);
    longOnes.headerLines = {words.join(u' '), QString(400, u'W')};
    const QString wrappedPdf = Pdf(QStringLiteral("wrapped.pdf"));
    ASSERT_TRUE(Print(store, longOnes, wrappedPdf).ok);
    const Page wrapped = PdfWords(wrappedPdf, 1, 1).at(0);
    for (const QString& w : words) EXPECT_EQ(wrapped.Find(w).size(), 1u) << w.toStdString();
    const double moved = wrapped.Find(QStringLiteral("Lp")).at(0)->yCentre() - shortTop;
    EXPECT_GE(moved, 3 * pitch - 0.5);
    EXPECT_NEAR(moved / pitch, std::round(moved / pitch), 0.05);

    // Facts are cut at the margin instead: long names leave the table where it was.
    store.loggerName = QString(300, u'M');
    store.serialNumber = QString(300, u'8');
    const QString namesPdf = Pdf(QStringLiteral("names.pdf"));
    ASSERT_TRUE(Print(store, shortOnes, namesPdf).ok);
    EXPECT_NEAR(PdfWords(namesPdf, 1, 1).at(0).Find(QStringLiteral("Lp")).at(0)->yCentre(), shortTop, 0.01);
    EXPECT_EQ(PdfPageCount(namesPdf), PdfPageCount(shortPdf));

    // On paper: nothing right of the right margin (3 % of the printable width).
    const int dpi = 100;
    for (const QString& pdf : {wrappedPdf, namesPdf}) {
        const QImage image = PdfPageImage(pdf, 1, dpi, pdf + QStringLiteral(".page"));
        ASSERT_FALSE(image.isNull());
        const int right = image.width() - static_cast<int>(std::ceil(0.03 * 0.9 * image.width()));
        EXPECT_EQ(DarkPixelsRightOf(image, right + 2), 0) << pdf.toStdString();
        EXPECT_GT(DarkPixelsRightOf(image, right - 30), 0) << "the long texts reach the margin";
    }
}

TEST_F(TablePrintout, APageTooSmallForOneRowEndsTheJobInsteadOfPrintingForever) {
    ResultsStore store;
    FillStore(store, 50);
    PrintHeaderOptions tall;
    tall.header = true;
    tall.headerLines = QStringList(5, QStringLiteral("Wiersz"));
    const TablePrintResult result =
        Print(store, tall, Pdf(QStringLiteral("tiny.pdf")), QPageSize(QSizeF(60, 40), QPageSize::Millimeter));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.pages, 1);
}

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Peak growth of the resident size while printing `records` records.
long PrintPeakGrowthKb(ResultsStore& store, int records, const QString& pdf,
                       const std::function<TablePrintResult(const ResultsStore&, const QString&)>& print) {
    FillStore(store, records);
    // Reset the peak resident size, so the peak below is the printout's own.
    std::ofstream(std::string("/proc/self/clear_refs")) << "5";
    const long before = PeakResidentKb();
    EXPECT_TRUE(print(store, pdf).ok);
    return PeakResidentKb() - before;
}

TEST_F(TablePrintout, HundredThousandRecordsStreamPageByPage) {
    ResultsStore store;
    auto print = [this](const ResultsStore& s, const QString& pdf) { return Print(s, PrintHeaderOptions{}, pdf); };
    // The smaller job first also loads fonts and the PDF machinery.
    const long smallKb = PrintPeakGrowthKb(store, 25000, Pdf(QStringLiteral("quarter.pdf")), print);
    const QString pdf = Pdf(QStringLiteral("big.pdf"));
    const long bigKb = PrintPeakGrowthKb(store, 100000, pdf, print);
    RecordProperty("peak_growth_kb_25000", static_cast<int>(smallKb));
    RecordProperty("peak_growth_kb_100000", static_cast<int>(bigKb));
    ExpectPagesCountedByReader(pdf, 100000);
    // Four times the pages: kept pages would need about four times the memory.
    const long fileKb = static_cast<long>(QFileInfo(pdf).size() / 1024);
    EXPECT_LT(bigKb, smallKb + fileKb / 4) << "peak growth " << smallKb << " kB for 25,000 records, " << bigKb
                                           << " kB for 100,000 (file " << fileKb << " kB)";
}

}  // namespace
}  // namespace quorvex
