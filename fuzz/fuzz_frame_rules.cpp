// Reply framing: for a request and reply bytes both taken from the input, fed one byte at a
// time as the receiver gets them, checks what the frame rules say about every prefix.
//
// Input: address, function, start register (2), count (2), value (2), mode, then the payload.
// Mode 0: the payload is the reply; 3: the same with its last two bytes made a right CRC;
// 1: the simulated logger's own answer to the request; 2: that answer edited by the payload
// in triples (op, position, byte): cut, overwrite, append, or make the CRC right.
//
// The expected length, once the bytes tell it, never changes as more arrive; a reply is
// complete at one length at most, that length, with nothing the checks would call a broken
// frame, and a complete echo repeats the request; what a reply hands over never reaches past
// the bytes received. The logger's own replies are complete exactly at their end and hand
// over what the request asked for. Any violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/SimLogger.h"
#include "modbus/Crc16.h"
#include "modbus/FrameRules.h"

using namespace quorvex;

namespace {

void Check(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_frame_rules: check on line %d failed\n", line);
    std::abort();
}
#define Require(condition) Check(condition, __LINE__)

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

void FixCrc(std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2) return;
    bytes.resize(bytes.size() - 2);
    const std::size_t n = bytes.size();
    bytes.resize(n + 2);
    AppendCrc(bytes.data(), n);
}

// The simulated logger's answer; a fresh logger with a fixed clock for every input, so that
// a run can be repeated byte for byte.
std::vector<std::uint8_t> LoggerReply(const std::vector<std::uint8_t>& request) {
    sim::Scenario scenario;
    scenario.clock = "2015-03-30 12:00:00";
    scenario.recordCount = 70;  // more than one log reply holds
    sim::SimLogger logger(scenario, [] { return std::int64_t{0}; });
    return logger.Handle(request).bytes;
}

void ApplyAndCheck(const Request& request, const std::uint8_t* frame, std::size_t length) {
    Request r = request;
    ApplyReply(r, frame, length);
    Require(r.Tag == request.Tag && r.Address == request.Address && r.Function == request.Function &&
            r.Chain == request.Chain && r.Values == request.Values);
    switch (request.Function) {
    case FN_READ_HOLDING: {
        // Data ends before the CRC, however large the byte count the reply claims.
        const std::size_t present = length >= 5 ? length - 5 : 0;
        Require(r.ByteCount <= present);
        Require(r.ByteCount == 0 || r.Data == frame + 3);
        Require(r.CountMismatch == !(length >= 5 && frame[2] == present));
        break;
    }
    case FN_WRITE_SINGLE:
    case FN_WRITE_MULTIPLE: {
        const std::uint16_t second = request.Function == FN_WRITE_SINGLE ? r.Value : r.Count;
        const std::uint16_t before = request.Function == FN_WRITE_SINGLE ? request.Value : request.Count;
        if (length >= 8)
            Require(r.StartRegister == Word(frame + 2) && second == Word(frame + 4));
        else
            Require(r.StartRegister == request.StartRegister && second == before);
        break;
    }
    default:
        Require(r.StartRegister == request.StartRegister && r.Count == request.Count);
        break;
    }
}

