// What signing adds to saving a 1,000,000-record results file: each iteration saves the same
// records unsigned and signed (BLAKE2b-512 of the bytes as they are written, an Ed25519
// signature and FILE.minisig), in the same run, and reports the signed save's share over the unsigned one as
// overhead_pct; the goal is at most 10 %. Also the check of such a file's signature.
#include <benchmark/benchmark.h>

#include <QLocale>
#include <QTemporaryDir>

#include <chrono>

#include "LogBenchUtil.h"
#include "logs/ResultsFile.h"
#include "sign/FileSigner.h"
#include "sign/SignatureCheck.h"

namespace {

using namespace quorvex;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 1'000'000;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

void BM_SaveSignedMillion(benchmark::State& state) {
    QLocale::setDefault(QLocale(QStringLiteral("pl_PL")));
    ResultsStore store;
    bench::FillResults(store, kRecords, 300);
    QTemporaryDir dir;
    const FileSigner signer(QStringLiteral("Quorvex bench"), dir.filePath(QStringLiteral("config")));
    const ResultsFormat format = state.range(0) ? ResultsFormat::Csv : ResultsFormat::Text;
    const QString plain = dir.filePath(QStringLiteral("plain")), signedPath = dir.filePath(QStringLiteral("signed"));
    signer.Sign(plain, {});  // the key is made before the clock runs
    double unsignedSeconds = 0, signedSeconds = 0;
    bool signedFirst = false;
    for (auto _ : state) {
        // Taken in turns first and second: each save's flush to disk weighs on the one after it.
        double a = 0, b = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool sign = (turn == 0) == signedFirst;
            const auto start = Clock::now();
            const SaveResultsOutcome saved = sign ? SaveResultsFile(signedPath, store, format, false, &signer)
                                                  : SaveResultsFile(plain, store, format);
            (sign ? b : a) = Seconds(start);
            if (!saved.ok || (sign && !saved.signature.done)) state.SkipWithError("not written or not signed");
        }
        signedFirst = !signedFirst;
        unsignedSeconds += a;
        signedSeconds += b;
        state.SetIterationTime(b);
    }
    state.counters["unsigned_ms"] = unsignedSeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["signed_ms"] = signedSeconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["overhead_pct"] = (signedSeconds - unsignedSeconds) * 100.0 / unsignedSeconds;
}
BENCHMARK(BM_SaveSignedMillion)->Arg(0)->Arg(1)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_CheckSignatureMillion(benchmark::State& state) {
    QLocale::setDefault(QLocale(QStringLiteral("pl_PL")));
    ResultsStore store;
    bench::FillResults(store, kRecords, 300);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config"));
    const FileSigner signer(QStringLiteral("Quorvex bench"), folder);
    const QString path = dir.filePath(QStringLiteral("wyniki"));
    if (!SaveResultsFile(path, store, ResultsFormat::Text, false, &signer).signature.done)
        state.SkipWithError("not signed");
    const QList<TrustedKey> trusted = LoadTrustedKeys(folder);
    for (auto _ : state)
        if (CheckSignature(path, trusted).state != SignatureState::Valid) state.SkipWithError("not valid");
}
BENCHMARK(BM_CheckSignatureMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
