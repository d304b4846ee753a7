#pragma once

#include "MeterConfigFile.h"

#include <QTimeZone>

// A configuration unlike the simulated meter's own: address 5, PT 10000/100, CT 200/5,
// pulse and relay outputs set, alarm groups 1 and 3 active. Needs qetra_setuplogic_config.
inline MeterConfiguration SampleConfiguration() {
    MeterConfiguration c;
    c.saved = QDateTime(QDate(2026, 12, 7), QTime(16, 40), QTimeZone::utc());
    c.program = ConfigProgramText();
    c.model = QStringLiteral("QETRA 7300");
    c.firmware = QStringLiteral("1.20");
    c.address = 5;
    // Access code, address, baud, wiring, PT1 (2), PT2, CT1, DO mode, DO1, DO2, pulse
    // width, pulse rate, RO1 mode and time, RO2 mode and time, backlight, demand window.
    c.settings = {0, 5, 9600, 0, 0, 0, 10000, 100, 200, 0, 1, 0, 4, 1000, 0, 500, 1, 1000, 5, 15};
    c.alarms = {0x0005, 2, 0x0001, 0x0004, 1, 1, 2530, // group 1: V1 above 25.3 kV
                0,      0, 4950,                       // group 2: F below 49.50 Hz
                29,     0, 900}; // group 3: PF below 0.900, the rest frequency below 0.00 Hz
    return c;
}
