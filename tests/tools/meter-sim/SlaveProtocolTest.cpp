#include "SlaveProtocol.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::int64_t Start = 1'780'000'000'000;

Bytes Frame(Bytes body) {
    AppendCrc(body);
    return body;
}

Bytes Read(std::uint8_t address, std::uint8_t function, std::uint16_t start, std::uint16_t count) {
    return Frame({address, function, std::uint8_t(start >> 8), std::uint8_t(start),
                  std::uint8_t(count >> 8), std::uint8_t(count)});
}

Bytes Write(std::uint8_t address, std::uint8_t function, std::uint16_t start,
            const std::vector<std::uint16_t>& values) {
    Bytes body = {address,
                  function,
                  std::uint8_t(start >> 8),
                  std::uint8_t(start),
                  0,
                  std::uint8_t(values.size()),
                  std::uint8_t(2 * values.size())};
    for (auto v : values) {
        body.push_back(std::uint8_t(v >> 8));
        body.push_back(std::uint8_t(v));
    }
    return Frame(body);
}

class SlaveProtocolTest : public ::testing::Test {
protected:
    MeterModel meter{{.address = 1}, Start};
    SlaveProtocol slave{meter};

    SlaveOutcome Handle(const Bytes& frame) { return slave.handle(frame); }
};

} // namespace

TEST_F(SlaveProtocolTest, ReadRepliesCarryByteCountAndData) {
    auto r = Handle(Read(1, 0x03, 0x130, 54));
    ASSERT_EQ(r.kind, SlaveOutcome::Reply);
    ASSERT_EQ(r.reply.size(), 5u + 108);
    EXPECT_EQ(r.reply[0], 1);
    EXPECT_EQ(r.reply[1], 0x03);
    EXPECT_EQ(r.reply[2], 108);
    EXPECT_EQ((r.reply[3] << 8) | r.reply[4], meter.reg(0x130));
    EXPECT_TRUE(HasValidCrc(r.reply));

    // Relays packed from bit 0, two coils in one byte.
    ASSERT_EQ(meter.writeCoil(1, true), MeterError::None);
    r = Handle(Read(1, 0x01, 0, 2));
    ASSERT_EQ(r.kind, SlaveOutcome::Reply);
    EXPECT_EQ(r.reply, Frame({1, 0x01, 1, 0b10}));

    r = Handle(Read(1, 0x02, 0, 4));
    ASSERT_EQ(r.kind, SlaveOutcome::Reply);
    EXPECT_EQ(r.reply.size(), 6u);
    EXPECT_EQ(r.reply[2], 1);
    EXPECT_LT(r.reply[3], 16);
}

TEST_F(SlaveProtocolTest, WritesAreEchoedAndTakeEffect) {
    auto r = Handle(Frame({1, 0x05, 0, 0, 0xFF, 0}));
    EXPECT_EQ(r.reply, Frame({1, 0x05, 0, 0, 0xFF, 0}));
    std::vector<bool> coils;
    meter.readCoils(0, 1, coils);
    EXPECT_TRUE(coils[0]);

    const Bytes clock = Write(1, 0x10, 0x32A, {2006, 3, 1, 12, 34, 56});
    r = Handle(clock);
    EXPECT_EQ(r.reply, Frame({1, 0x10, 0x03, 0x2A, 0, 6}));
    EXPECT_EQ(meter.reg(0x32A), 2006);

    r = Handle(Write(1, 0xB0, 0x529, {0, 1, 0}));
    EXPECT_EQ(r.reply, Frame({1, 0xB0, 0x05, 0x29, 0, 3}));
    EXPECT_EQ(meter.reg(0x52A), 1);

    r = Handle(Frame({1, 0x06, 0x01, 0x12, 0, 30})); // backlight 30 min
    EXPECT_EQ(r.reply, Frame({1, 0x06, 0x01, 0x12, 0, 30}));
    EXPECT_EQ(meter.reg(0x112), 30);
}

TEST_F(SlaveProtocolTest, ExceptionsForUnknownFunctionsRangesAndValues) {
    struct Case {
        Bytes request;
        std::uint8_t code;
    };
    const Case cases[] = {
        {Read(1, 0x04, 0x130, 1), 0x01},                        // no input registers
        {Frame({1, 0x2B, 0x0E, 0x01, 0x00}), 0x01},             // no identification either
        {Read(1, 0x03, 0x600, 2), 0x02},                        // outside the map
        {Read(1, 0x03, 0x120, 4), 0x02},                        // runs off the block
        {Read(1, 0x01, 1, 2), 0x02},                            // only two relays
        {Frame({1, 0x05, 0, 2, 0xFF, 0}), 0x02},                // no third relay
        {Write(1, 0x10, 0x51B, {0}), 0x02},                     // coefficients need 0xB0
        {Read(1, 0x03, 0x130, 0), 0x03},                        // empty read
        {Read(1, 0x03, 0x130, 126), 0x03},                      // longer than a frame
        {Frame({1, 0x05, 0, 0, 0x12, 0x34}), 0x03},             // coil value
        {Write(1, 0x10, 0x102, {1234}), 0x03},                  // baud rate
        {Frame({1, 0x10, 0x01, 0x56, 0, 2, 3, 0, 0, 0}), 0x03}, // byte count 3 for 2
        {Frame({1, 0x03, 0x01, 0x30, 0, 1, 0}), 0x03},          // one byte too many
    };
    for (const auto& c : cases) {
        const auto r = Handle(c.request);
        ASSERT_EQ(r.kind, SlaveOutcome::Exception) << int(c.request[1]);
        EXPECT_EQ(r.reply, Frame({1, std::uint8_t(c.request[1] | 0x80), c.code}))
            << "function " << int(c.request[1]);
    }
}

