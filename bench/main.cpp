// qetra-bench: how fast the program's master polls the meter's main block on a line
// paced at real wire speed, against the wire itself and against libmodbus, and what
// it costs in CPU. Prints a table and one JSON line.

#include "BenchReport.h"
#include "CpuClock.h"
#include "EngineReads.h"
#include "LibmodbusReads.h"
#include "MeterSimProcess.h"
#include "OperatorDialogs.h"
#include "TqvModbus.h"
#include "TrafficModel.h"
#include "WireLimit.h"
#include "frmTrafficMonitor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

constexpr quint16 kBlockStart = 0x130;
constexpr int kBlockRegisters = 54;
constexpr int kMeterAddress = 1;
constexpr int kSilentAddress = 2;     // nobody answers there: every wait runs to its limit
constexpr int kDefaultInterval = 200; // the program's stored QueryInterval
constexpr int kDefaultTimeout = 3000; // and QueryTimeout
// Above this the machine is busy with other work and the figures are noisy.
constexpr double kQuietLoad = 1.0;

struct Settings {
    QString simProgram;
    QList<quint32> bauds{9600, 38400, 115200};
    int reads = 120;
    int rounds = 3;
    double cpuSeconds = 30;
    int noReplyTimeoutMs = kDefaultTimeout;
    // The program's traffic monitor fed by every engine transaction; null = none.
    TransactionObserver* observer = nullptr;
};

QTextStream& Err() {
    static QTextStream s(stderr);
    return s;
}

void Progress(const QString& text) {
    Err() << "qetra-bench: " << text << Qt::endl;
}

ThroughputRun NewRun(const QString& client, quint32 baud, int interval) {
    ThroughputRun run;
    run.client = client;
    run.baud = baud;
    run.queryIntervalMs = interval;
    return run;
}

// Timings of an engine run's transactions, gathered over its rounds.
struct Samples {
    std::vector<double> latency, replyWait, turnaround;
    int chunks = 0;

    void Add(const EngineReadResult& r) {
        latency.insert(latency.end(), r.latenciesMs.begin(), r.latenciesMs.end());
        replyWait.insert(replyWait.end(), r.replyWaitMs.begin(), r.replyWaitMs.end());
        turnaround.insert(turnaround.end(), r.turnaroundMs.begin(), r.turnaroundMs.end());
        chunks += r.chunks;
    }
    void SummariseInto(ThroughputRun& run) {
        run.chunksPerReply = replyWait.empty() ? 0 : double(chunks) / double(replyWait.size());
        run.latency = SummariseLatencies(std::move(latency));
        run.replyWait = SummariseLatencies(std::move(replyWait));
        run.turnaround = SummariseLatencies(std::move(turnaround));
    }
};

// The monitor window's message boxes (a failed save) never come up in the benchmark.
class QuietDialogs : public OperatorDialogs {
public:
    void ShowMessage(Icon, const QString&, const QString& text) override {
        Progress(QStringLiteral("message: %1").arg(text));
    }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    void ShowDefaultError(const QString& text) override { Progress(text); }
};

class Bench {
public:
    explicit Bench(const Settings& s) : s_(s) {}

    // False when something is broken (a client could not talk to the meter at all, or
    // replies failed); slow figures are not a failure.
    bool Run(BenchReport& report) {
        report.readsPerRun = s_.reads;
        report.rounds = s_.rounds;
        report.startAddress = kBlockStart;
        report.registers = kBlockRegisters;
        for (quint32 baud : s_.bauds) {
            report.wire.append(ComputeWireTiming(baud, kReadRegistersRequestBytes,
                                                 ReadRegistersReplyBytes(kBlockRegisters)));
            if (!Throughput(baud, report))
                return false;
        }
        return Cpu(report);
    }

private:
    bool StartSim(MeterSimProcess& sim, quint32 baud) {
        QString error;
        const QStringList args{QStringLiteral("--wire-time"),
                               QStringLiteral("--baud"),
                               QString::number(baud),
                               QStringLiteral("--address"),
                               QString::number(kMeterAddress),
                               QStringLiteral("--seed"),
                               QStringLiteral("1")};
        if (!sim.Start(s_.simProgram, args, 10000, &error)) {
            Progress(error);
            return false;
        }
        return true;
    }

