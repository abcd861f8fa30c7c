#include "i18n/Translate.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

namespace quorvex {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  TranslateTest() {
    tr.SetMessageHandler([this](const QString& m) { messages << m; });
  }
  QString In(const QString& language, const QString& text) {
    tr.SetLanguage(language);
    return tr.Tr(text);
  }
  MTranslate tr;
  QStringList messages;
};

TEST_F(TranslateTest, NumberedTextInEachLanguage) {
  const QString text = QStringLiteral("[1002]Kabel USB odłączony");
  EXPECT_EQ(In(kLanguagePolish, text), QStringLiteral("Kabel USB odłączony"));
  EXPECT_EQ(In(kLanguageEnglish, text), QStringLiteral("USB cable disconnected"));
  EXPECT_EQ(In(kLanguageGerman, text), QStringLiteral("Der USB-Kabel getrennt"));
  EXPECT_EQ(tr.GetCurrentText(), QStringLiteral("Der USB-Kabel getrennt"));
  // Any other language name keeps the Polish wording.
  EXPECT_EQ(In(QStringLiteral("Francais"), text), QStringLiteral("Kabel USB odłączony"));
  EXPECT_EQ(In(QString(), text), QStringLiteral("Kabel USB odłączony"));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TranslateTest, IdWithoutTranslationShowsPolishEverywhere) {
  for (const QString& lang : {kLanguagePolish, kLanguageEnglish, kLanguageGerman}) {
    EXPECT_EQ(In(lang, QStringLiteral("[311]Lp")), QStringLiteral("Lp")) << lang.toStdString();
    EXPECT_EQ(In(lang, QStringLiteral("[330]Status")), QStringLiteral("Status"));
  }
  // Ids beyond the table's range never borrow the other language's resources.
  EXPECT_EQ(In(kLanguageEnglish, QStringLiteral("[10001]Zmień")), QStringLiteral("Zmień"));
  EXPECT_EQ(In(kLanguageGerman, QStringLiteral("[2147483647]Duży")), QStringLiteral("Duży"));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TranslateTest, TextsThatAreNotNumberedComeBackUnchanged) {
  const QString texts[] = {
      QStringLiteral("[1002Kabel"),          // no closing bracket
      QStringLiteral("Kabel [1002]USB"),     // bracket not at the start
      QStringLiteral("\n"), QString(), QStringLiteral("[]"), QStringLiteral("[1"),
      QStringLiteral("Quorvex v4.6"), QStringLiteral("/dev/ttyUSB0"),
  };
  for (const QString& lang : {kLanguagePolish, kLanguageEnglish, kLanguageGerman}) {
    for (const QString& text : texts) {
      EXPECT_EQ(In(lang, text), text);
      EXPECT_EQ(tr.GetCurrentText(), text);
    }
  }
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TranslateTest, MalformedIdIsReportedOncePerCallAndTextKept) {
  const QString bad[] = {QStringLiteral("[1a]Zmień"), QStringLiteral("[]Zmień"),
                         QStringLiteral("[-1]Zmień"), QStringLiteral("[ 1]Zmień"),
                         QStringLiteral("[99999999999]Zmień")};
  for (const QString& text : bad) {
    messages.clear();
    EXPECT_EQ(In(kLanguageEnglish, text), text);
    ASSERT_EQ(messages.size(), 1) << text.toStdString();
    EXPECT_EQ(messages.front(), MTranslate::kBadIdMessage);
  }
  // Without a handler the fault is only swallowed, never a crash.
  MTranslate quiet;
  quiet.SetLanguage(kLanguageGerman);
  EXPECT_EQ(quiet.Tr(QStringLiteral("[x]y")), QStringLiteral("[x]y"));
}

TEST_F(TranslateTest, IdEndsAtTheFirstClosingBracket) {
  const QString text = QStringLiteral("[1002]Kabel ] odłączony");
  EXPECT_EQ(In(kLanguagePolish, text), QStringLiteral("Kabel ] odłączony"));
  EXPECT_EQ(In(kLanguageEnglish, text), QStringLiteral("USB cable disconnected"));
  // An id with nothing after it still translates; in Polish it is empty.
  EXPECT_EQ(In(kLanguagePolish, QStringLiteral("[4]")), QString());
  EXPECT_EQ(In(kLanguageGerman, QStringLiteral("[4]")), QStringLiteral("Stop"));
}

