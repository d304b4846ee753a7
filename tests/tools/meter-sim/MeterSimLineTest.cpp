// The simulator as the program meets it: a process serving a pseudo-terminal.

#include "PortName.h"
#include "QetraVersion.h"
#include "SimProcess.h"
#include "SlaveProtocol.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>

namespace {

struct MbpollResult {
    QMap<int, QString> values; // reference -> printed value
    QString output;            // standard output and error together
};

// Runs Debian's mbpoll once against `device` at 9600 8N1, 0-based references;
// with `writeValues` it writes them instead of reading.
MbpollResult Mbpoll(const QString& device, const QStringList& arguments,
                    const QStringList& writeValues = {}) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("mbpoll"),
            QStringList{"-m", "rtu", "-a", "1", "-b", "9600", "-P", "none", "-0", "-1", "-o", "2"} +
                arguments + QStringList{device} + writeValues);
    EXPECT_TRUE(p.waitForFinished(20000));
    MbpollResult r;
    r.output = QString::fromLocal8Bit(p.readAll());
    static const QRegularExpression line(QStringLiteral(R"(^\[(\d+)\]:\s+(\S+))"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(r.output); it.hasNext();) {
        const auto m = it.next();
        r.values[m.captured(1).toInt()] = m.captured(2);
    }
    return r;
}

int Hex(const QString& text) {
    return text.toInt(nullptr, 16);
}

QStringList Block(int start, int count) {
    return {"-t", "4:hex", "-r", QString::number(start), "-c", QString::number(count)};
}

class MbpollAgainstSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("mbpoll")).isEmpty())
            GTEST_SKIP() << "mbpoll is not installed (scripts/deb-packages.txt lists it)";
        ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    }
    MeterSimProcess sim{{"--seed", "3"}};
};

} // namespace

TEST_F(MbpollAgainstSim, ReadsCoilsInputsAndEveryRegisterBlock) {
    auto coils = Mbpoll(sim.device(), {"-t", "0", "-r", "0", "-c", "2"});
    ASSERT_EQ(coils.values.size(), 2) << qPrintable(coils.output);
    auto inputs = Mbpoll(sim.device(), {"-t", "1", "-r", "0", "-c", "4"});
    ASSERT_EQ(inputs.values.size(), 4) << qPrintable(inputs.output);
    for (const auto& v : inputs.values)
        EXPECT_TRUE(v == "0" || v == "1");

    const std::pair<int, int> blocks[] = {{0x100, 34},  {0x130, 54},  {0x168, 8}, {0x1D6, 99},
                                          {0x239, 119}, {0x2B0, 119}, {0x32A, 6}, {0x330, 31},
                                          {0x354, 73},  {0x39D, 8},   {0x3A5, 2}, {0x510, 34},
                                          {0x518, 1},   {0x51B, 25},  {0x534, 12}};
    QMap<int, int> reg;
    for (const auto& [start, count] : blocks) {
        const auto r = Mbpoll(sim.device(), Block(start, count));
        ASSERT_EQ(r.values.size(), count) << std::hex << start << qPrintable(r.output);
        for (auto it = r.values.begin(); it != r.values.end(); ++it)
            reg[it.key()] = Hex(it.value());
    }
    EXPECT_EQ(reg[0x101], 1);
    EXPECT_EQ(reg[0x102], 9600);
    EXPECT_GE(reg[0x130], 4900); // 49.00 .. 51.00 Hz
    EXPECT_LE(reg[0x130], 5100);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(reg[0x131 + k], 2300, 100);  // phase voltages near 230 V
        EXPECT_NEAR(reg[0x135 + k], 3984, 180);  // line voltages sqrt(3) larger
        EXPECT_NEAR(reg[0x139 + k], 5000, 1000); // currents near 5 A
    }
    EXPECT_TRUE(reg[0x150] == 'L' || reg[0x150] == 'C');
    EXPECT_GE(reg[0x32A], 2020);
    EXPECT_NEAR(reg[0x39D], 1200, 5);
    QString version;
    for (int k = 0; k < 4; ++k)
        version += QChar(reg[0x510 + k]);
    EXPECT_EQ(version, "1.20");
    EXPECT_NEAR(reg[0x518], 350, 50);
}

