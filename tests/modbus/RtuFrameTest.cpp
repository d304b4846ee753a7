#include "RtuFrame.h"
#include "Crc16.h"
#include "MessageText.h"

#include <gtest/gtest.h>

namespace {

QByteArray WithCrc(const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + ModbusCrcBytes(bytes, bytes.size());
}

// "00,10,01,56,00,10,20," and 32 zero data bytes, then the CRC placeholders: the
// metering window's energy reset.
QByteArray EnergyReset(const char* countField = "20", const char* quantity = "00,10") {
    QByteArray text = QByteArray("00,10,01,56,") + quantity + "," + countField + ",";
    for (int i = 0; i < 32; ++i)
        text += "00,";
    return text + "00,00";
}

void ExpectRejected(const QByteArray& message) {
    const ParsedMessage frame = MakeRequestFrame(message);
    EXPECT_TRUE(frame.bytes.isEmpty()) << message.constData();
    EXPECT_EQ(frame.requestLength, 8) << message.constData();
    EXPECT_EQ(frame.expectedLength, 8) << message.constData();
}

} // namespace

TEST(RequestFrame, CrcReplacesThePlaceholders) {
    ParsedMessage frame = MakeRequestFrame("01,03,01,30,00,36,00,00");
    EXPECT_EQ(frame.bytes, QByteArray::fromHex("010301300036c42f"));
    EXPECT_EQ(frame.requestLength, 8);
    EXPECT_EQ(frame.expectedLength, 2 * 0x36 + 5);
    // Whatever stands in the placeholder fields is overwritten.
    EXPECT_EQ(MakeRequestFrame("01,03,00,00,00,01,AB,CD").bytes,
              QByteArray::fromHex("010300000001840a"));

    frame = MakeRequestFrame(EnergyReset());
    ASSERT_EQ(frame.bytes.size(), 41);
    EXPECT_EQ(frame.requestLength, 41);
    EXPECT_EQ(frame.expectedLength, 8);
    EXPECT_EQ(frame.bytes.right(2), ModbusCrcBytes(frame.bytes, 39));
}

TEST(RequestFrame, LengthsAndLimitsFollowTheFunctionCode) {
    struct Case {
        const char* message;
        int requestLength;
        int expectedLength;
    };
    const Case valid[] = {
        {"00,01,00,00,00,02,00,00", 8, 6},     {"00,02,00,00,00,04,00,00", 8, 6},
        {"00,01,00,00,07,F8,00,00", 8, 260}, // 2040 coils: the largest read
        {"00,04,00,00,00,7F,00,00", 8, 259},   {"00,05,00,10,FF,00,00,00", 8, 8},
        {"00,85,00,10,00,00,00,00", 8, 8},     {"00,C5,00,10,FF,00,00,00", 8, 0},
        {"00,06,01,00,12,34,00,00", 8, 8},     {"00,83,00,00,7F,FF,00,00", 8, 65542},
        {"00,C3,00,00,7F,FE,00,00", 8, 65542}, {"00,B0,00,00,00,01,02,AA,BB,00,00", 11, 8},
        {"00,91,02,AA,BB,00,00", 7, 4},        {"00,C4,00,00", 4, 7},
    };
    for (const Case& c : valid) {
        const ParsedMessage frame = MakeRequestFrame(c.message);
        EXPECT_EQ(frame.bytes.size(), c.requestLength) << c.message;
        EXPECT_EQ(frame.requestLength, c.requestLength) << c.message;
        EXPECT_EQ(frame.expectedLength, c.expectedLength) << c.message;
    }

    for (const char* message : {
             "00,01,00,00,07,F9,00,00",    // 261 reply bytes
             "00,03,00,00,00,80,00,00",    // 261 reply bytes
             "00,83,00,00,80,00,00,00",    // above 65543
             "00,C3,00,00,7F,FF,00,00",    // above 65543
             "00,05,00,10,00,01,00,00",    // not a coil value
             "00,C5,00,10,FF,01,00,00",    // not a coil value
             "00,10,01,56,01,10,20,00,00", // high quantity byte
             "00,91,03,AA,BB,00,00",       // count says one more byte
             "00,03,01,30,00,36,00",       // one field short
             "00,07,00,00,00,00,00,00",    // no such function
             "00,C4,00",                   // under four bytes
         })
        ExpectRejected(message);
    ExpectRejected(EnergyReset("21"));
    ExpectRejected(EnergyReset("20", "01,10")); // the high quantity byte counts too
    ExpectRejected(EnergyReset().chopped(3));
}

