#pragma once

#include "Crc16.h"
#include "ModbusPort.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

// A serial port for the main window's tests: it records what is opened and written, and
// answers each request with whatever Reply returns (nothing when it returns no bytes).
// The answer arrives from the event loop, as a real port's chunks do. It is posted, like
// the reader thread's chunks, so it is handled before the master's evaluation of the
// reply, which the response watcher posts later: a busy machine cannot turn a prompt
// answer into a missing one.
class ScriptedPort : public ModbusPort {
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

    explicit ScriptedPort(Log& log) : log_(log) {}
    ~ScriptedPort() override { *alive_ = false; }

    QString CommName() const override { return name_; }
    void SetCommName(const QString& name) override { name_ = name; }
    quint32 BaudRate() const override { return log_.baud; }
    void SetBaudRate(quint32 baud) override { log_.baud = baud; }
    void OpenPort() override {
        if (log_.failNextOpens) {
            ++log_.failedOpens;
            throw std::runtime_error("no such port");
        }
        log_.open = true;
        log_.opens << QStringLiteral("%1@%2").arg(name_).arg(log_.baud);
    }
    void ClosePort() override { log_.open = false; }
    bool IsOpen() const override { return log_.open; }
    bool SendData(const QByteArray& bytes) override {
        log_.sent << bytes;
        if (!log_.Reply)
            return true;
        const QByteArray reply = log_.Reply(bytes);
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
    quint32 ModemLineStatus() override { return 0; }

private:
    Log& log_;
    QString name_;
    // An answer still queued when the window and its port are gone is dropped.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
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

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// One QApplication for a test binary of windows (gtest's main creates none). It is
// destroyed before main() returns: torn down among the exit handlers it would outlive the
// platform plugin that its shown windows used.
class WidgetTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        // The expected texts use a full stop as decimal separator, whatever the machine's
        // own locale is.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "shell_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
