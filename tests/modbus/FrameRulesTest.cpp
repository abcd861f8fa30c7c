#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modbus/Crc16.h"
#include "modbus/FrameRules.h"

using namespace quorvex;
using Bytes = std::vector<std::uint8_t>;

namespace {
Request MakeRequest(std::uint8_t fn, std::uint16_t reg, std::uint16_t count = 0, std::uint16_t value = 0) {
    Request r;
    r.Function = fn;
    r.StartRegister = reg;
    r.Count = count;
    r.Value = value;
    return r;
}

Bytes WithCrc(Bytes b) {
    b.resize(b.size() + 2);
    AppendCrc(b.data(), b.size() - 2);
    return b;
}

ReplyCheck Check(const Request& r, const Bytes& b) { return CheckReply(r, b.data(), b.size()); }
}  // namespace

TEST(Crc16, CheckValueAndSelfCheck) {
    const std::string s = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()), 0x4B37);

    Bytes frame = WithCrc({0xFF, 0x03, 0x04, 0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(Crc16(frame.data(), frame.size()), 0);
    for (std::size_t byte = 0; byte < frame.size(); ++byte)
        for (int bit = 0; bit < 8; ++bit) {
            Bytes damaged = frame;
            damaged[byte] ^= static_cast<std::uint8_t>(1u << bit);
            EXPECT_EQ(Check(MakeRequest(3, 0, 2), damaged), ReplyCheck::BadCrc) << byte << ":" << bit;
        }
}

TEST(FrameRules, ExampleRequestsByteForByte) {
    EXPECT_EQ(EncodeRequest(MakeRequest(3, 256, 90)).bytes, (Bytes{0xFF, 0x03, 0x01, 0x00, 0x00, 0x5A, 0xD1, 0xD3}));
    EXPECT_EQ(EncodeRequest(MakeRequest(3, 0, 29)).bytes, (Bytes{0xFF, 0x03, 0x00, 0x00, 0x00, 0x1D, 0x90, 0x1D}));
    EXPECT_EQ(EncodeRequest(MakeRequest(0x41, 0)).bytes, (Bytes{0xFF, 0x41, 0x00, 0x00, 0x00, 0x00, 0x28, 0x1B}));
    EXPECT_EQ(EncodeRequest(MakeRequest(6, 82, 0, 4)).bytes, (Bytes{0xFF, 0x06, 0x00, 0x52, 0x00, 0x04, 0x3C, 0x06}));
}

TEST(FrameRules, ResetCommandIgnoresRegisterFields) {
    Request r = MakeRequest(0x41, 0x1234, 7, 9);
    EXPECT_EQ(EncodeRequest(r).bytes, (Bytes{0xFF, 0x41, 0x00, 0x00, 0x00, 0x00, 0x28, 0x1B}));
}

TEST(FrameRules, WriteMultipleNeedsMatchingValues) {
    Request r = MakeRequest(16, 0x0102, 3);
    r.Values = {0x1111, 0x2222, 0x3333};
    BuiltRequest built = EncodeRequest(r);
    ASSERT_EQ(built.error, BuildError::None);
    ASSERT_EQ(built.bytes.size(), 15u);
    EXPECT_EQ(built.bytes[6], 6);
    EXPECT_EQ(Bytes(built.bytes.begin(), built.bytes.begin() + 13),
              (Bytes{0xFF, 0x10, 0x01, 0x02, 0x00, 0x03, 0x06, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33}));
    EXPECT_EQ(Crc16(built.bytes.data(), built.bytes.size()), 0);

    r.Values.pop_back();
    built = EncodeRequest(r);
    EXPECT_EQ(built.error, BuildError::ValuesMismatch);
    EXPECT_TRUE(built.bytes.empty());

    // 123 registers fill the frame buffer to its last byte; beyond that the builder itself
    // refuses, whatever the values, before writing anything.
    r = MakeRequest(16, 10, 123);
    r.Values.assign(123, 0xABCD);
    EXPECT_EQ(EncodeRequest(r).bytes.size(), 255u);
    for (std::uint16_t count : {124, 255}) {
        r = MakeRequest(16, 10, count);
        r.Values.assign(count, 0xABCD);
        FrameBuffer buf{};
        EXPECT_EQ(BuildWriteMultipleRequest(r, buf.data()), 0u) << count;
        EXPECT_EQ(buf, FrameBuffer{}) << count;
    }
    r = MakeRequest(16, 10, 0x0101);
    r.Values = {7};  // only Count's low byte matches
    EXPECT_EQ(EncodeRequest(r).error, BuildError::ValuesMismatch);
}

TEST(FrameRules, UnknownFunctionBuildsNothing) {
    for (std::uint8_t fn : {0, 1, 4, 5, 15, 17, 0x42, 0x83}) {
        BuiltRequest b = EncodeRequest(MakeRequest(fn, 0, 1));
        EXPECT_EQ(b.error, BuildError::UnknownFunction) << int(fn);
        EXPECT_TRUE(b.bytes.empty());
    }
}

TEST(FrameRules, LengthBoundaries) {
    const Request read = MakeRequest(3, 0, 1);
    // Four bytes are too short even with a valid CRC; five pass the length check.
    EXPECT_EQ(Check(read, WithCrc({0xFF, 0x03})), ReplyCheck::TooShort);
    EXPECT_EQ(Check(read, WithCrc({0xFF, 0x03, 0x00})), ReplyCheck::Accepted);
    EXPECT_EQ(Check(read, Bytes{}), ReplyCheck::TooShort);

    Bytes longest(253, 0x00);
    longest[0] = 0xFF;
    longest[1] = 0x03;
    longest[2] = 250;
    longest = WithCrc(longest);
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_EQ(Check(read, longest), ReplyCheck::Accepted);

    Bytes tooLong(254, 0x00);
    tooLong[0] = 0xFF;
    tooLong[1] = 0x03;
    tooLong = WithCrc(tooLong);
    ASSERT_EQ(tooLong.size(), 256u);
    EXPECT_EQ(Check(read, tooLong), ReplyCheck::TooLong);
}

TEST(FrameRules, ChecksApplyInOrder) {
    Request toSeven = MakeRequest(3, 0, 1);
    toSeven.Address = 7;
    // Short beats everything else, even a frame that would fail the CRC too.
    EXPECT_EQ(Check(toSeven, Bytes{0x01, 0x83, 0x00, 0x00}), ReplyCheck::TooShort);
    // A bad CRC is reported before a wrong address or function.
    Bytes badAll = WithCrc({0x01, 0x06, 0x00});
    badAll.back() ^= 0x01;
    EXPECT_EQ(Check(toSeven, badAll), ReplyCheck::BadCrc);
    // Wrong address before wrong function.
    EXPECT_EQ(Check(toSeven, WithCrc({0x01, 0x06, 0x00})), ReplyCheck::WrongAddress);
    EXPECT_EQ(Check(toSeven, WithCrc({0x07, 0x06, 0x00})), ReplyCheck::WrongFunction);
    EXPECT_EQ(Check(toSeven, WithCrc({0x07, 0x03, 0x00})), ReplyCheck::Accepted);
}

TEST(FrameRules, RequestsToLoggerAcceptAnyAddress) {
    const Request read = MakeRequest(3, 0, 1);
    for (int a : {0, 1, 17, 247, 254, 255})
        EXPECT_EQ(Check(read, WithCrc({static_cast<std::uint8_t>(a), 0x03, 0x00})), ReplyCheck::Accepted) << a;
}

TEST(FrameRules, ExceptionRepliesToALogReadOrAWriteAreRefusalsElseWrongCommand) {
    const Bytes exception = WithCrc({0xFF, 0x83, 0x02});
    EXPECT_EQ(Check(MakeRequest(3, 144, 0), exception), ReplyCheck::RefusedLogRead);
    EXPECT_EQ(Check(MakeRequest(3, 143, 0), exception), ReplyCheck::WrongFunction);
    EXPECT_EQ(Check(MakeRequest(3, 0, 29), exception), ReplyCheck::WrongFunction);
    // A write's own exception reply is its refusal, whatever the register; any other code is
    // a plain wrong command.
    EXPECT_EQ(Check(MakeRequest(6, 144, 0, 1), WithCrc({0xFF, 0x86, 0x02})), ReplyCheck::RefusedWrite);
    EXPECT_EQ(Check(MakeRequest(16, 20, 1), WithCrc({0xFF, 0x90, 0x03})), ReplyCheck::RefusedWrite);
    EXPECT_EQ(Check(MakeRequest(16, 20, 1), WithCrc({0xFF, 0x86, 0x03})), ReplyCheck::WrongFunction);
    EXPECT_EQ(Check(MakeRequest(6, 80, 0, 1), WithCrc({0xFF, 0x86, 0x02, 0x00})), ReplyCheck::WrongFunction);
}

TEST(FrameRules, ApplyReplyHandsOverByFunction) {
    Request read = MakeRequest(3, 256, 2);
    Bytes reply = WithCrc({0xFF, 0x03, 0x04, 0x01, 0x02, 0x03, 0x04});
    ApplyReply(read, reply.data(), reply.size());
    EXPECT_EQ(read.ByteCount, 4);
    EXPECT_EQ(read.Data, reply.data() + 3);

    Request w6 = MakeRequest(6, 82, 0, 4);
    Bytes echo6 = WithCrc({0xFF, 0x06, 0x00, 0x53, 0x00, 0x08});
    ApplyReply(w6, echo6.data(), echo6.size());
    EXPECT_EQ(w6.StartRegister, 83);
    EXPECT_EQ(w6.Value, 8);

    Request w16 = MakeRequest(16, 13, 2);
    Bytes echo16 = WithCrc({0xFF, 0x10, 0x00, 0x0D, 0x00, 0x02});
    w16.Count = 0;
    ApplyReply(w16, echo16.data(), echo16.size());
    EXPECT_EQ(w16.StartRegister, 13);
    EXPECT_EQ(w16.Count, 2);

    // An echo without its last word (CRC-valid, 7 bytes) gives nothing: its CRC is no count.
    for (Bytes cut : {WithCrc({0xFF, 0x10, 0x00, 0x0D, 0x00}), WithCrc({0xFF, 0x06, 0x00, 0x53})}) {
        Request w = MakeRequest(cut[1], 13, 2, 4);
        ApplyReply(w, cut.data(), cut.size());
        EXPECT_EQ(w.StartRegister, 13);
        EXPECT_EQ(w.Count, 2);
        EXPECT_EQ(w.Value, 4);
    }
}

TEST(FrameRules, ByteCountNeverReachesPastReceivedData) {
    Request read = MakeRequest(3, 0, 29);
    Bytes reply = WithCrc({0xFF, 0x03, 0xFA, 0x01, 0x02});  // claims 250 bytes, carries 2
    ASSERT_EQ(Check(read, reply), ReplyCheck::Accepted);
    ApplyReply(read, reply.data(), reply.size());
    EXPECT_EQ(read.ByteCount, 2);
    EXPECT_TRUE(read.CountMismatch);
    reply = WithCrc({0xFF, 0x03, 0x00, 0x01, 0x02});  // claims none, carries 2
    ApplyReply(read, reply.data(), reply.size());
    EXPECT_TRUE(read.CountMismatch);
    // Cut before its CRC ends, a frame hands over nothing and no byte past it is read.
    for (std::size_t n = 1; n < 5; ++n) {
        const Bytes cut(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(n));
        ApplyReply(read, cut.data(), cut.size());
        EXPECT_EQ(read.ByteCount, 0) << n;
        EXPECT_TRUE(read.CountMismatch) << n;
    }
}

TEST(FrameRules, ReplyIsCompleteOnlyAtItsLengthWithItsCrcAndItsEcho) {
    const auto complete = [](const Request& r, const Bytes& b) { return ReplyComplete(r, b.data(), b.size()); };
    const auto prefixes = [&](const Request& r, const Bytes& b) {
        for (std::size_t n = 0; n < b.size(); ++n)
            if (ReplyComplete(r, b.data(), n)) return true;
        return false;
    };
    const Request read = MakeRequest(3, 0, 2);
    const Bytes reply = WithCrc({0xFF, 0x03, 0x04, 0x01, 0x02, 0x03, 0x04});
    EXPECT_TRUE(complete(read, reply));
    EXPECT_FALSE(prefixes(read, reply));
    Bytes bad = reply;
    bad.back() ^= 0x01;
    EXPECT_FALSE(complete(read, bad));
    // A block of another size answers some other request: a log read takes any size.
    const Bytes block = WithCrc({0xFF, 0x03, 0x08, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_FALSE(complete(read, block));
    EXPECT_TRUE(complete(MakeRequest(3, 144, 0), block));
    EXPECT_TRUE(complete(MakeRequest(3, 144, 0), WithCrc({0xFF, 0x83, 0x02})));
    EXPECT_FALSE(complete(read, WithCrc({0xFF, 0x07, 0x02})));  // no function the request knows
    // A log block of the longest length a reply may have is whole; one byte more never is.
    for (const std::uint8_t count : {250, 251}) {
        Bytes log = {0xFF, 0x03, count};
        log.resize(3 + count);
        EXPECT_EQ(complete(MakeRequest(3, 144, 0), WithCrc(log)), count == 250) << int(count);
    }

    // Writes and the reset command are complete when they echo the request.
    const Request w6 = MakeRequest(6, 82, 0, 4);
    EXPECT_TRUE(complete(w6, WithCrc({0x01, 0x06, 0x00, 0x52, 0x00, 0x04})));
    EXPECT_FALSE(complete(w6, WithCrc({0xFF, 0x06, 0x00, 0x53, 0x00, 0x04})));
    const Request w16 = MakeRequest(16, 13, 2);
    EXPECT_TRUE(complete(w16, WithCrc({0xFF, 0x10, 0x00, 0x0D, 0x00, 0x02})));
    EXPECT_FALSE(complete(w16, WithCrc({0xFF, 0x10, 0x00, 0x0D, 0x00, 0x01})));
    const Request reset = MakeRequest(0x41, 0);
    EXPECT_TRUE(complete(reset, WithCrc({0xFF, 0x41, 0, 0, 0, 0})));
    EXPECT_FALSE(complete(reset, WithCrc({0xFF, 0x41, 0, 0, 0})));
}
