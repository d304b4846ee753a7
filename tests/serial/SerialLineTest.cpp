#include "CommWorkers.h"
#include "LineEvents.h"
#include "PosixSerialDevice.h"
#include "ReceiveFilter.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

termios DirtyTerminal() {
    // What a freshly opened terminal tends to hold: cooked mode, echo, CR/LF mapping.
    termios t{};
    t.c_iflag = ICRNL | IXON | BRKINT | ISTRIP;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = CS8 | CREAD | HUPCL | PARENB;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return t;
}

QByteArray Filter(ReceiveFilter& f, QByteArray bytes) {
    bytes.resize(static_cast<qsizetype>(f.Apply(bytes.data(), bytes.size())));
    return bytes;
}

} // namespace

TEST(BuildTermios, GivesARawLineWhateverTheTerminalHeld) {
    const termios t = BuildTermios(LineSettings{}, DirtyTerminal()).tio;
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_lflag, 0u);
    // Only the flow control of the defaults is left in the input flags, and breaks
    // stay out of the data.
    EXPECT_EQ(t.c_iflag, tcflag_t(IGNBRK | IXON | IXOFF));
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL | HUPCL), tcflag_t(CREAD | CLOCAL | HUPCL));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VSTART], 17);
    EXPECT_EQ(t.c_cc[VSTOP], 19);
}

TEST(BuildTermios, FramingFollowsByteSizeParityAndStopBits) {
    struct Case {
        TParity parity;
        tcflag_t bits;
    };
    for (const Case c :
         {Case{TParity::None, 0}, Case{TParity::Odd, PARENB | PARODD}, Case{TParity::Even, PARENB},
          Case{TParity::Mark, PARENB | CMSPAR | PARODD}, Case{TParity::Space, PARENB | CMSPAR}}) {
        LineSettings s;
        s.Parity = c.parity;
        EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_cflag & (PARENB | PARODD | CMSPAR), c.bits)
            << static_cast<int>(c.parity);
    }
    const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    for (int i = 0; i < 4; ++i) {
        LineSettings s;
        s.ByteSize = static_cast<TByteSize>(i);
        EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_cflag & CSIZE, sizes[i]) << i + 5;
    }
    LineSettings s;
    s.StopBits = TStopBits::_1_5; // termios knows one or two
    EXPECT_NE(BuildTermios(s, DirtyTerminal()).tio.c_cflag & CSTOPB, 0u);
    s.StopBits = TStopBits::_2;
    EXPECT_NE(BuildTermios(s, DirtyTerminal()).tio.c_cflag & CSTOPB, 0u);
}

TEST(BuildTermios, FlowControlAndSpecialCharacters) {
    LineSettings s;
    s.Outx_XonXoffFlow = false;
    s.Inx_XonXoffFlow = true;
    s.XonChar = 0x21;
    s.XoffChar = 0x23;
    termios t = BuildTermios(s, DirtyTerminal()).tio;
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXOFF));
    EXPECT_EQ(t.c_cc[VSTART], 0x21);
    EXPECT_EQ(t.c_cc[VSTOP], 0x23);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);

    s.Outx_CtsFlow = true;
    EXPECT_NE(BuildTermios(s, DirtyTerminal()).tio.c_cflag & CRTSCTS, 0u);
    s.Outx_CtsFlow = false;
    s.RtsControl = TRtsControl::RtsHandshake;
    EXPECT_NE(BuildTermios(s, DirtyTerminal()).tio.c_cflag & CRTSCTS, 0u);
}

TEST(BuildTermios, ParityErrorsAreMarkedOnlyForANonZeroReplacement) {
    LineSettings s;
    s.Outx_XonXoffFlow = s.Inx_XonXoffFlow = false;
    s.ParityCheck = true; // reported through the counters; bytes pass unchanged
    EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_iflag & (INPCK | PARMRK | IGNPAR), 0u);
    s.ReplaceWhenParityError = true; // the driver itself turns them into 0
    EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_iflag & (INPCK | PARMRK), tcflag_t(INPCK));
    EXPECT_FALSE(ReceiveFilterFor(s).decodeMarks);
    s.ReplacedChar = '?'; // marked by the driver, replaced by the reader
    EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_iflag & (INPCK | PARMRK),
              tcflag_t(INPCK | PARMRK));
    EXPECT_TRUE(ReceiveFilterFor(s).decodeMarks);
    s.ParityCheck = false;
    EXPECT_EQ(BuildTermios(s, DirtyTerminal()).tio.c_iflag & (INPCK | PARMRK), 0u);
    EXPECT_FALSE(ReceiveFilterFor(s).decodeMarks);
}

TEST(BuildTermios, StandardRatesUseTheirConstantsOthersGoSeparately) {
    LineSettings s;
    s.BaudRate = 115200;
    TermiosPlan p = BuildTermios(s, DirtyTerminal());
    EXPECT_EQ(cfgetospeed(&p.tio), speed_t(B115200));
    EXPECT_EQ(cfgetispeed(&p.tio), speed_t(B115200));
    EXPECT_EQ(p.customBaud, 0u);

    s.BaudRate = 250000;
    p = BuildTermios(s, DirtyTerminal());
    EXPECT_EQ(p.customBaud, 250000u);

    // A terminal left at an arbitrary rate carries it in the input-rate bits too; a
    // standard rate clears them so that input follows output again.
    termios odd = DirtyTerminal();
    odd.c_cflag |= CIBAUD;
    s.BaudRate = 9600;
    EXPECT_EQ(BuildTermios(s, odd).tio.c_cflag & CIBAUD, 0u);
    s.BaudRate = 250000;
    EXPECT_EQ(BuildTermios(s, odd).tio.c_cflag & CIBAUD, 0u);

    s.BaudRate = 0; // would hang the line up: the old rate stays
    p = BuildTermios(s, DirtyTerminal());
    EXPECT_EQ(cfgetospeed(&p.tio), speed_t(B9600));
    EXPECT_EQ(p.customBaud, 0u);

    EXPECT_EQ(StandardBaudConstant(1200), speed_t(B1200));
    EXPECT_EQ(StandardBaudConstant(4000000), speed_t(B4000000));
    EXPECT_EQ(StandardBaudConstant(14400), speed_t(B0));
}

