#pragma once
#include <cstddef>
#include <cstdint>

namespace quorvex {

// CRC-16/MODBUS: start 0xFFFF, reflected polynomial 0xA001, no final XOR.
// Run over a whole received frame (CRC bytes included) it gives 0 when the frame is intact.
std::uint16_t Crc16(const std::uint8_t* data, std::size_t length);

// Appends the CRC of buf[0..length) low byte first; returns the new length.
std::size_t AppendCrc(std::uint8_t* buf, std::size_t length);

}  // namespace quorvex
