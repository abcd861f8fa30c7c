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

class CurrentTemp : public TemperatureParameter {
public:
    CurrentTemp();
    QString GetText() const override;  // waits for both registers
};

class LowTemp : public TemperatureParameter {
public:
    LowTemp();
};

class HighTemp : public TemperatureParameter {
public:
    HighTemp();
};

class CurrentHum : public HumidityParameter {
public:
    CurrentHum();
};

class LowHum : public HumidityParameter {
public:
    LowHum();
};

class HighHum : public HumidityParameter {
public:
    HighHum();
};

class CorrectionTemp : public CorrectionParameter {
public:
    CorrectionTemp();
};

class CorrectionHum : public CorrectionParameter {
public:
    CorrectionHum();
};

}  // namespace quorvex
