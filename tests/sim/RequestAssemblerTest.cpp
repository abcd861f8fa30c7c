#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "core/RequestAssembler.h"

namespace quorvex::test {
namespace {

using Frames = std::vector<std::vector<std::uint8_t>>;

Frames Feed(sim::RequestAssembler& a, const std::vector<std::uint8_t>& bytes, std::vector<std::size_t>* at = nullptr) {
    Frames out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (auto f = a.Push(bytes[i])) {
            out.push_back(*f);
            if (at) at->push_back(i);
        }
    }
    return out;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(RequestAssembler, LengthFollowsTheFunctionCode) {
    const auto read = Frame(ReadOf(0, 29));
    const auto write = Frame(WriteOf(82, 4));
    const auto many = Frame(WriteManyOf(256, std::vector<std::uint16_t>(22, 0x4141)));
    const auto reset = Frame(ResetOf());
    ASSERT_EQ(many.size(), 9u + 44);
    sim::RequestAssembler a;
    std::vector<std::size_t> ends;
    const Frames got = Feed(a, Join({read, write, many, reset}), &ends);
    EXPECT_EQ(got, (Frames{read, write, many, reset}));
    EXPECT_EQ(ends, (std::vector<std::size_t>{7, 15, 15 + 53, 15 + 53 + 8})) << "each frame ends on its last byte";
    EXPECT_FALSE(a.Pending());
}

TEST(RequestAssembler, ResynchronisesAfterGarbageAndBrokenFrames) {
    const auto poll = Frame(ReadOf(256, 90));
    auto broken = Frame(ReadOf(0, 29));
    broken[4] ^= 0x40;
    const auto write = Frame(WriteOf(83, 8));
    sim::RequestAssembler a;
    // Noise that looks like the start of requests (function 3, function 16 with a bad count).
    const std::vector<std::uint8_t> noise{0x00, 0x03, 0x10, 0xFF, 0x10, 0x00, 0x01, 0x00, 0x02, 0x07, 0x55};
    EXPECT_EQ(Feed(a, Join({noise, poll, broken, write, noise, poll})), (Frames{poll, write, poll}));
}

TEST(RequestAssembler, ResetForgetsAPartialFrame) {
    const auto poll = Frame(ReadOf(0, 29));
    sim::RequestAssembler a;
    Feed(a, std::vector<std::uint8_t>(poll.begin(), poll.begin() + 5));
    EXPECT_TRUE(a.Pending());
    a.Reset();
    EXPECT_FALSE(a.Pending());
    EXPECT_EQ(Feed(a, poll), (Frames{poll}));
}

}  // namespace
}  // namespace quorvex::test
