// qetra-poll's configuration commands against simulated meters on pseudo-terminals.

#include "MeterConfigFile.h"
#include "MeterConfigFixture.h"
#include "MeterSimProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

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
    // With `fileSizeKb`, the run may write files of at most that many kB (a full disk).
    PollRun Poll(const MeterSimProcess& meter, QStringList arguments, int fileSizeKb = 0) {
        arguments = QStringList{"--port", meter.device(), "--interval", "0", "--timeout", "2000"} +
                    arguments;
        QProcess p;
        p.setProcessEnvironment(Environment());
        if (fileSizeKb > 0)
            p.start("bash",
                    QStringList{
                        "-c",
                        QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$@\"").arg(fileSizeKb),
                        "bash", QStringLiteral(QETRA_POLL_PATH)} +
                        arguments);
        else
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
    EXPECT_EQ(r.out, "address 9: verified; the meter now answers at address 5, 19200 baud\n")
        << r.err.toStdString();
    EXPECT_EQ(
        Poll(*meter, {"--addr", "5", "--baud", "19200", "--include-comm", "--compare-config", file})
            .exitCode,
        0);
}

TEST_F(ConfigCommands, ARegisterTheMeterDoesNotTakeIsNamed) {
    const auto meter = StartMeter({"--address", "9", "--ignore-write", "0x108"});
    const PollRun r = Poll(*meter, {"--addr", "9", "--apply-config", Sample()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "address 9: differs: 0x0108 (CT1); rolled back: the meter holds what it "
                     "held before\n")
        << r.err.toStdString();
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

// A run that cannot end well ends with nothing lost: a meter that refuses or drops a write
// or ignores its new address gets back what it held before, a meter that refuses a read or
// does not answer is named as such, and a file that is not one (a device, a FIFO, a runaway
// size, a key given twice) or cannot be written (a FIFO, a full disk) is refused with the
// reason, the earlier file kept.
struct RefusalCase {
    const char* name;
    QStringList meter; // meter-sim at address 9, with these faults
    // qetra-poll's arguments; {sample} is the sample file, {dir} the test's folder, {fifo} a
    // FIFO in it, {old} a file already there, {huge} a 2 MiB file, {twice} the sample with a
    // key given twice
    QStringList poll;
    int exitCode;
    const char* out; // must match standard output, when given
    const char* err; // must match standard error, when given
    bool meterKeepsItsConfiguration = false;
    int fileSizeKb = 0; // a full disk: the run may write files of this size only
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigRefusals : public ConfigCommands, public ::testing::WithParamInterface<RefusalCase> {
protected:
    QString Prepared(const QString& argument) {
        QString a = argument;
        if (a.contains("{sample}"))
            a.replace("{sample}", Sample());
        if (a.contains("{fifo}")) {
            EXPECT_EQ(::mkfifo(QFile::encodeName(File("fifo")).constData(), 0600), 0);
            a.replace("{fifo}", File("fifo"));
        }
        if (a.contains("{old}")) {
            WriteFile(File("old.qmeter.json"), kOld);
            a.replace("{old}", File("old.qmeter.json"));
        }
        if (a.contains("{huge}")) {
            QFile huge(File("huge.qmeter.json"));
            EXPECT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(2 << 20));
            a.replace("{huge}", huge.fileName());
        }
        if (a.contains("{twice}")) {
            QByteArray json = MeterConfigJson(SampleConfiguration());
            json.replace(R"("raw": [200]})", R"("raw": [200], "raw": [300]})");
            WriteFile(File("twice.qmeter.json"), json);
            a.replace("{twice}", File("twice.qmeter.json"));
        }
        return a.replace("{dir}", dir_.path());
    }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    const QByteArray kOld = "the configuration saved last week\n";
};

TEST_P(ConfigRefusals, EndWithNothingLostAndTheReasonSaid) {
    const RefusalCase& c = GetParam();
    const auto meter = StartMeter(QStringList{"--address", "9"} + c.meter);
    const QString before = File("before.qmeter.json");
    if (c.meterKeepsItsConfiguration) {
        ASSERT_EQ(Poll(*meter, {"--addr", "9", "--save-config", before}).exitCode, 0);
    }
    QStringList arguments;
    for (const QString& a : c.poll)
        arguments << Prepared(a);

    const PollRun r = Poll(*meter, arguments, c.fileSizeKb);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.out.toStdString() << r.err.toStdString();
    if (c.out) {
        EXPECT_TRUE(r.out.contains(QRegularExpression(c.out))) << r.out.toStdString();
    }
    if (c.err) {
        EXPECT_TRUE(r.err.contains(QRegularExpression(c.err))) << r.err.toStdString();
    }
    if (c.meterKeepsItsConfiguration) {
        const PollRun now = Poll(*meter, {"--addr", "9", "--compare-config", before});
        EXPECT_EQ(now.exitCode, 0) << "the meter holds the file's:\n" << now.out.toStdString();
    }
    // What was there stays as it was; nothing else appears.
    if (QFile::exists(File("fifo"))) {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(File("fifo")).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
    }
    if (QFile::exists(File("old.qmeter.json"))) {
        EXPECT_EQ(Contents(File("old.qmeter.json")), kOld);
    }
    EXPECT_FALSE(QFile::exists(File("new.qmeter.json")));
    EXPECT_FALSE(QFile::exists(File("report.pdf")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfigRefusals,
    ::testing::Values(
        RefusalCase{
            "RefusedSettingsWriteIsRolledBack",
            {"--refuse-write", "0x100"},
            {"--addr", "9", "--apply-config", "{sample}"},
            1,
            R"(^address 9: refused: the meter refused the write of its settings \(0x0100\): )"
            R"(exception 4 \(Slave Device Failure\); rolled back: the meter holds what it )"
            R"(held before\n$)",
            nullptr,
            true},
        RefusalCase{
            "UnansweredAlarmWriteIsRolledBack",
            {"--refuse-write", "0x330:silent"},
            {"--addr", "9", "--apply-config", "{sample}"},
            1,
            R"(^address 9: no answer: the write of its alarm words and groups 1-4 )"
            R"(\(0x0330\) was not answered; rolled back: the meter holds what it held before)",
            nullptr,
            true},
        RefusalCase{"IgnoredAddressChangeIsFoundAndRolledBack",
                    {"--ignore-write", "0x101"},
                    {"--addr", "9", "--include-comm", "--apply-config", "{sample}"},
                    1,
                    R"(^address 9: differs: the meter did not take the new address and baud rate: )"
                    R"(it still answers at address 9, 9600 baud, not at address 5, 9600 baud; )"
                    R"(rolled back: the meter holds what it held before)",
                    nullptr,
                    true},
        RefusalCase{
            "FileOfAnotherModel",
            {},
            {"--addr", "9", "--model", "7100", "--apply-config", "{sample}"},
            1,
            R"(^address 9: other kind: the file is for a QETRA 7300, the program is set up )"
            R"(for a QETRA 7100\n$)",
            nullptr,
            true},
        RefusalCase{"ExceptionToTheVersionRead",
                    {"--refuse-read", "0x510:2"},
                    {"--addr", "9", "--save-config", "{dir}/new.qmeter.json"},
                    1,
                    nullptr,
                    R"(the meter at address 9 refused the read of its version \(0x0510\): )"
                    R"(exception 2 \(Illegal Data Address\))"},
        RefusalCase{"NobodyAtTheAddress",
                    {},
                    {"--addr", "8", "--save-config", "{dir}/new.qmeter.json"},
                    1,
                    nullptr,
                    R"(No answer from address 8 at 9600 baud on .*: check the address, baud rate)"},
        RefusalCase{"DevZero",
                    {},
                    {"--addr", "9", "--apply-config", "/dev/zero"},
                    2,
                    nullptr,
                    R"(/dev/zero is a character device, not a regular file.*\nNothing was written)",
                    true},
        RefusalCase{"Fifo",
                    {},
                    {"--addr", "9", "--apply-config", "{fifo}"},
                    2,
                    nullptr,
                    R"(fifo is a FIFO, not a regular file)"},
        RefusalCase{"HugeFile",
                    {},
                    {"--addr", "9", "--apply-config", "{huge}"},
                    2,
                    nullptr,
                    R"(has 2097152 bytes or more; a file of more than 1048576 bytes is not read)"},
        RefusalCase{"KeyGivenTwice",
                    {},
                    {"--addr", "9", "--apply-config", "{twice}"},
                    2,
                    nullptr,
                    R"(line 15: the key "raw" is given twice in one object)",
                    true},
        RefusalCase{"SaveOntoAFifo",
                    {},
                    {"--addr", "9", "--save-config", "{fifo}"},
                    1,
                    nullptr,
                    R"(fifo is a FIFO, not a regular file; a save would replace it)"},
        RefusalCase{"SaveOnAFullDisk",
                    {},
                    {"--addr", "9", "--save-config", "{old}"},
                    1,
                    nullptr,
                    R"(cannot write .*old.qmeter.json: File too large; the file that was there is )"
                    R"(kept as it was)",
                    false,
                    2},
        RefusalCase{"ReportAndApplyExcludeEachOther",
                    {},
                    {"--addr", "9", "--report", "{dir}/report.pdf", "--apply-config", "{sample}"},
                    2,
                    nullptr,
                    R"(--report and --apply-config exclude each other)",
                    true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigCommands, CloneOverALineReportsEachMeter) {
    const auto line = StartMeter({"--address", "11", "--also-address", "12"});
    const PollRun r = Poll(*line, {"--apply-config", Sample(), "--addresses", "11-13"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "address 11: verified\naddress 12: verified\naddress 13: no answer: the "
                     "meter at address 13 does not answer the read of its version (0x0510)\n")
        << r.err.toStdString();
    // Address and baud rate are never cloned.
    EXPECT_EQ(Poll(*line, {"--apply-config", Sample(), "--addresses", "11,12", "--include-comm"})
                  .exitCode,
              2);
}

} // namespace
