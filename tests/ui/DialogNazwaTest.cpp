// The logger name dialog driven offscreen: the eleven two-register writes and
// the read-back one save queues, the 44-character limit of the edit, and the
// simulated logger's name registers after the requests ran.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "DialogTestSupport.h"
#include "params/Cp1250.h"
#include "ui/dialogs/Formnazwa.h"

namespace quorvex {
namespace {

using dialogtest::DefaultScenario;
using dialogtest::DialogFixture;

const QString k45 = QStringLiteral("Chłodnia nr 3 – magazyn próbek, Łódź, hala B1");  // 45 characters

// The requests a save of `bytes` must queue: 11 writes of two words, then the read-back.
QStringList Expected(const QByteArray& bytes)
{
    QByteArray padded = bytes;
    padded.resize(44, '\0');
    QStringList out;
    for (int k = 0; k < 22; k += 2) {
        auto word = [&](int i) {
            return QStringLiteral("%1%2")
                .arg(static_cast<std::uint8_t>(padded[2 * i]), 2, 16, QChar(u'0'))
                .arg(static_cast<std::uint8_t>(padded[2 * i + 1]), 2, 16, QChar(u'0'));
        };
        out << QStringLiteral("w%1=%2,%3").arg(256 + k).arg(word(k)).arg(word(k + 1));
    }
    out << QStringLiteral("r256+22");
    return out;
}

class DialogNazwa : public DialogFixture {
protected:
    DialogNazwa() : DialogFixture(DefaultScenario()) {}
    void SaveName(const QString& text)
    {
        form.show();
        form.EditNazwa->setText(text);
        form.ButtonSave->click();
    }
    QByteArray LoggerNameBytes()
    {
        QByteArray out;
        for (int r = 256; r <= 278; ++r) {
            out.append(static_cast<char>(logger->Register(static_cast<std::uint16_t>(r)) >> 8));
            out.append(static_cast<char>(logger->Register(static_cast<std::uint16_t>(r)) & 0xFF));
        }
        return out.left(out.indexOf('\0'));
    }
    void Type(const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(form.EditNazwa, &press);
        }
    }

    TFormNazwa1 form{model};
};

TEST_F(DialogNazwa, UnchangedNameSendsNothing)
{
    Poll();
    form.show();
    EXPECT_EQ(form.EditNazwa->text(), QStringLiteral("Chłodnia 3"));
    form.ButtonSave->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(queued.empty());
}

TEST_F(DialogNazwa, PolishNameGoesOutAsWindows1250PairsAndComesBack)
{
    Poll();
    const QString name = QStringLiteral("Źródło żółć");  // 11 characters, 11 bytes
    SaveName(name);
    EXPECT_EQ(Requests(), Expected(ToCp1250(name)));
    // "Źr" = 0x8F 0x72: the first write's first word.
    EXPECT_EQ(queued.front().Values.front(), 0x8F72);
    EXPECT_EQ(model.Param<CLoggerName>().FirstRegister, 256);
    EXPECT_EQ(model.Param<CLoggerName>().GetText(), QString());  // until the read-back arrives
    Run();
    EXPECT_EQ(FromCp1250(LoggerNameBytes()), name);
    EXPECT_EQ(model.Param<CLoggerName>().GetText(), name);
}

TEST_F(DialogNazwa, EmptyNameWritesZeroWords)
{
    Poll();
    SaveName(QString());
    EXPECT_EQ(Requests(), Expected({}));
    Run();
    EXPECT_TRUE(LoggerNameBytes().isEmpty());
    EXPECT_EQ(model.Param<CLoggerName>().GetText(), QString());
    EXPECT_FALSE(model.Param<CLoggerName>().Empty);
}

TEST_F(DialogNazwa, EditTakesFortyThreeCharactersTheLoggerCanKeep)
{
    Poll();
    form.show();
    form.EditNazwa->clear();
    Type(k45);
    EXPECT_EQ(form.EditNazwa->text(), k45.left(43));  // the 44th and 45th keystrokes are refused

    // Characters without a Windows-1250 byte would reach the logger as '?'.
    form.EditNazwa->clear();
    Type(QStringLiteral("A中€"));
    EXPECT_EQ(form.EditNazwa->text(), QStringLiteral("A€"));

    form.EditNazwa->setText(k45.left(43));
    form.ButtonSave->click();
    EXPECT_EQ(Requests(), Expected(ToCp1250(k45.left(43))));
    Run();
    Poll();  // the poll reads register 278 too
    EXPECT_EQ(FromCp1250(LoggerNameBytes()), k45.left(43));
    EXPECT_EQ(model.Param<CLoggerName>().GetText(), k45.left(43));
}

class DialogNazwaLongName : public DialogFixture {
protected:
    DialogNazwaLongName() : DialogFixture(DefaultScenario("name = " + k45.toStdString() + "\n")) {}
    void Key(int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(form.EditNazwa, &press);
    }
    TFormNazwa1 form{model};
};

TEST_F(DialogNazwaLongName, FortyFiveCharacterNameShowsWholeAndMayOnlyBeShortened)
{
    Poll();
    form.show();
    ASSERT_EQ(model.Param<CLoggerName>().GetText(), k45);
    EXPECT_EQ(form.EditNazwa->text(), k45);
    EXPECT_TRUE(form.ButtonSave->isEnabled());
    form.ButtonSave->click();
    EXPECT_TRUE(queued.empty());

    form.show();
    form.EditNazwa->end(false);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(form.EditNazwa->text(), k45.left(44));
    // 44 characters would leave the logger's 45th byte behind them: no save yet.
    EXPECT_FALSE(form.ButtonSave->isEnabled());
    form.ButtonSave->click();
    EXPECT_TRUE(queued.empty());
    Key(0, QStringLiteral("Z"));
    EXPECT_EQ(form.EditNazwa->text(), k45.left(44));
    Key(Qt::Key_Backspace);
    EXPECT_TRUE(form.ButtonSave->isEnabled());
    form.ButtonSave->click();
    ASSERT_EQ(Requests(), Expected(ToCp1250(k45.left(43))));
    Run();
    Poll();
    EXPECT_EQ(model.Param<CLoggerName>().GetText(), k45.left(43));

    // Reopened on the short name, the button is enabled again.
    form.show();
    EXPECT_TRUE(form.ButtonSave->isEnabled());
}

}  // namespace
}  // namespace quorvex
