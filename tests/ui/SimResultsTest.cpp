// Log downloads through the main window against the logger simulator over a
// pseudo-terminal: the transmission thread hands every block to the window
// (message LogReadDone) and the end of the log as a refusal (EndOfLog). Stop and resume,
// the chart growing while blocks arrive, the results file, and a logger that
// goes away in the middle of a download.
#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

#include "EventLoopWait.h"
#include "LocaleGuard.h"
#include "SimProcess.h"
#include "UiTestSupport.h"
#include "chart/ChartWindow.h"
#include "logs/LogDownload.h"
#include "logs/LogRecord.h"
#include "modbus/TransmissionThread.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"

namespace quorvex::test {
namespace {

const std::string kScenario = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/temperature.ini";
// A fixed logger clock: a restarted simulator reports the same start of recording.
const std::string kClock = "2015-03-30 12:00:00";

// A paced download of a few blocks takes seconds; the bound only catches a hang.
constexpr int kDownloadWaitMs = 60000;

class SimResults : public ::testing::Test {
protected:
    void Launch(std::vector<std::string> simArgs, const std::string& scenario = kScenario) {
        EnsureApplication();
        simArgs.insert(simArgs.end(), {"--no-pacing", "--scenario", scenario, "--clock", kClock});
        sim = std::make_unique<SimProcess>(simArgs);
        ASSERT_TRUE(sim->Running());
        MainWindowOptions o;
        o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);  // not the machine's
        o.portOverride = QString::fromStdString(sim->LinkPath());
        o.prompts = &prompts;
        form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->show();
        ASSERT_TRUE(WaitUntil([&] { return form->ParamsReady(); }, kDownloadWaitMs));
    }
    void TearDown() override {
        if (!form) return;
        form->close();
        DestroyWindows(*form);
        form.reset();
    }
    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(QString::fromLatin1(name)); }
    QStringList Status() {
        QStringList lines;
        auto* list = form->findChild<QListWidget*>(QString::fromLatin1(objname::kDownloadStatusList));
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    // The newest log read has gone out and its reply has not been handed over yet.
    bool LogReadInFlight() {
        const auto history = form->Thread()->History();
        for (auto it = history.rbegin(); it != history.rend(); ++it)
            if (it->Tag == TAG_LOG) return it->Status == STATUS_SENT;
        return false;
    }
    void ExpectFinishedWith(int count) {
        ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Finished; }, kDownloadWaitMs));
        EXPECT_EQ(Status(), QStringList({QStringLiteral("Odczyt danych zakończony"), QString(),
                                         QStringLiteral("Pobrano %1 logów").arg(count)}));
        ExpectStoreIsTheLoggersLog(count);
    }
    LogDownload& Logs() { return form->ResultsPage().Download(); }
    int Rows() {
        return form->findChild<QTableView*>(QString::fromLatin1(objname::kResultsTable))->model()->rowCount();
    }
    QString Lp(int row) {
        auto* m = form->findChild<QTableView*>(QString::fromLatin1(objname::kResultsTable))->model();
        return m->data(m->index(row, 0)).toString();
    }
    // Every record equals the logger's, stamped start + k × 600 s.
    void ExpectStoreIsTheLoggersLog(int count) {
        std::string error;
        auto scenario = sim::Scenario::LoadFile(kScenario, &error);
        ASSERT_TRUE(scenario) << error;
        scenario->clock = kClock;
        scenario->recordCount = static_cast<std::uint32_t>(count);
        const SimLogger logger(*scenario);
        ASSERT_EQ(results.Count(), count);
        ASSERT_EQ(Rows(), count);
        const QDateTime first = FromMoment(results[0].time);
        EXPECT_EQ(first.date(), QLocale().toDate(model.Param<LogStartDate>().GetText(), ShortDateFormat()));
        for (int i = 0; i < count; ++i) {
            const DecodedRecord d = DecodeLogRecord(logger.Records()[static_cast<std::size_t>(i)]);
            ASSERT_EQ(results[i].temperature, d.temperature) << i;
            ASSERT_EQ(FromMoment(results[i].time), first.addSecs(600LL * i)) << i;
        }
        EXPECT_EQ(Lp(count - 1), QString::number(count));
    }

    LocaleGuard locale{"pl_PL"};
    QTemporaryDir dir;
    ParameterModel model;
    ResultsStore results;
    std::unique_ptr<SimProcess> sim;
    ScriptedPrompts prompts;  // what the operator answers and sees
    std::vector<ScriptedPrompts::Box>& boxes = prompts.boxes;
    std::unique_ptr<MainWindow> form;
};

