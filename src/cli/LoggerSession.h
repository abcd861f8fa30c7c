#pragma once
// The logger behind one link, without a window: the transmission thread, the parameter model
// filled from its replies and the log download controller fed with its log blocks. Everything
// but the thread runs on the thread that created the session, as in the main window: the
// thread's messages are handled there in their order, and for a sent one the thread waits.
//
// The session sets the program-wide hooks (requests, diagnostics, translation) for its life
// time; one session at a time.
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "logs/LogDownload.h"
#include "logs/ResultsStore.h"
#include "modbus/Messages.h"
#include "params/ParameterModel.h"

namespace quorvex {

class HidBackend;
class MessageTarget;
class TransmissionThread;

class LoggerSession : public QObject {
public:
    struct Options {
        QString link;                                     // "USB" or a serial port path
        bool fastFrames = false;                          // replies end as soon as they are complete
        QString language = kLanguagePolish;               // captions of the results file
        std::function<void(const QString&)> diagnostics;  // status texts and diagnostics
        std::shared_ptr<HidBackend> hidBackend;           // default: the system's hidraw devices
    };

    enum class Outcome { Ready, LinkFailed, NoAnswer, Interrupted };

    explicit LoggerSession(Options options);
    ~LoggerSession() override;
    LoggerSession(const LoggerSession&) = delete;
    LoggerSession& operator=(const LoggerSession&) = delete;

    // Opens the link and reads every parameter of the logger, processing events meanwhile.
    // `interrupted` is asked between events.
    Outcome Connect(const std::function<bool()>& interrupted);
    // Why Connect failed or the link was lost: one line for the operator.
    const QString& FailureText() const { return failure_; }

    // Processes events until done() holds, the link is lost or interrupted() holds. True when
    // done() held.
    bool RunUntil(const std::function<bool()>& done, const std::function<bool()>& interrupted);

    // Every parameter has been read since the link opened and the link has not been lost.
    bool ParamsReady() const { return paramsReady_; }
    // The link was lost or the logger stopped answering after Connect succeeded.
    bool LinkLost() const { return linkLost_; }
    // How often the link has been opened: the thread reopens a link that went and came back
    // by itself, so a logger unplugged and plugged in again shows here.
    int Opens() const { return opens_; }

    ParameterModel& Params() { return params_; }
    ResultsStore& Results() { return results_; }
    LogDownload& Logs() { return logs_; }
    TransmissionThread& Thread() { return *thread_; }

    // Counts of hand-overs, so a command can wait for the answer to its own request:
    // confirmed writes of a register, answered reads starting at a register with a count.
    int WritesConfirmed(std::uint16_t startRegister) const;
    int ReadsAnswered(std::uint16_t startRegister, std::uint16_t count) const;

private:
    class Bridge;
    void Handle(Msg msg, const QString& text, int wParam);
    void QueueParameterReads();
    void Lose(const QString& why);
    void Diagnose(const QString& line) const;

    Options options_;
    ParameterModel params_;
    ResultsStore results_;
    LogDownload logs_{params_, results_};
    ProgramTexts programTexts_;
    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<TransmissionThread> thread_;
    QString failure_;
    bool opened_ = false;
    bool failed_ = false;
    bool paramsReady_ = false;
    bool linkLost_ = false;
    bool closing_ = false;
    int opens_ = 0;
    std::map<std::uint16_t, int> writes_;  // by start register
    std::map<std::uint32_t, int> reads_;   // by start register << 16 | count
};

}  // namespace quorvex
