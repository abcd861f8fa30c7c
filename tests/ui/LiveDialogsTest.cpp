// Parameter dialogs of a main window that talks to the logger simulator over a
// pseudo-terminal: the program ended while one is open, one opened before the
// logger has confirmed what was just saved, and recording that starts while one is open.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>

#include <unistd.h>
#include <csignal>
#include <functional>

#include "LinkTestSupport.h"
#include "SimProcess.h"
#include "core/FakeHidBackend.h"
#include "params/DateTimeCodec.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/SaveIntervalDialog.h"
#include "ui/dialogs/StartDialog.h"

namespace quorvex::test {
namespace {

// Calls `open`, which shows `dialog` modally and returns once it is closed; `inside` runs
// within the dialog's own event loop as soon as it shows. Returns whether it showed. A dialog
// nothing else closes within 20 s fails the test and is rejected, so the test cannot hang.
bool WhileShown(QDialog* dialog, const std::function<void()>& open, const std::function<void()>& inside) {
    bool opened = false;
    QElapsedTimer since;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!dialog->isVisible()) return;
        if (!opened) {
            opened = true;
            since.start();
            inside();
        } else if (since.elapsed() > 20000) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    });
    timer.start(10);
    open();
    return opened;
}

struct LiveWindow : ThreadWindow {
    explicit LiveWindow(const SimProcess& sim)
        : ThreadWindow(QString::fromStdString(sim.LinkPath()), std::make_shared<sim::FakeHidBackend>()) {}
    bool Ready() {
        return WaitUntil([&] { return form->ConnectionState() == CONN_READY; });
    }
    std::function<void()> Clicker(const char* button) {
        return [this, button] { form->findChild<QPushButton*>(QString::fromLatin1(button))->click(); };
    }
};

// Ends the program the way `end` does while the dialog `open` shows is up: the dialog is
// rejected, the window ends (its thread with it) and the settings file holds the link.
void ExpectEndedCleanly(MainWindow& form, QDialog* dialog, const std::function<void()>& open,
                        const std::function<void()>& end, const QString& settingsPath, const QString& link) {
    EXPECT_TRUE(WhileShown(dialog, open, end));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(form.Thread(), nullptr);
    EXPECT_EQ(QSettings(settingsPath, QSettings::IniFormat).value("Okno/PortCom").toString(), link);
}

TEST(LiveDialogs, EndingTheProgramWithADialogOpenRejectsItAndStillWritesTheSettings) {
    {
        // A desktop logout (SIGTERM) with the clock dialog open, the link to the logger busy.
        SimProcess sim;
        ASSERT_TRUE(sim.Running());
        LiveWindow w(sim);
        ASSERT_TRUE(w.Ready());
        static_cast<QuorvexApplication*>(QApplication::instance())->CloseOnTermination(w.form.get());
        // The file is written; it keeps its own link, the one given for this run is not stored.
        ExpectEndedCleanly(
            *w.form, static_cast<QDialog*>(w.form->Windows().clockDialog), w.Clicker(objname::kSetClockButton),
            [] { ::kill(::getpid(), SIGTERM); }, w.dir.filePath(QStringLiteral("quorvex.INI")), QStringLiteral("USB"));
    }
    // Every other dialog; a signal reaches the window as a close.
    struct Case {
        const char* button;  // null: the print dialog
        QWidget* ProgramWindows::*dialog;
    };
    const Case cases[] = {{objname::kChangeNameButton, &ProgramWindows::loggerNameDialog},
                          {objname::kChangeStartButton, &ProgramWindows::startDialog},
                          {objname::kTempThresholdsButton, &ProgramWindows::temperatureDialog},
                          {objname::kHumThresholdsButton, &ProgramWindows::humidityDialog},
                          {objname::kChangeIntervalButton, &ProgramWindows::saveIntervalDialog},
                          {objname::kCorrectionButton, &ProgramWindows::correctionDialog},
                          {nullptr, &ProgramWindows::printDialog}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button ? c.button : "print dialog");
        WindowFixture w;
        w.form->show();
        SimLogger sim;
        w.Poll(sim);
        const auto open = [&] {
            if (c.button)
                w.Find<QPushButton>(c.button)->click();
            else
                w.form->ResultsPage().PrintTableChosen();
        };
        ExpectEndedCleanly(
            *w.form, static_cast<QDialog*>(w.form->Windows().*c.dialog), open, [&] { w.form->close(); }, w.path,
            QStringLiteral("USB"));
    }
}

