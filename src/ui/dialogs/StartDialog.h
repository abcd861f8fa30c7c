#pragma once
// The start-of-logging dialog: how the logger starts recording (register 0
// bits 0–1, written through command registers 80 and 81), what it does when
// its memory is full (bit 3, command register 83), and the moment of a timed
// start (registers 5–8). Writes only what the operator changed and always
// reads register 0 back.
#include <QDateTime>
#include <QDialog>

#include <functional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace quorvex {

class ParameterModel;

class StartDialog : public QDialog {
    Q_OBJECT
public:
    StartDialog(ParameterModel& model, QWidget* parent = nullptr);

    void onShown();
    // False when the choice was refused (a timed start in the past): nothing was written.
    bool onSaveClicked();
    // What is chosen arms a timed start: when its moment comes the logger begins a new log.
    bool StartsNewLog() const;
    // Set: a save that starts a new log closes the dialog and hands its writing to this, which
    // runs it at once, later or never (the operator may first keep the records the logger holds).
    std::function<void(std::function<void()> write)> BeforeNewLog;

    // -1: register 0 unread (current) or nothing chosen yet (chosen). The
    // chosen values change only through the radio buttons and survive
    // between showings.
    int CurrentStartMode() const { return currentStartMode_; }
    int CurrentOverwrite() const { return currentOverwrite_; }
    int ChosenStartMode() const { return chosenStartMode_; }
    int ChosenOverwrite() const { return chosenOverwrite_; }
    const QString& ShownDateText() const { return shownDate_; }
    const QString& ShownTimeText() const { return shownTime_; }

    QGroupBox* momentGroup;
    QLabel* momentCaption;
    QDateEdit* dateEdit;
    QTimeEdit* timeEdit;
    QGroupBox* modeGroup;
    QRadioButton* buttonStartRadio;
    QRadioButton* immediateStartRadio;
    QRadioButton* timedStartRadio;
    QGroupBox* wrapGroup;
    QRadioButton* stopWhenFullRadio;
    QRadioButton* overwriteRadio;
    QPushButton* saveButton;
    QPushButton* closeButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The logger's clock as last read, or the computer's while that is unknown.
    QDateTime LoggerNow() const;
    // A timed start is chosen whose moment has passed by the logger's clock.
    bool InThePast() const;
    void ClearRadios();
    // Selects the button from code and runs its click handler, as a click would.
    void Select(QRadioButton* button);

    ParameterModel& model_;
    int currentStartMode_ = -1;
    int currentOverwrite_ = -1;
    int chosenStartMode_ = -1;
    int chosenOverwrite_ = -1;
    QString shownDate_;
    QString shownTime_;
};

}  // namespace quorvex
