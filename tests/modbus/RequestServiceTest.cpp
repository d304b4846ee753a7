// The request service on a master over a fake port with the test's clock: every kind of
// answer gives its outcome, requests take their turns in the poll cycle in order, and each
// completion is called exactly once however its request ends. Then once against the
// simulated meter over a real pseudo-terminal.

#include "RequestService.h"
#include "EngineTestSupport.h"
#ifdef QETRA_WITH_METER_SIM
#include "MeterSimProcess.h"
#endif

#include <gtest/gtest.h>

#include <map>

using namespace std::chrono_literals;
using Kind = RequestOutcome::Kind;
using Event = RequestOutcome::Event;

namespace {

const QByteArray kRead = "01,03,01,30,00,02,00,00"; // two registers from 0x130
const QByteArray kProgramRead = "01,03,05,18,00,01,00,00";

class RequestServiceTest : public FakeLineEngineTest {
protected:
    void SetUp() override {
        MakeEngine(true);
        message = kProgramRead; // what the owner's own poll asks
        qv->SetQueryInterval(200);
        qv->SetQueryTimeout(1000);
        qv->SetReopenPollMs(0); // a lost line stays lost
        qv->OnOperatorError = [](const QString&, const QString&) {};
        qv->Open("COM2", 9600);
        // The event log's handlers are the owner's from here on.
        requests = std::make_unique<RequestService>(*qv);
    }
    void TearDown() override { requests.reset(); }

    // Submits a request whose outcomes are collected under `name`.
    RequestService::RequestId Submit(const QByteArray& text, const QString& name) {
        return requests->Submit(text, [this, name](const RequestOutcome& o) {
            outcomes[name].push_back(o);
            ended << name;
        });
    }
    // Lets the service start its cycle (it never does so inside Submit).
    void Settle() { QCoreApplication::processEvents(); }
    // The meter's answer to the request on the line, then the wait runs out.
    void Answer(const QByteArray& bytes) {
        if (!bytes.isEmpty())
            port->Receive(bytes);
        clock.Advance(1001ms);
        TqvModbus::CheckRepliesNow();
    }
    const RequestOutcome& Only(const QString& name) {
        EXPECT_EQ(outcomes[name].size(), 1u) << name.toStdString();
        static const RequestOutcome none;
        return outcomes[name].empty() ? none : outcomes[name].front();
    }

