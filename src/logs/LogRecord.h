#pragma once
// One recorded measurement: the 4 bytes the logger sends for it and the
// decoded form the results store keeps.
//
// The record's 32 bits (first byte most significant) use the same layout as a
// temperature/humidity register pair: sign in bit 31, temperature tenths as
// packed decimal in bits 17–30, humidity tenths in bits 4–16, bits 0–3 unused.
// The pair codecs therefore decode records as they are.
#include <QString>
#include <cstdint>

#include "params/DateTimeCodec.h"

namespace quorvex {

constexpr int kLogRecordSize = 4;

struct LogRecord {
    float temperature = 0.0f;  // degrees Celsius
    float humidity = 0.0f;     // percent
    Moment time = 0.0;         // moment of the record
};

// The record's 32-bit value from its 4 bytes as received.
inline std::uint32_t LogRecordValue(const std::uint8_t* bytes) {
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

struct DecodedRecord {
    float temperature = 0.0f;
    float humidity = 0.0f;
};

// A packed-decimal field with a digit A–F decodes to 0; the other field of
// the record is not affected. No clamping to a plausible range.
DecodedRecord DecodeLogRecord(std::uint32_t value);

// The texts of the results list: one decimal with the current on-screen
// separator (or the one given) and the unit directly behind ("-12.5°C", "45.6%").
QString LogTemperatureText(float temperature);
QString LogHumidityText(float humidity);
QString LogTemperatureText(float temperature, QChar separator);
QString LogHumidityText(float humidity, QChar separator);

}  // namespace quorvex
