#include "params/MeasurementParameters.h"

#include "params/Codecs.h"

namespace quorvex {

QString TemperatureParameter::GetText() const { return Has(1) ? TemperatureText(Pair()) : QString(); }

void TemperatureParameter::SetText(const QString& text) {
    float x = 0;
    if (!ParseNumber(text, x) || !FitsTemperature(x)) return;
    StoreTemperatureField(EncodeTemperature(x), Reg0);
}

QString HumidityParameter::GetText() const { return Has(2) ? HumidityText(Pair()) : QString(); }

void HumidityParameter::SetText(const QString& text) {
    float x = 0;
    if (!ParseNumber(text, x) || !FitsHumidity(x)) return;
    StoreHumidityField(EncodeHumidity(x), Reg0, Reg1);
}

QString CorrectionParameter::GetText() const { return CorrectionText(Reg0); }

void CorrectionParameter::SetText(const QString& text) { ParseCorrection(text, Reg0); }

CurrentTemp::CurrentTemp() : TemperatureParameter(15, QStringLiteral("Aktualna temperatura")) {}

QString CurrentTemp::GetText() const { return Has(2) ? TemperatureText(Pair()) : QString(); }

LowTemp::LowTemp() : TemperatureParameter(18, QStringLiteral("Temperatura. Dolny próg")) {}
HighTemp::HighTemp() : TemperatureParameter(20, QStringLiteral("Temperatura. Górny próg")) {}
CurrentHum::CurrentHum() : HumidityParameter(15, QStringLiteral("Aktualna wilgotność")) {}
LowHum::LowHum() : HumidityParameter(18, QStringLiteral("Wilgotność. Dolny próg")) {}
HighHum::HighHum() : HumidityParameter(20, QStringLiteral("Wilgotność. Górny próg")) {}
CorrectionTemp::CorrectionTemp() : CorrectionParameter(300, QStringLiteral("Korekta temperatury")) {}
CorrectionHum::CorrectionHum() : CorrectionParameter(301, QStringLiteral("Korekta wilgotności")) {}

}  // namespace quorvex
