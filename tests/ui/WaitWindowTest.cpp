// The parameter-read wait window as the main window drives it from read replies.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <vector>

#include "LinkTestSupport.h"
#include "SimProcess.h"
#include "core/FakeHidBackend.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex::test {
namespace {

TEST(WaitWindow, HighBlockFirstMovesToFiveThenTheLowBlockFillsAndCloses) {
    WindowFixture w;
    w.form->move(200, 150);
    w.form->show();
    ParameterReadWindow* wait = w.form->Windows().parameterReadWindow;
    ASSERT_NE(wait, nullptr);
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(wait->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(wait->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(wait->isModal());
    // A hidden window does not tick.
    EXPECT_FALSE(wait->pollTimer->isActive());

    SimLogger sim;
    FeedBlock(w.model, sim, 256, 90);
    w.form->HandleMessage(Msg::ReadDone);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READING);
    ASSERT_TRUE(wait->isVisible());
    EXPECT_TRUE(wait->pollTimer->isActive());
    EXPECT_EQ(wait->progressBar->maximum(), 27);
    EXPECT_EQ(wait->progressBar->value(), 0);
    EXPECT_EQ(wait->windowTitle(), QStringLiteral("Odczyt danych"));
    EXPECT_LE((wait->frameGeometry().center() - w.form->frameGeometry().center()).manhattanLength(), 4);

    // The bar climbs one step per tick to the five parameters of the high block, then waits.
    ASSERT_TRUE(WaitUntil([&] { return wait->progressBar->value() == 5; }, 5000));
    RunFor(150);
    EXPECT_EQ(wait->progressBar->value(), 5);
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(w.form->ConnectionState(), CONN_READING);
    EXPECT_FALSE(w.Edit(objname::kNameField)->isEnabled());

    FeedBlock(w.model, sim, 0, 29);
    QElapsedTimer t;
    t.start();
    w.form->HandleMessage(Msg::ReadDone);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READY);
    EXPECT_TRUE(w.form->ParamsReady());
    EXPECT_TRUE(w.Edit(objname::kNameField)->isEnabled());
    // Every change the bar makes is recorded, so a busy machine that runs two ticks in one
    // event-loop pass cannot look like a jump.
    std::vector<int> values{wait->progressBar->value()};
    QObject::connect(wait->progressBar, &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
    ASSERT_TRUE(WaitUntil([&] { return !wait->isVisible(); }, 5000));
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_EQ(values[i], values[i - 1] + 1) << "the bar jumped at change " << i;
    EXPECT_EQ(wait->progressBar->value(), 27);
    EXPECT_FALSE(wait->pollTimer->isActive());
    // 22 steps of 10 ms; loosely bounded.
    EXPECT_GE(t.elapsed(), 150);

    // Refresh replies after the full read leave the window alone.
    w.Poll(sim);
    EXPECT_FALSE(wait->isVisible());
}

TEST(WaitWindow, NoAnswerWhileReadingClosesItAndTheNextReplyStartsOver) {
    WindowFixture w;
    w.form->show();
    ParameterReadWindow* wait = w.form->Windows().parameterReadWindow;
    SimLogger sim;
    FeedBlock(w.model, sim, 0, 29);
    w.form->HandleMessage(Msg::ReadDone);
    ASSERT_TRUE(wait->isVisible());
    const int received = w.model.ValueCount();
    ASSERT_GT(received, 5);
    ASSERT_LT(received, 27);
    ASSERT_TRUE(WaitUntil([&] { return wait->progressBar->value() >= 3; }, 5000));

    w.form->HandleMessage(Msg::NoResponse);
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(wait->pollTimer->isActive());
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    EXPECT_EQ(w.model.ValueCount(), 0);
    EXPECT_EQ(w.form->LastStateCode(), 30);

    FeedBlock(w.model, sim, 256, 90);
    w.form->HandleMessage(Msg::ReadDone);
    ASSERT_TRUE(wait->isVisible());
    EXPECT_EQ(wait->progressBar->value(), 0);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READING);
    ASSERT_TRUE(WaitUntil([&] { return wait->progressBar->value() == 5; }, 5000));
    RunFor(100);
    EXPECT_EQ(wait->progressBar->value(), 5);
}

TEST(WaitWindow, ClosesWhenTheFirstReadBreaksOffAnyWay) {
    {
        // The second poll's reply comes late: the window waits at the first block's 5 of 27.
        SimProcess sim({"--no-pacing", "--fault", "delay at=2 ms=1200"});
        ASSERT_TRUE(sim.Running());
        ThreadWindow w(QString::fromStdString(sim.LinkPath()), std::make_shared<sim::FakeHidBackend>());
        ParameterReadWindow* wait = w.form->Windows().parameterReadWindow;
        ASSERT_TRUE(WaitUntil([&] { return wait->isVisible() && wait->progressBar->value() == 5; }));
        ASSERT_EQ(w.form->ConnectionState(), CONN_READING);
        w.form->findChild<QAction*>(QString::fromLatin1(objname::kUsbItem))->trigger();
        EXPECT_FALSE(wait->isVisible());
        EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    }
    // A port that fails to open and a USB logger that is absent end it alike.
    for (Msg msg : {Msg::PortOpenFailed, Msg::HidAbsent}) {
        SCOPED_TRACE(MessageName(msg).toStdString());
        WindowFixture w;
        w.form->show();
        SimLogger sim;
        FeedBlock(w.model, sim, 256, 90);
        w.form->HandleMessage(Msg::ReadDone);
        ASSERT_TRUE(w.form->Windows().parameterReadWindow->isVisible());
        w.form->HandleMessage(msg);
        EXPECT_FALSE(w.form->Windows().parameterReadWindow->isVisible());
    }
}

}  // namespace
}  // namespace quorvex::test
