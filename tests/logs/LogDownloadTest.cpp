// The download controller driven as the main window drives it: button clicks,
// reply blocks (LogReadDone), the end of the log (EndOfLog) and MonitorReset, with the
// requests caught by a recording channel and the results tab by a
// recording view.
#include <gtest/gtest.h>

#include "LogTestUtil.h"
#include "ProgramTextsScope.h"
#include "i18n/Translator.h"
#include "logs/LogDownload.h"
#include "params/LoggerChannel.h"

namespace quorvex {
namespace {

using test::LocaleGuard;
using test::RecordBytes;
using V = LogDownloadView;

class LogDownloadTest : public ::testing::Test {
protected:
    // The model's channel into the recorders; without `queue`, requests go nowhere.
    void ConnectChannel(bool queue = true) {
        LoggerChannel channel;
        if (queue) channel.enqueue = [this](const Request& r) { queued.push_back(r); };
        channel.note = [this](const QString& line) { messages.push_back(line); };
        params.Connect(std::move(channel));
    }
    void SetUp() override {
        ConnectChannel();
        test::FillParameters(params);
        manager.SetView(&view);
        manager.SetThresholds(&thresholds);
        manager.SetParamsReady(true);
        manager.Reset();
    }
    void Block(const std::vector<std::uint8_t>& bytes) {
        manager.AppendLogBlock(bytes.data(), static_cast<std::uint8_t>(bytes.size()));
    }
    // n records of 20.0 + i/10 °C and 50.0 %.
    std::vector<std::uint8_t> Records(int n, int first = 0) {
        std::vector<std::uint8_t> out;
        for (int i = 0; i < n; ++i) {
            const int tenths = 200 + first + i;
            const std::uint16_t bcd =
                static_cast<std::uint16_t>((tenths / 100) << 8 | (tenths / 10 % 10) << 4 | tenths % 10);
            const auto r = RecordBytes(bcd, false, 0x0500);
            out.insert(out.end(), r.begin(), r.end());
        }
        return out;
    }
    static bool IsLogRead(const Request& r) {
        return r.Tag == TAG_LOG && r.Address == 0xFF && r.Function == 3 && r.StartRegister == 144 && r.Count == 0 &&
               r.Attempts == 1 && r.Values.empty();
    }
    // The set-next-record write asking for record n.
    static bool IsSetNext(const Request& r, int n) {
        return r.Tag == 0 && r.Function == 16 && r.StartRegister == 13 && r.Count == 2 && r.Attempts == 2 &&
               r.Values.size() == 2 && r.Values[0] == ((n >> 8) & 0xFFFF) &&
               r.Values[1] == (((n & 0xFF) << 8) | 0x55);  // the low byte of register 14 is kept
    }
    QString Cell(int row, int col) const { return view.model.data(view.model.index(row, col)).toString(); }

