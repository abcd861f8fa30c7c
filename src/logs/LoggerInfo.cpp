#include "logs/LoggerInfo.h"

#include "params/Hooks.h"

namespace quorvex {

QString TranslateText(const QString& text) {
    if (TranslateHook) return TranslateHook(text);
    if (!text.startsWith(u'[')) return text;
    const qsizetype close = text.indexOf(u']');
    return close < 0 ? text : text.mid(close + 1);
}

QList<LoggerInfoRow> LoggerInfoRows(const ResultsStore& store) {
    return {
        {TranslateText(QStringLiteral("[1037]Nazwa:")), store.loggerName},
        {TranslateText(QStringLiteral("[1038]Typ:")), store.loggerType},
        {TranslateText(QStringLiteral("[1039]Numer:")), store.serialNumber},
        {TranslateText(QStringLiteral("[1040]Okres:")), store.writeInterval},
    };
}

}  // namespace quorvex
