#pragma once
// What the logger is doing, told by its status word and its clock as the main window's state
// panel tells it: a state code and two numbered texts. The window adds the states of the link
// (codes below 60) in front of these; quorvex-cli shows them beside the status word.
#include <QString>

namespace quorvex {

class ParameterModel;

struct StateTexts {
    int code;
    const char* first;   // numbered text of the first line; null for none
    const char* second;  // numbered text of the second line
    int button;          // 0 none, 1 Start, 2 Stop
};

// 60 not recording, started by its button; 70 not recording, started from the computer; 80
// waiting for its start time; 90 its start time has passed; 100 recording; 0 for start mode 3,
// which has no state. Meant for a status word that has been received.
int LoggerStateCode(const ParameterModel& params);

// The texts of a logger state code; null for any other code.
const StateTexts* FindLoggerState(int code);

}  // namespace quorvex
