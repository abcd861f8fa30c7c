#pragma once
// The fault plan: misbehaviour the simulated logger shows on chosen requests, so that the
// transmission engine's error paths can be driven on purpose.
//
// A fault is written as a kind followed by key=value settings, for example
//   silent at=3              no reply to request 3
//   silent at=5 count=all    no reply to request 5 and to every later one
//   badcrc at=2 count=2      replies 2 and 3 carry a broken CRC
//   delay at=1 ms=2000       reply 1 comes after 2 s
//   exception at=7 code=4 register=144   the 7th log read is refused with exception code 4
//   pause at=2 ms=500        reply 2 stops for 500 ms half-way through
//   trailing at=1 bytes=6    reply 1 is followed by 6 bytes of noise
//   cut at=2 register=144 bytes=100      the 2nd log reply carries 100 data bytes, claims all
//   ignore register=20 at=1  the first write to register 20 is echoed but not kept
// Request numbers count from 1 over the requests the logger handled; with register=R only the
// requests whose start register is R are counted for that fault.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::sim {

enum class FaultKind {
    Silent,     // no reply at all
    BadCrc,     // the normal reply with its last CRC byte changed
    Short,      // only the first 4 bytes of the reply (with its own CRC: still too short)
    Long,       // a frame of `bytes` (default 300) bytes, more than a reply may hold
    Garbage,    // `bytes` (default 12) bytes of noise instead of the reply
    Address,    // the normal reply sent from slave `address` (default 1), CRC recomputed
    Exception,  // an exception reply with exception `code` (default 4)
    Cut,        // a read reply keeping `bytes` (default half) of its data but its byte count, CRC recomputed
    Delay,      // the normal reply after `ms` (default 1000) milliseconds; combines with the others
    Function,   // the normal reply carrying function `code` (default 0x07) instead, CRC recomputed
    Trailing,   // the normal reply followed by `bytes` (default 6) bytes of noise
    Ignore,     // a write echoed as if taken, the registers left as they were
    Pause,      // the reply stops for `ms` (default 500) after half its bytes; combines with the
                // others (served by the pseudo-terminal front; the HID front sends it whole)
};

struct Fault {
    FaultKind kind = FaultKind::Silent;
    std::uint32_t at = 1;              // first request number it applies to
    std::uint32_t count = 1;           // number of requests; 0 = every request from `at` on
    std::optional<std::uint16_t> reg;  // count only requests starting at this register
    int value = -1;                    // ms, code, address or bytes; -1 = the kind's default
    std::uint32_t seen = 0;            // matching requests seen so far

    bool operator==(const Fault& o) const {
        return kind == o.kind && at == o.at && count == o.count && reg == o.reg && value == o.value;
    }
};

// Parses one fault line; on failure returns nullopt and puts the reason into `error`.
std::optional<Fault> ParseFault(const std::string& text, std::string* error);
std::string DescribeFault(const Fault& fault);

class FaultPlan {
public:
    void Add(const Fault& fault) { faults_.push_back(fault); }
    bool Empty() const { return faults_.empty(); }
    const std::vector<Fault>& Faults() const { return faults_; }

    // Advances the counters for one handled request and returns the faults that apply to it.
    std::vector<Fault> Next(std::uint32_t requestNumber, std::optional<std::uint16_t> startRegister);

private:
    std::vector<Fault> faults_;
};

// When the bytes of a reply go out.
struct FaultTiming {
    int delayMs = 0;             // extra wait before the first byte
    std::size_t pauseAfter = 0;  // bytes sent before a pause; 0 = no pause
    int pauseMs = 0;
};

// Applies the faults chosen for one request to the reply the logger would have sent.
// `reply` may be empty (the logger had nothing to say). A cut applies to function 3 replies
// only; others pass unchanged.
FaultTiming ApplyFaults(const std::vector<Fault>& faults, std::vector<std::uint8_t>& reply, std::uint8_t requestAddress,
                        std::uint8_t requestFunction);

}  // namespace quorvex::sim
