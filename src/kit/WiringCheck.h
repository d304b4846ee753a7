#pragma once

#include "PhaseAngleDecode.h"

#include <QList>
#include <QString>

// Plain-language hints about the meter's connections, from the phasors it measures: what
// a technician at the panel should look at when the phase sequence is reversed, a CT is
// turned round or sits on the wrong phase, or a voltage is missing.

// Where a reading stops counting as normal, in one place.
namespace WiringLimits {
// A phase voltage below this share of the highest one counts as missing.
inline constexpr double MissingVoltageShare = 0.2;
// A current below this share of the highest one is too weak for its angle to say anything.
inline constexpr double WeakCurrentShare = 0.1;
// How far V2 and V3 may stray from 120 and 240 degrees behind V1 and still make a sequence.
inline constexpr double SequenceToleranceDeg = 30.0;
// A current farther than this from its own voltage flows the wrong way through its CT
// (unless it lies nearer to another phase's voltage: then the CT is on that phase).
inline constexpr double ReversedCurrentDeg = 90.0;
} // namespace WiringLimits

enum class WiringFault {
    NoVoltage,              // no phase voltage at all
    MissingVoltage,         // `phase` has no voltage
    ReversedSequence,       // V1-V3-V2
    IrregularVoltageAngles, // neither sequence
    NoCurrent,              // nothing flows: the CTs cannot be judged
    ReversedCt,             // the current of `phase` is reversed
    CtOnWrongPhase,         // the CT of `phase` sits on `otherPhase`
    ExportOrAllCtsReversed, // every current opposes its voltage: export, or every CT turned
};

// How the meter is told it is connected (block 0x100): voltage wiring at 0x103 (0 "3Ln",
// 1 "2Ln", 2 "2LL" three-wire) and current wiring at 0x104 (0 "3CT", 1 "1CT", 2 "2CT").
// A three-wire connection has no V2 and no I2, two CTs no I2, one CT only I1: what is not
// wired is not judged.
struct WiringMode {
    int voltage = 0;
    int current = 0;
};

struct WiringHint {
    WiringFault fault;
    int phase = 0;      // 1..3, or 0 when the hint is about all phases
    int otherPhase = 0; // the phase a misplaced CT sits on
    QString text;       // what to tell the technician
};

// The hints for one set of phasors, voltages first, then each CT in phase order. Angle
// checks need V1, the reference of every angle the meter reports; a current is checked
// only against a voltage that is there. When every judged current (two or more) opposes
// its own voltage, the feeder may well be exporting (solar, a generator): one hint says
// so instead of one "reversed" per CT.
QList<WiringHint> CheckWiring(const PhasorSet& phasors, const WiringMode& mode = {});

// Shown when CheckWiring finds nothing.
inline constexpr auto WiringLooksRight = QT_TRANSLATE_NOOP(
    "WiringCheck", "Wiring looks right: sequence V1-V2-V3, each current near its own voltage.");

// Angular distance of two angles in degrees, 0..180.
double AngleDistance(double a, double b);
