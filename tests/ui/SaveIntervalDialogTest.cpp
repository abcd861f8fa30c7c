// The save-interval dialog: days on the up-down, the rest on the time picker,
// written as the 24-bit seconds of registers 9–10 only when changed.
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>

#include "DialogTestSupport.h"
#include "ui/dialogs/SaveIntervalDialog.h"

namespace quorvex::test {
namespace {

class SaveIntervalDialogTest : public DialogFixture {
protected:
    void StoreInterval(std::uint32_t s) { Store(9, {std::uint16_t(s >> 8), std::uint16_t((s & 0xFF) << 8)}); }
    QStringList Save(int days, QTime time) {
        if (!dialog.isVisible()) dialog.show();
        dialog.daysSpin->setValue(days);
        dialog.hoursEdit->setTime(time);
        dialog.saveButton->click();
        return TakeRequests();
    }
    SaveIntervalDialog dialog{model};
};

TEST_F(SaveIntervalDialogTest, DaysAndTimeBecomeTheIntervalWrittenOnlyWhenChanged) {
    EXPECT_EQ(dialog.daysEdit->text(), QStringLiteral("0"));
    StoreInterval(300);
    dialog.show();
    EXPECT_EQ(dialog.hoursEdit->text(), QStringLiteral("00h 05m 00s"));
    EXPECT_EQ(dialog.focusWidget(), dialog.hoursEdit);
    EXPECT_EQ(Save(0, QTime(0, 5)), QStringList());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Save(1, QTime(0, 0, 30)), QStringList({"w9=0151,9e00", "r9+2"}));  // 86 430 s
    EXPECT_TRUE(model.Param<WriteInterval>().GetText().isEmpty());               // until the read-back
    StoreInterval(86430);
    EXPECT_EQ(Save(100, QTime(23, 59, 59)), QStringList({"w9=8527,7f00", "r9+2"}));  // 8 726 399 s
    StoreInterval(8726399);
    // A logger saving every 0 s would never save: refused, nothing written.
    ErrorBoxCatcher boxes;
    EXPECT_EQ(Save(0, QTime(0, 0)), QStringList());
    EXPECT_EQ(boxes.texts, QStringList{"Błąd|Częstość zapisu musi być dłuższa niż 0 s."});
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SaveIntervalDialogTest, DaysStayWithinTheUpDownAndMoveOnlyByItsArrows) {
    StoreInterval(150 * 86400 + 61);
    dialog.show();
    EXPECT_EQ(dialog.daysSpin->value(), 100);
    EXPECT_EQ(dialog.hoursEdit->time(), QTime(0, 1, 1));
    EXPECT_TRUE(dialog.daysEdit->isReadOnly());
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(dialog.daysSpin, &down);
    dialog.saveButton->click();
    EXPECT_EQ(TakeRequests(), QStringList({"w9=8284,bd00", "r9+2"}));  // 99 days + 61 s
}

TEST_F(SaveIntervalDialogTest, NewIntervalReachesTheSimulatedLogger) {
    ASSERT_NO_FATAL_FAILURE(Poll());
    dialog.show();
    EXPECT_EQ(dialog.hoursEdit->time(), QTime(0, 5, 0));
    dialog.daysSpin->setValue(2);
    dialog.hoursEdit->setTime(QTime(1, 2, 3));
    dialog.saveButton->click();
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(std::uint32_t(logger->Register(9)) << 8 | logger->Register(10) >> 8, 2u * 86400 + 3723);
    EXPECT_EQ(model.Param<WriteInterval>().GetValue(), 2 * 86400 + 3723);
}

}  // namespace
}  // namespace quorvex::test
