#include "EngineLink.h"

#include "Crc16.h"
#include "TqvModbus.h"

#include <QEventLoop>

namespace {

// Why a request got no good reply, from what arrived for it: an exception reply (the
// meter's address, the request's function with its top bit set, the code, a good CRC)
// anywhere in it, else nothing at all or bytes that made no reply.
LinkFailure FailureOf(const QByteArray& received, const QByteArray& message) {
    const quint8 address = quint8(message.left(2).toUInt(nullptr, 16));
    const quint8 function = quint8(message.mid(3, 2).toUInt(nullptr, 16));
    for (qsizetype i = 0; i + 5 <= received.size(); ++i) {
        const QByteArray frame = received.mid(i, 5);
        if (quint8(frame[0]) == address && quint8(frame[1]) == (function | 0x80) &&
            ModbusCrcBytes(frame, 3) == frame.right(2))
            return {LinkFailure::Kind::Exception, quint8(frame[2])};
    }
    return {received.isEmpty() ? LinkFailure::Kind::NoReply : LinkFailure::Kind::Damaged, 0};
}

} // namespace

EngineLink::EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs)
    : own_(std::make_unique<TqvModbus>(nullptr)), engine_(*own_) {
    TqvModbus& e = engine_;
    e.SetOpenSettleMs(0);
    e.SetTraceModemStatus(false); // a direct line: no modem watcher thread
    e.SetReopenPollMs(0);
    e.SetQueryInterval(intervalMs);
    e.SetQueryTimeout(timeoutMs);
    // A failure is the meter's answer here ("no answer"), not an operator's error box.
    e.OnOperatorError = [](const QString&, const QString&) {};
    e.Open(port, baud);
}

EngineLink::EngineLink(TqvModbus& engine) : engine_(engine) {}

EngineLink::~EngineLink() {
    if (own_) {
        own_->StopQuery();
        own_->Close();
    }
}

bool EngineLink::CanBorrow(const TqvModbus& engine) {
    return engine.PortOpen() && !engine.CycleBusy();
}

EngineLink::Reply EngineLink::Transact(QByteArray message, int address) {
    TqvModbus& e = engine_;
    // The slave address in front, as the poll schedule puts it.
    message.replace(0, 2, QByteArray::number(address, 16).rightJustified(2, '0').toUpper());
    Reply reply;
    QEventLoop loop;
    bool finished = false;

    // The engine's owner gets its handlers back however the request ends; its own error
    // handler stays out of it (a failed request here is the meter's answer, not a line
    // fault of the poll).
    const auto queryData = e.OnQueryData;
    const auto f03 = e.OnF03Response;
    const auto f10 = e.OnF10Response;
    const auto error = e.OnResponseError;
    const auto after = e.OnAfterResponse;
    const auto finish = e.OnQueryFinish;
    QByteArray received;
    e.OnQueryData = [&](TqvModbus* s) { s->SetQueryMessage(message); };
    e.OnF03Response = [&](TqvModbus*, quint8, quint16 start, QList<quint16> values) {
        reply = {true, start, values};
    };
    e.OnF10Response = [&](TqvModbus*, quint8, quint16 start, quint16) {
        reply = {true, start, {}};
    };
    e.OnResponseError = [](TqvModbus*) {};
    // One transaction: the cycle stops after it, and its end ends the wait (a lost line
    // ends it too).
    e.OnAfterResponse = [&](TqvModbus* s) {
        received = s->ReceiveBuffer();
        s->StopQuery();
    };
    e.OnQueryFinish = [&](TqvModbus*) {
        finished = true;
        loop.quit();
    };
    if (e.StartQuery() && !finished)
        loop.exec();
    e.OnQueryData = queryData;
    e.OnF03Response = f03;
    e.OnF10Response = f10;
    e.OnResponseError = error;
    e.OnAfterResponse = after;
    e.OnQueryFinish = finish;
    failure_ = reply.answered ? LinkFailure{} : FailureOf(received, message);
    heard_ += reply.answered || !received.isEmpty() ? 1 : 0;
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
    const Reply r = Transact(message, address);
    if (!r.answered || r.start != start || r.values.size() != count) {
        if (r.answered)
            failure_ = {LinkFailure::Kind::Damaged, 0};
        return std::nullopt;
    }
    return r.values;
}

bool EngineLink::Write(int address, const QString& message) {
    const quint16 start = quint16(message.mid(6, 5).remove(QLatin1Char(',')).toUInt(nullptr, 16));
    const Reply r = Transact(message.toLatin1(), address);
    if (r.answered && r.start != start)
        failure_ = {LinkFailure::Kind::Damaged, 0};
    return r.answered && r.start == start;
}

void EngineLink::FollowBaudRate(quint32 baud) {
    engine_.SetBaudRate(baud);
}
