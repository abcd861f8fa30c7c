#pragma once
// The logger name dialog: registers 256–277 hold the name as Windows-1250
// bytes. The writes carry 44 bytes and leave register 278 (the 45th byte) as
// the logger has it, so a new name takes at most 43 characters: its zero end
// always lands in the written registers and the logger keeps exactly what was
// typed. Only characters the logger can store are taken. A longer name read
// from the logger still shows whole; it may be shortened, and Save waits until
// it fits.
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quorvex {

class ParameterModel;

class LoggerNameDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxNameCharacters = 43;  // 22 written registers, the zero end included

    LoggerNameDialog(ParameterModel& model, QWidget* parent = nullptr);

    void onShown();
    void onSaveClicked();
    const QString& ShownName() const { return shownName_; }
    // The edit holds the shown name or a name a save carries whole.
    bool CanSave() const;

    QGroupBox* nameGroup;
    QLineEdit* nameEdit;
    QPushButton* saveButton;
    QPushButton* closeButton;

protected:
    void showEvent(QShowEvent* e) override;

private:
    ParameterModel& model_;
    QString shownName_;
};

}  // namespace quorvex