TEST_F(MbpollAgainstSim, WritesOfACoilAndARegisterBlockAreReadBack) {
    auto w = Mbpoll(sim.device(), {"-t", "0", "-r", "1"}, {"1"});
    ASSERT_TRUE(w.output.contains("Written 1 references")) << qPrintable(w.output);
    auto coils = Mbpoll(sim.device(), {"-t", "0", "-r", "0", "-c", "2"});
    EXPECT_EQ(coils.values.value(1), "1") << qPrintable(coils.output);

    w = Mbpoll(sim.device(), {"-t", "4", "-r", QString::number(0x32A)},
               {"2030", "1", "2", "3", "4", "5"});
    ASSERT_TRUE(w.output.contains("Written 6 references")) << qPrintable(w.output);
    const auto clock = Mbpoll(sim.device(), {"-t", "4", "-r", QString::number(0x32A), "-c", "5"});
    EXPECT_EQ(clock.values.value(0x32A), "2030") << qPrintable(clock.output);
    EXPECT_EQ(clock.values.value(0x32B), "1");
    EXPECT_EQ(clock.values.value(0x32C), "2");
    EXPECT_EQ(clock.values.value(0x32D), "3");
    EXPECT_EQ(clock.values.value(0x32E), "4");
}

TEST_F(MbpollAgainstSim, ExceptionsReachTheMaster) {
    // Input registers (function 04) are not part of the meter.
    auto r = Mbpoll(sim.device(), {"-t", "3", "-r", "0", "-c", "1"});
    EXPECT_TRUE(r.output.contains("Illegal function")) << qPrintable(r.output);
    r = Mbpoll(sim.device(), Block(0x600, 2));
    EXPECT_TRUE(r.output.contains("Illegal data address")) << qPrintable(r.output);
    r = Mbpoll(sim.device(), {"-t", "4", "-r", QString::number(0x102)}, {"1234"});
    EXPECT_TRUE(r.output.contains("Illegal data value")) << qPrintable(r.output);
}

TEST(MeterSimLine, ComPortAndLinkReachTheSimulatorAndGoAwayAtExit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QETRA_PORTS_DIR", dir.filePath("ports"));
    qputenv("QETRA_PORTS_DIR", dir.filePath("ports").toLocal8Bit());
    const QString link = dir.filePath("meter");
    MeterSimProcess sim({"--port", "COM1", "--link", link}, env);
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());

    const QString resolved = ResolvePortName(QStringLiteral("\\\\.\\COM1"));
    EXPECT_EQ(QFileInfo(resolved).canonicalFilePath(), QFileInfo(sim.device()).canonicalFilePath());
    EXPECT_EQ(QFileInfo(link).canonicalFilePath(), QFileInfo(sim.device()).canonicalFilePath());
    {
        LineClient client(resolved, 9600);
        ASSERT_TRUE(client.isOpen());
        const auto reply = client.transact(Request(1, 0x03, 0x101, 1));
        EXPECT_EQ(reply, WithCrc({1, 3, 2, 0, 1}));
    }
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(QFileInfo(resolved).isSymLink());
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(sim.errors().contains("meter-sim-stats frames=1 ")) << qPrintable(sim.errors());
    qunsetenv("QETRA_PORTS_DIR");
}

TEST(MeterSimLine, AddressChangeSilencesTheOldAddress) {
    MeterSimProcess sim({});
    ASSERT_TRUE(sim.started());
    LineClient client(sim.device(), 9600);
    auto settings = Registers(client.transact(Request(1, 0x03, 0x100, 20)));
    ASSERT_EQ(settings.size(), 20u);
    settings[1] = 33;
    EXPECT_EQ(client.transact(WriteRegisters(1, 0x100, settings)),
              WithCrc({1, 0x10, 0x01, 0x00, 0, 20}));
    EXPECT_TRUE(client.transact(Request(1, 0x03, 0x101, 1), 300).empty());
    EXPECT_EQ(client.transact(Request(33, 0x03, 0x101, 1)), WithCrc({33, 3, 2, 0, 33}));
    EXPECT_EQ(sim.stop(), 0);
}

TEST(MeterSimLine, BaudChangeIsHeardOnlyAtTheNewRate) {
    MeterSimProcess sim({"--baud", "9600"});
    ASSERT_TRUE(sim.started());
    LineClient client(sim.device(), 9600);
    auto settings = Registers(client.transact(Request(1, 0x03, 0x100, 20)));
    ASSERT_EQ(settings.size(), 20u);
    settings[2] = 19200;
    // Answered at the old rate, then silent there.
    EXPECT_EQ(client.transact(WriteRegisters(1, 0x100, settings)),
              WithCrc({1, 0x10, 0x01, 0x00, 0, 20}));
    EXPECT_TRUE(client.transact(Request(1, 0x03, 0x102, 1), 300).empty());
    client.setBaud(19200);
    EXPECT_EQ(client.transact(Request(1, 0x03, 0x102, 1)), WithCrc({1, 3, 2, 0x4B, 0x00}));
    client.setBaud(38400);
    EXPECT_TRUE(client.transact(Request(1, 0x03, 0x102, 1), 300).empty());
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_TRUE(sim.errors().contains(" wrong_baud=2 ")) << qPrintable(sim.errors());
}

