#pragma once
// One link to the logger as the transmission thread sees it, whatever carries the bytes: the
// operations every transport provides, each transport in its own files (SerialLink, HidLink)
// with all its state in its own object. The thread holds one link and drives it through these
// calls only; which kind it is matters only for how the thread reports it.
//
// A link is used by one thread at a time and does no locking. No operation throws: failures
// are answered with false and described by FailureText().
#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

namespace quorvex {

enum class LinkKind { Serial, Hid };

// Why the last try to open did not succeed, where the system said why.
enum class LinkRefusal {
    None,
    AccessDenied,  // the device is there but this user may not open it
    Unusable,      // the device is there and opens but cannot carry the frames
    Missing,       // no such device (a serial adapter unplugged): it may come back
    Busy,          // the device is there but held by another program
};

class Link {
public:
    virtual ~Link() = default;

    virtual LinkKind Kind() const = 0;
    virtual bool Opened() const = 0;

    // One try at opening the closed link on what it was made for. A link on a device that
    // comes and goes may keep its own pace between tries and answer false without trying.
    virtual bool Open() = 0;
    virtual void Close() = 0;

    // Reads one byte, waiting up to waitMs; a wait longer than the link's own longest read (or
    // a negative one) is cut to it. False when nothing came. A link whose device has gone away
    // closes itself (Opened() turns false).
    virtual bool ReadByte(std::uint8_t& byte, int waitMs) = 0;
    // Sends a whole frame; true once it has gone out.
    virtual bool Write(const std::uint8_t* frame, std::size_t count) = 0;
    // Discards whatever was received and not yet read.
    virtual bool Purge() = 0;

    // The line for the message log once Open has succeeded.
    virtual QString OpenedText() const = 0;
    // The line for the message log about the last failed call, or nothing when there is
    // nothing new to say.
    virtual QString FailureText() const = 0;
    virtual LinkRefusal Refusal() const = 0;

    // Device notices, for links on devices that come and go; others ignore them.
    // The next Open tries at once (a device arrived, or the link was chosen anew).
    virtual void RetryNow() {}
    // These device nodes went away: a link open on one of them closes, and a closed link
    // tries again at once.
    virtual void DevicesRemoved(const QStringList& /*nodes*/) {}
};

}  // namespace quorvex
