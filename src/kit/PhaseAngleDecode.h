#pragma once

#include "LabelText.h"

#include <QList>
#include <QLocale>
#include <array>
#include <optional>

// Decoding of the phase angle block at 0x39D: eight angles in tenths of a degree, each the
// lag of a voltage or current behind V1 (the first five) or behind V12 (the last three).

inline constexpr quint16 PhaseAngleBlockStart = 0x39D;
inline constexpr int PhaseAngleBlockCount = 8;

// The eight labels in register order, value / 10 with one decimal, no unit. The registers
// are unsigned and shown as they come (0xFFFF reads 6553.5).
LabelTexts DecodePhaseAngleBlock(const QList<quint16>& values, const QLocale& locale);

// What the phasor diagram and the wiring check are drawn from: the angles of V2, V3, I1,
// I2, I3 behind V1 from block 0x39D, and the magnitudes of V1..V3 and I1..I3 from the
// metering block (any common unit: only their proportions matter).
struct PhasorSet {
    std::array<double, 3> volts{};
    std::array<double, 3> amps{};
    // Degrees each quantity lags V1 (V1 itself is 0).
    std::array<double, 3> voltageLag{};
    std::array<double, 3> currentLag{};
};

// The lags behind V1 from a block 0x39D reply; nothing when it is too short to hold them.
struct PhaseLags {
    std::array<double, 3> voltage{};
    std::array<double, 3> current{};
};
std::optional<PhaseLags> PhaseLagsFromBlock(const QList<quint16>& values);

// The phase voltages (0x131..0x133) and currents (0x139..0x13B) of a metering block reply
// as register values; nothing when the block is too short.
struct PhaseMagnitudes {
    std::array<double, 3> volts{};
    std::array<double, 3> amps{};
};
std::optional<PhaseMagnitudes> PhaseMagnitudesFromMeteringBlock(const QList<quint16>& values);

PhasorSet MakePhasorSet(const PhaseMagnitudes& magnitudes, const PhaseLags& lags);