    std::unique_ptr<RequestService> requests;
    std::map<QString, std::vector<RequestOutcome>> outcomes;
    QStringList ended;
};

TEST_F(RequestServiceTest, EveryKindOfAnswerGivesItsOutcome) {
    struct Case {
        const char* what;
        QByteArray message;
        QByteArray reply; // what the meter puts on the line; empty: nothing
        Kind kind;
        quint8 code;
        Event event;
        quint16 start;
        QList<quint16> registers;
        QList<bool> bits;
        quint16 count;
        quint8 exception;
    };
    const QByteArray coils = "01,01,00,00,00,02,00,00";
    const QByteArray relay = "01,05,00,01,FF,00,00,00";
    const QByteArray write = "01,10,01,56,00,02,04,00,01,00,02,00,00";
    const Case cases[] = {
        {"registers",
         kRead,
         WithCrc(QByteArray::fromHex("010304000a000b")),
         Kind::Answered,
         0,
         Event::F03,
         0x130,
         {10, 11},
         {},
         0,
         0},
        {"coils",
         coils,
         WithCrc(QByteArray::fromHex("01010102")),
         Kind::Answered,
         0,
         Event::F01,
         0,
         {},
         {false, true},
         0,
         0},
        {"a relay switched on",
         relay,
         WithCrc(QByteArray::fromHex("01050001ff00")),
         Kind::Answered,
         0,
         Event::F05,
         1,
         {},
         {true},
         0,
         0},
        {"a write echoed",
         write,
         WithCrc(QByteArray::fromHex("011001560002")),
         Kind::Answered,
         0,
         Event::F10,
         0x156,
         {},
         {},
         2,
         0},
        {"refused: illegal address",
         kRead,
         WithCrc(QByteArray::fromHex("018302")),
         Kind::Exception,
         1,
         Event::None,
         0,
         {},
         {},
         0,
         2},
        {"refused behind a stray byte",
         kRead,
         QByteArray::fromHex("ff") + WithCrc(QByteArray::fromHex("018304")),
         Kind::Exception,
         1,
         Event::None,
         0,
         {},
         {},
         0,
         4},
        {"silence", kRead, {}, Kind::NoReply, 1, Event::None, 0, {}, {}, 0, 0},
        {"too short",
         kRead,
         QByteArray::fromHex("010304"),
         Kind::NoReply,
         1,
         Event::None,
         0,
         {},
         {},
         0,
         0},
        {"a damaged CRC",
         kRead,
         QByteArray::fromHex("010304000a000b0000"),
         Kind::Broken,
         2,
         Event::None,
         0,
         {},
         {},
         0,
         0},
        {"fields that disagree",
         kRead,
         WithCrc(QByteArray::fromHex("010305000a000b")),
         Kind::Broken,
         3,
         Event::None,
         0,
         {},
         {},
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        outcomes.clear();
        const qsizetype sent = port->sent.size();
        Submit(c.message, "it");
        Settle();
        ASSERT_EQ(port->sent.size(), sent + 1);
        Answer(c.reply);
        const RequestOutcome& o = Only("it");
        EXPECT_EQ(o.kind, c.kind);
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(o.event, c.event);
        EXPECT_EQ(o.start, c.start);
        EXPECT_EQ(o.registers, c.registers);
        EXPECT_EQ(o.bits, c.bits);
        EXPECT_EQ(o.count, c.count);
        EXPECT_EQ(o.exception, c.exception);
        EXPECT_EQ(o.request, port->sent.last());
        EXPECT_EQ(o.received, c.reply);
        // The service's own cycle ended with its queue; the owner heard of the traffic
        // only.
        EXPECT_FALSE(qv->CycleBusy());
        EXPECT_EQ(log.items.filter("Sent ").size(), 1);
        for (const char* owners : {"QueryData", "Error", "F03", "AfterResponse", "QueryFinish"})
            EXPECT_TRUE(log.items.filter(owners).isEmpty()) << owners;
        log.Clear();
    }
}

// While the owner polls, requests take the place of the owner's next ones, in the order
// they were submitted, and a completion may send another at once.
TEST_F(RequestServiceTest, RequestsTakeTheirTurnsInThePollCycleInOrder) {
    const QByteArray programReply = WithCrc(QByteArray::fromHex("0103020007"));
    const QByteArray reply = WithCrc(QByteArray::fromHex("010304000a000b"));
    ASSERT_TRUE(qv->StartQuery());
    ASSERT_EQ(port->sent.size(), 1); // the owner's first request is on the line
    Submit(kRead, "first");
    requests->Submit("01,03,01,30,00,02,00,00", [this](const RequestOutcome& o) {
        outcomes["second"].push_back(o);
        ended << "second";
        Submit("01,03,01,30,00,02,00,00", "third"); // sent next, before the owner's
    });
    Settle(); // the cycle is the owner's: the service does not start one
    EXPECT_EQ(port->sent.size(), 1);
    for (int i = 0; i < 5; ++i)
        Answer(i == 0 || i == 4 ? programReply : reply);
    EXPECT_EQ(ended, QStringList({"first", "second", "third"}));
    for (const char* name : {"first", "second", "third"})
        EXPECT_EQ(Only(name).registers, QList<quint16>({10, 11})) << name;
    // The owner chose the first, the fifth and the sixth request (now on the line) and saw
    // only the replies to its own, but every request's traffic.
    EXPECT_EQ(log.Count("QueryData"), 3);
    EXPECT_EQ(log.Count("AfterResponse"), 2);
    EXPECT_EQ(log.items.filter("F03 1 518 7").size(), 2);
    EXPECT_EQ(log.items.filter("F03 1 130").size(), 0);
    EXPECT_EQ(log.items.filter("Sent ").size(), 6);
    EXPECT_TRUE(qv->CycleBusy());
    qv->StopQuery();
    EXPECT_EQ(log.Count("QueryFinish"), 1);
}

// However a request ends, its completion is called once: cancelled while queued or on
// the line, polling stopped, the line lost, the port closed, the service gone.
TEST_F(RequestServiceTest, EveryRequestEndsExactlyOnce) {
    const QByteArray reply = WithCrc(QByteArray::fromHex("010304000a000b"));
    ASSERT_TRUE(qv->StartQuery());
    // Cancelled while queued: at once; on the line: at once, and its reply reaches nobody.
    const auto queued = Submit(kRead, "queued");
    EXPECT_TRUE(requests->Queued(queued));
    EXPECT_TRUE(requests->Cancel(queued));
    EXPECT_FALSE(requests->Cancel(queued));
    EXPECT_EQ(Only("queued").kind, Kind::Cancelled);
    Answer(WithCrc(QByteArray::fromHex("0103020007"))); // the owner's request
    const auto onLine = Submit(kRead, "on the line");
    Answer(WithCrc(QByteArray::fromHex("0103020007")));
    ASSERT_FALSE(requests->Queued(onLine));
    EXPECT_TRUE(requests->Cancel(onLine));
    Answer(reply);
    EXPECT_EQ(Only("on the line").kind, Kind::Cancelled);
    EXPECT_EQ(log.items.filter("F03 1 130").size(), 0);

    // Stop COMM: the request on the line is evaluated with what came (nothing), the one
    // behind it never goes out; the owner's cycle ends as the owner's.
    Submit(kRead, "stopped on the line");
    Submit(kRead, "stopped in the queue");
    Answer(WithCrc(QByteArray::fromHex("0103020007")));
    qv->StopQuery();
    EXPECT_EQ(Only("stopped on the line").kind, Kind::NoReply);
    EXPECT_EQ(Only("stopped in the queue").kind, Kind::Cancelled);
    EXPECT_EQ(log.Count("QueryFinish"), 1);

    // The line lost under a cycle of the service's own.
    Submit(kRead, "lost on the line");
    Submit(kRead, "lost in the queue");
    Settle();
    ASSERT_TRUE(qv->CycleBusy());
    port->OnRequestHangup();
    EXPECT_EQ(Only("lost on the line").kind, Kind::NoReply);
    EXPECT_EQ(Only("lost in the queue").kind, Kind::Cancelled);
    EXPECT_EQ(log.Count("QueryFinish"), 1); // not the owner's cycle
    EXPECT_FALSE(qv->ResumeOnReturn());     // its return starts nothing by itself

    // The port closed: nothing can go out.
    Submit(kRead, "port closed");
    Settle();
    EXPECT_EQ(Only("port closed").kind, Kind::Cancelled);

    // The service goes before its request had a turn.
    Submit(kRead, "service gone");
    requests.reset();
    EXPECT_EQ(Only("service gone").kind, Kind::Cancelled);
    for (const auto& [name, list] : outcomes)
        EXPECT_EQ(list.size(), 1u) << name.toStdString();
    EXPECT_EQ(ended.size(), qsizetype(outcomes.size()));
}

#ifdef QETRA_WITH_METER_SIM
// The simulated meter on a pseudo-terminal: a read, a refused read, a write and a read of
// its relays, sent one behind the other, each with its own outcome; a meter at another
// address is silent.
TEST(RequestServiceLineTest, OutcomesOfTheSimulatedMeter) {
    TestApp();
    MeterSimProcess sim({"--address", "5"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    TqvModbus::StartResponseWatcher();
    {
        TqvModbus qv(nullptr);
        qv.SetOpenSettleMs(0);
        qv.SetTraceModemStatus(false);
        qv.SetQueryInterval(5);
        qv.SetQueryTimeout(2000); // a loaded machine may be slow to schedule the meter
        qv.Open(sim.device(), 9600);
        RequestService requests(qv);
        QList<RequestOutcome> got;
        auto keep = [&](const RequestOutcome& o) { got << o; };
        requests.Submit("05,03,01,30,00,36,00,00", keep);
        requests.Submit("05,03,00,00,00,01,00,00", keep);
        requests.Submit("05,10,01,56,00,02,04,00,00,00,00,00,00", keep);
        requests.Submit("05,01,00,00,00,02,00,00", keep);
        requests.Submit("06,03,01,30,00,36,00,00", keep);
        ASSERT_TRUE(WaitFor([&] { return got.size() == 5; }, 20000));
        EXPECT_EQ(got[0].kind, Kind::Answered);
        EXPECT_EQ(got[0].slave, 5);
        EXPECT_EQ(got[0].start, 0x130);
        EXPECT_EQ(got[0].registers.size(), 54);
        EXPECT_EQ(got[1].kind, Kind::Exception);
        EXPECT_EQ(got[1].exception, 2);
        EXPECT_EQ(got[2].kind, Kind::Answered);
        EXPECT_EQ(got[2].event, Event::F10);
        EXPECT_EQ(got[2].start, 0x156);
        EXPECT_EQ(got[3].event, Event::F01);
        EXPECT_EQ(got[3].bits.size(), 2);
        EXPECT_EQ(got[4].kind, Kind::NoReply);
        EXPECT_TRUE(WaitFor([&] { return !qv.CycleBusy(); }));
        qv.Close();
    }
    TqvModbus::StopResponseWatcher();
}
#endif

} // namespace
