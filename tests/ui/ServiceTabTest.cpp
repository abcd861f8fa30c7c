// The hidden service and messages tabs: their controls, the parameter list,
// zeroing the counters and the logger reset.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "LinkTestSupport.h"
#include "SimProcess.h"
#include "core/FakeHidBackend.h"
#include "ui/ObjectNames.h"
#include "ui/ServiceTab.h"

namespace quorvex::test {
namespace {

QStringList Column(QTreeWidget* tree, int column) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(column);
    return texts;
}

TEST(ServiceTab, ParameterListBeforeAnyReplyHasAllNamesAndNoValues) {
    WindowFixture w;
    auto* list = w.Find<QTreeWidget>(objname::kParameterList);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    w.Find<QPushButton>(objname::kReadParametersButton)->click();
    ASSERT_EQ(list->topLevelItemCount(), 27);
    QStringList names;
    for (const Parameter* p : w.model.Parameters) names << p->Name;
    EXPECT_EQ(Column(list, 0), names);
    EXPECT_EQ(Column(list, 1), QStringList(27, QString()));

    // Kept as filled until asked again.
    SimLogger sim;
    w.Poll(sim);
    EXPECT_EQ(Column(list, 1), QStringList(27, QString()));
    w.form->Service().ReadParameters();
    ASSERT_EQ(list->topLevelItemCount(), 27);
    EXPECT_EQ(list->topLevelItem(22)->text(1), w.model.Param<LoggerName>().GetText());
    EXPECT_FALSE(list->topLevelItem(22)->text(1).isEmpty());
    // Readable across: the name column is never narrowed below 200, the value column never widened past 150.
    list->setColumnWidth(0, 120);
    list->setColumnWidth(1, 400);
    EXPECT_EQ(list->columnWidth(0), 200);
    EXPECT_EQ(list->columnWidth(1), 150);
}

TEST(ServiceTab, CountersShowWhenTheTabIsShownAndZeroingShowsZerosAtOnce) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    ThreadWindow w(QString::fromStdString(sim.LinkPath()), std::make_shared<sim::FakeHidBackend>());
    auto* counters = w.form->findChild<QTreeWidget*>(QString::fromLatin1(objname::kErrorCounters));
    auto received = [&] {
        const QStringList values = Column(counters, 1);
        return values.size() == 7 && values[6].toInt() > 0;
    };
    // Hidden, the tab's table is left alone; shown, it holds the counters at once.
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->Counters().FramesReceivedCount > 0; }));
    EXPECT_FALSE(received());
    QTabWidget* tabs = w.form->Tabs();
    tabs->setTabVisible(tabs->indexOf(&w.form->Service()), true);
    tabs->setCurrentWidget(&w.form->Service());
    EXPECT_TRUE(received());
    ASSERT_EQ(Column(counters, 0).size(), 7);

    // Away from the logger: a port that does not exist.
    w.form->ChooseLink(w.dir.filePath(QStringLiteral("no-such-port")));
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->LinkState() == TransmissionThread::LINK_SERIAL_FAILED; }));
    ASSERT_TRUE(received());
    w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kZeroButton))->click();
    ASSERT_TRUE(WaitUntil([&] { return Column(counters, 1) == QStringList(7, QStringLiteral("0")); }, 2000));
    EXPECT_EQ(w.form->Thread()->Counters(), TransmissionCounters{});
}

TEST(ServiceTab, ResetGoesToTheLoggerBeforeAnyParameterWasRead) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    ThreadWindow w(QString::fromStdString(sim.LinkPath()), std::make_shared<sim::FakeHidBackend>());
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->LinkState() == TransmissionThread::LINK_SERIAL_OPEN; }));
    ASSERT_EQ(w.model.ValueCount(), 0);
    w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kResetButton))->click();
    const Request* reset = nullptr;
    std::deque<Request> history;
    ASSERT_TRUE(WaitUntil([&] {
        history = w.form->Thread()->History();
        reset = nullptr;
        for (const Request& r : history)
            if (r.Function == FN_RESET_COMMAND) reset = &r;
        return reset && reset->Status != STATUS_NEW;
    }));
    EXPECT_EQ(reset->Address, kLoggerAddress);
    EXPECT_EQ(reset->Attempts, 1);
}

}  // namespace
}  // namespace quorvex::test
