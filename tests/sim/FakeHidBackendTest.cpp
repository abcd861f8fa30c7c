// The in-memory HID devices are no kinder than the kernel's hidraw nodes: a ring of 63 unread
// reports per handle, reports one per millisecond, nothing from before a handle's open. (The
// hang-up on unplugging is seen through HidClass.)
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/FakeHidBackend.h"

using namespace quorvex;
using namespace quorvex::sim;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// A device that answers the byte 1 with the bytes 0…99.
FakeHidDevice Talker()
{
    FakeHidDevice d;
    d.Path = "/dev/hidraw7";
    d.Product = "Logger";
    d.Responder = [](std::uint8_t b) {
        FakeHidReply r;
        if (b == 1)
            for (int i = 0; i < 100; ++i) r.Bytes.push_back(static_cast<std::uint8_t>(i));
        return r;
    };
    return d;
}

HidIo Ask(FakeHidBackend& b, HidHandle h)
{
    std::vector<std::uint8_t> report(65, 0);
    report[1] = 1;
    return b.WriteOutputReport(h, report.data(), report.size(), 2000);
}

// Everything the handle can read until the line stays quiet for 20 ms.
std::vector<int> Drain(FakeHidBackend& b, HidHandle h)
{
    std::vector<int> bytes;
    std::uint8_t report[2];
    while (b.ReadInputReport(h, report, 2, 20) == HidIo::Ok) bytes.push_back(report[1]);
    return bytes;
}

TEST(FakeHid, EachHandleKeepsSixtyThreeUnreadReportsOfWhatCameAfterItsOpen)
{
    FakeHidBackend b;
    const int dev = b.AddDevice(Talker());
    const HidHandle early = b.Open("/dev/hidraw7").Handle;
    ASSERT_EQ(Ask(b, early), HidIo::Ok);
    std::this_thread::sleep_for(20ms);
    const HidHandle late = b.Open("/dev/hidraw7").Handle;  // opened while the reply arrives
    std::this_thread::sleep_for(200ms);

    // Nobody read: the first 63 wait, the newest were dropped.
    std::vector<int> first63(63);
    for (int i = 0; i < 63; ++i) first63[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(Drain(b, early), first63);
    const auto seen = Drain(b, late);
    ASSERT_FALSE(seen.empty());
    EXPECT_GT(seen.front(), 0) << "reports from before the open are not seen";
    EXPECT_EQ(seen.size(), std::min<std::size_t>(63, static_cast<std::size_t>(100 - seen.front())));
    for (std::size_t i = 1; i < seen.size(); ++i) ASSERT_EQ(seen[i], seen[0] + static_cast<int>(i));
    EXPECT_EQ(b.DroppedReports(dev), 37u + static_cast<std::size_t>(100 - seen.front()) - seen.size());

    // Unread input of a closed handle is gone; a handle that keeps up loses nothing, and the
    // reply takes a millisecond a report.
    b.Close(early);
    ASSERT_EQ(Ask(b, late), HidIo::Ok);
    std::this_thread::sleep_for(150ms);
    b.Close(late);
    const HidHandle reader = b.Open("/dev/hidraw7").Handle;
    EXPECT_TRUE(Drain(b, reader).empty());
    EXPECT_EQ(b.PendingInput(dev), 0u);
    const std::size_t dropped = b.DroppedReports(dev);
    const auto start = Clock::now();
    ASSERT_EQ(Ask(b, reader), HidIo::Ok);
    std::vector<int> all;
    std::uint8_t report[2];
    while (all.size() < 100 && b.ReadInputReport(reader, report, 2, 300) == HidIo::Ok) all.push_back(report[1]);
    EXPECT_GE(Clock::now() - start, 95ms);
    ASSERT_EQ(all.size(), 100u);
    EXPECT_EQ(all.back(), 99);
    EXPECT_EQ(b.DroppedReports(dev), dropped);
}

}  // namespace
