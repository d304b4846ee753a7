#include "EngineTestSupport.h"

#include "Crc16.h"
#include "MbapFrame.h"
#include "NetworkModbusPort.h"
#include "TqvModbus.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

template <class F> bool WaitUntil(F done) {
    return WaitFor(done, 15000);
}

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// ---- the gateway's framing ----

TEST(MbapFrameTest, RequestGoesOutUnderTheTransactionWithoutItsCrc) {
    const QByteArray rtu = WithCrc(Hex("050301300036"));
    EXPECT_EQ(RtuToMbap(rtu, 0x1234).toHex(), "123400000006050301300036");
    EXPECT_TRUE(RtuToMbap(Hex("0503"), 1).isEmpty()); // no room for a CRC
}

TEST(MbapFrameTest, FramesAreJudgedAgainstTheAwaitedTransactionAndUnit) {
    struct Case {
        const char* name;
        const char* frame;
        MbapVerdict verdict;
        const char* rtuWithoutCrc; // for a reply
    };
    const Case cases[] = {
        {"reply", "0007000000070503040001000a", MbapVerdict::Reply, "0503040001000a"},
        {"gateway exception", "000700000003058306", MbapVerdict::Reply, "058306"},
        {"target unreachable", "00070000000305830b", MbapVerdict::Reply, "05830b"},
        {"other transaction", "0006000000070503040001000a", MbapVerdict::Stray, ""},
        {"other protocol", "0007000100070503040001000a", MbapVerdict::Stray, ""},
        {"other unit", "0007000000070603040001000a", MbapVerdict::Stray, ""},
        {"length disagrees", "0007000000080503040001000a", MbapVerdict::Stray, ""},
        {"unit alone", "00070000000105", MbapVerdict::Stray, ""},
        {"announces 65535", "00070000ffff05", MbapVerdict::Oversized, ""},
        {"announces 255", "0007000000ff05", MbapVerdict::Oversized, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray frame = Hex(c.frame);
        if (c.verdict == MbapVerdict::Oversized)
            frame = frame.left(kMbapHeaderSize);
        QByteArray rtu;
        EXPECT_EQ(JudgeMbapFrame(frame, 7, 5, &rtu), c.verdict);
        if (c.verdict == MbapVerdict::Reply) {
            EXPECT_EQ(rtu, WithCrc(Hex(c.rtuWithoutCrc)));
        }
    }
}

TEST(NetworkAddressTest, HostAndPortAreSplitAndCheckedWithDefault502) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        quint16 port;
    };
    const Case cases[] = {
        {"10.0.0.5", true, "10.0.0.5", 502},
        {"10.0.0.5:1502", true, "10.0.0.5", 1502},
        {"gw.site:502", true, "gw.site", 502},
        {"[::1]:5020", true, "::1", 5020},
        {"::1", true, "::1", 502},
        {"10.0.0.5:0", false, "", 0},
        {"10.0.0.5:65536", false, "", 0},
        {":502", false, "", 0},
        {"10.0.0.5:port", false, "", 0},
        {"[::1", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString host;
        quint16 port = 0;
        ASSERT_EQ(NetworkModbusPort::SplitHostPort(c.text, 502, host, port), c.ok);
        if (c.ok) {
            EXPECT_EQ(host, QString(c.host));
            EXPECT_EQ(port, c.port);
        }
    }
}

// ---- the port over a real connection on 127.0.0.1 ----

// A converter on a free port of 127.0.0.1: every chunk that comes in goes to `answer`, which
// writes whatever the test scripts back on the same connection.
class FakeConverter {
public:
    std::function<void(QTcpSocket&, const QByteArray&)> answer;
    std::function<void(QTcpSocket&)> greet;
    int connections = 0;
    QTcpSocket* last = nullptr;

    FakeConverter() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                last = s;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray in = s->readAll();
                    if (answer)
                        answer(*s, in);
                });
                if (greet)
                    greet(*s);
            }
        });
    }
    quint16 Port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

// A meter's answer to "read registers" from 0x0130: register i holds i + 1.
QByteArray ReadReply(quint8 unit, int count) {
    QByteArray r;
    r.append(char(unit)).append(char(3)).append(char(count * 2));
    for (int i = 0; i < count; ++i)
        r.append(char(0)).append(char(i + 1));
    return r;
}

struct PortRun {
    std::unique_ptr<NetworkModbusPort> port;
    QByteArray received;
    int hangups = 0;
    int written = 0;

    PortRun(quint16 tcpPort, NetworkFraming framing)
        : port(std::make_unique<NetworkModbusPort>("127.0.0.1", tcpPort, framing)) {
        port->OnReceiveData = [this](const QByteArray& c) { received += c; };
        port->OnRequestHangup = [this] {
            ++hangups;
            port->ClosePort();
            port->WatchForReturn();
        };
    }
    bool Send(const QByteArray& rtu) {
        return port->SendRequest(rtu, 0, [this](auto) { ++written; });
    }
};

