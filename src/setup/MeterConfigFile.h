#pragma once

#include "AlarmCodec.h"
#include "SafeFiles.h"
#include "SettingsMessages.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// A meter's whole configuration as a file of its own (".qmeter.json"): the 20 settings
// registers of block 0x100 and the alarm configuration of block 0x330, each setting by
// name with the text its window shows and with its raw register value(s). The raw values
// are what goes to a meter; the texts are for people and for comparisons. A file is
// checked in full before anything of it is used.

inline constexpr auto MeterConfigFormat = "qetralink-meter-configuration";
inline constexpr int MeterConfigVersion = 1;
inline constexpr auto MeterConfigSuffix = ".qmeter.json";
// A real file is under 10 kB; anything beyond this is refused before it is parsed.
inline constexpr qint64 MeterConfigMaxBytes = 1 << 20;

using AlarmBlockRegisters = std::array<quint16, AlarmParamBlockCount>;
// The factory calibration: the 22 coefficients of block 0x51B..0x533 that the coefficients
// window shows, in register order (the frequency, display and PT type registers between
// them are no coefficients).
inline constexpr int ConfigCoefficientCount = 22;
using ConfigCoefficients = std::array<quint16, ConfigCoefficientCount>;

struct MeterConfiguration {
    QDateTime saved;  // when it was read from the meter (UTC)
    QString program;  // "QetraLink 0.1"
    QString model;    // "QETRA 7300", as the program was set up for the meter
    QString firmware; // the meter's version text, "1.20"
    int address = 1;  // the address it was read from
    MeterSettingsRegisters settings{};
    AlarmBlockRegisters alarms{};
    // Only in files saved by the factory program; written only when asked for.
    std::optional<ConfigCoefficients> coefficients;
};

// The program's name and version as files record it.
QString ConfigProgramText();
// The meter models a file may be for, as the program's model list names them ("QETRA 7100",
// "QETRA 7300"), and the name of the model list's item `index`.
QStringList ConfigMeterModels();
QString ConfigMeterModel(int index);

// A register as every message of the configuration commands writes it: "0x0108", and
// with the setting it holds: "0x0108 (CT1)", "0x0334 (Group 1 Item)", "0x051B (VAA--ADJ)".
QString RegisterText(quint16 reg);
QString ConfigRegisterName(quint16 reg);

// One named setting: the section it belongs to ("settings" or "alarms"), its name
// ("PT1", "Group 3 Value"), the text its window shows for the raw values, the raw values
// (registers; a single bit of the alarm enable and DO words for a group's "Status", "DO1"
// and "DO2"), and why a window could not show or write it (empty when it can).
// The alarm enable and DO words have bits 9..15 besides the nine groups' bits; the alarm
// window writes them as 0, but a file keeps them as the meter holds them, in entries of
// their own ("Alarm Status Bits 9-15") that a file carries only where a bit is set.
struct ConfigSetting {
    QString section;
    QString name;
    QString text;
    QList<quint16> raw;
    QString problem;
    bool onlyWhenSet = false; // left out of a file (and read as 0 there) when every raw is 0
};
// Every setting of a configuration in register order: the 19 settings of block 0x100,
// then the alarm delay, bits 9..15 of the three alarm words and the nine groups, then the
// coefficients where there are any. Texts are made with the C locale, so a file reads the
// same wherever it is opened.
QList<ConfigSetting> ConfigSettings(const MeterConfiguration& config);

// The file's contents.
QByteArray MeterConfigJson(const MeterConfiguration& config);

// A file read and checked: the configuration, or the first fault found, naming the field
// ("settings \"PT2\": ...") or the line ("line 14: ...") and why. Besides the settings, a
// file must be strict JSON as the program writes it: no object with a key given twice, no
// control character in a text, numbers where numbers belong, and the model and firmware of
// a meter of this program.
struct MeterConfigRead {
    std::optional<MeterConfiguration> config;
    QString problem;
};
MeterConfigRead ReadMeterConfig(const QByteArray& json);
// Only a regular file of at most MeterConfigMaxBytes is read (a device, a FIFO or a huge
// file is refused before a byte is parsed).
MeterConfigRead LoadMeterConfig(const QString& path);
// Saved whole or not at all (SaveFileAtomically, through `sink` when given): a failure
// keeps the file that was there and says why.
bool SaveMeterConfig(const QString& path, const MeterConfiguration& config, QString* why,
                     FileSink* sink = nullptr);

// A configuration as read from a meter: block 0x100 (at least 20 registers), block 0x330
// (31 registers) and the version registers 0x510..0x513. Nothing for short blocks.
std::optional<MeterConfiguration> ConfigFromMeter(const QList<quint16>& settingsBlock,
                                                  const QList<quint16>& alarmBlock,
                                                  const QString& firmware, const QString& model,
                                                  int address, const QDateTime& now);
// The coefficients of a reply of block 0x51B (25 registers); nothing for a short one.
std::optional<ConfigCoefficients> CoefficientsFromBlock(const QList<quint16>& block);
// The function-B0 writes of the coefficients: the two runs of consecutive registers.
QStringList CoefficientWriteMessages(const ConfigCoefficients& coefficients);

// The major part of a firmware version ("1" of "1.20"): meters of one family take the
// same configuration. Empty when the meter did not tell.
QString FirmwareFamily(const QString& version);

// Why a checked configuration cannot go into a meter of `model` whose firmware version is
// `firmware`: another model than the program is set up for, or another firmware family
// ("firmware 2.01, the file is from firmware 1.20"). A meter that tells no version is
// judged by the model alone. Empty when it can.
QString OtherKindProblem(const MeterConfiguration& config, const QString& model,
                         const QString& firmware);

// --- comparing ---------------------------------------------------------------------------

// One row of a comparison: the setting, its text on each side, and whether they differ.
// Coefficients are compared only where both sides have them.
// The meter address and baud rate are "kept" unless the comparison includes them: a
// configuration goes to a meter without them, so they never count as a difference.
struct ConfigComparison {
    QString name;
    QString leftText;
    QString rightText;
    bool differs = false;
    bool kept = false;
};
QList<ConfigComparison> CompareConfigs(const MeterConfiguration& left,
                                       const MeterConfiguration& right, bool includeComm);
bool AnyDifference(const QList<ConfigComparison>& rows);

// --- writing to a meter ------------------------------------------------------------------

// The settings registers to write into a meter that now holds `meterNow`: the file's,
// with the meter's own address and baud rate unless `includeComm`.
MeterSettingsRegisters SettingsToWrite(const MeterConfiguration& config,
                                       const MeterSettingsRegisters& meterNow, bool includeComm);
// The message strings of a configuration write, in the order they go out: the settings at
// 0x100 first, since the alarm limits are scaled by their PT and CT ratios (an alarm set for
// 110 A must not meet the meter's old CT ratio), then the alarm groups 5..9 at 0x340 and
// the alarm words with groups 1..4 at 0x330, in the order of the alarm window. A new
// address or baud rate is not among them: it goes last, in a write of its own.
QStringList ConfigWriteMessages(const MeterSettingsRegisters& settings,
                                const AlarmBlockRegisters& alarms);
// The registers whose read-back differs from what was written, as "0x0108 (CT1)"; empty
// when every register holds its value.
QStringList DifferingRegisters(const MeterSettingsRegisters& wroteSettings,
                               const AlarmBlockRegisters& wroteAlarms,
                               const QList<quint16>& readSettings,
                               const QList<quint16>& readAlarms);
