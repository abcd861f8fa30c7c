#include "params/Codecs.h"

#include <QLocale>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

std::atomic<char16_t> g_separator{0};  // 0 until first taken from the locale

// The platform text-to-float conversion with a given separator.
bool ConvertWith(const QString& input, char16_t separator, float& value) {
    const QString text = input.trimmed();
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    bool digits = false, fraction = false, exponent = false, expDigits = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            (exponent ? expDigits : digits) = true;
            ascii.push_back(static_cast<char>(c));
        } else if ((c == u'+' || c == u'-') && (i == 0 || (exponent && (text[i - 1] == u'e' || text[i - 1] == u'E')))) {
            if (c == u'-') ascii.push_back('-');
        } else if (c == separator && !fraction && !exponent) {
            fraction = true;
            ascii.push_back('.');
        } else if ((c == u'e' || c == u'E') && digits && !exponent) {
            exponent = true;
            ascii.push_back('e');
        } else {
            return false;
        }
    }
    if (!digits || (exponent && !expDigits)) return false;
    double d = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), d);
    if (ec != std::errc() || end != ascii.data() + ascii.size()) return false;
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) return false;
    value = static_cast<float>(d);
    return true;
}

// Tenths of a value as the firmware takes them: x × 10 rounded to single
// precision, truncated toward zero, kept modulo 65536. Never undefined, also
// for infinities and NaN (which give 0).
std::uint16_t Tenths(float x) {
    const float scaled = x * 10.0f;
    if (!std::isfinite(scaled)) return 0;
    const double wrapped = std::fmod(std::trunc(static_cast<double>(scaled)), 65536.0);
    return static_cast<std::uint16_t>(static_cast<std::int32_t>(wrapped) & 0xFFFF);
}

// n written in decimal and read back as hexadecimal.
std::uint32_t ToBcd(std::uint16_t n) {
    std::uint32_t bcd = 0;
    for (int shift = 0; n != 0; shift += 4, n /= 10) bcd |= static_cast<std::uint32_t>(n % 10) << shift;
    return bcd;
}

float TenthsToFloat(int tenths) { return static_cast<float>(tenths * 0.1); }

}  // namespace

QChar DecimalSeparator() {
    char16_t c = g_separator.load();
    if (c == 0) {
        ResetDecimalSeparator();
        c = g_separator.load();
    }
    return QChar(c);
}

void SetDecimalSeparator(QChar separator) { g_separator.store(separator.unicode()); }

void ResetDecimalSeparator() { g_separator.store(SystemDecimalSeparator().unicode()); }

QChar SystemDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point[0] : QChar(u'.');
}

bool ParseNumber(const QString& text, float& value) {
    return ConvertWith(text, u',', value) || ConvertWith(text, u'.', value);
}

std::uint16_t EncodeTemperature(float value) {
    const bool negative = value < 0;
    if (negative) value = -value;
    std::uint16_t field = static_cast<std::uint16_t>(ToBcd(Tenths(value)) & 0x3FFF);
    if (negative) field |= 0x4000;
    return field;
}

std::uint16_t EncodeHumidity(float value) {
    if (value < 0) value = 0;
    return static_cast<std::uint16_t>(ToBcd(Tenths(value)) & 0x1FFF);
}

bool FitsTemperature(float value) {
    const float scaled = std::fabs(value) * 10.0f;
    return std::isfinite(scaled) && scaled < 4000.0f;
}

bool FitsHumidity(float value) {
    const float scaled = value * 10.0f;
    return !std::isnan(scaled) && scaled < 2000.0f;
}

void StoreTemperatureField(std::uint16_t field, std::uint16_t& first) {
    first = static_cast<std::uint16_t>((first & 0x0001) | ((field << 1) & 0xFFFF));
}

void StoreHumidityField(std::uint16_t field, std::uint16_t& first, std::uint16_t& second) {
    const std::uint32_t t = static_cast<std::uint32_t>(field) * 16;
    first = static_cast<std::uint16_t>((first & 0xFFFE) | (t >> 16));
    second = static_cast<std::uint16_t>((second & 0x000F) | (t & 0xFFFF));
}

int BcdValue(std::uint16_t digits) {
    int value = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int d = (digits >> shift) & 0xF;
        if (d > 9) return -1;
        value = value * 10 + d;
    }
    return value;
}

float DecodeTemperature(std::uint32_t pair) {
    const std::uint32_t h = pair >> 16;
    const bool negative = (h & 0x8000) != 0;
    const int tenths = BcdValue(static_cast<std::uint16_t>((h & 0x7FFF) >> 1));
    const float value = TenthsToFloat(tenths < 0 ? 0 : tenths);
    return negative ? -value : value;
}

float DecodeHumidity(std::uint32_t pair) {
    const int tenths = BcdValue(static_cast<std::uint16_t>((pair >> 4) & 0x1FFF));
    return TenthsToFloat(tenths < 0 ? 0 : tenths);
}

QString NumberText(float value) { return NumberText(value, DecimalSeparator()); }

QString NumberText(float value, QChar sep) {
    // A negative zero (sign bit over a zero magnitude) reads as 0.0.
    const double v = value == 0.0f ? 0.0 : static_cast<double>(value);
    QString text = QString::number(v, 'f', 1);
    // Group the whole part in threes with the locale's group separator, as long
    // as it cannot be mistaken for the decimal separator.
    const QString group = QLocale().groupSeparator();
    const qsizetype point = text.indexOf(u'.');
    const qsizetype firstDigit = text.startsWith(u'-') ? 1 : 0;
    if (group.size() == 1 && group[0] != sep)
        for (qsizetype i = point - 3; i > firstDigit; i -= 3) text.insert(i, group);
    text.replace(text.lastIndexOf(u'.'), 1, sep);
    return text;
}

QString TemperatureText(std::uint32_t pair) { return NumberText(DecodeTemperature(pair)); }
QString HumidityText(std::uint32_t pair) { return NumberText(DecodeHumidity(pair)); }

bool IsHumidityDevice(const QString& deviceTypeText) { return deviceTypeText.startsWith(QStringLiteral("02")); }

QString CorrectionText(std::uint16_t reg) {
    if (reg == 0xFFFF) return {};
    const float tenths = static_cast<float>(reg & 0xFF) - 128.0f;
    return NumberText(static_cast<float>(tenths * 0.1));
}

bool ParseCorrection(const QString& text, std::uint16_t& reg) {
    float x = 0;
    if (!ParseNumber(text, x)) return false;
    const float y = x * 10.0f;
    const double stored = std::trunc(static_cast<double>(y) + 128.0);
    if (!(stored >= 0.0 && stored <= 255.0)) return false;  // also rejects NaN and infinities
    reg = static_cast<std::uint16_t>(static_cast<int>(stored) & 0xFF);
    return true;
}

QString ProductionDateText(std::uint16_t r25, std::uint16_t r26, std::uint16_t r27) {
    const int year = BcdValue(static_cast<std::uint16_t>(((r25 & 0xFF) << 8) | (r26 >> 8)));
    const int month = BcdValue(r26 & 0xFF);
    const int day = BcdValue(r27 >> 8);
    if (year < 0 || month < 0 || day < 0) return {};
    return DateText(year, month, day);
}

QString Hex4(std::uint16_t word) { return QStringLiteral("%1").arg(word, 4, 16, QChar(u'0')).toUpper(); }

}  // namespace quorvex
