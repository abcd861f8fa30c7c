// From plug-in to the desktop notification in the window with "Download automatically when
// connected" and "Fast reading" chosen: a logger holding 288 records (a day at 5 minutes), none
// of them archived, appears on the fake HID backend (the USB arrival event); the window opens it,
// reads its parameters, reads what is new into the archive and notifies. Timed from the arrival
// to the notification; the figure: under 3 s.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

#include "BenchWindow.h"
#include "EventLoopWait.h"
#include "core/FakeHidBackend.h"
#include "core/SimHidDevice.h"
#include "core/SimLogger.h"
#include "ui/ObjectNames.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

void BM_PlugInToNotification(benchmark::State& state) {
    bench::EnsureApplication();
    for (auto _ : state) {
        sim::Scenario day;
        day.recordCount = 288;
        day.interval = 300;
        sim::SimLogger logger(day);
        auto backend = std::make_shared<sim::FakeHidBackend>();
        const int device = backend->AddDevice(sim::MakeSimHidDevice(logger, "/dev/hidraw-sim"));
        backend->SetPresent(device, false);

        QTemporaryDir dir;
        ParameterModel model;
        ResultsStore results;
        MainWindowOptions o;
        o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);
        o.portOverride = QStringLiteral("USB");
        o.archive = dir.filePath(QStringLiteral("archive.sqlite"));
        o.hidBackend = backend;
        bench::BenchPrompts prompts;
        o.prompts = &prompts;
        auto form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->show();
        form->findChild<QAction*>(QString::fromLatin1(objname::kFastFramesItem))->setChecked(true);
        form->findChild<QAction*>(QString::fromLatin1(objname::kAutoReadItem))->setChecked(true);
        QString said;
        Clock::time_point toldAt;
        prompts.noted = [&](const QString& title, const QString& body) {
            toldAt = Clock::now();
            said = title + QStringLiteral(": ") + body;
        };
        test::RunFor(300);  // the window settles; the thread looks for an absent logger

        const Clock::time_point plugged = Clock::now();
        backend->SetPresent(device, true);
        form->onHidDeviceChanged(true, QStringLiteral("/dev/hidraw-sim"));
        const bool ready = test::WaitUntil([&] { return form->ParamsReady(); }, 30000);
        const double readyS = std::chrono::duration<double>(Clock::now() - plugged).count();
        const bool told = ready && test::WaitUntil([&] { return !said.isEmpty(); }, 30000);
        const double s = std::chrono::duration<double>(toldAt - plugged).count();
        const bool all = results.Count() == 288 && said.contains(QStringLiteral("288"));
        form->close();
        DestroyWindows(*form);
        form.reset();
        if (!told || !all) return state.SkipWithError("no notification of 288 new records");
        state.SetIterationTime(s);
        state.counters["plug_to_note_s"] = s;
        state.counters["plug_to_parameters_s"] = readyS;
    }
}
BENCHMARK(BM_PlugInToNotification)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
