#include "i18n/Translator.h"

#include <tuple>

#include "i18n/StringTable.h"

namespace quorvex {

const QString Translator::kBadIdMessage =
    QStringLiteral("Wystąpił błąd w funkcji Tr(String). Tekst do tłumaczenia zawiera nieprawidłowy numer");

QString NormalizeLanguage(const QString& language) {
    if (language == kLanguageEnglish || language == kLanguageGerman) return language;
    return kLanguagePolish;
}

QChar DecimalSeparatorOf(const QString& language) {
    return NormalizeLanguage(language) == kLanguageEnglish ? QChar(u'.') : QChar(u',');
}

std::optional<QString> LanguageFromName(const QString& name) {
    const QString key = name.trimmed().toLower();
    for (const auto& [language, code, english] :
         {std::tuple{&kLanguagePolish, "pl", "polish"}, std::tuple{&kLanguageEnglish, "en", "english"},
          std::tuple{&kLanguageGerman, "de", "german"}}) {
        if (key == language->toLower() || key == QLatin1String(code) || key == QLatin1String(english)) return *language;
    }
    return std::nullopt;
}

QString LanguageForLocale(const QLocale& locale) {
    // The interface languages come from LANGUAGE and LC_MESSAGES, which may differ from
    // the locale of numbers and dates.
    const QStringList ui = locale.uiLanguages();
    const QLocale::Language language = ui.isEmpty() ? locale.language() : QLocale(ui.constFirst()).language();
    if (language == QLocale::Polish) return kLanguagePolish;
    if (language == QLocale::German) return kLanguageGerman;
    return kLanguageEnglish;
}

QString StartLanguage(const QString& stored, const QLocale& desktop) {
    return stored.isEmpty() ? LanguageForLocale(desktop) : NormalizeLanguage(stored);
}

std::optional<int> ParseTextId(QStringView digits) {
    QStringView rest = digits;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) rest = rest.mid(1);
    if (rest.isEmpty()) return std::nullopt;
    for (QChar c : rest) {
        if (c < u'0' || c > u'9') return std::nullopt;  // no spaces, no other digit scripts
    }
    bool ok = false;
    const int id = digits.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return id;
}

QString Translator::Tr(const QString& text) {
    CurrentText_ = text;
    if (text.size() <= 2) return CurrentText_;
    const qsizetype close = text.indexOf(u']');
    if (close < 0) return text;
    if (text.front() != u'[') return text;

    const std::optional<int> id = ParseTextId(QStringView(text).mid(1, close - 1));
    if (!id || *id == -1) {
        Report(kBadIdMessage);
        return text;
    }
    CurrentText_ = text.mid(close + 1);
    QString wording = LookupText(Language_, CurrentText_, *id);
    if (!wording.isEmpty()) CurrentText_ = std::move(wording);
    return CurrentText_;
}

QString Translator::LookupText(const QString& language, const QString& polishWording, int id) {
    if (language == kLanguagePolish) return polishWording;
    // Ids outside the table's range must not reach into the other language's
    // resources (10001 + 10000 would be the German wording of id 1).
    if (id < 0 || id >= kTextIdLimit) return {};
    if (language == kLanguageEnglish) return LoadStringResource(id + kEnglishResourceBase);
    if (language == kLanguageGerman) return LoadStringResource(id + kGermanResourceBase);
    return {};
}

QString Translator::TranslateCaption(const QString& text, const QObject* component, int column) {
    const CaptionKey key{component, column};
    auto it = FirstCaptions_.constFind(key);
    if (it != FirstCaptions_.constEnd()) return Tr(*it);

    FirstCaptions_.insert(key, text);
    // A component that is destroyed takes its entries with it, so a new control
    // that happens to get the same address starts from its own caption.
    if (component && !watched_.contains(component)) {
        watched_.insert(component);
        QObject::connect(component, &QObject::destroyed, &watchContext_,
                         [this, component] { ForgetComponent(component); });
    }
    return Tr(text);
}

bool Translator::Remembers(const QObject* component, int column) const {
    return FirstCaptions_.contains(CaptionKey{component, column});
}

void Translator::Report(const QString& message) const {
    if (messageHandler_) messageHandler_(message);
}

void Translator::ForgetComponent(const QObject* component) {
    watched_.remove(component);
    FirstCaptions_.removeIf([component](const auto& entry) { return entry.key().first == component; });
}

}  // namespace quorvex
