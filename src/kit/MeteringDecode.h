#pragma once

#include "LabelText.h"
#include "ValueText.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// Decoding of what the metering window shows: the real-time block at 0x130, the
// temperature at 0x518, relay outputs (coils 0..1), digital inputs (0..3), and the
// texts of the relay and energy-reset writes.

inline constexpr quint16 MeteringBlockStart = 0x130;
inline constexpr int MeteringBlockCount = 54;
inline constexpr quint16 TemperatureRegister = 0x518;
// The eight 32-bit energy counters inside the metering block, written by the energy reset
// and the energy presetting.
inline constexpr quint16 EnergyCountersStart = 0x156;

// Label texts of block 0x130 in register order. `values`[i] is register 0x130 + i.
// Rows whose registers are missing from a short block are left out, together with
// every row after them.
LabelTexts DecodeMeteringBlock(const QList<quint16>& values, const ScaleRatios& ratios,
                               const QLocale& locale);

// Whether the text of the label `target` ("LabelUa") is scaled by the PT or CT ratio.
bool MeteringLabelScaled(const QString& target);

// The eight energy counters of block 0x130 (0x156..0x165) as plain numbers with one
// decimal, for the energy presetting edits; empty when the block is too short.
QList<QString> EnergyEditTexts(const QList<quint16>& values, const QLocale& locale);

// Register 0x150: the meter reports its load as a character code; other codes show as
// the character of their low byte (none for a low byte of 0).
QString LoadTypeText(quint16 reg);

// Register 0x518: tenths of a degree, signed. "-20.0 °C".
QString TemperatureText(quint16 reg, const QLocale& locale);

// The state texts: relay buttons say "On"/"Off", digital input labels "ON"/"OFF".
QString RelayStateText(bool on);
QString InputStateText(bool on);

// Confirmation of a relay write (the meter's function 05 echo), by coil address.
struct RelayConfirmation {
    int relay = 0; // 1 = RO1, 2 = RO2
    QString message;
};
std::optional<RelayConfirmation> RelayConfirmationFor(quint16 coil);

// A relay button click: the button's caption is the window's memory of the relay, so
// only an exact "Off" switches on; "On" and the empty caption before the first relay
// poll switch off.
struct RelayClickPlan {
    bool switchOn = false;
    QString question;   // asked with the caption "Prompt"
    QString newCaption; // shown until the meter reports the relay's real state
    QString message;    // message string for pending-write slot 1
};
RelayClickPlan PlanRelayClick(int relay, const QString& caption);

// Write Single Coil for relay 1 or 2.
QString RelayWriteMessage(int relay, bool on);

// Write Multiple Registers at 0x156: zeroes the eight 32-bit energy counters.
QString EnergyResetMessage();
inline constexpr auto EnergyResetQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to reset all Energy Parameters?");
