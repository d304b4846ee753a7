#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// A Modbus TCP gateway carries a request as its protocol data unit behind a 7-byte header
// (MBAP: transaction identifier, protocol 0, length of what follows, unit identifier), with
// no CRC; the unit identifier is the meter's address on the gateway's serial side.

constexpr int kMbapHeaderSize = 7;
// The longest unit identifier plus protocol data unit a header may announce (the RTU frame's
// 256 bytes without address and CRC, plus the unit identifier).
constexpr int kMbapMaxLength = 254;

// The RTU request `rtu` (address, PDU, CRC) as a Modbus TCP request under `transaction`;
// empty when `rtu` is too short to hold an address, a function code and a CRC.
QByteArray RtuToMbap(const QByteArray& rtu, quint16 transaction);

struct MbapHeader {
    quint16 transaction = 0;
    quint16 protocol = 0;
    quint16 length = 0; // unit identifier and PDU
    quint8 unit = 0;
    // The whole frame's size: header and PDU.
    int FrameSize() const { return kMbapHeaderSize - 1 + length; }
};

// The header at the start of `bytes`; nothing while fewer than 7 bytes are there.
std::optional<MbapHeader> PeekMbapHeader(const QByteArray& bytes);

// What a complete frame from the gateway is, judged against the request it should answer.
enum class MbapVerdict {
    Reply,     // ours: the RTU form is in `rtu`
    Stray,     // whole, but another transaction's, protocol's or unit's: dropped
    Oversized, // the header announces more than any Modbus frame holds
};

// Judges one complete frame (`frame` exactly header->FrameSize() bytes long, or only the
// header for Oversized) against the transaction and unit awaited; a reply comes back as the
// RTU frame with its CRC, so the master judges it as from a serial line.
MbapVerdict JudgeMbapFrame(const QByteArray& frame, quint16 transaction, quint8 unit,
                           QByteArray* rtu);
