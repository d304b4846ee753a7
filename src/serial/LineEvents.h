#pragma once

#include "CommTypes.h"
#include "SerialDevice.h"

// What changed on the line between two samples of the driver's counters, as the flags
// of a receive error event (LineErrorBits).
quint32 LineErrorFlags(const LineCounters& before, const LineCounters& after);

// Modem line transitions between two counter samples, as ModemEventBits.
quint32 ModemEventsFromCounters(const LineCounters& before, const LineCounters& after);

// The same from two snapshots of the modem input lines (ModemStatusBits), for drivers
// that report the lines but keep no counters. A ring shows when the indicator comes on.
quint32 ModemEventsFromStatus(quint32 before, quint32 after);
