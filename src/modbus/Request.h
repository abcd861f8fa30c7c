#pragma once
// The command record: one Modbus request from the moment it is handed to the
// transmission thread until its reply has been handed over. Copied by value
// into the queue, the history, the protocol's working copy and ResponseRecord.
#include <array>
#include <cstdint>
#include <deque>

namespace quorvex {

constexpr std::int32_t TAG_POLL = 0x3333;  // the automatic poll
constexpr std::int32_t TAG_LOG = 0x4444;   // reads of the log register
// A read that confirms a parameter just written: its reply is compared with what was sent.
constexpr std::int32_t TAG_READ_BACK = 0x5555;

constexpr std::uint8_t kLoggerAddress = 0xFF;
constexpr std::uint16_t kLogRegister = 144;

constexpr std::uint8_t FN_READ_HOLDING = 3;
constexpr std::uint8_t FN_WRITE_SINGLE = 6;
constexpr std::uint8_t FN_WRITE_MULTIPLE = 16;
constexpr std::uint8_t FN_RESET_COMMAND = 0x41;

// Progress codes kept in the command history.
enum RequestStatus : std::uint8_t {
    STATUS_NEW = 0,
    STATUS_SENT = 1,
    STATUS_SENT_AGAIN = 2,
    STATUS_NO_REPLY = 3,
    STATUS_DONE = 4,
    STATUS_REFUSED = 5,  // a write the logger answered with an exception
    STATUS_POLL_DROPPED = 10,
};

struct Request {
    std::int32_t Tag = 0;
    std::int32_t SeqNo = 0;
    std::uint8_t Address = kLoggerAddress;
    std::uint8_t Function = 0;
    std::uint16_t StartRegister = 0;
    std::uint16_t Count = 0;
    std::uint16_t Value = 0;
    std::uint16_t Reserved = 0;  // carried along, never read
    std::uint8_t Attempts = 0;
    const std::uint8_t* Data = nullptr;  // points into the thread's FrameBuffer while a reply is handed over
    std::uint8_t ByteCount = 0;
    // After a function 3 reply: its byte count disagreed with the bytes it carried
    // (ByteCount is then the smaller of the two).
    bool CountMismatch = false;
    std::uint8_t Status = STATUS_NEW;
    std::deque<std::uint16_t> Values;
    // The requester's own mark, carried unchanged into ResponseRecord: the log download
    // numbers its chains of reads with it to know a late reply of an earlier chain.
    std::uint32_t Chain = 0;
};

// One frame in flight: the outgoing request, then from the first received byte on the reply.
constexpr std::size_t kFrameBufferSize = 256;
constexpr std::size_t kMaxFrameLength = 255;
using FrameBuffer = std::array<std::uint8_t, kFrameBufferSize>;

}  // namespace quorvex
