// Reading only what is new against a full download, side by side in one run: the simulator's
// 5,000-record log paced at 9600 baud with the fast frame end, read as quorvex-cli reads it.
// First the whole log into a fresh archive (full_s); then, against an archive holding records
// 1…4,990 of that log, as after a complete earlier download with 10 records added since, a read
// of only what is new (new_s: from the archive's look-up, the 4,989 records it loads and the
// check of record 4,990, to the last of the 10 new records). The figure: ratio = new_s / full_s,
// at most 1/20 (0.05).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

#include "BenchSim.h"
#include "archive/ArchiveRegisters.h"
#include "archive/ArchivedStart.h"
#include "archive/DownloadArchiver.h"
#include "cli/CliSession.h"
#include "logs/LogDownloadView.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRecords = 5000;
constexpr int kNew = 10;

void Application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_cli_new";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

std::unique_ptr<Archive> OpenArchive(const QString& path) {
    ArchiveText error;
    ArchiveLocation where;
    where.kind = ArchiveLocation::Kind::Sqlite;
    where.path = path;
    return Archive::Open(where, error);
}

void BM_NewAgainstFull(benchmark::State& state) {
    Application();
    bench::BenchSim sim(
        {"--scenario", QUORVEX_SOURCE_DIR "/tools/sim/scenarios/temperature.ini", "--clock", "2015-03-30 12:00:00"});
    if (!sim.Running()) return state.SkipWithError("quorvex-sim did not start");
    for (auto _ : state) {
        QTemporaryDir dir;
        CliSession::Options o;
        o.link = QString::fromStdString(sim.Link());
        o.fastFrames = true;
        CliSession session(o);
        LogDownload& logs = session.Logs();
        auto full = OpenArchive(dir.filePath(QStringLiteral("full.sqlite")));
        auto earlier = OpenArchive(dir.filePath(QStringLiteral("earlier.sqlite")));
        if (!full || !earlier) return state.SkipWithError("archive not opened");
        DownloadArchiver archiver(full.get(), session.Params(), logs, QStringLiteral("bench"), o.link, {});
        logs.AddObserver(&archiver);
        if (session.Connect({}) != CliSession::Outcome::Ready) return state.SkipWithError("parameters not read");

        Clock::time_point at = Clock::now();
        logs.StartRead();
        session.RunUntil([&] { return logs.GetState() != LogDownload::Reading; }, {});
        const double fullS = std::chrono::duration<double>(Clock::now() - at).count();
        const auto key = CurrentLogKey(session.Params());
        if (logs.GetState() != LogDownload::Finished || !key || full->ArchivedThrough(*key) != kRecords)
            return state.SkipWithError("full download did not finish");

        // The earlier download: records 1…4,990 of the same log, byte for byte.
        const auto log = full->FindLog(*key);
        std::vector<std::uint32_t> raw;
        for (int n = 1; n <= kRecords - kNew; ++n) {
            const QByteArray b = full->RecordBytes(*log, n).value_or(QByteArray(4, '\0'));
            raw.push_back(LogRecordValue(reinterpret_cast<const std::uint8_t*>(b.constData())));
        }
        const auto kept = earlier->BeginDownload(*key, LocalDownloadFacts(QStringLiteral("bench"), o.link));
        if (!kept || !earlier->AddRecords(*kept, 1, raw)) return state.SkipWithError("earlier archive not filled");
        archiver.SetArchive(earlier.get());

        at = Clock::now();
        StartReadOfNew(logs, earlier.get(), session.Params(), true, {});
        session.RunUntil([&] { return logs.GetState() != LogDownload::Reading; }, {});
        const double newS = std::chrono::duration<double>(Clock::now() - at).count();
        if (logs.GetState() != LogDownload::Finished || logs.NewCount() != kNew ||
            session.Results().Count() != kRecords)
            return state.SkipWithError("new read did not bring the 10 records");
        logs.RemoveObserver(&archiver);
        state.SetIterationTime(newS);
        state.counters["full_s"] = fullS;
        state.counters["new_s"] = newS;
        state.counters["ratio"] = newS / fullS;
    }
}
BENCHMARK(BM_NewAgainstFull)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
