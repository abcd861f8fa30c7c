#pragma once
// Small helpers shared by the simulator tests: requests built by the program's own frame
// builders, and the reply checks the program applies.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Scenario.h"
#include "modbus/FrameRules.h"
#include "modbus/Request.h"

namespace quorvex::test {

inline Request ReadOf(std::uint16_t start, std::uint16_t count, std::uint8_t address = kLoggerAddress) {
    Request r;
    r.Address = address;
    r.Function = FN_READ_HOLDING;
    r.StartRegister = start;
    r.Count = count;
    return r;
}

inline Request WriteOf(std::uint16_t reg, std::uint16_t value) {
    Request r;
    r.Function = FN_WRITE_SINGLE;
    r.StartRegister = reg;
    r.Value = value;
    return r;
}

inline Request WriteManyOf(std::uint16_t start, std::vector<std::uint16_t> values) {
    Request r;
    r.Function = FN_WRITE_MULTIPLE;
    r.StartRegister = start;
    r.Count = static_cast<std::uint16_t>(values.size());
    r.Values.assign(values.begin(), values.end());
    return r;
}

inline Request ResetOf() {
    Request r;
    r.Function = FN_RESET_COMMAND;
    return r;
}

inline std::vector<std::uint8_t> Frame(const Request& r) { return EncodeRequest(r).bytes; }

inline ReplyCheck Check(const Request& r, const std::vector<std::uint8_t>& reply) {
    return CheckReply(r, reply.data(), reply.size());
}

inline std::uint16_t WordAt(const std::vector<std::uint8_t>& reply, std::size_t index) {
    return static_cast<std::uint16_t>(reply[3 + 2 * index] << 8 | reply[4 + 2 * index]);
}

// Packed decimal tenths as the program reads them: hex digits read as decimal; -1 when not BCD.
inline double Tenths(unsigned field) {
    int value = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const unsigned d = (field >> shift) & 0xF;
        if (d > 9) return -1;
        value = value * 10 + static_cast<int>(d);
    }
    return value / 10.0;
}

inline double RecordTemperature(std::uint32_t v) {
    const double t = Tenths((v >> 17) & 0x3FFF);
    return (v >> 31) ? -t : t;
}

inline double RecordHumidity(std::uint32_t v) { return Tenths((v >> 4) & 0x1FFF); }

inline sim::Scenario ScenarioText(const std::string& text) {
    std::string error;
    auto s = sim::Scenario::Parse(text, &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

}  // namespace quorvex::test
