#include "TComm.h"
#include "CommWorkers.h"
#include "PosixSerialDevice.h"
#include "SerialTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// The component's short text of an open failure; its explanation goes to *reason.
std::string OpenError(TComm& comm, QString* reason = nullptr) {
    try {
        comm.OpenPort();
    } catch (const ECommsError& e) {
        if (reason)
            *reason = e.Reason();
        return e.Text().toStdString();
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

    // The far end sends a flow control character. The line discipline acts on it before
    // it hands over the marker byte behind it, so once the marker is here, it holds.
    void FarEndSends(char flow, char marker) {
        ASSERT_TRUE(pty.Write(QByteArray(1, flow) + marker));
        ASSERT_TRUE(WaitUntil([&] { return Received().endsWith(marker); }));
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

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("plain-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    struct Case {
        QString name;
        const char* text;
        QString reason; // the whole explanation, naming the device
    };
    const Case cases[] = {
        {"/dev/no-such-port-here", "Error opening serial port",
         "/dev/no-such-port-here: no such device. The adapter is not plugged in (or the port "
         "name is wrong)."},
        {"\\\\.\\" + file.fileName(), "File handle is not a comm handle ",
         file.fileName() + " is not a serial device (it is no terminal)."},
        // A character device without a line.
        {"/dev/null", "File handle is not a comm handle ",
         "/dev/null is not a serial device (it is no terminal)."},
        {dir.path(), "Error opening serial port",
         dir.path() + " is a folder, not a serial device."},
    };
    for (const Case& c : cases) {
        comm.SetCommName(c.name);
        QString reason;
        EXPECT_EQ(OpenError(comm, &reason), c.text) << c.name.toStdString();
        EXPECT_EQ(reason, c.reason);
        EXPECT_FALSE(comm.IsOpen());
    }
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
    // A 20 ms pause inside the read interval does not end the chunk.
    comm.SetReadIntervalTimeout(300);
    comm.OpenPort();
    ASSERT_TRUE(pty.Write("ab"));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(pty.Write("cd"));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() == 4; }));
    EXPECT_EQ(chunks, std::vector<QByteArray>{"abcd"});

    // With 5 ms a chunk ends by itself once the line is quiet, so bytes after a pause
    // form a chunk of their own.
    comm.SetReadIntervalTimeout(5);
    chunks.clear();
    ASSERT_TRUE(pty.Write("x"));
    ASSERT_TRUE(WaitUntil([&] { return chunks.size() == 1; }));
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
    EXPECT_EQ(DriverInputRate(pty.Master()), 250000u);
    // Back to a standard rate: the receive side must follow, not keep the odd rate.
    comm.SetBaudRate(19200);
    ASSERT_EQ(tcgetattr(pty.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(DriverInputRate(pty.Master()), 19200u);

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
    // The same line opens again and works.
    comm.OpenPort();
    ASSERT_TRUE(comm.SendData("again", 5));
    EXPECT_EQ(pty.Read(5), QByteArray("again"));
    ASSERT_TRUE(pty.Write("back"));
    ASSERT_TRUE(WaitUntil([&] { return Received() == "back"; }));
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
    // With the writer gone, further bytes are refused rather than queued for nobody.
    EXPECT_TRUE(WaitUntil([&] { return !comm.SendData("q", 1); }));

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

TEST_F(TCommPtyTest, XoffHoldsOutputUntilXonAndCloseAbandonsAHeldWrite) {
    comm.SetOutx_XonXoffFlow(true);
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));
    FarEndSends('\x13', '1'); // XOFF
    ASSERT_TRUE(comm.SendData("held", 4));
    EXPECT_EQ(pty.Read(4, 100), QByteArray());
    FarEndSends('\x11', '2'); // XON
    EXPECT_EQ(pty.Read(4), QByteArray("held"));
    ASSERT_TRUE(WaitUntil([&] { return empties == 2; }));
    EXPECT_EQ(Received(), "12"); // flow characters are not data

    // Held again with far more than the driver can buffer: the writer waits for room.
    FarEndSends('\x13', '3');
    const QByteArray big(65535, 'x');
    ASSERT_TRUE(comm.SendData(big.constData(), 65535));
    EXPECT_FALSE(WaitUntil([&] { return empties > 2; }, 100));
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(TCommPtyTest, ABlockCutShortByTheWriteTimeOutIsAFailedWrite) {
    comm.SetOutx_XonXoffFlow(true);
    comm.SetWriteTotalTimeoutConstant(50);
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));
    FarEndSends('\x13', '1');
    const QByteArray big(65535, 'x');
    std::atomic<int> done{0};
    ASSERT_TRUE(comm.SendRequest(big.constData(), 65535, 8,
                                 [&](std::chrono::steady_clock::time_point) { ++done; }));
    // Given up after 50 ms with most of the block unwritten: the owner hears of a failure,
    // not of an empty queue, and the request is reported as done with.
    ASSERT_TRUE(WaitUntil([&] { return hangups == 1; }, 3000));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(empties, 1);
    // The writer has ended, as after any failed write: nothing more is queued for nobody.
    EXPECT_TRUE(WaitUntil([&] { return !comm.SendData("next", 4); }));
}

