#include "RtuFrame.h"

#include "Crc16.h"

#include <charconv>
#include <optional>

namespace {

// Replies the meter sends for coil, input and register reads are capped here; the
// long reads (0x83, 0xC3) carry their own, much larger cap.
constexpr int kShortReadLimit = 260;
constexpr int kLongReadLimit = 65543;

quint8 ByteAt(const QByteArray& bytes, qsizetype pos) {
    return quint8(bytes[pos]);
}

// The two digits of one byte field. The separator after them is never looked at, so
// "00;03 01" reads the same as "00,03,01".
std::optional<quint8> FieldValue(const char* digits) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(digits, digits + 2, value, 16);
    if (ec != std::errc() || end != digits + 2)
        return std::nullopt;
    return quint8(value);
}

bool IsCoilValue(quint16 value) {
    return value == 0x0000 || value == 0xFF00;
}

// A (hi, lo) pair as one word.
quint16 WordAt(const QByteArray& bytes, qsizetype pos) {
    return quint16((ByteAt(bytes, pos) << 8) | ByteAt(bytes, pos + 1));
}

} // namespace

int ExpectedReplyLength(const QByteArray& request) {
    if (request.size() < 2)
        return -1;
    const quint8 function = ByteAt(request, 1);
    if (function == 0x91)
        return 4;
    if (function == 0xC4)
        return 7;
    if (request.size() < 6)
        return -1;
    const int q = WordAt(request, 4);
    switch (function) {
    case 0x01:
    case 0x02:
        return (q + 7) / 8 + 5;
    case 0x03:
    case 0x04:
        return 2 * q + 5;
    case 0x05:
    case 0x85:
    case 0x06:
    case 0x10:
    case 0xB0:
        return 8;
    case 0xC5:
        return 0;
    case 0x83:
        return 2 * q + 8;
    case 0xC3:
        return 2 * q + 10;
    default:
        return -1;
    }
}

bool ParseMessage(const QByteArray& message, ParsedMessage& out) {
    out = ParsedMessage{};

    const qsizetype count = (message.size() + 1) / 3;
    QByteArray bytes;
    bytes.reserve(count);
    for (qsizetype k = 0; k < count; ++k) {
        const auto value = FieldValue(message.constData() + 3 * k);
        if (!value)
            return false;
        bytes.append(char(*value));
    }
    if (bytes.size() < 4)
        return false;

    const quint8 function = ByteAt(bytes, 1);
    int requestLength = 8;
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x83:
    case 0xC3: {
        const int limit = (function == 0x83 || function == 0xC3) ? kLongReadLimit : kShortReadLimit;
        if (bytes.size() < 8 || ExpectedReplyLength(bytes) > limit)
            return false;
        break;
    }
    case 0x05:
    case 0x85:
    case 0xC5:
        if (bytes.size() < 8 || !IsCoilValue(WordAt(bytes, 4)))
            return false;
        break;
    case 0x06:
        if (bytes.size() < 8)
            return false;
        break;
    case 0x10:
    case 0xB0:
        // The quantity is compared as a full word, so a high quantity byte other than
        // zero can never match the one-byte count.
        if (bytes.size() < 9 || 2 * int(WordAt(bytes, 4)) != ByteAt(bytes, 6))
            return false;
        requestLength = ByteAt(bytes, 6) + 9;
        break;
    case 0x91:
        if (bytes.size() < 5)
            return false;
        requestLength = ByteAt(bytes, 2) + 5;
        break;
    case 0xC4:
        requestLength = 4;
        break;
    default:
        return false;
    }
    if (bytes.size() < requestLength)
        return false;

    bytes.truncate(requestLength);
    out.expectedLength = ExpectedReplyLength(bytes);
    out.requestLength = requestLength;
    out.bytes = bytes;
    return true;
}

ParsedMessage MakeRequestFrame(const QByteArray& message) {
    ParsedMessage frame;
    if (!ParseMessage(message, frame))
        return frame;
    // Whatever the message carried in its last two fields is replaced by the CRC.
    const qsizetype crcPos = frame.requestLength - 2;
    frame.bytes.replace(crcPos, 2, ModbusCrcBytes(frame.bytes, crcPos));
    return frame;
}

bool LocateReply(const QByteArray& request, const QByteArray& received, int expectedLength,
                 QByteArray& reply) {
    reply.clear();
    if (request.size() < 2 || expectedLength < 4 || received.size() < expectedLength)
        return false;

    // Line noise or the tail of an earlier reply may sit in front of the answer; skip it
    // as long as enough bytes remain behind it to hold a whole reply.
    qsizetype start = 0;
    while (received[start] != request[0] || received[start + 1] != request[1]) {
        if (received.size() - start <= expectedLength)
            return false;
        ++start;
    }

    // Only the first matching position is tried: a damaged reply is not rescued by a
    // later copy, which may well be an echo or another station's traffic.
    const QByteArray candidate = received.mid(start, expectedLength);
    const qsizetype crcPos = expectedLength - 2;
    if (ModbusCrcBytes(candidate, crcPos) != candidate.mid(crcPos))
        return false;
    reply = candidate;
    return true;
}

bool FindReply(const QByteArray& request, const QByteArray& received, int expectedLength,
               QByteArray& reply) {
    reply.clear();
    if (request.size() < 2 || expectedLength < 4)
        return false;
    const qsizetype crcPos = expectedLength - 2;
    for (qsizetype start = 0; start + expectedLength <= received.size(); ++start) {
        if (received[start] != request[0] || received[start + 1] != request[1])
            continue;
        const QByteArray candidate = received.mid(start, expectedLength);
        if (ModbusCrcBytes(candidate, crcPos) == candidate.mid(crcPos) &&
            CheckReplyFields(request, candidate)) {
            reply = candidate;
            return true;
        }
    }
    return false;
}

bool CheckReplyFields(const QByteArray& request, const QByteArray& reply) {
    // A reply too short for what the request asked for would be unpacked past its end.
    const int length = ExpectedReplyLength(request);
    if (length < 4 || reply.size() < length)
        return false;

    const quint8 function = ByteAt(request, 1);
    switch (function) {
    case 0x01:
    case 0x02:
        return ByteAt(reply, 2) == (WordAt(request, 4) + 7) / 8;
    case 0x03:
    case 0x04:
        return ByteAt(reply, 2) == 2 * WordAt(request, 4);
    case 0x05:
    case 0x06:
    case 0x10:
    case 0x85:
    case 0xB0:
        return reply.mid(2, 4) == request.mid(2, 4);
    case 0x83:
        return WordAt(reply, 2) == WordAt(request, 2) && WordAt(reply, 4) == 2 * WordAt(request, 4);
    case 0xC3:
        return WordAt(reply, 2) == 2 * WordAt(request, 4) + 4;
    case 0x91:
    case 0xC4:
        return true;
    default:
        return false;
    }
}

std::optional<quint8> FindExceptionReply(const QByteArray& request, const QByteArray& received) {
    if (request.size() < 2)
        return std::nullopt;
    constexpr qsizetype kExceptionLength = 5;
    for (qsizetype i = 0; i + kExceptionLength <= received.size(); ++i) {
        if (received[i] != request[0] || ByteAt(received, i + 1) != (ByteAt(request, 1) | 0x80))
            continue;
        if (ModbusCrcBytes(received.mid(i, 3), 3) == received.mid(i + 3, 2))
            return ByteAt(received, i + 2);
    }
    return std::nullopt;
}
