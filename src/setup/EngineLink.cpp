#include "EngineLink.h"

#include "MessageText.h"
#include "RequestService.h"
#include "TqvModbus.h"

#include <QEventLoop>

namespace {

// Why a request got no good reply: the meter's exception, nothing at all, or bytes that
// made no reply (a request that never went out counts as unanswered).
LinkFailure FailureOf(const RequestOutcome& o) {
    switch (o.kind) {
    case RequestOutcome::Kind::Answered:
        return {};
    case RequestOutcome::Kind::Exception:
        return {LinkFailure::Kind::Exception, o.exception};
    case RequestOutcome::Kind::Broken:
        return {LinkFailure::Kind::Damaged, 0};
    case RequestOutcome::Kind::NoReply:
    case RequestOutcome::Kind::Cancelled:
        break;
    }
    return {o.received.isEmpty() ? LinkFailure::Kind::NoReply : LinkFailure::Kind::Damaged, 0};
}

std::unique_ptr<TqvModbus> OpenEngine(const QString& port, quint32 baud, quint32 intervalMs,
                                      quint32 timeoutMs) {
    auto e = std::make_unique<TqvModbus>(nullptr);
    e->SetOpenSettleMs(0);
    e->SetTraceModemStatus(false); // a direct line: no modem watcher thread
    e->SetReopenPollMs(0);
    e->SetQueryInterval(intervalMs);
    e->SetQueryTimeout(timeoutMs);
    // A failure is the meter's answer here ("no answer"), not an operator's error box.
    e->OnOperatorError = [](const QString&, const QString&) {};
    e->Open(port, baud);
    return e;
}

} // namespace

EngineLink::EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs)
    : ownEngine_(OpenEngine(port, baud, intervalMs, timeoutMs)),
      ownRequests_(std::make_unique<RequestService>(*ownEngine_)), requests_(*ownRequests_) {}

EngineLink::EngineLink(RequestService& requests) : requests_(requests) {}

EngineLink::~EngineLink() {
    if (ownEngine_) {
        ownEngine_->StopQuery();
        ownEngine_->Close();
    }
}

bool EngineLink::CanBorrow(const RequestService& requests) {
    return requests.Engine().PortOpen() && !requests.Engine().CycleBusy();
}

RequestOutcome EngineLink::Transact(QByteArray message, int address) {
    // The slave address in front, as the poll schedule puts it.
    message = WithSlaveAddress(QString::fromLatin1(message), address).toLatin1();
    RequestOutcome outcome;
    bool ended = false;
    QEventLoop loop;
    // A failed request is the meter's answer here, not a line fault of the poll: it never
    // reaches the main window's counters and beep. A lost line ends it too.
    requests_.Submit(message, [&](const RequestOutcome& o) {
        outcome = o;
        ended = true;
        loop.quit();
    });
    if (!ended)
        loop.exec();
    failure_ = FailureOf(outcome);
    heard_ += outcome.Answered() || !outcome.received.isEmpty() ? 1 : 0;
    return outcome;
}

std::optional<QList<quint16>> EngineLink::Read(int address, quint16 start, int count) {
    const RequestOutcome r = Transact(ReadMessage(start, quint16(count)).toLatin1(), address);
    if (!r.Answered())
        return std::nullopt;
    if (r.event != RequestOutcome::Event::F03 || r.start != start || r.registers.size() != count) {
        failure_ = {LinkFailure::Kind::Damaged, 0};
        return std::nullopt;
    }
    return r.registers;
}

bool EngineLink::Write(int address, const QString& message) {
    const quint16 start = quint16(message.mid(6, 5).remove(QLatin1Char(',')).toUInt(nullptr, 16));
    const RequestOutcome r = Transact(message.toLatin1(), address);
    if (!r.Answered())
        return false;
    if (r.event != RequestOutcome::Event::F10 || r.start != start) {
        failure_ = {LinkFailure::Kind::Damaged, 0};
        return false;
    }
    return true;
}

void EngineLink::FollowBaudRate(quint32 baud) {
    requests_.Engine().SetBaudRate(baud);
}
