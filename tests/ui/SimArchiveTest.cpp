// The window's archive against the logger simulator: a command that begins a new log asks
// while the logger holds records the archive lacks, and a download keeps them; the archive
// window shows what was downloaded and opens it with the thresholds read with it; a results
// file, which carries no thresholds, shows none; import refuses what is no results file.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>
#include <QTreeWidget>

#include "EventLoopWait.h"
#include "LocaleGuard.h"
#include "SimProcess.h"
#include "UiTestSupport.h"
#include "archive/Archive.h"
#include "chart/ChartWindow.h"
#include "logs/LogDownload.h"
#include "logs/ResultsFile.h"
#include "sign/FileSigner.h"
#include "ui/ArchiveKeeping.h"
#include "ui/ArchiveWindow.h"
#include "ui/ChangeLogWindow.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"
#include "ui/dialogs/ObjectNames.h"
#include "ui/dialogs/StartDialog.h"
#include "ui/dialogs/TemperatureThresholdDialog.h"

namespace quorvex::test {
namespace {

constexpr int kWaitMs = 60000;  // a download of a few blocks takes seconds; the bound catches a hang

class SimArchive : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        sim = std::make_unique<SimProcess>();
        ASSERT_TRUE(sim->Running());
        MainWindowOptions o;
        o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);
        o.portOverride = QString::fromStdString(sim->LinkPath());
        o.archive = ArchivePath();
        o.keyFolder = dir.filePath(QStringLiteral("config"));
        o.prompts = &prompts;
        form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->show();
        ASSERT_TRUE(WaitUntil([&] { return form->ParamsReady() && form->LastStateCode() == 70; }, kWaitMs));
        held = model.Param<WriteIndex>().GetText().toInt();
        ASSERT_GT(held, 0);
    }
    void TearDown() override {
        if (!form) return;
        form->close();
        DestroyWindows(*form);
        form.reset();
    }
    QAction* ArchiveItem() { return form->findChild<QAction*>(QString::fromLatin1(objname::kArchiveItem)); }
    ArchiveWindow* ArchiveBrowser() {
        return form->findChild<ArchiveWindow*>(QString::fromLatin1(objname::kArchiveWindow));
    }
    ChangeLogWindow* ChangeLogBrowser() {
        return form->findChild<ChangeLogWindow*>(QString::fromLatin1(objname::kChangeLogWindow));
    }
    QString ArchivePath() const { return dir.filePath(QStringLiteral("archive.sqlite")); }
    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(QString::fromLatin1(name)); }
    // The text of the visible box of that name, empty when there is none.
    QString BoxText(const char* name) {
        for (QMessageBox* box : form->findChildren<QMessageBox*>(QString::fromLatin1(name)))
            if (box->isVisible()) return box->text();
        return {};
    }
    // Gives the link time to do whatever it would (here: nothing).
    static void Settle() {
        WaitUntil([] { return false; }, 1500);
    }
    // The logger's logs as a second program finds them in the archive.
    QList<ArchiveLogRow> ArchivedLogs() {
        ArchiveText error;
        ArchiveLocation where;
        where.kind = ArchiveLocation::Kind::Sqlite;
        where.path = ArchivePath();
        auto archive = Archive::Open(where, error);
        EXPECT_TRUE(archive) << error.In(kLanguageEnglish).toStdString();
        const auto logs = archive ? archive->Logs(model.Param<SerialNumber>().GetText()) : std::nullopt;
        return logs.value_or(QList<ArchiveLogRow>{});
    }
    // The one the logger's downloads made.
    ArchiveLogRow ArchivedLog() {
        for (const ArchiveLogRow& log : ArchivedLogs())
            if (log.sourceFile.isEmpty()) return log;
        return {};
    }

    LocaleGuard locale{"pl_PL"};
    QTemporaryDir dir;
    ParameterModel model;
    ResultsStore results;
    std::unique_ptr<SimProcess> sim;
    ScriptedPrompts prompts;  // what the operator answers and sees
    std::unique_ptr<MainWindow> form;
    int held = 0;
};

