#include "logs/LogRecord.h"

#include "params/Codecs.h"

namespace quorvex {

DecodedRecord DecodeLogRecord(std::uint32_t value) {
    return {DecodeTemperature(value), DecodeHumidity(value)};
}

QString LogTemperatureText(float temperature) { return NumberText(temperature) + QStringLiteral("°C"); }

QString LogHumidityText(float humidity) { return NumberText(humidity) + QStringLiteral("%"); }

}  // namespace quorvex
