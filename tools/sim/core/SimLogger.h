#pragma once
// The simulated logger: a Modbus RTU slave with the logger's register map, its command
// registers, its log of 4-byte records behind register 144, its clock and a fault plan.
//
// Not thread-safe: one SimLogger is used from one thread at a time (the pseudo-terminal front
// runs it on its only thread; an in-process front must serialise its calls).
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/FaultPlan.h"
#include "core/Scenario.h"
#include "core/SimClock.h"

namespace quorvex::sim {

struct SimReply {
    std::vector<std::uint8_t> bytes;  // empty = no reply
    int delayMs = 0;                  // wait this long before the first byte
    std::size_t pauseAfter = 0;       // stop after this many bytes (0: no stop) …
    int pauseMs = 0;                  // … for this long
};

// Exception codes the logger answers with.
constexpr std::uint8_t kIllegalFunction = 1;
constexpr std::uint8_t kIllegalAddress = 2;
constexpr std::uint8_t kIllegalValue = 3;

// Most records in one log reply: 62 × 4 data bytes keep the frame at 253 bytes.
constexpr std::size_t kRecordsPerReply = 62;
constexpr std::size_t kRegisterCount = 512;

class SimLogger {
public:
    explicit SimLogger(const Scenario& scenario = Scenario{}, SimClock::Monotonic monotonic = SteadyMilliseconds);

    // Handles one complete request frame (CRC included) and returns what the logger answers.
    // A frame with a bad CRC or fewer than 4 bytes is ignored like on a real line: no reply,
    // and it does not count as a handled request.
    SimReply Handle(const std::vector<std::uint8_t>& request);

    // Inspection, mainly for tests and the front's log. Register() brings the live registers
    // (clock, current reading, counters) up to date first.
    std::uint16_t Register(std::uint16_t reg);
    const std::deque<std::uint32_t>& Records() const { return records_; }
    std::uint32_t RequestCount() const { return requestCount_; }
    std::uint32_t ResetCommandCount() const { return resetCount_; }
    const std::string& LastNote() const { return lastNote_; }  // one line on the last request
    FaultPlan& Faults() { return faults_; }
    SimClock& Clock() { return clock_; }

private:
    void Tick();
    void Refresh();
    void BeginRecording(std::int64_t wallMs);
    void AccrueUntil(std::int64_t wallMs);
    std::uint32_t RecordAt(std::int64_t wallMs) const;
    std::uint32_t IntervalSeconds() const;
    std::optional<std::int64_t> StartMoment() const;
    void PutMoment(std::array<std::uint16_t, kRegisterCount>& regs, int first, std::int64_t wallMs) const;

    std::vector<std::uint8_t> Read(const std::vector<std::uint8_t>& rq, std::uint16_t start, std::uint16_t count);
    std::vector<std::uint8_t> ReadLog(std::uint8_t address);
    std::vector<std::uint8_t> Write(const std::vector<std::uint8_t>& rq, std::uint16_t start,
                                    const std::vector<std::uint16_t>& values);

    Scenario scenario_;
    Climate climate_;
    SimClock clock_;
    std::array<std::uint16_t, kRegisterCount> regs_{};
    std::deque<std::uint32_t> records_;
    std::int64_t nextRecordMs_ = 0;
    std::int64_t lastTickMs_ = 0;
    std::uint32_t logCounter_ = 0;
    std::uint32_t requestCount_ = 0;
    std::uint32_t resetCount_ = 0;
    FaultPlan faults_;
    std::string lastNote_;
};

}  // namespace quorvex::sim
