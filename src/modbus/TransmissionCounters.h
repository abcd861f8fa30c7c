#pragma once
// The seven transmission counters of the engine and the lines of the service tab's table.
#include <cstdint>

#include <QStringList>

namespace quorvex {

struct TransmissionCounters {
    std::uint32_t NoResponseCount = 0;      // a request was given up
    std::uint32_t FrameTooShortCount = 0;   // a reply ended with fewer than 5 bytes
    std::uint32_t FrameTooLongCount = 0;    // a reply went past 255 bytes
    std::uint32_t CrcErrorCount = 0;        // a reply's CRC was bad
    std::uint32_t AddressErrorCount = 0;    // a reply came from another address
    std::uint32_t CommandErrorCount = 0;    // a reply carried another function code
    std::uint32_t FramesReceivedCount = 0;  // a reply was accepted

    bool operator==(const TransmissionCounters&) const = default;
};

// Seven lines "label=value" in the order above; the labels are not translated.
QStringList CounterTableLines(const TransmissionCounters& c);

}  // namespace quorvex
