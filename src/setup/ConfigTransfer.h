#pragma once

#include "MeterConfigFile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Reading a whole configuration from a meter and putting one into a meter, request by
// request over whatever carries them (the command-line poller's engine, a window's).

// Why a request got no good reply: none at all, a damaged one (bad CRC, fields that do not
// match the request), or an exception reply in which the meter refused it.
struct LinkFailure {
    enum class Kind { None, NoReply, Damaged, Exception };
    Kind kind = Kind::None;
    quint8 exception = 0; // the meter's exception code, for Kind::Exception
};
// "no answer", "a damaged reply", "exception 2 (Illegal Data Address)".
QString LinkFailureText(const LinkFailure& failure);

// What a configuration run needs of the line: one request at a time to one address.
class RegisterLink {
public:
    virtual ~RegisterLink() = default;
    // Function 03; nothing when the meter did not answer or refused the read.
    virtual std::optional<QList<quint16>> Read(int address, quint16 start, int count) = 0;
    // A function-10 (or B0) message string (slave placeholder first); true when the meter
    // confirmed the write of that start address.
    virtual bool Write(int address, const QString& message) = 0;
    // The meter now talks at another baud rate (after a write of its settings).
    virtual void FollowBaudRate(quint32 baud) = 0;
    // Why the last Read or Write failed; Kind::None after one that succeeded.
    virtual LinkFailure LastFailure() const = 0;
};

// A meter's configuration read fresh: version, settings and alarm blocks, and the
// coefficients when asked for. Nothing, with the reason in *why, when it does not answer,
// answers damaged or refuses a read ("the meter at address 9 refused the read of its
// version (0x0510): exception 2 (Illegal Data Address)").
std::optional<MeterConfiguration> ReadMeterConfiguration(RegisterLink& link, int address,
                                                         const QString& model, const QDateTime& now,
                                                         QString* why,
                                                         bool withCoefficients = false);

// What became of one meter. `detail` names what went wrong (the registers that differ, the
// write the meter refused or left unanswered, another model or firmware). When a write
// went out and the meter was not verified, the run put back what the meter held before;
// `rollback` says how that ended: "rolled back: the meter holds what it held before", or
// which blocks hold what. `answersAt` says where the meter answers after a change of its
// address or baud rate.
struct MeterApplyOutcome {
    enum class Result { Verified, Differs, Refused, NoAnswer, OtherKind };
    int address = 0;
    Result result = Result::NoAnswer;
    QString detail;
    QString rollback;
    QString answersAt;
};
QString ApplyResultText(MeterApplyOutcome::Result result); // "verified", "differs", ...
// "address 6: differs: 0x0108 (CT1); rolled back: the meter holds what it held before"
QString ApplyOutcomeLine(const MeterApplyOutcome& outcome);

// Puts a checked configuration into the meter at `address`, which the program is set up
// to know as a `model`: the meter must answer and be of the file's model and, as far as its
// firmware version tells, of the file's family. What it holds is read first; then the
// settings go out (their PT and CT ratios scale the alarm limits), the alarm window's two
// writes and, with `writeCoefficients` (the factory's run), the file's coefficients, and
// every register is read back and compared. Any write refused, unanswered or not verified
// makes the run write the earlier blocks back and verify them. The meter keeps its address
// and baud rate unless `includeComm`; then they go last, in a write of their own, and the
// link follows the meter to them (or finds it where it stayed).
MeterApplyOutcome ApplyMeterConfiguration(RegisterLink& link, const MeterConfiguration& config,
                                          int address, const QString& model, bool includeComm,
                                          bool writeCoefficients = false);

// What a restore changes, for the lines below its question: each setting of
// CompareConfigs(file, meter, ...) that the restore writes and that differs from what the
// meter holds, "CT1: 5 → 100" (meter → file), in the order of the comparison table.
QStringList RestoreChanges(const QList<ConfigComparison>& fileAgainstMeter);

// "1-20, 25" -> 1..20 and 25, in the order given, each address once, all within 1..247.
// Nothing, with the reason in *why, for anything else.
std::optional<QList<int>> ParseAddressList(const QString& text, QString* why);
// The other way: runs of consecutive addresses as ranges, in the order given:
// {1, 2, 3, 7, 9, 10} -> "1-3, 7, 9-10".
QString AddressListText(const QList<int>& addresses);
