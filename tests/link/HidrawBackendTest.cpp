// The real hidraw backend on this machine: enumeration through libudev, and the poll-bounded
// read and write paths on file descriptors that behave like a device node.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/HidLink.h"
#include "link/HidrawBackend.h"

using namespace quorvex;

namespace {

using Clock = std::chrono::steady_clock;

TEST(HidrawBackend, EnumeratesPresentDevicesAndOpensNoLoggerThatIsNotThere) {
    auto backend = std::make_shared<HidrawBackend>();
    const auto interfaces = backend->Enumerate();
    for (const auto& i : interfaces) EXPECT_EQ(i.Path.rfind("/dev/hidraw", 0), 0u) << i.Path;
    std::printf("hidraw interfaces present: %zu\n", interfaces.size());

    bool loggerPresent = false;
    for (const auto& i : interfaces) loggerPresent |= i.Product == "Logger";
    HidLink hid(backend);
    if (!loggerPresent) {
        EXPECT_FALSE(hid.OpenByProduct("Logger"));
        EXPECT_FALSE(hid.Opened());
    }
    QStringList list;
    hid.ListProducts(list);
    EXPECT_LE(list.size(), static_cast<int>(interfaces.size()));
}

TEST(HidrawBackend, OpenTellsMissingFromRefused) {
    HidrawBackend backend;
    EXPECT_EQ(backend.Open("/dev/hidraw-does-not-exist").Error, HidOpenError::NotFound);
    if (::geteuid() != 0) {
        // Only root may write /etc/shadow-like files; a plain user gets EACCES.
        EXPECT_EQ(backend.Open("/etc/shadow").Error, HidOpenError::AccessDenied);
    }
}

// A FIFO opened read-write behaves like a hidraw node without a report descriptor: nothing
// to read until someone writes, and whatever is written comes out on the other side.
struct HidrawFifoTest : ::testing::Test {
    std::string path;
    void SetUp() override {
        char dir[] = "/tmp/quorvex-hidraw-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        path = std::string(dir) + "/node";
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
    void TearDown() override {
        ::unlink(path.c_str());
        ::rmdir(path.substr(0, path.rfind('/')).c_str());
    }
};

TEST_F(HidrawFifoTest, ReadTimesOutThenDeliversOneReportLedByReportIdZero) {
    HidrawBackend backend;
    const HidOpenResult opened = backend.Open(path);
    ASSERT_EQ(opened.Error, HidOpenError::None);
    HidDescriptorInfo descriptor;
    EXPECT_FALSE(backend.ReportDescriptor(opened.Handle, descriptor)) << "a FIFO has no report descriptor";

    std::uint8_t report[2] = {0xEE, 0xEE};
    const auto start = Clock::now();
    EXPECT_EQ(backend.ReadInputReport(opened.Handle, report, 2, 300), HidIo::TimedOut);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(ms, 290);
    EXPECT_LT(ms, 2000);

    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::uint8_t data = 0x42;
    ASSERT_EQ(::write(writer, &data, 1), 1);
    ASSERT_EQ(backend.ReadInputReport(opened.Handle, report, 2, 300), HidIo::Ok);
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(report[1], 0x42);

    const std::uint8_t out[4] = {0, 0x7F, 0, 0};
    ASSERT_EQ(backend.WriteOutputReport(opened.Handle, out, sizeof out, 2000), HidIo::Ok);
    std::uint8_t back[8] = {};
    ASSERT_EQ(backend.ReadInputReport(opened.Handle, back, sizeof back, 300), HidIo::Ok);
    EXPECT_EQ(back[1], 0) << "report id travels with the written report";
    EXPECT_EQ(back[2], 0x7F);
    ::close(writer);

    backend.Close(opened.Handle);
    EXPECT_EQ(backend.ReadInputReport(opened.Handle, report, 2, 300), HidIo::Failed) << "closed handle";
}

TEST(HidrawBackend, EndOfFileIsAFailureNotAnEmptyReport) {
    HidrawBackend backend;
    const HidOpenResult opened = backend.Open("/dev/null");
    ASSERT_EQ(opened.Error, HidOpenError::None);
    std::uint8_t report[2] = {};
    EXPECT_EQ(backend.ReadInputReport(opened.Handle, report, 2, 300), HidIo::Failed);
    backend.Close(opened.Handle);
}

}  // namespace
