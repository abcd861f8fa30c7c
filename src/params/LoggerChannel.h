#pragma once
// The way out of the parameter model: requests to the transmission thread's queue and lines
// for the message log. The main window (or the command-line session) connects one when it has
// started the thread and disconnects it before the thread ends; while none is connected the
// model and the log download queue nothing.
#include <QString>
#include <functional>

#include "modbus/Request.h"

namespace quorvex {

struct LoggerChannel {
    // Hands a request to the transmission thread's AddRecord (copied into its queue).
    std::function<void(const Request&)> enqueue;
    // Adds a line to the message log (which drops a line equal to the last one).
    std::function<void(const QString&)> note;
};

}  // namespace quorvex
