// qetra-poll's configuration commands against simulated meters on pseudo-terminals.

#include "MeterConfigFile.h"
#include "MeterConfigFixture.h"
#include "MeterSimProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct PollRun {
    int exitCode = -1;
    QString out, err;
};

// Every test has its own folder for files and COM names, handed to each process it starts.
class ConfigCommands : public ::testing::Test {
protected:
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QETRA_PORTS_DIR", dir_.filePath("ports"));
        return env;
    }
    std::unique_ptr<MeterSimProcess> StartMeter(const QStringList& arguments) {
        auto meter = std::make_unique<MeterSimProcess>(arguments, Environment());
        EXPECT_TRUE(meter->started());
        return meter;
    }
    // Replies of a meter present arrive in milliseconds; the time-out is spent only on
    // an address where nobody answers, and leaves room for a loaded machine.
    PollRun Poll(const MeterSimProcess& meter, QStringList arguments) {
        arguments = QStringList{"--port", meter.device(), "--interval", "0", "--timeout", "2000"} +
                    arguments;
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(QStringLiteral(QETRA_POLL_PATH), arguments);
        PollRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    QString File(const QString& name) const { return dir_.filePath(name); }
    QString Sample() const {
        const QString path = File("sample.qmeter.json");
        EXPECT_TRUE(SaveMeterConfig(path, SampleConfiguration(), nullptr));
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(ConfigCommands, SavedFromOneMeterAppliesToAnotherThatKeepsItsAddress) {
    const auto a = StartMeter({"--address", "5", "--pt-ratio", "100", "--ct1", "200"});
    const auto b = StartMeter({"--address", "9"});
    const QString fileA = File("a.qmeter.json");
    const PollRun saved = Poll(*a, {"--addr", "5", "--save-config", fileA});
    ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    const MeterConfigRead readA = LoadMeterConfig(fileA);
    ASSERT_TRUE(readA.config) << readA.problem.toStdString();
    EXPECT_EQ(readA.config->address, 5);
    EXPECT_EQ(readA.config->settings[0x08], 200);

    // A file with PT2 = 0 is refused whole: the meter keeps its own CT1.
    QFile file(fileA);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bad = file.readAll();
    bad.replace(R"("name": "PT2", "value": "100", "raw": [100])",
                R"("name": "PT2", "value": "0", "raw": [0])");
    QFile badFile(File("bad.qmeter.json"));
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write(bad);
    badFile.close();
    const PollRun refused = Poll(*b, {"--addr", "9", "--apply-config", badFile.fileName()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("settings \"PT2\": 0 is outside 1..65535"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Nothing was written to the meter."));
    const PollRun before = Poll(*b, {"--addr", "9", "--compare-config", fileA});
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_TRUE(before.out.contains("CT1: file \"200\", meter \"5\"\n"))
        << before.out.toStdString();

    const PollRun applied = Poll(*b, {"--addr", "9", "--apply-config", fileA});
    EXPECT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    EXPECT_EQ(applied.out, "address 9: verified\n");
    const PollRun after = Poll(*b, {"--addr", "9", "--compare-config", fileA});
    EXPECT_EQ(after.exitCode, 0) << after.out.toStdString();
    EXPECT_TRUE(after.out.isEmpty());

    // B still answers at its own address, which is what its settings say.
    const QString fileB = File("b.qmeter.json");
    ASSERT_EQ(Poll(*b, {"--addr", "9", "--save-config", fileB}).exitCode, 0);
    const MeterConfigRead readB = LoadMeterConfig(fileB);
    ASSERT_TRUE(readB.config);
    EXPECT_EQ(readB.config->settings[0x01], 9);
    EXPECT_EQ(readB.config->settings[0x08], 200);
}

// Asked to, the meter takes the file's address and baud rate, and the read-back follows
// it there.
TEST_F(ConfigCommands, AddressAndBaudRateGoOnlyWhenAskedAndTheLineFollows) {
    const auto meter = StartMeter({"--address", "9"});
    MeterConfiguration fast = SampleConfiguration();
    fast.settings[0x02] = 19200;
    const QString file = File("fast.qmeter.json");
    ASSERT_TRUE(SaveMeterConfig(file, fast, nullptr));
    const PollRun r = Poll(*meter, {"--addr", "9", "--apply-config", file, "--include-comm"});
    EXPECT_EQ(r.out, "address 9: verified\n") << r.err.toStdString();
    EXPECT_EQ(
        Poll(*meter, {"--addr", "5", "--baud", "19200", "--include-comm", "--compare-config", file})
            .exitCode,
        0);
}

TEST_F(ConfigCommands, ARegisterTheMeterDoesNotTakeIsNamed) {
    const auto meter = StartMeter({"--address", "9", "--ignore-write", "0x108"});
    const PollRun r = Poll(*meter, {"--addr", "9", "--apply-config", Sample()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "address 9: differs: 0x108 (CT1)\n") << r.err.toStdString();
}

// The factory calibration travels in the file only from a factory save, and reaches a
// meter only when the factory run asks for it.
TEST_F(ConfigCommands, CoefficientsAreWrittenOnlyWhenTheFactoryAsks) {
    const auto a = StartMeter({"--address", "5", "--seed", "7", "--miscalibrate"});
    const auto b = StartMeter({"--address", "9", "--seed", "3"});
    const QString fileA = File("factory.qmeter.json");
    ASSERT_EQ(Poll(*a, {"--addr", "5", "--factory", "--save-config", fileA}).exitCode, 0);
    const MeterConfigRead read = LoadMeterConfig(fileA);
    ASSERT_TRUE(read.config && read.config->coefficients) << read.problem.toStdString();

    EXPECT_EQ(Poll(*b, {"--addr", "9", "--apply-config", fileA}).exitCode, 0);
    const PollRun kept = Poll(*b, {"--addr", "9", "--factory", "--compare-config", fileA});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.out.startsWith("VAA--ADJ: file ")) << kept.out.toStdString();

    const PollRun written =
        Poll(*b, {"--addr", "9", "--factory", "--coefficients", "--apply-config", fileA});
    EXPECT_EQ(written.out, "address 9: verified\n") << written.err.toStdString();
    EXPECT_EQ(Poll(*b, {"--addr", "9", "--factory", "--compare-config", fileA}).exitCode, 0);
}

TEST_F(ConfigCommands, CloneOverALineReportsEachMeter) {
    const auto line = StartMeter({"--address", "11", "--also-address", "12"});
    const PollRun r = Poll(*line, {"--apply-config", Sample(), "--addresses", "11-13"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "address 11: verified\naddress 12: verified\naddress 13: no answer\n")
        << r.err.toStdString();
    // Address and baud rate are never cloned.
    EXPECT_EQ(Poll(*line, {"--apply-config", Sample(), "--addresses", "11,12", "--include-comm"})
                  .exitCode,
              2);
}

} // namespace
