#pragma once

#include "MessageText.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// Decoding of what the meter model window shows (firmware version, system frequency,
// display mode and PT type from block 0x510, the meter clock at 0x32A, the run time at
// 0x3A5) and the texts of its writes (clock, run-time reset, frequency/display/PT).

inline constexpr quint16 ModelBlockStart = 0x510;
inline constexpr int ModelBlockCount = 34;
inline constexpr quint16 ClockBlockStart = 0x32A;
inline constexpr int ClockBlockCount = 6;
inline constexpr quint16 RunTimeBlockStart = 0x3A5;
inline constexpr int RunTimeBlockCount = 2;
// System frequency, display mode and PT type, one register each from 0x529.
inline constexpr quint16 FrequencyDisplayPtStart = 0x529;
inline constexpr quint16 PtTypeRegister = 0x52B;

// Read once when the window is activated.
inline const QString ModelBlockRead = ReadMessage(ModelBlockStart, ModelBlockCount);

// What block 0x510 says; a short block leaves out what it does not hold.
struct ModelBlockView {
    std::optional<QString> version;    // low bytes of 0x510..0x513 as characters
    std::optional<int> frequencyIndex; // 0x529: 1 = "60 Hz", anything else "50 Hz"
    std::optional<int> displayIndex;   // 0x52A: 1 = "All Lights", anything else "Normal"
    std::optional<int> ptIndex;        // 0x52B: 1 = "380 V", anything else "100 V"
};
ModelBlockView DecodeModelBlock(const QList<quint16>& values);

// The main window's display mode byte from block 0x510: 1 exactly when 0x52A is 1;
// nothing when the block does not reach 0x52A.
std::optional<quint8> DisplayModeFromModelBlock(const QList<quint16>& values);

// Block 0x32A (year, month, day, hour, minute, second) as "2006-3-1 12:34:56", plain
// decimals; nothing when fewer than six registers came.
std::optional<QString> MeterClockText(const QList<quint16>& values);

// Block 0x3A5: hundredths of an hour, 32 bits signed, high word first: "1000.00 Hours";
// nothing when fewer than two registers came.
std::optional<QString> RunTimeText(const QList<quint16>& values, const QLocale& locale);

// Sets the meter clock (0x32A..0x32F) to `now`: four-digit year, month, day, hour, minute,
// second, two bytes each.
QString ClockAdjustMessage(const QDateTime& now);
inline constexpr auto ClockAdjustQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to adjust the Meter Clock?");

// Command value 10 into register 0x115.
QString RunTimeResetMessage();
inline constexpr auto RunTimeResetQuestion =
    QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to reset the Meter Runtime?");

// The meter's own write (function B0) of system frequency, display mode and PT type from
// 0x529, each as its list index.
QString FrequencyDisplayPtMessage(int frequencyIndex, int displayIndex, int ptIndex);
