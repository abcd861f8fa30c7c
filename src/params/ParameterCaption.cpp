#include "params/ParameterCaption.h"

#include <utility>

namespace quorvex {

QString ParameterCaption(const QString& parameterName) {
    static const std::pair<const char*, const char*> kCaptions[] = {
        {"Nazwa Loggera", "[1046]Nazwa Loggera"},
        {"Bieżąca Data", "[130]Zegar"},
        {"Bieżący Czas", "[130]Zegar"},
        {"Start logowania. Data", "[2162]Start rejestracji"},
        {"Start logowania. Czas", "[2162]Start rejestracji"},
        {"Częstość zapisu", "[2163]Częstość zapisu"},
        {"Temperatura. Górny próg", "[2164]Górny próg temperatury"},
        {"Temperatura. Dolny próg", "[2165]Dolny próg temperatury"},
        {"Wilgotność. Górny próg", "[2166]Górny próg wilgotności"},
        {"Wilgotność. Dolny próg", "[2167]Dolny próg wilgotności"},
        {"Korekta temperatury", "[2168]Korekta temperatury"},
        {"Korekta wilgotności", "[2169]Korekta wilgotności"},
        {"Tryb startu", "[2170]Sposób uruchomienia rejestracji"},
        {"Nadpisywanie", "[2171]Po zapełnieniu pamięci"},
        {"Logowanie", "[200]Rejestracja"},
    };
    for (const auto& [name, caption] : kCaptions)
        if (parameterName == QString::fromUtf8(name)) return QString::fromUtf8(caption);
    return {};
}

}  // namespace quorvex
