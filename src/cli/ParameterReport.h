#pragma once
// The logger's parameters for a reader outside the program: one "name: text" line each with
// English names, a coded value followed by its meaning in brackets as the window words it
// ("Start mode: 1 (from computer directly)"); or one JSON object with stable keys and typed
// values (numbers, booleans, ISO 8601 dates and times, texts; null for a value the logger has
// not given or that its type does not have, such as humidity on a temperature logger), and
// for each coded value that is not a flag its meaning under "<key>_meaning".
#include <QJsonObject>
#include <QStringList>

namespace quorvex {

class ParameterModel;

// In the model's parameter order; the texts are those the window shows.
QStringList ParameterLines(const ParameterModel& params);
QJsonObject ParameterJson(const ParameterModel& params);

// A numbered text in English, its lines joined by "; "; empty for an empty text.
QString InEnglish(const QString& numbered);
// "1 (from computer directly)"; the value alone without a meaning.
QString WithMeaning(const QString& value, const QString& meaning);

}  // namespace quorvex
