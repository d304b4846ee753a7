#include "MbapFrame.h"

#include "Crc16.h"

namespace {
quint16 Word(const QByteArray& b, int at) {
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}
void PutWord(QByteArray& b, quint16 v) {
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}
} // namespace

QByteArray RtuToMbap(const QByteArray& rtu, quint16 transaction) {
    // Address, function code and the two CRC bytes at least.
    if (rtu.size() < 4 || rtu.size() - 2 > kMbapMaxLength)
        return {};
    const QByteArray unitAndPdu = rtu.left(rtu.size() - 2);
    QByteArray out;
    out.reserve(kMbapHeaderSize - 1 + unitAndPdu.size());
    PutWord(out, transaction);
    PutWord(out, 0);
    PutWord(out, quint16(unitAndPdu.size()));
    out.append(unitAndPdu);
    return out;
}

std::optional<MbapHeader> PeekMbapHeader(const QByteArray& bytes) {
    if (bytes.size() < kMbapHeaderSize)
        return std::nullopt;
    MbapHeader h;
    h.transaction = Word(bytes, 0);
    h.protocol = Word(bytes, 2);
    h.length = Word(bytes, 4);
    h.unit = quint8(bytes[6]);
    return h;
}

MbapVerdict JudgeMbapFrame(const QByteArray& frame, quint16 transaction, quint8 unit,
                           QByteArray* rtu) {
    const std::optional<MbapHeader> h = PeekMbapHeader(frame);
    // A unit identifier and a function code at least; at most what an RTU frame holds.
    if (!h || h->length > kMbapMaxLength)
        return MbapVerdict::Oversized;
    if (h->length < 2 || frame.size() != h->FrameSize() || h->protocol != 0 ||
        h->transaction != transaction || h->unit != unit)
        return MbapVerdict::Stray;
    if (rtu) {
        *rtu = frame.mid(kMbapHeaderSize - 1);
        rtu->append(ModbusCrcBytes(*rtu, rtu->size()));
    }
    return MbapVerdict::Reply;
}
