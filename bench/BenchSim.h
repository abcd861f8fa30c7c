#pragma once
// Starts the built quorvex-sim for a benchmark on a link in a private temporary folder and
// records the engine's messages with their times.
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "modbus/Messages.h"

namespace quorvex::bench {

class BenchSim {
public:
    explicit BenchSim(std::vector<std::string> args)
    {
        char pattern[] = "/tmp/quorvex-bench-XXXXXX";
        if (!::mkdtemp(pattern))
            return;
        dir_ = pattern;
        link_ = dir_ + "/logger";
        // The simulator sits beside the build's bench folder.
        const auto exe = std::filesystem::read_symlink("/proc/self/exe");
        std::vector<std::string> all{(exe.parent_path().parent_path() / "quorvex-sim").string()};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back("--link");
        all.push_back(link_);
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int in[2];
        if (::pipe2(in, O_CLOEXEC) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        stdin_ = in[1];
        for (int i = 0; i < 1000; ++i) {
            struct stat st {};
            if (::stat(link_.c_str(), &st) == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        link_.clear();
    }
    ~BenchSim()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdin_ >= 0)
            ::close(stdin_);
        std::error_code ignored;
        if (!dir_.empty())
            std::filesystem::remove_all(dir_, ignored);
    }
    bool Running() const { return pid_ > 0 && !link_.empty(); }
    const std::string& Link() const { return link_; }

private:
    std::string dir_, link_;
    pid_t pid_ = -1;
    int stdin_ = -1;
};

struct TimedMessage {
    int Msg;
    std::chrono::steady_clock::time_point At;
};

class TimingTarget : public MessageTarget {
public:
    void Post(int msg, QString, int) override { Record(msg); }
    void Send(int msg) override { Record(msg); }

    bool WaitFor(int msg, int n, std::chrono::seconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return CountLocked(msg) >= n; });
    }
    std::vector<TimedMessage> Of(int msg)
    {
        std::lock_guard lock(mutex_);
        std::vector<TimedMessage> out;
        for (const auto& m : all_)
            if (m.Msg == msg)
                out.push_back(m);
        return out;
    }

private:
    void Record(int msg)
    {
        {
            std::lock_guard lock(mutex_);
            all_.push_back({msg, std::chrono::steady_clock::now()});
        }
        changed_.notify_all();
    }
    int CountLocked(int msg) const
    {
        int n = 0;
        for (const auto& m : all_)
            n += m.Msg == msg;
        return n;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TimedMessage> all_;
};

}  // namespace quorvex::bench
