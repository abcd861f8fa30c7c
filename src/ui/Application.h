#pragma once
// The application object: an exception escaping an event handler is shown in a
// box and the program goes on; SIGTERM and SIGINT close the main window as the
// menu's exit does, so settings are written and the thread is ended.
#include <QApplication>

namespace quorvex {

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
