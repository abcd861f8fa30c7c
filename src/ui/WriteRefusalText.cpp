#include "ui/WriteRefusalText.h"

#include <utility>

#include "params/ParameterModel.h"

namespace quorvex {
namespace {

// The parameter as the operator knows it from the window.
QString Caption(const ParameterModel& m, const Parameter* p) {
    const std::pair<const Parameter*, const char*> captions[] = {
        {&m.Param<LoggerName>(), "[1046]Nazwa Loggera"},
        {&m.Param<CurrentDate>(), "[130]Zegar"},
        {&m.Param<CurrentTime>(), "[130]Zegar"},
        {&m.Param<LogStartDate>(), "[2162]Start rejestracji"},
        {&m.Param<LogStartTime>(), "[2162]Start rejestracji"},
        {&m.Param<WriteInterval>(), "[2163]Częstość zapisu"},
        {&m.Param<HighTemp>(), "[2164]Górny próg temperatury"},
        {&m.Param<LowTemp>(), "[2165]Dolny próg temperatury"},
        {&m.Param<HighHum>(), "[2166]Górny próg wilgotności"},
        {&m.Param<LowHum>(), "[2167]Dolny próg wilgotności"},
        {&m.Param<CorrectionTemp>(), "[2168]Korekta temperatury"},
        {&m.Param<CorrectionHum>(), "[2169]Korekta wilgotności"},
        {&m.Param<StartLog>(), "[2170]Sposób uruchomienia rejestracji"},
        {&m.Param<WrapAround>(), "[2171]Po zapełnieniu pamięci"},
        {&m.Param<Logging>(), "[200]Rejestracja"},
    };
    for (const auto& [parameter, caption] : captions)
        if (parameter == p) return QString::fromUtf8(caption);
    return p ? p->Name : QString();
}

// The standard exception codes a logger answers with.
QString ExceptionMeaning(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("[2158]niedozwolona funkcja");
    case 2:
        return QStringLiteral("[2159]niedozwolony adres rejestru");
    case 3:
        return QStringLiteral("[2160]niedozwolona wartość");
    case 4:
        return QStringLiteral("[2161]błąd urządzenia");
    default:
        return {};
    }
}

}  // namespace

QString WriteRefusalText(const ParameterModel& model, const WriteRefusal& refusal,
                         const std::function<QString(const QString&)>& translate) {
    QString answer;
    if (refusal.exceptionCode != 0) {
        answer = translate(QStringLiteral("[2156]Logger odpowiedział wyjątkiem")) + u' ' +
                 QString::number(refusal.exceptionCode);
        const QString meaning = ExceptionMeaning(refusal.exceptionCode);
        if (!meaning.isEmpty()) answer += QStringLiteral(" (") + translate(meaning) + u')';
    } else {
        answer = translate(QStringLiteral("[2157]Logger zachował:")) + u' ' + translate(refusal.kept);
    }
    return translate(QStringLiteral("[2154]Logger nie przyjął zmiany parametru")) + u' ' +
           translate(Caption(model, refusal.parameter)) + u'\n' + translate(QStringLiteral("[2155]Wysłano:")) + u' ' +
           translate(refusal.sent) + u'\n' + answer;
}

}  // namespace quorvex
