#include "ui/WriteRefusalText.h"

#include <utility>

#include "params/Parameter.h"
#include "params/ParameterCaption.h"

namespace quorvex {
namespace {

// The parameter as the operator knows it from the window.
QString Caption(const Parameter* p) {
    if (!p) return {};
    const QString caption = ParameterCaption(p->Name);
    return caption.isEmpty() ? p->Name : caption;
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

QString WriteRefusalText(const WriteRefusal& refusal, const std::function<QString(const QString&)>& translate) {
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
           translate(Caption(refusal.parameter)) + u'\n' + translate(QStringLiteral("[2155]Wysłano:")) + u' ' +
           translate(refusal.sent) + u'\n' + answer;
}

}  // namespace quorvex
