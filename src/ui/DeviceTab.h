#pragma once
// The "[500]Urządzenie" tab: the logger's type, serial number, production date,
// firmware, battery and measurement count, each bound to the parameter model as it is made.
#include <QWidget>

namespace quorvex {

class ControlBindings;
class ParameterModel;

class DeviceTab : public QWidget {
    Q_OBJECT
public:
    DeviceTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent = nullptr);
};

}  // namespace quorvex