TEST_F(SimArchive, NewLogAsksWhileRecordsAreUnarchivedAndDownloadFirstKeepsThemThenStarts) {
    // The monitor's Start names what would be lost; Cancel writes nothing.
    Button(objname::kRecordStartButton)->click();
    EXPECT_TRUE(BoxText(objname::kEraseWarningBox).contains(QString::number(held)))
        << BoxText(objname::kEraseWarningBox).toStdString();
    ASSERT_TRUE(AnswerNewLogBox(form.get(), objname::kCancelStartButton));

    // The start dialog arming a timed start asks the same; Cancel leaves the start mode alone.
    auto* start = static_cast<StartDialog*>(form->Windows().startDialog);
    start->show();
    start->timedStartRadio->click();
    start->dateEdit->setDate(start->dateEdit->date().addDays(1));
    start->saveButton->click();
    EXPECT_FALSE(start->isVisible());
    ASSERT_TRUE(AnswerNewLogBox(form.get(), objname::kCancelStartButton));
    Settle();
    EXPECT_EQ(form->LastStateCode(), 70);
    EXPECT_EQ(model.Param<StartLog>().GetValue(), 1);
    EXPECT_EQ(model.Param<WriteIndex>().GetText().toInt(), held);
    EXPECT_EQ(ArchivedLog().archived, 0);

    // "Download first": every record into the archive, then the recording starts.
    Button(objname::kRecordStartButton)->click();
    ASSERT_TRUE(AnswerNewLogBox(form.get(), objname::kDownloadFirstButton));
    ASSERT_TRUE(WaitUntil([&] { return form->LastStateCode() == 100; }, kWaitMs));
    EXPECT_EQ(form->ResultsPage().Download().GetState(), LogDownload::Finished);
    EXPECT_EQ(results.Count(), held);
    const ArchiveLogRow log = ArchivedLog();
    EXPECT_EQ(log.archived, held);
    ASSERT_EQ(log.downloads.size(), 1);
    EXPECT_EQ(log.downloads[0].outcome, ArchiveOutcome::Complete);
    EXPECT_TRUE(BoxText(objname::kEraseWarningBox).isEmpty());
}

TEST_F(SimArchive, ArchiveWindowOpensTheDownloadWithItsThresholdsAFileShowsNoneAndImportRefusesNonResults) {
    // Before the first download there is no archive: the window names the one missing and makes none.
    ArchiveItem()->trigger();
    const QString missing = ArchiveBrowser()->findChild<QLabel*>(QString::fromLatin1(objname::kArchiveWhere))->text();
    EXPECT_TRUE(missing.contains(ArchivePath()) && missing.contains(QStringLiteral("nie istnieje")))
        << missing.toStdString();
    EXPECT_FALSE(QFile::exists(ArchivePath()));
    ArchiveBrowser()->close();

    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return form->ResultsPage().Download().GetState() == LogDownload::Finished; }, kWaitMs));
    const std::optional<Thresholds> downloaded = results.thresholds;
    ASSERT_TRUE(downloaded);
    // Everything the logger holds is archived: Start asks nothing.
    Button(objname::kRecordStartButton)->click();
    EXPECT_TRUE(BoxText(objname::kEraseWarningBox).isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return form->LastStateCode() == 100; }, kWaitMs));

    // A saved file opened: no thresholds in the summary or on the chart.
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    ASSERT_TRUE(SaveResultsFile(saved, results).ok);
    Button(objname::kChartButton)->click();
    auto* chart = qobject_cast<ChartWindow*>(form->Windows().chartWindow);
    ASSERT_TRUE(chart && chart->isVisible());
    chart->thresholdsButton->click();
    EXPECT_TRUE(chart->PrintView().showThresholds);
    ASSERT_TRUE(form->ResultsPage().OpenResultsFile(saved));
    EXPECT_FALSE(results.thresholds);
    EXPECT_FALSE(chart->thresholdsButton->isEnabled());
    EXPECT_FALSE(chart->PrintView().showThresholds);

    // The archive window lists the logger; its log opens with the thresholds of its download.
    ArchiveItem()->trigger();
    ArchiveWindow* window = ArchiveBrowser();
    ASSERT_TRUE(window && window->isVisible());
    const QString serial = model.Param<SerialNumber>().GetText();
    auto* filter = window->findChild<QLineEdit*>(QString::fromLatin1(objname::kArchiveFilter));
    filter->setText(QStringLiteral("no such logger"));
    EXPECT_FALSE(window->ChooseLogger(serial));
    filter->setText(serial.right(4));
    ASSERT_TRUE(window->ChooseLogger(serial));
    ASSERT_TRUE(window->OpenChosen());
    EXPECT_EQ(results.Count(), held);
    ASSERT_TRUE(results.thresholds);
    EXPECT_EQ(*results.thresholds, *downloaded);
    EXPECT_TRUE(chart->thresholdsButton->isEnabled());
    EXPECT_EQ(*chart->ThresholdsBlock(), *downloaded);

    // Import: the saved file becomes a log of its own; a file that is no results file is refused
    // with its line, and one changed after signing unless the operator says otherwise.
    const QString bad = dir.filePath(QStringLiteral("notes.txt"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("shopping list\n");
    f.close();
    const QString changed = dir.filePath(QStringLiteral("changed.txt"));
    ASSERT_TRUE(QFile::copy(saved, changed));
    ASSERT_TRUE(FileSigner(QStringLiteral("Quorvex"), form->Keeping().KeyFolder()).Sign(changed, {}).done);
    QFile c(changed);
    ASSERT_TRUE(c.open(QIODevice::Append));
    c.write("\r\n");
    c.close();
    const QStringList& asked = prompts.questions;
    prompts.importPaths = {{saved, bad, changed}};
    prompts.confirms = {false};
    form->findChild<QAction*>(QString::fromLatin1(objname::kImportItem))->trigger();
    EXPECT_TRUE(BoxText(objname::kArchiveMessageBox).contains(QStringLiteral("notes.txt")))
        << BoxText(objname::kArchiveMessageBox).toStdString();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(changed)) << asked[0].toStdString();
    EXPECT_TRUE(BoxText(objname::kArchiveMessageBox).contains(QStringLiteral("changed.txt")));
    // Opening the file earlier archived nothing: the import is its only log.
    QList<int> imported;
    for (const ArchiveLogRow& log : ArchivedLogs())
        if (!log.sourceFile.isEmpty()) imported << log.archived;
    EXPECT_EQ(imported, QList<int>{held});
    EXPECT_EQ(ArchivedLog().archived, held);  // never mixed with what came from the logger
    bool notSigned = false;
    for (const ChangeEntry& e : form->Keeping().DownloadArchive()->Changes().value_or(QList<ChangeEntry>{}))
        notSigned = notSigned || (e.kind == ChangeKind::Import && e.details.contains(QStringLiteral("not signed")));
    EXPECT_TRUE(notSigned);

    // A record changed behind the program's back: the log is marked damaged as it is chosen,
    // does not open, and what the tab shows stays.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(ArchivePath());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(
            QStringLiteral("UPDATE record SET temperature = temperature + 5 WHERE number = 3 AND raw IS NOT NULL")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
    const std::uint64_t shown = results.Generation();
    window->Refresh();
    ASSERT_TRUE(window->ChooseLogger(serial));
    auto* logs = window->findChild<QTreeWidget*>(QString::fromLatin1(objname::kArchiveLogs));
    ASSERT_TRUE(logs->currentItem());
    EXPECT_TRUE(logs->currentItem()->text(5).contains(QStringLiteral("USZKODZONY")))
        << logs->currentItem()->text(5).toStdString();
    prompts.boxes.clear();
    EXPECT_FALSE(window->OpenChosen());
    ASSERT_EQ(prompts.boxes.size(), 1u);
    const QString said = prompts.boxes[0].text;
    EXPECT_TRUE(said.contains(serial) && said.contains(QStringLiteral("od rekordu 3"))) << said.toStdString();
    EXPECT_EQ(results.Generation(), shown);
}

