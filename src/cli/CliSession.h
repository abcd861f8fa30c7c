#pragma once
// The logger session as the command line runs it: the parameter model, the results store and
// the log download the logger session feeds, with what a command waits for. Everything but the
// transmission thread runs on the thread that created it: a command processes events until
// what it waits for has come (RunUntil), and learns from the session's signals what happened.
//
// It sets the program-wide translation hook for its life time; one at a time.
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "logs/LogDownload.h"
#include "logs/ResultsStore.h"
#include "params/ParameterModel.h"
#include "session/LoggerSession.h"

namespace quorvex {

class HidBackend;

class CliSession {
public:
    struct Options {
        QString link;                                     // "USB" or a serial port path
        bool fastFrames = false;                          // replies end as soon as they are complete
        QString language = kLanguagePolish;               // captions of the results file
        std::function<void(const QString&)> diagnostics;  // status texts and diagnostics
        std::shared_ptr<HidBackend> hidBackend;           // default: the system's hidraw devices
    };

    enum class Outcome { Ready, LinkFailed, NoAnswer, Interrupted };

    explicit CliSession(Options options);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

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
    LoggerSession& Session() { return *session_; }

    // How the last download ended; none before one has, or since ForgetDownloadEnd.
    const std::optional<DownloadEnd>& LastDownloadEnd() const { return lastEnd_; }
    void ForgetDownloadEnd() { lastEnd_.reset(); }
    // Told of every log reply taken: records so far, and those the logger announced (0: unknown).
    void OnProgress(std::function<void(int records, int announced)> progress) { progress_ = std::move(progress); }

    // Answered reads starting at a register with a count, so a command can wait for the answer
    // to its own request.
    int ReadsAnswered(std::uint16_t startRegister, std::uint16_t count) const;

private:
    void LinkChanged(LinkEvent event);
    void Lose(const QString& why);
    void Diagnose(const QString& line) const;

    Options options_;
    ParameterModel params_;
    ResultsStore results_;
    LogDownload logs_{params_, results_};
    ProgramTexts programTexts_;
    std::unique_ptr<LoggerSession> session_;
    QString failure_;
    std::optional<DownloadEnd> lastEnd_;
    std::function<void(int, int)> progress_;
    bool opened_ = false;
    bool paramsReady_ = false;
    bool linkLost_ = false;
    int opens_ = 0;
    std::map<std::uint32_t, int> reads_;  // by start register << 16 | count
};

}  // namespace quorvex