TEST(LiveDialogs, ADialogOpensOnlyOnceTheLoggerHasConfirmedWhatWasSaved) {
    // The first write of each save is answered a second late, so its read-back is still out
    // when the dialog is asked for again.
    SimProcess sim(
        {"--no-pacing", "--fault", "delay at=1 ms=1000 register=9", "--fault", "delay at=1 ms=1000 register=80"});
    ASSERT_TRUE(sim.Running());
    LiveWindow w(sim);
    ASSERT_TRUE(w.Ready());
    // The box that says why, taken away again.
    auto boxSaysWhy = [&] {
        auto* box = w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kParamsPendingBox));
        const bool shown = box && box->isVisible() &&
                           box->text().startsWith(QStringLiteral("Parametry nie zostały jeszcze odczytane z Loggera."));
        delete box;
        return shown;
    };

    auto* freq = static_cast<SaveIntervalDialog*>(w.form->Windows().saveIntervalDialog);
    const auto openFreq = w.Clicker(objname::kChangeIntervalButton);
    ASSERT_TRUE(WhileShown(freq, openFreq, [&] {
        freq->daysSpin->setValue(0);
        freq->hoursEdit->setTime(QTime(0, 7, 0));
        freq->saveButton->click();
    }));
    EXPECT_FALSE(WhileShown(freq, openFreq, [&] { freq->reject(); }));
    EXPECT_TRUE(boxSaysWhy());
    // A poll under way during the save may bring the old value back first: wait for the new one.
    ASSERT_TRUE(WaitUntil([&] { return w.model.Param<WriteInterval>().GetValue() == 420; }));
    int shownSeconds = -1;
    EXPECT_TRUE(WhileShown(freq, openFreq, [&] {
        shownSeconds = freq->daysSpin->value() * 86400 + QTime(0, 0).secsTo(freq->hoursEdit->time());
        freq->reject();
    }));
    EXPECT_EQ(shownSeconds, 420);

    auto* start = static_cast<StartDialog*>(w.form->Windows().startDialog);
    const auto openStart = w.Clicker(objname::kChangeStartButton);
    ASSERT_TRUE(WhileShown(start, openStart, [&] {
        start->timedStartRadio->click();
        // A timed start must lie ahead of the logger's clock.
        const auto today = ParseDateTimeText(w.model.Param<CurrentDate>().GetText());
        ASSERT_TRUE(today);
        start->dateEdit->setDate(today->date().addDays(1));
        start->saveButton->click();
    }));
    // A timed start begins a new log over the unarchived records: asked first.
    ASSERT_TRUE(AnswerNewLogBox(w.form.get(), objname::kStartAnywayButton));
    EXPECT_FALSE(WhileShown(start, openStart, [&] { start->reject(); }));
    EXPECT_TRUE(boxSaysWhy());
    ASSERT_TRUE(
        WaitUntil([&] { return w.model.Param<StartLog>().GetValue() == 2 && w.model.Param<LogStartDate>().Known(); }));
    bool timedShown = false;
    EXPECT_TRUE(WhileShown(start, openStart, [&] {
        timedShown = start->timedStartRadio->isChecked();
        start->reject();
    }));
    EXPECT_TRUE(timedShown);
}

TEST(LiveDialogs, RecordingThatStartsWhileADialogIsOpenClosesItUnwritten) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    LiveWindow w(sim);
    ASSERT_TRUE(w.Ready());
    ASSERT_TRUE(WaitUntil([&] { return w.form->LastStateCode() == 70; }));  // started from the computer
    const QString interval = w.Edit(objname::kIntervalField)->text();
    ASSERT_FALSE(interval.isEmpty());

    auto* freq = static_cast<SaveIntervalDialog*>(w.form->Windows().saveIntervalDialog);
    EXPECT_TRUE(WhileShown(freq, w.Clicker(objname::kChangeIntervalButton), [&] {
        freq->hoursEdit->setTime(freq->hoursEdit->time().addSecs(30));  // never saved
        // The logger begins to record while the dialog is open: here by the start command,
        // as the set start time or the logger's own button would.
        w.model.WriteRecordingBit(true);
    }));
    EXPECT_EQ(freq->result(), QDialog::Rejected);
    // The logger records, with the interval it had.
    ASSERT_TRUE(WaitUntil([&] { return w.form->LastStateCode() == 100; }));
    EXPECT_EQ(w.Edit(objname::kIntervalField)->text(), interval);
}

TEST(LiveDialogs, AWriteTheLoggerRefusesOrDoesNotKeepIsReportedAndTheLinkStays) {
    // The first write of the upper temperature threshold is refused (exception 3); the first
    // write of the lower one is echoed but not kept.
    SimProcess sim(
        {"--no-pacing", "--fault", "exception register=20 at=1 code=3", "--fault", "ignore register=18 at=1"});
    ASSERT_TRUE(sim.Running());
    LiveWindow w(sim);
    ASSERT_TRUE(w.Ready());
    w.form->ApplyLanguage(kLanguagePolish);
    // The boxes the operator was shown, "caption|text".
    const auto boxes = [&] {
        QStringList shown;
        for (const ScriptedPrompts::Box& box : w.prompts.boxes) shown << box.caption + u'|' + box.text;
        return shown;
    };
    const QString lowBefore = w.model.Param<LowTemp>().GetText();
    ASSERT_FALSE(lowBefore.isEmpty());

    struct Step {
        Parameter& parameter;
        const char* value;
        QString shown;  // what the monitor shows afterwards
        QString box;    // empty: taken as sent
    };
    const Step steps[] = {
        // The simulator keeps the refused value all the same; the operator hears of it once.
        {w.model.Param<HighTemp>(), "31,5", "31,5",
         "Błąd|Logger nie przyjął zmiany parametru Górny próg temperatury\nWysłano: 31,5\n"
         "Logger odpowiedział wyjątkiem 3 (niedozwolona wartość)"},
        {w.model.Param<LowTemp>(), "-31,5", lowBefore,
         "Błąd|Logger nie przyjął zmiany parametru Dolny próg temperatury\nWysłano: -31,5\nLogger zachował: " +
             lowBefore},
        {w.model.Param<LowTemp>(), "-21,5", "-21,5", {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.value);
        w.prompts.boxes.clear();
        WriteAndReadBack(w.model, s.parameter, QString::fromLatin1(s.value));
        // The read-back comes before any later poll; the box comes with it or not at all.
        const int expected = s.box.isEmpty() ? 0 : 1;
        ASSERT_TRUE(WaitUntil([&] { return boxes().size() == expected && s.parameter.GetText() == s.shown; }));
        RunFor(300);
        EXPECT_EQ(boxes(), s.box.isEmpty() ? QStringList() : QStringList{s.box});
        EXPECT_EQ(w.form->ConnectionState(), CONN_READY);  // no lost link, no reading anew
    }
}

}  // namespace
}  // namespace quorvex::test
