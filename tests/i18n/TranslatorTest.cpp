#include "i18n/Translator.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

namespace quorvex {
namespace {

class TranslatorTest : public ::testing::Test {
protected:
    TranslatorTest() {
        tr.SetMessageHandler([this](const QString& m) { messages << m; });
    }
    QString In(const QString& language, const QString& text) {
        tr.SetLanguage(language);
        return tr.Tr(text);
    }
    Translator tr;
    QStringList messages;
    const QStringList languages{kLanguagePolish, kLanguageEnglish, kLanguageGerman};
};

TEST_F(TranslatorTest, NumberedTextInEachLanguage) {
    const QString text = QStringLiteral("[1002]Kabel USB odłączony");
    EXPECT_EQ(In(kLanguagePolish, text), QStringLiteral("Kabel USB odłączony"));
    EXPECT_EQ(In(kLanguageEnglish, text), QStringLiteral("USB cable disconnected"));
    EXPECT_EQ(In(kLanguageGerman, text), QStringLiteral("Der USB-Kabel getrennt"));
    EXPECT_EQ(tr.GetCurrentText(), QStringLiteral("Der USB-Kabel getrennt"));
    // Any other language name, an id the table lacks, or one beyond its range
    // (which must not reach into the other language) shows the Polish wording.
    EXPECT_EQ(In(QStringLiteral("Francais"), text), QStringLiteral("Kabel USB odłączony"));
    for (const QString& lang : languages) {
        EXPECT_EQ(In(lang, QStringLiteral("[311]Lp")), QStringLiteral("Lp"));
        EXPECT_EQ(In(lang, QStringLiteral("[10001]Zmień")), QStringLiteral("Zmień"));
    }
    // The id ends at the first "]"; a bare id is empty in Polish.
    EXPECT_EQ(In(kLanguagePolish, QStringLiteral("[1002]Kabel ] x")), QStringLiteral("Kabel ] x"));
    EXPECT_EQ(In(kLanguageEnglish, QStringLiteral("[1002]Kabel ] x")), QStringLiteral("USB cable disconnected"));
    EXPECT_EQ(In(kLanguagePolish, QStringLiteral("[4]")), QString());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TranslatorTest, TextsThatAreNotNumberedComeBackUnchanged) {
    const QString texts[] = {QStringLiteral("[1002Kabel"), QStringLiteral("Kabel [1002]USB"),
                             QStringLiteral("\n"),         QString(),
                             QStringLiteral("[]"),         QStringLiteral("Quorvex v4.6")};
    for (const QString& lang : languages) {
        for (const QString& text : texts) {
            EXPECT_EQ(In(lang, text), text);
            EXPECT_EQ(tr.GetCurrentText(), text);
        }
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TranslatorTest, MalformedIdIsReportedOncePerCallAndTextKept) {
    for (const char* bad : {"[1a]Zmień", "[]Zmień", "[-1]Zmień", "[ 1]Zmień", "[0x1]Zmień", "[99999999999]Zmień"}) {
        const QString text = QString::fromUtf8(bad);
        messages.clear();
        EXPECT_EQ(In(kLanguageEnglish, text), text);
        EXPECT_EQ(messages, QStringList{Translator::kBadIdMessage}) << bad;
    }
    Translator quiet;  // without a handler the fault is only swallowed
    EXPECT_EQ(quiet.Tr(QStringLiteral("[x]y")), QStringLiteral("[x]y"));
}

TEST_F(TranslatorTest, CaptionIsAlwaysTranslatedFromTheFirstOneSeen) {
    QObject button, view;
    tr.SetLanguage(kLanguageEnglish);
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[1]Zmień"), &button), QStringLiteral("Change"));
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[131]Data"), &view, 1), QStringLiteral("Date"));
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[132]Czas"), &view, 2), QStringLiteral("Time"));
    // The caption no longer carries its number, or holds a value set at run time.
    tr.SetLanguage(kLanguageGerman);
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("Change"), &button), QStringLiteral("Ändern"));
    tr.SetLanguage(kLanguagePolish);
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("23,5"), &button), QStringLiteral("Zmień"));
    EXPECT_EQ(tr.TranslateCaption(QStringLiteral("Time"), &view, 2), QStringLiteral("Czas"));
    EXPECT_EQ(tr.FirstCaptionCount(), 3);
}

TEST_F(TranslatorTest, DestroyedComponentIsForgotten) {
    auto view = std::make_unique<QObject>();
    const QObject* address = view.get();
    QObject other;
    tr.TranslateCaption(QStringLiteral("[131]Data"), address, 0);
    tr.TranslateCaption(QStringLiteral("[132]Czas"), address, 1);
    tr.TranslateCaption(QStringLiteral("[130]Zegar"), &other);
    view.reset();
    EXPECT_EQ(tr.FirstCaptionCount(), 1);
    EXPECT_FALSE(tr.Remembers(address, 0));
    EXPECT_TRUE(tr.Remembers(&other));
    // A translator destroyed first leaves its components' destruction harmless.
    QObject survivor;
    auto shortLived = std::make_unique<Translator>();
    shortLived->TranslateCaption(QStringLiteral("[1]Zmień"), &survivor);
    shortLived.reset();
}

TEST(TranslateLanguage, UnknownNamesBecomePolishAndIdsAreDecimal) {
    EXPECT_EQ(NormalizeLanguage(kLanguageEnglish), kLanguageEnglish);
    EXPECT_EQ(NormalizeLanguage(kLanguageGerman), kLanguageGerman);
    for (const char* name : {"Polski", "Francais", "", "angielski", "Angielski "})
        EXPECT_EQ(NormalizeLanguage(QString::fromUtf8(name)), kLanguagePolish) << name;
    EXPECT_EQ(ParseTextId(u"007"), 7);
    EXPECT_FALSE(ParseTextId(u"١٢").has_value());  // digits of another script
}

}  // namespace
}  // namespace quorvex
