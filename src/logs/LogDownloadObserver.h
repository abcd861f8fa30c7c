#pragma once
// What a keeper of downloads (the archive) learns from the log download, beside the view:
// when a chain of reads begins, every block as it arrives with its bytes exactly as received,
// and when the download ends. The calls come on the user-interface thread, inside the
// download's own steps; an observer must not start, stop or resume the download from them.
#include <cstdint>

namespace quorvex {

class LogDownloadObserver {
public:
    virtual ~LogDownloadObserver() = default;
    // Reading began (resumed: it goes on after record LogCount()).
    virtual void LogReadStarted(bool resumed) = 0;
    // Records firstNumber, firstNumber + 1, … (numbered from 1 in the log), 4 bytes each.
    virtual void LogBlockRead(int firstNumber, const std::uint8_t* data, int byteCount) = 0;
    // The download finished, was stopped or broke off; GetState() tells which.
    virtual void LogReadEnded() = 0;
};

}  // namespace quorvex
