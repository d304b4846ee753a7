// The report's snapshot through the request service of a master that is already polling:
// the program's poll pauses for one pass of the report's reads and goes on afterwards, and
// neither sees the other's replies.

#include "ReportSnapshotTaker.h"
#include "FakePorts.h"
#include "QtTestSupport.h"
#include "TqvModbus.h"

#include <QCoreApplication>

namespace {

const auto* const app = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QCoreApplication>);

// The program's own poll: four registers of the metering block, a read the report never
// sends, so its requests can be told from the snapshot's on the line.
constexpr quint16 kProgramRead = 0x130;
constexpr auto kProgramMessage = "01,03,01,30,00,04,00,00";

// A meter answering every read with register value 0x1000 + address (bits alternate),
// except the phase angle block, which it keeps to itself.
QByteArray Answer(const QByteArray& request) {
    const quint8 function = quint8(request[1]);
    const int start = (quint8(request[2]) << 8) | quint8(request[3]);
    const int count = (quint8(request[4]) << 8) | quint8(request[5]);
    if (start == 0x39D)
        return {};
    QByteArray reply = request.left(2);
    if (function == 3) {
        reply.append(char(2 * count));
        for (int i = 0; i < count; ++i)
            reply.append(char((0x1000 + start + i) >> 8)).append(char((start + i) & 0xFF));
    } else {
        reply.append(char((count + 7) / 8));
        for (int i = 0; i < (count + 7) / 8; ++i)
            reply.append(char(0x55));
    }
    return reply + ModbusCrcBytes(reply, reply.size());
}

class SnapshotOfAPollingMaster : public testing::Test {
protected:
    void SetUp() override {
        log.Reply = Answer;
        master.SetQueryInterval(1);
        master.SetQueryTimeout(100);
        TqvModbusEvents program;
        program.OnQueryData = [](TqvModbus* m) { m->SetQueryMessage(kProgramMessage); };
        program.OnF03Response = [this](TqvModbus*, quint8, quint16 start, QList<quint16>) {
            programStarts << start;
        };
        program.OnAfterResponse = [this](TqvModbus*) { ++programReplies; };
        requests.SetOwnerEvents(program);
        TqvModbus::StartResponseWatcher();
        master.Open(QStringLiteral("COM9"), 9600);
        master.StartQuery();
        ASSERT_TRUE(WaitUntil([this] { return programReplies >= 2; }));
    }
    void TearDown() override {
        master.StopQuery();
        WaitUntil([this] { return !master.CycleBusy(); });
        master.Close();
        TqvModbus::StopResponseWatcher();
    }
    // The program's poll goes on after the snapshot, seeing only its own replies.
    void ExpectProgramPollResumed() {
        const int before = programReplies;
        EXPECT_TRUE(WaitUntil([&] { return programReplies >= before + 2; }));
        for (const quint16 start : programStarts)
            ASSERT_EQ(start, kProgramRead);
    }

    ScriptedPort::Log log;
    TqvModbus master{std::make_unique<ScriptedPort>(log)};
    RequestService requests{master};
    QList<quint16> programStarts;
    int programReplies = 0;
    ReportSnapshot snapshot;
};

// A block that goes unanswered is asked again once, straight away, before the report
// gives up on it; every other block is asked once.
TEST_F(SnapshotOfAPollingMaster, ReadsEveryBlockAndAsksASilentOneOnceMore) {
    ReportSnapshotTaker taker(requests, 1, snapshot);
    QList<int> progress;
    taker.OnProgress = [&](int done, int) { progress << done; };
    const qsizetype sentBefore = log.sent.size();
    taker.Start();
    ASSERT_TRUE(WaitUntil([&] { return taker.Finished(); }));

    const int reads = int(ReportReads().size());
    EXPECT_FALSE(taker.Cancelled());
    EXPECT_FALSE(taker.NobodyAnswered());
    EXPECT_EQ(progress.size(), reads + 1);
    EXPECT_EQ(progress.last(), reads);
    const LineTally& line = taker.Line();
    EXPECT_EQ(line.sent, reads + 1);
    EXPECT_EQ(line.good, reads - 1);
    EXPECT_EQ(line.noResponse, 2);
    for (const ReportRead& read : ReportReads()) {
        const auto& block = snapshot.Block(read.block);
        if (read.block == ReportBlock::Angles) {
            EXPECT_FALSE(block.has_value());
            continue;
        }
        ASSERT_TRUE(block.has_value()) << read.start;
        ASSERT_EQ(block->size(), read.count) << read.start;
        if (read.function == 3)
            EXPECT_EQ(block->front(), 0x1000 + read.start);
        else
            EXPECT_EQ(*block, QList<quint16>({1, 0, 1, 0}).mid(0, read.count));
    }
    // The requests in order with the meter's address, the silent block's twice.
    QList<quint16> starts;
    for (qsizetype i = sentBefore; i < log.sent.size(); ++i) {
        if (log.sent[i].left(6) == QByteArray::fromHex("010301300004"))
            continue;
        EXPECT_EQ(quint8(log.sent[i][0]), 1);
        starts << quint16(quint8(log.sent[i][2]) << 8 | quint8(log.sent[i][3]));
    }
    QList<quint16> expected;
    for (const ReportRead& read : ReportReads())
        for (int k = 0; k < (read.block == ReportBlock::Angles ? 2 : 1); ++k)
            expected << read.start;
    EXPECT_EQ(starts, expected);
    ExpectProgramPollResumed();
}

// Nothing at all to the first requests: nobody is at this address and baud rate, and the
// pass ends there instead of waiting out every block twice.
TEST_F(SnapshotOfAPollingMaster, AMeterThatNeverAnswersEndsThePassEarly) {
    log.Reply = [](const QByteArray& request) {
        return request.left(6) == QByteArray::fromHex("010301300004") ? Answer(request)
                                                                      : QByteArray();
    };
    ReportSnapshotTaker taker(requests, 1, snapshot);
    taker.Start();
    ASSERT_TRUE(WaitUntil([&] { return taker.Finished(); }));
    EXPECT_TRUE(taker.NobodyAnswered());
    EXPECT_EQ(taker.Line().sent, ReportSilentRequests);
    EXPECT_EQ(taker.Line().noResponse, ReportSilentRequests);
    for (const ReportRead& read : ReportReads())
        EXPECT_FALSE(snapshot.Block(read.block).has_value()) << read.start;
    ExpectProgramPollResumed();
}

TEST_F(SnapshotOfAPollingMaster, CancelStopsTheReadsAndGivesTheMasterBack) {
    ReportSnapshotTaker taker(requests, 1, snapshot);
    taker.OnProgress = [&](int done, int) {
        if (done == 2)
            taker.Cancel();
    };
    bool finished = false;
    taker.OnFinished = [&] { finished = true; };
    taker.Start();
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_TRUE(taker.Cancelled());
    EXPECT_EQ(taker.Line().sent, 2);
    EXPECT_TRUE(snapshot.Block(ReportReads()[1].block).has_value());
    EXPECT_FALSE(snapshot.Block(ReportReads()[2].block).has_value());
    ExpectProgramPollResumed();
}

} // namespace
