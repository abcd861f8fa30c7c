#include "core/RequestAssembler.h"

#include "modbus/Crc16.h"
#include "modbus/Request.h"

namespace quorvex::sim {

namespace {
constexpr std::size_t kNeedMore = 0;
constexpr std::size_t kCannotStart = SIZE_MAX;

// The length of the request that the buffer starts with, as far as it can be known yet.
std::size_t ExpectedLength(const std::vector<std::uint8_t>& b) {
    if (b.size() < 2) return kNeedMore;
    switch (b[1]) {
    case FN_READ_HOLDING:
    case FN_WRITE_SINGLE:
    case FN_RESET_COMMAND:
        return 8;
    case FN_WRITE_MULTIPLE: {
        if (b.size() < 7) return kNeedMore;
        const unsigned count = static_cast<unsigned>(b[4] << 8 | b[5]);
        const unsigned byteCount = b[6];
        if (count == 0 || count > 123 || byteCount != 2 * count) return kCannotStart;
        return 9 + byteCount;
    }
    default:
        return kCannotStart;
    }
}
}  // namespace

std::optional<std::vector<std::uint8_t>> RequestAssembler::Push(std::uint8_t byte) {
    buffer_.push_back(byte);
    while (!buffer_.empty()) {
        const std::size_t need = ExpectedLength(buffer_);
        if (need == kNeedMore) return std::nullopt;
        if (need != kCannotStart) {
            if (buffer_.size() < need) return std::nullopt;
            if (Crc16(buffer_.data(), need) == 0) {
                std::vector<std::uint8_t> frame(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(need));
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(need));
                return frame;
            }
        }
        buffer_.erase(buffer_.begin());
    }
    return std::nullopt;
}

}  // namespace quorvex::sim