TEST_F(SlaveProtocolTest, OtherAddressesAndDamagedFramesAreIgnored) {
    EXPECT_EQ(Handle(Read(2, 0x03, 0x130, 1)).kind, SlaveOutcome::Ignored);
    Bytes damaged = Read(1, 0x03, 0x130, 1);
    damaged[3] ^= 0x01;
    EXPECT_EQ(Handle(damaged).kind, SlaveOutcome::Ignored);
    EXPECT_EQ(Handle(Bytes{1, 3, 0}).kind, SlaveOutcome::Ignored);
    EXPECT_EQ(Handle(Bytes{}).kind, SlaveOutcome::Ignored);
}

TEST_F(SlaveProtocolTest, BroadcastIsExecutedWithoutReply) {
    auto r = Handle(Frame({0, 0x05, 0, 1, 0xFF, 0}));
    EXPECT_EQ(r.kind, SlaveOutcome::Broadcast);
    EXPECT_TRUE(r.reply.empty());
    std::vector<bool> coils;
    meter.readCoils(0, 2, coils);
    EXPECT_TRUE(coils[1]);
    // Neither reads nor refused writes answer a broadcast.
    EXPECT_TRUE(Handle(Read(0, 0x03, 0x130, 1)).reply.empty());
    EXPECT_TRUE(Handle(Read(0, 0x03, 0x700, 1)).reply.empty());
}

TEST_F(SlaveProtocolTest, AddressChangeIsAnsweredAtTheOldAddressThenOnlyTheNew) {
    std::vector<std::uint16_t> settings;
    ASSERT_EQ(meter.readRegisters(0x100, 20, settings), MeterError::None);
    settings[1] = 9;
    const auto r = Handle(Write(1, 0x10, 0x100, settings));
    EXPECT_EQ(r.reply, Frame({1, 0x10, 0x01, 0x00, 0, 20}));
    EXPECT_EQ(Handle(Read(1, 0x03, 0x100, 2)).kind, SlaveOutcome::Ignored);
    const auto again = Handle(Read(9, 0x03, 0x101, 1));
    EXPECT_EQ(again.reply, Frame({9, 0x03, 2, 0, 9}));
}

// Whatever arrives, the meter either stays silent or answers with a well-formed
// frame for the address and function it was asked.
TEST_F(SlaveProtocolTest, RandomFramesNeverGiveMalformedReplies) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::uint8_t functions[] = {0x01, 0x02, 0x03, 0x05, 0x06, 0x10, 0xB0, 0x04, 0x0F, 0x80};
    int replies = 0, exceptions = 0;
    for (int k = 0; k < 20000; ++k) {
        Bytes body;
        const int shape = k % 4;
        const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 260)(rng);
        for (std::size_t i = 0; i < length; ++i)
            body.push_back(std::uint8_t(byte(rng)));
        if (shape >= 1 && body.size() >= 2) {
            body[0] = std::uint8_t(k % 8 == 1 ? 0 : 1);
            body[1] = functions[byte(rng) % std::size(functions)];
        }
        if (shape == 3 && body.size() >= 2) {
            // Plausible reads and writes near the meter's blocks.
            const std::uint16_t bases[] = {0x000, 0x100, 0x130, 0x156, 0x32A, 0x510, 0x51B};
            const std::uint16_t start = bases[byte(rng) % std::size(bases)] + byte(rng) % 8;
            const std::uint8_t count = std::uint8_t(1 + byte(rng) % 10);
            const bool write = body[1] == 0x10 || body[1] == 0xB0;
            body.resize(write ? 7 + 2 * count : 6, std::uint8_t(byte(rng) % 4));
            body[2] = std::uint8_t(start >> 8);
            body[3] = std::uint8_t(start);
            body[4] = 0;
            body[5] = count;
            if (write)
                body[6] = std::uint8_t(2 * count);
        }
        const Bytes frame = shape >= 1 ? Frame(body) : body;
        const auto r = Handle(frame);
        if (r.kind == SlaveOutcome::Ignored || r.kind == SlaveOutcome::Broadcast) {
            ASSERT_TRUE(r.reply.empty());
            continue;
        }
        ASSERT_TRUE(HasValidCrc(r.reply));
        ASSERT_EQ(r.reply[0], frame[0]);
        ASSERT_NE(frame[0], 0);
        if (r.kind == SlaveOutcome::Exception) {
            ++exceptions;
            ASSERT_EQ(r.reply.size(), 5u);
            ASSERT_EQ(r.reply[1], frame[1] | 0x80);
            ASSERT_GE(r.reply[2], 1);
            ASSERT_LE(r.reply[2], 3);
            continue;
        }
        ++replies;
        ASSERT_EQ(r.reply[1], frame[1]);
        const std::size_t count = (frame[4] << 8) | frame[5];
        switch (frame[1]) {
        case 0x01:
        case 0x02:
            ASSERT_EQ(r.reply.size(), 5 + (count + 7) / 8);
            break;
        case 0x03:
            ASSERT_EQ(r.reply.size(), 5 + 2 * count);
            break;
        default:
            ASSERT_EQ(r.reply.size(), 8u);
            ASSERT_TRUE(std::equal(r.reply.begin() + 2, r.reply.begin() + 6, frame.begin() + 2));
        }
        // Random writes may have moved the meter; follow it.
        if (meter.address() != 1) {
            const std::uint16_t one = 1;
            ASSERT_EQ(meter.writeRegisters(0x101, std::span(&one, 1)), MeterError::None);
        }
    }
    // The mix really reached the meter's functions, not only the CRC check.
    EXPECT_GT(replies, 100);
    EXPECT_GT(exceptions, 1000);
}