TEST_F(SimArchive, AThresholdWrittenFromTheWindowIsInTheChangeLogWithBeforeAndAfter) {
    auto* dialog = static_cast<TemperatureThresholdDialog*>(form->Windows().temperatureDialog);
    const QString before = model.Param<HighTemp>().GetText();
    dialog->show();
    dialog->upperEdit->setText(QStringLiteral("33,5"));
    dialog->findChild<QPushButton*>(QString::fromLatin1(objname::kSaveButton))->click();
    const auto written = [&]() -> std::optional<ChangeEntry> {
        if (!form->Keeping().DownloadArchive()) return std::nullopt;  // made by the first write
        for (const ChangeEntry& e : form->Keeping().DownloadArchive()->Changes().value_or(QList<ChangeEntry>{}))
            if (e.kind == ChangeKind::RegisterWrite) return e;
        return std::nullopt;
    };
    ASSERT_TRUE(WaitUntil([&] { return written().has_value(); }, kWaitMs));
    const ChangeEntry e = *written();
    EXPECT_EQ(e.subject, model.Param<HighTemp>().Name);
    EXPECT_EQ(e.before, before);
    EXPECT_EQ(e.after, QStringLiteral("33,5"));
    EXPECT_EQ(e.confirmed, 1);
    EXPECT_EQ(e.serial, model.Param<SerialNumber>().GetText());

    // The window checks the chain as it opens.
    form->findChild<QAction*>(QString::fromLatin1(objname::kChangeLogItem))->trigger();
    ASSERT_TRUE(ChangeLogBrowser());
    EXPECT_TRUE(ChangeLogBrowser()
                    ->findChild<QLabel*>(QString::fromLatin1(objname::kChangeLogCheck))
                    ->text()
                    .contains(QStringLiteral("nienaruszony")));
    // The list and its printout carry the write, before and after.
    const auto* list = ChangeLogBrowser()->findChild<QTreeWidget*>(QString::fromLatin1(objname::kChangeLogEntries));
    ASSERT_TRUE(list && list->topLevelItemCount() >= 1);
    const QString pdf = dir.filePath(QStringLiteral("log.pdf"));
    EXPECT_TRUE(ChangeLogBrowser()->PrintTo(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));  // only catches a hang
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("33,5")) && printed.contains(before)) << printed.toStdString();
    ChangeLogBrowser()->close();
}

}  // namespace
}  // namespace quorvex::test
