// qetra-poll through a converter on the network: against Debian's pymodbus as a Modbus TCP
// server, against meter-sim as a gateway (checked by mbpoll -m tcp as well) and, for RTU
// over TCP, through socat in front of the serial meter-sim. Everything on 127.0.0.1, on
// ports the peers chose themselves.

#include "MeterSimProcess.h"
#include "PollProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

// The registers of every JSON line qetra-poll printed, in order.
QList<QList<int>> Values(const QByteArray& out) {
    QList<QList<int>> all;
    for (const QByteArray& line : out.trimmed().split('\n')) {
        QList<int> values;
        for (const QJsonValue& v : QJsonDocument::fromJson(line).object()["values"].toArray())
            values << v.toInt();
        all << values;
    }
    return all;
}

// A peer process whose first line of output names what it serves.
class Peer {
public:
    Peer(const QString& program, const QStringList& arguments) {
        process_.start(program, arguments);
        if (process_.waitForStarted(10000) && process_.waitForReadyRead(20000)) {
            while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
            }
            first_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        }
    }
    ~Peer() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    const QString& FirstLine() const { return first_; }
    QString Errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
    QString first_;
};

bool Have(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

const QString kMetering = QStringLiteral("00,03,01,30,00,36,00,00");

TEST(NetworkPollTest, ModbusTcpReadsThe54RegistersOfPymodbusExactly) {
    if (!QFile::exists("/usr/bin/python3"))
        GTEST_SKIP() << "no /usr/bin/python3 (scripts/deb-packages.txt lists python3-pymodbus)";
    Peer server("/usr/bin/python3",
                {QStringLiteral(QETRA_PEERS_DIR "/pymodbus_tcp_server.py"), "5"});
    const QStringList served = server.FirstLine().split(' ');
    ASSERT_EQ(served.size(), 55) << qPrintable(server.FirstLine() + server.Errors());
    QList<int> expected;
    for (int i = 1; i < served.size(); ++i)
        expected << served[i].toInt();

    const PollRun r = RunPoll(
        {"--tcp", "127.0.0.1:" + served[0], "--addr", "5", "--json", "--interval", "0", kMetering});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QList<int>> got = Values(r.out);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0], expected);
    EXPECT_TRUE(r.err.contains("(Modbus TCP)")) << r.err.constData();
}

// meter-sim as a gateway: its registers through qetra-poll and through mbpoll agree, a unit
// nobody answers gets the gateway's exception, and the rates of a poll run stay those of the
// meter.
TEST(NetworkPollTest, MeterSimGatewayAnswersQetraPollAndMbpollAlikeAndRefusesAnAbsentUnit) {
    MeterSimProcess sim({"--tcp", "0", "--address", "7", "--also-address", "8", "--seed", "4"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    ASSERT_TRUE(sim.device().startsWith("127.0.0.1:")) << qPrintable(sim.device());
    const QString tcpPort = sim.device().section(':', 1);

    // The firmware and configuration block does not move between two reads.
    const QString block = QStringLiteral("00,03,01,00,00,22,00,00");
    const PollRun r = RunPoll({"--tcp", sim.device(), "--addr", "8", "--json", "--interval", "0",
                               "--passes", "2", block});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QList<int>> got = Values(r.out);
    ASSERT_EQ(got.size(), 2);
    ASSERT_EQ(got[0].size(), 0x22);

    if (Have("mbpoll")) {
        QProcess mbpoll;
        mbpoll.setProcessChannelMode(QProcess::MergedChannels);
        mbpoll.start("mbpoll", {"-m", "tcp", "-p", tcpPort, "-a", "8", "-0", "-1", "-t", "4", "-r",
                                QString::number(0x100), "-c", QString::number(0x22), "127.0.0.1"});
        ASSERT_TRUE(mbpoll.waitForFinished(20000));
        const QString text = QString::fromLocal8Bit(mbpoll.readAll());
        static const QRegularExpression line(R"(^\[(\d+)\]:\s+(-?\d+))",
                                             QRegularExpression::MultilineOption);
        QList<int> seen;
        for (auto it = line.globalMatch(text); it.hasNext();)
            seen << (it.next().captured(2).toInt() & 0xFFFF);
        EXPECT_EQ(seen, got[0]) << qPrintable(text);
    }

    const PollRun absent =
        RunPoll({"--tcp", sim.device(), "--addr", "9", "--json", "--interval", "0", block});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_TRUE(absent.out.contains("\"rx\":\"09830b")) << absent.out.constData();
    EXPECT_TRUE(absent.out.contains("the gateway could not reach the meter"))
        << absent.out.constData();
    EXPECT_EQ(sim.stop(), 0) << qPrintable(sim.errors());
}

TEST(NetworkPollTest, RtuOverTcpReadsTheSerialMeterThroughSocat) {
    if (!Have("socat"))
        GTEST_SKIP() << "socat is not installed (scripts/deb-packages.txt lists it)";
    MeterSimProcess sim({"--address", "3", "--seed", "4"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    // socat takes a free port itself and says which on standard error (-d -d).
    QProcess socat;
    socat.setProcessChannelMode(QProcess::SeparateChannels);
    socat.setReadChannel(QProcess::StandardError);
    socat.start("socat", {"-d", "-d", "TCP-LISTEN:0,bind=127.0.0.1,reuseaddr",
                          "FILE:" + sim.device() + ",raw,echo=0,b9600"});
    static const QRegularExpression listening(R"(listening on .*:(\d+))");
    QString said;
    QString tcpPort;
    while (tcpPort.isEmpty() && socat.waitForReadyRead(10000)) {
        said += QString::fromLocal8Bit(socat.readAllStandardError());
        if (const auto m = listening.match(said); m.hasMatch())
            tcpPort = m.captured(1);
    }
    ASSERT_FALSE(tcpPort.isEmpty()) << qPrintable(said);

    const PollRun r = RunPoll({"--rtu-over-tcp", "127.0.0.1:" + tcpPort, "--addr", "3", "--json",
                               "--interval", "0", kMetering});
    socat.terminate();
    socat.waitForFinished(5000);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QList<int>> got = Values(r.out);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].size(), 54);
    EXPECT_TRUE(r.err.contains("(RTU over TCP)")) << r.err.constData();
}

TEST(NetworkPollTest, AConverterThatRefusesIsNamedAndTheRunFails) {
    quint16 closed = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closed = probe.serverPort();
    }
    const PollRun r = RunPoll({"--tcp", QStringLiteral("127.0.0.1:%1").arg(closed), "--wait-back",
                               "1", "--json", kMetering});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("refused")) << r.err.constData();
}

} // namespace
