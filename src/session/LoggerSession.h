#pragma once
// The logger behind the chosen link, as the window and the command line both use it: the
// transmission thread and the link it works on, the parameter model fed from its replies, and
// the log download handed its log replies. Every message of the thread is taken here, once,
// on the thread that made the session, and told onwards as a typed signal; nothing above the
// session knows the thread's message numbers.
//
// A sent message (a reply handed over) is handled while the transmission thread waits, so the
// reply's data is valid during the signals it brings about. Users connect directly (the
// default on one thread) and must not wait for the operator from a handler.
//
// Without a thread (Options::startThread false: window tests) the session still takes the
// messages a test gives Deliver(); sent ones then carry no reply.
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "logs/LogDownloadObserver.h"
#include "modbus/Messages.h"
#include "modbus/Request.h"
#include "modbus/TransmissionCounters.h"
#include "params/Parameter.h"
#include "params/WriteRefusal.h"
#include "session/CallQueue.h"

namespace quorvex {

class HidBackend;
class LogDownload;
class ParameterModel;
class TransmissionThread;

// What happened to the link, as the session tells it.
enum class LinkEvent : std::uint8_t {
    SerialOpened,      // the serial port opened
    HidOpened,         // the USB logger opened
    PortFailed,        // the serial port did not open, for a reason the system did not name
    PortAccessDenied,  // the system refused this user the serial port
    PortMissing,       // the serial port's device is not there (unplugged); it may come back
    PortBusy,          // the serial port is held by another program
    HidAbsent,         // no USB logger is plugged in (or it was unplugged)
    HidAccessDenied,   // a USB logger is there but the system refused access to it
    HidUnusable,       // a USB logger is there but its reports do not fit the link
    NoResponse,        // a request went unanswered: the logger is gone or silent
    BlocksCorrupted,   // the log blocks kept arriving corrupted: taken as a logger not answering
};

class LoggerSession : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString link;                            // "USB" or a serial port
        bool startThread = true;                 // false: no transmission thread (window tests)
        std::shared_ptr<HidBackend> hidBackend;  // default: the system's hidraw devices
    };
    using ChangedParameters = std::vector<const Parameter*>;

    // `params` is connected to the thread (its requests, its notes as messageLine) until End().
    LoggerSession(ParameterModel& params, Options options, QObject* parent = nullptr);
    ~LoggerSession() override;
    LoggerSession(const LoggerSession&) = delete;
    LoggerSession& operator=(const LoggerSession&) = delete;

    // The download that gets the log replies and is stopped when the link goes; nullptr: none.
    // Its end is told as downloadEnded.
    void SetDownload(LogDownload* logs);
    // Disconnects the model, ends the thread (delivering what it still sends, to nobody) and
    // lets go of the download. Nothing is emitted afterwards. The destructor does it too.
    void End();

    // The one way in for the thread's messages (and for a test standing in for the thread).
    void Deliver(Msg msg, const QString& text = {}, int wParam = 0);

    // Null without a thread, and after End().
    TransmissionThread* Thread() const { return thread_.get(); }
    // The thread's link state (TransmissionThread::LINK_…); LINK_NONE without a thread.
    int LinkState() const;
    QString LinkName() const;
    void SetLinkName(const QString& name);
    QString LinkStatusText() const;
    // The logger is connected and answering.
    bool Connected() const;
    void SetFastFrames(bool on);
    // A request to the thread's queue; dropped without a thread.
    void AddRequest(const Request& request);
    // Both blocks the thread polls, asked for at once: the parameters arrive without waiting
    // for two idle polls.
    void ReadParametersNow();
    TransmissionCounters Counters() const;
    // Counters back to zero; countersChanged follows behind the thread's messages not yet taken.
    void ZeroCounters();
    // The HID devices: their product strings, and the system's notices of them coming and going.
    QStringList HidProducts() const;
    void HidDeviceArrived();
    void HidDeviceRemoved(const QString& node);

signals:
    // The link opened, failed or was lost. While it fails, the thread tries again every 100 ms
    // and each try is told; a lost link has already stopped a running download (as NoAnswer,
    // or CorruptedReplies).
    void linkChanged(quorvex::LinkEvent event);
    // A read reply was stored in the model (its read-backs checked first): `changed` names the
    // parameters whose values it changed (those InvalidateAll emptied included).
    void parametersRead(std::uint16_t startRegister, std::uint16_t count,
                        const quorvex::LoggerSession::ChangedParameters& changed);
    // The logger confirmed a write, starting at that register.
    void writeConfirmed(std::uint16_t startRegister);
    // The logger refused a write, or a read-back shows another value than was written.
    void writeRefused(const quorvex::WriteRefusal& refusal);
    // A log reply was handed to the download: records so far, and those the logger announced (0: unknown).
    void downloadProgress(int records, int announced);
    // The download finished, was stopped or broke off.
    void downloadEnded(const quorvex::DownloadEnd& end);
    // The thread's exchange counters changed.
    void countersChanged();
    // A line for the message log: the thread's status texts and the model's notes.
    void messageLine(const QString& line);
    // The request history changed: a request queued, sent, answered, refused or given up.
    void requestsChanged();

private:
    class EndListener;
    void LinkLost(LinkEvent event);
    void TakeReadReply();
    void TakeLogReply(Msg msg);

    ParameterModel& params_;
    Options options_;
    CallQueue calls_;                        // the thread's messages, on the session's thread in their order
    std::unique_ptr<MessageTarget> bridge_;  // the thread's message target, onto calls_
    std::unique_ptr<TransmissionThread> thread_;
    LogDownload* logs_ = nullptr;
    std::unique_ptr<EndListener> endListener_;  // the download's observer that emits downloadEnded
    bool ended_ = false;
};

}  // namespace quorvex
