#include "SimProcess.h"

#include <gtest/gtest.h>

namespace quorvex::test {

SimProcess::SimProcess(std::vector<std::string> args) : sim_(QUORVEX_SIM_PATH, std::move(args)) { Start(); }

bool SimProcess::Start() {
    if (sim_.Start()) return true;
    ADD_FAILURE() << sim_.LastError();
    return false;
}

bool SimProcess::Restart() {
    sim_.Stop();
    return Start();
}

}  // namespace quorvex::test