TEST_F(TCommPtyTest, ARequestIsReportedOnceWhenWrittenOrDropped) {
    comm.SetOutx_XonXoffFlow(true);
    comm.OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return empties == 1; }));
    using Clock = std::chrono::steady_clock;
    std::mutex m;
    std::vector<std::pair<char, Clock::time_point>> reports;
    auto report = [&](char which) {
        return [&, which](Clock::time_point at) {
            std::lock_guard lock(m);
            reports.emplace_back(which, at);
        };
    };
    auto count = [&] {
        std::lock_guard lock(m);
        return reports.size();
    };
    // Held by XOFF: not written, so not reported, however long it waits.
    FarEndSends('\x13', '1');
    ASSERT_TRUE(comm.SendRequest("req1", 4, 9, report('a')));
    EXPECT_FALSE(WaitUntil([&] { return count() > 0; }, 100));
    const Clock::time_point released = Clock::now();
    FarEndSends('\x11', '2');
    EXPECT_EQ(pty.Read(4), QByteArray("req1"));
    ASSERT_TRUE(WaitUntil([&] { return count() == 1; }));
    EXPECT_GE(reports[0].second, released);

    // Held again, one request in the writer and one behind it: closing drops both, and
    // each is reported once.
    FarEndSends('\x13', '3');
    const QByteArray big(65535, 'x');
    ASSERT_TRUE(comm.SendRequest(big.constData(), 65535, 0, report('b')));
    ASSERT_TRUE(comm.SendRequest("req3", 4, 9, report('c')));
    comm.ClosePort();
    ASSERT_EQ(count(), 3u);
    EXPECT_EQ(reports[1].first, 'b');
    EXPECT_EQ(reports[2].first, 'c');
    EXPECT_FALSE(comm.SendRequest("req4", 4, 9, report('d')));
    EXPECT_EQ(count(), 3u);
}

// The far end of the line answers a request in pieces, with pauses between them.
struct Answer {
    const char* name;
    bool request; // sent with SendRequest (awaiting 9 bytes) or with SendData
    QList<QByteArray> pieces;
    std::vector<QByteArray> chunks; // as the owner should receive them
};

