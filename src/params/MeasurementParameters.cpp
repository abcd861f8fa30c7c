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

CCurrentTemp::CCurrentTemp() : TemperatureParameter(15, QStringLiteral("Aktualna temperatura")) {}

QString CCurrentTemp::GetText() const { return Has(2) ? TemperatureText(Pair()) : QString(); }

CLowTemp::CLowTemp() : TemperatureParameter(18, QStringLiteral("Temperatura. Dolny próg")) {}
CHighTemp::CHighTemp() : TemperatureParameter(20, QStringLiteral("Temperatura. Górny próg")) {}
CCurrentHum::CCurrentHum() : HumidityParameter(15, QStringLiteral("Aktualna wilgotność")) {}
CLowHum::CLowHum() : HumidityParameter(18, QStringLiteral("Wilgotność. Dolny próg")) {}
CHighHum::CHighHum() : HumidityParameter(20, QStringLiteral("Wilgotność. Górny próg")) {}
CCorrectionTemp::CCorrectionTemp() : CorrectionParameter(300, QStringLiteral("Korekta temperatury")) {}
CCorrectionHum::CCorrectionHum() : CorrectionParameter(301, QStringLiteral("Korekta wilgotności")) {}

}  // namespace quorvex
