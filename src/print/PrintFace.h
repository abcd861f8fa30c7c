#pragma once
// The one face every printout and report is set in: Liberation Sans, loaded
// from the file the package depends on rather than asked for by a name. A
// name goes through the system's substitution (Arial, Helvetica and their
// stand-ins differ from machine to machine), and with it the width of every
// column, the lines a page holds and the pages of a job. Needs a
// QGuiApplication.
#include <QFont>
#include <QString>

namespace quorvex {

// The folder and files of the face as the Debian package fonts-liberation2 installs them.
inline constexpr const char* kPrintFaceFolder = "/usr/share/fonts/truetype/liberation2";
inline constexpr const char* kPrintFaceFiles[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"};

// The family name the loaded files registered; empty when they could not be
// loaded (the printouts then fall back on whatever the system gives for the name).
QString PrintFaceFamily();

// The printouts' face at `points`, plain or bold.
QFont PrintFont(int points, bool bold);

}  // namespace quorvex