TEST_F(TCommPtyTest, AChunkEndsWhenTheAwaitedReplyIsCompleteAndOtherwiseByTheInterval) {
    // A read interval far longer than the 20 ms pauses: only the awaited length can end
    // a chunk between the pieces.
    comm.SetReadIntervalTimeout(300);
    comm.OpenPort();
    const QByteArray reply = "REPLY-9by", extra = "++";
    const Answer answers[] = {
        {"complete reply, then more", true, {reply, extra}, {reply, extra}},
        {"no length awaited", false, {reply, extra}, {reply + extra}},
        {"exception reply (5 bytes) then more", true, {"EXC5b", "tail"}, {"EXC5btail"}},
        {"reply split by a slow meter", true, {"REP", "LY-9by"}, {reply}},
        {"reply in front of a longer run", true, {reply + "xyz", "w"}, {reply + "xyz", "w"}},
    };
    for (const Answer& a : answers) {
        chunks.clear();
        ASSERT_TRUE(a.request ? comm.SendRequest("rq", 2, 9, nullptr) : comm.SendData("rq", 2));
        ASSERT_EQ(pty.Read(2), QByteArray("rq")) << a.name;
        // The writer announces the reply right after its write; give it that moment.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        qsizetype total = 0;
        for (const QByteArray& piece : a.pieces) {
            if (total > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ASSERT_TRUE(pty.Write(piece));
            total += piece.size();
        }
        ASSERT_TRUE(WaitUntil([&] { return Received().size() == total; })) << a.name;
        EXPECT_EQ(chunks, a.chunks) << a.name;
    }
}

TEST_F(TCommPtyTest, AFloodIsDeliveredCompleteAndMemoryStaysBoundedWhileTheOwnerLags) {
    comm.OpenPort();
    ASSERT_EQ(fcntl(pty.Master(), F_SETFL, O_NONBLOCK), 0);
    QByteArray sent;
    // Writes one block if the line takes it; false when it is full.
    auto offer = [&] {
        QByteArray block(4096, '\0');
        for (int i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>((sent.size() + i) % 251);
        const ssize_t n = ::write(pty.Master(), block.constData(), block.size());
        if (n > 0)
            sent.append(block.constData(), n);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return n > 0;
    };
    // Nobody runs the event loop: the reader takes chunks until it holds its limit.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (comm.PendingChunks() < kMaxPendingChunks && std::chrono::steady_clock::now() < giveUp)
        offer();
    ASSERT_EQ(comm.PendingChunks(), kMaxPendingChunks);

    // From then on it takes nothing: the driver's buffers fill and the line refuses.
    const qsizetype atLimit = sent.size();
    int refusedInARow = 0;
    while (refusedInARow < 100 && sent.size() < atLimit + 4 * 1024 * 1024)
        refusedInARow = offer() ? 0 : refusedInARow + 1;
    EXPECT_LT(sent.size(), atLimit + 1024 * 1024);
    EXPECT_EQ(comm.PendingChunks(), kMaxPendingChunks);

    ASSERT_TRUE(WaitUntil([&] { return Received().size() >= sent.size(); }, 20000));
    EXPECT_EQ(Received(), sent);
    EXPECT_EQ(comm.PendingChunks(), 0);
    EXPECT_EQ(hangups, 0);
}

namespace {

// A real pseudo-terminal whose driver pretends to count line events and to show modem
// lines, as a UART driver does; the test sets what it reports.
struct ScriptedLinesDevice : PosixSerialDevice {
    std::optional<LineCounters> Counters() override {
        std::lock_guard lock(mutex);
        ++samples;
        return counters;
    }
    std::optional<quint32> ModemStatus() override {
        std::lock_guard lock(mutex);
        return status;
    }
    std::mutex mutex;
    std::optional<LineCounters> counters;
    std::optional<quint32> status;
    int samples = 0;
};

} // namespace

TEST_F(TCommPtyTest, LineErrorsAndModemChangesFromTheDriverBecomeEvents) {
    ScriptedLinesDevice* device = nullptr;
    comm.SetDeviceFactory([&] {
        auto d = std::make_unique<ScriptedLinesDevice>();
        d->counters = LineCounters{};
        device = d.get();
        return d;
    });
    std::vector<quint32> errors, modem;
    comm.OnReceiveError = [&](TComm*, quint32 mask) { errors.push_back(mask); };
    comm.OnModemStateChange = [&](TComm*, quint32 bits) { modem.push_back(bits); };
    comm.OpenPort();
    {
        std::lock_guard lock(device->mutex);
        device->counters->frame = 1;
        device->counters->brk = 1;
        device->counters->dsr = 1;
    }
    ASSERT_TRUE(WaitUntil([&] { return !errors.empty() && !modem.empty(); }));
    EXPECT_EQ(errors, std::vector<quint32>{LineErrorBits::Framing | LineErrorBits::Break});
    EXPECT_EQ(modem, std::vector<quint32>{ModemEventBits::Dsr});

    // Each change is reported once.
    {
        std::lock_guard lock(device->mutex);
        device->counters->carrier = 1;
    }
    ASSERT_TRUE(WaitUntil([&] { return modem.size() == 2; }));
    EXPECT_EQ(modem[1], ModemEventBits::CarrierOrCts);
    EXPECT_EQ(errors.size(), 1u);

    // A driver that stops answering is no longer asked: once the reader has met the
    // silence, three more sample periods pass without a question.
    auto samples = [&] {
        std::lock_guard lock(device->mutex);
        return device->samples;
    };
    int atSilence = 0;
    {
        std::lock_guard lock(device->mutex);
        device->counters.reset();
        atSilence = device->samples;
    }
    ASSERT_TRUE(WaitUntil([&] { return samples() > atSilence; }));
    const int before = samples();
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * kLineSamplePeriodMs));
    EXPECT_EQ(samples(), before);
}

