#include "cli/ParameterReport.h"

#include <QJsonValue>

#include <vector>

#include "i18n/Translator.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "params/LoggerState.h"
#include "params/ParameterModel.h"

namespace quorvex {

namespace {

enum class Kind { Integer, Flag, Number, Date, Time, Seconds, Percent, Text };

// What a coded value means, as the window words it: a numbered text, empty for none.
using Meaning = QString (*)(const ParameterModel&);

struct Field {
    const char* key;
    const char* name;
    Kind kind;
    const Parameter* parameter;
    Meaning meaning = nullptr;
};

QString StartModeMeaning(const ParameterModel& m) { return StartModeCaption(m.Param<StartLog>().GetValue()); }
QString OverwriteMeaning(const ParameterModel& m) { return WrapAroundCaption(m.Param<WrapAround>().GetValue()); }
QString DeviceTypeMeaning(const ParameterModel& m) { return DeviceTypeCaption(m.Param<DeviceType>().GetText()); }
QString StoredTypeMeaning(const ParameterModel& m) { return DeviceTypeCaption(m.Param<DeviceTypeEprom>().GetText()); }

// The first line of the state panel: recording or not.
QString RecordingMeaning(const ParameterModel& m) {
    const StateTexts* state = FindLoggerState(LoggerStateCode(m));
    return state && state->first ? QString::fromUtf8(state->first) : QString();
}

// Both lines of the state panel, as the window shows them for this status word.
QString StatusMeaning(const ParameterModel& m) {
    const StateTexts* state = FindLoggerState(LoggerStateCode(m));
    if (!state) return {};
    return (state->first ? QString::fromUtf8(state->first) + u'\n' : QString()) + QString::fromUtf8(state->second);
}

std::vector<Field> Fields(const ParameterModel& m) {
    // Keys are part of the program's interface: scripts read them. Never rename one.
    return {
        {"start_mode", "Start mode", Kind::Integer, &m.Param<StartLog>(), StartModeMeaning},
        {"recording", "Recording", Kind::Flag, &m.Param<Logging>(), RecordingMeaning},
        {"overwrite", "Overwrite when full", Kind::Flag, &m.Param<WrapAround>(), OverwriteMeaning},
        {"status_word", "Status word", Kind::Integer, &m.Param<StatusWord>(), StatusMeaning},
        {"current_date", "Current date", Kind::Date, &m.Param<CurrentDate>()},
        {"current_time", "Current time", Kind::Time, &m.Param<CurrentTime>()},
        {"log_start_date", "Logging start date", Kind::Date, &m.Param<LogStartDate>()},
        {"log_start_time", "Logging start time", Kind::Time, &m.Param<LogStartTime>()},
        {"save_interval_s", "Save interval", Kind::Seconds, &m.Param<WriteInterval>()},
        {"records_saved", "Records saved", Kind::Integer, &m.Param<WriteIndex>()},
        {"next_record", "Next record to read", Kind::Integer, &m.Param<ReadIndex>()},
        {"temperature", "Current temperature", Kind::Number, &m.Param<CurrentTemp>()},
        {"temperature_high", "Temperature upper threshold", Kind::Number, &m.Param<HighTemp>()},
        {"temperature_low", "Temperature lower threshold", Kind::Number, &m.Param<LowTemp>()},
        {"humidity", "Current humidity", Kind::Number, &m.Param<CurrentHum>()},
        {"humidity_high", "Humidity upper threshold", Kind::Number, &m.Param<HighHum>()},
        {"humidity_low", "Humidity lower threshold", Kind::Number, &m.Param<LowHum>()},
        {"device_type", "Device type", Kind::Text, &m.Param<DeviceType>(), DeviceTypeMeaning},
        {"firmware", "Firmware version", Kind::Text, &m.Param<VersionFirmware>()},
        {"log_counter", "Logging counter", Kind::Integer, &m.Param<LogCounter>()},
        {"battery_percent", "Battery", Kind::Percent, &m.Param<BatteryStatus>()},
        {"production_date", "Production date", Kind::Date, &m.Param<ProductionDate>()},
        {"name", "Logger name", Kind::Text, &m.Param<LoggerName>()},
        {"device_type_stored", "Stored device type", Kind::Text, &m.Param<DeviceTypeEprom>(), StoredTypeMeaning},
        {"serial_number", "Serial number", Kind::Text, &m.Param<SerialNumber>()},
        {"temperature_correction", "Temperature correction", Kind::Number, &m.Param<CorrectionTemp>()},
        {"humidity_correction", "Humidity correction", Kind::Number, &m.Param<CorrectionHum>()},
    };
}

// The text the window shows; empty for what the logger's type does not measure.
QString Text(const Field& f) { return f.parameter->Available ? f.parameter->GetText() : QString(); }

// The meaning of the value shown; empty for none.
QString MeaningText(const Field& f, const ParameterModel& m) {
    return f.meaning && !Text(f).isEmpty() ? InEnglish(f.meaning(m)) : QString();
}

QJsonValue Value(const Field& f) {
    const QString text = Text(f);
    if (text.isEmpty()) return QJsonValue::Null;
    switch (f.kind) {
    case Kind::Integer:
    case Kind::Percent: {
        bool ok = false;
        const qint64 n = QString(text).remove(u'%').trimmed().toLongLong(&ok);
        return ok ? QJsonValue(n) : QJsonValue::Null;
    }
    case Kind::Flag:
        return f.parameter->GetValue() == 1;
    case Kind::Seconds:
        return f.parameter->GetValue();
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
    case Kind::Text:
        return text;
    }
    return QJsonValue::Null;
}

}  // namespace

QString InEnglish(const QString& numbered) {
    Translator english;
    english.SetLanguage(kLanguageEnglish);
    QStringList lines;
    for (const QString& line : numbered.split(u'\n', Qt::SkipEmptyParts)) lines << english.Tr(line).simplified();
    return lines.join(QStringLiteral("; "));
}

QString WithMeaning(const QString& value, const QString& meaning) {
    return meaning.isEmpty() ? value : value + QStringLiteral(" (") + meaning + u')';
}

QStringList ParameterLines(const ParameterModel& params) {
    QStringList lines;
    for (const Field& f : Fields(params))
        lines << QString::fromLatin1(f.name) + QStringLiteral(": ") + WithMeaning(Text(f), MeaningText(f, params));
    return lines;
}

QJsonObject ParameterJson(const ParameterModel& params) {
    QJsonObject object;
    for (const Field& f : Fields(params)) {
        object.insert(QLatin1String(f.key), Value(f));
        // Beside the typed value, under a key of its own; flags need none.
        if (f.meaning && f.kind != Kind::Flag) {
            const QString meaning = MeaningText(f, params);
            object.insert(QLatin1String(f.key) + QStringLiteral("_meaning"),
                          meaning.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(meaning));
        }
    }
    return object;
}

}  // namespace quorvex
