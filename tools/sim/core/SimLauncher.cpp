#include "core/SimLauncher.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvex::sim {

namespace {
using Clock = std::chrono::steady_clock;

// What tells one link from the next: a link a killed child left behind may still resolve (its
// terminal's number can already belong to another program's terminal), so a start waits for a
// link that is not the stale one, not merely for a link that resolves.
struct LinkIdentity {
    bool exists = false;
    ino_t inode = 0;
    timespec changed{};
    bool operator==(const LinkIdentity& other) const {
        return exists == other.exists && inode == other.inode && changed.tv_sec == other.changed.tv_sec &&
               changed.tv_nsec == other.changed.tv_nsec;
    }
};

LinkIdentity IdentityOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    return {true, st.st_ino, st.st_ctim};
}
}  // namespace

SimLauncher::SimLauncher(std::string executable, std::vector<std::string> args)
    : executable_(std::move(executable)), args_(std::move(args)) {
    char pattern[] = "/tmp/quorvex-sim-XXXXXX";
    if (const char* made = ::mkdtemp(pattern)) {
        dir_ = made;
        link_ = dir_ + "/logger";
    }
}

SimLauncher::~SimLauncher() {
    Stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool SimLauncher::Start() {
    if (dir_.empty()) {
        error_ = "cannot create a temporary folder";
        return false;
    }
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return false;
    }
    const LinkIdentity stale = IdentityOf(link_);
    std::vector<std::string> all{executable_};
    all.insert(all.end(), args_.begin(), args_.end());
    all.push_back("--link");
    all.push_back(link_);
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A launcher that dies without stopping it (a crash, a sanitizer's halt) takes the
        // simulator with it; a simulator left behind would hold the test's output open.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        ::dup2(in[0], STDIN_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) ::dup2(null, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    if (pid < 0) {
        ::close(in[1]);
        error_ = "fork failed";
        return false;
    }
    pid_ = pid;
    stdinFd_ = in[1];

    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        struct stat st {};
        const LinkIdentity now = IdentityOf(link_);
        if (now.exists && !(stale.exists && now == stale) && ::stat(link_.c_str(), &st) == 0)
            return true;  // the child's own link, and its terminal exists
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            ::close(stdinFd_), stdinFd_ = -1;
            error_ = "quorvex-sim exited at start with status " + std::to_string(status);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    error_ = "quorvex-sim did not create " + link_ + " in time";
    Kill();
    return false;
}

int SimLauncher::WaitExit(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (Clock::now() < deadline) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (stdinFd_ >= 0) ::close(stdinFd_), stdinFd_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Kill();
    return -1;
}

int SimLauncher::Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    return WaitExit(5000);
}

int SimLauncher::Quit() {
    if (pid_ <= 0 || stdinFd_ < 0) return -1;
    [[maybe_unused]] ssize_t n = ::write(stdinFd_, "quit\n", 5);
    return WaitExit(5000);
}

void SimLauncher::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    if (stdinFd_ >= 0) ::close(stdinFd_), stdinFd_ = -1;
}

}  // namespace quorvex::sim
