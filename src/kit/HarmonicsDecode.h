#pragma once

#include "BlockDecode.h"
#include "LabelText.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

// Decoding of what the harmonics window shows: the distortion block at 0x168 and the
// current spectrum at 0x1D6, and the headings of its two grids.

inline constexpr quint16 ThdBlockStart = 0x168;
inline constexpr int ThdBlockCount = 8;
// Three phases (I1, I2, I3) of 33 registers: harmonics 2..31, odd sum, even sum, K factor.
inline constexpr quint16 CurrentSpectrumStart = 0x1D6;
inline constexpr int CurrentSpectrumPerPhase = 33;
inline constexpr int CurrentSpectrumCount = 3 * CurrentSpectrumPerPhase;
inline constexpr int FirstHarmonic = 2;
inline constexpr int LastHarmonic = 31;
inline constexpr int HarmonicCount = LastHarmonic - FirstHarmonic + 1;

// THD of V1, V2, V3, their average, I1, I2, I3 and their average (percent x 100) with
// one decimal; the window shows the "%" beside each label.
LabelTexts DecodeThdBlock(const QList<quint16>& values, const QLocale& locale);

// Cells of the current grid: phase group p fills row p + 1; register k of a group fills
// column k + 1 (harmonics and sums in percent, the K factor in tenths, no unit).
GridTexts DecodeCurrentSpectrum(const QList<quint16>& values, const QLocale& locale);

// The same block as numbers for the spectrum chart: percent of the fundamental for
// harmonics 2..31 of each phase. A short block leaves the missing harmonics at 0 and
// says how many registers it held.
struct CurrentSpectrum {
    std::array<std::array<double, HarmonicCount>, 3> percent{};
    int registers = 0;
};
CurrentSpectrum CurrentSpectrumValues(const QList<quint16>& values);

// "H 2nd" .. "H 31st": grid column 1..30 shows harmonic column + 1. The suffix goes by the
// harmonic number's last digit alone, so columns 10..12 read "H 11st", "H 12nd", "H 13rd".
QString HarmonicHeading(int column);
// Headings of row 0 (columns 1..) and column 0 (rows 1..) of the two grids.
QStringList VoltageGridColumnHeadings();
QStringList VoltageGridRowHeadings();
QStringList CurrentGridColumnHeadings();
QStringList CurrentGridRowHeadings();
