#include "cli/ParameterReport.h"

#include <QJsonValue>

#include <vector>

#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"

namespace quorvex {

namespace {

enum class Kind { Integer, Flag, Number, Date, Time, Seconds, Percent, Text };

struct Field {
    const char* key;
    const char* name;
    Kind kind;
    const Parameter* parameter;
};

std::vector<Field> Fields(const ParameterModel& m)
{
    // Keys are part of the program's interface: scripts read them. Never rename one.
    return {
        {"start_mode", "Start mode", Kind::Integer, &m.Param<CStartLog>()},
        {"recording", "Recording", Kind::Flag, &m.Param<CLogging>()},
        {"overwrite", "Overwrite when full", Kind::Flag, &m.Param<CWrapAround>()},
        {"status_word", "Status word", Kind::Integer, &m.Param<CStatusWord>()},
        {"current_date", "Current date", Kind::Date, &m.Param<CCurrentDate>()},
        {"current_time", "Current time", Kind::Time, &m.Param<CCurrentTime>()},
        {"log_start_date", "Logging start date", Kind::Date, &m.Param<CLogStartDate>()},
        {"log_start_time", "Logging start time", Kind::Time, &m.Param<CLogStartTime>()},
        {"save_interval_s", "Save interval", Kind::Seconds, &m.Param<CWriteInterval>()},
        {"records_saved", "Records saved", Kind::Integer, &m.Param<CWriteIndex>()},
        {"next_record", "Next record to read", Kind::Integer, &m.Param<CReadIndex>()},
        {"temperature", "Current temperature", Kind::Number, &m.Param<CCurrentTemp>()},
        {"temperature_high", "Temperature upper threshold", Kind::Number, &m.Param<CHighTemp>()},
        {"temperature_low", "Temperature lower threshold", Kind::Number, &m.Param<CLowTemp>()},
        {"humidity", "Current humidity", Kind::Number, &m.Param<CCurrentHum>()},
        {"humidity_high", "Humidity upper threshold", Kind::Number, &m.Param<CHighHum>()},
        {"humidity_low", "Humidity lower threshold", Kind::Number, &m.Param<CLowHum>()},
        {"device_type", "Device type", Kind::Text, &m.Param<CDeviceType>()},
        {"firmware", "Firmware version", Kind::Text, &m.Param<CVersionFirmware>()},
        {"log_counter", "Logging counter", Kind::Integer, &m.Param<CLogCounter>()},
        {"battery_percent", "Battery", Kind::Percent, &m.Param<CBatteryStatus>()},
        {"production_date", "Production date", Kind::Date, &m.Param<CProductionDate>()},
        {"name", "Logger name", Kind::Text, &m.Param<CLoggerName>()},
        {"device_type_stored", "Stored device type", Kind::Text, &m.Param<CDeviceTypeEprom>()},
        {"serial_number", "Serial number", Kind::Text, &m.Param<CSerialNumber>()},
        {"temperature_correction", "Temperature correction", Kind::Number, &m.Param<CCorrectionTemp>()},
        {"humidity_correction", "Humidity correction", Kind::Number, &m.Param<CCorrectionHum>()},
    };
}

// The text the window shows; empty for what the logger's type does not measure.
QString Text(const Field& f)
{
    return f.parameter->Available ? f.parameter->GetText() : QString();
}

QJsonValue Value(const Field& f)
{
    const QString text = Text(f);
    if (text.isEmpty()) return QJsonValue::Null;
    switch (f.kind) {
    case Kind::Integer:
    case Kind::Percent: {
        bool ok = false;
        const qint64 n = QString(text).remove(u'%').trimmed().toLongLong(&ok);
        return ok ? QJsonValue(n) : QJsonValue::Null;
    }
    case Kind::Flag: return f.parameter->GetValue() == 1;
    case Kind::Seconds: return f.parameter->GetValue();
    case Kind::Number: {
        float v = 0;
        // One decimal: the float's own digits would show as 21.299999.
        return ParseNumber(text, v) ? QJsonValue(QString::number(v, 'f', 1).toDouble()) : QJsonValue::Null;
    }
    case Kind::Date:
    case Kind::Time: {
        const auto moment = ParseDateTimeText(text);
        if (!moment) return QJsonValue::Null;
        return f.kind == Kind::Date ? moment->date().toString(Qt::ISODate) : moment->time().toString(Qt::ISODate);
    }
    case Kind::Text: return text;
    }
    return QJsonValue::Null;
}

}  // namespace

QStringList ParameterLines(const ParameterModel& params)
{
    QStringList lines;
    for (const Field& f : Fields(params)) lines << QString::fromLatin1(f.name) + QStringLiteral(": ") + Text(f);
    return lines;
}

QJsonObject ParameterJson(const ParameterModel& params)
{
    QJsonObject object;
    for (const Field& f : Fields(params)) object.insert(QLatin1String(f.key), Value(f));
    return object;
}

}  // namespace quorvex