TEST_F(TranslateTest, LookupTextByLanguage) {
  const QString polish = QStringLiteral("Zegar");
  EXPECT_EQ(MTranslate::LookupText(kLanguagePolish, polish, 130), polish);
  EXPECT_EQ(MTranslate::LookupText(kLanguagePolish, polish, 311), polish);
  EXPECT_EQ(MTranslate::LookupText(kLanguageEnglish, polish, 130), QStringLiteral("Clock"));
  EXPECT_EQ(MTranslate::LookupText(kLanguageGerman, polish, 130), QStringLiteral("Uhr"));
  EXPECT_TRUE(MTranslate::LookupText(kLanguageGerman, polish, 311).isEmpty());
  EXPECT_TRUE(MTranslate::LookupText(QStringLiteral("polski"), polish, 130).isEmpty());
}

TEST_F(TranslateTest, CaptionIsAlwaysTranslatedFromTheFirstOneSeen) {
  QObject button;
  tr.SetLanguage(kLanguageEnglish);
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[1]Zmień"), &button), QStringLiteral("Change"));
  // After the switch the caption no longer carries its number...
  tr.SetLanguage(kLanguageGerman);
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("Change"), &button), QStringLiteral("Ändern"));
  // ...and a value written into it at run time is replaced as well.
  tr.SetLanguage(kLanguagePolish);
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("23,5"), &button), QStringLiteral("Zmień"));
  EXPECT_EQ(tr.FirstCaptionCount(), 1);

  // Columns of one view are separate components.
  QObject view;
  tr.SetLanguage(kLanguageEnglish);
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[131]Data"), &view, 1), QStringLiteral("Date"));
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("[132]Czas"), &view, 2), QStringLiteral("Time"));
  EXPECT_EQ(tr.TranslateCaption(QStringLiteral("Date"), &view, 1), QStringLiteral("Date"));
  EXPECT_TRUE(tr.Remembers(&view, 2));
  EXPECT_FALSE(tr.Remembers(&view));
  EXPECT_EQ(tr.FirstCaptionCount(), 3);
}

TEST_F(TranslateTest, DestroyedComponentIsForgotten) {
  tr.SetLanguage(kLanguageEnglish);
  auto view = std::make_unique<QObject>();
  const QObject* address = view.get();
  tr.TranslateCaption(QStringLiteral("[131]Data"), address, 0);
  tr.TranslateCaption(QStringLiteral("[132]Czas"), address, 1);
  QObject other;
  tr.TranslateCaption(QStringLiteral("[130]Zegar"), &other);
  ASSERT_EQ(tr.FirstCaptionCount(), 3);
  view.reset();
  EXPECT_EQ(tr.FirstCaptionCount(), 1);
  EXPECT_FALSE(tr.Remembers(address, 0));
  EXPECT_TRUE(tr.Remembers(&other));
  // A translator that goes first leaves the components' destruction harmless.
  auto shortLived = std::make_unique<MTranslate>();
  QObject survivor;
  shortLived->TranslateCaption(QStringLiteral("[1]Zmień"), &survivor);
  shortLived.reset();
}

TEST(TranslateLanguage, UnknownNamesBecomePolish) {
  EXPECT_EQ(NormalizeLanguage(kLanguageEnglish), kLanguageEnglish);
  EXPECT_EQ(NormalizeLanguage(kLanguageGerman), kLanguageGerman);
  EXPECT_EQ(NormalizeLanguage(kLanguagePolish), kLanguagePolish);
  for (const char* name : {"Francais", "", "angielski", "Angielski "})
    EXPECT_EQ(NormalizeLanguage(QString::fromUtf8(name)), kLanguagePolish) << name;
}

TEST(TranslateLanguage, TextIdParsing) {
  EXPECT_EQ(ParseTextId(u"1054"), 1054);
  EXPECT_EQ(ParseTextId(u"007"), 7);
  EXPECT_EQ(ParseTextId(u"-1"), -1);
  for (QStringView bad : {u"", u"-", u"1a", u" 1", u"1 ", u"0x10", u"99999999999", u"١٢"})
    EXPECT_FALSE(ParseTextId(bad).has_value()) << bad.toString().toStdString();
}

}  // namespace
}  // namespace quorvex
