#include "ui/dialogs/HumidityThresholdDialog.h"
#include "ui/dialogs/ObjectNames.h"

#include "params/ParameterModel.h"

namespace quorvex {

HumidityThresholdDialog::HumidityThresholdDialog(ParameterModel& model, QWidget* parent)
    : ThresholdDialog(model, model.Param<HighHum>(), model.Param<LowHum>(),
                      {objname::kHumidityDialog, QStringLiteral("[150]Wilgotność"), QStringLiteral("%"), 0.0f, 100.0f,
                       QStringLiteral("[0..100%]"), objname::kCancelButton},
                      parent),
      cancelButton(cancelButton_) {}

}  // namespace quorvex
