#pragma once
// What the logger did with a write the operator asked for, when it was not what was asked.
#include <QString>

namespace quorvex {

class Parameter;

// The logger answered the write with an exception, or the read-back shows another value.
struct WriteRefusal {
    const Parameter* parameter = nullptr;
    QString sent;           // the value written, as the parameter showed it
    int exceptionCode = 0;  // the logger's exception code; 0 when it kept another value
    QString kept;           // the value the read-back shows (exceptionCode 0)
};

}  // namespace quorvex
