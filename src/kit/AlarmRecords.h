#pragma once

#include "BlockDecode.h"
#include "LabelText.h"

#include <QList>
#include <QStringList>

// What the alarm records window shows: from the alarm parameter block (0x330) the item
// each group watches, and from the record block (0x354, 73 registers) whether each group
// is in alarm now and the meter's last nine alarm events with value and time stamp.

inline constexpr quint16 AlarmRecordBlockStart = 0x354;
inline constexpr int AlarmRecordBlockCount = 73;
inline constexpr int AlarmRecordCount = 9;
inline constexpr int AlarmRecordSize = 8;

// Label1AlarmType .. Label9AlarmType from block 0x330: the full item text of each group's
// item ("Psum (Power)"), empty for a code above 34.
LabelTexts DecodeAlarmItems(const QList<quint16>& values);

// Block 0x354: Label1State .. Label9State ("Alarm" / "Normal") and the record grid, one
// row per record: item, "Alarm" / "Reset", value, year, month, day, hour, minute, second.
// A record slot the meter has never filled (all its registers zero) is all blank cells.
struct AlarmRecordTexts {
    LabelTexts states;
    QList<bool> inAlarm; // per group, in the order of `states`
    GridTexts records;
};
AlarmRecordTexts DecodeAlarmRecordBlock(const QList<quint16>& values, const DecodeContext& context);

// A record's value as the meter logged it: volts and amps without prefix at any size,
// " Var" and " Va", demands as the bare register.
QString AlarmRecordValueText(int code, quint16 value, const DecodeContext& context);

// Whether record `record` (0..8) of block 0x354 logged a value the PT or CT ratio scales
// (volts, amps, powers; demands are logged unscaled).
bool AlarmRecordValueScaled(const QList<quint16>& values, int record);

// The grid's headings: row 0 columns 1..9 and column 0 rows 1..9.
QStringList AlarmRecordColumnHeadings();
QStringList AlarmRecordRowHeadings();
