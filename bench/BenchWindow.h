#pragma once
// The window programs' common ground: the application object, and the program's
// windows with a settings file in a private temporary folder, taken down at the
// end in the program's own order.
#include <QTemporaryDir>

#include <memory>

#include "params/ParameterModel.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"

namespace quorvex::bench {

// The program's application object, made once and kept to the end as in the
// program. The platform is the one QT_QPA_PLATFORM names, offscreen when unset.
inline void EnsureApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quorvex-bench";
    static char* argv[] = {name, nullptr};
    new QuorvexApplication(argc, argv);
}

// The main window and every other window, created hidden.
class BenchWindows {
public:
    // `link`: the logger's link for this run, as --port gives it; empty: no
    // transmission thread at all.
    explicit BenchWindows(const QString& link) {
        EnsureApplication();
        MainWindowOptions o;
        o.settingsPath = dir.filePath(QStringLiteral("quorvex.INI"));
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);  // not the machine's
        o.portOverride = link;
        o.startThread = !link.isEmpty();
        form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
    }
    ~BenchWindows() {
        form->close();
        DestroyWindows(*form);
        form.reset();
    }
    BenchWindows(const BenchWindows&) = delete;
    BenchWindows& operator=(const BenchWindows&) = delete;

    QTemporaryDir dir;
    ParameterModel model;
    ResultsStore results;
    std::unique_ptr<MainWindow> form;
};

}  // namespace quorvex::bench
