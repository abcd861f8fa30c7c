#include "logs/LogRecord.h"

#include "params/Codecs.h"

namespace quorvex {

DecodedRecord DecodeLogRecord(std::uint32_t value) { return {DecodeTemperature(value), DecodeHumidity(value)}; }

QString LogTemperatureText(float temperature) { return NumberText(temperature) + QStringLiteral("°C"); }

QString LogHumidityText(float humidity) { return NumberText(humidity) + QStringLiteral("%"); }

QString LogTemperatureText(float temperature, QChar separator) {
    return NumberText(temperature, separator) + QStringLiteral("°C");
}

QString LogHumidityText(float humidity, QChar separator) {
    return NumberText(humidity, separator) + QStringLiteral("%");
}

}  // namespace quorvex
