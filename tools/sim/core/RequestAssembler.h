#pragma once
// Cuts the byte stream of requests into frames. The length follows from the function code
// (3, 6 and 65: 8 bytes; 16: 9 + the byte count); a candidate whose CRC fails, or a byte that
// cannot start a request, is dropped one byte at a time until a frame lines up again.
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvex::sim {

class RequestAssembler {
public:
    // Feeds one byte; returns a complete request frame (CRC included) when this byte ends one.
    std::optional<std::vector<std::uint8_t>> Push(std::uint8_t byte);
    // Forgets a partial frame, e.g. after a silence on the line.
    void Reset() { buffer_.clear(); }
    bool Pending() const { return !buffer_.empty(); }

private:
    std::vector<std::uint8_t> buffer_;
};

}  // namespace quorvex::sim
