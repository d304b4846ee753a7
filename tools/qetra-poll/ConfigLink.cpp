#include "ConfigLink.h"

#include "PollOptions.h"
#include "TqvModbus.h"

#include <QEventLoop>

EngineLink::EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs)
    : engine_(std::make_unique<TqvModbus>(nullptr)) {
    TqvModbus& e = *engine_;
    e.SetOpenSettleMs(0);
    e.SetTraceModemStatus(false); // a direct line: no modem watcher thread
    e.SetReopenPollMs(0);
    e.SetQueryInterval(intervalMs);
    e.SetQueryTimeout(timeoutMs);
    // A failure is the meter's answer here ("no answer"), not an operator's error box.
    e.OnOperatorError = [](const QString&, const QString&) {};
    e.Open(port, baud);
}

EngineLink::~EngineLink() {
    engine_->StopQuery();
    engine_->Close();
}

EngineLink::Reply EngineLink::Transact(const QByteArray& message) {
    TqvModbus& e = *engine_;
    Reply reply;
    QEventLoop loop;
    e.OnQueryData = [&](TqvModbus* s) { s->SetQueryMessage(message); };
    e.OnF03Response = [&](TqvModbus*, quint8, quint16 start, QList<quint16> values) {
        reply = {true, start, values};
    };
    e.OnF10Response = [&](TqvModbus*, quint8, quint16 start, quint16) {
        reply = {true, start, {}};
    };
    // One transaction: the cycle stops after it, and its end ends the wait (a lost line
    // ends it too).
    e.OnAfterResponse = [](TqvModbus* s) { s->StopQuery(); };
    bool finished = false;
    e.OnQueryFinish = [&](TqvModbus*) {
        finished = true;
        loop.quit();
    };
    if (e.StartQuery() && !finished)
        loop.exec();
    e.OnQueryData = nullptr;
    e.OnF03Response = nullptr;
    e.OnF10Response = nullptr;
    e.OnAfterResponse = nullptr;
    e.OnQueryFinish = nullptr;
    return reply;
}

std::optional<QList<quint16>> EngineLink::Read(int address, quint16 start, int count) {
    const QByteArray message = QStringLiteral("00,03,%1,%2,%3,%4,00,00")
                                   .arg(start >> 8, 2, 16, QLatin1Char('0'))
                                   .arg(start & 0xFF, 2, 16, QLatin1Char('0'))
                                   .arg(count >> 8, 2, 16, QLatin1Char('0'))
                                   .arg(count & 0xFF, 2, 16, QLatin1Char('0'))
                                   .toUpper()
                                   .toLatin1();
    const Reply r = Transact(WithSlaveAddress(message, address));
    if (!r.answered || r.start != start || r.values.size() != count)
        return std::nullopt;
    return r.values;
}

bool EngineLink::Write(int address, const QString& message) {
    const quint16 start = quint16(message.mid(6, 5).remove(QLatin1Char(',')).toUInt(nullptr, 16));
    const Reply r = Transact(WithSlaveAddress(message.toLatin1(), address));
    return r.answered && r.start == start;
}

void EngineLink::FollowBaudRate(quint32 baud) {
    engine_->SetBaudRate(baud);
}
