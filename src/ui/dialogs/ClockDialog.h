#pragma once
// The clock dialog: sets the logger's real-time clock (registers 1–4). Its
// date and time pickers follow the logger's clock or the computer's clock once
// a second until the operator edits one of them; saving writes the date and
// the time separately, each only when its text changed, and reads it back.
#include <QDateTime>
#include <QDialog>
#include <functional>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;
class QTimer;

namespace quorvex {

class ParameterModel;

class ClockDialog : public QDialog {
    Q_OBJECT
public:
    ClockDialog(ParameterModel& model, QWidget* parent = nullptr);

    // Start in logger mode, or in computer mode while the logger clock is unread.
    void onShown();
    void onSaveClicked();
    // Click handlers of the two boxes; they act only when their box is ticked.
    void onComputerTimeClicked();
    // False when the logger's date or time text does not parse (not read yet).
    bool onLoggerTimeClicked();
    // Every second: follow whichever clock is ticked.
    void onPollTimer();

    const QString& ShownDateText() const { return shownDate_; }
    const QString& ShownTimeText() const { return shownTime_; }

    // The computer's clock (local time); tests put a fixed moment here.
    std::function<QDateTime()> ComputerClock = [] { return QDateTime::currentDateTime(); };

    QGroupBox* fieldsGroup;
    QLabel* dateCaption;
    QDateEdit* dateEdit;
    QLabel* timeCaption;
    QTimeEdit* timeEdit;
    QCheckBox* computerTimeCheck;
    QCheckBox* loggerTimeCheck;
    QPushButton* saveButton;
    QPushButton* closeButton;
    QTimer* pollTimer;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    // An edit by the operator (values the dialog sets itself do not come here).
    void onDateEdited();
    void onTimeEdited();
    void SetPickers(QDate date, QTime time);

    ParameterModel& model_;
    QString shownDate_;
    QString shownTime_;
};

}  // namespace quorvex