TEST(NetworkPortTest, ModbusTcpRepliesComeBackAsRtuFramesAndStrayFramesAreDropped) {
    TestApp();
    FakeConverter gw;
    gw.answer = [](QTcpSocket& s, const QByteArray& in) {
        const MbapHeader h = *PeekMbapHeader(in);
        const QByteArray pdu = ReadReply(h.unit, 2).mid(1);
        auto frame = [&](quint16 tid, quint8 unit) {
            QByteArray f;
            f.append(char(tid >> 8)).append(char(tid)).append(2, '\0');
            f.append(char(0)).append(char(pdu.size() + 1)).append(char(unit)).append(pdu);
            return f;
        };
        // An old transaction's answer, another unit's, then ours split in two pieces.
        const QByteArray ours = frame(h.transaction, h.unit);
        s.write(frame(quint16(h.transaction - 1), h.unit) + frame(h.transaction, 9) + ours.left(4));
        s.flush();
        s.write(ours.mid(4));
    };
    PortRun run(gw.Port(), NetworkFraming::ModbusTcp);
    run.port->OpenPort();
    ASSERT_TRUE(run.Send(WithCrc(Hex("050301300002"))));
    ASSERT_TRUE(WaitUntil([&] { return run.received.size() >= 9; }));
    EXPECT_EQ(run.received, WithCrc(ReadReply(5, 2)));
    EXPECT_EQ(run.port->StrayFrames(), 2u);
    EXPECT_EQ(run.written, 1);
    EXPECT_EQ(run.port->LineDevice(), QStringLiteral("127.0.0.1:%1 (Modbus TCP)").arg(gw.Port()));
}

TEST(NetworkPortTest, RtuOverTcpPassesTheBytesUnchangedBothWays) {
    TestApp();
    FakeConverter gw;
    QByteArray heard;
    gw.answer = [&](QTcpSocket& s, const QByteArray& in) {
        heard += in;
        s.write(WithCrc(ReadReply(quint8(in[0]), 2)));
    };
    PortRun run(gw.Port(), NetworkFraming::RtuOverTcp);
    run.port->OpenPort();
    const QByteArray request = WithCrc(Hex("050301300002"));
    ASSERT_TRUE(run.Send(request));
    ASSERT_TRUE(WaitUntil([&] { return run.received.size() >= 9; }));
    EXPECT_EQ(heard, request);
    EXPECT_EQ(run.received, WithCrc(ReadReply(5, 2)));
}

