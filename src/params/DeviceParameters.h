#pragma once
// What the logger tells about itself: device type, firmware version, battery,
// logging counter, production date, name and serial number. All read-only
// except the name.
#include <array>

#include "params/Parameter.h"

namespace quorvex {

// Device type code as four upper-case hex digits; GetValue is the raw register
// (65535 while not received). SetValue and SetText have no effect.
class DeviceTypeParameter : public Parameter {
public:
    using Parameter::Parameter;
    int GetValue() const override;
    QString GetText() const override;
};

// What a device type text means, as a numbered text: a humidity logger (IsHumidityDevice) or a
// temperature-only one; empty for an empty text.
QString DeviceTypeCaption(const QString& deviceTypeText);

class DeviceType : public DeviceTypeParameter {
public:
    DeviceType();  // register 17
};

class DeviceTypeEprom : public DeviceTypeParameter {
public:
    DeviceTypeEprom();  // register 279, as kept in the logger's non-volatile memory
};

// "major:minor" from hi and lo of register 22.
class VersionFirmware : public Parameter {
public:
    VersionFirmware();
    QString GetText() const override;
};

// hi(23) percent, e.g. "80%".
class BatteryStatus : public Parameter {
public:
    BatteryStatus();
    QString GetText() const override;
};

// 32 bits, most significant first: lo(23), hi(24), lo(24), hi(25).
class LogCounter : public Parameter {
public:
    LogCounter();
    QString GetText() const override;
};

// BCD date in registers 25–27; empty when a digit is A–F or the date is invalid.
class ProductionDate : public Parameter {
public:
    ProductionDate();
    QString GetText() const override;
};

// Registers 280 and 281 as eight upper-case hex digits.
class SerialNumber : public Parameter {
public:
    SerialNumber();
    QString GetText() const override;
};

// Registers 256–278: up to 45 Windows-1250 bytes, two per register with the
// first character in the high byte, zero-terminated.
class LoggerName : public Parameter {
public:
    static constexpr int kWords = 23;
    static constexpr int kBytes = 2 * kWords;
    static constexpr int kMaxLength = kBytes - 1;  // bytes, the last one is always zero
    static constexpr int kWrittenWords = 22;       // a write covers registers 256–277

    LoggerName();
    bool OnRegister(int reg, std::uint16_t value) override;
    void Invalidate() override;  // first word 0xFFFF
    // Characters without a Windows-1250 byte become '?'; cut after 45 bytes.
    void SetText(const QString& text) override;
    QString GetText() const override;

    // The buffer as register words, high byte first, for WriteRegisters.
    std::array<std::uint16_t, kWords> Words() const;

    std::array<std::uint8_t, kBytes> NameBuffer{};
};

}  // namespace quorvex
