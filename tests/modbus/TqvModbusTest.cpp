#include "EngineTestSupport.h"

#include "ResponseWatcher.h"
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <optional>
#include <thread>

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

const QByteArray kReadTwo = "01,03,01,30,00,02,00,00"; // 2 registers: 9 reply bytes
const QByteArray kReplyTwo = WithCrc(QByteArray::fromHex("010304000a000b"));

class EngineTest : public FakeLineEngineTest {
protected:
    void SetUp() override {
        // Waits here end only when the test says so.
        MakeEngine(true);
        message = kReadTwo;
        qv->SetQueryInterval(200);
        qv->Open("COM2", 9600);
    }
    // Moves the clock to `t` after the last write and lets the watcher look.
    void CheckAt(nanoseconds t) {
        clock.ns = duration_cast<nanoseconds>(lastSend.time_since_epoch() + t).count();
        TqvModbus::CheckRepliesNow();
    }
    void Start() {
        ASSERT_TRUE(qv->StartQuery());
        lastSend = clock.Now();
    }
    // Polling stops once the transaction under way has been evaluated.
    void StopAfterThisOne() {
        qv->OnAfterResponse = [this](TqvModbus* s) {
            log.items << "AfterResponse";
            s->StopQuery();
        };
    }
    void StartOne() {
        StopAfterThisOne();
        Start();
    }

    TqvModbus::TimePoint lastSend;
};

TEST(JudgeWaitTest, OverJustPastEachBoundAndNextCheckIsTheNearestOne) {
    const WaitRules rules{200, 3000, 500, 10ms};
    const std::optional<nanoseconds> valid; // bytes with a valid reply where it starts
    struct Case {
        const char* what;
        WaitRules rules;
        nanoseconds elapsed;
        qsizetype received;
        int expected;
        std::optional<nanoseconds> unsettledAt;
        bool over;
        nanoseconds nextCheck; // when not over
    };
    const Case cases[] = {
        {"nothing yet: the preview bound comes first", rules, 0ns, 0, 9, valid, false, 500ms + 1ns},
        {"complete: the interval bound", rules, 0ns, 9, 9, valid, false, 200ms + 1ns},
        {"complete and valid, just past the interval", rules, 200ms + 1ns, 9, 9, valid, true, 0ns},
        {"partly there: only the limit", rules, 600ms, 3, 9, valid, false, 3000ms + 1ns},
        {"partly there at the limit", rules, 3000ms, 3, 9, valid, false, 3000ms + 1ns},
        {"partly there past the limit", rules, 3000ms + 1ns, 3, 9, valid, true, 0ns},
        {"interval above timeout is the limit",
         {5000, 3000, 0},
         4000ms,
         0,
         9,
         valid,
         false,
         5000ms + 1ns},
        {"past that limit", {5000, 3000, 0}, 5000ms + 1ns, 0, 9, valid, true, 0ns},
        {"no reply expected: at the interval",
         {200, 3000, 0},
         200ms,
         0,
         0,
         valid,
         false,
         200ms + 1ns},
        {"no reply expected: past it", {200, 3000, 0}, 200ms + 1ns, 0, 0, valid, true, 0ns},
        // Long enough but no valid reply where it starts: the line must be quiet first.
        {"unsettled, still arriving after the interval", rules, 250ms, 9, 9, 245ms, false,
         255ms + 1ns},
        {"unsettled, quiet just long enough", rules, 255ms, 9, 9, 245ms, false, 255ms + 1ns},
        {"unsettled, quiet past it", rules, 255ms + 1ns, 9, 9, 245ms, true, 0ns},
        {"unsettled long before the interval: the interval", rules, 100ms, 9, 9, 20ms, false,
         200ms + 1ns},
        {"unsettled long before, past the interval", rules, 200ms + 1ns, 9, 9, 20ms, true, 0ns},
        {"unsettled at the limit: the limit still ends it", rules, 3000ms + 1ns, 9, 9, 2995ms, true,
         0ns},
        {"unsettled near the limit: the limit comes first", rules, 2995ms, 9, 9, 2994ms, false,
         3000ms + 1ns},
        {"no quiet time: judged at once", {0, 3000, 0}, 1ns, 9, 9, 0ns, true, 0ns},
    };
    for (const Case& c : cases) {
        const WaitJudgement j =
            JudgeWait(c.elapsed, c.received, c.expected, c.rules, c.unsettledAt);
        EXPECT_EQ(j.over, c.over) << c.what;
        if (!c.over) {
            EXPECT_EQ(j.nextCheck, c.nextCheck) << c.what;
        }
    }
    // The quiet time: a frame gap of 3.5 characters (1.75 ms above 19200 baud), an
    // adapter's 16 ms and two read intervals.
    EXPECT_EQ(LineQuietTime(9600, 5), 26ms + 3645833ns);
    EXPECT_EQ(LineQuietTime(2400, 5), 26ms + 14583333ns);
    EXPECT_EQ(LineQuietTime(38400, 5), 27750us);
    EXPECT_EQ(LineQuietTime(0, 0), 35s + 16ms);
}

