#pragma once
// The window messages through which the transmission thread reports to the main window,
// and the interface that carries them. Numbers are WM_USER + n as the main window knows them.
#include <QString>

namespace quorvex {

constexpr int WM_USER = 1024;

constexpr int WM_PORT_OPENED = WM_USER + 1;        // 1025 posted: the serial port opened
constexpr int WM_PORT_OPEN_ERROR = WM_USER + 2;    // 1026 posted: opening failed (every 100 ms)
constexpr int WM_NO_RESPONSE = WM_USER + 6;        // 1030 posted: a request was given up
constexpr int WM_WRITE_DONE = WM_USER + 7;         // 1031 sent: a function 6 or 16 write confirmed
constexpr int WM_READ_DONE = WM_USER + 8;          // 1032 sent: a function 3 read answered
constexpr int WM_STATUS_TEXT = WM_USER + 9;        // 1033 posted with its own copy of the text
// 1034 sent: a log read was given up after a corrupted reply (not silence); ResponseRecord is
// the request, without data. The logger has moved past that block, so the download may ask
// again from its last good record instead of treating the link as lost (1030).
constexpr int WM_LOG_READ_FAILED = WM_USER + 10;
constexpr int WM_COUNTERS = WM_USER + 11;          // 1035 posted, wParam = ProtocolState
constexpr int WM_FRAME_SENT = WM_USER + 12;        // 1036 posted: a request went out
constexpr int WM_COMMAND_QUEUED = WM_USER + 13;    // 1037 posted: a request was queued
constexpr int WM_LOG_READ_DONE = WM_USER + 14;     // 1038 sent: a read of the log register answered
constexpr int WM_LOG_READ_REFUSED = WM_USER + 15;  // 1039 sent: a log read answered with another code
constexpr int WM_HID_CONNECTED = WM_USER + 16;     // 1040 posted: the HID logger opened
constexpr int WM_HID_ABSENT = WM_USER + 17;        // 1041 posted: no HID logger (every 100 ms)
// 1042 sent: the logger answered a write with an exception. ResponseRecord is the write, its
// Data the one byte of the exception code. The logger is there and answering: no lost link.
constexpr int WM_WRITE_REFUSED = WM_USER + 18;

// wParam of 1041: a "Logger" is present but the system refused access to it.
constexpr int kHidAccessDenied = 1;
// wParam of 1041: a "Logger" is present and opens, but its reports do not fit the link.
constexpr int kHidUnusable = 2;
// wParam of 1026: the system refused access to the serial port (EACCES/EPERM).
constexpr int kPortAccessDenied = 1;

// The message's name as written in the code ("WM_READ_DONE"); "WM_USER+n" for others.
QString MessageName(int msg);

// Receiver of the transmission thread's messages, owned by whoever creates the thread.
// Both calls come from the transmission thread (Post also from AddRecord's caller).
class MessageTarget {
public:
    virtual ~MessageTarget() = default;

    // Queue the message and return at once. `text` is the status text of 1033 (a copy the
    // message owns); `wParam` is the protocol state of 1035. Never blocks on the receiver.
    virtual void Post(int msg, QString text = {}, int wParam = 0) = 0;

    // Deliver the message and return only once the receiver has handled it: the thread's
    // ResponseRecord and frame buffer stay unchanged meanwhile. The thread holds none of its
    // locks during the call, so the handler may queue follow-up requests.
    virtual void Send(int msg) = 0;
};

}  // namespace quorvex
