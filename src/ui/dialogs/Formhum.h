#pragma once
// Upper and lower humidity alarm thresholds (registers 20–21 and 18–19).
#include "ui/dialogs/ThresholdDialog.h"

namespace quorvex {

class TFormWilgotnosc : public ThresholdDialog {
    Q_OBJECT
public:
    TFormWilgotnosc(ParameterModel& model, QWidget* parent = nullptr);

    QPushButton* const ButtonCancel;
};

}  // namespace quorvex