// What the master sees must add up to what the simulator says it injected.
TEST(MeterSimLine, InjectedFaultsMatchTheCountsItPrints) {
    MeterSimProcess sim(
        {"--drop", "0.15", "--corrupt", "0.2", "--stray", "0.2", "--split", "--seed", "7"});
    ASSERT_TRUE(sim.started());
    LineClient client(sim.device(), 9600);
    const Bytes expected = WithCrc({1, 3, 2, 0, 1});
    int none = 0, damaged = 0, withJunk = 0, clean = 0;
    // A reply is whole when it ends in the expected frame; a damaged or missing one is
    // known only when the generous wait is over (a reply that came later would be counted
    // as missing).
    const auto whole = [&expected](const Bytes& r) {
        return r.size() >= expected.size() &&
               std::equal(expected.begin(), expected.end(), r.end() - expected.size());
    };
    for (int k = 0; k < 60; ++k) {
        const Bytes reply = client.transactUntil(Request(1, 0x03, 0x101, 1), 400, whole);
        if (reply.empty()) {
            ++none;
        } else if (reply.size() >= expected.size() &&
                   std::equal(expected.begin(), expected.end(), reply.end() - expected.size())) {
            (reply.size() > expected.size() ? withJunk : clean) += 1;
        } else {
            ++damaged;
        }
    }
    // SIGUSR1 reports without stopping.
    sim.signal(SIGUSR1);
    EXPECT_TRUE(sim.waitForError("meter-sim-stats frames=60 ")) << qPrintable(sim.errors());
    EXPECT_EQ(client.transact(Request(2, 0x03, 0x101, 1), 100), Bytes{});
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_TRUE(sim.errors().contains("meter-sim-stats frames=61 ")) << qPrintable(sim.errors());
    const QString stats = sim.errors().section("meter-sim-stats", -1); // the final report
    auto count = [&stats](const char* key) {
        const auto m = QRegularExpression(QStringLiteral(" %1=(\\d+)").arg(key)).match(stats);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    EXPECT_EQ(count("replies"), 60);
    EXPECT_EQ(count("dropped"), none);
    EXPECT_GT(none, 0);
    EXPECT_GT(damaged, 0);
    EXPECT_GT(withJunk, 0);
    EXPECT_GT(clean, 0);
    // Every corrupted reply fails the CRC, whether or not junk came first.
    EXPECT_EQ(count("corrupted"), damaged);
    EXPECT_GE(count("stray"), withJunk);
    EXPECT_EQ(count("split"), 60 - none);
}

TEST(MeterSimLine, GarbageAndFloodsDoNotStopTheMeter) {
    MeterSimProcess sim({});
    ASSERT_TRUE(sim.started());
    LineClient client(sim.device(), 9600);
    std::mt19937 rng(99);
    for (int round = 0; round < 5; ++round) {
        Bytes junk(2000);
        for (auto& b : junk)
            b = std::uint8_t(rng());
        client.send(junk);
        client.transact({}, 30); // let the line fall silent
        // Half a frame, then silence: dropped, and the next request still works.
        client.send({1, 3, 1});
        client.transact({}, 30);
        // On a loaded machine the half frame and the request can reach the meter in one
        // read, which it rightly takes for one damaged frame: the request is sent again, a
        // few times at most.
        Bytes reply;
        for (int attempt = 0; attempt < 3 && reply != WithCrc({1, 3, 2, 0, 1}); ++attempt)
            reply = client.transact(Request(1, 0x03, 0x101, 1));
        EXPECT_EQ(reply, WithCrc({1, 3, 2, 0, 1}));
    }
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_TRUE(sim.errors().contains(" overlong=5 ")) << qPrintable(sim.errors());
}

TEST(MeterSimLine, HelpListsEveryOptionAndBadOptionsAreRefused) {
    QProcess p;
    p.start(QStringLiteral(METER_SIM_PATH), {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
    for (const char* option :
         {"--link",       "--port",      "--device",       "--address",   "--baud",
          "--seed",       "--verbose",   "--pt-ratio",     "--ct1",       "--reference-current",
          "--drop",       "--corrupt",   "--split",        "--stray",     "--delay",
          "--wire-time",  "--reference", "--miscalibrate", "--drop-read", "--refuse-write",
          "--refuse-read"})
        EXPECT_TRUE(help.contains(option)) << option;

    p.start(QStringLiteral(METER_SIM_PATH), {"--version"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardOutput()),
              QStringLiteral("meter-sim %1 (Qt %2)\n").arg(kQetraVersion, qVersion()));

    for (const QStringList& bad :
         {QStringList{"--drop", "1.5"}, QStringList{"--address", "0"},
          QStringList{"--baud", "1000"}, QStringList{"--bogus"},
          QStringList{"--reference", "230V/100%"}, QStringList{"--reference", "380V/50%"},
          QStringList{"--drop-read", "0x510:0"}, QStringList{"--drop-read", "0x10000"},
          QStringList{"--refuse-write", "0x100:0"}, QStringList{"--refuse-read", "0x10000"},
          QStringList{"--refuse-write", "0x100:loud"}}) {
        p.start(QStringLiteral(METER_SIM_PATH), bad);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << qPrintable(bad.join(' '));
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty()) << "no device served";
    }
}

// A refused request is not carried out: answered with its exception, or not at all.
TEST(MeterSimLine, RefusedRequestsAreNotCarriedOut) {
    const struct {
        QStringList option;
        bool write;
        Bytes reply; // to the refused request
    } cases[] = {
        {{"--refuse-write", "0x100"}, true, WithCrc({1, 0x90, 4})},
        {{"--refuse-write", "0x100:silent"}, true, {}},
        {{"--refuse-read", "0x100:2"}, false, WithCrc({1, 0x83, 2})},
    };
    for (const auto& c : cases) {
        MeterSimProcess sim(c.option);
        ASSERT_TRUE(sim.started());
        LineClient client(sim.device(), 9600);
        // The settings as they are (read at 0x101, which no refusal names), CT1 changed.
        const auto held = Registers(client.transact(Request(1, 0x03, 0x101, 19)));
        ASSERT_EQ(held.size(), 19u) << qPrintable(c.option.join(' '));
        std::vector<std::uint16_t> settings = {0};
        settings.insert(settings.end(), held.begin(), held.end());
        settings[8] = 50;
        const Bytes refused =
            c.write ? WriteRegisters(1, 0x100, settings) : Request(1, 0x03, 0x100, 20);
        EXPECT_EQ(client.transact(refused, 300), c.reply) << qPrintable(c.option.join(' '));
        EXPECT_EQ(Registers(client.transact(Request(1, 0x03, 0x101, 19))), held);
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_TRUE(sim.errors().contains(" refused=1 ")) << qPrintable(sim.errors());
    }
}

TEST(MeterSimLine, WireTimeAndDelayPaceTheReplies) {
    // 8 request and 113 reply bytes of 10 bits take 126 ms on a real line at 9600 bit/s,
    // 10.5 ms at 115200 (beyond the meter's own rates; the line runs at it all the same).
    const struct {
        int baud;
        int atLeastMs;
    } rates[] = {{9600, 126}, {115200, 10}};
    QElapsedTimer timer;
    for (const auto& r : rates) {
        MeterSimProcess wire({"--wire-time", "--baud", QString::number(r.baud)});
        ASSERT_TRUE(wire.started()) << r.baud;
        LineClient client(wire.device(), r.baud);
        timer.start();
        EXPECT_EQ(client.transact(Request(1, 0x03, 0x130, 54), 2000, 5).size(), 113u) << r.baud;
        EXPECT_GE(timer.elapsed(), r.atLeastMs) << r.baud;
    }

    MeterSimProcess delayed({"--delay", "250"});
    ASSERT_TRUE(delayed.started());
    LineClient late(delayed.device(), 9600);
    timer.restart();
    EXPECT_EQ(late.transact(Request(1, 0x03, 0x101, 1), 2000, 5), WithCrc({1, 3, 2, 0, 1}));
    EXPECT_GE(timer.elapsed(), 250);
}

TEST(MeterSimLine, AReplyThatGoesOutAfterTheNextRequestCountsAsLate) {
    MeterSimProcess sim({"--delay", "200"});
    ASSERT_TRUE(sim.started());
    LineClient client(sim.device(), 9600);
    // The master gives up on the first request and sends the next one while the meter
    // still holds its first answer.
    EXPECT_TRUE(client.transact(Request(1, 0x03, 0x101, 1), 50, 5).empty());
    const Bytes answers = client.transact(Request(1, 0x03, 0x130, 1), 2000, 600);
    // The late answer lands in front of the next one.
    EXPECT_EQ(answers.size(), 7u + 7u);
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_TRUE(sim.errors().contains(" late=1")) << qPrintable(sim.errors());
}

TEST(MeterSimLine, ServesAnExistingDevice) {
    // A pseudo-terminal made here stands in for a serial adapter.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString device = QString::fromLocal8Bit(ptsname(master));
    LineClient adapter(master);
    MeterSimProcess sim({"--device", device, "--address", "5"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    EXPECT_EQ(sim.device(), device);
    EXPECT_EQ(adapter.transact(Request(5, 0x03, 0x101, 1)), WithCrc({5, 3, 2, 0, 5}));
    EXPECT_EQ(sim.stop(), 0);

    MeterSimProcess missing({"--device", "/nonexistent/ttyX"});
    EXPECT_FALSE(missing.started());
    EXPECT_EQ(missing.stop(), 1);
}
