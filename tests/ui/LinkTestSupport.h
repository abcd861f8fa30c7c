#pragma once
// A main window with its transmission thread, for the tests of link choice and
// device changes, and a bounded wait that keeps the event loop running.
#include <QMessageBox>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "EventLoopWait.h"
#include "UiTestSupport.h"
#include "link/HidBackend.h"
#include "modbus/TransmissionThread.h"

namespace quorvex::test {

struct ThreadWindow {
    ThreadWindow(const QString& port, std::shared_ptr<HidBackend> hid, const QString& language = {}) {
        EnsureApplication();
        MainWindowOptions o;
        o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);  // not the machine's
        o.portOverride = port;
        o.archive = dir.filePath(QStringLiteral("archive.sqlite"));  // this test's own
        o.languageOverride = language;
        o.hidBackend = std::move(hid);
        o.prompts = &prompts;
        form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->show();
    }
    ~ThreadWindow() {
        form->close();
        DestroyWindows(*form);
        form.reset();
    }
    QLineEdit* Edit(const char* name) const { return form->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    // Message boxes of that name on the screen.
    int Boxes(const char* name) const {
        int n = 0;
        for (QMessageBox* box : form->findChildren<QMessageBox*>(QString::fromLatin1(name)))
            if (box->isVisible()) ++n;
        return n;
    }

    QTemporaryDir dir;
    ParameterModel model;
    ResultsStore results;
    ScriptedPrompts prompts;  // what the operator answers and sees
    std::unique_ptr<MainWindow> form;
};

}  // namespace quorvex::test
