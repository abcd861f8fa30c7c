#pragma once
// The "[100]Pomiary" tab: the logger's name, clock, temperature and humidity with
// their thresholds, and the state panel with the buttons that start and stop recording.
// It builds its widgets and their bindings to the parameter model, and says the state
// the main window works out from the link and the logger.
#include <QString>
#include <QWidget>

#include "ui/TabParts.h"

class QPushButton;

namespace quorvex {

class ControlBindings;
class ParameterModel;
class StatePanel;

class MonitorTab : public QWidget {
    Q_OBJECT
public:
    // The tab's fields are bound into `bindings` as they are made.
    MonitorTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent = nullptr);

    // Shows state `code` (the link's states 10–35, then the logger's); -1 shows the last
    // one again in the current language. The start or stop button shows with the state
    // that offers it.
    void ShowState(int code);
    int StateCode() const { return stateCode_; }
    const QString& StateText() const { return stateText_; }

signals:
    // A change button: the operator wants to change what `dialog` changes.
    void edit(ParameterDialog dialog);
    // The start (true) or stop button of the state panel.
    void record(bool on);

private:
    StatePanel* statePanel_ = nullptr;
    QPushButton* recordStartButton_ = nullptr;
    QPushButton* recordStopButton_ = nullptr;
    int stateCode_ = -1;
    QString stateText_;
};

}  // namespace quorvex
