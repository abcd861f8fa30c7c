#pragma once
// The logger's parameters for a reader outside the program: one "name: text" line each with
// English names, or one JSON object with stable keys and typed values (numbers, booleans,
// ISO 8601 dates and times, texts; null for a value the logger has not given or that its
// type does not have, such as humidity on a temperature logger).
#include <QJsonObject>
#include <QStringList>

namespace quorvex {

class ParameterModel;

// In the model's parameter order; the texts are those the window shows.
QStringList ParameterLines(const ParameterModel& params);
QJsonObject ParameterJson(const ParameterModel& params);

}  // namespace quorvex
