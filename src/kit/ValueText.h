#pragma once

#include "NumberText.h"

#include <QLocale>
#include <QString>

// PT and CT ratios of the meter, as last read from its parameter block.
struct ScaleRatios {
    double pt = 1.0;
    double ct = 1.0;
};

// Kinds of power for FormatPowerText; the numbers are the meter's own kind codes.
enum PowerKind : int { PowerWatt = 0, PowerVar = 1, PowerVoltAmpere = 2 };

// The meter reports secondary-side quantities; these turn a register into a primary-side
// text with an automatic unit prefix. The value is held in single precision like the
// meter's own display, and the unit switch compares its magnitude, so negative values
// take the same branch as positive ones.
//
// The primary-side quantities behind the texts below, in single precision as shown:
// volts, amperes, and watts, vars or volt-amperes by kind (0 for an unknown kind).
float PrimaryVoltage(quint16 reg, double ptRatio);
float PrimaryCurrent(quint16 reg, double ctRatio);
float PrimaryPower(quint16 reg, int kind, double ptRatio, double ctRatio);

// Voltage: register (unsigned, 0.1 V) x PT ratio. "230.0 V", "23.000 kV".
QString FormatVoltageText(quint16 reg, double ptRatio, const QLocale& locale);
// Current: register (unsigned, mA) x CT ratio. "5.000 A", "12.34 A", "100.0 A".
QString FormatCurrentText(quint16 reg, double ctRatio, const QLocale& locale);
// Power: register in W / var (signed) or VA (unsigned) x PT ratio x CT ratio.
// "230 W", "1.234 kW". An unknown kind gives an empty text.
QString FormatPowerText(quint16 reg, int kind, double ptRatio, double ctRatio,
                        const QLocale& locale);
