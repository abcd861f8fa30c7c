#include "modbus/Crc16.h"

#include <array>

namespace quorvex {

namespace {
constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u) : static_cast<std::uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}
constexpr auto kTable = MakeTable();
}  // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ data[i]) & 0xFFu]);
    return crc;
}

std::size_t AppendCrc(std::uint8_t* buf, std::size_t length) {
    const std::uint16_t crc = Crc16(buf, length);
    buf[length] = static_cast<std::uint8_t>(crc & 0xFF);
    buf[length + 1] = static_cast<std::uint8_t>(crc >> 8);
    return length + 2;
}

}  // namespace quorvex
