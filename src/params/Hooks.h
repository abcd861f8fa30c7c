#pragma once
// The program-wide hooks through which the parameter model, the log download
// and the dialogs reach the main window's services without knowing it (the
// third, TranslateHook, is in i18n/TranslateHook.h).
// The main window sets them at creation and clears them at shutdown;
// callers test a hook before use and skip their work while it is clear:
//     if (EnqueueHook) EnqueueHook(request);
// Used on the user-interface thread only.
#include <QString>
#include <functional>

#include "i18n/TranslateHook.h"
#include "modbus/Request.h"

namespace quorvex {

// Hands a request to the transmission thread's AddRecord (copied into its queue).
using EnqueueFunction = std::function<void(const Request&)>;
// Adds a line to the message log (which drops a line equal to the last one).
using MessageFunction = std::function<void(const QString&)>;

extern EnqueueFunction EnqueueHook;
extern MessageFunction MessageHook;

}  // namespace quorvex
