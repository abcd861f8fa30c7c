#include "params/DeviceParameters.h"

#include "params/Codecs.h"
#include "params/Cp1250.h"

namespace quorvex {

int DeviceTypeParameter::GetValue() const { return Reg0; }

QString DeviceTypeParameter::GetText() const { return Has(1) ? Hex4(Reg0) : QString(); }

QString DeviceTypeCaption(const QString& deviceTypeText) {
    if (deviceTypeText.isEmpty()) return {};
    return IsHumidityDevice(deviceTypeText) ? QStringLiteral("[2230]temperatura i wilgotność")
                                            : QStringLiteral("[2231]tylko temperatura");
}

DeviceType::DeviceType() : DeviceTypeParameter(17, QStringLiteral("Typ urządzenia")) {}
DeviceTypeEprom::DeviceTypeEprom() : DeviceTypeParameter(279, QStringLiteral("Typ urządzenia")) {}

VersionFirmware::VersionFirmware() : Parameter(22, QStringLiteral("Wersja programu")) {}

QString VersionFirmware::GetText() const {
    if (!Has(1)) return {};
    return QString::number(Hi(Reg0)) + u':' + QString::number(Lo(Reg0));
}

BatteryStatus::BatteryStatus() : Parameter(23, QStringLiteral("Stan baterii")) {}

QString BatteryStatus::GetText() const { return Has(1) ? QString::number(Hi(Reg0)) + u'%' : QString(); }

LogCounter::LogCounter() : Parameter(23, QStringLiteral("Licznik logowań")) {}

QString LogCounter::GetText() const {
    if (!Has(3)) return {};
    const std::uint32_t count =
        (static_cast<std::uint32_t>(Lo(Reg0)) << 24) | (static_cast<std::uint32_t>(Reg1) << 8) | Hi(Reg2);
    return QString::number(count);
}

ProductionDate::ProductionDate() : Parameter(25, QStringLiteral("Data produkcji")) {}

QString ProductionDate::GetText() const { return Has(3) ? ProductionDateText(Reg0, Reg1, Reg2) : QString(); }

SerialNumber::SerialNumber() : Parameter(280, QStringLiteral("Numer seryjny")) {}

QString SerialNumber::GetText() const { return Has(2) ? Hex4(Reg0) + Hex4(Reg1) : QString(); }

LoggerName::LoggerName() : Parameter(256, QStringLiteral("Nazwa Loggera")) { LoggerName::Invalidate(); }

bool LoggerName::OnRegister(int reg, std::uint16_t value) {
    const int index = reg - FirstRegister;
    if (index < 0 || index >= kWords) return false;
    const std::array<std::uint8_t, kBytes> before = NameBuffer;
    const bool wasEmpty = Empty;
    NameBuffer[2 * index] = Hi(value);
    NameBuffer[2 * index + 1] = Lo(value);
    NameBuffer[kBytes - 1] = 0;
    if (index == 0) Empty = false;
    return NameBuffer != before || Empty != wasEmpty;
}

void LoggerName::Invalidate() {
    NameBuffer[0] = 0xFF;
    NameBuffer[1] = 0xFF;
    Empty = true;
}

void LoggerName::SetText(const QString& text) {
    const QByteArray bytes = ToCp1250(text).left(kMaxLength);
    NameBuffer.fill(0);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        NameBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
}

QString LoggerName::GetText() const {
    if (NameBuffer[0] == 0xFF && NameBuffer[1] == 0xFF) return {};
    QByteArray bytes;
    for (std::uint8_t b : NameBuffer) {
        if (b == 0) break;
        bytes.append(static_cast<char>(b));
    }
    return FromCp1250(bytes);
}

std::array<std::uint16_t, LoggerName::kWords> LoggerName::Words() const {
    std::array<std::uint16_t, kWords> words{};
    for (int k = 0; k < kWords; ++k) words[k] = Word(NameBuffer[2 * k], NameBuffer[2 * k + 1]);
    return words;
}

}  // namespace quorvex