TEST_F(TCommPtyTest, WithoutCountersTheModemLinesThemselvesAreWatched) {
    ScriptedLinesDevice* device = nullptr;
    comm.SetDeviceFactory([&] {
        auto d = std::make_unique<ScriptedLinesDevice>();
        d->status = ModemStatusBits::Cts;
        device = d.get();
        return d;
    });
    std::vector<quint32> modem;
    comm.OnModemStateChange = [&](TComm*, quint32 bits) { modem.push_back(bits); };
    comm.OpenPort();
    EXPECT_EQ(comm.ModemLineStatus(), ModemStatusBits::Cts);
    {
        std::lock_guard lock(device->mutex);
        device->status = ModemStatusBits::Cts | ModemStatusBits::Ring;
    }
    ASSERT_TRUE(WaitUntil([&] { return !modem.empty(); }));
    EXPECT_EQ(modem, std::vector<quint32>{ModemEventBits::Ring});
}

TEST_F(TCommPtyTest, ADriverThatWakesWithoutMovingBytesDoesNotSpinAWorker) {
    // Ready by poll(), yet never a byte either way: the far end's bytes stay unread
    // and every write would block.
    struct StubbornDevice : PosixSerialDevice {
        Io Read(char*, std::size_t) override { return {Io::Status::WouldBlock, 0, EAGAIN}; }
        Io Write(const char*, std::size_t) override { return {Io::Status::WouldBlock, 0, EAGAIN}; }
    };
    comm.SetDeviceFactory([] { return std::make_unique<StubbornDevice>(); });
    comm.OpenPort();
    ASSERT_TRUE(pty.Write("stuck"));
    ASSERT_TRUE(comm.SendData("out", 3));
    const double before = ProcessCpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Two spinning workers would use about 600 ms here.
    EXPECT_LT(ProcessCpuMs() - before, 60.0);
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(chunks.empty());
}

TEST_F(TCommPtyTest, APortHeldByOneComponentIsRefusedToAnother) {
    comm.OpenPort();
    TComm other;
    other.SetOpenSettleMs(0);
    other.SetCommName(pty.SlavePath());
    QString reason;
    EXPECT_EQ(OpenError(other, &reason), "Error opening serial port");
    // The holder is this very test program, found through /proc.
    EXPECT_TRUE(reason.startsWith(pty.SlavePath() + " is busy: another program has it open."))
        << reason.toStdString();
    EXPECT_TRUE(reason.contains(QString("(process %1)").arg(getpid()))) << reason.toStdString();
    EXPECT_FALSE(other.IsOpen());
    comm.ClosePort();
    other.OpenPort();
    EXPECT_TRUE(other.IsOpen());
}

