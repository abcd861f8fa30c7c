#include "archive/ArchiveText.h"

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "logs/LoggerInfo.h"

namespace quorvex {

namespace {
// A counted text (wordings separated by "|") is counted by its first value.
QString Fill(QString text, const QStringList& args) {
    if (!args.isEmpty()) text = CountForm(text, args.front().toLongLong());
    for (const QString& a : args) text = text.arg(a);
    return text;
}
}  // namespace

QString ArchiveText::Translated() const { return Fill(TranslateText(numbered), args); }

QString ArchiveText::In(const QString& language) const {
    Translator translator;
    translator.SetLanguage(language);
    return Fill(translator.Tr(numbered), args);
}

}  // namespace quorvex
