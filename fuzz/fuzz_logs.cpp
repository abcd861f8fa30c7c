// Feeds arbitrary log replies to the download controller, mixed with stops,
// resumes and ends of the log, and checks what the store and the table then
// hold: every whole record decoded in range with its time stamp, nothing from
// a broken block, nothing while not reading. Any violation aborts.
#include <QLocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "logs/LogDownload.h"
#include "logs/LogDownloadView.h"
#include "logs/ResultsModel.h"
#include "logs/TableOnlyView.h"
#include "params/Codecs.h"
#include "params/LoggerChannel.h"

using namespace quorvex;

namespace {

void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_logs: check on line %d failed\n", line);
    std::abort();
}
#define Require(condition) Check(condition, __LINE__)

// Registers 0–28 and 256–345 of a logger whose start moment and interval come from the input.
void FillParameters(ParameterModel& params, const std::uint8_t* d) {
    std::vector<std::uint16_t> low(29, 0), high(90, 0);
    low[5] = static_cast<std::uint16_t>(2000 + d[0] % 100);
    low[6] = static_cast<std::uint16_t>((1 + d[1] % 12) << 8 | (1 + d[2] % 28));
    low[7] = static_cast<std::uint16_t>((d[3] % 24) << 8 | d[4] % 60);
    low[9] = static_cast<std::uint16_t>(d[5] << 8 | d[6]);
    low[10] = static_cast<std::uint16_t>(d[7] << 8);
    low[11] = 0x0001;
    low[17] = 0x0201;
    high[0] = 0x4100;
    for (auto* block : {&low, &high}) {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : *block) {
            bytes.push_back(static_cast<std::uint8_t>(w >> 8));
            bytes.push_back(static_cast<std::uint8_t>(w));
        }
        params.StoreRegisters(bytes.data(), block == &low ? 0 : 256, static_cast<int>(bytes.size()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QLocale locales[] = {QLocale(QStringLiteral("pl_PL")), QLocale(QStringLiteral("en_US")),
                                      QLocale(QStringLiteral("de_DE"))};
    static ParameterModel params;
    static ResultsStore store;
    static TableOnlyView view(store);
    static LogDownload manager(params, store);
    static std::vector<Request> queued;
    if (size < 9) return 0;
    QLocale::setDefault(locales[data[8] % 3]);
    ResetDecimalSeparator();
    if (!params.Connected()) {
        LoggerChannel channel;
        channel.enqueue = [](const Request& r) { queued.push_back(r); };
        params.Connect(std::move(channel));
    }
    manager.SetView(&view);
    manager.SetParamsReady(true);
    FillParameters(params, data);
    manager.Reset();
    queued.clear();
    manager.StartRead();
    // Register 9 at 0xFFFF means "not received": no interval, so no download.
    if (params.Param<WriteInterval>().GetText().isEmpty()) {
        Require(manager.GetState() == LogDownload::Aborted && queued.empty());
        return 0;
    }
    Require(manager.GetState() == LogDownload::Reading);

    // Ops: a length byte L; L < 250 is a reply of L bytes, 250 stop, 251 resume,
    // 252 end of the log, 253 a fresh start, 254/255 a look at the table.
    std::size_t pos = 9;
    while (pos < size) {
        const std::uint8_t op = data[pos++];
        const int before = store.Count();
        const auto state = manager.GetState();
        queued.clear();
        if (op < 250) {
            const std::size_t length = std::min<std::size_t>(op, size - pos);
            manager.AppendLogBlock(data + pos, static_cast<std::uint8_t>(length));
            const bool whole = length % 4 == 0;
            if (state != LogDownload::Reading) {
                Require(store.Count() == before && queued.empty() && manager.GetState() == state);
            } else if (!whole) {
                Require(store.Count() == before && queued.empty() && manager.GetState() == LogDownload::Aborted);
            } else {
                Require(store.Count() == before + static_cast<int>(length / 4) && queued.size() == 1);
                for (std::size_t k = 0; k < length / 4; ++k) {
                    const std::uint32_t v = LogRecordValue(data + pos + 4 * k);
                    const DecodedRecord r = DecodeLogRecord(v);
                    const LogRecord& s = store.At(before + static_cast<int>(k));
                    Require(s.temperature == r.temperature && s.humidity == r.humidity);
                    Require(r.temperature >= -399.95f && r.temperature <= 399.95f);
                    Require(r.humidity >= 0.0f && r.humidity <= 199.95f);
                    float back = 0;
                    Require(ParseNumber(NumberText(r.temperature), back) && back == r.temperature);
                }
            }
            pos += length;
        } else if (op == 250) {
            manager.StopRead();
        } else if (op == 251) {
            manager.ResumeRead();
        } else if (op == 252) {
            manager.ReadFinished();
        } else if (op == 253) {
            manager.StartRead();
            Require(store.Count() == 0);
        } else if (store.Count() > 0) {
            const int row = store.Count() - 1;
            for (int c = 0; c < view.model.columnCount(); ++c) (void)view.model.data(view.model.index(row, c));
        }
        Require(manager.LogCount() == store.Count() && view.model.rowCount() == store.Count());
        if (store.Count() > 0)
            Require(store.At(0).time == manager.StartTime() &&
                    store.At(store.Count() - 1).time == manager.CurrentTime());
    }
    return 0;
}
