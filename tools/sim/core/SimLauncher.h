#pragma once
// Runs the quorvex-sim program as a child process: a pseudo-terminal logger behind a link in a
// private temporary folder. Tests and benchmarks use it to talk to a simulated logger through a
// real serial line. The destructor stops the child (SIGTERM, then waits) and removes the folder.
#include <string>
#include <vector>

#include <sys/types.h>

namespace quorvex::sim {

class SimLauncher {
public:
    // `executable` is the quorvex-sim program; `args` are passed before --link. Nothing runs
    // until Start().
    SimLauncher(std::string executable, std::vector<std::string> args);
    ~SimLauncher();
    SimLauncher(const SimLauncher&) = delete;
    SimLauncher& operator=(const SimLauncher&) = delete;

    // Starts the child and waits up to 10 s for its link; false with LastError() otherwise.
    // The child gets SIGTERM when the thread that started it ends, also without a Stop().
    bool Start();
    // Stops it as Ctrl+C would (SIGTERM) and returns its exit status (-1 when it had to be killed).
    int Stop();
    // Sends the "quit" control line on its standard input and returns its exit status.
    int Quit();
    // Kills it at once (SIGKILL), leaving a stale link behind as a crash would.
    void Kill();

    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    const std::string& LinkPath() const { return link_; }
    const std::string& LastError() const { return error_; }

private:
    int WaitExit(int timeoutMs);

    std::string executable_;
    std::vector<std::string> args_;
    std::string dir_;
    std::string link_;
    std::string error_;
    pid_t pid_ = -1;
    int stdinFd_ = -1;
};

}  // namespace quorvex::sim
