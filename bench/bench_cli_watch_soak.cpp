// A watch left running, by hand: one quorvex-cli watch process on a serial link, and cycle after
// cycle a logger connected (a new log each cycle, so every cycle downloads), read, and unplugged,
// with the simulator's faults in turn (a corrupted block, a late reply, a logger whose log reads
// go unanswered). After each cycle's line the watch's resident memory, open file descriptors and
// threads are read from /proc once it waits for the next logger. None may grow: the counters
// give each at the first cycle after a warm-up of ten and at the last, and the largest resident
// size seen.
//
//   build/bench/bench_cli_watch_soak [CYCLES] [benchmark options]   (default 20 cycles)
//
// A cycle takes about three seconds; 1,000 cycles about 50 minutes.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <signal.h>

#include "BenchSim.h"

namespace quorvex {
namespace {

int cycles = 20;
constexpr int kWarmUp = 10;

struct Usage {
    long rssKb = 0;
    int fds = 0;
    int threads = 0;
};

Usage Measure(qint64 pid) {
    Usage u;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) u.rssKb = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("Threads:")) u.threads = line.mid(8).trimmed().toInt();
        }
    u.fds = static_cast<int>(
        QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
    return u;
}

const char* kFaults[] = {nullptr, "badcrc at=3 register=144", "delay at=2 register=144 ms=1200",
                         "silent at=2 register=144 count=all"};

void BM_WatchSoak(benchmark::State& state) {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "bench_cli_watch_soak";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    for (auto _ : state) {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("logger"));
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        QProcess watch;
        watch.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"),
                    {QStringLiteral("watch"), QStringLiteral("--fast"), QStringLiteral("--port"), link,
                     QStringLiteral("--output-dir"), dir.filePath(QStringLiteral("out")), QStringLiteral("--archive"),
                     dir.filePath(QStringLiteral("archive.sqlite")), QStringLiteral("--settings"),
                     dir.filePath(QStringLiteral("quorvex.INI"))});
        if (!watch.waitForStarted()) return state.SkipWithError("quorvex-cli did not start");
        QString out;
        Usage first, last;
        long rssMax = 0;
        int lost = 0;
        for (int c = 0; c < cycles; ++c) {
            // Another record count each cycle: another start moment, so another log to read whole.
            const int records = 250 + c % 50;
            std::vector<std::string> args{"--no-pacing", "--clock", "2015-03-30 12:00:00", "--records",
                                          std::to_string(records)};
            if (const char* fault = kFaults[c % 4]) args.insert(args.end(), {"--fault", fault});
            auto sim = std::make_unique<bench::BenchSim>(args);
            if (!sim->Running()) {
                std::fprintf(stderr, "cycle %d: quorvex-sim did not start\n", c + 1);
                return state.SkipWithError("quorvex-sim did not start");
            }
            if (!QFile::link(QString::fromStdString(sim->Link()), link))
                return state.SkipWithError("the link could not be made");
            const QString complete = QStringLiteral(", %1 total -> ").arg(records);
            const QString cut = QStringLiteral(" total of %1;").arg(records);
            bool seen = false;
            while (!seen) {
                if (!watch.waitForReadyRead(60000)) break;
                out += QString::fromUtf8(watch.readAllStandardOutput());
                for (const QString& line : out.split(u'\n'))
                    seen = seen || line.contains(complete) || line.contains(cut);
            }
            out.clear();
            if (!seen) ++lost;
            sim.reset();  // unplugged
            QFile::remove(link);
            // Measured once the watch has let the connection go and waits for the next logger:
            // the same moment of every cycle.
            Usage u = Measure(watch.processId());
            for (int wait = 0; u.threads > 1 && wait < 200; ++wait) {
                QThread::msleep(50);
                u = Measure(watch.processId());
            }
            if (c == kWarmUp || (c == 0 && cycles <= kWarmUp)) first = u;
            last = u;
            rssMax = qMax(rssMax, u.rssKb);
            if ((c + 1) % 10 == 0)
                std::fprintf(stderr, "cycle %d: rss %ld kB, fds %d, threads %d\n", c + 1, u.rssKb, u.fds, u.threads);
        }
        ::kill(static_cast<pid_t>(watch.processId()), SIGTERM);
        watch.waitForFinished(30000);
        state.counters["cycles"] = cycles;
        state.counters["lines_missing"] = lost;
        state.counters["rss_kB_first"] = static_cast<double>(first.rssKb);
        state.counters["rss_kB_last"] = static_cast<double>(last.rssKb);
        state.counters["rss_kB_max"] = static_cast<double>(rssMax);
        state.counters["fds_first"] = first.fds;
        state.counters["fds_last"] = last.fds;
        state.counters["threads_first"] = first.threads;
        state.counters["threads_last"] = last.threads;
        state.counters["exit_code"] = watch.exitCode();
    }
}
BENCHMARK(BM_WatchSoak)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv) {
    // The first argument, when a number, is the cycle count.
    if (argc > 1 && std::atoi(argv[1]) > 0) {
        quorvex::cycles = std::atoi(argv[1]);
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
        --argc;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
