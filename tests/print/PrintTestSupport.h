#pragma once
// Helpers of the printout tests: a GUI application, results stores to print,
// and the poppler tools that read a printed PDF back the way a reader sees it.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <vector>

#include "logs/ResultsStore.h"
#include "params/DateTimeCodec.h"

namespace quorvex::printtest {

// The printouts must come out the same whatever faces a machine has. The tests
// run as on a machine where every sans serif name, the printouts' own face's
// included, stands for another, wide face and the system's copy of the
// printouts' face is hidden: only a face loaded from its file gives the pages
// the tests expect. Set before the first font is looked up;
// QUORVEX_TEST_SYSTEM_FONTS=1 runs them on the machine's own configuration.
inline void HideThePrintFaceBehindOthers() {
    static QTemporaryDir dir;
    if (!dir.isValid() || qEnvironmentVariableIsSet("QUORVEX_TEST_SYSTEM_FONTS")) return;
    QString aliases;
    for (const char* name : {"Liberation Sans", "Arial", "Helvetica", "Nimbus Sans", "MS Sans Serif", "sans-serif"})
        aliases += QStringLiteral(
                       "<match target=\"pattern\"><test name=\"family\"><string>%1</string></test>"
                       "<edit name=\"family\" mode=\"assign\" binding=\"strong\"><string>DejaVu Sans</string>"
                       "</edit></match>\n")
                       .arg(QString::fromLatin1(name));
    const QString path = dir.filePath(QStringLiteral("fonts.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                              "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                              "<selectfont><rejectfont><glob>*/liberation*</glob><glob>*/Liberation*</glob>"
                              "</rejectfont></selectfont>\n%1</fontconfig>\n")
                   .arg(aliases)
                   .toUtf8());
    file.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
}

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    HideThePrintFaceBehindOthers();
    static int argc = 1;
    static char name[] = "test_print";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone.
    new QApplication(argc, argv);
}

// QUORVEX_KEEP_PRINTS=1 keeps the printed PDFs for a look at them.
inline void KeepPrintsIfAsked(QTemporaryDir& dir) {
    if (!qEnvironmentVariableIsSet("QUORVEX_KEEP_PRINTS")) return;
    dir.setAutoRemove(false);
    std::printf("printouts in %s\n", qPrintable(dir.path()));
}

// Ground of every printout test: the application, Polish number and date formats, and a
// private folder for the printed files.
class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        ASSERT_TRUE(dir_.isValid());
        KeepPrintsIfAsked(dir_);
    }

    QTemporaryDir dir_;
};

// A store of `count` records, one every 10 minutes from 1 March 2024, 08:00.
inline void FillStore(ResultsStore& store, int count, const QString& type = QStringLiteral("02.1")) {
    store.Clear();
    store.loggerName = QStringLiteral("Chłodnia B");
    store.loggerType = type;
    store.serialNumber = QStringLiteral("SN-A17");
    store.writeInterval = QStringLiteral("0d  00h:10m:00s");
    const Moment start = ToMoment(QDate(2024, 3, 1), QTime(8, 0));
    for (int i = 0; i < count; ++i)
        store.Append(static_cast<float>(i % 400) / 10.0f - 5.0f, static_cast<float>(i % 900) / 10.0f,
                     start + i / 144.0);
}

inline QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int PdfPageCount(const QString& pdf) {
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QString PdfText(const QString& pdf, int first = 1, int last = 1) {
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), QString::number(first), QStringLiteral("-l"), QString::number(last),
                    QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// One word of a printed page with its box in points from the page's top left.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
    double yCentre() const { return (yMin + yMax) / 2; }
};
struct Page {
    double width = 0, height = 0;
    std::vector<Word> words;
    std::vector<const Word*> Find(const QString& text) const {
        std::vector<const Word*> found;
        for (const Word& w : words)
            if (w.text == text) found.push_back(&w);
        return found;
    }
};

inline std::vector<Page> PdfWords(const QString& pdf, int first, int last) {
    const QString html =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(first),
                                              QStringLiteral("-l"), QString::number(last), pdf, QStringLiteral("-")});
    std::vector<Page> pages;
    static const QRegularExpression pageRe(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    static const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (const QString& line : html.split(u'\n')) {
        if (auto m = pageRe.match(line); m.hasMatch()) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (auto w = wordRe.match(line); w.hasMatch() && !pages.empty()) {
            QString text = w.captured(5);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            pages.back().words.push_back({text, w.captured(1).toDouble(), w.captured(2).toDouble(),
                                          w.captured(3).toDouble(), w.captured(4).toDouble()});
        }
    }
    return pages;
}

// The record numbers printed on a page (the words that are whole numbers
// standing in the first column of a block, i.e. left of a date).
inline std::vector<int> RecordNumbers(const Page& page) {
    std::vector<int> numbers;
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    for (const Word& w : page.words)
        if (number.match(w.text).hasMatch()) numbers.push_back(w.text.toInt());
    return numbers;
}

// The words on the same printed line as `word`.
inline std::vector<const Word*> SameRow(const Page& page, const Word& word) {
    std::vector<const Word*> row;
    for (const Word& w : page.words)
        if (std::abs(w.yCentre() - word.yCentre()) < 0.5 && w.xMin >= word.xMin - 0.5) row.push_back(&w);
    return row;
}

// Page `page` (1-based) as an image at `dpi`; with `crop`, only that part
// (in pixels at `dpi`).
inline QImage PdfPageImage(const QString& pdf, int page, int dpi, const QString& stem, QRect crop = {}) {
    QStringList args{QStringLiteral("-png"), QStringLiteral("-r"),         QString::number(dpi),
                     QStringLiteral("-f"),   QString::number(page),        QStringLiteral("-l"),
                     QString::number(page),  QStringLiteral("-singlefile")};
    if (!crop.isNull())
        args << QStringLiteral("-x") << QString::number(crop.x()) << QStringLiteral("-y") << QString::number(crop.y())
             << QStringLiteral("-W") << QString::number(crop.width()) << QStringLiteral("-H")
             << QString::number(crop.height());
    RunTool(QStringLiteral("pdftoppm"), args << pdf << stem);
    return QImage(stem + QStringLiteral(".png"));
}

}  // namespace quorvex::printtest
