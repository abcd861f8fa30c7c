#include "core/SimLogger.h"

#include <algorithm>
#include <cmath>

#include "core/Measurement.h"
#include "modbus/Crc16.h"
#include "modbus/Request.h"
#include "params/Cp1250.h"

namespace quorvex::sim {

namespace {
constexpr int kLowFirst = 0, kLowLast = 28;       // the low poll block
constexpr int kHighFirst = 256, kHighLast = 345;  // the high poll block
constexpr int kNameFirst = 256, kNameWords = 23;
constexpr std::uint16_t kStartModeBits = 0x0003, kRecordingBit = 0x0004, kOverwriteBit = 0x0008;

std::uint16_t Word(const std::vector<std::uint8_t>& f, std::size_t at) {
    return static_cast<std::uint16_t>((f[at] << 8) | f[at + 1]);
}

std::uint8_t Bcd2(int v) { return static_cast<std::uint8_t>(((v / 10) % 10) << 4 | (v % 10)); }

std::vector<std::uint8_t> Framed(std::vector<std::uint8_t> bytes) {
    const std::uint16_t crc = Crc16(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

std::vector<std::uint8_t> ExceptionReply(std::uint8_t address, std::uint8_t function, std::uint8_t code) {
    return Framed({address, static_cast<std::uint8_t>(function | 0x80), code});
}

bool InsideOneBlock(int first, int last) {
    return (first >= kLowFirst && last <= kLowLast) || (first >= kHighFirst && last <= kHighLast);
}

// Registers a write may change. The identity, the measurements and the counters belong to
// the firmware; the log register is read only.
bool Writable(int r) {
    return r <= 10 || r == 13 || r == 14 || (r >= 18 && r <= 21) || r == 28 || (r >= 80 && r <= 83) ||
           (r >= kNameFirst && r <= 278) || (r >= 282 && r <= kHighLast);
}

std::uint16_t CorrectionByte(double c) { return static_cast<std::uint16_t>((std::lround(c * 10) + 128) & 0xFF); }

double CorrectionValue(std::uint16_t reg) { return (static_cast<int>(reg & 0xFF) - 128) / 10.0; }

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t max = 12) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < bytes.size() && i < max; ++i) {
        if (i) s += ' ';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    if (bytes.size() > max) s += " …";
    return s;
}
}  // namespace

SimLogger::SimLogger(const Scenario& scenario, SimClock::Monotonic monotonic)
    : scenario_(scenario),
      climate_(scenario.climate),
      clock_(scenario.clock == "now" ? LocalWallNowMs() / 1000 * 1000 : ParseWall(scenario.clock).value_or(0),
             std::move(monotonic)) {
    climate_.humidity = (scenario.type >> 8) == 0x02;
    for (const Fault& f : scenario.faults) faults_.Add(f);

    regs_[0] = static_cast<std::uint16_t>((scenario.mode & 3) | (scenario.overwrite ? kOverwriteBit : 0));
    regs_[9] = static_cast<std::uint16_t>(scenario.interval >> 8);
    regs_[10] = static_cast<std::uint16_t>((scenario.interval & 0xFF) << 8);
    regs_[13] = 0;
    regs_[14] = 0x0100;  // next record to read: 1
    regs_[17] = scenario.type;
    const std::uint32_t low = PackMeasurement(scenario.tempLow, scenario.humLow);
    const std::uint32_t high = PackMeasurement(scenario.tempHigh, scenario.humHigh);
    regs_[18] = static_cast<std::uint16_t>(low >> 16);
    regs_[19] = static_cast<std::uint16_t>(low & 0xFFFF);
    regs_[20] = static_cast<std::uint16_t>(high >> 16);
    regs_[21] = static_cast<std::uint16_t>(high & 0xFFFF);
    regs_[22] = static_cast<std::uint16_t>(scenario.firmwareMajor << 8 | scenario.firmwareMinor);
    regs_[23] = static_cast<std::uint16_t>(scenario.battery << 8);
    regs_[25] = Bcd2(scenario.productionYear / 100);
    regs_[26] = static_cast<std::uint16_t>(Bcd2(scenario.productionYear % 100) << 8 | Bcd2(scenario.productionMonth));
    regs_[27] = static_cast<std::uint16_t>(Bcd2(scenario.productionDay) << 8);

    const QByteArray nameBytes = quorvex::ToCp1250(QString::fromUtf8(scenario.name.c_str()));
    std::vector<std::uint8_t> name(nameBytes.begin(), nameBytes.end());
    name.resize(2 * kNameWords, 0);
    name.back() = 0;  // always zero-terminated: at most 45 characters
    for (int k = 0; k < kNameWords; ++k)
        regs_[kNameFirst + k] = static_cast<std::uint16_t>(name[2 * k] << 8 | name[2 * k + 1]);
    regs_[279] = scenario.type;
    regs_[280] = static_cast<std::uint16_t>(scenario.serial >> 16);
    regs_[281] = static_cast<std::uint16_t>(scenario.serial & 0xFFFF);
    regs_[300] = CorrectionByte(scenario.tempCorrection);
    regs_[301] = CorrectionByte(scenario.humCorrection);

    // The recording session the log belongs to.
    const std::int64_t now = clock_.NowSeconds();
    const std::int64_t n = scenario.recordCount;
    const std::int64_t interval = scenario.interval;
    std::int64_t start = 0;
    if (scenario.start == "auto")
        start = scenario.recording ? now - (n > 0 ? n - 1 : 0) * interval - interval / 2 : now - n * interval;
    else if (scenario.start.starts_with("now"))
        start = now + std::stoll(scenario.start.substr(3));
    else
        start = ParseWall(scenario.start).value_or(now * 1000) / 1000;
    PutMoment(regs_, 5, start * 1000);

    if (scenario.listedRecords) {
        records_.assign(scenario.listedRecords->begin(), scenario.listedRecords->end());
    } else {
        for (std::int64_t k = 0; k < n; ++k) records_.push_back(RecordAt((start + k * interval) * 1000));
    }
    logCounter_ = scenario.logCounter.value_or(40000 + static_cast<std::uint32_t>(records_.size()));
    nextRecordMs_ = (start + static_cast<std::int64_t>(records_.size()) * interval) * 1000;
    if (scenario.recording) regs_[0] |= kRecordingBit;
    lastTickMs_ = clock_.NowMs();
    Refresh();
}

std::uint32_t SimLogger::IntervalSeconds() const {
    const std::uint32_t s = static_cast<std::uint32_t>(regs_[9]) << 8 | regs_[10] >> 8;
    return s ? s : 1;
}

std::optional<std::int64_t> SimLogger::StartMoment() const {
    return WallFromFields({regs_[5], regs_[6] >> 8, regs_[6] & 0xFF, regs_[7] >> 8, regs_[7] & 0xFF, regs_[8] >> 8});
}

void SimLogger::PutMoment(std::array<std::uint16_t, kRegisterCount>& regs, int first, std::int64_t wallMs) const {
    const WallFields f = FieldsFromWall(wallMs);
    regs[first] = static_cast<std::uint16_t>(f.year);
    regs[first + 1] = static_cast<std::uint16_t>(f.month << 8 | f.day);
    regs[first + 2] = static_cast<std::uint16_t>(f.hour << 8 | f.minute);
    regs[first + 3] = static_cast<std::uint16_t>(f.second << 8);
}

std::uint32_t SimLogger::RecordAt(std::int64_t wallMs) const {
    const Sample s = MeasureAt(climate_, SimClock::FloorDiv(wallMs, 1000));
    return PackMeasurement(s.celsius + CorrectionValue(regs_[300]),
                           climate_.humidity ? s.percent + CorrectionValue(regs_[301]) : 0.0);
}

void SimLogger::BeginRecording(std::int64_t wallMs) {
    records_.clear();
    regs_[0] |= kRecordingBit;
    PutMoment(regs_, 5, wallMs);
    nextRecordMs_ = wallMs;
}

void SimLogger::AccrueUntil(std::int64_t now) {
    const std::int64_t step = static_cast<std::int64_t>(IntervalSeconds()) * 1000;
    if (nextRecordMs_ > now) return;
    const std::int64_t due = (now - nextRecordMs_) / step + 1;
    const std::int64_t capacity = scenario_.capacity;
    if ((regs_[0] & kOverwriteBit) && due > capacity) {
        // Everything held now and the first due records would be overwritten anyway.
        const std::int64_t skipped = due - capacity;
        records_.clear();
        nextRecordMs_ += skipped * step;
        logCounter_ += static_cast<std::uint32_t>(skipped);
        PutMoment(regs_, 5, nextRecordMs_);
    }
    while (nextRecordMs_ <= now && (regs_[0] & kRecordingBit)) {
        if (records_.size() >= static_cast<std::size_t>(capacity)) {
            if (!(regs_[0] & kOverwriteBit)) {
                regs_[0] &= static_cast<std::uint16_t>(~kRecordingBit);  // memory full: stop
                break;
            }
            records_.pop_front();
            if (auto start = StartMoment()) PutMoment(regs_, 5, *start + step);
        }
        records_.push_back(RecordAt(nextRecordMs_));
        ++logCounter_;
        nextRecordMs_ += step;
    }
}

void SimLogger::Tick() {
    const std::int64_t now = clock_.NowMs();
    if (!(regs_[0] & kRecordingBit) && (regs_[0] & kStartModeBits) == 2) {
        const auto start = StartMoment();
        if (start && lastTickMs_ < *start && *start <= now) BeginRecording(*start);
    }
    if (regs_[0] & kRecordingBit) AccrueUntil(now);
    lastTickMs_ = now;
}

void SimLogger::Refresh() {
    const std::int64_t now = clock_.NowMs();
    PutMoment(regs_, 1, now);
    const std::uint32_t written = static_cast<std::uint32_t>(records_.size());
    regs_[11] = static_cast<std::uint16_t>(written >> 8);
    regs_[12] = static_cast<std::uint16_t>((written & 0xFF) << 8);
    const std::uint32_t current = RecordAt(now);
    regs_[15] = static_cast<std::uint16_t>(current >> 16);
    regs_[16] = static_cast<std::uint16_t>(current & 0xFFFF);
    regs_[23] = static_cast<std::uint16_t>((regs_[23] & 0xFF00) | (logCounter_ >> 24));
    regs_[24] = static_cast<std::uint16_t>(logCounter_ >> 8);
    regs_[25] = static_cast<std::uint16_t>((logCounter_ & 0xFF) << 8 | (regs_[25] & 0x00FF));
}

std::uint16_t SimLogger::Register(std::uint16_t reg) {
    Tick();
    Refresh();
    return reg < kRegisterCount ? regs_[reg] : 0;
}

SimReply SimLogger::Handle(const std::vector<std::uint8_t>& rq) {
    if (rq.size() < 4 || Crc16(rq.data(), rq.size()) != 0) {
        lastNote_ = "ignored (bad CRC or too short): " + Hex(rq);
        return {};
    }
    ++requestCount_;
    Tick();
    Refresh();

    const std::uint8_t address = rq[0], function = rq[1];
    const bool registerFunction =
        function == FN_READ_HOLDING || function == FN_WRITE_SINGLE || function == FN_WRITE_MULTIPLE;
    std::optional<std::uint16_t> startRegister;
    if (registerFunction && rq.size() >= 8) startRegister = Word(rq, 2);
    const std::vector<Fault> active = faults_.Next(requestCount_, startRegister);
    const bool ignoreWrite =
        (function == FN_WRITE_SINGLE || function == FN_WRITE_MULTIPLE) && startRegister &&
        std::any_of(active.begin(), active.end(), [](const Fault& f) { return f.kind == FaultKind::Ignore; });
    std::vector<std::uint8_t> reply;
    if (ignoreWrite) {
        // Echoed as taken, but nothing changes: the read-back shows the old value.
        reply = function == FN_WRITE_SINGLE ? rq : Framed({rq.begin(), rq.begin() + 6});
    } else if (registerFunction) {
        if (rq.size() < 8) {
            reply = ExceptionReply(address, function, kIllegalValue);
        } else {
            const std::uint16_t second = Word(rq, 4);
            if (function == FN_READ_HOLDING) {
                reply = rq.size() == 8 ? Read(rq, *startRegister, second)
                                       : ExceptionReply(address, function, kIllegalValue);
            } else if (function == FN_WRITE_SINGLE) {
                reply = rq.size() == 8 ? Write(rq, *startRegister, {second})
                                       : ExceptionReply(address, function, kIllegalValue);
            } else {
                const std::size_t byteCount = rq.size() >= 9 ? rq[6] : 0;
                if (second == 0 || second > 123 || byteCount != 2u * second || rq.size() != 9 + byteCount) {
                    reply = ExceptionReply(address, function, kIllegalValue);
                } else {
                    std::vector<std::uint16_t> values;
                    for (std::size_t i = 0; i < second; ++i) values.push_back(Word(rq, 7 + 2 * i));
                    reply = Write(rq, *startRegister, values);
                }
            }
        }
    } else if (function == FN_RESET_COMMAND) {
        // The firmware restarts its measurement with the new corrections; nothing here to reset.
        ++resetCount_;
        reply = rq;
    } else {
        reply = ExceptionReply(address, function, kIllegalFunction);
    }

    SimReply out;
    const FaultTiming timing = ApplyFaults(active, reply, address, function);
    out.delayMs = timing.delayMs;
    out.pauseAfter = timing.pauseAfter;
    out.pauseMs = timing.pauseMs;
    out.bytes = std::move(reply);

    lastNote_ = "#" + std::to_string(requestCount_) + " " + Hex(rq) + " -> " +
                (out.bytes.empty() ? std::string("no reply")
                                   : Hex(out.bytes) + " (" + std::to_string(out.bytes.size()) + " bytes)");
    for (const Fault& f : active) lastNote_ += " [fault: " + DescribeFault(f) + "]";
    return out;
}

std::vector<std::uint8_t> SimLogger::Read(const std::vector<std::uint8_t>& rq, std::uint16_t start,
                                          std::uint16_t count) {
    const std::uint8_t address = rq[0];
    if (start == kLogRegister && count == 0) return ReadLog(address);
    if (count == 0 || count > 125) return ExceptionReply(address, FN_READ_HOLDING, kIllegalValue);
    if (!InsideOneBlock(start, start + count - 1)) return ExceptionReply(address, FN_READ_HOLDING, kIllegalAddress);
    std::vector<std::uint8_t> out{address, FN_READ_HOLDING, static_cast<std::uint8_t>(2 * count)};
    for (int r = start; r < start + count; ++r) {
        out.push_back(static_cast<std::uint8_t>(regs_[r] >> 8));
        out.push_back(static_cast<std::uint8_t>(regs_[r] & 0xFF));
    }
    return Framed(std::move(out));
}

std::vector<std::uint8_t> SimLogger::ReadLog(std::uint8_t address) {
    // Registers 13-14 hold the number of the next record to send, counted from 1.
    std::uint32_t next = static_cast<std::uint32_t>(regs_[13]) << 8 | regs_[14] >> 8;
    if (next == 0) next = 1;
    if (next > records_.size()) return ExceptionReply(address, FN_READ_HOLDING, kIllegalAddress);  // the end of the log
    const std::size_t n = std::min(kRecordsPerReply, records_.size() - (next - 1));
    std::vector<std::uint8_t> out{address, FN_READ_HOLDING, static_cast<std::uint8_t>(4 * n)};
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t v = records_[next - 1 + i];
        out.push_back(static_cast<std::uint8_t>(v >> 24));
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    }
    const std::uint32_t after = next + static_cast<std::uint32_t>(n);
    regs_[13] = static_cast<std::uint16_t>(after >> 8);
    regs_[14] = static_cast<std::uint16_t>((after & 0xFF) << 8 | (regs_[14] & 0xFF));
    return Framed(std::move(out));
}

