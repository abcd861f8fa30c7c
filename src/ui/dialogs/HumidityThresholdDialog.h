#pragma once
// Upper and lower humidity alarm thresholds (registers 20–21 and 18–19).
#include "ui/dialogs/ThresholdDialog.h"

namespace quorvex {

class HumidityThresholdDialog : public ThresholdDialog {
    Q_OBJECT
public:
    HumidityThresholdDialog(ParameterModel& model, QWidget* parent = nullptr);

    QPushButton* const cancelButton;
};

}  // namespace quorvex
