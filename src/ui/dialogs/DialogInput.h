#pragma once
// What the number-entry parameter dialogs share: reading a number from an edit
// box within a range, the error box that explains a refusal, and the write of
// one parameter followed by its read-back.
#include <QString>

class QLineEdit;
class QWidget;

namespace quorvex {

class ParameterModel;
class Parameter;

// The two lines of a refusal: which parameter, then why. The texts are
// numbered; the range (e.g. "[-99..200°C]") follows the reason after a blank.
struct NumberFieldTexts {
    QString parameter;            // e.g. "[2052]Parametr górny próg."
    QString notNumber;            // reason when the text does not parse
    QString outOfRange;           // reason when the number lies outside the range
    QString range;                // shown after the out-of-range reason, not translated
    QString rangeParameter = {};  // the parameter line of the range error when its wording differs
};

// Gives the edit the focus and parses its text. A text that is not a number,
// or a number outside low…high (a number that does not compare, too), is
// refused with an error box, and false is returned; else the number goes to *value.
bool ReadNumberField(QLineEdit* edit, float low, float high, const NumberFieldTexts& texts, QWidget* parent,
                     float* value = nullptr);

// The error box of the parameter dialogs: error icon, one OK button, caption
// "Błąd"; the text is translated line by line as built by the caller.
void ShowParameterError(QWidget* parent, const QString& text);

// Queues the parameter's first `count` register copies (1–3) as one
// function-16 write, empties the copies so nothing unconfirmed is shown, and
// queues the read-back that refills them from the logger.
void WriteCopiesAndReadBack(ParameterModel& model, Parameter& parameter, int count);

}  // namespace quorvex
