// The logger name dialog offscreen: the eleven two-register writes and the
// read-back of one save, the edit's limit, and the simulated logger's name
// after the requests ran.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTestSupport.h"
#include "params/Cp1250.h"
#include "ui/dialogs/LoggerNameDialog.h"

namespace quorvex {
namespace {

const QString k45 = QStringLiteral("Chłodnia nr 3 – magazyn próbek, Łódź, hala B1");

// What saving `name` must queue: words of its Windows-1250 bytes, zero-padded, two a write.
QStringList Expected(const QString& name) {
    QByteArray b = ToCp1250(name);
    b.resize(44, '\0');
    QStringList out;
    for (int k = 0; k < 44; k += 4)
        out << QStringLiteral("w%1=%2,%3")
                   .arg(256 + k / 2)
                   .arg(QString::fromLatin1(b.mid(k, 2).toHex()), QString::fromLatin1(b.mid(k + 2, 2).toHex()));
    return out << QStringLiteral("r256+22");
}

class LoggerNameDialogTest : public test::DialogFixture {
protected:
    explicit LoggerNameDialogTest(const std::string& name = "Chłodnia 3") : DialogFixture(test::MakeScenario(name)) {}
    void Key(const QString& text, int key = 0) {
        for (QChar c : text.isEmpty() ? QString(u' ') : text) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key ? QString() : QString(c));
            QApplication::sendEvent(form.nameEdit, &press);
        }
    }
    LoggerNameDialog form{model};
};

TEST_F(LoggerNameDialogTest, PolishNameGoesOutAsWindows1250PairsAndComesBack) {
    Poll();
    form.show();
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList());  // unchanged

    const QString name = QStringLiteral("Źródło żółć");
    form.show();
    form.nameEdit->setText(name);
    form.saveButton->click();
    EXPECT_EQ(Requests(), Expected(name));
    EXPECT_EQ(queued.front().Values.front(), 0x8F72);  // "Źr"
    EXPECT_EQ(model.Param<LoggerName>().FirstRegister, 256);
    EXPECT_EQ(model.Param<LoggerName>().GetText(), QString());  // until the read-back
    Run();
    Poll();
    EXPECT_EQ(model.Param<LoggerName>().GetText(), name);

    form.show();
    form.nameEdit->clear();
    form.saveButton->click();
    EXPECT_EQ(Requests(), Expected(QString()));
    Run();
    EXPECT_EQ(logger->Register(256), 0);
}

TEST_F(LoggerNameDialogTest, EditTakesFortyThreeCharactersTheLoggerCanKeep) {
    Poll();
    form.show();
    form.nameEdit->clear();
    Key(QStringLiteral("A中€"));  // no Windows-1250 byte: it would arrive as '?'
    EXPECT_EQ(form.nameEdit->text(), QStringLiteral("A€"));
    form.nameEdit->clear();
    Key(k45);
    EXPECT_EQ(form.nameEdit->text(), k45.left(43));
    form.saveButton->click();
    EXPECT_EQ(Requests(), Expected(k45.left(43)));
}

class LoggerNameDialogLongName : public LoggerNameDialogTest {
protected:
    LoggerNameDialogLongName() : LoggerNameDialogTest(k45.toStdString()) {}
};

TEST_F(LoggerNameDialogLongName, FortyFiveCharactersShowWholeAndMayOnlyBeShortened) {
    Poll();
    form.show();
    EXPECT_EQ(form.nameEdit->text(), k45);
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList());

    form.show();
    form.nameEdit->end(false);
    Key({}, Qt::Key_Backspace);
    Key(QStringLiteral("Z"));
    EXPECT_EQ(form.nameEdit->text(), k45.left(44));
    // 44 would leave the logger's 45th byte (register 278, not written) behind them.
    EXPECT_FALSE(form.saveButton->isEnabled());
    Key({}, Qt::Key_Backspace);
    form.saveButton->click();
    EXPECT_EQ(Requests(), Expected(k45.left(43)));
    Run();
    Poll();  // the poll reads register 278 too
    EXPECT_EQ(model.Param<LoggerName>().GetText(), k45.left(43));
}

}  // namespace
}  // namespace quorvex
