#pragma once
// The pseudo-terminal front of the simulator: owns the pty, the symlink to it and the loop
// that cuts requests out of the byte stream, asks the logger and writes its replies paced
// like a 9600 baud line.
#include <string>

#include "core/RequestAssembler.h"
#include "core/SimLogger.h"

namespace quorvex::sim {

struct PtyOptions {
    std::string link;        // the symlink to create
    int baud = 9600;         // 0 = no pacing
    int silenceMs = 50;      // a partial request older than this is dropped
    bool verbose = false;    // one line per request on stderr
    bool watchStdin = true;  // a "quit" line on stdin ends the simulator
};

class PtyServer {
public:
    PtyServer(SimLogger& logger, PtyOptions options);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pty and the link; false with the reason in `error`.
    bool Open(std::string* error);
    const std::string& SlavePath() const { return slavePath_; }
    // Serves until SIGINT, SIGTERM, SIGHUP or a "quit" line on stdin; returns the exit code.
    int Run();

private:
    void Serve(const std::vector<std::uint8_t>& frame);
    // Sleeps, but returns false at once when a stop was requested.
    bool Wait(long long microseconds);
    bool WriteAll(const std::uint8_t* data, std::size_t length);
    void CheckStdin();

    SimLogger& logger_;
    PtyOptions options_;
    RequestAssembler assembler_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    bool linked_ = false;
    bool stop_ = false;
    bool stdinOpen_ = true;
    std::string stdinLine_;
};

// Installs the SIGINT/SIGTERM/SIGHUP handlers the server listens to.
void InstallStopSignals();

}  // namespace quorvex::sim
