#include "Crc16.h"

#include <gtest/gtest.h>

TEST(Crc16, KnownFramesGetTheirWireBytes) {
    EXPECT_EQ(ModbusCrcBytes(QByteArray::fromHex("010300000001"), 6), QByteArray::fromHex("840a"));
    EXPECT_EQ(ModbusCrcBytes(QByteArray::fromHex("010301300036"), 6), QByteArray::fromHex("c42f"));
}

TEST(Crc16, CountIsClampedAndAFrameChecksToZero) {
    const QByteArray frame = QByteArray::fromHex("010301300036c42f");
    // Over a whole frame with its CRC the register comes back to zero.
    EXPECT_EQ(ModbusCrc16(reinterpret_cast<const std::uint8_t*>(frame.constData()), 8), 0);
    EXPECT_EQ(ModbusCrcBytes(frame, 6), ModbusCrcBytes(frame.left(6), 100));
    EXPECT_EQ(ModbusCrcBytes(QByteArray(), 4), QByteArray::fromHex("ffff"));
}
