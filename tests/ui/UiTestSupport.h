#pragma once
// Shared ground of the window tests: the application object, a main window
// without a transmission thread over a private settings file, and register
// blocks taken from the in-process logger simulator.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>

#include <memory>

#include "core/SimLogger.h"
#include "params/ParameterModel.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"

#include "ScriptedPrompts.h"

namespace quorvex::test {

using sim::Scenario;
using sim::SimLogger;

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    // The program's own application object, so its exception handling is in play.
    // Never destroyed: Qt's input devices created by synthetic key events must not
    // outlive the application object in the exit handlers.
    new QuorvexApplication(argc, argv);
#if defined(__SANITIZE_THREAD__)
    // Qt paints long spans in slices on its global thread pool, whose workers hand the slices
    // to one another under Qt's own locks, which ThreadSanitizer cannot see. With one worker
    // only the hand-over from this thread is left, and tests/tsan.supp names that.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
#endif
}

// Feeds the model one poll reply of `count` registers from `start`, as the thread hands it over.
inline void FeedBlock(ParameterModel& model, SimLogger& sim, std::uint16_t start, std::uint16_t count) {
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t r = start; r < start + count; ++r) {
        const std::uint16_t v = sim.Register(r);
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    model.StoreRegisters(bytes.data(), start, static_cast<int>(bytes.size()));
}

// Presses `button` in the box that asks before the logger begins a new log; false when no
// such box is on the screen.
inline bool AnswerNewLogBox(QWidget* form, const char* button) {
    for (QMessageBox* box : form->findChildren<QMessageBox*>(QString::fromLatin1(objname::kEraseWarningBox)))
        if (auto* b = box->findChild<QPushButton*>(QString::fromLatin1(button)); b && box->isVisible()) {
            b->click();
            return true;
        }
    return false;
}

struct WindowFixture {
    explicit WindowFixture(const QString& settingsText = {}, bool writeFile = false) {
        EnsureApplication();
        path = dir.filePath(QStringLiteral("quorvex.INI"));
        if (writeFile) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(settingsText.toUtf8());
        }
        Open();
    }
    ~WindowFixture() { Close(); }

    void Open() {
        MainWindowOptions o;
        o.settingsPath = path;
        o.startThread = false;
        o.archive = dir.filePath(QStringLiteral("archive.sqlite"));  // this test's own
        o.resultsFile = resultsFile;
        o.systemLocale = systemLocale;
        o.prompts = qtPrompts ? nullptr : &prompts;
        o.keyFolder = keyFolder;
        o.serialPorts = serialPorts;
        form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->onShown();
        form->onActivated();
    }
    void Close() {
        if (!form) return;
        form->onDestroy();
        DestroyWindows(*form);
        form.reset();
    }
    // Both poll blocks of the simulated logger, then the handler of each reply.
    void Poll(SimLogger& sim) {
        FeedBlock(model, sim, 256, 90);
        form->Session().Deliver(Msg::ReadDone);
        FeedBlock(model, sim, 0, 29);
        form->Session().Deliver(Msg::ReadDone);
    }
    QLineEdit* Edit(const char* name) const { return form->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    template <class W>
    W* Find(const char* name) const {
        return form->findChild<W*>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    QString path;
    QString resultsFile;  // opened once the window is shown, as the command line's FILE
    // The desktop's locale as the window sees it, never the machine's.
    QLocale systemLocale{QLocale::Polish, QLocale::Poland};
    // What the operator answers and sees; with qtPrompts the window's own dialogs and boxes.
    ScriptedPrompts prompts;
    bool qtPrompts = false;
    QString keyFolder = UserSettingsFolder();  // the signing and trusted keys
    // The serial ports the link menu offers (the system's when null).
    std::shared_ptr<const SerialPortSource> serialPorts;
    ParameterModel model;
    ResultsStore results;
    std::unique_ptr<MainWindow> form;
};

}  // namespace quorvex::test
