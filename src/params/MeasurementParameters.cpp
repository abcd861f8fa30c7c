#include "params/MeasurementParameters.h"

#include "params/Codecs.h"

namespace quorvex {

QString TemperatureParametr::GetText() const { return Has(1) ? TemperatureText(Pair()) : QString(); }

void TemperatureParametr::SetText(const QString& text) {
    float x = 0;
    if (!ParseNumber(text, x) || !FitsTemperature(x)) return;
    StoreTemperatureField(EncodeTemperature(x), Reg0);
}

QString HumidityParametr::GetText() const { return Has(2) ? HumidityText(Pair()) : QString(); }

void HumidityParametr::SetText(const QString& text) {
    float x = 0;
    if (!ParseNumber(text, x) || !FitsHumidity(x)) return;
    StoreHumidityField(EncodeHumidity(x), Reg0, Reg1);
}

QString CorrectionParametr::GetText() const { return CorrectionText(Reg0); }

void CorrectionParametr::SetText(const QString& text) { ParseCorrection(text, Reg0); }

CCurrentTemp::CCurrentTemp() : TemperatureParametr(15, QStringLiteral("Aktualna temperatura")) {}

QString CCurrentTemp::GetText() const { return Has(2) ? TemperatureText(Pair()) : QString(); }

CLowTemp::CLowTemp() : TemperatureParametr(18, QStringLiteral("Temperatura. Dolny próg")) {}
CHighTemp::CHighTemp() : TemperatureParametr(20, QStringLiteral("Temperatura. Górny próg")) {}
CCurrentHum::CCurrentHum() : HumidityParametr(15, QStringLiteral("Aktualna wilgotność")) {}
CLowHum::CLowHum() : HumidityParametr(18, QStringLiteral("Wilgotność. Dolny próg")) {}
CHighHum::CHighHum() : HumidityParametr(20, QStringLiteral("Wilgotność. Górny próg")) {}
CCorrectionTemp::CCorrectionTemp() : CorrectionParametr(300, QStringLiteral("Korekta temperatury")) {}
CCorrectionHum::CCorrectionHum() : CorrectionParametr(301, QStringLiteral("Korekta wilgotności")) {}

}  // namespace quorvex