    LocaleGuard locale{"pl_PL"};
    ParameterModel params;
    ResultsStore store;
    LogDownload manager{params, store};
    test::RecordingView view{store};
    Thresholds thresholds;
    std::vector<Request> queued;
    std::vector<QString> messages;
};

TEST_F(LogDownloadTest, StartQueuesTheWriteThenOneReadAndFillsTheTab) {
    manager.StartRead();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_TRUE(IsSetNext(queued[0], 1));
    EXPECT_TRUE(IsLogRead(queued[1]));
    EXPECT_EQ(manager.GetState(), LogDownload::Reading);
    EXPECT_EQ(view.status, QStringList({"Odczyt danych z loggera", " ", QStringLiteral("Pobrano 0/250 logów")}));
    EXPECT_EQ(view.progressMax, 250);
    EXPECT_TRUE(view.Enabled(V::ButtonStop));
    EXPECT_FALSE(view.Enabled(V::ButtonStart) || view.Enabled(V::ButtonRetry) || view.Enabled(V::ButtonChart));
    EXPECT_EQ(store.loggerName, QStringLiteral("Hall: A/B"));
    EXPECT_EQ(store.loggerType, QStringLiteral("0201"));
    EXPECT_EQ(store.serialNumber, QStringLiteral("0019A7F3"));
    EXPECT_EQ(store.writeInterval, QStringLiteral("0d  00h:05m:00s"));
    EXPECT_EQ(view.info[0].value, QStringLiteral("Hall: A/B"));
    EXPECT_EQ(view.info[3].value, store.writeInterval);
    EXPECT_EQ(manager.StartTime(), ToMoment(QDate(2015, 3, 1), QTime(8, 30)));
    EXPECT_EQ(manager.IntervalSec(), 300);
    EXPECT_FLOAT_EQ(thresholds.highTemp, 39.9f);
    EXPECT_FLOAT_EQ(thresholds.lowTemp, -12.5f);
    EXPECT_FLOAT_EQ(thresholds.highHum, 90.0f);
    EXPECT_FLOAT_EQ(thresholds.lowHum, 10.0f);
}

TEST_F(LogDownloadTest, BlocksAppendRowsStampedFromTheStartMoment) {
    test::LoggerSetup setup;
    setup.interval = 90061;  // 1 d 1 h 1 min 1 s
    test::FillParameters(params, setup);
    manager.StartRead();
    queued.clear();

    Block({});  // an empty block is valid
    EXPECT_EQ(manager.GetState(), LogDownload::Reading);
    EXPECT_EQ(store.Count(), 0);
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_TRUE(IsLogRead(queued[0]));
    EXPECT_TRUE(view.blocks.empty());

    Block(Records(62));
    Block(Records(3, 62));
    EXPECT_EQ(queued.size(), 3u);
    ASSERT_EQ(store.Count(), 65);
    EXPECT_EQ(view.blocks, (std::vector<std::pair<int, int>>{{0, 61}, {62, 64}}));
    EXPECT_EQ(view.model.rowCount(), 65);
    EXPECT_EQ(manager.LogCount(), 65);
    EXPECT_EQ(view.progress, 65);
    EXPECT_EQ(view.status.value(2), QStringLiteral("Pobrano 65/250 logów"));
    EXPECT_TRUE(view.Enabled(V::ButtonChart));
    EXPECT_FALSE(view.Enabled(V::ButtonSaveResults));

    EXPECT_EQ(store[0].time, manager.StartTime());
    EXPECT_EQ(FromMoment(store[1].time), QDateTime(QDate(2015, 3, 2), QTime(9, 31, 1), Qt::UTC));
    EXPECT_EQ(FromMoment(store[64].time), QDateTime(QDate(2015, 3, 1), QTime(8, 30), Qt::UTC).addSecs(64LL * 90061));
    EXPECT_EQ(manager.CurrentTime(), store[64].time);
    EXPECT_FLOAT_EQ(store[64].temperature, 26.4f);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("1.03.2015"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("09:31:01"));
    EXPECT_EQ(Cell(64, 0), QStringLiteral("65"));
    EXPECT_EQ(Cell(64, 3), QStringLiteral("26,4°C"));
    EXPECT_EQ(Cell(64, 4), QStringLiteral("50,0%"));
}

TEST_F(LogDownloadTest, ABlockOfBrokenLengthAbortsAndKeepsEarlierRecords) {
    manager.StartRead();
    Block(Records(10));
    queued.clear();
    std::vector<std::uint8_t> six = Records(2);
    six.resize(6);
    Block(six);
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
    EXPECT_EQ(store.Count(), 10);
    EXPECT_TRUE(queued.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Błąd w funkcji AppendLogBlock. Nieprawidłowa ilość bajtów"));
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].caption, QStringLiteral("Błąd"));
    EXPECT_EQ(view.boxes[0].text, QStringLiteral("Odczyt logów przerwany.\nNieprawidłowy odczyt danych z loggera"));
    EXPECT_EQ(view.boxes[0].icon, V::BoxIcon::Error);
    EXPECT_EQ(view.status, QStringList({"Odczyt danych przerwany", "", QStringLiteral("Pobrano 10/250 logów")}));
    EXPECT_TRUE(view.Enabled(V::ButtonRetry) && view.Enabled(V::ButtonSaveResults) && view.Enabled(V::ButtonStart));
    // A late block after the abort is ignored and asks for nothing more.
    Block(Records(4));
    EXPECT_EQ(store.Count(), 10);
    EXPECT_TRUE(queued.empty());
}

TEST_F(LogDownloadTest, EndOfLogFinishesAndLaterCallsChangeNothing) {
    manager.ReadFinished();  // idle: nothing
    manager.StopRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Idle);
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_TRUE(view.Enabled(V::ButtonStart) && !view.Enabled(V::ButtonStop) && !view.Enabled(V::ButtonSaveResults));
    manager.StartRead();
    Block(Records(5));
    manager.ReadFinished();
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].caption, QStringLiteral("Logger"));
    // The logger announced 250: the end of a short log says so.
    const QString warning = QStringLiteral("Nie pobrano wszystkich logów zapisanych w loggerze");
    EXPECT_EQ(view.boxes[0].text, QStringLiteral("Odczyt danych zakończony\nPobrano 5/250 logów\n") + warning);
    EXPECT_EQ(view.boxes[0].icon, V::BoxIcon::Warning);
    EXPECT_EQ(view.status, QStringList({QStringLiteral("Odczyt danych zakończony"), "",
                                        QStringLiteral("Pobrano 5/250 logów"), warning}));
    for (auto b : {V::ButtonStart, V::ButtonRetry, V::ButtonChart, V::ButtonPrintTable, V::ButtonSaveResults})
        EXPECT_TRUE(view.Enabled(b)) << b;
    EXPECT_FALSE(view.Enabled(V::ButtonStop));

    manager.ReadFinished();
    manager.StopRead();  // a lost link while finished: no change, no box
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    EXPECT_EQ(view.boxes.size(), 1u);

    // paramsReady falling in state 4 locks start and resume only.
    manager.SetParamsReady(false);
    EXPECT_FALSE(view.Enabled(V::ButtonStart) || view.Enabled(V::ButtonRetry));
    EXPECT_TRUE(view.Enabled(V::ButtonChart) && view.Enabled(V::ButtonPrintTable) &&
                view.Enabled(V::ButtonSaveResults));
}

