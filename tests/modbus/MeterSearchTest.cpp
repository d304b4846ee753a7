#include "MeterSearch.h"
#include "MeterSimProcess.h"
#include "PtyResponder.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "search-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

struct SearchTest : ::testing::Test {
    void SetUp() override {
        App();
        TqvModbus::StartResponseWatcher();
    }
    void TearDown() override { TqvModbus::StopResponseWatcher(); }
};

} // namespace

TEST(SearchPlanTest, WaitsFitTheRateAndMessagesTheAddress) {
    struct Case {
        quint32 baud;
        int waitMs; // 21 characters on the wire, the frame-end silence, 5 ms reader, 50 ms
    };
    const Case cases[] = {{600, 464}, {2400, 158}, {9600, 81}, {19200, 68}, {38400, 63}};
    for (const Case& c : cases)
        EXPECT_EQ(SearchReplyWaitMs(c.baud, 50), c.waitMs) << c.baud;
    EXPECT_EQ(SearchMessage(1), "01,03,05,10,00,04,00,00");
    EXPECT_EQ(SearchMessage(200), "C8,03,05,10,00,04,00,00");
    EXPECT_EQ(VersionText({'1', '.', '2', '0'}), "1.20");
    EXPECT_EQ(VersionText({0x3156, 0x0000, ' ', 'x'}), "V x");

    const SearchPlan full;
    EXPECT_EQ(full.rates, QList<quint32>({9600, 38400, 19200, 4800, 2400, 1200, 600}));
    EXPECT_EQ(full.Tries(), 7 * 247);
    EXPECT_EQ(full.LongestMs(), 247LL * (81 + 63 + 68 + 107 + 158 + 260 + 464));
    EXPECT_TRUE(full.Problem().isEmpty());
    SearchPlan bad;
    bad.lastAddress = 248;
    EXPECT_FALSE(bad.Problem().isEmpty());
    bad = {};
    bad.rates = {9600, 115200};
    EXPECT_EQ(bad.Problem(), "115200 is not a baud rate of the meter (600, 1200, 2400, 4800, "
                             "9600, 19200, 38400)");
}

TEST_F(SearchTest, FindsExactlyTheSimulatedMeterAtItsUnusualAddressAndRate) {
    MeterSimProcess sim({"--address", "200", "--baud", "2400"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    MeterSearch search;
    QList<int> progress;
    search.OnProgress = [&](int done, int, quint32, int) { progress << done; };
    bool finished = false;
    search.OnFinished = [&] { finished = true; };
    SearchPlan plan;
    plan.rates = {9600, 2400};
    plan.firstAddress = 198;
    plan.lastAddress = 202;
    // A loaded test machine may be slow to schedule the simulated meter.
    plan.turnaroundMs = 400;
    QString why;
    ASSERT_TRUE(search.Start(sim.device(), plan, &why)) << why.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return finished; }, int(plan.LongestMs()) + 10000));
    ASSERT_EQ(search.Found().size(), 1) << qPrintable(sim.errors());
    const FoundMeter& m = search.Found()[0];
    EXPECT_EQ(m.address, 200);
    EXPECT_EQ(m.baud, 2400u);
    EXPECT_EQ(m.version, "1.20");
    EXPECT_EQ(FoundMeterText(m), "address 200 at 2400 baud, version 1.20");
    EXPECT_EQ(search.Done(), 10);
    EXPECT_EQ(progress, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(search.Engine().PortOpen());
}

// A meter whose replies come in pieces behind a stray byte is found on every try: the
// try is judged on everything that arrived, not on the junk and the first pieces.
TEST_F(SearchTest, AMeterBehindJunkBytesIsFoundEveryTime) {
    MeterSimProcess sim({"--address", "200", "--baud", "2400", "--stray", "1", "--split"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    SearchPlan plan;
    plan.rates = {2400};
    plan.firstAddress = 200;
    plan.lastAddress = 200;
    plan.turnaroundMs = 400; // a loaded test machine may be slow to schedule the meter
    int found = 0;
    for (int run = 0; run < 20; ++run) {
        MeterSearch search;
        bool finished = false;
        search.OnFinished = [&] { finished = true; };
        QString why;
        ASSERT_TRUE(search.Start(sim.device(), plan, &why)) << why.toStdString();
        ASSERT_TRUE(WaitUntil([&] { return finished; }, int(plan.LongestMs()) + 10000));
        if (search.Found().size() == 1 && search.Found()[0].version == "1.20")
            ++found;
    }
    EXPECT_EQ(found, 20) << qPrintable(sim.errors());
}

TEST_F(SearchTest, SearchOfASilentLineEndsWithinItsWaitsAndCancelEndsAFullOne) {
    PtyResponder nobody([](const QByteArray&, int) { return QByteArray(); });
    ASSERT_TRUE(nobody.Valid());
    MeterSearch search;
    bool finished = false;
    search.OnFinished = [&] { finished = true; };
    SearchPlan plan;
    plan.rates = {38400, 9600, 600};
    plan.firstAddress = 1;
    plan.lastAddress = 3;
    ASSERT_EQ(plan.LongestMs(), 3 * (63 + 81 + 464));
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(search.Start(nobody.SlavePath(), plan));
    // Every try waits out its time-out; the bound allows a second of scheduling on top.
    ASSERT_TRUE(WaitUntil([&] { return finished; }, int(plan.LongestMs()) + 1000));
    EXPECT_GE(took.elapsed(), plan.LongestMs());
    EXPECT_TRUE(search.Found().isEmpty());
    EXPECT_EQ(search.Done(), 9);
    EXPECT_EQ(nobody.Requests(), 9);

    // The full sweep, cancelled during its second try at 600 baud: it ends within that
    // try's wait, well before its 7 * 247 tries.
    finished = false;
    plan = {};
    plan.rates = {600};
    search.OnProgress = [&](int done, int, quint32, int) {
        if (done == 1)
            QTimer::singleShot(100, [&] { search.Cancel(); });
    };
    ASSERT_TRUE(search.Start(nobody.SlavePath(), plan));
    took.restart();
    ASSERT_TRUE(WaitUntil([&] { return finished; }, 5000));
    EXPECT_LT(took.elapsed(), 2 * SearchReplyWaitMs(600, plan.turnaroundMs) + 1000);
    EXPECT_TRUE(search.Cancelled());
    EXPECT_EQ(search.Done(), 2);
    EXPECT_FALSE(search.Engine().PortOpen());
}
