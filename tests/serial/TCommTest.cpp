#include "TComm.h"
#include "PosixSerialDevice.h"
#include "SerialTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>

namespace {

std::string OpenError(TComm& comm) {
    try {
        comm.OpenPort();
    } catch (const ECommsError& e) {
        return e.what();
    }
    return "(opened)";
}

// The real device, counting what the component asks of it.
struct RecordingDevice : PosixSerialDevice {
    bool ConfigureLine(const LineSettings& s) override {
        ++lines;
        return PosixSerialDevice::ConfigureLine(s);
    }
    bool ConfigureTimeouts(const CommTimeouts& t) override {
        ++timeouts;
        return PosixSerialDevice::ConfigureTimeouts(t);
    }
    Io Write(const char* bytes, std::size_t count) override {
        const Io io = PosixSerialDevice::Write(bytes, count);
        written += io.bytes;
        return io;
    }
    std::atomic<int> lines{0}, timeouts{0};
    std::atomic<std::size_t> written{0};
};

// A port on the slave side of a fresh pseudo-terminal, set up the way the Modbus master
// sets up its own, with every event recorded.
class TCommPtyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureCoreApplication(); }

    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        Prepare(comm, pty);
    }

    void Prepare(TComm& c, const Pty& p) {
        c.SetCommName(p.SlavePath());
        c.SetOpenSettleMs(0);
        c.SetTxContinueOnXoff(false);
        c.SetOutx_XonXoffFlow(false);
        c.SetInx_XonXoffFlow(false);
        c.SetReadIntervalTimeout(5);
        c.OnReceiveData = [this](TComm* sender, const char* buffer, quint16 length) {
            EXPECT_EQ(sender, &comm);
            EXPECT_EQ(buffer[length], '\0'); // blocks end with a zero byte
            chunks.emplace_back(buffer, length);
        };
        c.OnSendDataEmpty = [this](TComm*) { ++empties; };
        c.OnRequestHangup = [this](TComm*) { ++hangups; };
    }

    QByteArray Received() const {
        QByteArray all;
        for (const auto& c : chunks)
            all += c;
        return all;
    }

    Pty pty;
    TComm comm;
    std::vector<QByteArray> chunks;
    int empties = 0;
    int hangups = 0;
};

} // namespace

TEST(TCommOpen, FailuresRaiseTheirTextsAndLeaveThePortClosed) {
    EnsureCoreApplication();
    TComm comm;
    comm.SetOpenSettleMs(0);

    comm.SetCommName("/dev/no-such-port-here");
    EXPECT_EQ(OpenError(comm), "Error opening serial port");
    EXPECT_FALSE(comm.IsOpen());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("plain-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    comm.SetCommName("\\\\.\\" + file.fileName());
    EXPECT_EQ(OpenError(comm), "File handle is not a comm handle ");
    EXPECT_FALSE(comm.IsOpen());

    // A character device without a line.
    comm.SetCommName("/dev/null");
    EXPECT_EQ(OpenError(comm), "Cannot setup comm buffer");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.ModemLineStatus(), 0u);
    EXPECT_FALSE(comm.SendData("x", 1));
}

TEST_F(TCommPtyTest, SecondOpenFailsAndTheFirstKeepsWorking) {
    comm.OpenPort();
    ASSERT_TRUE(comm.IsOpen());
    EXPECT_EQ(OpenError(comm), "This serial port already opened");
    ASSERT_TRUE(comm.IsOpen());

    ASSERT_TRUE(comm.SendData("\x01\x03", 2));
    EXPECT_EQ(pty.Read(2), QByteArray("\x01\x03"));
    ASSERT_TRUE(pty.Write("ok"));
    ASSERT_TRUE(WaitUntil([&] { return Received() == "ok"; }));
}

TEST_F(TCommPtyTest, BytesPassBothWaysIncludingFlowControlCharacters) {
    comm.OpenPort();
    const QByteArray frame("\x01\x03\x00\x11\x13\xff\x00\x0d\x0a", 9);
    ASSERT_TRUE(comm.SendData(frame.constData(), static_cast<quint16>(frame.size())));
    EXPECT_EQ(pty.Read(frame.size()), frame);

    ASSERT_TRUE(pty.Write(frame));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() >= frame.size(); }));
    EXPECT_EQ(Received(), frame);
}

