#pragma once
// Temperature and humidity: the current readings and the alarm thresholds
// (temperature and humidity of one pair of registers share them as packed
// fields, each object keeping its own copies), and the two corrections.
#include "params/Parameter.h"

namespace quorvex {

// Temperature field of a register pair. Text needs only the first register.
class TemperatureParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;
    // A number whose tenths do not fit the field is refused like a text that
    // does not parse: the copies stay as they were.
    void SetText(const QString& text) override;
};

// Humidity field of a register pair (spans both registers).
class HumidityParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;
    void SetText(const QString& text) override;  // refuses values above 199.9
};

// lo = correction in tenths + 128, hi = 0.
class CorrectionParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;
    void SetText(const QString& text) override;  // refuses values outside -12.8 … 12.7
};

class CCurrentTemp : public TemperatureParameter {
public:
    CCurrentTemp();
    QString GetText() const override;  // waits for both registers
};

class CLowTemp : public TemperatureParameter {
public:
    CLowTemp();
};

class CHighTemp : public TemperatureParameter {
public:
    CHighTemp();
};

class CCurrentHum : public HumidityParameter {
public:
    CCurrentHum();
};

class CLowHum : public HumidityParameter {
public:
    CLowHum();
};

class CHighHum : public HumidityParameter {
public:
    CHighHum();
};

class CCorrectionTemp : public CorrectionParameter {
public:
    CCorrectionTemp();
};

class CCorrectionHum : public CorrectionParameter {
public:
    CCorrectionHum();
};

}  // namespace quorvex