TEST(RequestFrame, TextFormsThatGiveTheSameBytes) {
    const QByteArray frame = MakeRequestFrame("01,03,01,30,00,36,00,00").bytes;
    EXPECT_EQ(MakeRequestFrame("01,03,01,30,00,36,00,00,").bytes, frame);
    EXPECT_EQ(MakeRequestFrame("01,03,01,30,00,36,00,00,9").bytes, frame);  // lone digit
    EXPECT_EQ(MakeRequestFrame("01,03,01,30,00,36,00,00,77").bytes, frame); // ninth field
    EXPECT_EQ(MakeRequestFrame("01 03;01.30x00|36,00,00").bytes, frame);
    EXPECT_EQ(MakeRequestFrame("1b,06,00,0a,ab,cd,00,00").bytes,
              MakeRequestFrame("1B,06,00,0A,AB,CD,00,00").bytes);
}

TEST(RequestFrame, ABadDigitAnywhereSendsNothing) {
    for (const char* message :
         {"01,03,01,30,00,3G,00,00", "01,03,01,30,00, 6,00,00", "01,03,01,30,00,+6,00,00",
          "01,03,01,30,00,-6,00,00", "01,03,01,30,00,36,00,0Z", "", "  ,  ,  ,  "})
        ExpectRejected(message);

    // A rejected message leaves nothing behind from an earlier parse.
    ParsedMessage out;
    ASSERT_TRUE(ParseMessage("01,03,01,30,00,36,00,00", out));
    EXPECT_FALSE(ParseMessage("01,03,01,30", out));
    EXPECT_TRUE(out.bytes.isEmpty());
    EXPECT_EQ(out.expectedLength, 8);
}

TEST(ReplySearch, StrayBytesAreSkippedOnlyWhenAWholeReplyStillFollows) {
    const QByteArray request = QByteArray::fromHex("010300000001840a");
    const QByteArray good = WithCrc("0103021234");
    QByteArray reply;

    EXPECT_TRUE(LocateReply(request, good + "\x55\x66", 7, reply));
    EXPECT_EQ(reply, good);
    EXPECT_TRUE(LocateReply(request, "\xAA\x01" + good, 7, reply));
    EXPECT_EQ(reply, good);
    // Exactly the expected count with junk in front: not enough bytes left behind it.
    EXPECT_FALSE(LocateReply(request, "\xAA\x01" + good.left(5), 7, reply));
    EXPECT_FALSE(LocateReply(request, "\xAA\x01" + good.left(6), 7, reply));
    EXPECT_TRUE(reply.isEmpty());
}

TEST(ReplySearch, TheFirstMatchIsFinal) {
    const QByteArray request = QByteArray::fromHex("010300000001840a");
    const QByteArray good = WithCrc("0103021234");
    QByteArray damaged = good;
    damaged[6] = char(damaged[6] ^ 0x01);
    QByteArray reply;
    EXPECT_FALSE(LocateReply(request, damaged + good, 7, reply));

    // An exception reply names the function with 0x80 added and is never taken.
    const QByteArray exception = WithCrc("018302");
    EXPECT_FALSE(LocateReply(QByteArray::fromHex("010300000000"), exception, 5, reply));
    EXPECT_TRUE(LocateReply(request, exception + good, 7, reply));
    EXPECT_EQ(reply, good);
}

// Once the line is silent, a reply is taken wherever it stands in what arrived.
TEST(ReplySearch, AValidReplyIsFoundAnywhereOnceTheLineIsSilent) {
    const QByteArray request = QByteArray::fromHex("010300000001840a");
    const QByteArray good = WithCrc("0103021234");
    QByteArray damaged = good;
    damaged[4] = char(damaged[4] ^ 0x10);
    const struct {
        const char* what;
        QByteArray received;
        bool found;
    } cases[] = {
        {"alone", good, true},
        {"behind one junk byte", "\xAA" + good, true},
        {"behind junk that starts like it", QByteArray::fromHex("0103") + good, true},
        {"behind a damaged copy", damaged + good, true},
        {"in front of junk", good + "\x55\x66", true},
        {"damaged only", damaged, false},
        {"cut short", "\xAA" + good.left(6), false},
        {"another slave's", WithCrc("0203021234"), false},
        {"with a byte count the request did not ask for", WithCrc("0103041234"), false},
        {"nothing", QByteArray(), false},
    };
    for (const auto& c : cases) {
        QByteArray reply = "left over";
        EXPECT_EQ(FindReply(request, c.received, 7, reply), c.found) << c.what;
        EXPECT_EQ(reply, c.found ? good : QByteArray()) << c.what;
    }
    QByteArray reply;
    EXPECT_FALSE(FindReply(QByteArray("\x01"), good, 7, reply));
    EXPECT_FALSE(FindReply(request, good, 3, reply));
}

