#pragma once
// Byte layouts of the requests the program sends and the checks a reply must pass.
// Pure functions: the protocol state machine calls them, the simulator and tests too.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "modbus/Request.h"

namespace quorvex {

// Request builders: write the bytes before the CRC into buf and return their count.
std::size_t BuildReadRequest(const Request& r, std::uint8_t* buf);         // function 3, 6 bytes
std::size_t BuildWriteSingleRequest(const Request& r, std::uint8_t* buf);  // function 6, 6 bytes
// Function 16: 0 (no frame) when Count is above kMaxWriteRegisters or Values does not hold
// exactly Count entries; buf must hold kFrameBufferSize bytes.
constexpr std::uint16_t kMaxWriteRegisters = 123;
std::size_t BuildWriteMultipleRequest(const Request& r, std::uint8_t* buf);
std::size_t BuildResetRequest(const Request& r, std::uint8_t* buf);  // function 65, 6 bytes

enum class BuildError { None, UnknownFunction, ValuesMismatch };

// The whole request with its CRC, or the reason no frame can be built.
struct BuiltRequest {
    BuildError error = BuildError::None;
    std::vector<std::uint8_t> bytes;
};
BuiltRequest EncodeRequest(const Request& r);

// Outcome of the reply checks, in the order they are applied; the first failing one decides.
enum class ReplyCheck {
    TooShort,  // fewer than 5 bytes
    TooLong,   // more than 255 bytes
    BadCrc,
    WrongAddress,
    RefusedLogRead,  // another function code in answer to a read of the log register
    RefusedWrite,    // an exception reply (5 bytes) to a function 6 or 16 write
    WrongFunction,   // any other function mismatch, exception replies to reads included
    Accepted,
};
ReplyCheck CheckReply(const Request& request, const std::uint8_t* frame, std::size_t length);

// The length a reply to `request` has, as its function tells from the bytes held so far:
// function 3 carries 5 + its byte count, functions 6 and 16 carry 8, function 65 echoes the
// request (8), an exception reply carries 5. 0 while the bytes do not tell yet, and for a
// reply from an address the checks would refuse, with a function code that neither the request
// nor an exception to it carries, or with a byte count other than a read of Count registers
// asks for (a log read, Count 0, takes any).
std::size_t ExpectedReplyLength(const Request& request, const std::uint8_t* frame, std::size_t length);

// The reply holds exactly its expected length, its CRC is right and an echo repeats the
// request: it is complete and can be taken without waiting for the line to fall silent. A
// reply that answers some other request (one still on its way from an earlier session) is
// not taken early: run together with the reply that follows it, it fails its CRC.
bool ReplyComplete(const Request& request, const std::uint8_t* frame, std::size_t length);

// Takes what an accepted reply hands over into the record: for function 3 ByteCount and
// Data (pointing into frame), for 6 the echoed register and value, for 16 the echoed
// register and count (only from a whole 8-byte echo). Function 65 hands over nothing.
// A byte count larger than the data actually received is cut to what was received;
// CountMismatch tells whether the reply's byte count disagreed with its length.
void ApplyReply(Request& r, const std::uint8_t* frame, std::size_t length);

}  // namespace quorvex
