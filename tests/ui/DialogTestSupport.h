#pragma once
// Ground of the parameter-dialog tests: the application object, a parameter
// model, requests recorded through its channel, the program's texts in a chosen language, a
// catcher that reads and closes error boxes, and the in-process simulated
// logger (its clock stands still) that the recorded requests run against
// through the program's own frame builders and reply checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "LocaleGuard.h"
#include "ProgramTextsScope.h"
#include "core/SimLogger.h"
#include "i18n/Translator.h"
#include "modbus/FrameRules.h"
#include "params/LoggerChannel.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/ObjectNames.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quorvex::test {

inline sim::Scenario MakeScenario(const std::string& name = "Chłodnia 3") {
    std::string error;
    auto s = sim::Scenario::Parse("[logger]\nname = " + name +
                                      "\nmode = 1\noverwrite = 0\n"
                                      "clock = 2015-03-30 12:00:00\nstart = 2015-03-01 08:30:00\n",
                                  &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

// "w1=07df,031f" function 16, "c80=0" function 6, "r0+1" function 3, "65" any other.
inline QString Describe(const Request& r) {
    if (r.Function == FN_READ_HOLDING) return QStringLiteral("r%1+%2").arg(r.StartRegister).arg(r.Count);
    if (r.Function == FN_WRITE_SINGLE) return QStringLiteral("c%1=%2").arg(r.StartRegister).arg(r.Value);
    if (r.Function != FN_WRITE_MULTIPLE) return QString::number(r.Function);
    QStringList words;
    for (std::uint16_t v : r.Values) words << QStringLiteral("%1").arg(v, 4, 16, QChar(u'0'));
    return QStringLiteral("w%1=%2").arg(r.StartRegister).arg(words.join(u','));
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
    explicit DialogFixture(const sim::Scenario& scenario = MakeScenario())
        : logger(std::make_unique<sim::SimLogger>(scenario, [] { return std::int64_t{0}; })) {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_ui";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);  // never destroyed: synthetic key events leave input devices behind
        }
        texts.emplace();
        LoggerChannel channel;
        channel.enqueue = [this](const Request& r) { queued.push_back(r); };
        model.Connect(std::move(channel));
    }
    // The language of the program's texts and of the captions TranslateWindow puts in.
    void SetLanguage(const QString& language) {
        translator.SetLanguage(language);
        texts->SetLanguage(language);
    }

    // Puts register values into the model as if a poll had read them.
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
        dialog.findChild<QPushButton*>(QString::fromLatin1(objname::kSaveButton))->click();
        return catcher.texts;
    }

    // One exchange as the transmission thread runs it; read replies go to the model.
    void Exchange(Request r) {
        const sim::SimReply reply = logger->Handle(EncodeRequest(r).bytes);
        ASSERT_EQ(CheckReply(r, reply.bytes.data(), reply.bytes.size()), ReplyCheck::Accepted)
            << Describe(r).toStdString() << ": " << logger->LastNote();
        ApplyReply(r, reply.bytes.data(), reply.bytes.size());
        if (r.Function == FN_READ_HOLDING) model.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
    }
    void Poll()  // the two poll blocks, so the dialogs show the logger's values
    {
        Request low, high;
        low.Function = high.Function = FN_READ_HOLDING;
        low.Count = 29;
        high.StartRegister = 256;
        high.Count = 90;
        Exchange(low);
        Exchange(high);
    }
    void Run()  // every recorded request, in order
    {
        const std::vector<Request> requests = std::exchange(queued, {});
        for (const Request& r : requests) Exchange(r);
    }
    // The recorded requests; TakeRequests also forgets them.
    QStringList Requests() const {
        QStringList out;
        for (const Request& r : queued) out << Describe(r);
        return out;
    }
    QStringList TakeRequests() {
        const QStringList out = Requests();
        queued.clear();
        return out;
    }

    LocaleGuard locale{"pl_PL"};
    Translator translator;
    std::optional<ProgramTextsScope> texts;  // made once the application is
    std::unique_ptr<sim::SimLogger> logger;
    ParameterModel model;
    std::vector<Request> queued;
};

}  // namespace quorvex::test
