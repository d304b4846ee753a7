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

// A primary-side quantity in its base unit ("V", "W", "var", "VA") with the prefix that
// keeps the number readable on a medium-voltage feeder: below 1000 as it is with
// `plainDecimals`, then kilo and mega with three decimals (at least four significant
// digits, as the meter's own display shows, and never fewer than the 16-bit register
// holds at kilo). The magnitude decides, so a negative value takes the same prefix.
// "230.0 V", "23.000 kV", "104.970 MVA".
QString PrefixedText(double value, int plainDecimals, const QString& unit, const QLocale& locale);

// Voltage: register (unsigned, 0.1 V) x PT ratio. "230.0 V", "23.000 kV", "1.081 MV".
QString FormatVoltageText(quint16 reg, double ptRatio, const QLocale& locale);
// Current: register (unsigned, mA) x CT ratio. "5.000 A", "12.34 A", "100.0 A".
QString FormatCurrentText(quint16 reg, double ctRatio, const QLocale& locale);
// Power: register in W / var (signed) or VA (unsigned) x PT ratio x CT ratio.
// "230 W", "1.234 kW", "60.000 MW". An unknown kind gives an empty text.
QString FormatPowerText(quint16 reg, int kind, double ptRatio, double ctRatio,
                        const QLocale& locale);

// An energy counter in tenths of a kilo-unit ("Wh" or "varh"), signed 32-bit as the meter
// counts: below 1000 kWh with one decimal, above in MWh with four, so the counter's last
// tenth of a kWh is still shown. No grouping, as the meter's display. "6553.6 kWh",
// "12.3457 MWh".
QString FormatEnergyText(qint64 tenths, const QString& unit, const QLocale& locale);
