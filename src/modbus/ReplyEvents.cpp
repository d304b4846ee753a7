#include "ReplyEvents.h"

#include "RtuFrame.h"

namespace {

quint8 ByteAt(const QByteArray& bytes, qsizetype pos) {
    return quint8(bytes[pos]);
}

quint16 WordAt(const QByteArray& bytes, qsizetype pos) {
    return quint16((ByteAt(bytes, pos) << 8) | ByteAt(bytes, pos + 1));
}

// Coils and inputs come packed eight to a byte, lowest-numbered in bit 0.
QList<bool> UnpackBits(const QByteArray& reply, qsizetype first, int count) {
    QList<bool> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append((ByteAt(reply, first + i / 8) >> (i % 8)) & 1);
    return values;
}

QList<quint16> UnpackWords(const QByteArray& reply, qsizetype first, int count) {
    QList<quint16> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(WordAt(reply, first + 2 * qsizetype(i)));
    return values;
}

} // namespace

void RaiseReplyEvent(TqvModbus* sender, const TqvModbusEvents& events, const QByteArray& request,
                     const QByteArray& reply) {
    // The counts come from the request, so a reply shorter than the request calls for is
    // never unpacked, whoever passed it in.
    const int length = ExpectedReplyLength(request);
    if (length < 4 || reply.size() < length)
        return;

    const quint8 slave = ByteAt(request, 0);
    switch (ByteAt(request, 1)) {
    case 0x01:
        if (events.OnF01Response)
            events.OnF01Response(sender, slave, WordAt(request, 2),
                                 UnpackBits(reply, 3, WordAt(request, 4)));
        break;
    case 0x02:
        if (events.OnF02Response)
            events.OnF02Response(sender, slave, WordAt(request, 2),
                                 UnpackBits(reply, 3, WordAt(request, 4)));
        break;
    case 0x03:
    case 0x04:
        if (events.OnF03Response)
            events.OnF03Response(sender, slave, WordAt(request, 2),
                                 UnpackWords(reply, 3, WordAt(request, 4)));
        break;
    case 0x83:
        if (events.OnF03Response)
            events.OnF03Response(sender, slave, WordAt(request, 2),
                                 UnpackWords(reply, 6, WordAt(request, 4)));
        break;
    case 0x05:
    case 0x85:
        if (events.OnF05Response)
            events.OnF05Response(sender, slave, WordAt(request, 2), WordAt(reply, 4) == 0xFF00);
        break;
    case 0x06:
    case 0x10:
    case 0xB0:
        // For a single register (0x06) the "count" is the value that was written.
        if (events.OnF10Response)
            events.OnF10Response(sender, slave, WordAt(request, 2), WordAt(request, 4));
        break;
    case 0xC3:
        if (events.OnFC3Response)
            events.OnFC3Response(sender, slave, WordAt(reply, 4), WordAt(reply, 6),
                                 UnpackWords(reply, 8, WordAt(request, 4)));
        break;
    case 0xC4:
        // The status reply names the device's own address; report that one, not the
        // address the request went to.
        if (events.OnFC4Response)
            events.OnFC4Response(sender, ByteAt(reply, 2), WordAt(reply, 3));
        break;
    default:
        // 0x91 and 0xC5 carry nothing the program uses.
        break;
    }
}
