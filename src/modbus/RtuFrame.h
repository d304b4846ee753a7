#pragma once

#include <QByteArray>

#include <optional>

// A message string ("00,03,01,30,00,36,00,00") parsed into request bytes.
struct ParsedMessage {
    QByteArray bytes;       // the request bytes, cut to requestLength
    int requestLength = 8;  // bytes on the wire, CRC included
    int expectedLength = 8; // reply bytes expected, CRC included; 0 = no reply
};

// Parses a message string by the function-code table. False for an invalid message,
// and then `out` holds an empty frame with requestLength 8 and expectedLength 8.
// Never throws; any input is safe.
bool ParseMessage(const QByteArray& message, ParsedMessage& out);

// ParseMessage, then the CRC over bytes 0 .. requestLength-3 written into the last two
// bytes (low byte first). An invalid message gives the empty frame with 8 and 8.
ParsedMessage MakeRequestFrame(const QByteArray& message);

// Reply bytes (CRC included) that a request frame calls for by its function code and
// quantity: 0 for a request that gets no reply, -1 for an unknown function code or a
// request too short to name its quantity. Unlike ParseMessage it applies no limits.
int ExpectedReplyLength(const QByteArray& request);

// Searches the received bytes for the reply to `request`: skips leading bytes while the
// address and function code do not match and more than expectedLength bytes remain;
// the first match is final and must carry a correct CRC. On success `reply` holds
// exactly expectedLength bytes. False for a request of fewer than 2 bytes, for
// expectedLength < 4, or when fewer than expectedLength bytes were received.
bool LocateReply(const QByteArray& request, const QByteArray& received, int expectedLength,
                 QByteArray& reply);

// Looks for the reply to `request` anywhere in what arrived once the line fell silent:
// the first place where expectedLength bytes start with the request's address and
// function code, carry a correct CRC and agree with the request (CheckReplyFields).
// Unlike LocateReply a damaged or cut frame in front does not end the search, so a reply
// behind junk that happened to look like its start is still found. False, with `reply`
// empty, when there is none.
bool FindReply(const QByteArray& request, const QByteArray& received, int expectedLength,
               QByteArray& reply);

// True when the located reply's byte count or echoed fields agree with the request.
// False when either is too short to hold the fields compared, and when the reply is
// shorter than ExpectedReplyLength(request), so that an accepted reply can always be
// unpacked in full.
bool CheckReplyFields(const QByteArray& request, const QByteArray& reply);

// The exception code of a meter that refused `request`: somewhere in what arrived, its
// address, its function code with the top bit set, the code and a correct CRC. Nothing
// when there is no such reply, or no request went out.
std::optional<quint8> FindExceptionReply(const QByteArray& request, const QByteArray& received);
