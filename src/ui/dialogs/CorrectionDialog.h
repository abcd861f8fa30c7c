#pragma once
// The temperature and humidity corrections the logger adds to its measurements
// (registers 300 and 301, each −3 to 3). A changed correction is written and
// read back, and the logger is then sent its reset command once so that the
// new corrections take effect; an unchanged dialog sends nothing.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvex {

class ParameterModel;

class CorrectionDialog : public QDialog {
    Q_OBJECT
public:
    CorrectionDialog(ParameterModel& model, QWidget* parent = nullptr);

    QLabel* tempCaption;
    QLineEdit* tempEdit;
    QLabel* tempUnit;
    QLabel* humCaption;
    QLineEdit* humEdit;
    QLabel* humUnit;
    QPushButton* saveButton;
    QPushButton* closeButton;

    void onShown();
    void onSaveClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ParameterModel& model_;
    QString shownTemp_;
    QString shownHum_;
};

}  // namespace quorvex
