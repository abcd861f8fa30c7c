#include "i18n/Translator.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

#include "ProgramTextsScope.h"

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

TEST(CountText, EachLanguageAgreesWithTheCount) {
    const QString records = QStringLiteral("[2705]%1 log|%1 logi|%1 logów");
    struct Case {
        qint64 count;
        const char* polish;
        const char* english;
        const char* german;
    };
    // Polish: 1; 2-4 but not 12-14, in every hundred; every other count. English and German: 1; other.
    const Case cases[] = {
        {0, "0 logów", "0 records", "0 Datensätze"},         {1, "1 log", "1 record", "1 Datensatz"},
        {2, "2 logi", "2 records", "2 Datensätze"},          {4, "4 logi", "4 records", "4 Datensätze"},
        {5, "5 logów", "5 records", "5 Datensätze"},         {11, "11 logów", "11 records", "11 Datensätze"},
        {12, "12 logów", "12 records", "12 Datensätze"},     {14, "14 logów", "14 records", "14 Datensätze"},
        {21, "21 logów", "21 records", "21 Datensätze"},     {22, "22 logi", "22 records", "22 Datensätze"},
        {112, "112 logów", "112 records", "112 Datensätze"}, {1004, "1004 logi", "1004 records", "1004 Datensätze"},
    };
    test::ProgramTextsScope texts;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        texts.SetLanguage(kLanguagePolish);
        EXPECT_EQ(CountText(records, c.count), QString::fromUtf8(c.polish));
        texts.SetLanguage(kLanguageEnglish);
        EXPECT_EQ(CountText(records, c.count), QString::fromUtf8(c.english));
        texts.SetLanguage(kLanguageGerman);
        EXPECT_EQ(CountText(records, c.count), QString::fromUtf8(c.german));
    }
    // What stands for the count is shown in its place; further values stay for arg().
    texts.SetLanguage(kLanguageEnglish);
    EXPECT_EQ(CountText(records, 250, QStringLiteral("124/250")), QStringLiteral("124/250 records"));
    EXPECT_EQ(CountText(QStringLiteral("[2482]Pobrano %1 nowy, razem %2|Pobrano %1 nowe, razem %2|"
                                       "Pobrano %1 nowych, razem %2"),
                        1)
                  .arg(CountText(records, 1)),
              QStringLiteral("Downloaded 1 new, 1 record in all"));
    // A text of one wording is taken as it is.
    EXPECT_EQ(CountForm(QStringLiteral("%1 s"), 2).arg(2), QStringLiteral("2 s"));
}

}  // namespace
}  // namespace quorvex
