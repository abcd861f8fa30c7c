#pragma once
// The twin dialogs that change an upper and a lower alarm threshold kept in
// the logger (temperature in TemperatureThresholdDialog, humidity in HumidityThresholdDialog).
// Both thresholds are checked, upper first, before anything is written; a
// threshold is written only when its text differs from the one shown, and is
// then read back so the monitor shows it once the logger has confirmed it.
#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvex {

class ParameterModel;
class Parameter;

struct ThresholdKind {
    const char* objectName;  // "FormTemperatura"
    QString groupCaption;    // "[140]Temperatura"
    QString unit;            // "°C"
    float low, high;         // accepted range of both fields
    QString rangeText;       // "[-99..200°C]"
    const char* cancelName;  // "closeButton" or "cancelButton"
};

class ThresholdDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox* limitsGroup;
    QLabel* upperCaption;
    QLineEdit* upperEdit;
    QLabel* upperUnit;
    QLabel* lowerCaption;
    QLineEdit* lowerEdit;
    QLabel* lowerUnit;
    QPushButton* saveButton;

    void onShown();
    void onSaveClicked();

protected:
    ThresholdDialog(ParameterModel& model, Parameter& upper, Parameter& lower, const ThresholdKind& kind,
                    QWidget* parent);
    void showEvent(QShowEvent* event) override;

    QPushButton* cancelButton_;

private:
    ParameterModel& model_;
    Parameter& upper_;
    Parameter& lower_;
    float low_, high_;
    QString rangeText_;
    QString shownUpper_;
    QString shownLower_;
};

}  // namespace quorvex
