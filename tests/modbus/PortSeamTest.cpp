#include "EngineTestSupport.h"

#include "TComm.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QByteArray kReadTwo = "01,03,01,30,00,02,00,00"; // 2 registers: 9 reply bytes

// A port that is no serial line: it moves bytes and words its own loss, and implements
// nothing of a modem or of a lost line's return.
class PlainPort : public ModbusPort {
public:
    bool open = false;
    bool refuse = false;
    QList<QByteArray> sent;

    QString CommName() const override { return name; }
    void SetCommName(const QString& n) override { name = n; }
    quint32 BaudRate() const override { return baud; }
    void SetBaudRate(quint32 b) override { baud = b; }
    void OpenPort() override {
        if (refuse)
            throw ECommsError("Cannot connect", "10.0.0.5:502 refused the connection");
        open = true;
    }
    void ClosePort() override { open = false; }
    bool IsOpen() const override { return open; }
    bool SendData(const QByteArray& bytes) override {
        if (!open)
            return false;
        sent << bytes;
        return true;
    }
    LineNotice LostNotice() const override {
        return {"Connection lost", "Connection to " + name + " lost"};
    }
    void Receive(const QByteArray& chunk) { OnReceiveData(chunk); }

    QString name = "10.0.0.5:502";
    quint32 baud = 9600;
};

// The same with rules of its own for the line's return, as a connection that is made anew
// after it dropped: the test plays the port's side (waiting, connected again).
class ReconnectingPort : public PlainPort {
public:
    int watches = 0;
    bool lost = false;
    QString waiting;

    void WatchForReturn() override {
        ++watches;
        lost = true;
        waiting = "Connection to " + name + " lost; reconnecting";
    }
    void ClosePort() override {
        PlainPort::ClosePort();
        lost = false;
    }
    bool LineLost() const override { return lost; }
    QString LineWaiting() const override { return waiting; }
    QString LineDevice() const override { return name + " (Modbus TCP)"; }
    std::chrono::nanoseconds ReplyQuietTime() const override { return quiet; }

    void Waiting(const QString& text) {
        waiting = text;
        OnLineWaiting();
    }
    void Connected() {
        OnReopening();
        open = true;
        lost = false;
        OnReopened();
        OnLineBack();
    }

    std::chrono::nanoseconds quiet{0};
};

// The master on the test's port: every event, every box, in `log` and `boxes`.
struct Seam : EngineRig {
    ReconnectingPort* port = nullptr;
    QStringList boxes;
    TqvModbus::TimePoint lastSend;

    explicit Seam(std::unique_ptr<PlainPort> plain, ReconnectingPort* reconnecting) {
        port = reconnecting;
        base = plain.get();
        MakeOn(std::move(plain), false);
        message = kReadTwo;
        qv->SetQueryInterval(200);
        qv->OnOperatorError = [this](const QString& c, const QString& t) { boxes << c + "|" + t; };
        qv->OnLineLost = [this](TqvModbus*) { log.items << "LineLost"; };
        qv->OnLineBack = [this](TqvModbus*) { log.items << "LineBack"; };
        qv->OnLineWaiting = [this](TqvModbus* s) { log.items << "Waiting " + s->LineWaiting(); };
        qv->Open("10.0.0.5:502", 9600);
    }
    PlainPort& Port() { return *base; }
    void Start() {
        ASSERT_TRUE(qv->StartQuery());
        lastSend = clock.Now();
    }
    void CheckAt(std::chrono::nanoseconds t) {
        clock.ns = (lastSend.time_since_epoch() + t).count();
        TqvModbus::CheckRepliesNow();
    }
    QString Sent() const { return "Sent " + base->sent.last().toHex(); }

    PlainPort* base = nullptr;
};

