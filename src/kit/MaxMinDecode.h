#pragma once

#include "BlockDecode.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// Decoding of the max/min statistics: the meter keeps, for 17 quantities, the largest and
// the smallest value since the statistics were last cleared, each with its time stamp.
// Both blocks have the same layout: 17 records of 7 registers (value, YY, MM, DD, hh, mm,
// ss), one grid row each.

inline constexpr quint16 MaxBlockStart = 0x239;
inline constexpr quint16 MinBlockStart = 0x2B0;
inline constexpr int MaxMinRecordCount = 17;
inline constexpr int MaxMinRecordSize = 7;
inline constexpr int MaxMinBlockCount = MaxMinRecordCount * MaxMinRecordSize; // 119

// Cells of record r in grid row r + 1: columns 1..6 the time stamp as plain decimals,
// column 7 the value with the current PT/CT ratios (voltages, currents and powers as the
// metering window writes them, the power factor signed in thousandths, the frequency in
// hundredths of a hertz). A short block stops at its first missing register.
GridTexts DecodeMaxMinBlock(const QList<quint16>& values, const ScaleRatios& ratios,
                            const QLocale& locale);

// Whether the value of record `record` (0..16) is scaled by the PT or CT ratio.
bool MaxMinRecordScaled(int record);

// Row 0: "YY" .. "ss", then "Max Value" or "Min Value"; column 0: the 17 quantities.
QStringList MaxMinColumnHeadings(bool maximum);
QStringList MaxMinRowHeadings();

// "Clear Statistics": command value 10 into register 0x114.
QString ClearStatisticsMessage();
inline constexpr auto ClearStatisticsQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to clear these Max/Min Statistics?");
