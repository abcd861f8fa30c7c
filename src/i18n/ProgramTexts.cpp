#include "i18n/ProgramTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <algorithm>

#include "i18n/Translator.h"

namespace quorvex {

namespace {

// The id and Polish wording of "[id]wording"; nothing for a text without a numeric prefix.
std::optional<std::pair<int, QString>> SplitNumbered(const QString& text) {
    if (text.size() <= 2 || text.front() != u'[') return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0) return std::nullopt;
    const std::optional<int> id = ParseTextId(QStringView(text).mid(1, close - 1));
    if (!id || *id == -1) return std::nullopt;
    return std::pair{*id, text.mid(close + 1)};
}

}  // namespace

ProgramTexts::ProgramTexts() = default;

bool ProgramTexts::Install() {
    return QCoreApplication::instance() != nullptr && QCoreApplication::installTranslator(this);
}

void ProgramTexts::SetLanguage(const QString& language) {
    const QString name = NormalizeLanguage(language);
    language_ = name == kLanguageEnglish ? kEnglish : name == kLanguageGerman ? kGerman : kPolish;
}

QString ProgramTexts::Language() const {
    switch (language_.load()) {
    case kEnglish:
        return kLanguageEnglish;
    case kGerman:
        return kLanguageGerman;
    default:
        return kLanguagePolish;
    }
}

QString ProgramTexts::translate(const char* context, const char* sourceText, const char*, int) const {
    if (context == nullptr || qstrcmp(context, kContext) != 0 || sourceText == nullptr) return {};
    const auto numbered = SplitNumbered(QString::fromUtf8(sourceText));
    if (!numbered) return {};
    QString wording = Translator::LookupText(Language(), numbered->second, numbered->first);
    return wording.isEmpty() ? numbered->second : wording;
}

QString TranslateText(const QString& text) {
    if (!text.startsWith(u'[')) return text;
    const QByteArray source = text.toUtf8();
    QString translated = QCoreApplication::translate(ProgramTexts::kContext, source.constData());
    if (translated != text) return translated;
    // No translator answered: the Polish wording.
    const auto numbered = SplitNumbered(text);
    return numbered ? numbered->second : text;
}

QString FileProblemText(const QString& what, const QString& path, const QString& reason) {
    QString text = what + u':' + u'\n' + QDir::toNativeSeparators(path);
    if (!reason.isEmpty()) text += u'\n' + reason;
    return text;
}

QString CountForm(const QString& wordings, qint64 count) {
    if (!wordings.contains(u'|')) return wordings;
    const QStringList forms = wordings.split(u'|');
    const qint64 n = count < 0 ? -count : count;
    qsizetype form = n == 1 ? 0 : 1;
    if (forms.size() >= 3 && n != 1) {
        const qint64 units = n % 10, tens = n % 100;
        form = units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? 1 : 2;
    }
    return forms[std::min(form, forms.size() - 1)];
}

QString CountText(const QString& numbered, qint64 count, const QString& shown) {
    return CountForm(TranslateText(numbered), count).arg(shown.isEmpty() ? QString::number(count) : shown);
}

}  // namespace quorvex
