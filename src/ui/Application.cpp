#include "ui/Application.h"

#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <exception>

namespace quorvex {

namespace {
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here: the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}
}  // namespace

QuorvexApplication::QuorvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The installed menu entry and icon carry this name: the desktop matches the window
    // to its entry, and the windows show the icon from the icon theme where it is installed.
    setDesktopFileName(QStringLiteral("org.quorvex.Quorvex"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.quorvex.Quorvex")));
}

bool QuorvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowException(QString());
    }
    return false;
}

void QuorvexApplication::ShowException(const QString& message) {
    if (CapturedExceptions) {
        CapturedExceptions->append(message);
        return;
    }
    QMessageBox::critical(nullptr, kApplicationTitle, message);
}

void QuorvexApplication::CloseOnTermination(QWidget* window) {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    QPointer<QWidget> target(window);
    connect(notifier, &QSocketNotifier::activated, this, [target] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        if (target) target->close();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

}  // namespace quorvex
