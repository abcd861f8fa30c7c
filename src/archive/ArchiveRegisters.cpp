#include "archive/ArchiveRegisters.h"

#include "params/Codecs.h"

namespace quorvex {

QByteArray RegistersBytes(const ParameterModel& params) {
    QByteArray out;
    out.reserve(2 * kRegisterCount);
    for (const std::uint16_t word : params.Mirror()) {
        out.append(static_cast<char>(Hi(word)));
        out.append(static_cast<char>(Lo(word)));
    }
    return out;
}

std::optional<Thresholds> ThresholdsFromRegisters(const QByteArray& registers) {
    if (registers.size() < 2) return std::nullopt;
    ParameterModel params;
    params.StoreRegisters(reinterpret_cast<const std::uint8_t*>(registers.constData()), 0,
                          static_cast<int>(qMin<qsizetype>(registers.size(), 2 * kRegisterCount)));
    Thresholds t;
    if (ParseNumber(params.Param<HighTemp>().GetText(), t.highTemp) &&
        ParseNumber(params.Param<LowTemp>().GetText(), t.lowTemp) &&
        ParseNumber(params.Param<HighHum>().GetText(), t.highHum) &&
        ParseNumber(params.Param<LowHum>().GetText(), t.lowHum))
        return t;
    return std::nullopt;
}

std::optional<ArchiveLogKey> CurrentLogKey(const ParameterModel& params) {
    const auto date = ParseDateTimeText(params.Param<LogStartDate>().GetText());
    const auto time = ParseDateTimeText(params.Param<LogStartTime>().GetText());
    const QString serial = params.Param<SerialNumber>().GetText();
    const WriteInterval& interval = params.Param<WriteInterval>();
    if (!date || !time || interval.GetText().isEmpty()) return std::nullopt;
    return ArchiveLogKey{serial, kMomentEpoch.daysTo(date->date()) * 86400 + time->time().msecsSinceStartOfDay() / 1000,
                         interval.GetValue()};
}

std::optional<int> RecordsNotArchived(Archive* archive, const ParameterModel& params) {
    bool ok = false;
    const int held = params.Param<WriteIndex>().GetText().toInt(&ok);
    if (!ok) return std::nullopt;
    if (!archive || held <= 0) return held;
    const auto key = CurrentLogKey(params);
    if (!key) return held;
    const auto through = archive->ArchivedThrough(*key);
    if (!through) return std::nullopt;
    return qMax(0, held - *through);
}

}  // namespace quorvex
