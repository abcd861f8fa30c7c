#include "core/SimHidDevice.h"

#include <memory>
#include <mutex>
#include <utility>

#include "core/RequestAssembler.h"

namespace quorvex::sim {

FakeHidResponder MakeSimHidResponder(SimLogger& logger) {
    struct State {
        std::mutex Mutex;
        RequestAssembler Assembler;
    };
    auto state = std::make_shared<State>();
    return [&logger, state](std::uint8_t byte) -> FakeHidReply {
        std::lock_guard lock(state->Mutex);
        const auto request = state->Assembler.Push(byte);
        if (!request) return {};
        SimReply reply = logger.Handle(*request);
        return {std::move(reply.bytes), reply.delayMs};
    };
}

FakeHidDevice MakeSimHidDevice(SimLogger& logger, std::string path) {
    FakeHidDevice device;
    device.Path = std::move(path);
    device.Product = "Logger";
    device.Responder = MakeSimHidResponder(logger);
    return device;
}

}  // namespace quorvex::sim
