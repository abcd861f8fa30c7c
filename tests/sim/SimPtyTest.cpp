// The simulator as a separate process behind a pseudo-terminal, talked to with plain termios.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "SimProcess.h"
#include "SimTestUtil.h"
#include "core/SimLogger.h"

namespace quorvex::test {
namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// The program's side of the line: raw 9600 8N1, a frame ends after a silence.
class Line {
public:
    explicit Line(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        if (fd_ < 0) return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~Line() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Open() const { return fd_ >= 0; }

    void Send(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Collects a reply: waits up to `firstMs` for its first byte, then until `gapMs` pass without one.
    std::vector<std::uint8_t> Receive(int firstMs = 2000, int gapMs = 60) {
        std::vector<std::uint8_t> out;
        int wait = firstMs;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, wait) <= 0) return out;
            std::uint8_t buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return out;
            out.insert(out.end(), buf, buf + n);
            wait = gapMs;
        }
    }

    std::vector<std::uint8_t> Ask(const Request& r, int firstMs = 2000) {
        Send(Frame(r));
        return Receive(firstMs);
    }

private:
    int fd_;
};

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

const std::vector<std::string> kFixed{"--no-pacing", "--clock", "2024-05-01 12:00:00"};

TEST(SimPty, FullLogReadOutReturnsEveryRecordOnceThenTheEndOfTheLog) {
    SimProcess sim(kFixed);
    ASSERT_TRUE(sim.Running());
    Line line(sim.LinkPath());
    ASSERT_TRUE(line.Open());

    const auto poll = line.Ask(ReadOf(0, 29));
    ASSERT_EQ(Check(ReadOf(0, 29), poll), ReplyCheck::Accepted);
    const std::uint32_t written = std::uint32_t(WordAt(poll, 11)) << 8 | WordAt(poll, 12) >> 8;
    ASSERT_EQ(written, 250u);

    const Request start = WriteManyOf(13, {0x0000, 0x0100});
    ASSERT_EQ(Check(start, line.Ask(start)), ReplyCheck::Accepted);
    const Request logRead = ReadOf(kLogRegister, 0);
    std::vector<std::uint32_t> got;
    ReplyCheck last = ReplyCheck::Accepted;
    for (int guard = 0; guard < 50 && last == ReplyCheck::Accepted; ++guard) {
        const auto reply = line.Ask(logRead);
        last = Check(logRead, reply);
        if (last != ReplyCheck::Accepted) break;
        ASSERT_EQ(reply[2] % 4, 0);
        for (std::size_t i = 3; i + 4 <= 3u + reply[2]; i += 4)
            got.push_back(std::uint32_t(reply[i]) << 24 | reply[i + 1] << 16 | reply[i + 2] << 8 | reply[i + 3]);
    }
    EXPECT_EQ(last, ReplyCheck::RefusedLogRead);

    // The same scenario in this process, with the same clock, holds the same log.
    sim::Scenario same;
    same.clock = "2024-05-01 12:00:00";
    const sim::SimLogger reference(same, [] { return std::int64_t{0}; });
    EXPECT_EQ(got, std::vector<std::uint32_t>(reference.Records().begin(), reference.Records().end()));
}

TEST(SimPty, CommandLineFaultsAndGarbageOnTheLine) {
    SimProcess sim({"--no-pacing", "--fault", "silent at=1", "--fault", "badcrc at=3"});
    ASSERT_TRUE(sim.Running());
    Line line(sim.LinkPath());
    ASSERT_TRUE(line.Open());
    const Request poll = ReadOf(256, 90);
    EXPECT_TRUE(line.Ask(poll, 300).empty()) << "request 1 gets no reply";
    EXPECT_EQ(Check(poll, line.Ask(poll)), ReplyCheck::Accepted);
    EXPECT_EQ(Check(poll, line.Ask(poll)), ReplyCheck::BadCrc);

    // Noise before a request is skipped; a partial request is forgotten after a silence.
    std::vector<std::uint8_t> noisy{0x00, 0x55, 0x03, 0xFF};
    const auto request = Frame(poll);
    line.Send(noisy);
    line.Send(request);
    EXPECT_EQ(Check(poll, line.Receive()), ReplyCheck::Accepted);
    line.Send(std::vector<std::uint8_t>(request.begin(), request.begin() + 4));
    EXPECT_TRUE(line.Receive(200).empty());
    EXPECT_EQ(Check(poll, line.Ask(poll)), ReplyCheck::Accepted);
}

TEST(SimPty, RepliesArePacedLikeA9600BaudLine) {
    SimProcess sim(std::vector<std::string>{});
    ASSERT_TRUE(sim.Running());
    Line line(sim.LinkPath());
    ASSERT_TRUE(line.Open());
    const Request poll = ReadOf(256, 90);
    line.Send(Frame(poll));
    const auto t0 = Clock::now();
    const auto reply = line.Receive(2000, 100);
    const long long elapsed = MsSince(t0) - 100;  // minus the closing silence
    ASSERT_EQ(Check(poll, reply), ReplyCheck::Accepted);
    // 8 request bytes and 185 reply bytes of 10 bits at 9600 baud: about 200 ms.
    EXPECT_GT(elapsed, 150);
    EXPECT_LT(elapsed, 3000);
}

TEST(SimPty, StopsCleanlyAndSurvivesAHardKill) {
    auto sim = std::make_unique<SimProcess>(kFixed);
    ASSERT_TRUE(sim->Running());
    const std::string link = sim->LinkPath();
    {
        Line line(link);
        ASSERT_EQ(Check(ReadOf(17, 1), line.Ask(ReadOf(17, 1))), ReplyCheck::Accepted);
    }
    sim->Kill();
    EXPECT_TRUE(Exists(link)) << "a killed simulator leaves its link behind";
    ASSERT_TRUE(sim->Restart());
    {
        Line line(link);
        ASSERT_TRUE(line.Open());
        EXPECT_EQ(Check(ReadOf(17, 1), line.Ask(ReadOf(17, 1))), ReplyCheck::Accepted) << "the stale link was replaced";
    }
    EXPECT_EQ(sim->Quit(), 0);
    EXPECT_FALSE(Exists(link)) << "quit removes the link";

    ASSERT_TRUE(sim->Restart());
    EXPECT_EQ(sim->Stop(), 0);
    EXPECT_FALSE(Exists(link)) << "SIGTERM removes the link";
}

TEST(SimPty, RefusesToReplaceAFileAndRejectsBadOptions) {
    char dir[] = "/tmp/quorvex-simfile-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    const std::string file = std::string(dir) + "/notes.txt";
    std::ofstream(file) << "keep me";
    const std::string sim = QUORVEX_SIM_PATH;
    const auto run = [](const std::string& cmd) {
        const int status = std::system((cmd + " </dev/null >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(sim + " --no-pacing --link " + file), 1);
    std::ifstream in(file);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "keep me");
    EXPECT_EQ(run(sim + " --link " + std::string(dir) + "/x --fault 'silent at=0'"), 2);
    EXPECT_EQ(run(sim + " --link " + std::string(dir) + "/x --scenario /nonexistent.ini"), 2);
    EXPECT_EQ(run(sim + " --no-pacing"), 2) << "no link";
    EXPECT_FALSE(Exists(std::string(dir) + "/x"));
    ::unlink(file.c_str());
    ::rmdir(dir);
}

}  // namespace
}  // namespace quorvex::test
