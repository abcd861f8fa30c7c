// The results text file: proposed name, byte-exact layout, safe replacement
// of an existing file and the error of a file that cannot be written.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "LogTestUtil.h"
#include "ProgramTextsScope.h"
#include "i18n/Translator.h"
#include "logs/ResultsFile.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void FillStore(ResultsStore& store, const QString& type, int count) {
    store.Clear();
    store.loggerName = QStringLiteral("Chłodnia 3");
    store.loggerType = type;
    store.serialNumber = QStringLiteral("0019A7F3");
    const Moment start = ToMoment(QDate(2015, 3, 1), QTime(23, 55));
    for (int i = 0; i < count; ++i)
        store.Append(i == 0 ? -12.5f : 21.3f, i == 0 ? 45.6f : 100.0f, start + i * 300.0 / 86400.0);
}

TEST(ResultsFile, ProposedNameIsCleanedForTheFileSystem) {
    EXPECT_EQ(ProposedResultsFileName(QStringLiteral("Hall: A/B"), "01.03.2015", "08:30:00"),
              QStringLiteral("Hall_ A_B 01.03.2015 08_30_00"));
    EXPECT_EQ(ProposedResultsFileName(QString(), "01.03.2015", "08:30:00"),
              QStringLiteral("Logger 01.03.2015 08_30_00"));
    EXPECT_EQ(ProposedResultsFileName(QStringLiteral(" \t<a>|b?*\\c\x01 "), "3/1/2015", "8:30:00 AM"),
              QStringLiteral("_a__b___c 3_1_2015 8_30_00 AM"));
    // Nothing but blanks: the trimmed parts still make a name.
    EXPECT_EQ(ProposedResultsFileName(QStringLiteral("   "), "1.03.2015", "08:30:00"),
              QStringLiteral("1.03.2015 08_30_00"));
    EXPECT_EQ(ProposedResultsFileName(QStringLiteral("x"), QString(), QString()), QStringLiteral("x"));
    // The file type: a typed extension decides, else the chosen filter.
    EXPECT_EQ(ResultsPathForFilter(QStringLiteral("/d/a 1.03.2015 08_30_00"), kResultsCsvFilter),
              QStringLiteral("/d/a 1.03.2015 08_30_00.csv"));
    EXPECT_EQ(ResultsPathForFilter(QStringLiteral("/d/a.TXT"), kResultsCsvFilter), QStringLiteral("/d/a.TXT"));
    EXPECT_EQ(ResultsPathForFilter(QStringLiteral("/d/a"), kResultsTextFilter), QStringLiteral("/d/a.txt"));
    EXPECT_EQ(ResultsFormatOf(QStringLiteral("/d/a.Csv")), ResultsFormat::Csv);
    EXPECT_EQ(ResultsFormatOf(QStringLiteral("/d/a.csv.txt")), ResultsFormat::Text);

    LocaleGuard locale("de_DE");
    ParameterModel params;
    test::FillParameters(params);
    ResultsStore store;
    store.loggerName = QStringLiteral("Hall: A/B");
    EXPECT_EQ(ProposedResultsFileName(store, params), QStringLiteral("Hall_ A_B 01.03.2015 08_30_00"));
    // Records in hand: their first moment, whatever start the parameters hold now.
    FillStore(store, QStringLiteral("0201"), 3);
    EXPECT_EQ(ProposedResultsFileName(store, params), QStringLiteral("Chłodnia 3 01.03.2015 23_55_00"));
}

