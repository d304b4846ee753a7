#include "LineEvents.h"

quint32 LineErrorFlags(const LineCounters& before, const LineCounters& after) {
    quint32 flags = 0;
    if (after.bufferOverrun != before.bufferOverrun)
        flags |= LineErrorBits::ReceiveQueueOverflow;
    if (after.overrun != before.overrun)
        flags |= LineErrorBits::Overrun;
    if (after.parity != before.parity)
        flags |= LineErrorBits::Parity;
    if (after.frame != before.frame)
        flags |= LineErrorBits::Framing;
    if (after.brk != before.brk)
        flags |= LineErrorBits::Break;
    return flags;
}

quint32 ModemEventsFromCounters(const LineCounters& before, const LineCounters& after) {
    quint32 bits = 0;
    if (after.ring != before.ring)
        bits |= ModemEventBits::Ring;
    if (after.carrier != before.carrier || after.cts != before.cts)
        bits |= ModemEventBits::CarrierOrCts;
    if (after.dsr != before.dsr)
        bits |= ModemEventBits::Dsr;
    return bits;
}

quint32 ModemEventsFromStatus(quint32 before, quint32 after) {
    const quint32 changed = before ^ after;
    quint32 bits = 0;
    if ((after & ~before) & ModemStatusBits::Ring)
        bits |= ModemEventBits::Ring;
    if (changed & (ModemStatusBits::Carrier | ModemStatusBits::Cts))
        bits |= ModemEventBits::CarrierOrCts;
    if (changed & ModemStatusBits::Dsr)
        bits |= ModemEventBits::Dsr;
    return bits;
}
