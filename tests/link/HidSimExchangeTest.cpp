// Whole Modbus exchanges between HidLink and the simulated logger over a fake HID device,
// one frame byte per report in both directions.
#include <gtest/gtest.h>

#include <memory>

#include "core/SimHidDevice.h"
#include "link/HidLink.h"
#include "modbus/FrameRules.h"

using namespace quorvex;
using namespace quorvex::sim;

namespace {

struct HidSimExchange : ::testing::Test {
    SimLogger logger;
    std::shared_ptr<FakeHidBackend> backend = std::make_shared<FakeHidBackend>();
    HidLink hid{backend};
    int device = -1;

    void SetUp() override {
        device = backend->AddDevice(MakeSimHidDevice(logger));
        ASSERT_TRUE(hid.OpenByProduct("Logger"));
    }

    // Sends the request and collects the reply until the line falls silent.
    std::vector<std::uint8_t> Ask(const Request& r) {
        const BuiltRequest built = EncodeRequest(r);
        EXPECT_EQ(built.error, BuildError::None);
        EXPECT_TRUE(hid.Write(built.bytes.data(), built.bytes.size()));
        std::vector<std::uint8_t> reply;
        std::uint8_t byte = 0;
        while (hid.ReadByte(byte)) reply.push_back(byte);
        return reply;
    }
};

Request Read(std::uint16_t start, std::uint16_t count) {
    Request r;
    r.Function = FN_READ_HOLDING;
    r.StartRegister = start;
    r.Count = count;
    return r;
}

TEST_F(HidSimExchange, PollWriteAndReadBack) {
    Request poll = Read(0, 29);
    auto reply = Ask(poll);
    ASSERT_EQ(CheckReply(poll, reply.data(), reply.size()), ReplyCheck::Accepted);
    ApplyReply(poll, reply.data(), reply.size());
    ASSERT_EQ(poll.ByteCount, 58);
    EXPECT_EQ(poll.Data[2 * 17] << 8 | poll.Data[2 * 17 + 1], logger.Register(17)) << "device type";

    Request write;
    write.Function = FN_WRITE_SINGLE;
    write.StartRegister = 18;
    write.Value = 0x4125;
    const auto echo = Ask(write);
    EXPECT_EQ(echo, EncodeRequest(write).bytes);
    EXPECT_EQ(logger.Register(18), 0x4125);

    Request back = Read(18, 1);
    reply = Ask(back);
    ASSERT_EQ(CheckReply(back, reply.data(), reply.size()), ReplyCheck::Accepted);
    EXPECT_EQ(reply[3] << 8 | reply[4], 0x4125);

    const auto reports = backend->OutputReports(device);
    EXPECT_EQ(reports.size(), 8u * 3u) << "one output report per request byte";
    EXPECT_EQ(logger.RequestCount(), 3u);
}

TEST_F(HidSimExchange, LogDownloadCarriesTheLongestFramesIntact) {
    Request start;
    start.Function = FN_WRITE_MULTIPLE;
    start.StartRegister = 13;
    start.Count = 2;
    start.Values = {0, 0x0100};  // next record to read: 1
    const auto started = Ask(start);
    ASSERT_EQ(CheckReply(start, started.data(), started.size()), ReplyCheck::Accepted);

    const Request logRead = Read(kLogRegister, 0);
    std::vector<std::uint32_t> records;
    std::size_t longest = 0;
    for (int guard = 0; guard < 20; ++guard) {
        const auto reply = Ask(logRead);
        const ReplyCheck check = CheckReply(logRead, reply.data(), reply.size());
        if (check == ReplyCheck::RefusedLogRead) break;
        ASSERT_EQ(check, ReplyCheck::Accepted);
        longest = std::max(longest, reply.size());
        for (std::size_t i = 3; i + 4 <= 3u + reply[2]; i += 4)
            records.push_back(std::uint32_t{reply[i]} << 24 | reply[i + 1] << 16 | reply[i + 2] << 8 | reply[i + 3]);
    }
    EXPECT_EQ(longest, 253u);
    EXPECT_EQ(records, std::vector<std::uint32_t>(logger.Records().begin(), logger.Records().end()));
    EXPECT_EQ(backend->PendingInput(device), 0u);
}

}  // namespace