// What closes the connection, and the words the operator gets for it.
TEST(NetworkPortTest, AConverterThatFloodsOrAnnouncesAHugeFrameIsCutOffWithinTheBound) {
    TestApp();
    struct Case {
        const char* name;
        NetworkFraming framing;
        std::function<void(QTcpSocket&)> misbehave;
        const char* reason;
    };
    const QByteArray megabyte(1 << 20, '\x55');
    const Case cases[] = {
        {"flood of stray frames, Modbus TCP", NetworkFraming::ModbusTcp,
         [&](QTcpSocket& s) { s.write(Hex("000900000003058306").repeated(100000)); },
         "more than 4096"},
        {"header then junk, Modbus TCP", NetworkFraming::ModbusTcp,
         [&](QTcpSocket& s) { s.write(Hex("00010000001005") + megabyte); }, "frame of 21845 bytes"},
        {"flood, RTU over TCP", NetworkFraming::RtuOverTcp,
         [&](QTcpSocket& s) { s.write(megabyte); }, "more than 4096"},
        {"65535-byte frame", NetworkFraming::ModbusTcp,
         [&](QTcpSocket& s) { s.write(Hex("00010000ffff05") + megabyte.left(2000)); },
         "frame of 65535 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeConverter gw;
        gw.answer = [&](QTcpSocket& s, const QByteArray&) { c.misbehave(s); };
        PortRun run(gw.Port(), c.framing);
        run.port->OpenPort();
        ASSERT_TRUE(run.Send(WithCrc(Hex("050301300002"))));
        ASSERT_TRUE(WaitUntil([&] { return run.hangups > 0; }));
        EXPECT_TRUE(run.port->Failure().contains(c.reason)) << run.port->Failure().toStdString();
        EXPECT_TRUE(run.port->LostNotice().text.contains(c.reason));
        EXPECT_LE(run.port->MostHeld(), kNetworkHoldLimit);
        EXPECT_LE(run.received.size(), kNetworkHoldLimit);
        EXPECT_TRUE(run.port->LineLost());
        run.port->ClosePort();
    }
}

TEST(NetworkPortTest, ARefusedConnectionIsNamedAndADroppedOneIsMadeAgainToTheSameConverter) {
    TestApp();
    {
        // A port nobody listens on any more: taken free, then given up.
        quint16 closed = 0;
        {
            QTcpServer probe;
            ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
            closed = probe.serverPort();
        }
        PortRun run(closed, NetworkFraming::ModbusTcp);
        run.port->OpenPort();
        ASSERT_TRUE(WaitUntil([&] { return run.hangups > 0; }));
        EXPECT_TRUE(run.port->Failure().contains("refused")) << run.port->Failure().toStdString();
        EXPECT_EQ(run.port->LostNotice().caption, QString("Cannot connect"));
        run.port->ClosePort();
    }
    FakeConverter gw;
    gw.answer = [](QTcpSocket& s, const QByteArray& in) {
        s.write(WithCrc(ReadReply(quint8(in[0]), 1)));
    };
    PortRun run(gw.Port(), NetworkFraming::RtuOverTcp);
    run.port->SetReopenPollMs(10); // the first try after a loss; then back-off
    int back = 0;
    run.port->OnLineBack = [&] { ++back; };
    run.port->OpenPort();
    ASSERT_TRUE(WaitUntil([&] { return gw.connections == 1 && run.port->Connected(); }));
    gw.last->disconnectFromHost(); // the converter drops the connection
    ASSERT_TRUE(WaitUntil([&] { return run.hangups == 1; }));
    EXPECT_TRUE(run.port->LostNotice().text.contains("lost"));
    EXPECT_TRUE(run.port->LineWaiting().contains("connecting again"));
    ASSERT_TRUE(WaitUntil([&] { return back == 1; }));
    EXPECT_EQ(gw.connections, 2);
    EXPECT_FALSE(run.port->LineLost());
    ASSERT_TRUE(run.Send(WithCrc(Hex("050301300001"))));
    ASSERT_TRUE(WaitUntil([&] { return run.received.size() >= 7; }));
    EXPECT_EQ(run.received, WithCrc(ReadReply(5, 1)));
    // Closed by the operator: no more tries.
    run.port->ClosePort();
    gw.last->disconnectFromHost();
    QCoreApplication::processEvents();
    EXPECT_FALSE(run.port->LineLost());
    EXPECT_EQ(run.hangups, 1);
}

// The master polling a gateway: the connection drops and the converter turns the next
// connections away, the line counts as lost and polling pauses; once it takes connections
// again, the master polls on by itself, and values come as before.
TEST(NetworkPortTest, TheMasterPausesOnALostConnectionAndPollsOnOnceTheConverterIsBack) {
    TestApp();
    FakeConverter gw;
    int turnAway = 0;
    gw.greet = [&](QTcpSocket& s) {
        if (turnAway > 0) {
            --turnAway;
            s.abort();
        }
    };
    gw.answer = [](QTcpSocket& s, const QByteArray& in) {
        const MbapHeader h = *PeekMbapHeader(in);
        const QByteArray pdu = ReadReply(h.unit, 2).mid(1);
        QByteArray f;
        f.append(char(h.transaction >> 8)).append(char(h.transaction)).append(2, '\0');
        f.append(char(0)).append(char(pdu.size() + 1)).append(char(h.unit)).append(pdu);
        s.write(f);
    };

    TqvModbus::StartResponseWatcher();
    auto owned =
        std::make_unique<NetworkModbusPort>("127.0.0.1", gw.Port(), NetworkFraming::ModbusTcp);
    owned->SetReopenPollMs(10);
    TqvModbus qv(std::move(owned), nullptr);
    qv.SetQueryInterval(0);
    qv.SetQueryTimeout(2000);
    int good = 0, lost = 0, back = 0;
    QString lostDevice;
    qv.OnQueryData = [](TqvModbus* m) { m->SetQueryMessage("05,03,01,30,00,02,00,00"); };
    qv.OnF03Response = [&](TqvModbus*, quint8 slave, quint16 start, QList<quint16> values) {
        if (slave == 5 && start == 0x130 && values == QList<quint16>{1, 2})
            ++good;
    };
    qv.OnLineLost = [&](TqvModbus* m) {
        ++lost;
        lostDevice = m->LineDevice();
    };
    qv.OnLineBack = [&](TqvModbus*) { ++back; };
    qv.Open(qv.CommName(), 9600);
    ASSERT_TRUE(qv.StartQuery());
    ASSERT_TRUE(WaitUntil([&] { return good >= 3; }));

    turnAway = 3;
    gw.last->abort();
    ASSERT_TRUE(WaitUntil([&] { return lost == 1; }));
    EXPECT_FALSE(qv.PortOpen());
    EXPECT_TRUE(qv.ResumeOnReturn());
    EXPECT_EQ(lostDevice, QStringLiteral("127.0.0.1:%1 (Modbus TCP)").arg(gw.Port()));
    const int before = good;
    // A try the converter takes and closes at once is a line back and lost again.
    ASSERT_TRUE(WaitUntil([&] { return turnAway == 0 && back == lost && good >= before + 3; }))
        << "back " << back << " lost " << lost << " good " << good - before;
    EXPECT_GE(gw.connections, 5); // every try was a try of the same converter
    EXPECT_FALSE(qv.LineLost());
    EXPECT_TRUE(qv.CycleBusy());

    // Stopped and closed: nothing more is sent, however the converter behaves.
    qv.StopQuery();
    qv.Close();
    const int connections = gw.connections;
    gw.last->abort();
    QCoreApplication::processEvents();
    EXPECT_FALSE(qv.LineLost());
    EXPECT_EQ(gw.connections, connections);
    TqvModbus::StopResponseWatcher();
}

} // namespace
