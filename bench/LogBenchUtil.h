#pragma once
// Shared by the log benchmarks: a logger's parameters as after a complete
// reading, log reply blocks of 62 records as the logger sends them, and a
// million-record results store for the file benchmarks.
#include <vector>

#include "logs/LogDownload.h"
#include "logs/LogDownloadView.h"
#include "logs/ResultsModel.h"
#include "logs/ResultsStore.h"
#include "logs/TableOnlyView.h"
#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"

namespace quorvex::bench {

inline void FillParameters(ParameterModel& model, std::uint32_t written) {
    std::vector<std::uint16_t> low(29, 0), high(90, 0);
    low[5] = 2015;
    low[6] = 0x0301;
    low[7] = 0x081E;  // 1 March 2015 08:30
    low[9] = 0x0001;
    low[10] = 0x2C00;  // 300 s
    low[11] = static_cast<std::uint16_t>(written >> 8);
    low[12] = static_cast<std::uint16_t>((written & 0xFF) << 8);
    low[17] = 0x0201;
    low[18] = 0x8250;
    low[19] = 0x100F;
    low[20] = 0x0798;
    low[21] = 0x900F;
    high[0] = 0x4C6F;
    high[1] = 0x6700;
    high[23] = 0x0201;
    high[24] = 0x0019;
    high[25] = 0xA7F3;
    high[44] = 128;
    high[45] = 128;
    for (auto* block : {&low, &high}) {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : *block) {
            bytes.push_back(static_cast<std::uint8_t>(w >> 8));
            bytes.push_back(static_cast<std::uint8_t>(w));
        }
        model.StoreRegisters(bytes.data(), block == &low ? 0 : 256, static_cast<int>(bytes.size()));
    }
}

// 62 records (248 bytes) of varying temperature and humidity.
inline std::vector<std::uint8_t> Block(int seed) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < 62; ++i) {
        const int t = (seed + i) % 400, h = (seed * 7 + i) % 1000;
        const std::uint32_t tBcd = static_cast<std::uint32_t>((t / 100) << 8 | (t / 10 % 10) << 4 | t % 10);
        const std::uint32_t hBcd = static_cast<std::uint32_t>((h / 100) << 8 | (h / 10 % 10) << 4 | h % 10);
        const std::uint32_t v = tBcd << 17 | hBcd << 4;
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    }
    return out;
}

// Runs a fresh download of `records` records through the controller.
inline void Download(LogDownload& manager, int records, const std::vector<std::vector<std::uint8_t>>& blocks) {
    manager.StartRead();
    int done = 0;
    for (std::size_t b = 0; done < records; ++b) {
        const auto& block = blocks[b % blocks.size()];
        const int n = std::min(62, records - done);
        manager.AppendLogBlock(block.data(), static_cast<std::uint8_t>(4 * n));
        done += n;
    }
    manager.ReadFinished();
}

// A humidity logger's results: `count` records, one every `interval` seconds from
// 1 March 2015, 08:30, temperatures and humidities cycling through their ranges.
inline void FillResults(ResultsStore& store, int count, int interval) {
    store.Clear();
    store.loggerName = QStringLiteral("Chłodnia 3");
    store.loggerType = QStringLiteral("0201");
    store.serialNumber = QStringLiteral("0019A7F3");
    const Moment start = ToMoment(QDate(2015, 3, 1), QTime(8, 30));
    for (int i = 0; i < count; ++i)
        store.Append(static_cast<float>((i % 600 - 200) * 0.1), static_cast<float>((i % 1000) * 0.1),
                     start + static_cast<double>(i) * interval / 86400.0);
}

}  // namespace quorvex::bench
