// The save-interval dialog: days on the up-down, the rest on the time picker,
// written as the 24-bit seconds of registers 9–10 only when changed.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include "DialogTestUtil.h"
#include "ui/dialogs/Formfreqsave.h"

namespace quorvex::test {
namespace {

class FreqSaveDialog : public DialogFixture {
protected:
    void StoreInterval(std::uint32_t seconds) {
        Store(9, {static_cast<std::uint16_t>(seconds >> 8), static_cast<std::uint16_t>((seconds & 0xFF) << 8)});
    }
    void Save(int days, QTime time) {
        if (!dialog.isVisible()) dialog.show();
        dialog.UpDown1->setValue(days);
        dialog.DateTime->setTime(time);
        dialog.ButtonSave->click();
    }

    TFormFreqSave1 dialog{model};
};

TEST_F(FreqSaveDialog, ShowsDaysAndTimeAndWritesNothingUnchanged) {
    EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("0"));
    StoreInterval(300);
    dialog.show();
    EXPECT_EQ(dialog.UpDown1->value(), 0);
    EXPECT_EQ(dialog.DateTime->text(), QStringLiteral("00h 05m 00s"));
    EXPECT_EQ(dialog.focusWidget(), dialog.DateTime);
    dialog.ButtonSave->click();
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FreqSaveDialog, DaysAndTimeBecomeTheTwentyFourBitInterval) {
    StoreInterval(300);
    Save(1, QTime(0, 0, 30));  // 86 430 s = 0x01519E
    EXPECT_EQ(TakeRequests(), QStringList({"16 @9 [0151 9E00]", "3 @9 x2"}));
    EXPECT_TRUE(model.Param<CWriteInterval>().GetText().isEmpty());  // until the read-back
    StoreInterval(86430);
    Save(100, QTime(23, 59, 59));  // 8 726 399 s = 0x85277F, the most the controls give
    EXPECT_EQ(TakeRequests(), QStringList({"16 @9 [8527 7F00]", "3 @9 x2"}));
    StoreInterval(8726399);
    Save(0, QTime(0, 0));  // zero is written like any other interval
    EXPECT_EQ(TakeRequests(), QStringList({"16 @9 [0000 0000]", "3 @9 x2"}));
}

TEST_F(FreqSaveDialog, DaysStayWithinTheUpDownAndAreNotTyped) {
    StoreInterval(150 * 86400 + 61);  // more days than the up-down offers
    dialog.show();
    EXPECT_EQ(dialog.UpDown1->value(), 100);
    EXPECT_EQ(dialog.DateTime->time(), QTime(0, 1, 1));
    EXPECT_TRUE(dialog.Edit1->isReadOnly());
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(dialog.UpDown1, &down);
    EXPECT_EQ(dialog.UpDown1->value(), 99);
    dialog.ButtonSave->click();
    EXPECT_EQ(TakeRequests(), QStringList({QStringLiteral("16 @9 [8284 BD00]"), "3 @9 x2"}));  // 8 553 661 s
}

TEST_F(FreqSaveDialog, CancelWritesNothing) {
    StoreInterval(300);
    dialog.show();
    dialog.UpDown1->setValue(3);
    dialog.ButtonClose->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(queued.empty());
}

TEST_F(FreqSaveDialog, NewIntervalReachesTheSimulatedLogger) {
    sim::SimLogger logger;
    ASSERT_NO_FATAL_FAILURE(Poll(logger));
    dialog.show();
    EXPECT_EQ(dialog.DateTime->time(), QTime(0, 5, 0));  // the simulator's 300 s
    Save(2, QTime(1, 2, 3));
    ASSERT_NO_FATAL_FAILURE(Deliver(logger));
    const std::uint32_t seconds = static_cast<std::uint32_t>(logger.Register(9)) << 8 | logger.Register(10) >> 8;
    EXPECT_EQ(seconds, 2u * 86400 + 3723);
    EXPECT_EQ(model.Param<CWriteInterval>().GetValue(), 2 * 86400 + 3723);
    EXPECT_FALSE(model.Param<CWriteInterval>().GetText().isEmpty());
}

}  // namespace
}  // namespace quorvex::test
