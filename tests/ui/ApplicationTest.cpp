// The application object: an exception that escapes an event handler is shown
// and the event loop goes on with the next event.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

#include "LinkTestSupport.h"
#include "ui/Application.h"

namespace quorvex::test {
namespace {

class Thrower : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Zła wartość w polu");
        if (e->type() == QEvent::User + 1) throw 42;
        return QObject::event(e);
    }
};

void Click(QWidget& button) {
    const QPointF at(button.width() / 2.0, button.height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, button.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &e);
    }
}

TEST(Application, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    EnsureApplication();
    ASSERT_NE(qobject_cast<QuorvexApplication*>(QApplication::instance()), nullptr);
    QStringList shown;
    QuorvexApplication::CapturedExceptions = &shown;

    // Posted events: a standard exception shows its text, anything else an empty box.
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    EXPECT_TRUE(WaitUntil([&] { return later && shown.size() == 2; }, 5000));
    EXPECT_EQ(shown, QStringList({QStringLiteral("Zła wartość w polu"), QString()}));

    // A button's click handler, reached from the mouse: the button still works afterwards.
    QPushButton button(QStringLiteral("OK"));
    button.resize(80, 30);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 1) throw std::logic_error("pierwsze kliknięcie");
    });
    Click(button);
    Click(button);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.value(2), QStringLiteral("pierwsze kliknięcie"));
    EXPECT_FALSE(button.isDown());
    QuorvexApplication::CapturedExceptions = nullptr;
}

}  // namespace
}  // namespace quorvex::test