TEST_F(TCommPtyTest, ZeroBytesAreDroppedWhileIgnoreNullCharIsOn) {
    comm.SetIgnoreNullChar(true);
    comm.OpenPort();
    ASSERT_TRUE(pty.Write(QByteArray("a\0b\0", 4)));
    ASSERT_TRUE(WaitUntil([&] { return Received() == "ab"; }));
    // Switched off while open: the next chunk keeps its zeros.
    comm.SetIgnoreNullChar(false);
    ASSERT_TRUE(pty.Write(QByteArray("c\0d", 3)));
    ASSERT_TRUE(WaitUntil([&] { return Received().size() == 5; }));
    EXPECT_EQ(Received(), QByteArray("abc\0d", 5));
}

TEST_F(TCommPtyTest, AFailureHalfWayThroughOpeningHoldsNothing) {
    struct NoEventDevice : PosixSerialDevice {
        bool CreateCloseEvent() override { return false; }
    };
    comm.SetDeviceFactory([] { return std::make_unique<NoEventDevice>(); });
    EXPECT_EQ(OpenError(comm), "Unable to create event");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.SendData("x", 1));
    // The device was let go: another component can have it.
    TComm other;
    other.SetOpenSettleMs(0);
    other.SetCommName(pty.SlavePath());
    other.OpenPort();
    EXPECT_TRUE(other.IsOpen());
}

namespace {

// A pseudo-terminal takes any rate. This one behaves like drivers that cannot make some:
// it refuses a rate without a B-constant outright, or quietly sets another one instead.
// It notes whether the line was ever handed the 38400 that once stood in for such rates.
struct RateDriver : PosixSerialDevice {
    enum Mode { Accepts, Refuses, Settles };
    explicit RateDriver(Mode m, std::atomic<bool>& saw38400) : mode(m), sawB38400(saw38400) {}
    bool SubmitLine(const termios& tio, quint32 customRate) override {
        if (customRate == 0 && cfgetospeed(&tio) == B38400)
            sawB38400 = true;
        if (customRate == 0 || mode == Accepts)
            return PosixSerialDevice::SubmitLine(tio, customRate);
        if (mode == Refuses)
            return false;
        termios nearest = tio;
        cfsetispeed(&nearest, B9600);
        cfsetospeed(&nearest, B9600);
        return PosixSerialDevice::SubmitLine(nearest, 0);
    }
    Mode mode;
    std::atomic<bool>& sawB38400;
};

} // namespace

TEST_F(TCommPtyTest, ARateTheDriverCannotSetFailsVisiblyAndLeavesTheLineAsItWas) {
    struct Case {
        const char* name;
        RateDriver::Mode mode;
    };
    for (const Case c : {Case{"accepts", RateDriver::Accepts}, Case{"refuses", RateDriver::Refuses},
                         Case{"settles on 9600", RateDriver::Settles}}) {
        std::atomic<bool> saw38400{false};
        comm.SetDeviceFactory([&] { return std::make_unique<RateDriver>(c.mode, saw38400); });
        const bool accepted = c.mode == RateDriver::Accepts;

        // Opening at the rate.
        comm.SetBaudRate(250000);
        EXPECT_EQ(OpenError(comm),
                  accepted ? "(opened)" : "Baud rate 250000 cannot be set on this port")
            << c.name;
        EXPECT_EQ(comm.IsOpen(), accepted) << c.name;
        comm.ClosePort();

        // Changing to it while open.
        comm.SetBaudRate(19200);
        comm.OpenPort();
        if (accepted) {
            EXPECT_NO_THROW(comm.SetBaudRate(250000));
        } else {
            EXPECT_THROW(comm.SetBaudRate(250000), ECommsError) << c.name;
        }
        const quint32 inForce = accepted ? 250000 : 19200;
        EXPECT_EQ(comm.BaudRate(), inForce) << c.name;
        EXPECT_EQ(DriverInputRate(pty.Master()), inForce) << c.name;
        EXPECT_FALSE(saw38400) << c.name;
        // The line still carries bytes at the rate in force.
        ASSERT_TRUE(comm.SendData("ok", 2));
        EXPECT_EQ(pty.Read(2), QByteArray("ok")) << c.name;
        // The line keeps its rate between openings; the next case starts from 19200.
        comm.SetBaudRate(19200);
        comm.ClosePort();
    }
}
