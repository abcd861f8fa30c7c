#pragma once
// What a keeper of downloads (the archive, the logger session, the command line) learns from
// the log download, beside the view: when a chain of reads begins, every block as it arrives
// with its bytes exactly as received, and how the download ended. The calls come on the
// user-interface thread, inside the download's own steps; an observer must not start, stop or
// resume the download from them.
#include <cstdint>

namespace quorvex {

// How a download ended, and what it brought: read by whoever does not look at the results
// tab's texts and boxes (the command line, the watch, the archive).
struct DownloadEnd {
    enum class Kind : std::uint8_t {
        Finished,          // the logger ended the log (Short(): before the count it announced)
        Stopped,           // the operator stopped it, or chose another link or a reset
        NoAnswer,          // the link went or the logger stopped answering
        Refused,           // the logger refused the write that sets where the reads start
        BadBlock,          // a block whose byte count disagreed with its length
        CorruptedReplies,  // the log blocks arrived corrupted every time they were asked for again
    };
    Kind kind = Kind::Finished;
    int read = 0;          // records of this log the results hold (those kept before included)
    int newRecords = 0;    // of them, those this read brought beyond what was kept before it
    int announced = -1;    // the record count the logger announced; -1 when unknown
    bool newOnly = false;  // a read of only what is new

    bool Short() const { return announced >= 0 && read < announced; }
};

class LogDownloadObserver {
public:
    virtual ~LogDownloadObserver() = default;
    // Reading began (resumed: it goes on after record LogCount()).
    virtual void LogReadStarted(bool resumed) = 0;
    // Records firstNumber, firstNumber + 1, … (numbered from 1 in the log), 4 bytes each.
    virtual void LogBlockRead(int firstNumber, const std::uint8_t* data, int byteCount) = 0;
    // The download finished, was stopped or broke off.
    virtual void LogReadEnded(const DownloadEnd& end) = 0;
};

}  // namespace quorvex
