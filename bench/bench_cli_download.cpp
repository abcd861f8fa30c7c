// The whole 5,000-record log downloaded as quorvex-cli downloads it (the transmission thread,
// the parameter model and the window's download controller, no window) from quorvex-sim
// paced at 9600 baud: once with replies ended by 800 ms of silence, once with the fast frame
// end. Timed from the start of the download to the end of the log.
//
// line_s is the line's own time: every request and reply of the download (the set-next-record
// write, the log reads, the closing refusal) at ten bits a byte. floor_s adds the 800 ms of
// silence after each reply: the least the silence-ended download can take.
//   silence: whole_s within 3 % of floor_s (over_floor_pct)
//   fast:    whole_s within 1.10 × line_s (per_line) and at least 3.5 × quicker than the
//            silence run (speedup, reported by the fast run when both ran)
//   fast + archive: every block kept in a fresh SQLite archive as it arrives; at most 1.02 ×
//            the fast run (archive_ratio)
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

#include "BenchSim.h"
#include "archive/ArchiveRegisters.h"
#include "archive/DownloadArchiver.h"
#include "cli/CliSession.h"
#include "logs/LogDownloadView.h"
#include "modbus/TransmissionThread.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kByteS = 10.0 / 9600.0;
constexpr double kSilenceS = TransmissionThread::kSilenceMs / 1000.0;
constexpr int kReadRequestBytes = 8;
constexpr int kWriteRequestBytes = 13;  // function 16 of two registers
constexpr int kWriteReplyBytes = 8;
constexpr int kRefusalBytes = 5;

void Application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_cli_download";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

const std::string kScenario = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/temperature.ini";

// Records the size of every block the controller takes.
class BlockView : public LogDownloadView {
public:
    void SetStatusLines(const QStringList&) override {}
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void SetButtonEnabled(Button, bool) override {}
    void ShowMessageBox(const QString&, const QString&, BoxIcon) override {}
    void SetLoggerInfo(const QList<LoggerInfoRow>&) override {}
    void ResultsCleared() override { sizes.clear(); }
    void ResultsAppended(int first, int last) override { sizes.push_back(last - first + 1); }
    std::vector<int> sizes;
};

double silenceRunS = 0;  // the silence run's whole time, for the fast run's speed-up
double fastRunS = 0;     // the fast run's, for the archiving run's ratio

void BM_CliDownload5000(benchmark::State& state) {
    const bool fast = state.range(0) != 0;
    const bool archiving = state.range(0) == 2;
    state.SetLabel(archiving ? "fast frame end, archived" : fast ? "fast frame end" : "silence");
    Application();
    bench::BenchSim sim({"--scenario", kScenario, "--clock", "2015-03-30 12:00:00"});
    if (!sim.Running()) {
        state.SkipWithError("quorvex-sim did not start");
        return;
    }
    for (auto _ : state) {
        CliSession::Options o;
        o.link = QString::fromStdString(sim.Link());
        o.fastFrames = fast;
        CliSession session(o);
        BlockView view;
        LogDownload& logs = session.Logs();
        logs.SetView(&view);
        QTemporaryDir dir;
        std::unique_ptr<Archive> archive;
        if (archiving) {
            ArchiveText error;
            ArchiveLocation where;
            where.kind = ArchiveLocation::Kind::Sqlite;
            where.path = dir.filePath(QStringLiteral("archive.sqlite"));
            archive = Archive::Open(where, error);
            if (!archive) {
                state.SkipWithError("archive not opened");
                return;
            }
        }
        DownloadArchiver archiver(archive.get(), session.Params(), logs, QStringLiteral("bench"), o.link, {});
        logs.AddObserver(&archiver);
        if (session.Connect({}) != CliSession::Outcome::Ready) {
            state.SkipWithError("parameters not read");
            return;
        }
        // The parameters' last reply has just been handed over: the thread is idle and
        // takes the write at once, as after an operator's click.
        const Clock::time_point startAt = Clock::now();
        logs.StartRead();
        session.RunUntil([&] { return logs.GetState() != LogDownload::Reading; }, {});
        const double wholeS = std::chrono::duration<double>(Clock::now() - startAt).count();
        logs.SetView(nullptr);
        logs.RemoveObserver(&archiver);
        if (archive && archive->ArchivedThrough(*CurrentLogKey(session.Params())) != 5000) {
            state.SkipWithError("archive incomplete");
            return;
        }
        if (logs.GetState() != LogDownload::Finished || session.Results().Count() != 5000) {
            state.SkipWithError("download did not finish");
            return;
        }
        state.SetIterationTime(wholeS);

        const int reads = static_cast<int>(view.sizes.size());
        double lineS = (kWriteRequestBytes + kWriteReplyBytes + kReadRequestBytes + kRefusalBytes) * kByteS;
        for (int n : view.sizes) lineS += (kReadRequestBytes + 5 + 4 * n) * kByteS;
        const int replies = reads + 2;  // the write's echo and the refusal too
        const double floorS = lineS + replies * kSilenceS;
        state.counters["replies"] = replies;
        state.counters["whole_s"] = wholeS;
        state.counters["line_s"] = lineS;
        state.counters["per_line"] = wholeS / lineS;
        state.counters["floor_s"] = floorS;
        state.counters["over_floor_pct"] = 100.0 * (wholeS - floorS) / floorS;
        if (!fast) silenceRunS = wholeS;
        if (fast && !archiving) fastRunS = wholeS;
        if (fast && silenceRunS > 0) state.counters["speedup"] = silenceRunS / wholeS;
        if (archiving && fastRunS > 0) state.counters["archive_ratio"] = wholeS / fastRunS;
    }
}
BENCHMARK(BM_CliDownload5000)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