// How each download ended reaches its observers as one value with its counts, whatever the
// results tab shows; a download that never began reading tells nothing.
TEST_F(LogDownloadTest, EachEndIsToldOnceAsItsKindWithTheCounts) {
    struct Ends : LogDownloadObserver {
        void LogReadStarted(bool) override {}
        void LogBlockRead(int, const std::uint8_t*, int) override {}
        void LogReadEnded(const DownloadEnd& end) override { told.push_back(end); }
        std::vector<DownloadEnd> told;
    } ends;
    manager.AddObserver(&ends);
    using K = DownloadEnd::Kind;

    // Completed: the logger ended the log at its announced 250.
    manager.StartRead();
    for (int read = 0; read < 250; read += 50) Block(Records(50, read));
    manager.ReadFinished();
    // Completed short of the announced count, then stopped by the operator, then the link lost.
    manager.StartRead();
    Block(Records(3));
    manager.ReadFinished();
    manager.StopRead();  // nothing is running: nothing told
    manager.StartRead();
    Block(Records(7));
    manager.StopRead();
    manager.StartRead();
    Block(Records(4));
    manager.StopRead(K::NoAnswer);
    // The logger refused the write that sets the first record: nothing was read.
    queued.clear();
    manager.StartRead();
    ASSERT_TRUE(IsSetNext(queued.at(0), 1));
    manager.WriteRefused(queued[0]);
    // A block whose byte count disagreed with its length.
    manager.StartRead();
    Block(Records(2));
    Request mismatched = queued.back();
    mismatched.CountMismatch = true;
    manager.LogReadDone(mismatched);

    const struct {
        K kind;
        int read;
        bool isShort;
    } expected[] = {{K::Finished, 250, false}, {K::Finished, 3, true}, {K::Stopped, 7, true},
                    {K::NoAnswer, 4, true},    {K::Refused, 0, true},  {K::BadBlock, 2, true}};
    ASSERT_EQ(ends.told.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ends.told[i].kind, expected[i].kind);
        EXPECT_EQ(ends.told[i].read, expected[i].read);
        EXPECT_EQ(ends.told[i].newRecords, expected[i].read);
        EXPECT_EQ(ends.told[i].announced, 250);
        EXPECT_EQ(ends.told[i].Short(), expected[i].isShort);
        EXPECT_FALSE(ends.told[i].newOnly);
    }
    // The results tab still says it in its own words: the refused start's box among them.
    EXPECT_EQ(view.boxes.at(view.boxes.size() - 2).text,
              QStringLiteral("Odczyt logów przerwany.\nNieprawidłowe dane wejściowe"));

    // A read of only what is new counts what it brought beyond the records kept.
    ends.told.clear();
    ResultsStore known;
    for (int i = 0; i < 239; ++i) known.Append(20.0f, 50.0f, 0.0);
    const auto kth = Records(1, 239);
    manager.StartNewRead(known, {240, LogRecordValue(kth.data()), true});
    Block(Records(11, 239));
    ASSERT_EQ(ends.told.size(), 1u);
    EXPECT_EQ(ends.told[0].kind, K::Finished);
    EXPECT_EQ(ends.told[0].read, 250);
    EXPECT_EQ(ends.told[0].newRecords, 10);
    EXPECT_TRUE(ends.told[0].newOnly);
    // An observer removed hears no more.
    manager.RemoveObserver(&ends);
    manager.StartRead();
    manager.StopRead();
    EXPECT_EQ(ends.told.size(), 1u);
}

