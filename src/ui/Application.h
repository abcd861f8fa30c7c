#pragma once
// The application object: an exception escaping an event handler is shown in a
// box and the program goes on; SIGTERM and SIGINT close the main window as the
// menu's exit does, so settings are written and the thread is ended.
#include <QApplication>

namespace quorvex {

// The application's own title: the caption of the exception box. It is not set as Qt's
// display name, which X11 window titles would repeat ("Quorvex v4.6 — Quorvexv46").
inline const QString kApplicationTitle = QStringLiteral("Quorvexv46");

class QuorvexApplication : public QApplication {
    Q_OBJECT
public:
    QuorvexApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception box for a caught exception (empty message for an unknown one).
    static void ShowException(const QString& message);

    // From now on SIGTERM and SIGINT close `window`.
    void CloseOnTermination(QWidget* window);

    // Set by tests: the texts that would have been shown, instead of a box.
    static inline QStringList* CapturedExceptions = nullptr;
};

}  // namespace quorvex