TEST(ReplySearch, DegenerateInputsAreRefused) {
    const QByteArray good = WithCrc("0103021234");
    QByteArray reply;
    EXPECT_FALSE(LocateReply(QByteArray("\x01"), good, 7, reply));
    EXPECT_FALSE(LocateReply(QByteArray(), good, 7, reply));
    EXPECT_FALSE(LocateReply(QByteArray::fromHex("0103"), good, 3, reply));
    EXPECT_FALSE(LocateReply(QByteArray::fromHex("0103"), good, 8, reply));
    EXPECT_TRUE(LocateReply(QByteArray::fromHex("0191"), WithCrc("0191"), 4, reply));
}

TEST(ReplyFields, EachFunctionComparesItsOwnFields) {
    struct Case {
        const char* request;
        const char* reply;
        bool accepted;
    };
    const Case cases[] = {
        {"010100000009", "0101020101", true},
        {"010100000009", "0101010101", false},
        {"010300000002", "010304000000000000", true},
        {"010300000002", "010303000000000000", false},
        {"010300000002", "010304", false}, // count fits, the registers are missing
        {"010601001234", "010601001234", true},
        {"010601001234", "010601001235", false},
        {"011001560010", "011001560010", true},
        {"0183012c0002", "0183012c000400000000", true},
        {"0183012c0002", "0183012d000400000000", false},
        {"0183012c0002", "0183012c000200000000", false},
        {"01c300000001", "01c30006000000000000", true},
        {"01c300000001", "01c30004000000000000", false},
        {"0191", "0191", true},
        {"01c4", "01c4070000", true},
        {"01c500001234", "01c500001234", false}, // no reply is ever checked
        {"010600001234", "0106000012", false},   // too short for the echo
        {"0103", "010304", false},               // request names no quantity
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckReplyFields(QByteArray::fromHex(c.request), WithCrc(c.reply)), c.accepted)
            << c.request << " / " << c.reply;

    // 0x80 registers would need a byte count of 0x100; a count byte of 0 must not pass.
    QByteArray wide = QByteArray::fromHex("010300") + QByteArray(256, '\0');
    wide += ModbusCrcBytes(wide, wide.size());
    EXPECT_FALSE(CheckReplyFields(QByteArray::fromHex("010300000080"), wide));
}

TEST(MessageText, ReadsAndSlaveAddressesAreWrittenAsTheMasterSendsThem) {
    const struct {
        QString got, want;
    } cases[] = {
        {ReadMessage(0x130, 54), "00,03,01,30,00,36,00,00"},
        {ReadMessage(0x51B, 25), "00,03,05,1B,00,19,00,00"},
        {ReadMessage(0xFFFF, 0x1FF), "00,03,FF,FF,01,FF,00,00"},
        {WithSlaveAddress("00,03,01,30,00,36,00,00", 247), "F7,03,01,30,00,36,00,00"},
        {WithSlaveAddress("00,03,01,30,00,36,00,00", 16), "10,03,01,30,00,36,00,00"},
        // Only the low byte of an address is the meter's.
        {WithSlaveAddress("00,03,01,30,00,36,00,00", 0x1FE), "FE,03,01,30,00,36,00,00"},
        {WithSlaveAddress("FF,05,00,00,FF,00,00,00", 1), "01,05,00,00,FF,00,00,00"},
        {WithSlaveAddress("3", 1), "013"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
    // A read built here is a frame the parser takes as it is.
    ParsedMessage parsed;
    ASSERT_TRUE(ParseMessage(ReadMessage(0x51B, 25).toLatin1(), parsed));
    EXPECT_EQ(parsed.bytes.toHex(), "0003051b00190000");
}
