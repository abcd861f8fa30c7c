#pragma once
// Runs the built quorvex-sim for a test (see SimLauncher): a failed start fails the test.
#include <string>
#include <vector>

#include "core/SimLauncher.h"

namespace quorvex::test {

class SimProcess {
public:
    // Starts quorvex-sim with `args` plus --link; fails the test (ADD_FAILURE) when the link
    // does not appear within a few seconds. Check Running() before relying on it.
    explicit SimProcess(std::vector<std::string> args = {"--no-pacing"});

    const std::string& LinkPath() const { return sim_.LinkPath(); }
    bool Running() const { return sim_.Running(); }
    pid_t Pid() const { return sim_.Pid(); }

    int Stop() { return sim_.Stop(); }
    int Quit() { return sim_.Quit(); }
    void Kill() { sim_.Kill(); }
    // Starts it again with the same arguments on the same link.
    bool Restart();

private:
    bool Start();

    sim::SimLauncher sim_;
};

}  // namespace quorvex::test
