#include "modbus/FrameRules.h"

#include <algorithm>

#include "modbus/Crc16.h"

namespace quorvex {

namespace {
std::size_t PutHeader(const Request& r, std::uint8_t function, std::uint16_t second, std::uint8_t* buf) {
    buf[0] = r.Address;
    buf[1] = function;
    buf[2] = static_cast<std::uint8_t>(r.StartRegister >> 8);
    buf[3] = static_cast<std::uint8_t>(r.StartRegister & 0xFF);
    buf[4] = static_cast<std::uint8_t>(second >> 8);
    buf[5] = static_cast<std::uint8_t>(second & 0xFF);
    return 6;
}

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
}  // namespace

std::size_t BuildReadRequest(const Request& r, std::uint8_t* buf) {
    return PutHeader(r, FN_READ_HOLDING, r.Count, buf);
}

std::size_t BuildWriteSingleRequest(const Request& r, std::uint8_t* buf) {
    return PutHeader(r, FN_WRITE_SINGLE, r.Value, buf);
}

std::size_t BuildWriteMultipleRequest(const Request& r, std::uint8_t* buf) {
    // 7 + 2 × 123 bytes and the CRC fill the frame buffer; a longer list is refused here,
    // whoever the caller is, rather than written past it.
    if (r.Count > kMaxWriteRegisters || r.Values.size() != r.Count) return 0;
    std::size_t n = PutHeader(r, FN_WRITE_MULTIPLE, r.Count, buf);
    buf[n++] = static_cast<std::uint8_t>(2 * r.Count);
    for (std::uint16_t v : r.Values) {
        buf[n++] = static_cast<std::uint8_t>(v >> 8);
        buf[n++] = static_cast<std::uint8_t>(v & 0xFF);
    }
    return n;
}

std::size_t BuildResetRequest(const Request& r, std::uint8_t* buf) {
    buf[0] = r.Address;
    buf[1] = FN_RESET_COMMAND;
    buf[2] = buf[3] = buf[4] = buf[5] = 0;
    return 6;
}

BuiltRequest EncodeRequest(const Request& r) {
    FrameBuffer buf{};
    std::size_t n = 0;
    switch (r.Function) {
    case FN_READ_HOLDING:
        n = BuildReadRequest(r, buf.data());
        break;
    case FN_WRITE_SINGLE:
        n = BuildWriteSingleRequest(r, buf.data());
        break;
    case FN_RESET_COMMAND:
        n = BuildResetRequest(r, buf.data());
        break;
    case FN_WRITE_MULTIPLE:
        n = BuildWriteMultipleRequest(r, buf.data());
        if (n == 0) return {BuildError::ValuesMismatch, {}};
        break;
    default:
        return {BuildError::UnknownFunction, {}};
    }
    n = AppendCrc(buf.data(), n);
    return {BuildError::None, std::vector<std::uint8_t>(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n))};
}

ReplyCheck CheckReply(const Request& request, const std::uint8_t* frame, std::size_t length) {
    if (length < 5) return ReplyCheck::TooShort;
    if (length > kMaxFrameLength) return ReplyCheck::TooLong;
    if (Crc16(frame, length) != 0) return ReplyCheck::BadCrc;
    if (request.Address != kLoggerAddress && frame[0] != request.Address) return ReplyCheck::WrongAddress;
    if (frame[1] != request.Function) {
        if (request.Function == FN_READ_HOLDING && request.StartRegister == kLogRegister)
            return ReplyCheck::RefusedLogRead;
        const bool write = request.Function == FN_WRITE_SINGLE || request.Function == FN_WRITE_MULTIPLE;
        if (write && length == 5 && frame[1] == (request.Function | 0x80)) return ReplyCheck::RefusedWrite;
        return ReplyCheck::WrongFunction;
    }
    return ReplyCheck::Accepted;
}

std::size_t ExpectedReplyLength(const Request& request, const std::uint8_t* frame, std::size_t length) {
    if (length < 2 || (request.Address != kLoggerAddress && frame[0] != request.Address)) return 0;
    if (frame[1] == (request.Function | 0x80)) return 5;
    if (frame[1] != request.Function) return 0;
    switch (request.Function) {
    case FN_READ_HOLDING:
        if (length < 3 || (request.Count != 0 && frame[2] != 2 * request.Count)) return 0;
        return 5 + std::size_t{frame[2]};
    case FN_WRITE_SINGLE:
    case FN_WRITE_MULTIPLE:
    case FN_RESET_COMMAND:
        return 8;
    default:
        return 0;
    }
}

bool ReplyComplete(const Request& request, const std::uint8_t* frame, std::size_t length) {
    // Longer than any reply may be, a frame is refused whatever its byte count announced.
    if (length < 5 || length > kMaxFrameLength || length != ExpectedReplyLength(request, frame, length) ||
        Crc16(frame, length) != 0)
        return false;
    if (frame[1] != request.Function || request.Function == FN_READ_HOLDING)
        return true;  // an exception reply or a read: nothing echoed
    std::uint8_t echo[kFrameBufferSize];
    std::size_t n = 0;
    switch (request.Function) {
    case FN_WRITE_SINGLE:
        n = BuildWriteSingleRequest(request, echo);
        break;
    case FN_RESET_COMMAND:
        n = BuildResetRequest(request, echo);
        break;
    case FN_WRITE_MULTIPLE:
        n = PutHeader(request, FN_WRITE_MULTIPLE, request.Count, echo);
        break;
    default:
        return false;
    }
    // The address is the logger's own, which may differ from a request to any slave.
    return n == 6 && std::equal(echo + 1, echo + 6, frame + 1);
}

void ApplyReply(Request& r, const std::uint8_t* frame, std::size_t length) {
    switch (r.Function) {
    case FN_READ_HOLDING: {
        // The byte count is the logger's word; never let it reach past the bytes received,
        // nor read it from a frame too short to hold one.
        const std::size_t present = length >= 5 ? length - 5 : 0;
        const std::size_t announced = length >= 3 ? frame[2] : 0;
        r.ByteCount = static_cast<std::uint8_t>(std::min(announced, present));
        r.CountMismatch = length < 5 || announced != present;
        r.Data = frame + 3;
        break;
    }
    case FN_WRITE_SINGLE:
        // Address, function, two words and the CRC: a shorter echo has no value to take.
        if (length >= 8) {
            r.StartRegister = Word(frame + 2);
            r.Value = Word(frame + 4);
        }
        break;
    case FN_WRITE_MULTIPLE:
        if (length >= 8) {
            r.StartRegister = Word(frame + 2);
            r.Count = Word(frame + 4);
        }
        break;
    default:
        break;
    }
}

}  // namespace quorvex
