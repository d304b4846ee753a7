#pragma once

#include "MeteringDecode.h"

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The data log of the metering block: one CSV line per reply of block 0x130, the values
// the metering window shows as plain numbers in fixed units (V, A, W, var, VA, Hz, %, kWh,
// kvarh, degrees C, named in the header), primary side by the PT and CT ratios. Decimal
// point '.', comma between fields, whatever the user's locale, so spreadsheets and scripts
// read every log alike. The program and qetra-poll write the same lines.

// "Time,V1 (V),V2 (V),...,Temp (degC)" without the line end.
QString MeteringCsvHeader();
// The columns after "Time", with their units, in file order; the temperature is last.
QStringList MeteringCsvColumns();
// The value a column holds for a block, as the log writes it before rounding; NaN for the
// load type (a text) and for the temperature, which comes from register 0x518
// (TemperatureCelsius). `column` indexes MeteringCsvColumns(); the block has 54 registers.
double MeteringCsvNumber(int column, const QList<quint16>& block, const ScaleRatios& ratios);
// Register 0x518 in degrees Celsius.
double TemperatureCelsius(quint16 reg);
// ISO 8601 local time with its offset from UTC: "2024-05-01T13:45:07+02:00".
QString IsoLocalTime(const QDateTime& time);
// One line without the line end; empty when the block is shorter than 54 registers.
// The temperature (register 0x518) is left empty until one was read.
QString MeteringCsvRow(const QDateTime& time, const QList<quint16>& block,
                       const ScaleRatios& ratios, std::optional<quint16> temperature);

// How often a new file is begun.
enum class LogRotation { None, Hourly, Daily };

struct MeteringLogSettings {
    QString fileName;     // the file, or with rotation the name the dated files are built from
    int minIntervalS = 0; // 0 = every reply; else at most one line per this many seconds
    LogRotation rotation = LogRotation::None;
};

// "/logs/meter.csv" becomes "/logs/meter-2024-05-01.csv" (daily) or
// "/logs/meter-2024-05-01_13.csv" (hourly); without rotation the name is kept.
QString RotatedFileName(const QString& fileName, LogRotation rotation, const QDateTime& time);

// Writes the data log. Lines are written whole and handed to the system at once; a line
// that cannot be written whole (a full disk) is taken back out of the file and logging
// stops, with LastError saying why in the system's words ("No space left on device").
// Before each line the log checks that its name still leads to the file it writes: a file
// removed, renamed aside, or saved over by an editor (a new file under the old name) stops
// the log rather than filling a file nobody will find. Main thread only.
class MeteringCsvLog {
public:
    using Clock = std::function<QDateTime()>;
    using Ticks = std::function<qint64()>; // a monotonic clock in milliseconds
    // Writes bytes to a file descriptor as ::write does (-1 with errno set on failure);
    // tests put a full disk behind it.
    using Writer = std::function<qint64(int fd, const char* data, qint64 size)>;
    enum class Outcome { Written, Skipped, Failed, Off };

    MeteringCsvLog();

    // The wall clock stamps the lines and names the files; the monotonic one spaces them.
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    void SetTicks(Ticks ticks) { ticks_ = std::move(ticks); }
    void SetWriter(Writer writer) { writer_ = std::move(writer); }
    // Opens the first file (a new or empty file gets the header). False, with LastError,
    // when it cannot be opened.
    bool Start(const MeteringLogSettings& settings);
    void Stop();
    bool Active() const { return file_.isOpen(); }

    // A reply of block 0x130.
    Outcome BlockReceived(const QList<quint16>& block, const ScaleRatios& ratios);
    // A reply of register 0x518, kept for the following lines.
    void TemperatureReceived(quint16 reg) { temperature_ = reg; }

    qint64 Rows() const { return rows_; }
    QString FileName() const { return file_.fileName(); }
    const MeteringLogSettings& Settings() const { return settings_; }
    QString LastError() const { return error_; }

private:
    bool OpenFor(const QDateTime& now);
    bool StillThere(); // the name still leads to the file written; else error_ says why
    bool WriteLine(const QByteArray& line);
    Outcome Fail(); // closes the file; error_ says why

    Clock clock_;
    Ticks ticks_;
    Writer writer_;
    quint64 device_ = 0, inode_ = 0; // the file written, as the system knows it
    MeteringLogSettings settings_;
    QFile file_;
    QString error_;
    qint64 rows_ = 0;
    std::optional<qint64> lastRowTick_;
    std::optional<quint16> temperature_;
};
