#pragma once
// Starts the built quorvex-sim for a benchmark on a link in a private temporary folder and
// records the engine's messages with their times.
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/SimLauncher.h"
#include "modbus/Messages.h"

namespace quorvex::bench {

// The built quorvex-sim, which sits beside the build's bench folder, started at once.
class BenchSim {
public:
    explicit BenchSim(std::vector<std::string> args) : sim_(SimPath(), std::move(args)) { sim_.Start(); }
    bool Running() const { return sim_.Running(); }
    const std::string& Link() const { return sim_.LinkPath(); }

private:
    static std::string SimPath() {
        const auto exe = std::filesystem::read_symlink("/proc/self/exe");
        return (exe.parent_path().parent_path() / "quorvex-sim").string();
    }
    sim::SimLauncher sim_;
};

struct TimedMessage {
    Msg Id{};
    std::chrono::steady_clock::time_point At;
};

class TimingTarget : public MessageTarget {
public:
    void Post(Msg msg, QString, int) override { Record(msg); }
    void Send(Msg msg) override { Record(msg); }

    bool WaitFor(Msg msg, int n, std::chrono::seconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return CountLocked(msg) >= n; });
    }
    std::vector<TimedMessage> Of(Msg msg) {
        std::lock_guard lock(mutex_);
        std::vector<TimedMessage> out;
        for (const auto& m : all_)
            if (m.Id == msg) out.push_back(m);
        return out;
    }

private:
    void Record(Msg msg) {
        {
            std::lock_guard lock(mutex_);
            all_.push_back({msg, std::chrono::steady_clock::now()});
        }
        changed_.notify_all();
    }
    int CountLocked(Msg msg) const {
        int n = 0;
        for (const auto& m : all_) n += m.Id == msg;
        return n;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TimedMessage> all_;
};

}  // namespace quorvex::bench
