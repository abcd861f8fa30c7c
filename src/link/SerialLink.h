#pragma once
// The serial transport to the logger: one COM port (a device path such as /dev/ttyUSB0,
// a pseudo-terminal or a symlink to one) with the fixed line settings the logger expects
// (9600 baud, 8 data bits, no parity, one stop bit, DTR on, RTS off, no flow control).
//
// The transmission thread owns the one instance and is its only caller, so the object does
// no locking. All calls are blocking and need no running event loop. The underlying
// QSerialPort is created by OpenPort on the calling thread and destroyed by ClosePort, so
// the object may be constructed on one thread and used on another; it must then be closed
// (ClosePort or destruction) on the thread that opened it.
//
// No operation throws: each returns false and leaves a text in LastMessage(). Every
// operation first stores its own failure text (naming PortName()); only OpenPort replaces
// it again, with a more precise text. The texts are not translated.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <QString>

#include "link/Link.h"

class QSerialPort;

namespace quorvex {

// The device node a port name stands for: bare names ("ttyUSB0") are looked up under /dev,
// symlinks are resolved.
QString SerialDeviceLocation(const QString& name);

// The group that owns a device node ("dialout"), or an empty text when it cannot be learnt.
QString DeviceOwnerGroup(const QString& path);

class SerialLink final : public Link {
public:
    // Time-outs of a one-byte read and of a write: a constant plus so much per byte.
    static constexpr int kReadIntervalMs = 15;  // between bytes; a one-byte read never needs it
    static constexpr int kReadTotalMultiplierMs = 1;
    static constexpr int kReadTotalConstantMs = 250;
    static constexpr int kWriteTotalMultiplierMs = 1;
    static constexpr int kWriteTotalConstantMs = 250;
    // Size of the receive queue kept by the port object. Bytes beyond it wait in the device,
    // nothing is dropped. The send side has no queue of its own: Write waits until all is out.
    static constexpr int kInputQueueSize = 1024;

    SerialLink();  // closed, name reference "Com1"
    // Closed; Open() opens the port of this name (and PortName() is it already).
    explicit SerialLink(const QString& name);
    ~SerialLink() override;  // closes the port
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens the port under the given name and applies the line settings. A name that is not
    // a path ("ttyUSB0") is looked up under /dev. Symlinks are resolved before the port is
    // locked, so two names of one device exclude each other; PortName() and the texts keep
    // the name as given. True when open and configured; then LastMessage() is
    // "Port <name> został otwarty.". False with:
    //   "Port <name> jest już otwarty."  when this object already holds a port (it stays open);
    //   "Błąd otwarcia portu: <name>.\rPort nie istnieje lub jest otwarty przez inną aplikację."
    //                                    when the device is missing, busy or refused;
    //   "Nieznany błąd zamknięcia portu: <name>"  when the line settings were refused (the port
    //                                    is closed again). A line without modem control (a
    //                                    pseudo-terminal) is not a failure.
    bool OpenPort(const QString& name);

    // Closes the port. On a closed object LastMessage() becomes "Port nie był otwarty".
    // Always true: this platform releases the descriptor even when close reports an error.
    bool ClosePort();

    // Writes count bytes, waits until the port has taken all of them (at most 250 ms + 1 ms
    // per byte) and then until the device has sent them out on the line (tcdrain), so the
    // caller's send time is the moment the request has left. False at once when closed, when
    // count is 0 or data is null.
    bool Write(const std::uint8_t* data, std::size_t count) override;

    // Reads one byte, waiting up to 251 ms for it. False when nothing came, or at once when closed.
    // A device that has gone away is closed (Opened() turns false).
    // A shorter waitMs bounds the wait further (the protocol's end-of-frame silence).
    bool ReadByte(std::uint8_t& byte, int waitMs = kReadTotalConstantMs + kReadTotalMultiplierMs) override;

    // Discards everything received and not yet read. False at once when closed.
    bool ClearRXBuffer();

    // The link's side of the same operations: Open closes whatever is left and opens
    // PortName() again, with OpenPort's texts; Purge is ClearRXBuffer. FailureText() is
    // LastMessage(), said after every failure.
    LinkKind Kind() const override { return LinkKind::Serial; }
    bool Open() override;
    void Close() override { ClosePort(); }
    bool Purge() override { return ClearRXBuffer(); }
    QString OpenedText() const override;  // "Port <name> został otwarty"
    QString FailureText() const override { return lastMessage_; }
    LinkRefusal Refusal() const override { return refusal_; }

    bool Opened() const override { return opened_ != 0; }
    // The last OpenPort failed because the system refused this user access to the device
    // (EACCES/EPERM), the usual case of a user outside the device's group.
    bool AccessDenied() const { return refusal_ == LinkRefusal::AccessDenied; }
    const QString& LastMessage() const { return lastMessage_; }
    const QString& PortName() const { return portName_; }
    // The name last given to OpenPort; "Com1" before the first open.
    const QString& NameReference() const { return nameReference_; }

private:
    void CloseIfGone();

    std::unique_ptr<QSerialPort> port_;  // the open port; null while closed
    QString nameReference_;
    std::uint8_t opened_ = 0;
    // Why the last OpenPort failed: access denied, no such device, or held by another program.
    LinkRefusal refusal_ = LinkRefusal::None;
    QString lastMessage_;
    QString portName_;
};

}  // namespace quorvex
