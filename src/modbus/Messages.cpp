#include "modbus/Messages.h"

namespace quorvex {

QString MessageName(int msg)
{
    switch (msg) {
    case WM_PORT_OPENED: return QStringLiteral("WM_PORT_OPENED");
    case WM_PORT_OPEN_ERROR: return QStringLiteral("WM_PORT_OPEN_ERROR");
    case WM_NO_RESPONSE: return QStringLiteral("WM_NO_RESPONSE");
    case WM_WRITE_DONE: return QStringLiteral("WM_WRITE_DONE");
    case WM_READ_DONE: return QStringLiteral("WM_READ_DONE");
    case WM_STATUS_TEXT: return QStringLiteral("WM_STATUS_TEXT");
    case WM_LOG_READ_FAILED: return QStringLiteral("WM_LOG_READ_FAILED");
    case WM_COUNTERS: return QStringLiteral("WM_COUNTERS");
    case WM_FRAME_SENT: return QStringLiteral("WM_FRAME_SENT");
    case WM_COMMAND_QUEUED: return QStringLiteral("WM_COMMAND_QUEUED");
    case WM_LOG_READ_DONE: return QStringLiteral("WM_LOG_READ_DONE");
    case WM_LOG_READ_REFUSED: return QStringLiteral("WM_LOG_READ_REFUSED");
    case WM_HID_CONNECTED: return QStringLiteral("WM_HID_CONNECTED");
    case WM_HID_ABSENT: return QStringLiteral("WM_HID_ABSENT");
    case WM_WRITE_REFUSED: return QStringLiteral("WM_WRITE_REFUSED");
    default: return QStringLiteral("WM_USER+%1").arg(msg - WM_USER);
    }
}

}  // namespace quorvex
