#pragma once
// Translator turns numbered texts ("[1002]Kabel USB odłączony") into the
// wording of the current language and remembers the first numbered caption of
// every control it translates, so the language can be switched back and forth
// at will. The widget walks over windows and menus are in TranslateWindow.h;
// this part needs no widgets.
//
// Used on the user-interface thread only.

#include <QHash>
#include <QLocale>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace quorvex {

// Language names, as shown to the operator and stored in the settings file.
inline const QString kLanguagePolish = QStringLiteral("Polski");
inline const QString kLanguageEnglish = QStringLiteral("Angielski");
inline const QString kLanguageGerman = QStringLiteral("Niemiecki");

// The given name when it is one of the three languages, otherwise Polish.
QString NormalizeLanguage(const QString& language);

// The decimal separator of numbers on screen in that language: a point in English, a comma
// in Polish and German.
QChar DecimalSeparatorOf(const QString& language);

// The language a person means by `name`, ignoring case: one of the three stored
// names, a language code (pl, en, de) or the English name (Polish, English,
// German). Nothing for anything else.
std::optional<QString> LanguageFromName(const QString& name);

// The language of the interface for a person whose desktop speaks `locale`
// (its first interface language): Polish or German when it is one of those,
// English for every other.
QString LanguageForLocale(const QLocale& locale);

// The language a run speaks unless told otherwise for that run: the one stored in the
// settings file (a name it does not know reads as Polish, as it always has), and before any
// is stored the desktop's (LanguageForLocale). The window and quorvex-cli both choose so.
QString StartLanguage(const QString& stored, const QLocale& desktop);

// The id of a numbered text whose bracket prefix has been cut out: an optional
// sign and decimal digits that fit an int. Nothing for anything else.
std::optional<int> ParseTextId(QStringView digits);

class Translator {
public:
    using MessageHandler = std::function<void(const QString&)>;

    // Reported when a bracket prefix does not hold a number.
    static const QString kBadIdMessage;

    Translator() = default;
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

    // Where diagnostics go (the main window connects its message log here).
    void SetMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

    const QString& GetLanguage() const { return Language_; }
    void SetLanguage(const QString& language) { Language_ = language; }

    // The result of the last Tr.
    const QString& GetCurrentText() const { return CurrentText_; }

    // One numbered text in the current language. A text that is not numbered
    // comes back unchanged; so does one whose id is not a number, which is also
    // reported to the message handler.
    QString Tr(const QString& text);

    // Translates a caption of `component` (with `column` >= 0: that column's
    // title of a table view). The first caption seen for a component is kept and
    // every later call translates that one, whatever the caption is now.
    QString TranslateCaption(const QString& text, const QObject* component, int column = -1);

    // The wording of `id` in `language`: the Polish wording itself for Polish,
    // the string table for English and German, empty for an id the table lacks
    // or for any other language name.
    static QString LookupText(const QString& language, const QString& polishWording, int id);

    bool Remembers(const QObject* component, int column = -1) const;
    qsizetype FirstCaptionCount() const { return FirstCaptions_.size(); }

private:
    using CaptionKey = std::pair<const QObject*, int>;

    void Report(const QString& message) const;
    void ForgetComponent(const QObject* component);

    QString CurrentText_;
    QString Language_ = kLanguagePolish;
    QHash<CaptionKey, QString> FirstCaptions_;
    QSet<const QObject*> watched_;  // components whose destruction clears their entries
    MessageHandler messageHandler_;
    // Context of the destruction watches: they end with the translator.
    QObject watchContext_;
};

}  // namespace quorvex
