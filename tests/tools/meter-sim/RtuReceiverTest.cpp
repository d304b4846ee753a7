#include "RtuReceiver.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(RtuReceiver, SilenceIsThreeAndAHalfCharactersUpTo19200) {
    EXPECT_EQ(RtuReceiver(9600).silenceUs(), 3646); // 3.5 x 10 bits at 9600
    EXPECT_EQ(RtuReceiver(19200).silenceUs(), 1823);
    EXPECT_EQ(RtuReceiver(1200).silenceUs(), 29167);
    EXPECT_EQ(RtuReceiver(38400).silenceUs(), 1750);
    EXPECT_EQ(CharacterTimeUs(9600), 1042);
}

TEST(RtuReceiver, FrameEndsOnlyAfterTheSilence) {
    RtuReceiver rx(9600);
    EXPECT_FALSE(rx.deadlineUs());
    const Bytes a = {1, 3, 1, 0x30}, b = {0, 0x36, 0xC4, 0x2F};
    rx.feed(a, 1000);
    // A pause shorter than the silence keeps the frame together.
    EXPECT_FALSE(rx.take(1000 + 3000));
    rx.feed(b, 4000);
    EXPECT_EQ(*rx.deadlineUs(), 4000 + 3646);
    EXPECT_FALSE(rx.take(4000 + 3645));
    const auto frame = rx.take(4000 + 3646);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, (Bytes{1, 3, 1, 0x30, 0, 0x36, 0xC4, 0x2F}));
    EXPECT_FALSE(rx.take(100000));
    EXPECT_FALSE(rx.deadlineUs());

    // The next request is a frame of its own.
    rx.feed(a, 200000);
    EXPECT_EQ(*rx.take(300000), a);
}

TEST(RtuReceiver, FloodIsDiscardedAndTheNextFrameStillArrives) {
    RtuReceiver rx(38400);
    const Bytes chunk(100, 0x55);
    std::int64_t t = 0;
    for (int k = 0; k < 50; ++k)
        rx.feed(chunk, t += 100);
    EXPECT_FALSE(rx.take(t + 1750));
    EXPECT_EQ(rx.overlongFrames(), 1u);
    const Bytes request = {1, 1, 0, 0, 0, 2, 0xBD, 0xCB};
    rx.feed(request, t + 5000);
    EXPECT_EQ(*rx.take(t + 10000), request);

    // A frame of exactly the longest size is still a frame.
    const Bytes longest(RtuReceiver::MaxFrame, 0xAA);
    rx.feed(longest, t + 20000);
    EXPECT_EQ(rx.take(t + 30000)->size(), RtuReceiver::MaxFrame);
}
