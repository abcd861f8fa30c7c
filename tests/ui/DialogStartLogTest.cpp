// The start-of-logging dialog driven offscreen: the radio buttons it selects,
// what one save queues (command registers, register 0 read twice, start
// moment), and the simulated logger's registers after the requests ran.
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "DialogTestSupport.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/Formstartlog.h"

namespace quorvex {
namespace {

using dialogtest::DialogFixture;

const QStringList kReadBacks = {"r0+1", "r0+1"};

class DialogStartLog : public DialogFixture {
protected:
    DialogStartLog()
    {
        // What the screen would show at the moment of each request.
        EnqueueHook = [this](const MstrRamka& r) {
            queued.push_back(r);
            startApplicable.push_back(model.Param<CLogStartDate>().Applicable);
        };
    }
    QList<QRadioButton*> Checked() const
    {
        QList<QRadioButton*> out;
        for (QRadioButton* b : {form.RadioButtonSU1, form.RadioButtonSU2, form.RadioButtonSU3, form.RadioButtonPZ1,
                                form.RadioButtonPZ2})
            if (b->isChecked()) out << b;
        return out;
    }
    void Save() { form.ButtonSave->click(); }

    std::vector<bool> startApplicable;
    TFormStartLog1 form{model};
};

TEST_F(DialogStartLog, UnchangedSaveReadsRegisterZeroTwice)
{
    for (const char* name : test::kLocales) {
        test::LocaleGuard guard(name);
        Poll();
        form.show();
        EXPECT_EQ(Checked(), QList<QRadioButton*>({form.RadioButtonSU2, form.RadioButtonPZ1})) << name;
        EXPECT_EQ(form.ChosenStartMode(), 1);
        EXPECT_EQ(form.ChosenOverwrite(), 0);
        EXPECT_EQ(form.DateTimeAktualnaData->date(), QDate(2015, 3, 1)) << name;
        EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(8, 30, 0)) << name;
        EXPECT_EQ(form.DateTimeAktualnyCzas->text(), QStringLiteral("08h:30min:00s"));
        Save();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(Requests(), kReadBacks) << name;
        Run();
    }
}

TEST_F(DialogStartLog, TimedStartWritesBothModeBitsAndTheStartMoment)
{
    Poll();
    form.show();
    EXPECT_FALSE(model.Param<CLogStartDate>().Applicable);
    form.RadioButtonSU3->click();
    form.DateTimeAktualnaData->setDate(QDate(2015, 4, 2));
    form.DateTimeAktualnyCzas->setTime(QTime(7, 45, 30));
    Save();
    EXPECT_EQ(Requests(), QStringList({"c80=0", "c81=2", "r0+1", "r0+1", "w5=07df,0402", "r5+2", "w7=072d,1e00", "r7+2"}));
    // Applicable as soon as the mode changed, before the logger answered.
    EXPECT_TRUE(startApplicable[0]);
    EXPECT_EQ(model.Mirror()[0], kNotReceived);
    EXPECT_EQ(model.Param<CStartLog>().GetValue(), -1);

    Run();
    EXPECT_EQ(logger->Register(0) & 3, 2);
    EXPECT_EQ(logger->Register(5), 2015);
    EXPECT_EQ(logger->Register(6), 0x0402);
    EXPECT_EQ(logger->Register(7), 0x072D);
    EXPECT_EQ(logger->Register(8) >> 8, 30);
    EXPECT_EQ(model.Param<CStartLog>().GetValue(), 2);
    EXPECT_TRUE(model.Param<CLogStartDate>().Applicable);
    EXPECT_EQ(model.Param<CLogStartTime>().GetText(), TimeText(7, 45, 30));
}

TEST_F(DialogStartLog, OverwriteWritesRegister83AndBack)
{
    Poll();
    form.show();
    form.RadioButtonPZ2->click();
    Save();
    EXPECT_EQ(Requests(), QStringList({"c83=8", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 0x000B, 0x0009);  // mode 1 kept, overwrite on
    EXPECT_EQ(model.Param<CWrapArround>().GetValue(), 1);

    form.show();
    EXPECT_EQ(Checked(), QList<QRadioButton*>({form.RadioButtonSU2, form.RadioButtonPZ2}));
    form.RadioButtonPZ1->click();
    form.RadioButtonSU1->click();
    Save();
    EXPECT_EQ(Requests(), QStringList({"c80=0", "c81=0", "c83=0", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 0x000B, 0);
}

TEST_F(DialogStartLog, UnreadRegisterZeroSelectsNothingAndWritesOnlyWhatIsClicked)
{
    Poll();
    model.Param<CStartLog>().Invalidate();
    form.show();
    EXPECT_TRUE(Checked().isEmpty());
    EXPECT_EQ(form.CurrentStartMode(), -1);
    EXPECT_EQ(form.CurrentOverwrite(), -1);
    Save();
    EXPECT_EQ(Requests(), kReadBacks);
    Run();
    EXPECT_EQ(model.Param<CStartLog>().GetValue(), 1);

    model.Param<CStartLog>().Invalidate();
    form.show();
    form.RadioButtonSU1->click();
    Save();
    EXPECT_EQ(Requests(), QStringList({"c80=0", "c81=0", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 3, 0);
}

TEST_F(DialogStartLog, UnreadStartMomentShowsNowAndIsWritten)
{
    Poll();
    model.Param<CLogStartTime>().Invalidate();
    const QDateTime before = QDateTime::currentDateTime();
    form.show();
    const QDateTime shown(form.DateTimeAktualnaData->date(), form.DateTimeAktualnyCzas->time());
    EXPECT_LE(std::abs(before.secsTo(shown)), 2);
    Save();
    ASSERT_EQ(queued.size(), 6u);
    EXPECT_EQ(Requests().mid(3, 1), QStringList({"r5+2"}));
    EXPECT_EQ(Requests().last(), QStringLiteral("r7+2"));
    Run();
    EXPECT_EQ(model.Param<CLogStartDate>().GetText(), DateText(shown.date().year(), shown.date().month(), shown.date().day()));
}

TEST_F(DialogStartLog, OnlyTheChangedTimeIsWritten)
{
    Poll();
    form.show();
    form.DateTimeAktualnyCzas->setTime(QTime(8, 30, 1));
    Save();
    EXPECT_EQ(Requests(), QStringList({"r0+1", "r0+1", "w7=081e,0100", "r7+2"}));
}

}  // namespace
}  // namespace quorvex
