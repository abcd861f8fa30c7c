#pragma once
// The program-wide hook that turns a numbered text such as
// "[1004]Brak komunikacji z Loggerem" into the wording of the current language.
// The main window (and the command-line session) points it at its translator
// and clears it at its end. It lives here, below everything, because the
// transmission thread's link status text needs it as much as the parameter
// model and the log download do.
#include <QString>

#include <functional>

namespace quorvex {

using TranslateFunction = std::function<QString(const QString&)>;

extern TranslateFunction TranslateHook;

// The text through TranslateHook, or unchanged while the hook is clear.
inline QString TranslatedByHook(const QString& numbered)
{
    return TranslateHook ? TranslateHook(numbered) : numbered;
}

}  // namespace quorvex