TEST(ReceiveFilter, ReplacesMarkedBytesEvenWhenAMarkIsSplitBetweenReads) {
    ReceiveFilter f;
    f.Configure({true, '?', false});
    // 41, a marked error byte, a real FF (doubled by the driver), 42.
    EXPECT_EQ(Filter(f, QByteArray("\x41\xff\x00\x99\xff\xff\x42", 7)), QByteArray("A?\xff"
                                                                                   "B"));
    // The same, cut at every awkward place.
    EXPECT_EQ(Filter(f, QByteArray("\x41\xff", 2)), QByteArray("A"));
    EXPECT_EQ(Filter(f, QByteArray("\x00", 1)), QByteArray());
    EXPECT_EQ(Filter(f, QByteArray("\x99\xff", 2)), QByteArray("?"));
    EXPECT_EQ(Filter(f, QByteArray("\xff\x42", 2)), QByteArray("\xff"
                                                               "B"));
    // Zero bytes outside a mark are data.
    EXPECT_EQ(Filter(f, QByteArray("\x00\x01", 2)), QByteArray("\x00\x01", 2));
}

TEST(ReceiveFilter, DropsZeroBytesOnlyWhenAsked) {
    ReceiveFilter f;
    const QByteArray data("\x01\x00\x02\x00\x00\xff", 6);
    EXPECT_EQ(Filter(f, data), data);
    f.Configure({false, 0, true});
    EXPECT_EQ(Filter(f, data), QByteArray("\x01\x02\xff", 3));
    // Marked with a replacement, and zeros dropped: the mark's own zero is no data.
    f.Configure({true, '#', true});
    EXPECT_EQ(Filter(f, QByteArray("\x00\xff\x00\x07\x05", 5)), QByteArray("#\x05"));
}

TEST(LineEvents, CounterDifferencesBecomeErrorFlagsAndModemBits) {
    LineCounters a;
    LineCounters b = a;
    EXPECT_EQ(LineErrorFlags(a, b), 0u);
    EXPECT_EQ(ModemEventsFromCounters(a, b), 0u);
    b.frame = 2;
    b.brk = 1;
    EXPECT_EQ(LineErrorFlags(a, b), LineErrorBits::Framing | LineErrorBits::Break);
    b = a;
    b.overrun = 1;
    b.bufferOverrun = 3;
    b.parity = 1;
    EXPECT_EQ(LineErrorFlags(a, b),
              LineErrorBits::Overrun | LineErrorBits::ReceiveQueueOverflow | LineErrorBits::Parity);
    b = a;
    b.cts = 1;
    EXPECT_EQ(ModemEventsFromCounters(a, b), ModemEventBits::CarrierOrCts);
    b = a;
    b.carrier = 1;
    b.ring = 1;
    b.dsr = 4;
    EXPECT_EQ(ModemEventsFromCounters(a, b), 0x04u | 0x08u | 0x10u);
}

TEST(LineEvents, StatusSnapshotsShowChangesAndRingComingOn) {
    using namespace ModemStatusBits;
    EXPECT_EQ(ModemEventsFromStatus(Cts | Dsr, Cts | Dsr), 0u);
    EXPECT_EQ(ModemEventsFromStatus(Cts, 0), ModemEventBits::CarrierOrCts);
    EXPECT_EQ(ModemEventsFromStatus(0, Carrier), ModemEventBits::CarrierOrCts);
    EXPECT_EQ(ModemEventsFromStatus(Dsr, 0), ModemEventBits::Dsr);
    EXPECT_EQ(ModemEventsFromStatus(0, Ring), ModemEventBits::Ring);
    EXPECT_EQ(ModemEventsFromStatus(Ring, 0), 0u);
}

TEST(ChunkWaitMs, IntervalCountsFromTheLastByteTotalFromTheFirst) {
    CommTimeouts t;
    t.ReadIntervalTimeout = 5;
    EXPECT_EQ(ChunkWaitMs(t, 0, 100), 5);
    EXPECT_EQ(ChunkWaitMs(t, 3, 100), 2);
    EXPECT_EQ(ChunkWaitMs(t, 9, 100), 0);

    t.ReadTotalTimeoutConstant = 50; // plus 0 per byte
    EXPECT_EQ(ChunkWaitMs(t, 0, 48), 2);
    EXPECT_EQ(ChunkWaitMs(t, 0, 60), 0);
    t.ReadTotalTimeoutMultiplier = 1; // 2048 + 50 for a full chunk
    EXPECT_EQ(ChunkWaitMs(t, 0, 60), 5);
    t.ReadIntervalTimeout = 0; // no interval: only the total
    EXPECT_EQ(ChunkWaitMs(t, 1000, 2000), 98);

    t = CommTimeouts{};
    t.ReadIntervalTimeout = 0; // nothing limits a chunk but a full buffer
    EXPECT_EQ(ChunkWaitMs(t, 1000, 1000), -1);
    t.ReadIntervalTimeout = 0xFFFFFFFFu; // whatever has arrived, at once
    EXPECT_EQ(ChunkWaitMs(t, 0, 0), 0);
}