TEST_F(LogDownloadTest, ResumeIsOfferedOnlyWhenShortAndRefusedWithItsReason) {
    manager.StartRead();
    Block(Records(8));
    manager.ReadFinished();
    EXPECT_TRUE(view.Enabled(V::ButtonRetry));  // 8 of the 250 announced
    queued.clear();
    test::LoggerSetup restarted;
    restarted.day = 2;
    test::FillParameters(params, restarted);
    manager.ResumeRead();
    // Refused, and said why; the download stays what it was.
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[1].caption, QStringLiteral("Błąd"));
    EXPECT_EQ(view.boxes[1].text,
              QStringLiteral("Nie można ponowić odczytu danych.\nLogger rozpoczął od tego czasu nowy zapis."));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(store.Count(), 8);
    EXPECT_EQ(view.model.rowCount(), 8);
    test::LoggerSetup other;  // another logger: its serial number differs
    other.serialLow = 0x0001;
    test::FillParameters(params, other);
    manager.ResumeRead();
    ASSERT_EQ(view.boxes.size(), 3u);
    EXPECT_TRUE(
        view.boxes[2].text.startsWith(QStringLiteral("Nie można ponowić odczytu danych.\nPodłączony jest inny "
                                                     "logger (numer seryjny ")))
        << view.boxes[2].text.toStdString();
    EXPECT_TRUE(queued.empty());

    // A download that got every record has nothing to resume.
    test::LoggerSetup eight;
    eight.written = 8;
    test::FillParameters(params, eight);
    manager.StartRead();
    Block(Records(8));
    manager.ReadFinished();
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    EXPECT_FALSE(view.Enabled(V::ButtonRetry));
}

TEST_F(LogDownloadTest, ParamsNotReadyRefusesStartAndResume) {
    manager.StartRead();
    Block(Records(3));
    manager.ReadFinished();
    queued.clear();
    manager.SetParamsReady(false);
    manager.ResumeRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    EXPECT_TRUE(queued.empty());
    manager.StartRead();
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    // The store is emptied by the start even so, and the table goes with it.
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(view.model.rowCount(), 0);
    EXPECT_TRUE(view.boxes.size() == 1u);
}

TEST_F(LogDownloadTest, BadStartInputAndMissingQueueAbortWithTheirText) {
    test::LoggerSetup bad;
    bad.month = 13;  // no calendar date: the start date has no text
    test::FillParameters(params, bad);
    manager.StartRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, QStringLiteral("Odczyt logów przerwany.\nNieprawidłowe dane wejściowe"));
    EXPECT_TRUE(queued.empty());

    test::FillParameters(params);
    ConnectChannel(false);
    manager.StartRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
    EXPECT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[1].text, view.boxes[0].text);

    // Registers never received (after MonitorReset) fail the same way.
    ConnectChannel();
    params.InvalidateAll();
    manager.StartRead();
    EXPECT_EQ(view.boxes.size(), 3u);
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
}

