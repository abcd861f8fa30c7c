#include "logs/LoggerInfo.h"

#include "i18n/ProgramTexts.h"

namespace quorvex {

QList<LoggerInfoRow> LoggerInfoRows(const ResultsStore& store) {
    QList<LoggerInfoRow> rows = {
        {TranslateText(QStringLiteral("[1037]Nazwa:")), store.loggerName},
        {TranslateText(QStringLiteral("[1038]Typ:")), store.loggerType},
        {TranslateText(QStringLiteral("[1039]Numer:")), store.serialNumber},
        {TranslateText(QStringLiteral("[1040]Okres:")), store.writeInterval},
    };
    if (store.signature) rows.push_back({TranslateText(QStringLiteral("[2530]Podpis:")), store.signature->Text()});
    return rows;
}

}  // namespace quorvex
