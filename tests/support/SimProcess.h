#pragma once
// Runs the built quorvex-sim for a test: a pseudo-terminal logger behind a link in a private
// temporary folder. The destructor stops it (SIGTERM, then waits) and removes the folder.
#include <string>
#include <vector>

#include <sys/types.h>

namespace quorvex::test {

class SimProcess {
public:
    // Starts quorvex-sim with `args` plus --link; fails the test (ADD_FAILURE) when the link
    // does not appear within a few seconds. Check Running() before relying on it.
    explicit SimProcess(std::vector<std::string> args = {"--no-pacing"});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& LinkPath() const { return link_; }
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // Stops it as Ctrl+C would (SIGTERM) and returns its exit status (-1 when it had to be killed).
    int Stop();
    // Sends the "quit" control line on its standard input and returns its exit status.
    int Quit();
    // Kills it at once (SIGKILL), leaving a stale link behind as a crash would.
    void Kill();
    // Starts it again with the same arguments on the same link.
    bool Restart();

private:
    bool Start();
    int WaitExit(int timeoutMs);

    std::vector<std::string> args_;
    std::string dir_;
    std::string link_;
    pid_t pid_ = -1;
    int stdinFd_ = -1;
};

}  // namespace quorvex::test
