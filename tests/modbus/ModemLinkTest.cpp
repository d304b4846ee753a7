#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QByteArray kRequest = "01,03,01,30,00,02,00,00";
const QByteArray kInit = "at&f0e0q1&d0&k0s0=0&w0\r";
const QByteArray kDial = "atdt0\r";

// A modem line on a fake port: the test sets the ring and carrier bits and drives the
// one-second connect ticks by hand; blocking delays are recorded, not waited.
class ModemLinkTest : public FakeLineEngineTest {
protected:
    void SetUp() override {
        MakeEngine(false);
        message = kRequest;
        qv->SetTraceModemStatus(false);
        qv->SetConnectWithModem(true);
        qv->Open("COM2", 9600);
    }
    int Dials() const { return int(port->sent.count(kDial)); }
    int Requests() const { return int(port->sent.size() - port->sent.count(kInit) - Dials()); }
    void EndWait() {
        clock.Advance(10s);
        TqvModbus::CheckRepliesNow();
    }
};

TEST_F(ModemLinkTest, DirectLineNeverDials) {
    qv->SetConnectWithModem(false);
    ASSERT_TRUE(qv->StartQuery());
    EXPECT_TRUE(qv->LinkUp());
    EXPECT_EQ(port->sent.size(), 1);
    EXPECT_EQ(Requests(), 1);
    EXPECT_TRUE(delays.isEmpty());
}

TEST_F(ModemLinkTest, WithoutAutoConnectAndCarrierTheCycleEndsAtOnce) {
    qv->SetAutoConnect(false);
    ASSERT_TRUE(qv->StartQuery());
    EXPECT_TRUE(port->sent.isEmpty());
    EXPECT_EQ(log.items, QStringList({"QueryFinish"}));
    EXPECT_FALSE(qv->CycleBusy());
    EXPECT_FALSE(qv->ConnectTimerActive());
}

TEST_F(ModemLinkTest, CarrierThatNeverComesGivesThreeDialsThenTheEnd) {
    ASSERT_TRUE(qv->StartQuery());
    EXPECT_EQ(port->sent, QList<QByteArray>({kInit, kDial}));
    EXPECT_EQ(delays, QList<int>({1000})); // between the two modem commands
    EXPECT_TRUE(qv->ConnectTimerActive());
    int ticks = 0;
    while (qv->CycleBusy() && ticks < 1000) {
        qv->ConnectTick();
        ++ticks;
        if (ticks == 60) {
            EXPECT_EQ(Dials(), 1); // a whole ConnectTimeout of waiting before a redial
        }
        if (ticks == 61) {
            EXPECT_EQ(Dials(), 2);
        }
    }
    EXPECT_EQ(ticks, 3 * 61);
    EXPECT_EQ(Dials(), 3);
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(log.items, QStringList({"QueryFinish"}));
    EXPECT_FALSE(qv->ConnectTimerActive());
}

TEST_F(ModemLinkTest, RefusedDialCommandEndsTheCycle) {
    port->refuseSend = true;
    ASSERT_TRUE(qv->StartQuery());
    EXPECT_EQ(log.items, QStringList({"QueryFinish"}));
    EXPECT_FALSE(qv->ConnectTimerActive());
}

TEST_F(ModemLinkTest, CarrierAlreadyOnSkipsDiallingAndSettlesFirst) {
    port->status = 0x80;
    ASSERT_TRUE(qv->StartQuery());
    EXPECT_EQ(Dials(), 0);
    EXPECT_EQ(Requests(), 1);
    EXPECT_EQ(delays, QList<int>({1000}));
    EXPECT_TRUE(qv->LinkUp());
}

TEST_F(ModemLinkTest, CarrierDropTakesTheLinkDownAndTheNextTransactionRedials) {
    port->status = 0x80;
    ASSERT_TRUE(qv->StartQuery());
    port->status = 0;
    port->ModemStateChange(0x08);
    EXPECT_EQ(log.Count("RLSD"), 1);
    EXPECT_FALSE(qv->LinkUp());
    EndWait();
    EXPECT_EQ(Dials(), 1);
    EXPECT_EQ(Requests(), 1);
    // Port reports of ring and carrier together: ring first.
    log.Clear();
    port->ModemStateChange(0x0C);
    EXPECT_EQ(log.items, QStringList({"RING", "RLSD"}));
}

TEST_F(ModemLinkTest, WatcherReportsASteadyRingOnceAndACarrierBothWays) {
    qv->Close();
    qv->SetModemPollMs(2);
    qv->SetTraceModemStatus(true);
    qv->Open("COM2", 9600);
    ASSERT_TRUE(qv->ModemWatcherRunning());
    // Reports of the port itself are left to the watcher now.
    port->ModemStateChange(0x0C);
    EXPECT_TRUE(log.items.isEmpty());

    port->status = 0x40;
    ASSERT_TRUE(WaitFor([&] { return log.Count("RING") == 1; }));
    const quint64 polls = qv->ModemWatcherPolls();
    ASSERT_TRUE(WaitFor([&] { return qv->ModemWatcherPolls() > polls + 5; }));
    EXPECT_EQ(log.Count("RING"), 1);

    port->status = 0x80;
    ASSERT_TRUE(WaitFor([&] { return log.Count("RLSD") == 1; }));
    port->status = 0;
    ASSERT_TRUE(WaitFor([&] { return log.Count("RLSD") == 2; }));
    EXPECT_FALSE(qv->LinkUp());
    EXPECT_EQ(log.Count("RING"), 1);

    // Off a modem line the watcher sleeps, and looks again without stale news.
    qv->SetConnectWithModem(false);
    EXPECT_FALSE(qv->ModemWatcherRunning());
    port->status = 0x80;
    qv->SetConnectWithModem(true);
    const quint64 resumed = qv->ModemWatcherPolls();
    ASSERT_TRUE(WaitFor([&] { return qv->ModemWatcherPolls() > resumed + 3; }));
    EXPECT_EQ(log.Count("RLSD"), 2);
    qv->Close();
    EXPECT_FALSE(qv->ModemWatcherExists());
}

TEST_F(ModemLinkTest, HangupAlternatesCommandsWhileTheCarrierStaysThenGivesUp) {
    port->status = 0x80;
    qv->StartHangup();
    EXPECT_TRUE(qv->HangupTimerActive());
    qv->HangupTick();
    qv->HangupTick();
    EXPECT_EQ(port->sent, QList<QByteArray>({"ath0\r", "+++"}));
    int ticks = 2;
    while (qv->HangupTimerActive() && ticks < 100) {
        qv->HangupTick();
        ++ticks;
    }
    // DisconnectTimeout 30: fifteen commands, about 30 s, then the sequence ends.
    EXPECT_EQ(port->sent.size(), 15);
    EXPECT_EQ(log.items, QStringList({"AfterHangup"}));
    EXPECT_FALSE(qv->LinkUp());

    // A later hang-up gets its full allowance again and ends when the carrier goes.
    port->sent.clear();
    qv->StartHangup();
    qv->HangupTick();
    port->status = 0;
    qv->HangupTick();
    EXPECT_EQ(port->sent, QList<QByteArray>({"ath0\r"}));
    EXPECT_EQ(log.Count("AfterHangup"), 2);
}

} // namespace
