#pragma once
// Helpers of the log tests: records from their fields, the parameter model
// filled as after a complete reading, and a view that records what the
// download controller shows.
#include <QLocale>
#include <map>
#include <vector>

#include "LocaleGuard.h"
#include "logs/LogDownloadView.h"
#include "logs/ResultsModel.h"
#include "params/ParameterModel.h"

namespace quorvex::test {

// The 4 bytes of a record from its temperature field (14 bits), sign and
// humidity field (13 bits), as the logger sends them.
inline std::vector<std::uint8_t> RecordBytes(std::uint16_t tempField, bool negative, std::uint16_t humField) {
    const std::uint32_t v = (negative ? 0x80000000u : 0u) | (static_cast<std::uint32_t>(tempField & 0x3FFF) << 17) |
                            (static_cast<std::uint32_t>(humField & 0x1FFF) << 4);
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

inline std::vector<std::uint8_t> WordBytes(const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> out;
    for (std::uint16_t w : words) {
        out.push_back(static_cast<std::uint8_t>(w >> 8));
        out.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    return out;
}

struct LoggerSetup {
    std::uint16_t year = 2015, month = 3, day = 1, hour = 8, minute = 30, second = 0;
    std::uint32_t interval = 300;
    std::uint32_t written = 250;
    std::uint16_t deviceType = 0x0201;
    std::uint16_t serialHigh = 0x0019, serialLow = 0xA7F3;
};

// Both poll blocks of a logger named "Hall: A/B" as the parameter model stores them.
inline void FillParameters(ParameterModel& model, const LoggerSetup& s = {}) {
    std::vector<std::uint16_t> low(29, 0);
    low[0] = 0x0002;
    low[1] = 2015;
    low[2] = 0x0305;
    low[3] = 0x0E07;
    low[4] = 0x0900;
    low[5] = s.year;
    low[6] = static_cast<std::uint16_t>((s.month << 8) | s.day);
    low[7] = static_cast<std::uint16_t>((s.hour << 8) | s.minute);
    low[8] = static_cast<std::uint16_t>(s.second << 8);
    low[9] = static_cast<std::uint16_t>(s.interval >> 8);
    low[10] = static_cast<std::uint16_t>((s.interval & 0xFF) << 8);
    low[11] = static_cast<std::uint16_t>(s.written >> 8);
    low[12] = static_cast<std::uint16_t>((s.written & 0xFF) << 8);
    low[13] = 0x0000;
    low[14] = 0x0155;  // next record 1, low byte kept by writes
    low[15] = 0x0253 << 1;
    low[16] = 0x555F;
    low[17] = s.deviceType;
    low[18] = (0x4125 << 1) | 0;
    low[19] = 0x100F;  // low: -12.5 °C, 10.0 %
    low[20] = (0x0399 << 1) | 0;
    low[21] = 0x900F;  // high: 39.9 °C, 90.0 %
    low[22] = 0x0105;
    low[23] = 0x5000;
    low[24] = 0x0102;
    low[25] = 0x0320;
    low[26] = 0x1503;
    low[27] = 0x0500;
    std::vector<std::uint16_t> high(90, 0);
    high[0] = 0x4861;
    high[1] = 0x6C6C;
    high[2] = 0x3A20;
    high[3] = 0x412F;
    high[4] = 0x4200;  // "Hall: A/B"
    high[23] = s.deviceType;
    high[24] = s.serialHigh;
    high[25] = s.serialLow;
    high[44] = 128;
    high[45] = 128;
    const auto lowBytes = WordBytes(low), highBytes = WordBytes(high);
    model.StoreRegisters(lowBytes.data(), 0, static_cast<int>(lowBytes.size()));
    model.StoreRegisters(highBytes.data(), 256, static_cast<int>(highBytes.size()));
}

// A results tab without widgets: keeps what it was told, and a real table model.
class RecordingView : public LogDownloadView {
public:
    struct Box {
        QString caption, text;
        BoxIcon icon;
    };

    explicit RecordingView(const ResultsStore& store) : model(store) {}

    void SetStatusLines(const QStringList& lines) override { status = lines; }
    void SetProgressMaximum(int maximum) override { progressMax = maximum; }
    void SetProgressPosition(int position) override { progress = position; }
    void SetButtonEnabled(Button button, bool enabled) override { buttons[button] = enabled; }
    void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) override {
        boxes.push_back({caption, text, icon});
    }
    void SetLoggerInfo(const QList<LoggerInfoRow>& rows) override { info = rows; }
    void ResultsCleared() override {
        ++clears;
        model.SyncRows();
    }
    void ResultsAppended(int first, int last) override {
        blocks.push_back({first, last});
        model.SyncRows();
    }

    bool Enabled(Button b) const {
        auto it = buttons.find(b);
        return it != buttons.end() && it->second;
    }

    QStringList status;
    int progressMax = -1, progress = -1;
    std::map<Button, bool> buttons;
    std::vector<Box> boxes;
    QList<LoggerInfoRow> info;
    int clears = 0;
    std::vector<std::pair<int, int>> blocks;
    ResultsModel model;
};

}  // namespace quorvex::test