    bool Check(const QString& what, const QString& error, int reads, int ok, int errors) {
        if (!error.isEmpty()) {
            Progress(QStringLiteral("%1: %2").arg(what, error));
            return false;
        }
        if (ok == 0 || errors > 0 || ok != reads) {
            Progress(
                QStringLiteral("%1: %2 of %3 reads failed").arg(what).arg(reads - ok).arg(reads));
            return false;
        }
        return true;
    }

    bool EngineRun(const QString& device, quint32 baud, int interval, int count, ThroughputRun& run,
                   Samples& samples) {
        EngineReadOptions o;
        o.device = device;
        o.baud = baud;
        o.slave = kMeterAddress;
        o.startAddress = kBlockStart;
        o.registers = kBlockRegisters;
        o.queryIntervalMs = interval;
        o.queryTimeoutMs = kDefaultTimeout;
        o.count = count;
        o.observer = s_.observer;
        const EngineReadResult r = RunEngineReads(o);
        run.reads += r.reads;
        run.ok += r.ok;
        run.errors += r.errors;
        run.seconds += r.seconds;
        samples.Add(r);
        return Check(QStringLiteral("engine at %1 baud, interval %2 ms").arg(baud).arg(interval),
                     r.error, r.reads, r.ok, r.errors);
    }

    bool LibmodbusRun(const QString& device, quint32 baud, int count, ThroughputRun& run) {
        const LibmodbusResult r = RunLibmodbusReads(device, baud, kMeterAddress, kBlockStart,
                                                    kBlockRegisters, count, kDefaultTimeout);
        run.reads += r.reads;
        run.ok += r.ok;
        run.errors += r.errors;
        run.seconds += r.seconds;
        return Check(QStringLiteral("libmodbus at %1 baud").arg(baud), r.error, r.reads, r.ok,
                     r.errors);
    }

    bool Throughput(quint32 baud, BenchReport& report) {
        MeterSimProcess sim;
        if (!StartSim(sim, baud))
            return false;
        const QString device = sim.Device();
        ThroughputRun fast = NewRun(QStringLiteral("engine"), baud, 0);
        ThroughputRun lib = NewRun(QStringLiteral("libmodbus"), baud, -1);
        ThroughputRun paced = NewRun(QStringLiteral("engine"), baud, kDefaultInterval);
        Samples fastSamples, pacedSamples;
        bool ok = true;
        // Alternate the two masters so that a change in machine load hits both alike.
        for (int round = 0; ok && round < s_.rounds; ++round) {
            const int count = s_.reads / s_.rounds + (round < s_.reads % s_.rounds ? 1 : 0);
            Progress(QStringLiteral("%1 baud, round %2 of %3: %4 reads each")
                         .arg(baud)
                         .arg(round + 1)
                         .arg(s_.rounds)
                         .arg(count));
            ok = EngineRun(device, baud, 0, count, fast, fastSamples) &&
                 LibmodbusRun(device, baud, count, lib);
        }
        if (ok) {
            Progress(QStringLiteral("%1 baud, interval %2 ms: %3 reads")
                         .arg(baud)
                         .arg(kDefaultInterval)
                         .arg(s_.reads));
            ok = EngineRun(device, baud, kDefaultInterval, s_.reads, paced, pacedSamples);
        }
        fastSamples.SummariseInto(fast);
        pacedSamples.SummariseInto(paced);
        report.runs << fast << lib << paced;
        const QString simLog = sim.Stop().trimmed();
        if (!ok && !simLog.isEmpty())
            Progress(QStringLiteral("meter-sim said: %1").arg(simLog));
        return ok;
    }

