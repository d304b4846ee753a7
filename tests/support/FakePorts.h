#pragma once

#include "Crc16.h"
#include "SerialLinePort.h"

#include <QCoreApplication>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

// Ports for the main window's tests, behind the master's port seam. Tests that talk to a
// meter use meter-sim on a pseudo-terminal instead (MeterSimProcess.h).

// A serial line without modem status lines (it implements nothing of the modem): records
// what is opened and written, and answers each request with whatever Reply returns
// (nothing when it returns no bytes). The answer is posted to the event loop, as
// the reader thread's chunks are, so it is handled before the master's evaluation of the
// reply, which the response watcher posts later: a busy machine cannot turn a prompt
// answer into a missing one.
class ScriptedPort : public SerialLinePort {
public:
    struct Log {
        QStringList opens; // "name@baud" of every successful open
        QList<QByteArray> sent;
        int failedOpens = 0;
        bool failNextOpens = false;
        quint32 baud = 9600;
        bool open = false;
        std::function<QByteArray(const QByteArray& request)> Reply;
    };

    explicit ScriptedPort(Log& log)
        : SerialLinePort({[this] {
                              if (log_.failNextOpens) {
                                  ++log_.failedOpens;
                                  throw std::runtime_error("no such port");
                              }
                              log_.open = true;
                              log_.opens << QStringLiteral("%1@%2").arg(name_).arg(log_.baud);
                          },
                          [this] { log_.open = false; },
                          {}}),
          log_(log) {}
    ~ScriptedPort() override { *alive_ = false; }

    QString CommName() const override { return name_; }
    void SetCommName(const QString& name) override { name_ = name; }
    quint32 BaudRate() const override { return log_.baud; }
    void SetBaudRate(quint32 baud) override { log_.baud = baud; }
    bool IsOpen() const override { return log_.open; }
    bool SendData(const QByteArray& bytes) override {
        log_.sent << bytes;
        const QByteArray reply = log_.Reply ? log_.Reply(bytes) : QByteArray();
        if (!reply.isEmpty()) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [this, alive = alive_, reply] {
                    if (*alive && OnReceiveData)
                        OnReceiveData(reply);
                },
                Qt::QueuedConnection);
        }
        return true;
    }

private:
    Log& log_;
    QString name_;
    // An answer still queued when the window and its port are gone is dropped.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A port that opens and swallows every request: for tests that feed the reply routing
// themselves.
class SilentPort : public ScriptedPort {
public:
    SilentPort() : SilentPort(std::make_unique<Log>()) {}

private:
    explicit SilentPort(std::unique_ptr<Log> log) : ScriptedPort(*log), log_(std::move(log)) {}
    std::unique_ptr<Log> log_;
};

// Appends the CRC to a reply body.
inline QByteArray WithCrc(QByteArray body) {
    return body + ModbusCrcBytes(body, body.size());
}

// A well-behaved meter: zero registers and bits, echoes of writes.
inline QByteArray ZeroMeterReply(const QByteArray& req) {
    if (req.size() < 8)
        return {};
    const auto fn = quint8(req[1]);
    const int count = (quint8(req[4]) << 8) | quint8(req[5]);
    QByteArray body = req.left(2);
    if (fn == 0x01 || fn == 0x02) {
        body += char((count + 7) / 8);
        body += QByteArray((count + 7) / 8, '\0');
    } else if (fn == 0x03) {
        body += char(count * 2);
        body += QByteArray(count * 2, '\0');
    } else {
        body = req.left(6);
    }
    return WithCrc(body);
}
