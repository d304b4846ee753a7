#pragma once

// Shared pieces of the engine tests: a Qt application, a fake port whose lines the test
// sets, a clock the test moves, and a recorder of every event the master raises.

#include "Crc16.h"
#include "SerialLinePort.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <utility>

inline QCoreApplication& TestApp() {
    static int argc = 1;
    static char name[] = "engine-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until `done` holds or a generous bound passes. It sleeps between
// events, so the CPU use of what runs meanwhile can be measured.
template <class F> bool WaitFor(F done, int boundMs = 5000) {
    QDeadlineTimer deadline(boundMs);
    QTimer tick; // wakes the loop now and then so the bound is seen
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline QByteArray WithCrc(const QByteArray& bytes) {
    return bytes + ModbusCrcBytes(bytes, bytes.size());
}

// A serial line whose status lines (ring, carrier, CTS) the test sets.
class FakeModbusPort : public SerialLinePort {
public:
    FakeModbusPort()
        : SerialLinePort({[this] {
                              if (failOpen)
                                  throw std::runtime_error("Error opening serial port");
                              open = true;
                          },
                          [this] { open = false; }, [this] { return open ? status.load() : 0; }}) {}

    QString name = "COM2";
    quint32 baud = 9600;
    bool open = false;
    bool failOpen = false;
    bool refuseSend = false;
    QList<QByteArray> sent;
    std::atomic<quint32> status{0};
    bool* openWhenDestroyed = nullptr; // reports the port's state at its end

    ~FakeModbusPort() override {
        if (openWhenDestroyed)
            *openWhenDestroyed = open;
    }
    QString CommName() const override { return name; }
    void SetCommName(const QString& n) override { name = n; }
    quint32 BaudRate() const override { return baud; }
    void SetBaudRate(quint32 b) override { baud = b; }
    bool IsOpen() const override { return open; }
    bool SendData(const QByteArray& bytes) override {
        if (!open || refuseSend || bytes.isEmpty())
            return false;
        sent << bytes;
        return true;
    }
    // With holdWrites, requests stay with the "writer" until ReleaseWrites() reports them
    // written (a busy machine); otherwise they count as written when queued.
    bool holdWrites = false;
    bool SendRequest(
        const QByteArray& bytes, int replyLength,
        const std::function<void(std::chrono::steady_clock::time_point)>& written) override {
        if (!holdWrites)
            return ModbusPort::SendRequest(bytes, replyLength, written);
        if (!SendData(bytes))
            return false;
        held << written;
        return true;
    }
    void ReleaseWrites() {
        const auto now = std::chrono::steady_clock::now();
        for (const auto& written : std::exchange(held, {}))
            written(now);
    }
    QList<std::function<void(std::chrono::steady_clock::time_point)>> held;

    void Receive(const QByteArray& chunk) {
        if (OnReceiveData)
            OnReceiveData(chunk);
    }
};

// A steady clock that only moves when the test says so.
struct FakeClock {
    std::atomic<std::chrono::nanoseconds::rep> ns{1'000'000'000};
    TqvModbus::TimePoint Now() const {
        return TqvModbus::TimePoint(std::chrono::nanoseconds(ns.load()));
    }
    void Advance(std::chrono::nanoseconds d) { ns += d.count(); }
};

// Records every event as one short text, so a single comparison checks the order.
struct EventLog {
    QStringList items;
    void Attach(TqvModbus& qv) {
        auto note = [this](const char* text) {
            return [this, text](TqvModbus*) { items << text; };
        };
        qv.OnModemRING = note("RING");
        qv.OnModemRLSD = note("RLSD");
        qv.OnRecvData = [this](TqvModbus*, const QByteArray& d) { items << "Recv " + d.toHex(); };
        qv.OnRecvError = [this](TqvModbus*, quint32 m) { items << QString("RecvError %1").arg(m); };
        qv.OnAfterConnect = note("AfterConnect");
        qv.OnAfterHangup = note("AfterHangup");
        qv.OnAfterSendMsg = [this](TqvModbus*, const QByteArray& m) {
            items << "Sent " + m.toHex();
        };
        qv.OnQueryData = note("QueryData");
        qv.OnResponseError = [this](TqvModbus* s) {
            items << QString("Error %1").arg(s->ResponseErrorCode());
        };
        qv.OnF03Response = [this](TqvModbus*, quint8 slave, quint16 start, QList<quint16> v) {
            QStringList words;
            for (quint16 w : v)
                words << QString::number(w, 16);
            items << QString("F03 %1 %2 %3").arg(slave).arg(start, 0, 16).arg(words.join(','));
        };
        qv.OnAfterResponse = note("AfterResponse");
        qv.OnQueryFinish = note("QueryFinish");
    }
    int Count(const QString& item) const { return int(items.count(item)); }
    void Clear() { items.clear(); }
};

// The master on a port of the test's with the test's clock and no watcher thread, so a
// wait ends only when the test lets the watcher look (TqvModbus::CheckRepliesNow). Blocking
// delays are recorded, and moved on the clock when `delaysMoveClock`; every event goes to
// `log`; each request is `message`.
struct EngineRig {
    void MakeOn(std::unique_ptr<ModbusPort> port, bool delaysMoveClock) {
        TestApp();
        TqvModbus::StopResponseWatcher();
        qv = std::make_unique<TqvModbus>(std::move(port));
        qv->SetClock([this] { return clock.Now(); });
        qv->SetDelayFunction([this, delaysMoveClock](int ms) {
            delays << ms;
            if (delaysMoveClock)
                clock.Advance(std::chrono::milliseconds(ms));
        });
        log.Attach(*qv);
        qv->OnQueryData = [this](TqvModbus* s) {
            log.items << "QueryData";
            s->SetQueryMessage(message);
        };
    }

    FakeClock clock;
    std::unique_ptr<TqvModbus> qv;
    EventLog log;
    QByteArray message;
    QList<int> delays;
};

// The same on a fake serial line.
class FakeLineEngineTest : public ::testing::Test, protected EngineRig {
protected:
    void MakeEngine(bool delaysMoveClock) {
        auto fake = std::make_unique<FakeModbusPort>();
        port = fake.get();
        MakeOn(std::move(fake), delaysMoveClock);
    }

    FakeModbusPort* port = nullptr;
};
