// The whole program path against the logger simulator over a pseudo-terminal:
// start, full parameter read, start of recording, lost and regained link.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include "EventLoopWait.h"
#include "SimProcess.h"
#include "UiTestSupport.h"
#include "modbus/TransmissionThread.h"
#include "ui/MessagesTab.h"
#include "ui/ObjectNames.h"

namespace quorvex::test {
namespace {

TEST(SimRun, StartToMonitorStartRecordingLoseAndRegainTheLink) {
    EnsureApplication();
    SimProcess sim({"--no-pacing"});
    ASSERT_TRUE(sim.Running());
    QTemporaryDir dir;
    ParameterModel model;
    ResultsStore results;
    MainWindowOptions o;
    o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
    o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);  // not the machine's
    o.portOverride = QString::fromStdString(sim.LinkPath());
    o.languageOverride = QStringLiteral("pl");
    o.archive = dir.filePath(QStringLiteral("archive.sqlite"));
    auto form = std::make_unique<MainWindow>(model, results, o);
    CreateWindows(form.get());
    form->show();
    auto edit = [&](const char* n) { return form->findChild<QLineEdit*>(QString::fromLatin1(n))->text(); };

    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_READY; }));
    ASSERT_TRUE(WaitUntil([&] { return !edit(objname::kDateField).isEmpty(); }));
    EXPECT_EQ(form->LastStateCode(), 70);
    EXPECT_EQ(edit(objname::kNameField), QStringLiteral("Magazyn próbek – Łódź"));
    EXPECT_EQ(edit(objname::kHighTempField), QStringLiteral("30,0"));
    EXPECT_EQ(edit(objname::kHighHumField), QStringLiteral("75,0"));
    EXPECT_EQ(edit(objname::kTypeField), model.Param<DeviceType>().GetText());
    EXPECT_TRUE(edit(objname::kTypeField).startsWith(QStringLiteral("02")));
    EXPECT_EQ(edit(objname::kBatteryField), model.Param<BatteryStatus>().GetText());
    for (const char* e :
         {objname::kTemperatureField, objname::kHumidityField, objname::kTimeField, objname::kIntervalField,
          objname::kSavedCountField, objname::kSerialField, objname::kMadeField, objname::kFirmwareField,
          objname::kMeasuredField, objname::kBatteryField, objname::kStartDateField, objname::kStartTimeField})
        EXPECT_FALSE(edit(e).isEmpty()) << e;
    EXPECT_TRUE(form->findChild<QLabel*>(QString::fromLatin1(objname::kLinkStatusPanel))
                    ->text()
                    .contains(QStringLiteral("-otwarty")));
    EXPECT_GT(form->Messages().Lines().size(), 0);

    auto* start = form->findChild<QPushButton*>(QString::fromLatin1(objname::kRecordStartButton));
    ASSERT_FALSE(start->isHidden());
    start->click();
    // Nothing of the logger's log is archived yet: the window asks first.
    ASSERT_TRUE(AnswerNewLogBox(form.get(), objname::kStartAnywayButton));
    ASSERT_TRUE(WaitUntil([&] { return form->LastStateCode() == 100; }));
    EXPECT_FALSE(form->findChild<QPushButton*>(QString::fromLatin1(objname::kRecordStopButton))->isHidden());
    EXPECT_FALSE(form->findChild<QPushButton*>(QString::fromLatin1(objname::kTempThresholdsButton))->isEnabled());

    // The logger goes away: everything empties and the panel says so.
    sim.Kill();
    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_NONE; }));
    EXPECT_TRUE(edit(objname::kNameField).isEmpty());
    // No answer, or the terminal gone with it: the port reads as unplugged.
    EXPECT_TRUE(form->LastStateCode() == 30 || form->LastStateCode() == 15) << form->LastStateCode();

    ASSERT_TRUE(sim.Restart());
    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_READY; }, 30000));
    EXPECT_EQ(edit(objname::kNameField), QStringLiteral("Magazyn próbek – Łódź"));

    form->close();
    EXPECT_EQ(form->Thread(), nullptr);
    DestroyWindows(*form);
    form.reset();
    // The link given for this run is not stored.
    QSettings s(o.settingsPath, QSettings::IniFormat);
    EXPECT_EQ(s.value("Okno/PortCom").toString(), QStringLiteral("USB"));
}

}  // namespace
}  // namespace quorvex::test