TEST_F(SimResults, DownloadWithStopAndResumeChartGrowingAndResultsFile) {
    Launch({});
    ASSERT_TRUE(Button(objname::kStartReadButton)->isEnabled());
    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().LogCount() >= 2 * 62; }, kDownloadWaitMs));

    // The chart opens on the records so far and grows with every block.
    Button(objname::kChartButton)->click();
    auto* chart = qobject_cast<ChartWindow*>(form->Windows().chartWindow);
    ASSERT_TRUE(chart && chart->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return chart->SampleCount() > 0; }, kDownloadWaitMs));
    const int shown = chart->SampleCount();
    ASSERT_TRUE(WaitUntil([&] { return chart->SampleCount() >= shown + 2 * 62; }, kDownloadWaitMs));
    EXPECT_FLOAT_EQ(chart->ThresholdsBlock()->lowTemp, -25.0f);

    ASSERT_TRUE(WaitUntil([&] { return Logs().LogCount() >= 10 * 62; }, kDownloadWaitMs));
    Button(objname::kStopReadButton)->click();
    EXPECT_EQ(Logs().GetState(), LogDownload::Aborted);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Nie odczytano wszystkich danych"));
    // The read already queued is answered and ignored; no further read follows.
    const int stoppedAt = Logs().LogCount();
    RunFor(2500);
    EXPECT_EQ(Logs().LogCount(), stoppedAt);
    EXPECT_EQ(Rows(), stoppedAt);
    EXPECT_TRUE(Button(objname::kRetryReadButton)->isEnabled());

    Button(objname::kRetryReadButton)->click();
    EXPECT_EQ(Logs().GetState(), LogDownload::Reading);
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Finished; }, 150000));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, QStringLiteral("Odczyt danych zakończony"));
    ExpectStoreIsTheLoggersLog(5000);
    EXPECT_EQ(Lp(stoppedAt), QString::number(stoppedAt + 1));
    QApplication::processEvents();
    EXPECT_EQ(chart->SampleCount(), 5000);

    // The results file, with the name the window proposes.
    prompts.savePaths = {dir.filePath(QStringLiteral("wyniki.txt"))};
    Button(objname::kSaveResultsButton)->click();
    ASSERT_FALSE(prompts.asked.empty());
    const QString offered = prompts.asked.back().proposed;
    EXPECT_TRUE(offered.startsWith(QStringLiteral("Mroźnia – komora 3 "))) << offered.toStdString();
    EXPECT_TRUE(offered.endsWith(QStringLiteral(".txt")));
    QFile f(dir.filePath(QStringLiteral("wyniki.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    EXPECT_EQ(lines.size(), 5007 + 1);
    EXPECT_TRUE(lines[5006].startsWith("5000\t")) << lines[5006].constData();
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(SimResults, LoggerLostMidDownloadKeepsRecordsAndResumesWhenBack) {
    Launch({"--records", "1000"});
    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().LogCount() >= 3 * 62; }, kDownloadWaitMs));
    sim->Kill();
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Aborted; }, kDownloadWaitMs));
    EXPECT_FALSE(form->ParamsReady());
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().caption, QStringLiteral("Odczyt przerwany"));
    const int kept = Logs().LogCount();
    EXPECT_GE(kept, 3 * 62);
    EXPECT_LT(kept, 1000);
    EXPECT_EQ(results.Count(), kept);
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());  // until the parameters are read anew
    EXPECT_TRUE(Button(objname::kSaveResultsButton)->isEnabled());

    ASSERT_TRUE(sim->Restart());
    ASSERT_TRUE(WaitUntil([&] { return Button(objname::kRetryReadButton)->isEnabled(); }, kDownloadWaitMs));
    Button(objname::kRetryReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Finished; }, kDownloadWaitMs));
    ExpectStoreIsTheLoggersLog(1000);
    EXPECT_EQ(Lp(kept), QString::number(kept + 1));
}

