#pragma once
// What the parameter-dialog tests share: the application object, a recording
// EnqueueHook and a translator behind TranslateHook, a catcher that reads and
// closes the dialogs' error boxes, and the way the queued requests reach the
// simulated logger through the program's own frame rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <ostream>
#include <vector>

#include "../params/LocaleGuard.h"
#include "core/SimLogger.h"
#include "i18n/Translate.h"
#include "modbus/FrameRules.h"
#include "params/Datamanager.h"
#include "params/Zmienneglobalne.h"

// Texts in failure messages as text, not as arrays of code units.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quorvex::test {

inline void EnsureDialogApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// One request in a form that reads well in a failure: "16 @20 [4000 900F]",
// "3 @20 x2", "65".
inline QString Describe(const MstrRamka& r) {
    switch (r.Function) {
    case FN_WRITE_MULTIPLE: {
        QStringList words;
        for (std::uint16_t w : r.Values) words << QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
        return QStringLiteral("16 @%1 [%2]").arg(r.StartRegister).arg(words.join(u' '));
    }
    case FN_READ_HOLDING: return QStringLiteral("3 @%1 x%2").arg(r.StartRegister).arg(r.Count);
    default: return QString::number(r.Function);
    }
}

// Reads every error box that opens while it lives, then presses its OK button.
class ErrorBoxCatcher {
public:
    struct Box {
        QString caption, text;
        QMessageBox::Icon icon;
    };

    ErrorBoxCatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                boxes.push_back({box->windowTitle(), box->text(), box->icon()});
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start();
    }
    QStringList Texts() const {
        QStringList out;
        for (const Box& b : boxes) out << b.text;
        return out;
    }

    std::vector<Box> boxes;

private:
    QTimer timer_;
};

// A parameter model on a recording hook, a translator, Polish number format.
class DialogFixture : public ::testing::Test {
protected:
    DialogFixture() : locale_("pl_PL") {
        EnsureDialogApplication();
        EnqueueHook = [this](const MstrRamka& r) { queued.push_back(r); };
        TranslateHook = [this](const QString& text) { return translator.Tr(text); };
        translator.SetLanguage(kLanguagePolish);
    }
    ~DialogFixture() override {
        EnqueueHook = nullptr;
        TranslateHook = nullptr;
    }

    void Store(std::uint16_t start, const std::vector<std::uint16_t>& words) {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : words) {
            bytes.push_back(static_cast<std::uint8_t>(w >> 8));
            bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        }
        model.StoreRegisters(bytes.data(), start, static_cast<int>(bytes.size()));
    }
    QStringList Requests() const {
        QStringList out;
        for (const MstrRamka& r : queued) out << Describe(r);
        return out;
    }
    QStringList TakeRequests() {
        QStringList out = Requests();
        queued.clear();
        return out;
    }

    // Sends a request to the simulated logger as the transmission thread would,
    // and stores what a read returns into the model as the main window does.
    void Exchange(sim::SimLogger& logger, MstrRamka r) {
        const BuiltRequest frame = EncodeRequest(r);
        ASSERT_EQ(frame.error, BuildError::None) << Describe(r).toStdString();
        const sim::SimReply reply = logger.Handle(frame.bytes);
        ASSERT_EQ(CheckReply(r, reply.bytes.data(), reply.bytes.size()), ReplyCheck::Accepted)
            << Describe(r).toStdString() << ": " << logger.LastNote();
        ApplyReply(r, reply.bytes.data(), reply.bytes.size());
        if (r.Function == FN_READ_HOLDING) model.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
    }
    // The two blocks of the automatic poll, so the dialogs show the logger's values.
    void Poll(sim::SimLogger& logger) {
        MstrRamka low, high;
        low.Function = high.Function = FN_READ_HOLDING;
        low.StartRegister = 0;
        low.Count = 29;
        high.StartRegister = 256;
        high.Count = 90;
        Exchange(logger, low);
        Exchange(logger, high);
    }
    // Every queued request, in order, then empties the queue.
    void Deliver(sim::SimLogger& logger) {
        const std::vector<MstrRamka> requests = std::move(queued);
        queued.clear();
        for (const MstrRamka& r : requests) Exchange(logger, r);
    }

    LocaleGuard locale_;
    MTranslate translator;
    MDataParametry model;
    std::vector<MstrRamka> queued;
};

}  // namespace quorvex::test
