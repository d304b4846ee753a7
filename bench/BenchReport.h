#pragma once

#include "BenchStats.h"
#include "WireLimit.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The figures of one benchmark run and their two renderings: a table for people and
// one JSON line for scripts.

// Reads of one client at one baud rate, summed over all rounds.
struct ThroughputRun {
    QString client; // "engine" or "libmodbus"
    quint32 baud = 0;
    int queryIntervalMs = -1; // engine only; -1 for libmodbus
    int reads = 0;            // transactions completed (good or not)
    int ok = 0;               // replies accepted with the expected registers
    int errors = 0;           // failed transactions
    double seconds = 0;       // wall time of all rounds together
    // Engine only: from the moment a reply could be evaluated to OnF03Response. With
    // interval 0 that moment is the delivery of the reply's last chunk (OnRecvData);
    // with a longer interval it is the later of that and the interval's end.
    LatencySummary latency;
    // Engine only: OnAfterSendMsg to the reply's last chunk, OnF03Response to the next
    // OnAfterSendMsg, and chunks per accepted reply.
    LatencySummary replyWait;
    LatencySummary turnaround;
    double chunksPerReply = 0;

    double Tps() const { return seconds > 0 ? reads / seconds : 0; }
};

// Process CPU time over a stretch of polling.
struct CpuRun {
    QString scenario; // "polling" (replies come) or "no-reply" (every wait runs out)
    quint32 baud = 0;
    int queryIntervalMs = 0;
    int queryTimeoutMs = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0; // user + system, all threads of this process
    int transactions = 0;
    int ok = 0;

    double PercentOfCore() const { return wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0; }
};

struct TargetCheck {
    QString name;
    double value = 0;
    double limit = 0;
    bool atLeast = true; // value must be >= limit, else <= limit
    bool met = false;
};

struct BenchReport {
    int cores = 0;
    bool quiet = false; // the machine was otherwise idle (load check), else figures are noisy
    double loadAverage = 0;
    quint16 startAddress = 0x130;
    int registers = 54;
    int readsPerRun = 0;
    int rounds = 0;
    QList<WireTiming> wire;
    QList<ThroughputRun> runs;
    QList<CpuRun> cpu;
    QStringList notes;
};

// The run of `client` at `baud` (and `queryIntervalMs` for the engine), or nullptr.
const ThroughputRun* FindRun(const BenchReport& r, const QString& client, quint32 baud,
                             int queryIntervalMs = -1);
const WireTiming* FindWire(const BenchReport& r, quint32 baud);
const CpuRun* FindCpu(const BenchReport& r, const QString& scenario);

// Rate of a run against the wire limit at its baud rate; 0 when either is missing.
double WireRatio(const BenchReport& r, const ThroughputRun& run);
// Engine rate against libmodbus at the same baud rate; 0 when either is missing.
double LibmodbusRatio(const BenchReport& r, const ThroughputRun& engineRun);

// The targets the figures are held against; a figure that was not measured is left out.
QList<TargetCheck> EvaluateTargets(const BenchReport& r);

QString FormatTable(const BenchReport& r);
// One line of compact JSON (no line break inside), with every figure of the table.
QByteArray FormatJsonLine(const BenchReport& r);
