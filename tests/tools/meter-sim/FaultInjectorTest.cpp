#include "FaultInjector.h"
#include "SlaveProtocol.h"

#include <gtest/gtest.h>

#include <bit>
#include <numeric>

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Reply() {
    Bytes r = {1, 3, 4, 0x13, 0x88, 0x08, 0xFC};
    AppendCrc(r);
    return r;
}

} // namespace

TEST(FaultInjector, WithoutFaultsTheReplyGoesOutWhole) {
    FaultInjector f({});
    for (int k = 0; k < 100; ++k) {
        const auto plan = f.plan(Reply(), 1);
        ASSERT_FALSE(plan.dropped);
        ASSERT_EQ(plan.bytes, Reply());
        ASSERT_EQ(plan.pieces, std::vector<std::size_t>{Reply().size()});
    }
    EXPECT_EQ(f.counts().replies, 100u);
    EXPECT_EQ(f.counts().dropped + f.counts().corrupted + f.counts().stray + f.counts().split, 0u);
}

TEST(FaultInjector, EachFaultDoesWhatItSays) {
    FaultInjector drop({.drop = 1.0});
    EXPECT_TRUE(drop.plan(Reply(), 1).dropped);
    EXPECT_EQ(drop.counts().dropped, 1u);

    FaultInjector corrupt({.corrupt = 1.0, .seed = 5});
    for (int k = 0; k < 200; ++k) {
        const auto plan = corrupt.plan(Reply(), 1);
        ASSERT_EQ(plan.bytes.size(), Reply().size());
        int flipped = 0;
        for (std::size_t i = 0; i < plan.bytes.size(); ++i)
            flipped += std::popcount(std::uint8_t(plan.bytes[i] ^ Reply()[i]));
        ASSERT_EQ(flipped, 1);
        // One flipped bit is always caught by the CRC.
        ASSERT_FALSE(HasValidCrc(plan.bytes));
    }

    FaultInjector stray({.stray = 1.0, .seed = 6});
    const Bytes reply = Reply();
    for (int k = 0; k < 200; ++k) {
        const auto plan = stray.plan(reply, 1);
        const std::size_t junk = plan.bytes.size() - reply.size();
        ASSERT_GE(junk, 1u);
        ASSERT_LE(junk, 4u);
        ASSERT_TRUE(std::equal(reply.begin(), reply.end(), plan.bytes.begin() + junk));
        for (std::size_t i = 0; i < junk; ++i)
            ASSERT_NE(plan.bytes[i], 1) << "junk that looks like the reply's address";
    }

    FaultInjector split({.split = true, .seed = 7});
    for (int k = 0; k < 200; ++k) {
        const auto plan = split.plan(Reply(), 1);
        ASSERT_GE(plan.pieces.size(), 2u);
        ASSERT_EQ(std::accumulate(plan.pieces.begin(), plan.pieces.end(), std::size_t{0}),
                  plan.bytes.size());
        for (auto p : plan.pieces)
            ASSERT_GT(p, 0u);
        ASSERT_EQ(plan.bytes, Reply());
    }
    EXPECT_EQ(split.counts().split, 200u);
}

TEST(FaultInjector, RatesAreKeptAndRepeatableWithTheSeed) {
    const FaultSettings s{.drop = 0.02, .corrupt = 0.02, .stray = 0.01, .split = true, .seed = 7};
    FaultInjector a(s), b(s);
    for (int k = 0; k < 20000; ++k) {
        const auto pa = a.plan(Reply(), 1);
        // A different reply must not change the faults the n-th reply meets.
        const auto pb = b.plan(Bytes(40, 0x11), 1);
        ASSERT_EQ(pa.dropped, pb.dropped);
        ASSERT_EQ(pa.pieces.size() > 1, pb.pieces.size() > 1);
    }
    const auto& c = a.counts();
    EXPECT_EQ(c.dropped, b.counts().dropped);
    EXPECT_EQ(c.corrupted, b.counts().corrupted);
    EXPECT_EQ(c.stray, b.counts().stray);
    EXPECT_NEAR(c.dropped, 400, 80);
    EXPECT_NEAR(c.corrupted, 392, 80); // dropped replies are not corrupted as well
    EXPECT_NEAR(c.stray, 196, 60);
}