std::vector<std::uint8_t> SimLogger::Write(const std::vector<std::uint8_t>& rq, std::uint16_t start,
                                           const std::vector<std::uint16_t>& values) {
    const std::uint8_t address = rq[0], function = rq[1];
    const int last = start + static_cast<int>(values.size()) - 1;
    for (int r = start; r <= last; ++r)
        if (r >= static_cast<int>(kRegisterCount) || !Writable(r))
            return ExceptionReply(address, function, kIllegalAddress);

    // Work on a copy so that a refused write changes nothing.
    auto next = regs_;
    bool clockTouched = false, intervalTouched = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int r = start + static_cast<int>(i);
        const std::uint16_t v = values[i];
        switch (r) {
        case 80:
            next[0] = static_cast<std::uint16_t>((next[0] & ~0x0001) | (v & 0x0001));
            break;
        case 81:
            next[0] = static_cast<std::uint16_t>((next[0] & ~0x0002) | (v & 0x0002));
            break;
        case 82:
            next[0] = static_cast<std::uint16_t>((next[0] & ~kRecordingBit) | (v & kRecordingBit));
            break;
        case 83:
            next[0] = static_cast<std::uint16_t>((next[0] & ~kOverwriteBit) | (v & kOverwriteBit));
            break;
        default:
            next[r] = v;
            clockTouched |= r >= 1 && r <= 4;
            intervalTouched |= r == 9 || r == 10;
        }
    }
    std::optional<std::int64_t> newClock;
    if (clockTouched) {
        newClock = WallFromFields({next[1], next[2] >> 8, next[2] & 0xFF, next[3] >> 8, next[3] & 0xFF, next[4] >> 8});
        if (!newClock) return ExceptionReply(address, function, kIllegalValue);
    }
    if (intervalTouched && (static_cast<std::uint32_t>(next[9]) << 8 | next[10] >> 8) == 0)
        return ExceptionReply(address, function, kIllegalValue);

    const bool wasRecording = regs_[0] & kRecordingBit;
    const bool recording = next[0] & kRecordingBit;
    if (newClock) {
        const std::int64_t shift = *newClock - clock_.NowMs();
        clock_.Set(*newClock);
        nextRecordMs_ += shift;  // the running session keeps its pace
    }
    regs_ = next;
    if (!wasRecording && recording) {
        regs_[0] &= static_cast<std::uint16_t>(~kRecordingBit);
        BeginRecording(clock_.NowSeconds() * 1000);
    }
    Refresh();

    if (function == FN_WRITE_SINGLE) return Framed({rq.begin(), rq.begin() + 6});
    return Framed({address, function, rq[2], rq[3], rq[4], rq[5]});
}

}  // namespace quorvex::sim