TEST_F(TCommPtyTest, ChunksEndAfterTheReadIntervalWithoutBytes) {
    comm.OpenPort();
    // Separate writes right after each other form one chunk.
    ASSERT_TRUE(pty.Write("ab"));
    ASSERT_TRUE(pty.Write("cd"));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() == 4; }));
    EXPECT_EQ(chunks, std::vector<QByteArray>{"abcd"});

    // A 20 ms pause is four read intervals: two chunks.
    chunks.clear();
    ASSERT_TRUE(pty.Write("x"));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(pty.Write("y"));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() == 2; }));
    EXPECT_EQ(chunks, (std::vector<QByteArray>{"x", "y"}));
}

TEST_F(TCommPtyTest, LongInputArrivesInChunksOfAtMost2048Bytes) {
    comm.OpenPort();
    QByteArray data;
    for (int i = 0; i < 3000; ++i)
        data.append(static_cast<char>(i * 7));
    ASSERT_TRUE(pty.Write(data));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() >= data.size(); }));
    EXPECT_EQ(Received(), data);
    EXPECT_GE(chunks.size(), 2u);
    for (const auto& c : chunks)
        EXPECT_LE(c.size(), 2048);
}

TEST_F(TCommPtyTest, QueuedBlocksGoOutInOrderThenTheQueueReportsEmpty) {
    RecordingDevice* device = nullptr;
    comm.SetDeviceFactory([&] {
        auto d = std::make_unique<RecordingDevice>();
        device = d.get();
        return d;
    });
    std::size_t writtenAtEmpty = 0;
    comm.OnSendDataEmpty = [&](TComm*) {
        ++empties;
        writtenAtEmpty = device->written;
    };
    comm.OpenPort();
    // Once when the writer starts.
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));

    const QByteArray first(600, 'A'), second(600, 'B');
    ASSERT_TRUE(comm.SendData(first.constData(), 600));
    ASSERT_TRUE(comm.SendData(second.constData(), 600));
    EXPECT_EQ(pty.Read(1200), first + second);
    // The last empty notice comes once the second block is out.
    ASSERT_TRUE(WaitUntil([&] { return empties >= 2 && writtenAtEmpty == 1200; }));

    EXPECT_FALSE(comm.SendData("x", 0));
    EXPECT_FALSE(comm.SendData(nullptr, 3));
    comm.ClosePort();
    EXPECT_FALSE(comm.SendData("x", 1));
}

TEST_F(TCommPtyTest, LineSettingsApplyAtOnceWhileOpenAndAtOpenWhileClosed) {
    comm.SetBaudRate(57600); // closed: only stored
    comm.OpenPort();
    termios tio{};
    ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B57600));

    comm.SetBaudRate(19200);
    ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);

    // A pseudo-terminal keeps 8 data bits without parity; the structure built for the
    // line shows what a real port would get.
    auto* device = dynamic_cast<PosixSerialDevice*>(comm.Device());
    ASSERT_NE(device, nullptr);
    comm.SetByteSize(TByteSize::_7);
    comm.SetParity(TParity::Even);
    comm.SetStopBits(TStopBits::_2);
    const tcflag_t cflag = device->LastBuiltTermios().tio.c_cflag;
    EXPECT_EQ(cflag & CSIZE, tcflag_t(CS7));
    EXPECT_EQ(cflag & (PARENB | PARODD | CMSPAR), tcflag_t(PARENB));
    EXPECT_NE(cflag & CSTOPB, 0u);

    // A rate without a B-constant goes through the arbitrary-rate interface.
    comm.SetBaudRate(250000);
    EXPECT_EQ(ReadCustomBaudRate(pty.Master()), 250000u);

    comm.SetReadIntervalTimeout(40);
    EXPECT_EQ(device->Timeouts().ReadIntervalTimeout, 40u);
}

