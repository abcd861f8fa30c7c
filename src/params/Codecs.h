#pragma once
// Conversions between the logger's register words and numbers or texts.
// Temperatures and humidities are BCD tenths inside a packed register pair
// P = first register × 65536 + second register: the temperature field is bits
// 17–31 of P (sign in bit 31), the humidity field bits 4–16.
// Arithmetic is single precision on purpose: it decides results such as
// 25.3 → 253 tenths, which double precision would truncate to 252.
#include <QString>
#include <cstdint>

namespace quorvex {

// The process-wide decimal separator of the number texts on screen. Taken
// from the default locale on first use (or by ResetDecimalSeparator); the
// window sets it to its language's whenever the language is applied. What the
// operator types does not change it. Files and printouts do not follow it:
// they use SystemDecimalSeparator.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);
void ResetDecimalSeparator();
// The decimal separator of the default locale's number format, whatever the
// operator typed last.
QChar SystemDecimalSeparator();

// Tries the text with "," as decimal separator, then with ".". Accepts an optional sign, digits with at
// most one separator and an exponent, surrounded by blanks; no group
// separators. Fails for empty texts and for values beyond single precision.
bool ParseNumber(const QString& text, float& value);

// Fields as they go into the register pair: temperature bits 0–13 magnitude
// BCD, bit 14 sign; humidity bits 0–12 BCD. Tenths that do not fit 16 bits
// wrap and the BCD form is cut to the field, as the logger's firmware expects;
// FitsTemperature/FitsHumidity tell whether a value survives unchanged.
std::uint16_t EncodeTemperature(float value);
std::uint16_t EncodeHumidity(float value);
bool FitsTemperature(float value);  // |value| ≤ 399.9
bool FitsHumidity(float value);     // value ≤ 199.9 (negatives become 0)

// Writes a field into the pair's registers, keeping the other field's bits.
void StoreTemperatureField(std::uint16_t field, std::uint16_t& first);
void StoreHumidityField(std::uint16_t field, std::uint16_t& first, std::uint16_t& second);

// A BCD digit A–F makes the value 0.
float DecodeTemperature(std::uint32_t pair);
float DecodeHumidity(std::uint32_t pair);

// One decimal place with the given decimal separator (the current on-screen
// one unless told), no unit.
QString NumberText(float value);
QString NumberText(float value, QChar separator);
QString TemperatureText(std::uint32_t pair);
QString HumidityText(std::uint32_t pair);

bool IsHumidityDevice(const QString& deviceTypeText);

// Correction register: low byte = tenths + 128, high byte 0. 0xFFFF gives "".
QString CorrectionText(std::uint16_t reg);
// Parses a number into the register; false (register unchanged) when the text
// does not parse or the correction lies outside -12.8 … 12.7.
bool ParseCorrection(const QString& text, std::uint16_t& reg);

// Four BCD digits read as decimal; -1 when a digit is A–F.
int BcdValue(std::uint16_t digits);

// Registers 25–27: BCD year lo(25) hi(26), month lo(26), day hi(27).
QString ProductionDateText(std::uint16_t r25, std::uint16_t r26, std::uint16_t r27);

QString Hex4(std::uint16_t word);

}  // namespace quorvex
