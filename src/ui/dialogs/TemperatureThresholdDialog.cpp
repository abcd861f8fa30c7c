#include "ui/dialogs/TemperatureThresholdDialog.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

#include "params/ParameterModel.h"

namespace quorvex {

TemperatureThresholdDialog::TemperatureThresholdDialog(ParameterModel& model, QWidget* parent)
    : ThresholdDialog(model, model.Param<HighTemp>(), model.Param<LowTemp>(),
                      {objname::kTemperatureDialog, QStringLiteral("[140]Temperatura"), QStringLiteral("°C"), -99.0f,
                       200.0f, QStringLiteral("[-99..200°C]"), objname::kCloseButton},
                      parent),
      closeButton(cancelButton_) {}

}  // namespace quorvex