TEST(ResultsFile, TemperatureLoggerLayoutIsByteExact) {
    LocaleGuard locale("pl_PL");
    ResultsStore store;
    FillStore(store, QStringLiteral("0101"), 2);
    // The screen's separator (an English window's) never reaches the file.
    SetDecimalSeparator(u'.');
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    ASSERT_TRUE(SaveResultsFile(path, store).ok);
    const QByteArray expected = QStringLiteral(
                                    "Nazwa\tChłodnia 3\r\nTyp\t0101\r\nSerial\t0019A7F3\r\n \r\n \r\n \r\n \r\n"
                                    "1\t1.03.2015 23:55:00\t-12,5\t\r\n"
                                    "2\t2.03.2015 00:00:00\t21,3\t\r\n")
                                    .toUtf8();
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(ResultsFile, HumidityLoggerHas257LinesFor250RecordsInEnglish) {
    LocaleGuard locale("en_US");
    test::ProgramTextsScope translator(kLanguageEnglish);
    ResultsStore store;
    FillStore(store, QStringLiteral("0201"), 250);
    SetDecimalSeparator(u',');
    QTemporaryDir dir;
    const QString path = dir.filePath("h.txt");
    const SaveResultsOutcome outcome = SaveResultsFile(path, store);
    ASSERT_TRUE(outcome.ok) << qPrintable(outcome.errorText);

    const QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 258);  // 257 lines and the empty rest after the last CR LF
    for (int i = 0; i < 257; ++i) EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_EQ(lines[0], QByteArray("Name\tChłodnia 3\r"));
    EXPECT_EQ(lines[1], QByteArray("Type\t0201\r"));
    EXPECT_EQ(lines[7], QByteArray("1\t3/1/2015 11:55:00 PM\t-12.5\t45.6\r"));
    EXPECT_EQ(lines[8], QByteArray("2\t3/2/2015 12:00:00 AM\t21.3\t100.0\r"));
    EXPECT_EQ(lines[256], QByteArray("250\t3/2/2015 8:40:00 PM\t21.3\t100.0\r"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
}

TEST(ResultsFile, EmptyStoreWritesTheSevenHeaderLines) {
    ResultsStore store;
    QTemporaryDir dir;
    ASSERT_TRUE(SaveResultsFile(dir.filePath("e.txt"), store).ok);
    EXPECT_EQ(ReadAll(dir.filePath("e.txt")), QByteArray("Nazwa\t\r\nTyp\t\r\nSerial\t\r\n \r\n \r\n \r\n \r\n"));
}

TEST(ResultsFile, UnwritableTargetReportsPathAndReasonAndKeepsEverything) {
    ResultsStore store;
    FillStore(store, QStringLiteral("0201"), 10);
    QTemporaryDir dir;
    const QString missing = dir.filePath("no such folder/r.txt");
    const SaveResultsOutcome outcome = SaveResultsFile(missing, store);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.errorText.startsWith(QStringLiteral("Nie można zapisać pliku wyników:\n")));
    EXPECT_TRUE(outcome.errorText.contains(missing));
    EXPECT_GT(outcome.errorText.size(),
              QStringLiteral("Nie można zapisać pliku wyników:\n").size() + missing.size() + 1);
    EXPECT_EQ(store.Count(), 10);
    test::ProgramTextsScope translator(kLanguageGerman);
    const QString german = SaveResultsFile(missing, store).errorText;
    EXPECT_TRUE(german.startsWith(QStringLiteral("Die Ergebnisdatei lässt sich nicht speichern:\n")))
        << qPrintable(german);

    // A folder in the target's place.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.txt"));
    EXPECT_FALSE(SaveResultsFile(dir.filePath("taken.txt"), store).ok);
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.txt")).isDir());
}

TEST(ResultsFile, FullDiskLeavesTheEarlierFileIntact) {
    ResultsStore store;
    FillStore(store, QStringLiteral("0201"), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    ASSERT_TRUE(SaveResultsFile(path, store).ok);
    const QByteArray good = ReadAll(path);

    // A file size limit makes every write beyond 4 KiB fail as a full disk would.
    FillStore(store, QStringLiteral("0201"), 5000);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResultsOutcome outcome = SaveResultsFile(path, store);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.errorText.contains(path));
    EXPECT_EQ(ReadAll(path), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.txt"});  // no temporary left
    EXPECT_EQ(store.Count(), 5000);
}

}  // namespace
}  // namespace quorvex
