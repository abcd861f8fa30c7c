// The start-of-logging dialog offscreen: the radio buttons it selects, what
// one save queues, and the simulated logger's registers after the requests ran.
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "DialogTestSupport.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/StartDialog.h"

namespace quorvex {
namespace {

const QStringList kReadBacks = {"r0+1", "r0+1"};

class StartDialogTest : public test::DialogFixture {
protected:
    QList<QRadioButton*> Checked() const {
        QList<QRadioButton*> out;
        for (QRadioButton* b : form.findChildren<QRadioButton*>())
            if (b->isChecked()) out << b;
        return out;
    }
    StartDialog form{model};
};

TEST_F(StartDialogTest, TimedStartWritesBothModeBitsAndTheStartMoment) {
    Poll();
    form.show();
    EXPECT_EQ(Checked(), QList<QRadioButton*>({form.immediateStartRadio, form.stopWhenFullRadio}));
    EXPECT_EQ(form.timeEdit->text(), QStringLiteral("08h:30min:00s"));
    form.saveButton->click();
    EXPECT_EQ(Requests(), kReadBacks);  // unchanged
    Run();

    bool applicableAtWrite = false;
    LoggerChannel channel;
    channel.enqueue = [&](const Request& r) {
        queued.push_back(r);
        applicableAtWrite |= r.StartRegister == 80 && model.Param<LogStartDate>().Applicable;
    };
    model.Connect(std::move(channel));
    form.show();
    form.timedStartRadio->click();
    form.dateEdit->setDate(QDate(2015, 4, 2));
    form.timeEdit->setTime(QTime(7, 45, 30));
    form.saveButton->click();
    EXPECT_EQ(Requests(),
              QStringList({"c80=0", "c81=2", "r0+1", "r0+1", "w5=07df,0402", "r5+2", "w7=072d,1e00", "r7+2"}));
    EXPECT_TRUE(applicableAtWrite);
    EXPECT_EQ(model.Param<StartLog>().GetValue(), -1);  // until the read-back
    Run();
    EXPECT_EQ(logger->Register(0) & 3, 2);
    EXPECT_EQ(model.Param<StartLog>().GetValue(), 2);
    EXPECT_EQ(model.Param<LogStartDate>().GetText(), DateText(2015, 4, 2));
    EXPECT_EQ(model.Param<LogStartTime>().GetText(), TimeText(7, 45, 30));

    // A timed start the logger's clock (30 March 2015, 12:00) has reached is refused, nothing written.
    form.show();
    form.dateEdit->setDate(QDate(2015, 3, 30));
    form.timeEdit->setTime(QTime(12, 0));
    test::ErrorBoxCatcher boxes;
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(
        boxes.texts,
        QStringList{QStringLiteral("Błąd|Moment startu 30.03.2015 12:00:00 już minął (teraz: 30.03.2015 12:00:00).")});
    EXPECT_TRUE(form.isVisible());
}

TEST_F(StartDialogTest, OverwriteWritesRegister83) {
    Poll();
    form.show();
    form.overwriteRadio->click();
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"c83=8", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 0x000B, 0x0009);  // mode 1 kept

    form.show();
    form.stopWhenFullRadio->click();
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"c83=0", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 0x000B, 0x0001);
}

TEST_F(StartDialogTest, UnreadRegisterZeroSelectsNothingAndWritesOnlyWhatIsClicked) {
    Poll();
    model.Param<StartLog>().Invalidate();
    form.show();
    EXPECT_EQ(Checked(), QList<QRadioButton*>());
    form.saveButton->click();
    EXPECT_EQ(Requests(), kReadBacks);
    Run();
    model.Param<StartLog>().Invalidate();
    form.show();
    form.buttonStartRadio->click();
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"c80=0", "c81=0", "r0+1", "r0+1"}));
    Run();
    EXPECT_EQ(logger->Register(0) & 3, 0);
}

TEST_F(StartDialogTest, UnreadStartMomentShowsNowAndOnlyChangedTextsAreWritten) {
    Poll();
    form.show();
    form.timeEdit->setTime(QTime(8, 30, 1));
    form.saveButton->click();
    EXPECT_EQ(Requests(), QStringList({"r0+1", "r0+1", "w7=081e,0100", "r7+2"}));
    queued.clear();

    model.Param<LogStartDate>().Invalidate();
    const QDateTime before = QDateTime::currentDateTime();
    form.show();
    EXPECT_LE(std::abs(before.secsTo(QDateTime(form.dateEdit->date(), form.timeEdit->time()))), 2);
    form.saveButton->click();
    EXPECT_EQ(Requests().filter(QStringLiteral("+2")), QStringList({"r5+2", "r7+2"}));
}

}  // namespace
}  // namespace quorvex