TEST_F(LogDownloadTest, StatusLinesAreTranslatedPieceByPiece) {
    test::ProgramTextsScope translator(kLanguageEnglish);
    manager.StartRead();
    Block(Records(12));
    EXPECT_EQ(view.status, QStringList({"Reading data", " ", "Downloaded 12/250 records"}));
    EXPECT_EQ(view.info[0].caption, QStringLiteral("Name:"));
    manager.ReadFinished();
    EXPECT_EQ(view.status.value(2), QStringLiteral("Downloaded 12/250 records"));
    EXPECT_EQ(view.status.value(3), QStringLiteral("Not all records stored in the Logger have been downloaded"));
    EXPECT_TRUE(view.boxes.back().text.startsWith(QStringLiteral("Reading data complete\n")));
    EXPECT_EQ(view.boxes.back().caption, QStringLiteral("Logger"));
}

// Reading only what is new: record K is read again and compared, the read goes on from there up
// to the count announced at its start; a K that differs, or no archive, reads the whole log.
TEST_F(LogDownloadTest, NewReadComparesTheLastKeptRecordAndStopsAtTheAnnouncedCount) {
    const struct {
        const char* name;
        int through;  // records kept
        bool archive;
        bool sameBytes;    // the logger's record K is the kept one
        int firstBlock;    // records in the first reply (from record K, or 1 after a disagreement)
        int setNext;       // the record the read starts at
        int newCount;      // at the end
        const char* note;  // status line beside the counts
    } cases[] = {
        {"kept record matches", 240, true, true, 11, 240, 10, nullptr},
        {"more than announced", 240, true, true, 30, 240, 10, nullptr},
        {"kept record differs", 240, true, false, 62, 240, 250, "Archiwum i logger różnią się w logu 240"},
        {"no archive", 0, false, true, 62, 1, 250, "Bez archiwum nowe są wszystkie logi loggera"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsStore known;
        for (int i = 0; i + 1 < c.through; ++i) known.Append(20.0f, 50.0f, 0.0);
        const auto kth = Records(1, c.through - 1);
        LogDownload::KnownRecords kept{c.through, c.sameBytes ? LogRecordValue(kth.data()) : 0x12345678u, c.archive};
        queued.clear();
        view.boxes.clear();
        manager.StartNewRead(known, kept);
        ASSERT_GE(queued.size(), 2u);
        EXPECT_TRUE(IsSetNext(queued[0], c.setNext));
        EXPECT_EQ(store.Count(), qMax(0, c.through - 1));  // the kept records show at once

        int next = c.setNext;
        Block(Records(c.firstBlock, next - 1));
        if (!c.sameBytes) {
            // Read afresh from record 1, nothing kept mixed in.
            EXPECT_TRUE(IsSetNext(queued[queued.size() - 2], 1));
            EXPECT_EQ(store.Count(), 0);
            EXPECT_TRUE(manager.Disagreed());
            next = 1;
        } else {
            next += c.firstBlock;
        }
        while (manager.GetState() == LogDownload::Reading && store.Count() < 250) {
            const int before = store.Count();
            Block(Records(62, store.Count()));
            ASSERT_GT(store.Count(), before);
        }
        // Ends at the announced 250 without waiting for the logger's end of the log.
        EXPECT_EQ(manager.GetState(), LogDownload::Finished);
        EXPECT_EQ(store.Count(), 250);
        EXPECT_EQ(store.serialNumber, QStringLiteral("0019A7F3"));  // the logger's facts stay with them
        EXPECT_EQ(manager.NewCount(), c.newCount);
        EXPECT_EQ(Cell(249, 3), QStringLiteral("44,9°C"));  // record 250 is the logger's own
        EXPECT_TRUE(view.status.contains(QStringLiteral("Pobrano %1 nowych, razem 250 logów").arg(c.newCount)))
            << view.status.join(u'|').toStdString();
        if (c.note) {
            EXPECT_TRUE(view.status.join(u'|').contains(QString::fromUtf8(c.note)));
        }
        ASSERT_FALSE(view.boxes.empty());
        EXPECT_EQ(view.boxes.back().icon, LogDownloadView::BoxIcon::Information);
    }
}

}  // namespace
}  // namespace quorvex
