#include "ui/dialogs/HumidityThresholdDialog.h"

#include "params/ParameterModel.h"

namespace quorvex {

HumidityThresholdDialog::HumidityThresholdDialog(ParameterModel& model, QWidget* parent)
    : ThresholdDialog(model, model.Param<CHighHum>(), model.Param<CLowHum>(),
                      {"FormWilgotnosc", QStringLiteral("[150]Wilgotność"), QStringLiteral("%"), 0.0f, 100.0f,
                       QStringLiteral("[0..100%]"), "ButtonCancel"},
                      parent),
      ButtonCancel(cancelButton_) {}

}  // namespace quorvex