TEST_F(EngineTest, CompleteReplyIsEvaluatedJustAfterTheIntervalAndNotBefore) {
    qv->SetQueryTimeout(3000);
    StartOne();
    clock.Advance(40ms);
    port->Receive(kReplyTwo);
    CheckAt(199ms);
    CheckAt(200ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(200ms + 1ns);
    EXPECT_FALSE(qv->AwaitingReply());
    EXPECT_EQ(qv->ResponseErrorCode(), 0);
    EXPECT_EQ(log.items, QStringList({"QueryData", "Sent " + port->sent[0].toHex(),
                                      "Recv " + kReplyTwo.toHex(), "F03 1 130 a,b", "AfterResponse",
                                      "QueryFinish"}));
    EXPECT_EQ(port->sent[0], QByteArray::fromHex("010301300002c5f8"));
    EXPECT_FALSE(qv->CycleBusy());
}

// Bytes that make up the reply's length but hold no valid reply where it starts wait for
// the line to fall silent, then a valid reply anywhere in them is taken; a reply valid
// where it starts is judged the moment it is complete, as always.
TEST_F(EngineTest, AReplyBehindJunkIsTakenOnceTheLineIsQuiet) {
    const nanoseconds quiet = LineQuietTime(9600, kPortReadIntervalMs);
    const QByteArray lookalike = QByteArray::fromHex("0103") + kReplyTwo; // junk like its start
    QByteArray damaged = kReplyTwo;
    damaged[8] = char(damaged[8] ^ 0x40);
    struct Step {
        nanoseconds at;
        QByteArray chunk;
    };
    struct Case {
        const char* what;
        quint32 interval;
        QList<Step> steps;
        nanoseconds endsAt; // over at the first look at or after it, not before
        int code;
    };
    const Case cases[] = {
        {"valid at once: no extra wait", 0, {{1ms, kReplyTwo}}, 1ms, 0},
        {"junk in pieces then the reply: judged when it is complete",
         0,
         {{0ns, QByteArray::fromHex("ff00fe") + kReplyTwo.left(3)},
          {1ms, kReplyTwo.mid(3, 3)},
          {3ms, kReplyTwo.mid(6)}},
         3ms,
         0},
        {"junk like the reply's start, the reply in pieces: found after the quiet",
         0,
         {{0ns, lookalike.left(7)}, {2ms, lookalike.mid(7, 2)}, {4ms, lookalike.mid(9)}},
         4ms + quiet + 1ns,
         0},
        {"a damaged reply, nothing valid in it: a CRC error after the quiet",
         0,
         {{0ns, damaged.left(5)}, {2ms, damaged.mid(5)}},
         2ms + quiet + 1ns,
         2},
        {"damaged long before the interval: judged at the interval, as before",
         200,
         {{40ms, damaged}},
         200ms + 1ns,
         2},
    };
    for (const Case& c : cases) {
        qv->SetQueryInterval(c.interval);
        log.Clear();
        StartOne();
        for (const Step& step : c.steps) {
            CheckAt(step.at);
            port->Receive(step.chunk);
            CheckAt(step.at);
            EXPECT_EQ(qv->AwaitingReply(), step.at < c.endsAt) << c.what;
        }
        if (qv->AwaitingReply()) {
            CheckAt(c.endsAt - 1ns);
            EXPECT_TRUE(qv->AwaitingReply()) << c.what;
            CheckAt(c.endsAt);
        }
        EXPECT_FALSE(qv->AwaitingReply()) << c.what;
        EXPECT_EQ(qv->ResponseErrorCode(), c.code) << c.what;
        EXPECT_EQ(log.Count("F03 1 130 a,b"), c.code == 0 ? 1 : 0) << c.what;
    }
}

TEST_F(EngineTest, MissingReplyEndsAtTheLimitAndTheNextTransactionFollows) {
    Start();
    CheckAt(3000ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(3000ms + 1ns);
    EXPECT_EQ(log.items.mid(2), QStringList({"Error 1", "AfterResponse", "QueryData",
                                             "Sent " + port->sent[1].toHex()}));
    EXPECT_TRUE(qv->AwaitingReply());
    EXPECT_EQ(port->sent.size(), 2);
}

TEST_F(EngineTest, IntervalAboveTimeoutIsTheLimit) {
    qv->SetQueryInterval(5000);
    StartOne();
    CheckAt(4999ms);
    CheckAt(5000ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(5000ms + 1ns);
    EXPECT_EQ(qv->ResponseErrorCode(), 1);
    EXPECT_EQ(log.items.back(), "QueryFinish");
}

TEST_F(EngineTest, PreviewTimeoutEndsOnlyASilentWait) {
    qv->SetPreviewTimeout(500);
    Start();
    CheckAt(500ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(500ms + 1ns);
    EXPECT_EQ(log.items.mid(2, 2), QStringList({"Error 1", "AfterResponse"}));

    // The second transaction hears one byte: the preview rule no longer applies.
    StopAfterThisOne();
    lastSend = clock.Now();
    port->Receive(QByteArray(1, '\x01'));
    CheckAt(501ms);
    CheckAt(3000ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(3000ms + 1ns);
    EXPECT_EQ(qv->ResponseErrorCode(), 1);
    EXPECT_EQ(log.items.back(), "QueryFinish");
}

TEST_F(EngineTest, ReplyInThreeChunksIsEvaluatedOnce) {
    StartOne();
    port->Receive(kReplyTwo.left(2));
    port->Receive(kReplyTwo.mid(2, 4));
    CheckAt(250ms); // incomplete: waits on past the interval
    EXPECT_TRUE(qv->AwaitingReply());
    port->Receive(kReplyTwo.mid(6));
    CheckAt(251ms);
    CheckAt(252ms);
    CheckAt(4000ms);
    EXPECT_EQ(log.Count("AfterResponse"), 1);
    EXPECT_EQ(log.items.filter("Recv ").size(), 3);
    EXPECT_EQ(log.Count("F03 1 130 a,b"), 1);
}

// What a traffic monitor is told: each transaction once, before its reply event, with the
// write and last-chunk times of the master's clock; and bytes no wait will ever look at.
TEST_F(EngineTest, AnObserverSeesEachTransactionAndTheBytesNoWaitTakes) {
    struct Observer : TransactionObserver {
        EventLog* log = nullptr;
        QList<TransactionRecord> records;
        QList<QByteArray> strays;
        void TransactionEvaluated(const TransactionRecord& r) override {
            records << r;
            log->items << "Observed";
        }
        void StrayBytesReceived(const QByteArray& b, TransactionRecord::TimePoint) override {
            strays << b;
        }
    } observer;
    observer.log = &log;
    qv->SetTransactionObserver(&observer);
    port->Receive("\x7f"); // before any request: nobody waits for it
    StartOne();
    clock.Advance(40ms);
    port->Receive(kReplyTwo.left(4));
    clock.Advance(15ms);
    port->Receive(kReplyTwo.mid(4));
    CheckAt(250ms);
    port->Receive("\xff\x01"); // after the cycle ended
    qv->SetTransactionObserver(nullptr);
    port->Receive("\xee"); // not observed any more

    ASSERT_EQ(observer.records.size(), 1);
    const TransactionRecord& r = observer.records.front();
    EXPECT_EQ(r.request, port->sent.value(0));
    EXPECT_EQ(r.received, kReplyTwo);
    EXPECT_EQ(r.expectedLength, 9);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.written, lastSend);
    ASSERT_TRUE(r.lastChunk);
    EXPECT_EQ(*r.lastChunk - r.written, 55ms);
    EXPECT_EQ(r.evaluated - r.written, 250ms);
    EXPECT_EQ(observer.strays, QList<QByteArray>({"\x7f", "\xff\x01"}));
    const auto observed = log.items.indexOf("Observed");
    ASSERT_GE(observed, 0);
    EXPECT_EQ(log.items.value(observed + 1), "F03 1 130 a,b");
}

TEST_F(EngineTest, TheReplyWindowOpensWhenTheRequestIsWritten) {
    qv->SetQueryTimeout(500);
    qv->SetPreviewTimeout(100);
    port->holdWrites = true;
    StartOne();
    // Still with the writer: however long that takes, no rule can end the wait yet.
    CheckAt(10s);
    EXPECT_TRUE(qv->AwaitingReply());
    // Written 10 s after it was queued; the meter answers 450 ms later, inside its 500 ms.
    qv->SetPreviewTimeout(0);
    port->ReleaseWrites();
    CheckAt(10s + 450ms);
    EXPECT_TRUE(qv->AwaitingReply());
    port->Receive(kReplyTwo);
    CheckAt(10s + 451ms);
    EXPECT_EQ(qv->ResponseErrorCode(), 0);
    EXPECT_EQ(log.Count("F03 1 130 a,b"), 1);

    // No answer: silent 500 ms after the write, not after the queueing.
    StartOne();
    CheckAt(300ms);
    port->ReleaseWrites();
    CheckAt(300ms + 499ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(300ms + 501ms);
    EXPECT_FALSE(qv->AwaitingReply());
    EXPECT_EQ(qv->ResponseErrorCode(), 1);
}

TEST_F(EngineTest, WithTheWatcherRunningAReplyCompletedAfterTheIntervalIsEvaluatedOnArrival) {
    TqvModbus::StartResponseWatcher();
    StartOne();
    clock.Advance(250ms);
    // Handled right where the chunk is, without waiting for the watcher's turn.
    port->Receive(kReplyTwo.left(4));
    EXPECT_TRUE(qv->AwaitingReply());
    port->Receive(kReplyTwo.mid(4));
    EXPECT_EQ(log.items.mid(2),
              QStringList({"Recv " + kReplyTwo.left(4).toHex(), "Recv " + kReplyTwo.mid(4).toHex(),
                           "F03 1 130 a,b", "AfterResponse", "QueryFinish"}));
    TqvModbus::StopResponseWatcher();
}

TEST_F(EngineTest, AnExceptionReplyEndsTheTransactionWithItsCode) {
    struct Case {
        const char* name;
        QByteArray message;
        QByteArray reply;
        int code;
        nanoseconds endsAfter;
    };
    const Case cases[] = {
        // Shorter than the reply awaited: counted as too few bytes once the limit is over.
        {"read registers", kReadTwo, WithCrc(QByteArray::fromHex("018302")), 1, 3000ms},
        {"write one coil", "01,05,00,01,FF,00,00,00", WithCrc(QByteArray::fromHex("018502")), 1,
         3000ms},
        // As long as the reply awaited (no coils asked for): complete after the interval,
        // but never taken for the reply, since its function code differs.
        {"read no coils", "01,01,00,00,00,00,00,00", WithCrc(QByteArray::fromHex("018102")), 2,
         200ms},
    };
    for (const Case& c : cases) {
        message = c.message;
        log.Clear();
        StartOne();
        port->Receive(c.reply);
        CheckAt(c.endsAfter);
        EXPECT_TRUE(qv->AwaitingReply()) << c.name;
        CheckAt(c.endsAfter + 1ns);
        EXPECT_FALSE(qv->AwaitingReply()) << c.name;
        EXPECT_EQ(qv->ResponseErrorCode(), c.code) << c.name;
        EXPECT_EQ(log.items.mid(3),
                  QStringList({QString("Error %1").arg(c.code), "AfterResponse", "QueryFinish"}))
            << c.name;
    }
}

TEST_F(EngineTest, AnEvaluationHandedOverBeforeAReopenIsDropped) {
    StartOne();
    TqvModbus::StartResponseWatcher();
    clock.Advance(4s);
    qv->SetQueryTimeout(3000); // wakes the watcher to look at the moved clock
    // The watcher ends the wait and hands its evaluation to this thread, which does not
    // run it before the port has been closed and opened again.
    QDeadlineTimer bound(5000);
    while (qv->AwaitingReply() && !bound.hasExpired())
        std::this_thread::yield();
    ASSERT_FALSE(qv->AwaitingReply());
    qv->Close();
    qv->Open("COM2", 9600);
    log.Clear();
    WaitFor([] { return false; }, 50);
    TqvModbus::StopResponseWatcher();
    WaitFor([] { return false; }, 20);
    // The old wait belongs to the closed session: nothing of it reaches the new one.
    EXPECT_TRUE(log.items.isEmpty()) << log.items.join(", ").toStdString();
    EXPECT_FALSE(qv->CycleBusy());
}

TEST_F(EngineTest, WriteWithoutReplyCompletesAfterTheIntervalWithCodeZero) {
    message = "01,C5,00,01,FF,00,00,00";
    StartOne();
    CheckAt(200ms);
    EXPECT_TRUE(qv->AwaitingReply());
    CheckAt(200ms + 1ns);
    EXPECT_EQ(qv->ResponseErrorCode(), 0);
    EXPECT_EQ(log.items.mid(2), QStringList({"AfterResponse", "QueryFinish"}));
}

TEST_F(EngineTest, StartAndStopQueryKeepTheCycleConsistent) {
    qv->Close();
    EXPECT_FALSE(qv->StartQuery());
    EXPECT_TRUE(log.items.isEmpty());

    qv->Open("COM2", 9600);
    // Outside a cycle the send step only reports that the line is up.
    qv->SendNextRequest();
    EXPECT_EQ(log.items, QStringList({"AfterConnect"}));
    EXPECT_TRUE(port->sent.isEmpty());
    log.Clear();
    StartOne();
    // A second start while the cycle runs changes nothing.
    EXPECT_TRUE(qv->StartQuery());
    EXPECT_EQ(port->sent.size(), 1);
    CheckAt(3000ms + 1ns);
    EXPECT_EQ(log.items.mid(2), QStringList({"Error 1", "AfterResponse", "QueryFinish"}));
    EXPECT_FALSE(qv->CycleBusy());
}

// A stop ends the transaction on its way, whether its request is still with the writer or
// its reply window is open: unanswered, then. The reply, however soon it follows, belongs
// to no session.
TEST_F(EngineTest, StopEndsTheTransactionInFlightAndItsLateReplyIsNotEvaluated) {
    struct Observer : TransactionObserver {
        QList<quint8> codes;
        QList<QByteArray> strays;
        void TransactionEvaluated(const TransactionRecord& r) override { codes << r.code; }
        void StrayBytesReceived(const QByteArray& b, TransactionRecord::TimePoint) override {
            strays << b;
        }
    } observer;
    qv->SetTransactionObserver(&observer);
    for (const bool withTheWriter : {true, false}) {
        port->holdWrites = withTheWriter;
        log.Clear();
        Start();
        qv->StopQuery();
        EXPECT_FALSE(qv->CycleBusy());
        EXPECT_FALSE(qv->AwaitingReply());
        port->ReleaseWrites();
        port->Receive(kReplyTwo);
        CheckAt(10s);
        // Nothing after the end of the cycle: the reply is neither received nor evaluated.
        EXPECT_EQ(log.items.mid(2), QStringList({"Error 1", "AfterResponse", "QueryFinish"}))
            << withTheWriter;
    }
    EXPECT_EQ(observer.codes, QList<quint8>({1, 1}));
    EXPECT_EQ(observer.strays, QList<QByteArray>(2, kReplyTwo));

    // What came in before the stop is the transaction's own; the next start is a session of
    // its own, whose replies count again.
    log.Clear();
    Start();
    port->Receive(kReplyTwo);
    qv->StopQuery();
    EXPECT_EQ(log.items.mid(2), QStringList({"Recv " + kReplyTwo.toHex(), "F03 1 130 a,b",
                                             "AfterResponse", "QueryFinish"}));
    qv->SetTransactionObserver(nullptr);
}

TEST_F(EngineTest, CloseDuringAWaitStillEndsItAndOpenForgetsIt) {
    Start();
    qv->Close();
    EXPECT_FALSE(port->open);
    CheckAt(3000ms + 1ns);
    EXPECT_EQ(log.items.mid(2), QStringList({"Error 1", "AfterResponse", "QueryFinish"}));

    // Closed and reopened during a wait: the old wait is never evaluated.
    qv->Open("COM2", 9600);
    Start();
    qv->Close();
    qv->Open("COM2", 9600);
    log.Clear();
    CheckAt(10s);
    EXPECT_TRUE(log.items.isEmpty());
    EXPECT_EQ(TqvModbus::ReplyItemCount(qv.get()), 1);
}

TEST_F(EngineTest, OpenTwiceNamesThePortThatIsOpen) {
    try {
        qv->Open("COM7", 19200);
        FAIL() << "second Open did not throw";
    } catch (const EModbusError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QString::fromUtf8("端口“COM2”已打开。"));
    }
    EXPECT_EQ(port->name, "COM2");
    EXPECT_EQ(port->baud, 9600u);
    EXPECT_TRUE(qv->PortOpen());
}

TEST_F(EngineTest, PortThatCannotOpenLeavesTheComponentClosed) {
    qv->Close();
    port->failOpen = true;
    EXPECT_THROW(qv->Open("COM9", 9600), std::runtime_error);
    EXPECT_FALSE(qv->PortOpen());
    EXPECT_FALSE(qv->StartQuery());
}

TEST_F(EngineTest, WithoutAValidMessageNothingIsWrittenAndStrayBytesFail) {
    for (const QByteArray& bad : {QByteArray(), QByteArray("01,03,01,3G,00,02,00,00"),
                                  QByteArray("01,10,01,56,00,10,21,00,00")}) {
        message = bad;
        StartOne();
        CheckAt(3000ms + 1ns);
        EXPECT_EQ(qv->ResponseErrorCode(), 1) << bad.constData();
    }
    EXPECT_TRUE(port->sent.isEmpty());

    // Eight or more bytes but no request to compare them with.
    message = "zz";
    StartOne();
    port->Receive(kReplyTwo);
    CheckAt(200ms + 1ns);
    EXPECT_EQ(qv->ResponseErrorCode(), 2);
    EXPECT_EQ(log.Count("F03 1 130 a,b"), 0);
}

TEST_F(EngineTest, ThrowingHandlersNeverStallTheCycle) {
    qv->OnQueryData = [this](TqvModbus* s) {
        s->SetQueryMessage(message);
        throw std::runtime_error("schedule broke");
    };
    qv->OnF03Response = [](TqvModbus*, quint8, quint16, QList<quint16>) { throw 42; };
    qv->OnAfterResponse = [](TqvModbus*) { throw std::logic_error("panel"); };
    Start();
    ASSERT_EQ(port->sent.size(), 1); // the request went out all the same
    port->Receive(kReplyTwo);
    CheckAt(200ms + 1ns);
    EXPECT_EQ(port->sent.size(), 2); // and the next one followed
    qv->StopQuery();
    lastSend = clock.Now();
    CheckAt(3000ms + 1ns);
    EXPECT_FALSE(qv->CycleBusy());
    EXPECT_EQ(log.items.back(), "QueryFinish");
}

TEST_F(EngineTest, FloodsAndEndlessRepliesStillEndAtTheLimit) {
    StartOne();
    // A line that never goes quiet: a chunk every 10 ms past the limit.
    for (int t = 0; t <= 3100; t += 10) {
        port->Receive(QByteArray(7, '\x55'));
        CheckAt(milliseconds(t));
        if (!qv->AwaitingReply())
            break;
    }
    EXPECT_EQ(qv->ResponseErrorCode(), 2);
    EXPECT_EQ(log.items.back(), "QueryFinish");
    // A fresh session before its first start, nobody reads: what is kept stays bounded.
    qv->Close();
    qv->Open("COM2", 9600);
    log.Clear();
    qv->OnRecvData = nullptr;
    const QByteArray block(256 * 1024, '\x33');
    for (int i = 0; i < 12; ++i)
        port->Receive(block);
    EXPECT_LE(qv->ReceiveBuffer().size(), 1 << 20);
}

TEST_F(EngineTest, CtsWaitIsBoundedAndWritesNothingWhenItRunsOut) {
    qv->SetRtsCtsControl(true);
    StartOne();
    EXPECT_TRUE(port->sent.isEmpty());
    // The wait was bounded by the longer of interval and timeout.
    int waited = 0;
    for (int d : delays)
        waited += d;
    EXPECT_GE(waited, qv->CtsWaitLimitMs());
    EXPECT_LE(waited, qv->CtsWaitLimitMs() + 10);
    lastSend = clock.Now();
    CheckAt(3000ms + 1ns);
    EXPECT_EQ(qv->ResponseErrorCode(), 1);

    // With CTS on the frame goes out at once.
    port->status = 0x10;
    delays.clear();
    Start();
    EXPECT_EQ(port->sent.size(), 1);
    EXPECT_TRUE(delays.isEmpty());
}

TEST_F(EngineTest, ALostLineIsClosedAndPausedAndResumesWhenItsDeviceIsBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString device = dir.filePath("ttyUSB0");
    auto plugIn = [&] {
        QFile f(device);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    plugIn();
    qv->Close();
    qv->Open(device, 9600);
    qv->SetReopenPollMs(0); // the test makes the tries
    QStringList boxes;
    qv->OnOperatorError = [&](const QString& c, const QString& t) { boxes << c + "|" + t; };
    qv->OnLineLost = [&](TqvModbus*) { log.items << "LineLost"; };
    qv->OnLineBack = [&](TqvModbus*) { log.items << "LineBack"; };

    port->OnReceiveError(0x08);
    EXPECT_EQ(log.items, QStringList({"RecvError 8"}));
    Start();
    log.Clear();
    QFile::remove(device);
    port->OnRequestHangup();
    // The request in flight is lost, and counted so, at once; nothing waits for it.
    EXPECT_EQ(log.items, QStringList({"Error 1", "AfterResponse", "QueryFinish", "LineLost"}));
    EXPECT_FALSE(port->open);
    EXPECT_FALSE(qv->PortOpen());
    EXPECT_FALSE(qv->CycleBusy());
    EXPECT_TRUE(qv->LineLost());
    EXPECT_TRUE(qv->ResumeOnReturn());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0], QString::fromUtf8("严重错误|端口 ") + device +
                            QString::fromUtf8(" 发生通讯内部错误。") +
                            "\nThe line to the meter is lost: " + device +
                            " hung up (adapter unplugged, or the other end closed). The port is "
                            "closed and opened again as soon as the device is back.");
    // No request goes into the dead line, however long it stays away.
    CheckAt(60s);
    EXPECT_EQ(port->sent.size(), 1);
    port->failOpen = true;
    QString why;
    EXPECT_FALSE(qv->ReopenLine(&why));
    EXPECT_EQ(why, "Error opening serial port");
    EXPECT_TRUE(qv->LineLost());

    // The device is back: the next try opens it and polling goes on by itself.
    port->failOpen = false;
    log.Clear();
    plugIn();
    qv->SetReopenPollMs(5);
    ASSERT_TRUE(WaitFor([&] { return log.items.contains("LineBack"); }));
    EXPECT_EQ(log.items,
              QStringList({"QueryData", "Sent " + port->sent.last().toHex(), "LineBack"}));
    EXPECT_TRUE(qv->PortOpen());
    EXPECT_TRUE(qv->CycleBusy());
    EXPECT_FALSE(qv->LineLost());
    EXPECT_EQ(port->sent.size(), 2);

    // Lost while stopped, or stopped while lost: the port comes back, polling does not.
    lastSend = clock.Now();
    qv->StopQuery();
    CheckAt(3000ms + 1ns);
    port->OnRequestHangup();
    EXPECT_FALSE(qv->ResumeOnReturn());
    log.Clear();
    ASSERT_TRUE(WaitFor([&] { return log.items.contains("LineBack"); }));
    EXPECT_EQ(log.items, QStringList({"LineBack"}));
    EXPECT_TRUE(qv->PortOpen());
    EXPECT_FALSE(qv->CycleBusy());
    // Still stopped: what the line brings is nobody's until the next start.
    port->Receive(kReplyTwo);
    EXPECT_EQ(log.items, QStringList({"LineBack"}));
    // A hang-up of a port that is already closed again changes nothing.
    qv->Close();
    port->OnRequestHangup();
    EXPECT_FALSE(qv->LineLost());
    EXPECT_EQ(boxes.size(), 2);
}

TEST_F(EngineTest, DestroyingAnOpenComponentClosesItsPortAndLeavesTheWatcher) {
    bool openAtEnd = true;
    port->openWhenDestroyed = &openAtEnd;
    Start();
    const TqvModbus* gone = qv.get();
    qv.reset();
    EXPECT_FALSE(openAtEnd);
    EXPECT_EQ(TqvModbus::ReplyItemCount(gone), 0);
    // Its wait is over by now, but nothing is left to evaluate (the sanitizer build
    // would catch a look at the freed component).
    clock.Advance(10s);
    TqvModbus::CheckRepliesNow();
}

TEST_F(EngineTest, StoppingTheWatcherWhileItWaitsOnTheMainThreadDoesNotDeadlock) {
    qv->SetClock([] { return std::chrono::steady_clock::now(); });
    qv->SetQueryInterval(1);
    qv->SetQueryTimeout(1);
    TqvModbus::StartResponseWatcher();
    StartOne();
    // Once the wait is over the watcher has handed the evaluation to this thread and
    // waits for it; this thread does not run it before stopping the watcher.
    QDeadlineTimer bound(5000);
    while (qv->AwaitingReply() && !bound.hasExpired())
        std::this_thread::yield();
    ASSERT_FALSE(qv->AwaitingReply());
    TqvModbus::StopResponseWatcher();
    EXPECT_FALSE(TqvModbus::ResponseWatcherRunning());
    // The handed-over evaluation still runs, once.
    EXPECT_TRUE(WaitFor([&] { return !qv->CycleBusy(); }));
    EXPECT_EQ(log.Count("AfterResponse"), 1);
    EXPECT_EQ(log.items.back(), "QueryFinish");
}

// The watcher thread on the real clock: never early, close to on time, idle when idle.
TEST(ResponseWatcherThreadTest, EvaluatesOnTimeWithoutBusyWaiting) {
    TestApp();
    auto fake = std::make_unique<FakeModbusPort>();
    FakeModbusPort* port = fake.get();
    TqvModbus qv(std::move(fake));
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(20);
    std::vector<double> lateMs;
    // Taken before the request is written, so never after the moment the wait counts
    // from: a thread preempted around the write cannot make a timely evaluation look early.
    TqvModbus::TimePoint sent;
    qv.OnQueryData = [&](TqvModbus* s) {
        sent = s->Now();
        s->SetQueryMessage(kReadTwo);
    };
    qv.OnAfterSendMsg = [&](TqvModbus*, const QByteArray&) { port->Receive(kReplyTwo); };
    qv.OnAfterResponse = [&](TqvModbus* s) {
        lateMs.push_back(duration<double, std::milli>(s->Now() - sent).count() - 20.0);
        if (lateMs.size() == 25)
            s->StopQuery();
    };
    TqvModbus::StartResponseWatcher();
    qv.Open("COM2", 9600);
    ASSERT_TRUE(qv.StartQuery());
    ASSERT_TRUE(WaitFor([&] { return !qv.CycleBusy(); }));
    ASSERT_EQ(lateMs.size(), 25u);
    EXPECT_GT(*std::min_element(lateMs.begin(), lateMs.end()), 0.0);
    // How soon after the rule allows it a reply is evaluated is a speed figure, measured by
    // the benchmark; here only the rule itself (never early) is held.
    std::nth_element(lateMs.begin(), lateMs.begin() + 12, lateMs.end());
    RecordProperty("median_late_us", int(lateMs[12] * 1000));

    // A long wait under way: the watcher sleeps until its deadline.
    qv.SetQueryInterval(60000);
    qv.OnAfterSendMsg = nullptr;
    ASSERT_TRUE(qv.StartQuery());
    timespec a{}, b{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
    QElapsedTimer wall;
    wall.start();
    WaitFor([&] { return wall.elapsed() >= 300; });
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
    const double cpuMs = (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
    // A watcher that polled or spun would burn most of the 300 ms; the bound leaves room for
    // a loaded machine and the sanitizers.
    EXPECT_LT(cpuMs, 60.0);
    RecordProperty("idle_cpu_us", int(cpuMs * 1000));
    qv.Close();
    TqvModbus::StopResponseWatcher();
}

} // namespace
