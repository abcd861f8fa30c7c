#pragma once
// The window programs' common ground: the application object, and the program's
// windows with a settings file in a private temporary folder, taken down at the
// end in the program's own order.
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "params/ParameterModel.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/OperatorPrompts.h"

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

// The operator as the window programs play them: every question cancelled, every box and
// desktop note handed to whoever times it.
class BenchPrompts : public OperatorPrompts {
public:
    std::function<void(const QString& text)> boxShown;
    std::function<void(const QString& title, const QString& body)> noted;

    QString AskSavePath(const QString&, const QString&) override { return {}; }
    QString AskOpenPath(const QString&) override { return {}; }
    QStringList AskImportPaths(const QString&) override { return {}; }
    QString AskReportPath(const QString&, const QString&, ReportTable&) override { return {}; }
    QString AskFolder(const QString&, const QString&) override { return {}; }
    bool Confirm(const QString&, const QString&) override { return false; }
    void ShowBox(BoxIcon, const QString&, const QString& text) override {
        if (boxShown) boxShown(text);
    }
    void Notify(const QString& title, const QString& body) override {
        if (noted) noted(title, body);
    }
};

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
        o.prompts = &prompts;
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
    BenchPrompts prompts;
    std::unique_ptr<MainWindow> form;
};

}  // namespace quorvex::bench
