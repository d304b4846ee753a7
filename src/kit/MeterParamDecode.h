#pragma once

#include "LabelText.h"
#include "MeteringDecode.h"

#include <QList>
#include <QString>

// Decoding of the meter's parameter block at 0x100 (address, baud rate, wiring, PT/CT,
// pulse and relay outputs, backlight, demand window). Only registers 0x100..0x113 are
// read, so the full poll of 34 registers and the 20-register read-back after a settings
// write decode alike.

inline constexpr quint16 MeterParamBlockStart = 0x100;

// The PT and CT ratios after a block 0x100 reply, starting from `previous`.
// PT ratio = PT1 / PT2 only when PT2 (0x107) is non-zero; otherwise the previous
// PT ratio stays. CT ratio = CT1 / 5 (the CT secondary is fixed at 5 A); a CT1 of 0
// gives 0. A block too short to hold CT1 changes nothing.
ScaleRatios RatiosFromParamBlock(const QList<quint16>& values, const ScaleRatios& previous);

// Label texts of the meter parameters window, in register order. Rows whose registers
// are missing from a short block are left out, with every row after them.
LabelTexts DecodeMeterParamBlock(const QList<quint16>& values);

// Code texts; codes outside the lists are shown as their decimal value.
QString VoltageWiringText(quint16 code);     // 0x103
QString CurrentWiringText(quint16 code);     // 0x104
QString DigitalOutputModeText(quint16 code); // 0x109: only 1 is the alarm output
QString PulseSourceText(quint16 code);       // 0x10A, 0x10B
QString RelayModeText(quint16 code);         // 0x10E, 0x110
