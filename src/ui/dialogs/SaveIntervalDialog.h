#pragma once
// The logger's save interval (registers 9–10, a 24-bit number of seconds),
// given as whole days (0–100) plus a time of day. Every combination the
// controls allow fits the register field, so there is nothing to refuse; an
// unchanged interval writes nothing.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace quorvex {

class ParameterModel;

class SaveIntervalDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxDays = 100;

    SaveIntervalDialog(ParameterModel& model, QWidget* parent = nullptr);

    QGroupBox* fieldsGroup;
    QLabel* intervalCaption;
    QSpinBox* daysSpin;  // days; its read-only edit is daysEdit
    QLineEdit* daysEdit;
    QTimeEdit* hoursEdit;  // hours, minutes, seconds
    QPushButton* saveButton;
    QPushButton* closeButton;

    void onShown();
    void onSaveClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ParameterModel& model_;
    int shownInterval_ = 0;  // seconds
};

}  // namespace quorvex