TEST_F(SimResults, StopThenStartOrResumeAtOnceLeavesOneChainOfReads) {
    // Every log reply comes late, as from a logger busy with its memory.
    Launch({"--records", "130", "--fault", "delay register=144 at=1 count=all ms=400"});
    auto stopWithReadInFlight = [&] {
        ASSERT_TRUE(WaitUntil([&] { return Logs().LogCount() >= 62 && LogReadInFlight(); }, kDownloadWaitMs));
        Button(objname::kStopReadButton)->click();
    };

    // Start again while the first read still waits behind the set-next-record write.
    Button(objname::kStartReadButton)->click();
    Button(objname::kStopReadButton)->click();
    Button(objname::kStartReadButton)->click();
    ExpectFinishedWith(130);

    // Start again while a read is on the line.
    Button(objname::kStartReadButton)->click();
    stopWithReadInFlight();
    Button(objname::kStartReadButton)->click();
    ExpectFinishedWith(130);

    // Resume while a read is on the line.
    Button(objname::kStartReadButton)->click();
    stopWithReadInFlight();
    Button(objname::kRetryReadButton)->click();
    ExpectFinishedWith(130);

    // Resume again while the resumed chain's read still waits in the queue.
    Button(objname::kStartReadButton)->click();
    stopWithReadInFlight();
    ASSERT_TRUE(WaitUntil([&] { return !LogReadInFlight(); }, kDownloadWaitMs));
    Button(objname::kRetryReadButton)->click();
    Button(objname::kStopReadButton)->click();
    Button(objname::kRetryReadButton)->click();
    ExpectFinishedWith(130);
}

TEST_F(SimResults, CorruptedLogRepliesAreReadAgainAndNothingIsLostOrDoubled) {
    // Log reads 2 to 4 come back corrupted (the logger moves on all the same), read 6 carries
    // 100 of the 248 bytes it claims; in the second download reads 10 to 13 are all corrupted.
    Launch({"--records", "200", "--fault", "badcrc register=144 at=2", "--fault", "short register=144 at=3", "--fault",
            "garbage register=144 at=4", "--fault", "cut register=144 at=6 bytes=100", "--fault",
            "badcrc register=144 at=10 count=4"});
    Button(objname::kStartReadButton)->click();
    // Three bad replies in a row are read again from the last good record; the short block
    // stops the download as a bad block, and resuming goes on from the last good record.
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Aborted; }, kDownloadWaitMs));
    EXPECT_EQ(Logs().LogCount(), 124);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Błąd"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Odczyt logów przerwany.\nNieprawidłowy odczyt danych z loggera"));
    EXPECT_TRUE(form->ParamsReady());
    Button(objname::kRetryReadButton)->click();
    ExpectFinishedWith(200);
    EXPECT_EQ(boxes.size(), 2u);

    // A fourth bad reply in a row gives up as a logger that stopped answering does.
    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Aborted; }, kDownloadWaitMs));
    EXPECT_EQ(boxes.back().text, QStringLiteral("Nie odczytano wszystkich danych"));
    EXPECT_EQ(Logs().LogCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return Button(objname::kRetryReadButton)->isEnabled(); }, kDownloadWaitMs));
    Button(objname::kRetryReadButton)->click();
    ExpectFinishedWith(200);
}

TEST_F(SimResults, LogEndingShortOfTheAnnouncedCountSaysSoAndResumeFetchesTheRest) {
    Launch({"--records", "130", "--fault", "exception register=144 at=2"});
    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Finished; }, kDownloadWaitMs));
    const QString warning = QStringLiteral("Nie pobrano wszystkich logów zapisanych w loggerze");
    EXPECT_EQ(Status(), QStringList({QStringLiteral("Odczyt danych zakończony"), QString(),
                                     QStringLiteral("Pobrano 62/130 logów"), warning}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, LogDownloadView::BoxIcon::Warning);
    EXPECT_TRUE(boxes[0].text.endsWith(warning));
    ASSERT_TRUE(Button(objname::kRetryReadButton)->isEnabled());
    Button(objname::kRetryReadButton)->click();
    ExpectFinishedWith(130);
    EXPECT_EQ(Lp(62), QStringLiteral("63"));

    // Complete now: nothing is left to resume.
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(Button(objname::kSaveResultsButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kStopReadButton)->isEnabled());
}

TEST_F(SimResults, EmptyLogFinishesAtOnceWithNothingToResume) {
    // The very first log read is refused: its end must reach the download although the last
    // request the logger accepted was the set-next-record write.
    const QString scenario = dir.filePath(QStringLiteral("empty.ini"));
    QFile file(scenario);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[logger]\nmode = 1\nrecording = 0\ninterval = 600\nstart = 2015-03-01 08:30:00\n[records]\ncount = 0\n");
    file.close();
    Launch({}, scenario.toStdString());
    ASSERT_TRUE(WaitUntil([&] { return Button(objname::kStartReadButton)->isEnabled(); }, kDownloadWaitMs));
    Button(objname::kStartReadButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return Logs().GetState() == LogDownload::Finished; }, kDownloadWaitMs));
    EXPECT_EQ(Status(),
              QStringList({QStringLiteral("Odczyt danych zakończony"), QString(), QStringLiteral("Pobrano 0 logów")}));
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    EXPECT_EQ(boxes.size(), 1u);
}

}  // namespace
}  // namespace quorvex::test
