// The clock dialog driven offscreen: what it follows, what one save queues,
// and what the simulated logger's clock holds after those requests ran.
#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>

#include "DialogTestSupport.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/Formzegar.h"

namespace quorvex {
namespace {

using dialogtest::DialogFixture;

class DialogZegar : public DialogFixture {
protected:
    // Opens the dialog with the computer clock at `computer` (local time).
    void Open(const QDateTime& computer = QDateTime(QDate(2015, 3, 30), QTime(15, 30, 45)))
    {
        form.ComputerClock = [computer] { return computer; };
        form.show();
    }
    void Save() { form.ButtonSave->click(); }
    QDateTime LoggerClock()
    {
        const std::uint16_t r2 = logger->Register(2), r3 = logger->Register(3), r4 = logger->Register(4);
        return QDateTime(QDate(logger->Register(1), r2 >> 8, r2 & 0xFF), QTime(r3 >> 8, r3 & 0xFF, r4 >> 8));
    }

    TFormZegar1 form{model};
};

TEST_F(DialogZegar, OpensOnTheLoggerClockAndSavingAtOnceWritesNothingInEveryLocale)
{
    for (const char* name : test::kLocales) {
        test::LocaleGuard guard(name);
        Poll();
        Open();
        EXPECT_TRUE(form.CheckBoxLoggerTime->isChecked()) << name;
        EXPECT_FALSE(form.CheckBoxComputerTime->isChecked()) << name;
        EXPECT_EQ(form.DateTimeAktualnaData->date(), QDate(2015, 3, 30)) << name;
        EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(12, 0, 0)) << name;
        EXPECT_EQ(form.ShownDateText(), DateText(2015, 3, 30)) << name;
        Save();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_TRUE(Requests().isEmpty()) << name << ": " << Requests().join(u' ').toStdString();
    }
}

TEST_F(DialogZegar, ComputerClockOnTheSameDayWritesOnlyTheTime)
{
    Poll();
    Open();
    form.CheckBoxComputerTime->click();
    EXPECT_FALSE(form.CheckBoxLoggerTime->isChecked());
    EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(15, 30, 45));
    Save();
    // Low byte of register 4 is the logger's own (0 here), kept as read.
    EXPECT_EQ(Requests(), QStringList({"w3=0f1e,2d00", "r3+2"}));
    EXPECT_TRUE(model.Param<CCurrentTime>().Empty);
    EXPECT_EQ(model.Param<CCurrentTime>().GetText(), QString());
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2015, 3, 30), QTime(15, 30, 45)));
    EXPECT_EQ(model.Param<CCurrentTime>().GetText(), TimeText(15, 30, 45));
}

TEST_F(DialogZegar, ComputerClockOnAnotherDayWritesDateThenTime)
{
    Poll();
    Open(QDateTime(QDate(2016, 2, 29), QTime(23, 59, 58)));
    form.CheckBoxComputerTime->click();
    Save();
    EXPECT_EQ(Requests(), QStringList({"w1=07e0,021d", "r1+2", "w3=173b,3a00", "r3+2"}));
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2016, 2, 29), QTime(23, 59, 58)));
    EXPECT_EQ(model.Param<CCurrentDate>().GetText(), DateText(2016, 2, 29));
}

TEST_F(DialogZegar, TimerFollowsTheTickedClockUntilTheOperatorEditsAPicker)
{
    Poll();
    Open();
    // The logger's clock moves on: the next poll and the next tick show it.
    logger->Clock().Set(logger->Clock().NowMs() + 61'000);
    Poll();
    form.Timer1Timer();
    EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(12, 1, 1));

    form.DateTimeAktualnyCzas->setTime(QTime(8, 15, 0));  // as an edit by the operator
    EXPECT_FALSE(form.CheckBoxLoggerTime->isChecked());
    EXPECT_FALSE(form.CheckBoxComputerTime->isChecked());
    logger->Clock().Set(logger->Clock().NowMs() + 5'000);
    Poll();
    form.Timer1Timer();
    EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(8, 15, 0));
    Save();
    EXPECT_EQ(Requests(), QStringList({"w3=080f,0000", "r3+2"}));

    // Reopened after the read-back, it follows the logger again, whatever the boxes were.
    Run();
    Open();
    EXPECT_TRUE(form.CheckBoxLoggerTime->isChecked());
    EXPECT_EQ(form.ShownTimeText(), TimeText(8, 15, 0));
}

TEST_F(DialogZegar, UnreadLoggerClockOpensOnTheComputerClockAndWritesBoth)
{
    Open(QDateTime(QDate(2015, 3, 30), QTime(9, 5, 7)));
    EXPECT_TRUE(form.CheckBoxComputerTime->isChecked());
    EXPECT_FALSE(form.CheckBoxLoggerTime->isChecked());
    EXPECT_EQ(form.DateTimeAktualnaData->date(), QDate(2015, 3, 30));
    EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(9, 5, 7));
    // Ticking the logger box while the texts are empty changes nothing shown.
    form.CheckBoxLoggerTime->click();
    EXPECT_EQ(form.DateTimeAktualnyCzas->time(), QTime(9, 5, 7));
    Save();
    // Register 4's low byte was never received: it goes out as the 0xFF it holds.
    EXPECT_EQ(Requests(), QStringList({"w1=07df,031e", "r1+2", "w3=0905,07ff", "r3+2"}));
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2015, 3, 30), QTime(9, 5, 7)));
}

TEST_F(DialogZegar, CancelWritesNothing)
{
    Poll();
    Open();
    form.CheckBoxComputerTime->click();
    form.ButtonClose->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(queued.empty());
}

}  // namespace
}  // namespace quorvex
