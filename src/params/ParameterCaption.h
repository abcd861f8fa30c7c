#pragma once
// A logger parameter as the operator knows it from the window: the numbered caption for the
// parameter's own name (Parameter::Name, the logger's Polish word, which is what the change log
// keeps as the subject of a write). Whatever shows such a name to the operator shows this.
#include <QString>

namespace quorvex {

// The numbered caption ("[2164]Górny próg temperatury") for a parameter's name; empty for a
// name that has none.
QString ParameterCaption(const QString& parameterName);

}  // namespace quorvex