// Walks the reply as the receiver does and returns the length at which it was complete (0: never).
std::size_t CheckPrefixes(const Request& request, const std::vector<std::uint8_t>& reply) {
    // An echo repeats the function, the register and the value or count; a reset, zeros.
    std::uint8_t echo[5] = {request.Function, 0, 0, 0, 0};
    if (request.Function != FN_RESET_COMMAND) {
        const std::uint16_t second = request.Function == FN_WRITE_SINGLE ? request.Value : request.Count;
        const std::uint8_t rest[4] = {static_cast<std::uint8_t>(request.StartRegister >> 8),
                                      static_cast<std::uint8_t>(request.StartRegister),
                                      static_cast<std::uint8_t>(second >> 8), static_cast<std::uint8_t>(second)};
        std::memcpy(echo + 1, rest, 4);
    }
    std::size_t known = 0, completeAt = 0;
    for (std::size_t k = 0; k <= reply.size(); ++k) {
        // The bytes received so far in a block of exactly their size, so that a look at a byte
        // not yet received is caught.
        auto* frame = static_cast<std::uint8_t*>(std::malloc(k ? k : 1));
        if (k) std::memcpy(frame, reply.data(), k);
        const std::size_t expected = ExpectedReplyLength(request, frame, k);
        if (known != 0)
            Require(expected == known);
        else if (k > 3)
            Require(expected == 0);  // from the third byte on, nothing more is needed to tell
        known = expected;
        const ReplyCheck check = CheckReply(request, frame, k);
        if (ReplyComplete(request, frame, k)) {
            Require(completeAt == 0);
            completeAt = k;
            Require(k >= 5 && expected == k);
            Require(check != ReplyCheck::TooShort && check != ReplyCheck::TooLong && check != ReplyCheck::BadCrc &&
                    check != ReplyCheck::WrongAddress);
            Require((check == ReplyCheck::Accepted) == (frame[1] == request.Function));
            if (check == ReplyCheck::Accepted && request.Function != FN_READ_HOLDING)
                Require(std::memcmp(echo, frame + 1, 5) == 0);
        }
        if (check == ReplyCheck::Accepted) Require(frame[1] == request.Function && Crc16(frame, k) == 0);
        ApplyAndCheck(request, frame, k);
        std::free(frame);
    }
    return completeAt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Prefixes past the longest frame tell nothing new.
    if (size < 9 || size > 9 + 2 * kFrameBufferSize) return 0;
    Request request;
    request.Tag = 0x1234;
    request.Chain = 7;
    request.Address = data[0];
    request.Function = data[1];
    request.StartRegister = Word(data + 2);
    request.Count = Word(data + 4);
    request.Value = Word(data + 6);
    if (request.Function == FN_WRITE_MULTIPLE && request.Count <= kMaxWriteRegisters)
        for (std::uint16_t i = 0; i < request.Count; ++i)
            request.Values.push_back(static_cast<std::uint16_t>(request.Value + i));
    const int mode = data[8] & 3;
    const std::uint8_t* payload = data + 9;
    const std::size_t payloadSize = size - 9;

    std::vector<std::uint8_t> reply;
    if (mode == 0 || mode == 3) {
        reply.assign(payload, payload + payloadSize);
        if (mode == 3) FixCrc(reply);
        CheckPrefixes(request, reply);
        return 0;
    }
    const BuiltRequest built = EncodeRequest(request);
    if (built.error != BuildError::None) return 0;
    reply = LoggerReply(built.bytes);
    if (mode == 1) {
        // The logger's own answer: whole exactly at its end, never before, and taken.
        Require(!reply.empty());
        Require(CheckPrefixes(request, reply) == reply.size());
        const ReplyCheck check = CheckReply(request, reply.data(), reply.size());
        if (check != ReplyCheck::Accepted) {
            Require(reply.size() == 5 && reply[1] == (request.Function | 0x80));
            return 0;
        }
        Request r = request;
        ApplyReply(r, reply.data(), reply.size());
        if (request.Function == FN_READ_HOLDING) {
            Require(!r.CountMismatch && r.ByteCount == reply.size() - 5);
            Require(request.Count == 0 || r.ByteCount == 2 * request.Count);
        } else if (request.Function != FN_RESET_COMMAND) {
            Require(r.StartRegister == request.StartRegister && r.Count == request.Count && r.Value == request.Value);
        }
        return 0;
    }
    for (std::size_t i = 0; i + 3 <= payloadSize; i += 3) {
        const std::uint8_t op = payload[i] & 3, at = payload[i + 1], byte = payload[i + 2];
        if (op == 0)
            reply.resize(std::min<std::size_t>(reply.size(), at));
        else if (op == 1 && !reply.empty())
            reply[at % reply.size()] = byte;
        else if (op == 2)
            reply.push_back(byte);
        else
            FixCrc(reply);
    }
    CheckPrefixes(request, reply);
    return 0;
}
