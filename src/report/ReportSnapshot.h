#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>
#include <span>

// What a commissioning report is made from: every block of the meter it shows, read once
// in one pass over the line, and what the technician typed about the site. A block that
// did not answer in that pass stays empty and is reported as "not read": an older value
// from the live windows would put a false record in the technician's hands.

enum class ReportBlock : int {
    Parameters,    // 0x100, address, baud rate, wiring, PT/CT, outputs
    Model,         // 0x510, firmware version
    Clock,         // 0x32A
    RunTime,       // 0x3A5
    Metering,      // 0x130
    Temperature,   // 0x518
    Relays,        // coils 0..1
    Inputs,        // digital inputs 0..3
    Angles,        // 0x39D
    Thd,           // 0x168
    Spectrum,      // 0x1D6
    Max,           // 0x239
    Min,           // 0x2B0
    AlarmSettings, // 0x330
    AlarmRecords,  // 0x354
};
inline constexpr int ReportBlockCount = int(ReportBlock::AlarmRecords) + 1;

// One request of the snapshot.
struct ReportRead {
    ReportBlock block;
    quint8 function; // 1 coils, 2 inputs, 3 registers
    quint16 start;
    quint16 count;
    QString Message() const; // the master's message string, address "00"
};

// The requests in the order they go out: what dates the record (the clock) and what the
// rest is read through (block 0x100: the PT and CT ratios) first.
std::span<const ReportRead> ReportReads();
const ReportRead& ReportReadOf(ReportBlock block);

// The order a snapshot's requests go out in: every read of ReportReads() in turn; a read
// that got no good reply is asked again once, right away, before the report gives up on its
// block (one reply lost on a noisy line should not cost the record a block). When the
// first requests all went unanswered, nobody answers at this address and baud rate, and
// the pass ends there instead of waiting out every block.
inline constexpr int ReportReadAttempts = 2;
inline constexpr int ReportSilentRequests = 2 * ReportReadAttempts;
class ReportReadQueue {
public:
    // The read to send now; nullptr once the pass is over.
    const ReportRead* Next() const;
    // The outcome of the read Next() gave: `good` when its block was stored, `heard` when
    // any bytes came back at all (an exception, a damaged reply).
    void Done(bool good, bool heard);
    // Blocks done with (read, or given up after the last attempt), of Total().
    int Finished() const { return int(next_); }
    int Total() const;
    // The pass ended early: none of the first ReportSilentRequests requests got a byte back.
    bool NobodyAnswered() const { return heard_ == 0 && asked_ >= ReportSilentRequests; }

private:
    size_t next_ = 0;
    int attempt_ = 0;
    int asked_ = 0;
    int heard_ = 0;
};

// How long the requests and their replies take on the wire at `baud` (8N1, ten bits a
// character), with the 3.5-character silence after every frame: the least time the
// snapshot can take.
double ReportWireSeconds(quint32 baud);

// The line as the report's last section counts it.
struct LineTally {
    int sent = 0;
    int good = 0;
    int noResponse = 0;
    int crcErrors = 0;
};

struct ReportSnapshot {
    // The technician's record of where and by whom.
    QString site, feeder, technician, notes;
    // The meter as the program knows it.
    QString model;          // "QETRA 7300"
    bool alarmModel = true; // the model with alarm groups and records
    int address = 1;
    quint32 baud = 9600;
    QString port, device;
    // When the meter's clock was read, by the PC's clock.
    QDateTime pcTime;
    LineTally line;
    // How the report writes its numbers: the desktop's way, as its words follow the
    // desktop's language (the footer names it).
    QLocale numbers;

    // Register blocks (coils and inputs as 0/1); nothing = not read.
    std::array<std::optional<QList<quint16>>, ReportBlockCount> blocks;

    const std::optional<QList<quint16>>& Block(ReportBlock b) const { return blocks[int(b)]; }
    // A reply to `read`: kept only when it holds every register asked for, since a short
    // block would show some values and leave the rest blank without saying why. True when
    // it was kept.
    bool Store(const ReportRead& read, const QList<quint16>& values);
};

// The meter's clock from block 0x32A; nothing when the block is short or not a date.
std::optional<QDateTime> MeterClockTime(const QList<quint16>& values);

// The line's silence from the first request on, as the technician reads it: "No answer from
// address 7 at 9600 baud on COM1 (/dev/pts/3): check the address, baud rate and wiring, or
// use Search…".
QString ReportNoAnswerText(const ReportSnapshot& snapshot);
