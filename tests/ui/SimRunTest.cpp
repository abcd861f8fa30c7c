// The whole program path against the logger simulator over a pseudo-terminal:
// start, full parameter read, start of recording, lost and regained link.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QStatusBar>
#include <QLabel>
#include <QListWidget>
#include <QSettings>

#include "EventLoopWait.h"
#include "SimProcess.h"
#include "UiTestSupport.h"
#include "modbus/TransmissionThread.h"

namespace quorvex::test {
namespace {

TEST(SimRun, StartToMonitorStartRecordingLoseAndRegainTheLink)
{
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
    auto form = std::make_unique<MainWindow>(model, results, o);
    CreateWindows(form.get());
    form->show();
    auto edit = [&](const char* n) { return form->findChild<QLineEdit*>(QString::fromLatin1(n))->text(); };

    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_READY; }));
    ASSERT_TRUE(WaitUntil([&] { return !edit("EditMonitorAktualnaData").isEmpty(); }));
    EXPECT_EQ(form->LastStateCode(), 70);
    EXPECT_EQ(edit("EditMonitorNazwaLoggera"), QStringLiteral("Magazyn próbek – Łódź"));
    EXPECT_EQ(edit("EditMonitorTemperaturaGornyProg"), QStringLiteral("30,0"));
    EXPECT_EQ(edit("EditMonitorWilgotnoscGornyProg"), QStringLiteral("75,0"));
    EXPECT_EQ(edit("EditMonitorTyp"), model.Param<CDeviceType>().GetText());
    EXPECT_TRUE(edit("EditMonitorTyp").startsWith(QStringLiteral("02")));
    EXPECT_EQ(edit("EditMonitorStanBaterii"), model.Param<CBatteryStatus>().GetText());
    for (const char* e : {"EditMonitorAktualnaTemperatura", "EditMonitorAktualnaWilgotnosc", "EditMonitorAktualnyCzas",
                          "EditMonitorCzestoscZapisu", "EditMonitorLiczbaPomiarow", "EditMonitorNumerSeryjny",
                          "EditMonitorDataProdukcji", "EditlMonitorWersjaOprogramowania", "EditMonitorIloscPomiarow",
                          "EditMonitorStanBaterii", "EditMonitorDataLogowania", "EditMonitorCzasLogowania"})
        EXPECT_FALSE(edit(e).isEmpty()) << e;
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("StatusBar1Panel0"))->text().contains(
        QStringLiteral("-otwarty")));
    EXPECT_GT(form->MessageListBox->count(), 0);

    auto* start = form->findChild<QPushButton*>(QStringLiteral("ButtonLogStart"));
    ASSERT_FALSE(start->isHidden());
    start->click();
    ASSERT_TRUE(WaitUntil([&] { return form->LastStateCode() == 100; }));
    EXPECT_FALSE(form->findChild<QPushButton*>(QStringLiteral("ButtonLogStop"))->isHidden());
    EXPECT_FALSE(form->findChild<QPushButton*>(QStringLiteral("ButtonZmienProgiTemp"))->isEnabled());

    // The logger goes away: everything empties and the panel says so.
    sim.Kill();
    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_NONE; }));
    EXPECT_TRUE(edit("EditMonitorNazwaLoggera").isEmpty());
    EXPECT_TRUE(form->LastStateCode() == 30 || form->LastStateCode() == 10) << form->LastStateCode();

    ASSERT_TRUE(sim.Restart());
    ASSERT_TRUE(WaitUntil([&] { return form->ConnectionState() == CONN_READY; }, 30000));
    EXPECT_EQ(edit("EditMonitorNazwaLoggera"), QStringLiteral("Magazyn próbek – Łódź"));

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
