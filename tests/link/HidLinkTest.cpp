// HidLink over in-memory HID devices.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "core/FakeHidBackend.h"
#include "link/HidLink.h"

using namespace quorvex;
using quorvex::sim::FakeHidBackend;
using quorvex::sim::FakeHidDevice;

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

FakeHidDevice Device(const std::string& product, int n, std::uint16_t vid = 0x1234) {
    FakeHidDevice d;
    d.Path = "/dev/hidraw" + std::to_string(n);
    d.Product = product;
    d.VendorId = vid;
    d.ProductId = static_cast<std::uint16_t>(n);
    return d;
}

struct HidLinkTest : ::testing::Test {
    std::shared_ptr<FakeHidBackend> backend = std::make_shared<FakeHidBackend>();
    HidLink hid{backend};
};

TEST_F(HidLinkTest, NoDevicesMeansOneEnumerationNoOpenAndAnEmptyList) {
    EXPECT_FALSE(hid.OpenByProduct("Logger"));
    EXPECT_EQ(backend->EnumerateCalls(), 1);
    EXPECT_EQ(backend->OpenCalls(), 0);
    EXPECT_FALSE(hid.Opened());
    EXPECT_FALSE(hid.AccessDenied());

    QStringList list{"stale entry"};
    hid.ListProducts(list);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(HidLinkTest, OnlyTheFirstTwentyInterfacesAreLookedAt) {
    for (int i = 0; i < 25; ++i) backend->AddDevice(Device(i == 22 ? "Logger" : "Mouse " + std::to_string(i), i));
    EXPECT_FALSE(hid.OpenByProduct("Logger"));
    EXPECT_EQ(backend->OpenCalls(), 0) << "chosen by product string: no other device is opened (and woken)";
    EXPECT_EQ(backend->EnumerateCalls(), 1);

    QStringList list;
    hid.ListProducts(list);
    ASSERT_EQ(list.size(), 20);
    EXPECT_EQ(list.front(), "Mouse 0");
    EXPECT_EQ(list.back(), "Mouse 19");
    EXPECT_FALSE(list.contains("Logger"));

    // The twentieth is still looked at.
    auto edge = std::make_shared<FakeHidBackend>();
    for (int i = 0; i < 20; ++i) edge->AddDevice(Device(i == 19 ? "Logger" : "Keyboard", i));
    HidLink h(edge);
    ASSERT_TRUE(h.OpenByProduct("Logger"));
    EXPECT_EQ(h.Device().ProductId, 19);
    EXPECT_EQ(edge->OpenHandles(), 1);
}

TEST_F(HidLinkTest, ProductMatchIsExactAndIgnoresIds) {
    backend->AddDevice(Device("logger", 0, 0x04D8));
    backend->AddDevice(Device("LOGGER", 1, 0x04D8));
    backend->AddDevice(Device("Logger ", 2, 0x04D8));
    backend->AddDevice(Device("Logger", 3, 0xBEEF));
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    EXPECT_EQ(hid.Device().ProductId, 3);
    EXPECT_EQ(hid.Device().VendorId, 0xBEEF);
    EXPECT_EQ(hid.Device().Product, "Logger");
    EXPECT_EQ(backend->OpenHandles(), 1);

    auto lower = std::make_shared<FakeHidBackend>();
    lower->AddDevice(Device("logger", 0));
    HidLink other(lower);
    EXPECT_FALSE(other.OpenByProduct("Logger"));
    EXPECT_EQ(lower->OpenHandles(), 0);
}

TEST_F(HidLinkTest, SilentDeviceTimesOutAndItsPendingReadIsCancelled) {
    const int dev = backend->AddDevice(Device("Logger", 0));
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    std::uint8_t byte = 0xAA;
    const auto start = Clock::now();
    EXPECT_FALSE(hid.ReadByte(byte));
    const long elapsed = MsSince(start);
    EXPECT_GE(elapsed, 280);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(backend->CancelCalls(), 1);
    EXPECT_EQ(byte, 0xAA);

    // Had the timed-out read stayed pending it would swallow the next report.
    backend->QueueInput(dev, {0x5C});
    ASSERT_TRUE(hid.ReadByte(byte));
    EXPECT_EQ(byte, 0x5C);
    EXPECT_EQ(backend->PendingInput(dev), 0u);
}

TEST_F(HidLinkTest, FrameGoesOutAsOneFullLengthReportPerByte) {
    const int dev = backend->AddDevice(Device("Logger", 0));  // output report: 65 bytes
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    ASSERT_EQ(hid.Capabilities().Output, 65u);
    const std::uint8_t frame[] = {0xFF, 0x03, 0x01, 0x00, 0x00, 0x5A, 0x00, 0x00};
    ASSERT_TRUE(hid.Write(frame, sizeof frame));

    const auto reports = backend->OutputReports(dev);
    ASSERT_EQ(reports.size(), sizeof frame);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        ASSERT_EQ(reports[i].size(), 65u);
        EXPECT_EQ(reports[i][0], 0) << "report id";
        EXPECT_EQ(reports[i][1], frame[i]);
        for (std::size_t k = 2; k < reports[i].size(); ++k) ASSERT_EQ(reports[i][k], 0) << "padding of report " << i;
    }
}

