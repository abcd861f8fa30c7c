#pragma once
// A logger's calibration as its certificate states it: the offsets that bring its readings to the
// reference and the expanded uncertainty of each. Kept per serial number; a study adds the offsets
// to every reading of that logger unless told not to.
#include <QDate>
#include <QString>

namespace quorvex {

struct Calibration {
    QString serial;
    QString certificate;
    QDate date;                           // calibrated on
    QDate due;                            // next calibration due
    float temperatureOffset = 0.0f;       // °C, added to each reading
    float humidityOffset = 0.0f;          // %, added to each reading
    float temperatureUncertainty = 0.0f;  // °C, expanded (k = 2)
    float humidityUncertainty = 0.0f;     // %

    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// How a study used a position's calibration.
enum class CalibrationUse {
    Applied,  // offsets added, the calibration valid to the study's end
    None,     // the logger has no calibration record
    Expired,  // offsets added, but the calibration was due before the study's end
    Off,      // the study does not apply calibrations
};

// The offsets a certificate may plausibly carry: beyond them the record is a typing error.
constexpr float kMaxTemperatureOffset = 5.0f;
constexpr float kMaxHumidityOffset = 10.0f;

// A numbered message in the program's language naming what is wrong with the record (an offset
// beyond the plausible ones, a negative uncertainty, a due date before the calibration date, no
// serial); empty when it can be kept.
QString CalibrationProblem(const Calibration& calibration);

// The words of CalibrationUse for machine-read output: "applied", "none", "expired", "off".
QString CalibrationUseKey(CalibrationUse use);

}  // namespace quorvex
