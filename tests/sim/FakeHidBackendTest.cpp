// The in-memory HID devices are no kinder than the kernel's hidraw nodes: a ring of 63 unread
// reports per handle, reports one per millisecond, nothing from before a handle's open. (The
// hang-up on unplugging is seen through HidLink.)
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "core/FakeHidBackend.h"

using namespace quorvex;
using namespace std::chrono_literals;

namespace {

TEST(FakeHid, EachHandleKeepsSixtyThreeUnreadReportsOfWhatCameAfterItsOpen) {
    sim::FakeHidBackend b;
    sim::FakeHidDevice d;
    d.Path = "/dev/hidraw7";
    d.Responder = [](std::uint8_t) {  // any report is answered with the bytes 0…99
        sim::FakeHidReply r{std::vector<std::uint8_t>(100)};
        std::iota(r.Bytes.begin(), r.Bytes.end(), 0);
        return r;
    };
    const int dev = b.AddDevice(d);
    const std::uint8_t request[65] = {0, 1};
    // Everything the handle can read until the line stays quiet for 20 ms.
    auto drain = [&](HidHandle h) {
        std::vector<int> bytes;
        std::uint8_t report[2];
        while (b.ReadInputReport(h, report, 2, 20) == HidIo::Ok) bytes.push_back(report[1]);
        return bytes;
    };

    const HidHandle early = b.Open("/dev/hidraw7").Handle;
    ASSERT_EQ(b.WriteOutputReport(early, request, 65, 2000), HidIo::Ok);
    std::this_thread::sleep_for(20ms);
    const HidHandle late = b.Open("/dev/hidraw7").Handle;  // opened while the reply arrives
    std::this_thread::sleep_for(200ms);
    // Nobody read: the first 63 wait, the newest were dropped.
    std::vector<int> first63(63);
    std::iota(first63.begin(), first63.end(), 0);
    EXPECT_EQ(drain(early), first63);
    const auto seen = drain(late);
    ASSERT_FALSE(seen.empty());
    EXPECT_GT(seen.front(), 0) << "reports from before the open are not seen";
    EXPECT_EQ(seen.size(), std::min<std::size_t>(63, static_cast<std::size_t>(100 - seen.front())));
    EXPECT_EQ(seen.back(), seen.front() + static_cast<int>(seen.size()) - 1);
    EXPECT_EQ(b.DroppedReports(dev), 37u + static_cast<std::size_t>(100 - seen.front()) - seen.size());

    // Unread input of a closed handle is gone; a handle that keeps up loses nothing, and the
    // reply takes a millisecond a report.
    b.Close(early);
    ASSERT_EQ(b.WriteOutputReport(late, request, 65, 2000), HidIo::Ok);
    std::this_thread::sleep_for(150ms);
    b.Close(late);
    const HidHandle reader = b.Open("/dev/hidraw7").Handle;
    EXPECT_TRUE(drain(reader).empty());
    const std::size_t dropped = b.DroppedReports(dev);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(b.WriteOutputReport(reader, request, 65, 2000), HidIo::Ok);
    EXPECT_EQ(drain(reader).size(), 100u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 95ms);
    EXPECT_EQ(b.DroppedReports(dev), dropped);
}

}  // namespace
