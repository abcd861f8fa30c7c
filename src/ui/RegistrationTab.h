#pragma once
// The "[200]Rejestracja" tab: how and when recording starts, what a full memory does,
// the save interval and the number of saved measurements, each bound to the parameter
// model as it is made.
#include <QWidget>

#include "ui/TabParts.h"

namespace quorvex {

class ControlBindings;
class ParameterModel;

class RegistrationTab : public QWidget {
    Q_OBJECT
public:
    RegistrationTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent = nullptr);

signals:
    // A change button: the operator wants to change what `dialog` changes.
    void edit(ParameterDialog dialog);
};

}  // namespace quorvex
