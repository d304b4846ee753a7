#pragma once

#include "MeterConfigFile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Reading a whole configuration from a meter and putting one into a meter, request by
// request over whatever carries them (the command-line poller's engine, a window's).

// What a configuration run needs of the line: one request at a time to one address.
class RegisterLink {
public:
    virtual ~RegisterLink() = default;
    // Function 03; nothing when the meter did not answer or refused the read.
    virtual std::optional<QList<quint16>> Read(int address, quint16 start, int count) = 0;
    // A function-10 message string (slave placeholder first); true when the meter
    // confirmed the write of that start address.
    virtual bool Write(int address, const QString& message) = 0;
    // The meter now talks at another baud rate (after a write of its settings).
    virtual void FollowBaudRate(quint32 baud) = 0;
};

// A meter's configuration read fresh: version, settings and alarm blocks, and the
// coefficients when asked for. Nothing, with the reason in *why, when it does not answer.
std::optional<MeterConfiguration> ReadMeterConfiguration(RegisterLink& link, int address,
                                                         const QString& model, const QDateTime& now,
                                                         QString* why,
                                                         bool withCoefficients = false);

// What became of one meter.
struct MeterApplyOutcome {
    enum class Result { Verified, Differs, NoAnswer, OtherKind };
    int address = 0;
    Result result = Result::NoAnswer;
    QString detail; // the registers that differ, or what the meter said
};
QString ApplyResultText(MeterApplyOutcome::Result result); // "verified", "differs", ...
// "address 6: differs: 0x108 (CT1)"
QString ApplyOutcomeLine(const MeterApplyOutcome& outcome);

// Puts a checked configuration into the meter at `address`: it must answer and, as far as
// its firmware version tells, be of the family the file came from; then the alarm and
// settings writes go out together (the alarm window's two writes, then the settings) and
// every register is read back and compared. The meter keeps its address and baud rate
// unless `includeComm`; then the link follows it to the new ones before the read-back.
// The file's coefficients go first, and only with `writeCoefficients` (the factory's run).
MeterApplyOutcome ApplyMeterConfiguration(RegisterLink& link, const MeterConfiguration& config,
                                          int address, bool includeComm,
                                          bool writeCoefficients = false);

// What a restore changes, for the lines below its question: each setting of
// CompareConfigs(file, meter, ...) that the restore writes and that differs from what the
// meter holds, "CT1: 5 → 100" (meter → file), in the order of the comparison table.
QStringList RestoreChanges(const QList<ConfigComparison>& fileAgainstMeter);

// "1-20, 25" -> 1..20 and 25, in the order given, each address once, all within 1..247.
// Nothing, with the reason in *why, for anything else.
std::optional<QList<int>> ParseAddressList(const QString& text, QString* why);
