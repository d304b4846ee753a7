#pragma once

#include "MessageText.h"
#include "ValueText.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The meter's alarm configuration, registers 0x330..0x34E: an enable word, the common
// alarm delay, the DO1 and DO2 words, then nine groups of three registers (item watched,
// below/above, limit). The alarm settings window shows it and writes it back; the alarm
// records window names each group's item from it.

inline constexpr quint16 AlarmParamBlockStart = 0x330;
inline constexpr int AlarmParamBlockCount = 31;
inline constexpr int AlarmGroupCount = 9;
// The quantities a group can watch; the code is the index in the item list.
inline constexpr int AlarmItemCount = 35;
// Alarm delay: list index k means k x 300 ms.
inline constexpr int AlarmDelayCount = 256;
inline constexpr int AlarmDelayStepMs = 300;

// One read of the whole block; the block is not in the poll rotation.
inline const QString AlarmParamRead = ReadMessage(AlarmParamBlockStart, AlarmParamBlockCount);

// "F (Frequency)" .. "Dmd_S (Apparent Power Demand)"; empty outside 0..34. These are the
// names saved in configuration files and reports.
QString AlarmItemText(int code);
QStringList AlarmItemTexts();
// The same names in the operator's language, for the windows' lists and messages.
QString ShownAlarmItemText(int code);
QStringList ShownAlarmItemTexts();
// "0", "300", "600", ... "76500".
QStringList AlarmDelayTexts();

// --- limits ----------------------------------------------------------------------------

// A limit register as the settings window shows it: in the unit of its item, scaled by
// the PT/CT ratios where the item is a primary-side quantity, with the automatic k prefix
// of the value texts ("220.0 V", "1.234 kW", "49.50 Hz", "-0.500", "3.000 %"). Where the
// usual number of decimals would hide the register's resolution (a large PT ratio step
// is fine, but 1234.5 V shown as "1.235 kV" is not), decimals are added so that the text
// names exactly one register value.
QString AlarmLimitText(int code, quint16 reg, const ScaleRatios& ratios, const QLocale& locale);

// The number in a limit text of the item, in the item's base unit (V, A, W, var, VA, Hz,
// %), read as the user's locale writes numbers (see ReadNumber): the item's unit may
// follow, with a "k" where the window shows thousands that way. Nothing when the text is
// not such a number, or the item is none.
std::optional<double> ParseAlarmLimit(int code, const QString& text, const QLocale& locale);

// A limit in the item's base unit as the register the meter compares against.
struct EncodedLimit {
    enum class Fault {
        None,
        Scaling,    // the ratio the item is scaled by makes no number (a CT ratio of 0)
        OutOfRange, // the register cannot hold it (signed or unsigned as the item is)
    };
    Fault fault = Fault::None;
    quint16 reg = 0;
};
EncodedLimit EncodeAlarmLimit(int code, double value, const ScaleRatios& ratios);

// Whether the item's limit is scaled by the PT or CT ratio (voltages, currents, powers and
// demands): without the meter's settings it cannot be told.
bool AlarmItemScaled(int code);

// Whether the item's register is read as two's-complement signed (active and reactive
// powers and demands, power factors).
bool AlarmItemIsSigned(int code);

// --- the settings window's controls ------------------------------------------------------

// The controls of one group as list indices (-1 = no selection) and the limit text.
struct AlarmGroupInput {
    int status = -1;    // "OFF", "ACTIVE"
    int do1 = -1;       // "OFF", "ON"
    int do2 = -1;       // "OFF", "ON"
    int item = -1;      // item code
    int direction = -1; // "Below", "Above"
    QString limit;
    friend bool operator==(const AlarmGroupInput&, const AlarmGroupInput&) = default;
};
struct AlarmSettingsInput {
    std::array<AlarmGroupInput, AlarmGroupCount> groups;
    int delay = -1; // index of the delay list
    friend bool operator==(const AlarmSettingsInput&, const AlarmSettingsInput&) = default;
};

// What a reply of the block puts into the controls. An item code above 34 leaves the item
// list without a selection and the limit empty; a direction or delay the lists do not
// have leaves that list without a selection. Nothing for a block shorter than 31.
std::optional<AlarmSettingsInput> AlarmSettingsFromBlock(const QList<quint16>& values,
                                                         const ScaleRatios& ratios,
                                                         const QLocale& locale);

// The two writes of "Set": groups 5..9 at 0x340 (15 registers) and the enable, delay, DO
// words and groups 1..4 at 0x330 (16 registers). Either both messages, or the text of the
// first fault found (groups in order, then the delay) and no message.
struct AlarmWritePlan {
    QString error; // shown with the caption AlarmErrorCaption
    QString groups1to4;
    QString groups5to9;
    bool ok() const { return error.isEmpty(); }
};
AlarmWritePlan PlanAlarmWrite(const AlarmSettingsInput& input, const ScaleRatios& ratios,
                              const QLocale& locale);

inline const QString AlarmWriteQuestion =
    QStringLiteral(QT_TRANSLATE_NOOP("WriteCommand", "Are you sure to set these Alarm Parameters? "
                                                     "The action will cause refreshing all alarm "
                                                     "records."));
inline const QString AlarmErrorCaption =
    QStringLiteral(QT_TRANSLATE_NOOP("FormSetAlarm", "Parameters"));
