#pragma once

#include "MeteringDecode.h"
#include "SettingsInput.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct SessionState;

// The two writes of the meter's configuration: its settings (registers 0x100..0x113) and
// its eight energy counters (0x156..0x165). Each is checked in full before its message
// string is built, so the meter never receives a half-valid request.

// Function 10 (write multiple registers) at `start`: "00,10,SS,SS,NN,NN,BC," followed by
// each register as two upper-case hexadecimal bytes with a comma after each, and the two
// CRC placeholders "00,00".
QString WriteRegistersMessage(quint16 start, const QList<quint16>& registers);

// ---------------------------------------------------------------- meter settings

inline constexpr quint16 MeterSettingsStart = 0x100;
inline constexpr int MeterSettingsCount = 20;
using MeterSettingsRegisters = std::array<quint16, MeterSettingsCount>;

// The items of the drop-down lists, in list order. The register value of a list is its
// item index, except the address (index + 1), the baud rate (the number itself), the pulse
// width (index + 1 steps of 20 ms) and the demand window (index + 1 minutes).
QStringList BaudRateItems();      // "38400" .. "600"
QStringList VoltageWiringItems(); // "3LN" "2LN" "2LL"
QStringList CurrentWiringItems(); // "3CT" "1CT" "2CT"
QStringList AddressItems();       // "1" .. "247"
QStringList PulseSourceItems();   // "None" "Ep+" .. "Eqn"
QStringList RelayModeItems();     // "Latch" "Momentary"
QStringList PulseWidthItems();    // "20" .. "1000"
QStringList BacklightItems();     // "0" .. "120"
QStringList DemandWindowItems();  // "1" .. "30"
QStringList DoModeItems();        // "Energy Pulse" "Alarm Output"

// What the meter settings window holds: the edits' texts and the lists' item indices
// (-1 = nothing selected).
struct MeterSettingsForm {
    QString accessCode, pt1, pt2, ct1, pulseConst, ro1Time, ro2Time;
    int baudRate = -1, voltageWiring = -1, currentWiring = -1, address = -1;
    int do1Output = -1, do2Output = -1, ro1Mode = -1, ro2Mode = -1;
    int pulseWidth = -1, lightTime = -1, demandTime = -1, doWork = -1;
    // Meters without a demand window (the QETRA 7100) may report 0 there, which the list
    // cannot show; while the list is disabled the value last read is written back as it
    // was, so that the rest of the settings can still be written.
    std::optional<quint16> keptDemandWindow;
};

// The state of a freshly opened window: 9600 baud, address 1, the first item of the
// wiring, pulse source and relay mode lists, empty edits, and no selection in the pulse
// width, backlight, demand and DO mode lists until the meter's values arrive.
MeterSettingsForm InitialMeterSettingsForm();

// Every field checked in register order; the first one that cannot go to the meter is
// reported. PT2 and CT1 of 0 are refused too: the program divides by PT2 and would show
// every current and power as zero with a CT1 of 0.
struct MeterSettingsCheck {
    std::optional<MeterSettingsRegisters> registers;
    InputProblem problem; // when `registers` is empty
};
MeterSettingsCheck CheckMeterSettings(const MeterSettingsForm& form,
                                      const QLocale& locale = QLocale());

// The settings write: 20 registers from 0x100.
QString MeterSettingsMessage(const MeterSettingsRegisters& registers);

// The window's controls as the meter's block 0x100 fills them (at least 20 registers;
// nothing for a shorter block). A baud rate the list does not hold shows as 9600; codes
// outside a list leave it without a selection.
std::optional<MeterSettingsForm> MeterSettingsFill(const QList<quint16>& values);

// The baud rate of a list index of BaudRateItems(); 0 for no selection.
quint32 BaudRateOfIndex(int index);

// A settings write is about to be queued: a new address or baud rate becomes the main
// window's MeterAddress / MeterBaudRate and raises its change flag, so that the failure
// of the next request (the meter no longer answers the old ones) is taken as the meter
// having switched. Writing the current values raises neither flag.
void NoteSettingsWrite(SessionState& state, const MeterSettingsRegisters& registers);

// The controls were filled from the meter: its address and the baud rate the list shows.
void NoteSettingsRead(SessionState& state, const QList<quint16>& values,
                      const MeterSettingsForm& shown);

// The captions of the window's fields as it shows them, by control name.
QString MeterSettingsCaption(const QString& control);

// One setting of block 0x100 as the meter settings window shows it, for lists of a whole
// configuration (saved files, comparisons).
struct MeterSettingView {
    QString name;      // the window's caption without its colon: "Baud Rate", "PT1"
    QString shownName; // the same in the operator's language, for what is shown on screen
    int offset = 0;    // first register, from 0x100
    int count = 1;     // registers it takes: 2 for PT1
    QString text;      // as the window shows it, with the unit beside the control
    QString problem;   // why the window could not show or write this value; empty if it can
};
QList<MeterSettingView> ViewMeterSettings(const MeterSettingsRegisters& registers);

// ---------------------------------------------------------------- energy presets

inline constexpr quint16 EnergyPresetStart = EnergyCountersStart;
inline constexpr int EnergyCounterCount = 8;
using EnergyPresets = std::array<qint32, EnergyCounterCount>; // tenths of kWh / kvarh

// The captions of the eight counters as the window shows them, Edit1..Edit8 in register
// order.
QStringList EnergyPresetCaptions();

// The eight edit texts read as counters (see ParseEnergyTenths); the first one refused is
// reported.
struct EnergyPresetCheck {
    std::optional<EnergyPresets> presets;
    InputProblem problem;
};
EnergyPresetCheck CheckEnergyPresets(const QStringList& texts, const QLocale& locale);

// The preset write: 16 registers from 0x156, each counter high word first in two's
// complement.
QString EnergyPresetMessage(const EnergyPresets& presets);

// The operator's questions before each write.
inline constexpr auto MeterSettingsQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to set these Meter Parameters?");
inline constexpr auto EnergyPresetQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to preset these Energy Parameters?");
