#include "PtyServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace quorvex::sim {

namespace {
int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char c = 's';
    [[maybe_unused]] ssize_t n = ::write(g_stopPipe[1], &c, 1);
}

long long NowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

speed_t BaudConstant(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}
}  // namespace

void InstallStopSignals() {
    if (g_stopPipe[0] < 0 && ::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) std::perror("quorvex-sim: pipe");
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

PtyServer::PtyServer(SimLogger& logger, PtyOptions options) : logger_(logger), options_(std::move(options)) {}

PtyServer::~PtyServer() {
    // Remove the link only while it still points at this simulator's terminal: a simulator
    // started later on the same link owns it by then.
    if (linked_) {
        char target[512];
        const ssize_t n = ::readlink(options_.link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath_) ::unlink(options_.link.c_str());
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::Open(std::string* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Raw 8N1 like the logger's line; the simulator keeps the slave open so the terminal
    // survives the program closing and reopening it.
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    const speed_t speed = BaudConstant(options_.baud > 0 ? options_.baud : 9600);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(slave_, TCSANOW, &tio);

    struct stat st {};
    if (::lstat(options_.link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = options_.link + " exists and is not a symbolic link; not replacing it";
            return false;
        }
        ::unlink(options_.link.c_str());  // a stale link of an earlier run
    }
    if (::symlink(slavePath_.c_str(), options_.link.c_str()) != 0) {
        *error = "cannot create the link " + options_.link + ": " + std::strerror(errno);
        return false;
    }
    linked_ = true;
    return true;
}

bool PtyServer::Wait(long long micros) {
    const long long end = NowMicros() + micros;
    for (;;) {
        const long long left = end - NowMicros();
        if (stop_) return false;
        if (left <= 0) return true;
        pollfd p{g_stopPipe[0], POLLIN, 0};
        timespec ts{static_cast<time_t>(left / 1000000), static_cast<long>((left % 1000000) * 1000)};
        if (::ppoll(&p, 1, &ts, nullptr) > 0 && (p.revents & POLLIN)) stop_ = true;
    }
}

bool PtyServer::WriteAll(const std::uint8_t* data, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(master_, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        // Nobody reads the terminal and its buffer is full: give the reader a second, then drop.
        pollfd p{master_, POLLOUT, 0};
        if (::poll(&p, 1, 1000) <= 0) return false;
    }
    return true;
}

void PtyServer::Serve(const std::vector<std::uint8_t>& frame) {
    const SimReply reply = logger_.Handle(frame);
    if (options_.verbose) std::fprintf(stderr, "%s\n", logger_.LastNote().c_str());
    if (reply.bytes.empty()) return;
    // On a real line the logger hears the request only after its last bit, then answers.
    const long long byteMicros = options_.baud > 0 ? 10'000'000LL / options_.baud : 0;
    if (!Wait(reply.delayMs * 1000LL + byteMicros * static_cast<long long>(frame.size()))) return;
    const std::size_t pauseAfter = reply.pauseMs > 0 ? reply.pauseAfter : 0;
    if (byteMicros == 0) {
        if (pauseAfter > 0) {
            if (!WriteAll(reply.bytes.data(), pauseAfter) || !Wait(reply.pauseMs * 1000LL)) return;
        }
        WriteAll(reply.bytes.data() + pauseAfter, reply.bytes.size() - pauseAfter);
        return;
    }
    const long long t0 = NowMicros();
    for (std::size_t i = 0; i < reply.bytes.size(); ++i) {
        long long due = t0 + byteMicros * static_cast<long long>(i);
        if (pauseAfter > 0 && i >= pauseAfter) due += reply.pauseMs * 1000LL;
        if (!Wait(due - NowMicros()) || !WriteAll(&reply.bytes[i], 1)) return;
    }
}

void PtyServer::CheckStdin() {
    char buf[256];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        stdinOpen_ = false;  // end of input is no request to stop
        return;
    }
    stdinLine_.append(buf, static_cast<std::size_t>(n));
    std::size_t eol;
    while ((eol = stdinLine_.find('\n')) != std::string::npos) {
        std::string line = stdinLine_.substr(0, eol);
        stdinLine_.erase(0, eol + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line == "quit" || line == "q")
            stop_ = true;
        else if (!line.empty())
            std::fprintf(stderr, "quorvex-sim: unknown command '%s' (type quit to stop)\n", line.c_str());
    }
}

int PtyServer::Run() {
    stdinOpen_ = options_.watchStdin;
    long long lastByte = 0;
    std::uint8_t buf[512];
    while (!stop_) {
        pollfd fds[3] = {{g_stopPipe[0], POLLIN, 0}, {master_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        int timeout = -1;
        if (assembler_.Pending()) {
            const long long left = lastByte + options_.silenceMs * 1000LL - NowMicros();
            timeout = left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
        }
        const int ready = ::poll(fds, stdinOpen_ ? 3 : 2, timeout);
        if (ready < 0 && errno != EINTR) {
            std::perror("quorvex-sim: poll");
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            stop_ = true;
            break;
        }
        if (stdinOpen_ && (fds[2].revents & (POLLIN | POLLHUP))) CheckStdin();
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            for (ssize_t i = 0; i < n && !stop_; ++i) {
                lastByte = NowMicros();
                if (auto frame = assembler_.Push(buf[i])) Serve(*frame);
            }
        }
        if (assembler_.Pending() && NowMicros() - lastByte >= options_.silenceMs * 1000LL) {
            if (options_.verbose) std::fprintf(stderr, "quorvex-sim: incomplete request dropped after silence\n");
            assembler_.Reset();
        }
    }
    return 0;
}

}  // namespace quorvex::sim
