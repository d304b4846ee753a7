#include "SlaveProtocol.h"

#include "Crc16.h"

namespace {

std::uint16_t Word(std::span<const std::uint8_t> f, std::size_t at) {
    return static_cast<std::uint16_t>((f[at] << 8) | f[at + 1]);
}

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

void PutBits(std::vector<std::uint8_t>& out, const std::vector<bool>& bits) {
    const std::size_t bytes = (bits.size() + 7) / 8;
    out.push_back(static_cast<std::uint8_t>(bytes));
    for (std::size_t b = 0; b < bytes; ++b) {
        std::uint8_t v = 0;
        for (std::size_t k = 0; k < 8 && 8 * b + k < bits.size(); ++k)
            if (bits[8 * b + k])
                v |= static_cast<std::uint8_t>(1u << k);
        out.push_back(v);
    }
}

// Standard limits of the request quantities.
constexpr std::uint16_t MaxReadBits = 2000;
constexpr std::uint16_t MaxReadRegisters = 125;
constexpr std::uint16_t MaxWriteRegisters = 123;

} // namespace

void AppendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = ModbusCrc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

bool HasValidCrc(std::span<const std::uint8_t> frame) {
    if (frame.size() < 3)
        return false;
    const std::size_t n = frame.size() - 2;
    const std::uint16_t crc = ModbusCrc16(frame.data(), n);
    return frame[n] == (crc & 0xFF) && frame[n + 1] == (crc >> 8);
}

SlaveOutcome SlaveProtocol::handle(std::span<const std::uint8_t> frame) {
    SlaveOutcome outcome;
    // Address, function and CRC at the least.
    if (frame.size() < 4 || !HasValidCrc(frame))
        return outcome;
    const std::uint8_t address = frame[0];
    if (address != 0 && address != meter_.address())
        return outcome;

    const std::span<const std::uint8_t> body = frame.first(frame.size() - 2);
    std::vector<std::uint8_t> pdu;
    const MeterError error = execute(body, pdu);
    if (address == 0) {
        outcome.kind = SlaveOutcome::Broadcast;
        return outcome;
    }
    outcome.reply = {address};
    if (error == MeterError::None) {
        outcome.kind = SlaveOutcome::Reply;
        outcome.reply.insert(outcome.reply.end(), pdu.begin(), pdu.end());
    } else {
        outcome.kind = SlaveOutcome::Exception;
        outcome.reply.push_back(static_cast<std::uint8_t>(body[1] | 0x80));
        outcome.reply.push_back(static_cast<std::uint8_t>(error));
    }
    AppendCrc(outcome.reply);
    return outcome;
}

// `f` is the frame without its CRC; `pdu` receives the reply after the address.
MeterError SlaveProtocol::execute(std::span<const std::uint8_t> f, std::vector<std::uint8_t>& pdu) {
    const std::uint8_t function = f[1];
    const bool broadcast = f[0] == 0;
    pdu.push_back(function);
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03: {
        if (f.size() != 6)
            return MeterError::IllegalValue;
        // Reads make no sense without a reply.
        if (broadcast)
            return MeterError::None;
        const std::uint16_t start = Word(f, 2), count = Word(f, 4);
        if (function == 0x03) {
            if (count == 0 || count > MaxReadRegisters)
                return MeterError::IllegalValue;
            std::vector<std::uint16_t> regs;
            if (auto e = meter_.readRegisters(start, count, regs); e != MeterError::None)
                return e;
            pdu.push_back(static_cast<std::uint8_t>(2 * regs.size()));
            for (std::uint16_t r : regs)
                PutWord(pdu, r);
            return MeterError::None;
        }
        if (count == 0 || count > MaxReadBits)
            return MeterError::IllegalValue;
        std::vector<bool> bits;
        const MeterError e = function == 0x01 ? meter_.readCoils(start, count, bits)
                                              : meter_.readInputs(start, count, bits);
        if (e != MeterError::None)
            return e;
        PutBits(pdu, bits);
        return MeterError::None;
    }
    case 0x05: {
        if (f.size() != 6)
            return MeterError::IllegalValue;
        const std::uint16_t value = Word(f, 4);
        if (value != 0x0000 && value != 0xFF00)
            return MeterError::IllegalValue;
        if (auto e = meter_.writeCoil(Word(f, 2), value == 0xFF00); e != MeterError::None)
            return e;
        pdu.insert(pdu.end(), f.begin() + 2, f.begin() + 6);
        return MeterError::None;
    }
    case 0x06: {
        if (f.size() != 6)
            return MeterError::IllegalValue;
        const std::uint16_t value = Word(f, 4);
        if (auto e = meter_.writeRegisters(Word(f, 2), std::span(&value, 1)); e != MeterError::None)
            return e;
        pdu.insert(pdu.end(), f.begin() + 2, f.begin() + 6);
        return MeterError::None;
    }
    case 0x10:
    case 0xB0: {
        if (f.size() < 7)
            return MeterError::IllegalValue;
        const std::uint16_t start = Word(f, 2), count = Word(f, 4);
        const std::size_t bytes = f[6];
        if (count == 0 || count > MaxWriteRegisters || bytes != 2u * count || f.size() != 7 + bytes)
            return MeterError::IllegalValue;
        std::vector<std::uint16_t> values(count);
        for (std::size_t k = 0; k < count; ++k)
            values[k] = Word(f, 7 + 2 * k);
        const MeterError e = function == 0x10 ? meter_.writeRegisters(start, values)
                                              : meter_.writeCoefficients(start, values);
        if (e != MeterError::None)
            return e;
        pdu.insert(pdu.end(), f.begin() + 2, f.begin() + 6);
        return MeterError::None;
    }
    default:
        return MeterError::IllegalFunction;
    }
}
