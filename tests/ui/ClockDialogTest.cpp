// The clock dialog offscreen: what it follows, what one save queues, and the
// simulated logger's clock after those requests ran.
#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>

#include "DialogTestSupport.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/ClockDialog.h"

namespace quorvex {
namespace {

class ClockDialogTest : public test::DialogFixture {
protected:
    void Open(QTime computerTime = QTime(15, 30, 45), QDate computerDate = QDate(2015, 3, 30)) {
        form.ComputerClock = [=] { return QDateTime(computerDate, computerTime); };
        form.show();
    }
    QDateTime LoggerClock() {
        const std::uint16_t r2 = logger->Register(2), r3 = logger->Register(3), r4 = logger->Register(4);
        return QDateTime(QDate(logger->Register(1), r2 >> 8, r2 & 0xFF), QTime(r3 >> 8, r3 & 0xFF, r4 >> 8));
    }
    ClockDialog form{model};
};

TEST_F(ClockDialogTest, SavingAtOnceWritesNothingInEveryLocale) {
    for (const char* name : test::kLocales) {
        test::LocaleGuard guard(name);
        Poll();
        Open();
        EXPECT_TRUE(form.loggerTimeCheck->isChecked() && !form.computerTimeCheck->isChecked()) << name;
        EXPECT_EQ(QDateTime(form.dateEdit->date(), form.timeEdit->time()), QDateTime(QDate(2015, 3, 30), QTime(12, 0)))
            << name;
        form.saveButton->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(Requests(), QStringList()) << name;
    }
}

TEST_F(ClockDialogTest, ComputerClockWritesTheTimeAndOnAnotherDayTheDateFirst) {
    Poll();
    Open();
    form.computerTimeCheck->click();
    EXPECT_FALSE(form.loggerTimeCheck->isChecked());
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"w3=0f1e,2d00", "r3+2"}));
    EXPECT_EQ(model.Param<CurrentTime>().GetText(), QString());  // until the read-back
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2015, 3, 30), QTime(15, 30, 45)));
    EXPECT_EQ(model.Param<CurrentTime>().GetText(), TimeText(15, 30, 45));

    Open(QTime(23, 59, 58), QDate(2016, 2, 29));
    form.computerTimeCheck->click();
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"w1=07e0,021d", "r1+2", "w3=173b,3a00", "r3+2"}));
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2016, 2, 29), QTime(23, 59, 58)));
}

TEST_F(ClockDialogTest, TimerFollowsTheLoggerUntilTheOperatorEditsAPicker) {
    Poll();
    EXPECT_FALSE(form.pollTimer->isActive());  // hidden, it does not wake the program
    Open();
    EXPECT_TRUE(form.pollTimer->isActive());
    logger->Clock().Set(logger->Clock().NowMs() + 61'000);
    Poll();
    form.onPollTimer();
    EXPECT_EQ(form.timeEdit->time(), QTime(12, 1, 1));

    form.timeEdit->setTime(QTime(8, 15, 0));  // as the operator does
    EXPECT_FALSE(form.loggerTimeCheck->isChecked() || form.computerTimeCheck->isChecked());
    logger->Clock().Set(logger->Clock().NowMs() + 5'000);
    Poll();
    form.onPollTimer();
    EXPECT_EQ(form.timeEdit->time(), QTime(8, 15, 0));
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"w3=080f,0000", "r3+2"}));
    EXPECT_FALSE(form.pollTimer->isActive());
}

TEST_F(ClockDialogTest, UnreadLoggerClockOpensOnTheComputerClockAndWritesBoth) {
    Open(QTime(9, 5, 7));
    EXPECT_TRUE(form.computerTimeCheck->isChecked() && !form.loggerTimeCheck->isChecked());
    EXPECT_EQ(form.timeEdit->time(), QTime(9, 5, 7));
    form.saveButton->click();
    // Register 4's low byte was never received: it goes out as the 0xFF it holds.
    EXPECT_EQ(Requests(), QStringList({"w1=07df,031e", "r1+2", "w3=0905,07ff", "r3+2"}));
    Run();
    EXPECT_EQ(LoggerClock(), QDateTime(QDate(2015, 3, 30), QTime(9, 5, 7)));
}

}  // namespace
}  // namespace quorvex
