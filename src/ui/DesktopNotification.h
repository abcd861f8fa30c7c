#pragma once
// A note on the desktop through the freedesktop notification service on the session bus.
#include <QString>

namespace quorvex {

// Hands the note to the service without waiting for it; false when there is no session bus.
// Where no notification service runs the note is lost and nothing else happens.
bool ShowDesktopNotification(const QString& title, const QString& body);

}  // namespace quorvex
