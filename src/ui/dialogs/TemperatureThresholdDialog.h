#pragma once
// Upper and lower temperature alarm thresholds (registers 20–21 and 18–19).
#include "ui/dialogs/ThresholdDialog.h"

namespace quorvex {

class TemperatureThresholdDialog : public ThresholdDialog {
    Q_OBJECT
public:
    TemperatureThresholdDialog(ParameterModel& model, QWidget* parent = nullptr);

    QPushButton* const closeButton;
};

}  // namespace quorvex
