#include "MeterParamDecode.h"
#include "MeteringCsv.h"
#include "PollOptions.h"
#include "PtyResponder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct PollRun {
    int exitCode = -1;
    QByteArray out, err;
};

PollRun RunPoll(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(QETRA_POLL_PATH), arguments);
    PollRun r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
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
    };
    for (const QStringList& args : bad) {
        const PollRun r = RunPoll(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Usage: qetra-poll")) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const PollRun help = RunPoll({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Exit status"));
}

TEST(QetraPollTest, PortThatCannotOpenIsAFailureNotAUsageError) {
    const PollRun r = RunPoll({"--port", "/nonexistent/tty", "00,03,00,00,00,01,00,00"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Error opening serial port")) << r.err.constData();
}

TEST(PollOptionsTest, AddressReplacesTheFirstByteOfEveryMessage) {
    EXPECT_EQ(WithSlaveAddress("00,03,01,30,00,36,00,00", 1), "01,03,01,30,00,36,00,00");
    EXPECT_EQ(WithSlaveAddress("FF,05,00,00,FF,00,00,00", 0xF7), "F7,05,00,00,FF,00,00,00");
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

} // namespace
