#pragma once
// The logger's state as objects: the register mirror, one object per logger
// parameter, the flags derived from them, and the requests the dialogs use to
// write parameters and read them back. Lives on the user-interface thread from
// start-up to exit; no locking.
#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <tuple>
#include <vector>

#include "params/ClockParameters.h"
#include "params/DeviceParameters.h"
#include "params/LoggerChannel.h"
#include "params/MeasurementParameters.h"
#include "params/StatusParameters.h"
#include "params/WriteOutcome.h"
#include "params/WriteRefusal.h"

namespace quorvex {

struct Request;

class ParameterModel {
public:
    static constexpr int kParameterCount = 27;
    static constexpr std::uint8_t kAttempts = 2;
    // Command registers (function 6, write only).
    static constexpr std::uint16_t kStartModeBit0Register = 80;
    static constexpr std::uint16_t kStartModeBit1Register = 81;
    static constexpr std::uint16_t kRecordingRegister = 82;
    static constexpr std::uint16_t kOverwriteRegister = 83;

    ParameterModel();
    ParameterModel(const ParameterModel&) = delete;
    ParameterModel& operator=(const ParameterModel&) = delete;

    // The way to the transmission thread and the message log (see LoggerChannel).
    void Connect(LoggerChannel channel);
    void Disconnect();
    bool Connected() const { return static_cast<bool>(channel_.enqueue); }
    // A request to the transmission thread's queue; dropped while no channel is connected.
    void Enqueue(const Request& request) const;
    // A line for the message log; dropped while no channel is connected.
    void NoteLine(const QString& line) const;

    // The data bytes of a function-3 reply (poll or read-back): every complete
    // word goes to the mirror (registers below 512) and to every parameter in
    // list order, then the derived flags are recomputed. A negative or odd
    // byte count stores only the complete words.
    void StoreRegisters(const std::uint8_t* bytes, std::uint16_t startRegister, int byteCount);
    // Every parameter back to "not received" (lost link, reset, change of link).
    void InvalidateAll();
    // The parameters that replies (and InvalidateAll) changed since the last call, in list
    // order; the call forgets them. A parameter changes when a word of one of its registers
    // differs from the one it held, when it is received after being empty, and, for the
    // status bits, when the register-0 cell changes. Most polls bring the same words again:
    // the window redraws only what these name.
    std::vector<const Parameter*> TakeChanged();
    // Start date and time applicable only in start mode 2; humidity available
    // only on a device type beginning with "02"; RecordingActive from bit 2.
    void UpdateDependencies();

    int ParameterCount() const { return kParameterCount; }
    int ValueCount() const;  // parameters that are not empty
    bool RecordingActive() const { return recordingActive_; }

    // Function 16 of the words to the parameter's registers from FirstRegister on.
    // Nothing is queued while no channel is connected, nor for a word count outside
    // 1…123 (more would not fit one frame); the latter is noted in the message log.
    // A write with a chain belongs to the log download, which follows its own writes;
    // every other write is followed here until the logger has confirmed it.
    void WriteRegisters(const Parameter& parameter, std::span<const std::uint16_t> words, std::uint32_t chain = 0);
    // Function 3 of `count` registers from FirstRegister (1…125), marked as a read-back:
    // its reply is compared with the writes it covers (CheckReadBack).
    void ReadBack(const Parameter& parameter, int count);
    // Function 65, the logger's reset command: it restarts its measurement so
    // that new corrections take effect. One attempt; the reply carries nothing
    // the program keeps. Nothing is queued while no channel is connected.
    void EnqueueResetCommand();
    // Function 6 of one command register: 80 and 81 take bits 0 and 1 of the
    // start mode, 82 the recording bit, 83 the overwrite bit, each as the masked
    // value. They are written only, never read. Nothing is queued while
    // no channel is connected, nor for another register (noted in the message log).
    void WriteCommand(std::uint16_t reg, std::uint16_t value);
    // The monitor's Start and Stop: the recording bit of the register-0 cell set or cleared
    // and written as register 82. No read-back; the next poll shows what the logger did.
    void WriteRecordingBit(bool on);

