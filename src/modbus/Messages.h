#pragma once
// The messages through which the transmission thread reports to the main window, and the
// interface that carries them. Their numbers are those the main window has always known.
#include <QString>

namespace quorvex {

// The base the message numbers count from.
constexpr int kFirstMessage = 1024;

enum class Msg : int {
    PortOpened = kFirstMessage + 1,      // posted: the serial port opened
    PortOpenFailed = kFirstMessage + 2,  // posted: opening failed (every 100 ms)
    NoResponse = kFirstMessage + 6,      // posted: a request was given up
    WriteDone = kFirstMessage + 7,       // sent: a function 6 or 16 write confirmed
    ReadDone = kFirstMessage + 8,        // sent: a function 3 read answered
    StatusText = kFirstMessage + 9,      // posted with its own copy of the text
    // Sent: a log read was given up after a corrupted reply (not silence); ResponseRecord is
    // the request, without data. The logger has moved past that block, so the download may ask
    // again from its last good record instead of treating the link as lost (NoResponse).
    LogReadFailed = kFirstMessage + 10,
    Counters = kFirstMessage + 11,       // posted, wParam = ProtocolState
    FrameSent = kFirstMessage + 12,      // posted: a request went out
    CommandQueued = kFirstMessage + 13,  // posted: a request was queued
    LogReadDone = kFirstMessage + 14,    // sent: a read of the log register answered
    EndOfLog = kFirstMessage + 15,       // sent: a log read answered with another code
    HidConnected = kFirstMessage + 16,   // posted: the HID logger opened
    HidAbsent = kFirstMessage + 17,      // posted: no HID logger (every 100 ms)
    // Sent: the logger answered a write with an exception. ResponseRecord is the write, its
    // Data the one byte of the exception code. The logger is there and answering: no lost link.
    WriteRefused = kFirstMessage + 18,
};

// wParam of HidAbsent: a "Logger" is present but the system refused access to it.
constexpr int kHidAccessDenied = 1;
// wParam of HidAbsent: a "Logger" is present and opens, but its reports do not fit the link.
constexpr int kHidUnusable = 2;
// wParam of PortOpenFailed: the system refused access to the serial port (EACCES/EPERM).
constexpr int kPortAccessDenied = 1;
// wParam of PortOpenFailed: the serial port's device is not there (unplugged); it may come back.
constexpr int kPortMissing = 2;
// wParam of PortOpenFailed: the serial port is there but held by another program.
constexpr int kPortBusy = 3;

// The message's name in the diagnostics ("WM_READ_DONE"); "WM_USER+n" for others.
QString MessageName(Msg msg);

// Receiver of the transmission thread's messages, owned by whoever creates the thread.
// Both calls come from the transmission thread (Post also from AddRecord's caller).
class MessageTarget {
public:
    virtual ~MessageTarget() = default;

    // Queue the message and return at once. `text` is the status text of StatusText (a copy
    // the message owns); `wParam` is the protocol state of Counters. Never blocks on the receiver.
    virtual void Post(Msg msg, QString text = {}, int wParam = 0) = 0;

    // Deliver the message and return only once the receiver has handled it: the thread's
    // ResponseRecord and frame buffer stay unchanged meanwhile. The thread holds none of its
    // locks during the call, so the handler may queue follow-up requests.
    virtual void Send(Msg msg) = 0;
};

}  // namespace quorvex