// What the master does with a port that says for itself how the meter is reached: the
// modem's properties on a port without one, a loss worded by the port, a line the port
// brings back by its own rules, the wait for junk as long as the port's line needs.
TEST(PortSeamTest, TheMasterOnlyReactsToWhatThePortSaysOfItsLine) {
    struct Case {
        const char* what;
        bool reconnects;
        std::function<void(Seam&)> act;
        std::function<QStringList(Seam&)> events;
    };
    const Case cases[] = {
        {"without a modem, the modem's settings change nothing: no dialling, no CTS wait", false,
         [](Seam& s) {
             s.qv->SetConnectWithModem(true);
             s.qv->SetRtsCtsControl(true);
             s.qv->SetInitModemString("atz");
             EXPECT_FALSE(s.qv->ConnectWithModem());
             EXPECT_EQ(s.qv->InitModemString(), "at&f0e0q1&d0&k0s0=0&w0");
             EXPECT_FALSE(s.qv->DialModem());
             s.Start();
             EXPECT_TRUE(s.qv->LinkUp());
             EXPECT_TRUE(s.delays.isEmpty());
             EXPECT_EQ(s.Port().sent.size(), 1);
             EXPECT_FALSE(s.qv->ModemWatcherExists());
         },
         [](Seam& s) {
             return QStringList{"QueryData", s.Sent()};
         }},
        {"a lost line is worded by the port; without rules of its own it waits for a reopen", false,
         [](Seam& s) {
             s.Start();
             s.Port().OnRequestHangup();
             EXPECT_FALSE(s.Port().open);
             EXPECT_FALSE(s.qv->PortOpen());
             EXPECT_FALSE(s.qv->LineLost());
             EXPECT_TRUE(s.qv->ResumeOnReturn());
             EXPECT_EQ(s.boxes, QStringList{"Connection lost|Connection to 10.0.0.5:502 lost"});
             s.CheckAt(60s);
             EXPECT_EQ(s.Port().sent.size(), 1);
             s.Port().refuse = true;
             QString why;
             EXPECT_FALSE(s.qv->ReopenLine(&why));
             EXPECT_EQ(why, "10.0.0.5:502 refused the connection");
             s.Port().refuse = false;
             EXPECT_TRUE(s.qv->ReopenLine(&why));
             EXPECT_TRUE(s.qv->PortOpen());
             EXPECT_FALSE(s.qv->CycleBusy());
         },
         [](Seam& s) {
             return QStringList{"QueryData",     s.Sent(),      "Error 1",
                                "AfterResponse", "QueryFinish", "LineLost"};
         }},
        {"a port that reconnects by itself: what it waits for, and polling resumes when back", true,
         [](Seam& s) {
             s.Start();
             s.port->OnRequestHangup();
             EXPECT_EQ(s.port->watches, 1);
             EXPECT_TRUE(s.qv->LineLost());
             EXPECT_EQ(s.qv->LineWaiting(), "Connection to 10.0.0.5:502 lost; reconnecting");
             s.port->Waiting("Reconnecting to 10.0.0.5:502 in 4 s");
             s.port->Connected();
             EXPECT_TRUE(s.qv->PortOpen());
             EXPECT_TRUE(s.qv->CycleBusy());
             EXPECT_FALSE(s.qv->LineLost());
             EXPECT_EQ(s.qv->LineDevice(), "10.0.0.5:502 (Modbus TCP)");
         },
         [](Seam& s) {
             return QStringList{"QueryData",
                                s.Sent(),
                                "Error 1",
                                "AfterResponse",
                                "QueryFinish",
                                "LineLost",
                                "Waiting Reconnecting to 10.0.0.5:502 in 4 s",
                                "QueryData",
                                s.Sent(),
                                "LineBack"};
         }},
        {"stopped while lost: the port brings the line back, polling stays stopped", true,
         [](Seam& s) {
             s.Start();
             s.port->OnRequestHangup();
             s.qv->StopQuery();
             EXPECT_FALSE(s.qv->ResumeOnReturn());
             s.port->Connected();
             EXPECT_TRUE(s.qv->PortOpen());
             EXPECT_FALSE(s.qv->CycleBusy());
             EXPECT_EQ(s.Port().sent.size(), 1);
         },
         [](Seam& s) {
             return QStringList{"QueryData",   s.Sent(),   "Error 1", "AfterResponse",
                                "QueryFinish", "LineLost", "LineBack"};
         }},
        {"junk of the reply's length is judged once the line has been quiet as long as the "
         "port says its line needs: at once, or after 30 ms",
         true,
         [](Seam& s) {
             s.qv->SetQueryInterval(0);
             int judged = 0;
             for (const auto quiet : {0ms, 30ms}) {
                 s.port->quiet = quiet;
                 s.qv->SetQueryTimeout(3000); // the master takes the port's word anew
                 if (!s.qv->CycleBusy())
                     s.Start();
                 s.lastSend = s.clock.Now();
                 s.CheckAt(2ms);
                 s.Port().Receive(QByteArray(9, '\x55'));
                 s.CheckAt(2ms + quiet);
                 EXPECT_EQ(s.log.Count("Error 2"), judged) << quiet.count() << " ms";
                 s.CheckAt(2ms + quiet + 1ns);
                 EXPECT_EQ(s.log.Count("Error 2"), ++judged) << quiet.count() << " ms";
             }
         },
         [](Seam& s) {
             const QStringList one{"QueryData", s.Sent(), "Recv 555555555555555555", "Error 2",
                                   "AfterResponse"};
             return one + one + QStringList{"QueryData", s.Sent()};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<PlainPort> port;
        ReconnectingPort* reconnecting = nullptr;
        if (c.reconnects) {
            auto r = std::make_unique<ReconnectingPort>();
            reconnecting = r.get();
            port = std::move(r);
        } else {
            port = std::make_unique<PlainPort>();
        }
        Seam s(std::move(port), reconnecting);
        c.act(s);
        EXPECT_EQ(s.log.items.join(" | ").toStdString(), c.events(s).join(" | ").toStdString());
    }
}

} // namespace
