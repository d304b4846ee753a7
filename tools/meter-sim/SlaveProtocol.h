#pragma once

#include "MeterModel.h"

#include <cstdint>
#include <span>
#include <vector>

// What the meter does with one received frame.
struct SlaveOutcome {
    enum Kind {
        Ignored,   // not for us: too short, bad CRC or another address
        Broadcast, // executed for address 0, never answered
        Reply,     // a normal reply
        Exception, // an exception reply
    };
    Kind kind = Ignored;
    std::vector<std::uint8_t> reply; // complete frame with CRC for Reply and Exception
};

// The meter's Modbus RTU slave side: checks a complete frame, executes it on
// the model and builds the reply. The reply goes out with the address the
// request was sent to, so a write that changes the meter's address is still
// answered at the old one.
class SlaveProtocol {
public:
    explicit SlaveProtocol(MeterModel& meter) : meter_(meter) {}

    SlaveOutcome handle(std::span<const std::uint8_t> frame);

private:
    MeterError execute(std::span<const std::uint8_t> frame, std::vector<std::uint8_t>& pdu);

    MeterModel& meter_;
};

// Appends the two CRC bytes (low byte first) to a frame.
void AppendCrc(std::vector<std::uint8_t>& frame);
// True when the last two bytes are the CRC of the rest.
bool HasValidCrc(std::span<const std::uint8_t> frame);