    bool CpuRunAt(const QString& device, const QString& scenario, int slave, int timeoutMs,
                  BenchReport& report) {
        Progress(QStringLiteral("CPU, %1: %2 s").arg(scenario).arg(s_.cpuSeconds));
        EngineReadOptions o;
        o.device = device;
        o.baud = 9600;
        o.slave = slave;
        o.startAddress = kBlockStart;
        o.registers = kBlockRegisters;
        o.queryIntervalMs = kDefaultInterval;
        o.queryTimeoutMs = timeoutMs;
        o.seconds = s_.cpuSeconds;
        o.observer = s_.observer;
        const EngineReadResult r = RunEngineReads(o);
        CpuRun c;
        c.scenario = scenario;
        c.baud = o.baud;
        c.queryIntervalMs = o.queryIntervalMs;
        c.queryTimeoutMs = o.queryTimeoutMs;
        c.wallSeconds = r.seconds;
        c.cpuSeconds = r.cpuSeconds;
        c.transactions = r.reads;
        c.ok = r.ok;
        report.cpu << c;
        if (!r.error.isEmpty()) {
            Progress(QStringLiteral("CPU run %1: %2").arg(scenario, r.error));
            return false;
        }
        if (slave == kMeterAddress)
            return Check(QStringLiteral("CPU run %1").arg(scenario), QString(), r.reads, r.ok,
                         r.errors);
        // Nobody answers the silent address; any reply there would be a simulator fault.
        if (r.ok != 0 || r.reads == 0) {
            Progress(QStringLiteral("CPU run %1: %2 transactions, %3 answered")
                         .arg(scenario)
                         .arg(r.reads)
                         .arg(r.ok));
            return false;
        }
        return true;
    }

    bool Cpu(BenchReport& report) {
        MeterSimProcess sim;
        if (!StartSim(sim, 9600))
            return false;
        return CpuRunAt(sim.Device(), QStringLiteral("polling"), kMeterAddress, kDefaultTimeout,
                        report) &&
               CpuRunAt(sim.Device(), QStringLiteral("no-reply"), kSilentAddress,
                        s_.noReplyTimeoutMs, report);
    }

    Settings s_;
};

void AddNotes(BenchReport& r) {
    r.notes << QStringLiteral("The serial reader hands a reply over as soon as the length the "
                              "engine awaits has come in since the request was written; its "
                              "5 ms read-interval silence now ends only short, exception and "
                              "stray answers.");
    QStringList gaps;
    for (const auto& w : r.wire) {
        const ThroughputRun* e = FindRun(r, QStringLiteral("engine"), w.baud, 0);
        const ThroughputRun* lib = FindRun(r, QStringLiteral("libmodbus"), w.baud);
        if (!e || !lib || e->Tps() <= 0 || lib->Tps() <= 0)
            continue;
        gaps << QStringLiteral("%1 ms at %2 baud")
                    .arg(1000.0 / e->Tps() - 1000.0 / lib->Tps(), 0, 'f', 3)
                    .arg(w.baud);
    }
    if (!gaps.isEmpty())
        r.notes << QStringLiteral("Engine minus libmodbus per transaction: %1. What bounds it is "
                                  "thread hand-offs: each reply goes from the reader thread to "
                                  "the main thread's event loop, where it is evaluated and the "
                                  "next request is written; libmodbus reads and writes on its "
                                  "one thread. It weighs most at high rates, where a transaction "
                                  "is short.")
                       .arg(gaps.join(QStringLiteral(", ")));
    r.notes << QStringLiteral("Evaluation latency: from the delivery of the reply's last chunk to "
                              "the main thread (OnRecvData) to OnF03Response; at interval 200 ms "
                              "from the later of that and the end of the interval (the "
                              "watcher's timed wake).");
    r.notes << QStringLiteral("Interval 200 ms runs are paced by QueryInterval (a reply is never "
                              "evaluated earlier), not by the line.");
    r.notes << QStringLiteral("The simulated meter answers after the request's closing silence "
                              "but does not hold the one after its reply, which both masters "
                              "skip: either can beat the wire limit, most at high rates "
                              "(fixed 1.75 ms gaps).");
    for (const auto& w : r.wire) {
        // libmodbus adds no wait of its own, so its pace is the simulated line's pace.
        const ThroughputRun* lib = FindRun(r, QStringLiteral("libmodbus"), w.baud);
        if (!lib || lib->Tps() <= 0)
            continue;
        const double lineMs = 1000.0 / lib->Tps();
        if (lineMs > w.transactionMs * 1.02)
            r.notes << QStringLiteral("At %1 baud the simulated line itself is slower than the "
                                      "wire limit: libmodbus needs %2 ms per transaction against "
                                      "%3 ms on the wire, so no master can reach 1.0 x wire there.")
                           .arg(w.baud)
                           .arg(lineMs, 0, 'f', 2)
                           .arg(w.transactionMs, 0, 'f', 2);
    }
    if (!r.quiet)
        r.notes << QStringLiteral("Load average %1 on %2 core(s): other work ran alongside; "
                                  "figures are noisy.")
                       .arg(r.loadAverage, 0, 'f', 2)
                       .arg(r.cores);
}

} // namespace