TEST_F(TCommPtyTest, PropertyWritesReachTheDeviceOnlyWhenTheyChangeSomething) {
    RecordingDevice* device = nullptr;
    comm.SetDeviceFactory([&] {
        auto d = std::make_unique<RecordingDevice>();
        device = d.get();
        return d;
    });
    comm.OpenPort();
    const std::atomic<int>& lines = device->lines;
    const std::atomic<int>& timeouts = device->timeouts;
    // Opening applies the time-outs first, then the line.
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(timeouts, 1);

    comm.SetReadIntervalTimeout(5); // equal
    comm.SetBaudRate(9600);         // equal
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(timeouts, 1);

    comm.SetWriteTotalTimeoutConstant(100);
    EXPECT_EQ(timeouts, 2);
    EXPECT_EQ(lines, 1);
    comm.SetXonChar(0x21);
    comm.SetDtrControl(TDtrControl::DtrDisable);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(timeouts, 2);

    // Closed: stored only, applied by the next opening.
    comm.ClosePort();
    comm.SetParity(TParity::Odd);
    EXPECT_EQ(comm.Parity(), TParity::Odd);
    comm.OpenPort();
    EXPECT_EQ(device->lines, 1);
    EXPECT_EQ(device->LastBuiltTermios().tio.c_cflag & (PARENB | PARODD),
              tcflag_t(PARENB | PARODD));
}

TEST_F(TCommPtyTest, ClosingIsHarmlessWhenClosedAndModemStatusIsZeroWithoutLines) {
    EXPECT_EQ(comm.ModemLineStatus(), 0u);
    comm.ClosePort();
    comm.OpenPort();
    // A pseudo-terminal has no modem lines.
    EXPECT_EQ(comm.ModemLineStatus(), 0u);
    comm.ClosePort();
    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
    comm.OpenPort();
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(TCommPtyTest, AnIdlePortUsesNoProcessorTime) {
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));
    const double before = ProcessCpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double used = ProcessCpuMs() - before;
    // A worker spinning on a failed ioctl would burn the whole 300 ms.
    EXPECT_LT(used, 30.0);
}

TEST_F(TCommPtyTest, FarEndClosingRaisesHangupOnceAndTheNextFarEndOpensAgain) {
    comm.OpenPort();
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return hangups == 1; }));
    // The writer meets the same dead line; the owner still hears of it once.
    comm.SendData("zz", 2);
    const double before = ProcessCpuMs();
    EXPECT_FALSE(WaitUntil([&] { return hangups > 1; }, 200));
    EXPECT_LT(ProcessCpuMs() - before, 100.0); // no worker spins on the dead line

    comm.ClosePort();
    Pty next;
    ASSERT_TRUE(next.Valid());
    comm.SetCommName(next.SlavePath());
    comm.OpenPort();
    ASSERT_TRUE(comm.SendData("hi", 2));
    EXPECT_EQ(next.Read(2), QByteArray("hi"));
    ASSERT_TRUE(next.Write("yo"));
    ASSERT_TRUE(WaitUntil([&] { return Received() == "yo"; }));
    EXPECT_EQ(hangups, 1);
}

TEST_F(TCommPtyTest, NoticesOfAClosedOpeningAreDropped) {
    const int base = ThreadCount();
    comm.OpenPort();
    ASSERT_EQ(ThreadCount(), base + 2);
    pty.CloseMaster();
    // The reader posts the hang-up and ends, without the event loop running.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ThreadCount() != base + 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(ThreadCount(), base + 1);

    comm.ClosePort();
    Pty next;
    comm.SetCommName(next.SlavePath());
    comm.OpenPort();
    // The new opening's own notices arrive; the old one's hang-up does not.
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));
    EXPECT_EQ(hangups, 0);
}

TEST(TCommLifetime, DestroyingAnOpenPortStopsItsWorkers) {
    EnsureCoreApplication();
    Pty pty;
    ASSERT_TRUE(pty.Valid());
    const int base = ThreadCount();
    int received = 0;
    {
        TComm comm;
        comm.SetCommName(pty.SlavePath());
        comm.SetOpenSettleMs(0);
        comm.OnReceiveData = [&](TComm*, const char*, quint16 n) { received += n; };
        comm.OpenPort();
        EXPECT_EQ(ThreadCount(), base + 2);
        // Bytes that arrive but are never handled are freed with the component.
        ASSERT_TRUE(pty.Write("unhandled"));
        ASSERT_TRUE(comm.SendData("bye", 3));
        EXPECT_EQ(pty.Read(3), QByteArray("bye"));
    }
    EXPECT_EQ(ThreadCount(), base);
    WaitUntil([] { return false; }, 20); // anything still queued must not be raised
    EXPECT_EQ(received, 0);
}
