// The desktop recognises the results files this program writes, in every language,
// by the type the package installs, and leaves other text files alone; the menu
// entry names only types the desktop knows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include "LogTestUtil.h"
#include "ProgramTextsScope.h"
#include "i18n/Translator.h"
#include "logs/ResultsFile.h"

namespace quorvex {
namespace {

const QString kPackaging = QStringLiteral(QUORVEX_SOURCE_DIR "/packaging/");
const std::string kResultsType = "text/x-quorvex-results";

// A data folder whose type database is built as on an installed system: the system's
// rules and the package's compiled together by the desktop's own tool. It stands in
// for the system's database in this process (set once: the database keeps what it read).
class ResultsFileType : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new QTemporaryDir;
        const QString packages = data_->filePath(QStringLiteral("share/mime/packages"));
        QDir().mkpath(packages);
        QFile::copy(kPackaging + QStringLiteral("org.quorvex.Quorvex.xml"),
                    packages + QStringLiteral("/org.quorvex.Quorvex.xml"));
        QFile::copy(QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml"),
                    packages + QStringLiteral("/freedesktop.org.xml"));
        qputenv("XDG_DATA_HOME", data_->filePath(QStringLiteral("home")).toUtf8());
        qputenv("XDG_DATA_DIRS", data_->filePath(QStringLiteral("share")).toUtf8());
        QProcess update;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PKGSYSTEM_ENABLE_FSYNC"), QStringLiteral("0"));  // a throw-away copy
        update.setProcessEnvironment(env);
        update.start(QStringLiteral("update-mime-database"), {data_->filePath(QStringLiteral("share/mime"))});
        update.waitForFinished(60000);
        updateExit_ = update.exitStatus() == QProcess::NormalExit ? update.exitCode() : -1;
        updateErrors_ = update.readAllStandardError();
        if (update.error() != QProcess::UnknownError) updateErrors_ += update.errorString().toUtf8();
    }
    static void TearDownTestSuite() { delete data_; }

    void SetUp() override {
        // The tool comes with shared-mime-info; it complains of whatever it cannot use in the rules.
        ASSERT_EQ(updateExit_, 0) << "update-mime-database: " << updateErrors_.constData();
        EXPECT_EQ(updateErrors_, QByteArray());
    }

    std::string TypeOf(const QString& name, const QByteArray& content) {
        const QString path = data_->filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        f.close();
        return db_.mimeTypeForFile(path).name().toStdString();
    }

    std::string SavedTypeOf(const QString& language, const QString& loggerName) {
        test::ProgramTextsScope translator(language);
        ResultsStore store;
        store.loggerName = loggerName;
        store.loggerType = QStringLiteral("0201");
        store.serialNumber = QStringLiteral("0019A7F3");
        store.Append(21.5f, 45.0f, ToMoment(QDate(2026, 12, 7), QTime(8, 30)));
        const QString path = data_->filePath(language + QStringLiteral(".txt"));
        const bool saved = SaveResultsFile(path, store).ok;
        EXPECT_TRUE(saved);
        return db_.mimeTypeForFile(path).name().toStdString();
    }

    static inline QTemporaryDir* data_ = nullptr;
    static inline int updateExit_ = -1;
    static inline QByteArray updateErrors_;
    QMimeDatabase db_;
};

TEST_F(ResultsFileType, SavedResultsInEveryLanguageHaveTheirOwnTextType) {
    test::LocaleGuard locale("de_DE");
    EXPECT_EQ(SavedTypeOf(kLanguagePolish, QStringLiteral("Chłodnia 3")), kResultsType);
    EXPECT_EQ(SavedTypeOf(kLanguageEnglish, QStringLiteral("Hall: A/B")), kResultsType);
    EXPECT_EQ(SavedTypeOf(kLanguageGerman, QStringLiteral("Żółć źdźbła ęą 1234567890")), kResultsType);
    EXPECT_EQ(SavedTypeOf(kLanguagePolish, QString()), kResultsType);
    // Text editors are still offered for them.
    EXPECT_TRUE(db_.mimeTypeForName(QString::fromStdString(kResultsType)).inherits(QStringLiteral("text/plain")));

    // Other text files keep being plain text, also one that starts like a results file.
    EXPECT_EQ(TypeOf(QStringLiteral("notes.txt"), "Shopping list\nmilk\n"), "text/plain");
    EXPECT_EQ(TypeOf(QStringLiteral("names.txt"), "Name\tAnna\r\nAge\t31\r\n"), "text/plain");
    EXPECT_EQ(TypeOf(QStringLiteral("r.csv"), "record,time,temperature_C\r\n1,2026-12-07T08:30:00+01:00,21.5\r\n"),
              "text/csv");
}

TEST_F(ResultsFileType, MenuEntryOpensOnlyKnownTypes) {
    QFile entry(kPackaging + QStringLiteral("org.quorvex.Quorvex.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList types;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QStringLiteral("MimeType="))) types = line.mid(9).split(u';', Qt::SkipEmptyParts);
    }
    EXPECT_TRUE(types.contains(QString::fromStdString(kResultsType)));
    EXPECT_TRUE(types.contains(QStringLiteral("text/csv")));
    for (const QString& type : types) EXPECT_TRUE(db_.mimeTypeForName(type).isValid()) << qPrintable(type);
}

}  // namespace
}  // namespace quorvex