int main(int argc, char* argv[]) {
    // The monitor's window needs the widget application; everything else runs without.
    bool wantsView = false;
    for (int i = 1; i < argc; ++i)
        wantsView = wantsView || std::strcmp(argv[i], "--monitor-view") == 0;
    if (wantsView && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application =
        wantsView ? std::make_unique<QApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("qetra-bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Polls block 0x130 (54 registers) of a simulated meter whose replies are "
                       "paced at wire speed (meter-sim --wire-time), with the program's master "
                       "at QueryInterval 0 and 200 ms and with libmodbus, at 9600, 38400 and "
                       "115200 baud (--baud); "
                       "then measures the process CPU time while polling at the program's "
                       "defaults and while no reply comes. Prints a table and one JSON line. "
                       "Exits 1 when a run breaks (failed replies, no simulator), never because "
                       "of speed."));
    parser.addHelpOption();
    const QCommandLineOption simOpt(QStringLiteral("sim"),
                                    QStringLiteral("The meter-sim program (default: next to this "
                                                   "one)."),
                                    QStringLiteral("path"));
    const QCommandLineOption readsOpt(QStringLiteral("reads"),
                                      QStringLiteral("Reads per master and baud rate (default "
                                                     "120)."),
                                      QStringLiteral("n"), QStringLiteral("120"));
    const QCommandLineOption roundsOpt(QStringLiteral("rounds"),
                                       QStringLiteral("Alternations of the program's master and "
                                                      "libmodbus (default 3)."),
                                       QStringLiteral("n"), QStringLiteral("3"));
    const QCommandLineOption cpuOpt(QStringLiteral("cpu-seconds"),
                                    QStringLiteral("Length of each CPU measurement (default 30)."),
                                    QStringLiteral("s"), QStringLiteral("30"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"),
                                     QStringLiteral("Baud rate of the throughput runs; repeat for "
                                                    "several (default 9600, 38400 and 115200)."),
                                     QStringLiteral("rate"));
    const QCommandLineOption smokeOpt(
        QStringLiteral("smoke"),
        QStringLiteral("A short run of a few seconds that checks that everything still works: "
                       "4 reads per run in 2 rounds, 1 s CPU runs with a 300 ms reply timeout."));
    const QCommandLineOption monitorOpt(
        QStringLiteral("monitor"),
        QStringLiteral("Feed every engine transaction into the program's traffic monitor "
                       "record (10,000 rows, the oldest dropped), as the program always does."));
    const QCommandLineOption monitorViewOpt(
        QStringLiteral("monitor-view"),
        QStringLiteral("As --monitor, with the monitor window shown and following the newest "
                       "row (offscreen when there is no display)."));
    parser.addOptions(
        {simOpt, readsOpt, roundsOpt, cpuOpt, baudOpt, smokeOpt, monitorOpt, monitorViewOpt});
    parser.process(app);

    Settings s;
    s.simProgram = parser.isSet(simOpt)
                       ? parser.value(simOpt)
                       : QDir(QCoreApplication::applicationDirPath()).filePath("meter-sim");
    bool okReads = false, okRounds = false, okCpu = false;
    s.reads = parser.value(readsOpt).toInt(&okReads);
    s.rounds = parser.value(roundsOpt).toInt(&okRounds);
    s.cpuSeconds = parser.value(cpuOpt).toDouble(&okCpu);
    bool okBauds = true;
    if (parser.isSet(baudOpt)) {
        s.bauds.clear();
        for (const QString& v : parser.values(baudOpt)) {
            bool ok = false;
            const quint32 baud = v.toUInt(&ok);
            okBauds = okBauds && ok && baud > 0;
            s.bauds << baud;
        }
    }
    if (parser.isSet(smokeOpt)) {
        s.reads = 4;
        s.rounds = 2;
        s.cpuSeconds = 1;
        s.noReplyTimeoutMs = 300;
        okReads = okRounds = okCpu = true;
    }
    if (!okReads || !okRounds || !okCpu || !okBauds || s.reads < 1 || s.rounds < 1 ||
        s.rounds > s.reads || s.cpuSeconds <= 0) {
        Err() << "qetra-bench: --reads and --rounds need 1 <= rounds <= reads, --cpu-seconds > 0, "
                 "--baud a rate above 0\n";
        parser.showHelp(2);
    }
    if (!QFileInfo(s.simProgram).isExecutable()) {
        Err() << "qetra-bench: no meter-sim at " << s.simProgram << " (build it, or pass --sim)\n";
        return 1;
    }

    // The traffic monitor as the program has it: the model always, the window on demand.
    std::unique_ptr<TrafficModel> traffic;
    std::unique_ptr<QuietDialogs> noDialogs;
    std::unique_ptr<TFormTrafficMonitor> monitor;
    if (parser.isSet(monitorOpt) || parser.isSet(monitorViewOpt)) {
        traffic = std::make_unique<TrafficModel>();
        s.observer = traffic.get();
        if (parser.isSet(monitorViewOpt)) {
            noDialogs = std::make_unique<QuietDialogs>();
            monitor = std::make_unique<TFormTrafficMonitor>(*traffic, *noDialogs);
            monitor->show();
        }
    }

    BenchReport report;
    report.cores = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    const double loadBefore = LoadAverage1();

    TqvModbus::StartResponseWatcher();
    const bool ok = Bench(s).Run(report);
    TqvModbus::StopResponseWatcher();

    report.loadAverage = std::max(loadBefore, LoadAverage1());
    report.quiet = report.loadAverage >= 0 && report.loadAverage < kQuietLoad;
    AddNotes(report);
    if (traffic)
        traffic->Flush(); // the last batch, still waiting for the event loop
    if (traffic)
        report.notes << QStringLiteral("Traffic monitor attached (%1): %2 transactions recorded, "
                                       "%3 rows kept of at most %4.")
                            .arg(monitor ? QStringLiteral("record and window")
                                         : QStringLiteral("record only"))
                            .arg(traffic->Transactions())
                            .arg(traffic->RecordedCount())
                            .arg(traffic->Capacity());

    QTextStream out(stdout);
    out << FormatTable(report) << '\n' << FormatJsonLine(report) << '\n';
    out.flush();
    return ok ? 0 : 1;
}
