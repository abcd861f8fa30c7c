// The file an unattended download writes: whatever the logger's name holds, the file lands in
// the chosen folder under a plain name with the serial number in it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "logs/LoggerResultsFile.h"

namespace quorvex {
namespace {

TEST(LoggerResultsFile, ANameFromTheDeviceIsMadeSafeAndTheSerialKeepsLoggersApart) {
    QTemporaryDir dir;
    const QString names[] = {QStringLiteral("../.."),          QStringLiteral("a/b\\c:d"),
                             QStringLiteral("\x01\x02Cold\n"), QString(64, u'A'),
                             QStringLiteral(".hidden"),        QString(),
                             QStringLiteral(" . . "),          QStringLiteral("Chłodnia – Łódź")};
    QStringList written;
    for (const QString& name : names) {
        for (const QString& serial : {QStringLiteral("0019A7F3"), QStringLiteral("0019A7F4")}) {
            SCOPED_TRACE(name.toStdString() + ' ' + serial.toStdString());
            ResultsStore store;
            store.loggerName = name;
            store.serialNumber = serial;
            store.Append(5.0f, 50.0f, ToMoment(QDate(2015, 3, 30), QTime(12, 0)));
            const WrittenResults out = WriteLoggerResults(dir.path(), store, ResultsFormat::Text);
            ASSERT_TRUE(out.ok) << out.errorText.toStdString();
            const QFileInfo file(out.path);
            EXPECT_EQ(file.absolutePath(), QDir(dir.path()).absolutePath());
            EXPECT_TRUE(file.isFile());
            const QString base = file.fileName();
            EXPECT_FALSE(base.startsWith(u'.'));
            EXPECT_LT(base.size(), 100);
            EXPECT_TRUE(base.contains(serial));
            EXPECT_TRUE(base.endsWith(QStringLiteral(" 2015-03-30 12-00-00.txt")));
            for (const QChar c : base) EXPECT_TRUE(c.isPrint()) << int{c.unicode()};
            written << base;
        }
    }
    // Every logger its own file: none written over another.
    written.removeDuplicates();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), written.size());
    EXPECT_TRUE(written.contains(QStringLiteral("Chłodnia – Łódź 0019A7F3 2015-03-30 12-00-00.txt")));

    ResultsStore store;
    const WrittenResults gone = WriteLoggerResults(dir.filePath(QStringLiteral("gone")), store, ResultsFormat::Csv);
    EXPECT_FALSE(gone.ok);
    EXPECT_TRUE(gone.folderMissing);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
}

}  // namespace
}  // namespace quorvex