TEST_F(HidLinkTest, RefusesWhatItCannotCarry) {
    std::uint8_t byte = 0;
    const std::uint8_t frame[] = {1, 2};
    EXPECT_FALSE(hid.ReadByte(byte)) << "not open";
    EXPECT_FALSE(hid.Write(frame, 2)) << "not open";

    FakeHidDevice big = Device("Logger", 0);
    big.Lengths = {201, 201};
    const int dev = backend->AddDevice(big);
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    backend->QueueInput(dev, {0x11});
    EXPECT_FALSE(hid.ReadByte(byte));
    EXPECT_EQ(backend->PendingInput(dev), 1u) << "an input report over 200 bytes is not read at all";
    EXPECT_FALSE(hid.Write(frame, 2));
    EXPECT_TRUE(backend->OutputReports(dev).empty());

    auto small = std::make_shared<FakeHidBackend>();
    FakeHidDevice d = Device("Logger", 0);
    d.Lengths = {2, 200};
    const int sdev = small->AddDevice(d);
    HidLink edge(small);
    ASSERT_TRUE(edge.OpenByProduct("Logger"));
    EXPECT_FALSE(edge.Write(frame, 0));
    EXPECT_FALSE(edge.Write(nullptr, 2));
    EXPECT_TRUE(edge.Write(frame, 2)) << "200 bytes is still allowed";
    EXPECT_EQ(small->OutputReports(sdev).size(), 2u);
}

TEST_F(HidLinkTest, LoggerWhoseReportsDoNotFitTheLinkIsClosedAndSaysWhy) {
    FakeHidDevice unreadable = Device("Logger", 0), numbered = unreadable, shortOut = unreadable, shortIn = unreadable;
    unreadable.LengthsReadable = false;
    numbered.Numbered = true;
    shortOut.Lengths = {2, 1};  // no room for the data byte
    shortIn.Lengths = {1, 65};
    for (auto [device, reason] : {std::pair{unreadable, HidUnusable::NoDescriptor},
                                  {numbered, HidUnusable::Numbered},
                                  {shortOut, HidUnusable::ShortOutput},
                                  {shortIn, HidUnusable::ShortInput}}) {
        auto b = std::make_shared<FakeHidBackend>();
        b->AddDevice(device);
        HidLink h(b);
        EXPECT_FALSE(h.OpenByProduct("Logger"));
        EXPECT_EQ(h.Unusable(), reason);
        EXPECT_EQ(h.UnusablePath(), "/dev/hidraw0");
        EXPECT_EQ(b->OpenHandles(), 0);
    }
}

TEST_F(HidLinkTest, ReopeningClosesTheOldHandleFirst) {
    backend->AddDevice(Device("Logger", 0));
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    EXPECT_EQ(backend->OpenHandles(), 1);
    hid.Close();
    EXPECT_FALSE(hid.Opened());
    EXPECT_EQ(backend->OpenHandles(), 0);
    hid.Close();  // closing twice is harmless
}

TEST_F(HidLinkTest, VanishedDeviceClosesItselfAndIsFoundWhenBack) {
    const int dev = backend->AddDevice(Device("Logger", 0));
    ASSERT_TRUE(hid.OpenByProduct("Logger"));
    EXPECT_EQ(hid.Path(), "/dev/hidraw0");
    backend->SetPresent(dev, false);
    std::uint8_t byte = 0;
    const auto start = Clock::now();
    EXPECT_FALSE(hid.ReadByte(byte));
    EXPECT_LT(MsSince(start), 250) << "a hung-up node fails at once";
    EXPECT_FALSE(hid.Opened()) << "closed, so the connect step looks for it again";
    EXPECT_EQ(backend->OpenHandles(), 0);

    // A write that meets the hang-up closes it as well.
    backend->SetPresent(dev, true);
    ASSERT_TRUE(hid.OpenByProduct("Logger")) << "plugged in again";
    backend->SetPresent(dev, false);
    const std::uint8_t frame[] = {0xFF, 0x03};
    EXPECT_FALSE(hid.Write(frame, 2));
    EXPECT_FALSE(hid.Opened());
}

TEST_F(HidLinkTest, RefusedLoggerIsListedAndRemembered) {
    const int dev = backend->AddDevice(Device("Mouse", 0));
    const int logger = backend->AddDevice(Device("Logger", 1));
    backend->SetAccessDenied(logger, true);
    backend->SetAccessDenied(dev, true);

    EXPECT_FALSE(hid.OpenByProduct("Logger"));
    EXPECT_TRUE(hid.AccessDenied());
    QStringList list;
    hid.ListProducts(list);
    EXPECT_EQ(list, QStringList({"Mouse", "Logger"}));

    backend->SetAccessDenied(logger, false);
    EXPECT_TRUE(hid.OpenByProduct("Logger"));
    EXPECT_FALSE(hid.AccessDenied());

    // Another refused device says nothing about the logger.
    auto others = std::make_shared<FakeHidBackend>();
    const int mouse = others->AddDevice(Device("Mouse", 0));
    others->SetAccessDenied(mouse, true);
    HidLink h(others);
    EXPECT_FALSE(h.OpenByProduct("Logger"));
    EXPECT_FALSE(h.AccessDenied());
}

}  // namespace
