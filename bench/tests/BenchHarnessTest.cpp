#include "EngineReads.h"
#include "EngineTestSupport.h"
#include "LibmodbusReads.h"
#include "MeterSimProcess.h"
#include "PtyResponder.h"
#include "TqvModbus.h"

#include <QElapsedTimer>
#include <QMutex>
#include <gtest/gtest.h>

namespace {

// The harness drives the real master and libmodbus over a pseudo-terminal whose far
// end is a scripted meter; what the harness counts must be what happened on the line.

class Harness : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        if (!TqvModbus::ResponseWatcherRunning())
            TqvModbus::StartResponseWatcher();
    }
    void TearDown() override { TqvModbus::StopResponseWatcher(); }

    static EngineReadOptions Options(const QString& device) {
        EngineReadOptions o;
        o.device = device;
        o.baud = 38400;
        o.queryIntervalMs = 0;
        o.queryTimeoutMs = 200;
        return o;
    }
};

TEST_F(Harness, EngineStopsAfterExactlyTheCountAndTimesEveryReply) {
    QMutex mutex;
    QList<QByteArray> requests;
    PtyResponder meter([&](const QByteArray& request, int) {
        QMutexLocker lock(&mutex);
        requests << request;
        return RegisterReadAnswer(request);
    });
    ASSERT_TRUE(meter.Valid());

    EngineReadOptions o = Options(meter.SlavePath());
    o.count = 6;
    const EngineReadResult r = RunEngineReads(o);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.reads, 6);
    EXPECT_EQ(r.ok, 6);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(r.latenciesMs.size(), 6u);
    EXPECT_EQ(r.replyWaitMs.size(), 6u);
    EXPECT_EQ(r.turnaroundMs.size(), 5u); // between transactions only
    EXPECT_GE(r.chunks, 6);
    EXPECT_GT(r.seconds, 0);
    for (double ms : r.replyWaitMs)
        EXPECT_GE(ms, 0);

    // No transaction after the last counted one, and each was the block read.
    QMutexLocker lock(&mutex);
    ASSERT_EQ(requests.size(), 6);
    for (const auto& request : requests)
        EXPECT_EQ(request.toHex(), QByteArray("010301300036c42f"));
}

TEST_F(Harness, EngineCountsUnansweredReadsAsErrors) {
    PtyResponder meter([](const QByteArray&, int) { return QByteArray(); });
    ASSERT_TRUE(meter.Valid());

    EngineReadOptions o = Options(meter.SlavePath());
    o.queryTimeoutMs = 20;
    o.count = 3;
    const EngineReadResult r = RunEngineReads(o);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.reads, 3);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.errors, 3);
    EXPECT_TRUE(r.latenciesMs.empty()); // nothing to evaluate, nothing timed
    EXPECT_EQ(meter.Requests(), 3);
}

TEST_F(Harness, EngineRunsForAGivenTimeWithinTheInterval) {
    PtyResponder meter([](const QByteArray& request, int) { return RegisterReadAnswer(request); });
    ASSERT_TRUE(meter.Valid());

    EngineReadOptions o = Options(meter.SlavePath());
    o.seconds = 0.2;
    o.queryIntervalMs = 20;
    const EngineReadResult r = RunEngineReads(o);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    // Stops at the first evaluation after 0.2 s; paced by the interval, so at most
    // one transaction per 20 ms.
    EXPECT_GE(r.seconds, 0.2);
    EXPECT_GE(r.reads, 3);
    EXPECT_LE(r.reads, static_cast<int>(r.seconds * 1000 / 20) + 1);
    EXPECT_EQ(r.ok, r.reads);
    EXPECT_EQ(r.latenciesMs.size(), static_cast<std::size_t>(r.ok));
    EXPECT_GE(r.cpuSeconds, 0);
    EXPECT_LT(r.cpuSeconds, r.seconds);
}

TEST_F(Harness, EngineReportsAPortThatCannotBeOpened) {
    EngineReadOptions o = Options(QStringLiteral("/nonexistent/ttyQETRA"));
    o.count = 1;
    const EngineReadResult r = RunEngineReads(o);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(r.reads, 0);
}

TEST_F(Harness, LibmodbusCountsGoodAndUnansweredReads) {
    PtyResponder meter([](const QByteArray& request, int index) {
        return index % 2 ? QByteArray() : RegisterReadAnswer(request);
    });
    ASSERT_TRUE(meter.Valid());
    const LibmodbusResult r = RunLibmodbusReads(meter.SlavePath(), 38400, 1, 0x130, 54, 4, 50);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.reads, 4);
    EXPECT_EQ(r.ok, 2);
    EXPECT_EQ(r.errors, 2);
    EXPECT_EQ(meter.Requests(), 4);

    const LibmodbusResult none =
        RunLibmodbusReads(QStringLiteral("/nonexistent/ttyQETRA"), 38400, 1, 0x130, 54, 1, 50);
    EXPECT_FALSE(none.error.isEmpty());
    EXPECT_EQ(none.reads, 0);
}

TEST(MeterSimProcessTest, TakesTheDeviceFromTheFirstLineAndFailsWithoutOne) {
    MeterSimProcess sim;
    QString error;
    ASSERT_TRUE(sim.Start(QStringLiteral("/bin/sh"),
                          {QStringLiteral("-c"), QStringLiteral("echo /dev/pts/77; exec sleep 30")},
                          5000, &error))
        << error.toStdString();
    EXPECT_EQ(sim.Device(), QStringLiteral("/dev/pts/77"));
    QElapsedTimer stopping;
    stopping.start();
    sim.Stop();
    EXPECT_LT(stopping.elapsed(), 4000); // ended by SIGTERM, not by waiting for it

    MeterSimProcess silent;
    EXPECT_FALSE(silent.Start(QStringLiteral("/bin/true"), {}, 5000, &error));
    EXPECT_FALSE(error.isEmpty());
    MeterSimProcess missing;
    EXPECT_FALSE(missing.Start(QStringLiteral("/nonexistent/meter-sim"), {}, 5000, &error));
}

} // namespace
