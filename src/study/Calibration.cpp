#include "study/Calibration.h"

#include <QLocale>

#include <cmath>

#include "i18n/ProgramTexts.h"

namespace quorvex {

namespace {

QString Number(float value) { return QLocale().toString(value, 'f', 2); }

}  // namespace

QString CalibrationProblem(const Calibration& c) {
    if (c.serial.trimmed().isEmpty()) return TranslateText(QStringLiteral("[2791]Kalibracja bez numeru seryjnego"));
    if (!(std::fabs(c.temperatureOffset) <= kMaxTemperatureOffset))
        return TranslateText(QStringLiteral("[2785]Poprawka temperatury %1 °C wykracza poza ±5 °C"))
            .arg(Number(c.temperatureOffset));
    if (!(std::fabs(c.humidityOffset) <= kMaxHumidityOffset))
        return TranslateText(QStringLiteral("[2786]Poprawka wilgotności %1 % wykracza poza ±10 %"))
            .arg(Number(c.humidityOffset));
    if (!(c.temperatureUncertainty >= 0.0f) || !(c.humidityUncertainty >= 0.0f))
        return TranslateText(QStringLiteral("[2787]Niepewność nie może być ujemna"));
    if (!c.date.isValid() || !c.due.isValid() || c.due < c.date)
        return TranslateText(QStringLiteral("[2788]Termin następnej kalibracji musi przypadać po dacie kalibracji"));
    return {};
}

QString CalibrationUseKey(CalibrationUse use) {
    switch (use) {
    case CalibrationUse::Applied:
        return QStringLiteral("applied");
    case CalibrationUse::None:
        return QStringLiteral("none");
    case CalibrationUse::Expired:
        return QStringLiteral("expired");
    case CalibrationUse::Off:
        return QStringLiteral("off");
    }
    return {};
}

}  // namespace quorvex
