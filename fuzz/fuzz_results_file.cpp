// Feeds arbitrary bytes to the results file reader (text and CSV, told apart
// by the first bytes) and checks what a file it takes holds: records numbered
// in order with moments that never go back, and a fault always on a line of
// the file. A file it takes must save and open again to the same records.
#include <QBuffer>
#include <QLocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "logs/ResultsCsv.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsReader.h"
#include "params/Codecs.h"

using namespace quorvex;

namespace {

void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_results_file: check on line %d failed\n", line);
    std::abort();
}
#define Require(condition) Check(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        QLocale::setDefault(QLocale(QStringLiteral("pl_PL")));
        return true;
    }();
    (void)once;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ResultsStore store;
    const ReadResultsOutcome outcome = ReadResults(bytes, QStringLiteral("fuzz"), store);
    const int lines = static_cast<int>(bytes.count('\n')) + 1;
    if (!outcome.ok) {
        Require(outcome.line >= 1 && outcome.line <= lines);
        Require(!outcome.errorText.isEmpty());
        return 0;
    }
    for (int i = 1; i < store.Count(); ++i) Require(store[i].time >= store[i - 1].time);
    Require(store.intervalSeconds >= 0);

    // What was taken saves and opens again unchanged, in both formats; values
    // of a thousand and more (no logger records them) are written with group
    // separators, which the reader does not take.
    for (int i = 0; i < store.Count(); ++i)
        if (!(std::abs(store[i].temperature) < 1000.0f && std::abs(store[i].humidity) < 1000.0f)) return 0;
    for (bool csv : {false, true}) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        Require(csv ? WriteResultsCsv(out, store) : WriteResults(out, store));
        ResultsStore again;
        const ReadResultsOutcome reread = ReadResults(out.data(), QStringLiteral("again"), again);
        Require(reread.ok);
        Require(again.Count() == store.Count());
        for (int i = 0; i < store.Count(); ++i) {
            Require(FromMoment(again[i].time) == FromMoment(store[i].time));
            Require(NumberText(again[i].temperature) == NumberText(store[i].temperature));
        }
    }
    return 0;
}
