#include "Pty.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace quorvex::test {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void ThrowErrno(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

void MakeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) ThrowErrno("tcgetattr");
    ::cfmakeraw(&t);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) ThrowErrno("tcsetattr");
}

void SetCloseOnExecAndNonBlocking(int fd, bool nonBlocking) {
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    if (nonBlocking) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Milliseconds left until the deadline, for poll(); never negative.
int Remaining(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool PollFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & events) != 0;
}

}  // namespace

Pty::Pty() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) ThrowErrno("openpty");
    slavePath_ = name;
    try {
        MakeRaw(master_);
        MakeRaw(slave_);
    } catch (...) {
        ::close(master_);
        ::close(slave_);
        throw;
    }
    SetCloseOnExecAndNonBlocking(master_, true);
    SetCloseOnExecAndNonBlocking(slave_, false);
}

Pty::~Pty() {
    for (const auto& link : links_) ::unlink(link.c_str());
    if (!linkDir_.empty()) ::rmdir(linkDir_.c_str());
    ::close(master_);
    ::close(slave_);
}

std::string Pty::AddSymlink(std::string path) {
    if (path.empty()) {
        if (linkDir_.empty()) {
            std::string templ = "/tmp/quorvex-pty-XXXXXX";
            if (::mkdtemp(templ.data()) == nullptr) ThrowErrno("mkdtemp");
            linkDir_ = templ;
        }
        path = linkDir_ + "/port" + std::to_string(links_.size());
    }
    if (::symlink(slavePath_.c_str(), path.c_str()) != 0) ThrowErrno("symlink " + path);
    links_.push_back(path);
    return path;
}

bool Pty::Write(const Bytes& bytes, Millis timeout) { return Write(bytes.data(), bytes.size(), timeout); }

bool Pty::Write(const void* data, std::size_t count, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        const ssize_t n = ::write(master_, p, count);
        if (n > 0) {
            p += n;
            count -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (!PollFor(master_, POLLOUT, Remaining(deadline))) return false;
    }
    return true;
}

Pty::Bytes Pty::Read(std::size_t count, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    Bytes out;
    std::uint8_t buf[256];
    while (out.size() < count) {
        const std::size_t want = std::min(sizeof buf, count - out.size());
        const ssize_t n = ::read(master_, buf, want);
        if (n > 0) {
            out.insert(out.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (!PollFor(master_, POLLIN, Remaining(deadline))) break;
    }
    return out;
}

Pty::Bytes Pty::ReadUntilQuiet(Millis quiet, Millis limit) {
    const auto deadline = Clock::now() + limit;
    Bytes out;
    std::uint8_t buf[256];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            out.insert(out.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        const int wait = std::min(static_cast<int>(quiet.count()), Remaining(deadline));
        if (wait <= 0 || !PollFor(master_, POLLIN, wait)) break;
    }
    return out;
}

bool Pty::WaitReadable(Millis timeout) { return PollFor(master_, POLLIN, static_cast<int>(timeout.count())); }

std::size_t Pty::PendingAtPort() const {
    int n = 0;
    return ::ioctl(slave_, FIONREAD, &n) == 0 && n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool Pty::WaitPendingAtPort(std::size_t count, Millis timeout) const {
    const auto deadline = Clock::now() + timeout;
    while (PendingAtPort() < count) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(Millis(1));
    }
    return true;
}

}  // namespace quorvex::test
