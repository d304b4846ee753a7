// Any text as a message string: the frame is either the empty 8/8 frame or a frame of
// exactly its request length that checks to a zero CRC.
#include "Crc16.h"
#include "RtuFrame.h"

#include <cstdlib>

namespace {

void Require(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray message(reinterpret_cast<const char*>(data), qsizetype(size));
    ParsedMessage parsed;
    const bool valid = ParseMessage(message, parsed);
    const ParsedMessage frame = MakeRequestFrame(message);

    if (!valid) {
        Require(parsed.bytes.isEmpty() && frame.bytes.isEmpty());
        Require(parsed.requestLength == 8 && parsed.expectedLength == 8);
        Require(frame.requestLength == 8 && frame.expectedLength == 8);
        return 0;
    }

    const qsizetype fields = (message.size() + 1) / 3;
    Require(frame.requestLength >= 4 && frame.requestLength <= fields);
    Require(frame.bytes.size() == frame.requestLength);
    Require(parsed.bytes.size() == frame.requestLength);
    Require(frame.expectedLength == parsed.expectedLength);
    Require(frame.expectedLength == ExpectedReplyLength(frame.bytes));
    Require(frame.expectedLength >= 0 && frame.expectedLength <= 65543);
    const quint8 function = quint8(frame.bytes[1]);
    if (function >= 0x01 && function <= 0x04)
        Require(frame.expectedLength <= 260);

    // Only the CRC differs from the parsed bytes, and the whole frame checks to zero.
    Require(frame.bytes.chopped(2) == parsed.bytes.chopped(2));
    Require(ModbusCrc16(reinterpret_cast<const std::uint8_t*>(frame.bytes.constData()),
                        std::size_t(frame.bytes.size())) == 0);

    // Hex digits are read without regard to case; separators are never looked at.
    Require(MakeRequestFrame(message.toUpper()).bytes == frame.bytes);
    return 0;
}
