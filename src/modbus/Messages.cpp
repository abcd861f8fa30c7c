#include "modbus/Messages.h"

namespace quorvex {

QString MessageName(Msg msg) {
    switch (msg) {
    case Msg::PortOpened:
        return QStringLiteral("WM_PORT_OPENED");
    case Msg::PortOpenFailed:
        return QStringLiteral("WM_PORT_OPEN_ERROR");
    case Msg::NoResponse:
        return QStringLiteral("WM_NO_RESPONSE");
    case Msg::WriteDone:
        return QStringLiteral("WM_WRITE_DONE");
    case Msg::ReadDone:
        return QStringLiteral("WM_READ_DONE");
    case Msg::StatusText:
        return QStringLiteral("WM_STATUS_TEXT");
    case Msg::LogReadFailed:
        return QStringLiteral("WM_LOG_READ_FAILED");
    case Msg::Counters:
        return QStringLiteral("WM_COUNTERS");
    case Msg::FrameSent:
        return QStringLiteral("WM_FRAME_SENT");
    case Msg::CommandQueued:
        return QStringLiteral("WM_COMMAND_QUEUED");
    case Msg::LogReadDone:
        return QStringLiteral("WM_LOG_READ_DONE");
    case Msg::EndOfLog:
        return QStringLiteral("WM_LOG_READ_REFUSED");
    case Msg::HidConnected:
        return QStringLiteral("WM_HID_CONNECTED");
    case Msg::HidAbsent:
        return QStringLiteral("WM_HID_ABSENT");
    case Msg::WriteRefused:
        return QStringLiteral("WM_WRITE_REFUSED");
    }
    // A number no enumerator names (a message from elsewhere), shown as its offset.
    return QStringLiteral("WM_USER+%1").arg(static_cast<int>(msg) - kFirstMessage);
}

}  // namespace quorvex
