// An arbitrary request and an arbitrary receive buffer, cut from one input: the first
// byte gives the request length, the next two the expected reply length (signed), then
// the request, then whatever the line delivered. Nothing may read out of bounds, a
// located reply must be a whole reply to that request, and an event may only carry as
// many values as the request asked for.
#include "Crc16.h"
#include "ReplyEvents.h"
#include "RtuFrame.h"

#include <cstdlib>

namespace {

void Require(bool ok) {
    if (!ok)
        std::abort();
}

quint16 Quantity(const QByteArray& request) {
    return request.size() < 6 ? 0 : quint16((quint8(request[4]) << 8) | quint8(request[5]));
}

// Raises the reply's event with every handler assigned; returns how many were raised.
int RaiseChecked(const QByteArray& request, const QByteArray& reply) {
    int raised = 0;
    const qsizetype q = Quantity(request);
    TqvModbusEvents events;
    auto bits = [&](TqvModbus*, quint8, quint16, QList<bool> values) {
        ++raised;
        Require(values.size() == q);
    };
    auto words = [&](TqvModbus*, quint8, quint16, QList<quint16> values) {
        ++raised;
        Require(values.size() == q);
    };
    events.OnF01Response = bits;
    events.OnF02Response = bits;
    events.OnF03Response = words;
    events.OnF05Response = [&](TqvModbus*, quint8, quint16, bool) { ++raised; };
    events.OnF10Response = [&](TqvModbus*, quint8, quint16, quint16) { ++raised; };
    events.OnFC3Response = [&](TqvModbus*, quint8, quint16, quint16, QList<quint16> values) {
        ++raised;
        Require(values.size() == q);
    };
    events.OnFC4Response = [&](TqvModbus*, quint8, quint16) { ++raised; };
    RaiseReplyEvent(nullptr, events, request, reply);
    Require(raised <= 1);
    return raised;
}

bool HasEvent(quint8 function) {
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x83:
    case 0x05:
    case 0x85:
    case 0x06:
    case 0x10:
    case 0xB0:
    case 0xC3:
    case 0xC4:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const qsizetype requestLength = qMin<qsizetype>(data[0], qsizetype(size) - 3);
    const int expectedLength = qint16((data[1] << 8) | data[2]);
    const char* rest = reinterpret_cast<const char*>(data + 3);
    // Qt's index checks are compiled into this target, so a read past the end of either
    // array aborts even where the allocation has room behind it.
    const QByteArray request(rest, requestLength);
    const QByteArray received(rest + requestLength, qsizetype(size) - 3 - requestLength);

    QByteArray reply;
    if (LocateReply(request, received, expectedLength, reply)) {
        Require(reply.size() == expectedLength && received.contains(reply));
        Require(reply[0] == request[0] && reply[1] == request[1]);
        Require(ModbusCrc16(reinterpret_cast<const std::uint8_t*>(reply.constData()),
                            std::size_t(reply.size())) == 0);
    } else {
        Require(reply.isEmpty());
    }

    // An accepted reply always unpacks into its event; anything else may raise nothing
    // but must stay in bounds.
    for (const QByteArray& candidate : {reply, received}) {
        const bool accepted = CheckReplyFields(request, candidate);
        const int raised = RaiseChecked(request, candidate);
        if (accepted)
            Require(raised == (HasEvent(quint8(request[1])) ? 1 : 0));
    }
    return 0;
}
