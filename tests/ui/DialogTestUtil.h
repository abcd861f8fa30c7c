#pragma once
// Shared by the parameter-dialog tests: the application object, a recording
// EnqueueHook and a translator behind TranslateHook, a catcher that reads and
// closes error boxes, and the road of queued requests to the simulated logger
// through the program's own frame rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <ostream>
#include <utility>
#include <vector>

#include "../params/LocaleGuard.h"
#include "core/SimLogger.h"
#include "i18n/Translator.h"
#include "modbus/FrameRules.h"
#include "params/ParameterModel.h"
#include "params/Hooks.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quorvex::test {

// "16 @20 [4000 900F]", "3 @20 x2", "65".
inline QString Describe(const Request& r) {
    QStringList words;
    for (std::uint16_t w : r.Values) words << QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
    if (r.Function == FN_WRITE_MULTIPLE) return QStringLiteral("16 @%1 [%2]").arg(r.StartRegister).arg(words.join(u' '));
    if (r.Function == FN_READ_HOLDING) return QStringLiteral("3 @%1 x%2").arg(r.StartRegister).arg(r.Count);
    return QString::number(r.Function);
}

// Reads the caption, icon and text of every message box that opens while it lives, and presses OK.
class ErrorBoxCatcher {
public:
    ErrorBoxCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    EXPECT_EQ(box->icon(), QMessageBox::Critical);
                    texts << box->windowTitle() + u'|' + box->text();
                    box->button(QMessageBox::Ok)->click();
                }
        });
        timer_.start(5);
    }
    QStringList texts;  // "caption|text"

private:
    QTimer timer_;
};

class DialogFixture : public ::testing::Test {
protected:
    DialogFixture() : locale_("pl_PL") {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_ui";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);  // never destroyed: synthetic key events leave input devices behind
        }
        EnqueueHook = [this](const Request& r) { queued.push_back(r); };
        TranslateHook = [this](const QString& text) { return translator.Tr(text); };
    }
    ~DialogFixture() override {
        EnqueueHook = nullptr;
        TranslateHook = nullptr;
    }

    void Store(std::uint16_t start, const std::vector<std::uint16_t>& words) {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : words) bytes.insert(bytes.end(), {std::uint8_t(w >> 8), std::uint8_t(w)});
        model.StoreRegisters(bytes.data(), start, static_cast<int>(bytes.size()));
    }
    // Fills the edits of a dialog in order, presses Save, returns the error boxes.
    QStringList Save(QDialog& dialog, QList<QLineEdit*> edits, const QStringList& texts) {
        if (!dialog.isVisible()) dialog.show();
        for (int i = 0; i < edits.size(); ++i) edits[i]->setText(texts[i]);
        ErrorBoxCatcher catcher;
        dialog.findChild<QPushButton*>(QStringLiteral("ButtonSave"))->click();
        return catcher.texts;
    }
    QStringList TakeRequests() {
        QStringList out;
        for (const Request& r : queued) out << Describe(r);
        queued.clear();
        return out;
    }
    // One request to the simulated logger as the transmission thread sends it;
    // a read reply goes into the model as the main window stores it.
    void Exchange(sim::SimLogger& logger, Request r) {
        const BuiltRequest frame = EncodeRequest(r);
        const sim::SimReply reply = logger.Handle(frame.bytes);
        ASSERT_EQ(CheckReply(r, reply.bytes.data(), reply.bytes.size()), ReplyCheck::Accepted) << logger.LastNote();
        ApplyReply(r, reply.bytes.data(), reply.bytes.size());
        if (r.Function == FN_READ_HOLDING) model.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
    }
    // The poll's two blocks first, so the dialogs show the logger's values.
    void Poll(sim::SimLogger& logger) {
        for (auto [start, count] : {std::pair{0, 29}, std::pair{256, 90}}) {
            Request r;
            r.Function = FN_READ_HOLDING;
            r.StartRegister = static_cast<std::uint16_t>(start);
            r.Count = static_cast<std::uint16_t>(count);
            Exchange(logger, r);
        }
    }
    void Deliver(sim::SimLogger& logger) {
        for (const Request& r : std::exchange(queued, {})) Exchange(logger, r);
    }

    LocaleGuard locale_;
    Translator translator;
    ParameterModel model;
    std::vector<Request> queued;
};

}  // namespace quorvex::test