    // The thread's hand-overs of the writes followed above. WriteRefused: the logger answered
    // with an exception (one refusal per parameter; its other writes are forgotten).
    // WriteConfirmed: the echo of a write that has no read-back to wait for (a command
    // register, the running clock). CheckReadBack, after StoreRegisters of a read-back: the
    // writes it covers whose parameter now shows another value than was sent.
    std::optional<WriteRefusal> WriteRefused(const Request& write, std::uint8_t exceptionCode);
    void WriteConfirmed(const Request& write);
    std::vector<WriteRefusal> CheckReadBack(const Request& read);

    // Told how every write followed above ended (confirmed, refused, shown otherwise, or left
    // without an answer when the link went) and of every reset command sent.
    void WatchWrites(WriteWatcher watcher) { watcher_ = std::move(watcher); }

    // The one object of a parameter class, e.g. Param<HighTemp>().
    template <class T>
    T& Param() {
        return *std::get<T*>(index_);
    }
    template <class T>
    const T& Param() const {
        return *std::get<T*>(index_);
    }

    const RegisterMirror& Mirror() const { return mirror_; }

private:
    struct PendingWrite {
        const Parameter* parameter;
        std::uint8_t function;
        std::uint16_t firstRegister;
        QString sent;
        bool awaitsReadBack;  // else forgotten once the echo confirms it
        QString before;       // the parameter as last read
        WriteOutcome::Kind kind = WriteOutcome::Kind::Register;
    };
    void Follow(const Parameter& parameter, std::uint8_t function, std::uint16_t firstRegister, int words = 0);
    void Report(const PendingWrite& write, const QString& after, int confirmed, int exceptionCode = 0) const;
    QString LastRead(const Parameter& parameter) const;

    LoggerChannel channel_;
    RegisterMirror mirror_;
    bool recordingActive_ = false;
    std::bitset<kParameterCount> changed_;  // by index in Parameters, until TakeChanged
    std::deque<PendingWrite> pending_;      // in the order the writes were queued
    WriteWatcher watcher_;
    std::array<QString, kParameterCount> lastRead_;  // by index in Parameters: as the last reply showed it

    StartLog startLog_;
    Logging logging_;
    WrapAround wrapArround_;
    StatusWord statusWord_;
    CurrentDate currentDate_;
    CurrentTime currentTime_;
    LogStartDate logStartDate_;
    LogStartTime logStartTime_;
    WriteInterval writeInterval_;
    WriteIndex writeIndex_;
    ReadIndex readIndex_;
    CurrentTemp currentTemp_;
    HighTemp highTemp_;
    LowTemp lowTemp_;
    CurrentHum currentHum_;
    HighHum highHum_;
    LowHum lowHum_;
    DeviceType deviceType_;
    VersionFirmware versionFirmware_;
    LogCounter logCounter_;
    BatteryStatus batteryStatus_;
    ProductionDate productionDate_;
    LoggerName loggerName_;
    DeviceTypeEprom deviceTypeEprom_;
    SerialNumber serialNumber_;
    CorrectionTemp correctionTemp_;
    CorrectionHum correctionHum_;

    std::tuple<StartLog*, Logging*, WrapAround*, StatusWord*, CurrentDate*, CurrentTime*, LogStartDate*, LogStartTime*,
               WriteInterval*, WriteIndex*, ReadIndex*, CurrentTemp*, HighTemp*, LowTemp*, CurrentHum*, HighHum*,
               LowHum*, DeviceType*, VersionFirmware*, LogCounter*, BatteryStatus*, ProductionDate*, LoggerName*,
               DeviceTypeEprom*, SerialNumber*, CorrectionTemp*, CorrectionHum*>
        index_;

public:
    // Every traversal, the service tab's list and OnRegister dispatch use this order.
    const std::array<Parameter*, kParameterCount> Parameters;
};

}  // namespace quorvex
