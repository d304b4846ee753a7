#include "Crc16.h"
#include "HelpOptions.h"
#include "LineStatusText.h"
#include "MessageCheck.h"
#include "MeterParamDecode.h"
#include "MeterSimProcess.h"
#include "MeteringCsv.h"
#include "PollOptions.h"
#include "PollProcess.h"
#include "PtyResponder.h"
#include "QetraVersion.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <cstring>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

bool WaitUntilTrue(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

TEST(QetraPollTest, ReadsTheMeteringBlockAsJson) {
    PtyResponder meter([](const QByteArray& request, int) { return RegisterReadAnswer(request); });
    ASSERT_TRUE(meter.Valid());
    const PollRun r =
        RunPoll({"--port", meter.SlavePath(), "--json", "--interval", "20", "--addr", "0x11",
                 "--passes", "2", "00,03,01,30,00,36,00,00", "00,03,01,00,00,22,00,00"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(first["tx"].toString(), "110301300036c6bf");
    EXPECT_EQ(first["code"].toInt(), 0);
    EXPECT_EQ(first["event"].toString(), "OnF03Response");
    EXPECT_EQ(first["slave"].toInt(), 0x11);
    EXPECT_EQ(first["start"].toInt(), 0x130);
    const QJsonArray values = first["values"].toArray();
    ASSERT_EQ(values.size(), 54);
    for (int i = 0; i < 54; ++i)
        EXPECT_EQ(values[i].toInt(), 0x1000 + 0x130 + i);
    EXPECT_EQ(first["rx"].toString().size(), 2 * (5 + 2 * 54));
    EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object()["start"].toInt(), 0x100);
    EXPECT_EQ(QJsonDocument::fromJson(lines[3]).object()["n"].toInt(), 4);
    EXPECT_TRUE(r.err.contains("Send= 4  OK= 4  No Response= 0")) << r.err.constData();
}

// The field log of the command line is the program's: the same header, one line per reply
// of block 0x130, scaled by the ratios of the parameter block read before it.
TEST(QetraPollTest, CsvLogHasTheProgramsLinesScaledByTheParameterBlock) {
    PtyResponder meter([](const QByteArray& request, int) { return RegisterReadAnswer(request); });
    ASSERT_TRUE(meter.Valid());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString csv = dir.filePath("field.csv");
    const PollRun r = RunPoll({"--port", meter.SlavePath(), "--interval", "20", "--passes", "2",
                               "--csv", csv, "00,03,01,00,00,22,00,00", "00,03,01,30,00,36,00,00"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();

    QList<quint16> params, block;
    for (int i = 0; i < 0x22; ++i)
        params << quint16(0x1000 + 0x100 + i);
    for (int i = 0; i < 54; ++i)
        block << quint16(0x1000 + 0x130 + i);
    const QString expected = MeteringCsvRow(QDateTime::currentDateTime(), block,
                                            RatiosFromParamBlock(params, {}), std::nullopt);
    const QString expectedValues = expected.mid(expected.indexOf(','));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two lines, nothing after the last line end
    EXPECT_EQ(lines[0], MeteringCsvHeader());
    for (int i : {1, 2})
        EXPECT_EQ(lines[i].mid(lines[i].indexOf(',')), expectedValues) << lines[i].toStdString();
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(QetraPollTest, AnyFailedTransactionGivesStatusOne) {
    // The meter answers only the first request. The time-out is what a loaded machine
    // needs to get the answer across; only the second, silent request waits it out.
    PtyResponder meter([](const QByteArray& request, int index) {
        return index == 0 ? RegisterReadAnswer(request) : QByteArray();
    });
    ASSERT_TRUE(meter.Valid());
    const PollRun r = RunPoll({"--port", meter.SlavePath(), "--interval", "5", "--timeout", "1000",
                               "--passes", "2", "00,03,05,18,00,01,00,00"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("[1] code 0  OnF03Response")) << r.out.constData();
    EXPECT_TRUE(r.out.contains("[2] code 1  OnResponseError")) << r.out.constData();
    EXPECT_TRUE(r.out.contains("Send= 2  OK= 1  No Response= 1")) << r.out.constData();
    // Once the meter has answered, a missing reply is no sign of a wrong address.
    EXPECT_FALSE(r.err.contains("No answer")) << r.err.constData();

    // A meter that never answers (another address): said once, naming the line.
    PtyResponder silent([](const QByteArray&, int) { return QByteArray(); });
    ASSERT_TRUE(silent.Valid());
    const QString device = QFileInfo(silent.SlavePath()).canonicalFilePath();
    const PollRun s = RunPoll({"--port", silent.SlavePath(), "--addr", "2", "--interval", "5",
                               "--timeout", "50", "--passes", "3", "00,03,05,18,00,01,00,00"});
    EXPECT_EQ(s.exitCode, 1);
    EXPECT_EQ(s.err.count("No answer"), 1) << s.err.constData();
    EXPECT_TRUE(s.err.contains(NoAnswerText(2, 9600, silent.SlavePath(), device).toUtf8()))
        << s.err.constData();
    EXPECT_TRUE(s.out.contains(("No Response= 3  CRC Error= 0  Field Error= 0  on " +
                                PortWithDevice(silent.SlavePath(), device))
                                   .toUtf8()))
        << s.out.constData();
}

TEST(QetraPollTest, BadArgumentsExitTwoWithUsage) {
    const QList<QStringList> bad = {
        {},
        {"00,03,01,30,00,36,00,00"}, // no port
        {"--port", "/dev/null"},     // no message
        {"--port", "/dev/null", "--baud", "fast", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "--addr", "300", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "--passes", "0", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "00,03,01,3G,00,01,00,00"},    // not hex
        {"--port", "/dev/null", "00,10,01,56,00,10,21,00,00"}, // count disagrees
        {"--port", "/dev/null", "--bogus", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "--baud", "1", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "--wait-back", "-1", "00,03,00,00,00,01,00,00"},
        {"--port", "/dev/null", "--scan", "--scan-addresses", "0-5"},
        {"--port", "/dev/null", "--scan", "--scan-rates", "9600,115200"},
        {"--port", "/dev/null", "--scan", "00,03,00,00,00,01,00,00"},
        // Modes that exclude each other: nothing is done, whichever comes first.
        {"--port", "/dev/null", "--report", "never.pdf", "--apply-config", "never.qmeter.json"},
        {"--port", "/dev/null", "--scan", "--report", "never.pdf"},
        {"--list-ports", "--save-config", "never.qmeter.json"},
    };
    for (const QStringList& args : bad) {
        const PollRun r = RunPoll(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Usage: qetra-poll")) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    // Message strings are checked strictly before anything is sent, each with its reason.
    const struct {
        const char* message;
        const char* reason;
    } strict[] = {
        {"00,03,01,30,00,01,00,00,00",
         "9 fields, but this request of function 03 takes 8 (address first, two CRC "
         "placeholders last)"},
        {"00,03,01,30,00,01,00,00,00,00,00,00", "12 fields, but this request of function 03"},
        {"00,03,01,30,00,01,00,00,", "ends with a separator (a trailing comma or blank)"},
        {"00,03,01,30,00,01,00,00 ", "ends with a separator (a trailing comma or blank)"},
        {"00;03,01,30,00,01,00,00", "\"00;03\" is not a field of two hex digits"},
        {"00,03,01,30,,00,01,00,00", "\"\" is not a field of two hex digits"},
        {"00,01,00,00,00,00,00,00", "a read of quantity 0: ask for at least one"},
        {"00,03,01,30,00,00,00,00", "a read of quantity 0: ask for at least one"},
        {"00,07,01,30,00,01,00,00", "not a request the master can send"},
    };
    for (const auto& c : strict) {
        EXPECT_EQ(MessageProblem(c.message).left(int(strlen(c.reason))), QString(c.reason))
            << c.message;
    }
    QByteArray huge = "00,03,01,30,00,01,00,00";
    for (int i = 0; i < 40000 - 8; ++i)
        huge += ",00";
    EXPECT_TRUE(MessageProblem(huge).startsWith("40000 fields"));
    EXPECT_TRUE(MessageProblem("00,10,01,56,00,01,02,00,07,00,00").isEmpty());
    EXPECT_TRUE(MessageProblem("00,05,00,10,FF,00,00,00").isEmpty());
    const PollRun help = RunPoll({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Exit status"));
    const PollRun version = RunPoll({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(QString::fromLocal8Bit(version.out),
              QStringLiteral("qetra-poll %1 (Qt %2)\n").arg(kQetraVersion, qVersion()));
}

TEST(QetraPollTest, PortThatCannotOpenIsAFailureNotAUsageError) {
    const PollRun r = RunPoll({"--port", "/nonexistent/tty", "00,03,00,00,00,01,00,00"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "qetra-poll: cannot open /nonexistent/tty: Error opening serial port: "
                     "/nonexistent/tty: no such device. The adapter is not plugged in (or the "
                     "port name is wrong).\n");
    const PollRun null = RunPoll({"--port", "/dev/null", "00,03,00,00,00,01,00,00"});
    EXPECT_EQ(null.exitCode, 1);
    EXPECT_EQ(null.err, "qetra-poll: cannot open /dev/null: File handle is not a comm handle: "
                        "/dev/null is not a serial device (it is no terminal).\n");
}

// The meter's line as the program's COM1, in a private folder of port links.
struct LinkedLine : ::testing::Test {
    QTemporaryDir ports;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    void SetUp() override {
        ASSERT_TRUE(ports.isValid());
        env.insert("QETRA_PORTS_DIR", ports.path());
    }
    void LinkCom1(const QString& device) {
        QFile::remove(ports.filePath("COM1"));
        ASSERT_TRUE(QFile::link(device, ports.filePath("COM1")));
    }
};

bool WaitForText(QProcess& p, QByteArray& seen, const QByteArray& text, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!seen.contains(text) && !deadline.hasExpired()) {
        p.waitForReadyRead(50);
        seen += p.readAllStandardError();
    }
    return seen.contains(text);
}

TEST_F(LinkedLine, ALostLineIsWaitedForResumedWhenBackAndTheRunSummedUpOnSigterm) {
    // The fourth request is still waiting for its answer when the line goes.
    auto first = std::make_unique<PtyResponder>([](const QByteArray& request, int index) {
        return index < 3 ? RegisterReadAnswer(request) : QByteArray();
    });
    ASSERT_TRUE(first->Valid());
    LinkCom1(first->SlavePath());
    QProcess poll;
    poll.setProcessEnvironment(env);
    poll.start(QETRA_POLL_PATH,
               {"--port", "COM1", "--interval", "20", "--timeout", "1000", "--passes", "100000",
                "--wait-back", "20", "00,03,05,18,00,01,00,00"});
    ASSERT_TRUE(poll.waitForStarted());
    ASSERT_TRUE(WaitUntilTrue([&] { return first->Requests() >= 4; }));

    // The far end hangs up mid-poll, and comes back as another pseudo-terminal under the
    // same COM name.
    const QString gone = QFileInfo(first->SlavePath()).canonicalFilePath();
    first.reset();
    QByteArray err;
    ASSERT_TRUE(WaitForText(poll, err, "the line is lost: ")) << err.constData();
    EXPECT_TRUE(err.contains(" hung up (adapter unplugged, or the other end closed); waiting up "
                             "to 20 s for it to come back"))
        << err.constData();
    EXPECT_FALSE(err.contains(QString::fromUtf8("严重错误").toUtf8()));
    EXPECT_TRUE(err.contains(("Waiting for COM1 (was " + gone + ")").toLocal8Bit()))
        << err.constData();
    PtyResponder second([](const QByteArray& request, int) { return RegisterReadAnswer(request); });
    ASSERT_TRUE(second.Valid());
    LinkCom1(second.SlavePath());
    ASSERT_TRUE(WaitForText(poll, err, "is back; polling goes on")) << err.constData();
    ASSERT_TRUE(WaitUntilTrue([&] { return second.Requests() >= 3; }));

    ::kill(pid_t(poll.processId()), SIGTERM);
    ASSERT_TRUE(poll.waitForFinished(10000));
    EXPECT_EQ(poll.exitCode(), 143);
    const QByteArray out = poll.readAllStandardOutput();
    // The request in flight when the line went counts as unanswered; the rest were answered.
    EXPECT_TRUE(out.contains("No Response= 1  CRC Error= 0")) << out.right(300).constData();
    EXPECT_TRUE(out.contains("code 1  OnResponseError")) << out.right(300).constData();
    EXPECT_FALSE(gone.isEmpty());
}

// While the run goes on, COM1 is pointed at /dev/null and the data log is renamed aside:
// every request still goes to the device opened, so the summary names that one; the log
// stops at its next row, saying so, and the run ends with status 1. An exception reply is
// counted as "No Response" (the program's rule) but shown for what it is.
TEST_F(LinkedLine, ARePointedLinkAReplacedLogAndAnExceptionAreEachToldForWhatTheyAre) {
    std::atomic<bool> moved{false};
    PtyResponder meter([&](const QByteArray& request, int index) {
        if (index == 1) { // "illegal data address"
            QByteArray e = request.left(1) + char(quint8(request[1]) | 0x80) + char(2);
            return e + ModbusCrcBytes(e, 3);
        }
        if (index == 3) // held until the link and the log have moved
            WaitUntilTrue([&] { return moved.load(); }, 20000);
        return RegisterReadAnswer(request);
    });
    ASSERT_TRUE(meter.Valid());
    LinkCom1(meter.SlavePath());
    const QString device = QFileInfo(meter.SlavePath()).canonicalFilePath();
    QTemporaryDir logs;
    ASSERT_TRUE(logs.isValid());
    const QString csv = logs.filePath("meter.csv");
    QProcess poll;
    poll.setProcessEnvironment(env);
    poll.start(QETRA_POLL_PATH,
               {"--port", "COM1", "--interval", "5", "--timeout", "1000", "--passes", "8", "--json",
                "--csv", csv, "00,03,01,30,00,36,00,00"});
    ASSERT_TRUE(poll.waitForStarted());
    // Three answered (the exception waits out the time-out: the master takes it for no
    // reply); the fourth is held until the link and the log have moved.
    ASSERT_TRUE(WaitUntilTrue([&] { return meter.Requests() >= 3; }))
        << meter.Requests() << " " << poll.readAllStandardError().constData();
    ASSERT_TRUE(QFile::rename(csv, csv + ".old"));
    LinkCom1("/dev/null");
    moved = true;
    ASSERT_TRUE(poll.waitForFinished(30000));
    EXPECT_EQ(poll.exitCode(), 1);
    const QByteArray out = poll.readAllStandardOutput();
    const QByteArray err = poll.readAllStandardError();
    EXPECT_TRUE(err.contains("Exception replies= 1")) << err.constData();
    EXPECT_TRUE(err.contains(("on " + PortWithDevice("COM1", device)).toUtf8())) << err.constData();
    EXPECT_FALSE(err.contains("/dev/null")) << err.constData();
    EXPECT_TRUE(err.contains(("logging stopped: \"" + csv + "\" is gone").toUtf8()))
        << err.constData();
    const QList<QByteArray> rows = out.split('\n');
    ASSERT_GE(rows.size(), 2);
    const QJsonObject second = QJsonDocument::fromJson(rows[1]).object();
    EXPECT_EQ(second["code"].toInt(), 1);
    EXPECT_EQ(second["exception"].toInt(), 2);
    EXPECT_EQ(second["exception_text"].toString(), "Illegal Data Address");
    EXPECT_FALSE(QJsonDocument::fromJson(rows[0]).object().contains("exception"));
}

TEST_F(LinkedLine, ALineThatStaysAwayEndsTheRunAfterTheWait) {
    auto meter = std::make_unique<PtyResponder>([](const QByteArray& request, int index) {
        return index < 2 ? RegisterReadAnswer(request) : QByteArray();
    });
    ASSERT_TRUE(meter->Valid());
    LinkCom1(meter->SlavePath());
    QProcess poll;
    poll.setProcessEnvironment(env);
    poll.start(QETRA_POLL_PATH, {"--port", "COM1", "--interval", "20", "--passes", "100000",
                                 "--wait-back", "1", "00,03,05,18,00,01,00,00"});
    ASSERT_TRUE(poll.waitForStarted());
    ASSERT_TRUE(WaitUntilTrue([&] { return meter->Requests() >= 3; }));
    QElapsedTimer took;
    took.start();
    meter.reset();
    ASSERT_TRUE(poll.waitForFinished(10000));
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(poll.exitCode(), 1);
    const QByteArray err = poll.readAllStandardError();
    EXPECT_TRUE(err.contains("did not come back within 1 s; giving up")) << err.constData();
    EXPECT_TRUE(poll.readAllStandardOutput().contains("Send= 3  OK= 2  No Response= 1"));
}

TEST_F(LinkedLine, TheScanFindsTheSimulatedMeterAndThePortListShowsItsLink) {
    MeterSimProcess sim({"--port", "COM1", "--address", "200", "--baud", "2400"}, env);
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    const PollRun r = RunPoll({"--port", "COM1", "--scan", "--scan-addresses", "199-201",
                               "--scan-rates", "9600,2400", "--scan-turnaround", "400"},
                              env);
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, "found: address 200 at 2400 baud, version 1.20\n");
    EXPECT_TRUE(r.err.contains("searching at 2400 baud, addresses 199-201")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("1 meter(s) found in 6 of 6 tries")) << r.err.constData();

    const PollRun list = RunPoll({"--list-ports"}, env);
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains(("COM1 -> " + sim.device()).toLocal8Bit()))
        << list.out.constData();
}

TEST(QetraPollTest, SeveralMetersOfALineArePolledInTurnAndADeadOneOnlyNowAndThen) {
    MeterSimProcess sim({"--also-address", "2,3,4", "--silent-address", "3"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    const int passes = 12;
    const PollRun r = RunPoll({"--port", sim.device(), "--addresses", "1-4", "--json", "--interval",
                               "10", "--timeout", "300", "--passes", QString::number(passes),
                               "00,03,01,30,00,36,00,00"});
    sim.stop();
    // A meter that never answers is a failed run, said as such.
    EXPECT_EQ(r.exitCode, 1) << r.err.constData();
    QMap<int, int> asked, answered;
    QMap<int, double> volts; // the average phase voltage each meter reported last
    for (const QByteArray& line : r.out.trimmed().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        ASSERT_TRUE(o.contains("address")) << line.constData();
        const int address = o["address"].toInt();
        ++asked[address];
        EXPECT_EQ(o["tx"].toString().left(2).toInt(nullptr, 16), address);
        if (o["code"].toInt() != 0)
            continue;
        ++answered[address];
        EXPECT_EQ(o["slave"].toInt(), address);
        volts[address] = o["values"].toArray()[4].toInt() / 10.0;
    }
    // The live meters every round; the dead one three times, then once eight rounds later.
    EXPECT_EQ(asked, (QMap<int, int>{{1, passes}, {2, passes}, {3, 4}, {4, passes}}));
    EXPECT_EQ(answered, (QMap<int, int>{{1, passes}, {2, passes}, {4, passes}}));
    // Each meter measures its own feeder.
    EXPECT_NE(volts[1], volts[2]);
    EXPECT_NE(volts[1], volts[4]);
    EXPECT_NE(volts[2], volts[4]);
    EXPECT_TRUE(r.err.contains("meter 3 is silent")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Meter 1: Send= 12  Answered= 12\n")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Meter 3: Send= 4  Answered= 0  silent\n")) << r.err.constData();
}

TEST(PollOptionsTest, AddressReplacesTheFirstByteOfEveryMessage) {
    const PollArguments a = ParsePollArguments({"qetra-poll", "--port", "COM1", "--addr", "10",
                                                "--baud", "38400", "00,01,00,00,00,02,00,00"});
    ASSERT_TRUE(a.options) << a.error.toStdString();
    EXPECT_EQ(a.options->messages, QList<QByteArray>({"0A,01,00,00,00,02,00,00"}));
    EXPECT_EQ(a.options->baud, 38400u);
    EXPECT_EQ(a.options->interval, 200u);
    EXPECT_EQ(a.options->timeout, 3000u);

    // Passes times messages is the number of transactions; one that cannot be counted
    // is refused rather than wrapped round.
    QStringList many = {"qetra-poll", "--port", "COM1", "--passes", "100000000"};
    for (int i = 0; i < 22; ++i)
        many << "00,03,00,00,00,01,00,00";
    const PollArguments b = ParsePollArguments(many);
    EXPECT_FALSE(b.options);
    EXPECT_TRUE(b.error.contains("--passes")) << b.error.toStdString();
    many.removeLast();
    EXPECT_TRUE(ParsePollArguments(many).options);
}

// Every option --help lists is read in the kind of run it belongs to and sets what it says;
// one that belongs to another kind is left alone, and the first refusal names its option.
// A converter on the network instead of --port: Modbus TCP on 502 unless told otherwise, RTU
// over TCP always with its port, polling only.
TEST(PollOptionsTest, NetworkConvertersAreNamedByHostAndPortAndPollOnly) {
    const struct {
        QStringList line;
        const char* refusal; // empty: taken
        const char* host;
        quint16 port;
        bool rtuOverTcp;
    } cases[] = {
        {{"--tcp", "10.0.0.5"}, "", "10.0.0.5", 502, false},
        {{"--tcp", "gw.panel:1502"}, "", "gw.panel", 1502, false},
        {{"--rtu-over-tcp", "[::1]:4001"}, "", "::1", 4001, true},
        {{"--rtu-over-tcp", "10.0.0.5"},
         "--rtu-over-tcp: \"10.0.0.5\" is not HOST:PORT",
         "",
         0,
         false},
        {{"--tcp", "10.0.0.5:0"}, "--tcp: \"10.0.0.5:0\" is not HOST[:PORT]", "", 0, false},
        {{"--tcp", "a", "--rtu-over-tcp", "b:1"}, "--tcp and --rtu-over-tcp exclude", "", 0, false},
        {{"--tcp", "a", "--scan"}, "--tcp and --rtu-over-tcp poll only", "", 0, false},
        {{"--tcp", "a", "--save-config", "s.json"},
         "--tcp and --rtu-over-tcp poll only",
         "",
         0,
         false},
        {{"--addr", "5"}, "--port, --tcp or --rtu-over-tcp is required", "", 0, false},
    };
    for (const auto& c : cases) {
        const QStringList line =
            QStringList{"qetra-poll"} + c.line + QStringList{"00,03,01,30,00,36,00,00"};
        SCOPED_TRACE(line.join(' ').toStdString());
        const PollArguments parsed = ParsePollArguments(line);
        if (*c.refusal) {
            EXPECT_FALSE(parsed.options);
            EXPECT_TRUE(parsed.error.startsWith(c.refusal)) << parsed.error.toStdString();
            continue;
        }
        ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
        EXPECT_EQ(parsed.options->tcpHost, QString(c.host));
        EXPECT_EQ(parsed.options->tcpPort, c.port);
        EXPECT_EQ(parsed.options->rtuOverTcp, c.rtuOverTcp);
        EXPECT_TRUE(parsed.options->port.isEmpty());
    }
}

TEST(PollOptionsTest, EveryOptionOfTheHelpSetsWhatItSaysInItsKindOfRun) {
    using Options = PollOptions;
    using Action = PollOptions::ConfigAction;
    const QStringList message = {"00,03,01,30,00,36,00,00"};
    const struct {
        QStringList line; // behind --port COM1
        std::function<bool(const Options&)> holds;
        const char* refusal{}; // or the start of the reason the line is refused
    } cases[] = {
        {QStringList{"--port", "COM7", "--baud", "38400", "--addr", "0x11", "--interval", "5",
                     "--timeout", "100", "--passes", "3", "--wait-back", "20"} +
             message,
         [](const Options& o) {
             return o.port == "COM7" && o.baud == 38400 && o.address == 17 && o.interval == 5 &&
                    o.timeout == 100 && o.passes == 3 && o.waitBack == 20 &&
                    o.messages == QList<QByteArray>{"11,03,01,30,00,36,00,00"};
         }},
        {QStringList{"--json", "--trace", "--csv", "log.csv"} + message,
         [](const Options& o) { return o.json && o.trace && o.csvFile == "log.csv"; }},
        {{"--list-ports", "--baud", "fast"}, [](const Options& o) { return o.listPorts; }},
        {{"--scan", "--scan-addresses", "199-201", "--scan-rates", "2400,9600", "--scan-turnaround",
          "400", "--baud", "fast"},
         [](const Options& o) {
             return o.scan && o.scanPlan.firstAddress == 199 && o.scanPlan.lastAddress == 201 &&
                    o.scanPlan.rates == QList<quint32>{2400, 9600} &&
                    o.scanPlan.turnaroundMs == 400 && o.baud == 9600;
         }},
        {{"--report", "r.pdf", "--site", "S", "--feeder", "F", "--technician", "T", "--notes", "N",
          "--paper", "Letter", "--model", "7100"},
         [](const Options& o) {
             return o.reportFile == "r.pdf" && o.site == "S" && o.feeder == "F" &&
                    o.technician == "T" && o.notes == "N" && o.letterPaper &&
                    o.model == "QETRA 7100" && o.interval == 0;
         }},
        {{"--report", "r.pdf", "--interval", "20"},
         [](const Options& o) { return o.interval == 20; }},
        {{"--save-config", "s.json", "--model", "7100", "--factory"},
         [](const Options& o) {
             return o.configAction == Action::Save && o.configFile == "s.json" &&
                    o.model == "QETRA 7100" && o.factory && !o.writeCoefficients;
         }},
        {{"--compare-config", "c.json", "--include-comm"},
         [](const Options& o) { return o.configAction == Action::Compare && o.includeComm; }},
        {{"--apply-config", "a.json", "--addresses", "1-3,7", "--factory", "--coefficients"},
         [](const Options& o) {
             return o.configAction == Action::Apply &&
                    o.configAddresses == QList<int>{1, 2, 3, 7} && o.writeCoefficients;
         }},
        {QStringList{"--port", "COM2", "--port", "COM3"} + message,
         [](const Options& o) { return o.port == "COM3"; }},
        {QStringList{"--timeout", "3600001"} + message, {}, "bad --interval or --timeout"},
        {QStringList{"--csv", ""} + message, {}, "--csv needs a file name"},
        {{"--scan", "--scan-turnaround", "10001"}, {}, "bad --scan-turnaround"},
        {{"--report", ""}, {}, "--report needs a file name"},
        {{"--report", "r.pdf", "--save-config", "x"},
         {},
         "--report and --save-config exclude each other"},
        {{"--report", "r.pdf", "--model", "7200", "--paper", "a3"}, {}, "bad --paper"},
        {{"--report", "r.pdf", "--model", "7200"}, {}, "bad --model"},
        {{"--save-config", "s", "--compare-config", "c"}, {}, "--save-config, --compare-config"},
        {{"--save-config", "s", "--addr", "0"}, {}, "a configuration command needs the meter's"},
        {{"--save-config", "s", "--addresses", "1-3"}, {}, "--addresses goes with --apply-config"},
        {{"--apply-config", "a", "--addresses", "1,1"}, {}, "bad --addresses"},
        {{"--csv", "log.csv", "--addresses", "1-3", "00,03,01,30,00,36,00,00"},
         {},
         "--csv cannot go with --addresses"},
        {{"--apply-config", "a", "--addresses", "1-3", "--include-comm"},
         {},
         "--include-comm cannot go with --addresses"},
        {{"--save-config", "s", "--include-comm"}, {}, "--include-comm goes with"},
        {{"--apply-config", "a", "--coefficients"}, {}, "--coefficients goes with"},
        {{"--save-config", "s", "--model", "7200", "--coefficients"}, {}, "--coefficients"},
        {QStringList{"--tcp", "10.0.0.5"} + message, {}, "--port and --tcp/--rtu-over-tcp"},
        {QStringList{"--rtu-over-tcp", "10.0.0.5:4001"} + message,
         {},
         "--port and --tcp/--rtu-over-tcp"},
    };
    QStringList exercised;
    for (const auto& c : cases) {
        const QStringList line = QStringList{"qetra-poll", "--port", "COM1"} + c.line;
        const PollArguments parsed = ParsePollArguments(line);
        const std::string text = line.join(' ').toStdString();
        exercised += c.line.filter(QRegularExpression("^--"));
        if (c.holds) {
            ASSERT_TRUE(parsed.options) << text << ": " << parsed.error.toStdString();
            EXPECT_TRUE(c.holds(*parsed.options)) << text;
        } else {
            EXPECT_FALSE(parsed.options) << text;
            EXPECT_TRUE(parsed.error.startsWith(c.refusal))
                << text << ": " << parsed.error.toStdString();
        }
    }

    // A new option comes with a line here.
    const QString help = ParsePollArguments({"qetra-poll", "--help"}).helpText;
    const QStringList listed = OptionsOfHelp(help);
    EXPECT_GE(listed.size(), 29);
    for (const QString& name : listed)
        EXPECT_TRUE(exercised.contains(name)) << name.toStdString() << " has no line here";
}

TEST(PollOptionsTest, ModesThatExcludeEachOtherAreNamed) {
    using Action = PollOptions::ConfigAction;
    const struct {
        bool listPorts, scan;
        const char* report;
        Action action;
        const char* refusal; // empty: one mode, taken
    } cases[] = {
        {false, false, "r.pdf", Action::Apply,
         "--report and --apply-config exclude each other: a run does one of them, nothing was "
         "done"},
        {true, true, "", Action::Save, "--list-ports, --scan and --save-config exclude each other"},
        {false, true, "r.pdf", Action::None, "--scan and --report exclude each other"},
        {false, false, "r.pdf", Action::None, ""},
        {false, false, "", Action::Compare, ""},
    };
    for (const auto& c : cases) {
        PollOptions o;
        o.listPorts = c.listPorts;
        o.scan = c.scan;
        o.reportFile = c.report;
        o.configAction = c.action;
        EXPECT_EQ(ConflictingModes(o).left(int(strlen(c.refusal))), QString(c.refusal));
        EXPECT_EQ(ConflictingModes(o).isEmpty(), strlen(c.refusal) == 0);
    }
}

} // namespace
