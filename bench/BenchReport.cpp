#include "BenchReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString IntervalText(int ms) {
    return ms < 0 ? QStringLiteral("-") : QStringLiteral("%1 ms").arg(ms);
}

QString Fixed(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

QJsonObject LatencyJson(const LatencySummary& l) {
    return {
        {"samples", l.count}, {"median_ms", l.medianMs}, {"p99_ms", l.p99Ms}, {"max_ms", l.maxMs}};
}

void AddTarget(QList<TargetCheck>& out, const QString& name, double value, double limit,
               bool atLeast) {
    out.append({name, value, limit, atLeast, atLeast ? value >= limit : value <= limit});
}

} // namespace

const ThroughputRun* FindRun(const BenchReport& r, const QString& client, quint32 baud,
                             int queryIntervalMs) {
    for (const auto& run : r.runs) {
        if (run.client == client && run.baud == baud &&
            (client != QLatin1String("engine") || run.queryIntervalMs == queryIntervalMs))
            return &run;
    }
    return nullptr;
}

const WireTiming* FindWire(const BenchReport& r, quint32 baud) {
    for (const auto& w : r.wire) {
        if (w.baud == baud)
            return &w;
    }
    return nullptr;
}

const CpuRun* FindCpu(const BenchReport& r, const QString& scenario) {
    for (const auto& c : r.cpu) {
        if (c.scenario == scenario)
            return &c;
    }
    return nullptr;
}

double WireRatio(const BenchReport& r, const ThroughputRun& run) {
    const WireTiming* w = FindWire(r, run.baud);
    if (!w || w->idealTps <= 0)
        return 0;
    return run.Tps() / w->idealTps;
}

double LibmodbusRatio(const BenchReport& r, const ThroughputRun& engineRun) {
    const ThroughputRun* lib = FindRun(r, QStringLiteral("libmodbus"), engineRun.baud);
    if (!lib || lib->Tps() <= 0 || engineRun.client != QLatin1String("engine"))
        return 0;
    return engineRun.Tps() / lib->Tps();
}

QList<TargetCheck> EvaluateTargets(const BenchReport& r) {
    QList<TargetCheck> out;
    // Against the wire where the simulated line keeps to it; above 38400 baud the line's
    // fixed 1.75 ms gaps are what it does not model, so only libmodbus is the yardstick.
    for (const quint32 baud : {9600u, 38400u}) {
        if (const ThroughputRun* e = FindRun(r, QStringLiteral("engine"), baud, 0)) {
            if (FindWire(r, baud))
                AddTarget(out,
                          QStringLiteral("engine interval 0 at %1 baud / wire limit").arg(baud),
                          WireRatio(r, *e), 0.97, true);
        }
    }
    for (const auto& run : r.runs) {
        if (run.client != QLatin1String("engine") || run.queryIntervalMs != 0 ||
            !FindRun(r, QStringLiteral("libmodbus"), run.baud))
            continue;
        AddTarget(out, QStringLiteral("engine interval 0 at %1 baud / libmodbus").arg(run.baud),
                  LibmodbusRatio(r, run), 0.99, true);
    }
    for (const auto& run : r.runs) {
        if (run.client != QLatin1String("engine") || run.queryIntervalMs != 0 || !run.latency.count)
            continue;
        AddTarget(out, QStringLiteral("evaluation latency median at %1 baud, ms").arg(run.baud),
                  run.latency.medianMs, 1.0, false);
        AddTarget(out, QStringLiteral("evaluation latency p99 at %1 baud, ms").arg(run.baud),
                  run.latency.p99Ms, 3.0, false);
    }
    if (const CpuRun* c = FindCpu(r, QStringLiteral("polling")))
        AddTarget(out, QStringLiteral("CPU while polling, % of a core"), c->PercentOfCore(), 1.0,
                  false);
    if (const CpuRun* c = FindCpu(r, QStringLiteral("no-reply")))
        AddTarget(out, QStringLiteral("CPU waiting for no reply, % of a core"), c->PercentOfCore(),
                  0.5, false);
    return out;
}

QString FormatTable(const BenchReport& r) {
    QString s;
    auto line = [&s](const QString& text) { s += text + QLatin1Char('\n'); };

    line(QStringLiteral("QetraLink polling benchmark: block 0x%1, %2 registers; %3 reads per run, "
                        "%4 round(s); %5 core(s), load average %6%7")
             .arg(r.startAddress, 0, 16)
             .arg(r.registers)
             .arg(r.readsPerRun)
             .arg(r.rounds)
             .arg(r.cores)
             .arg(Fixed(r.loadAverage, 2))
             .arg(r.quiet ? QString() : QStringLiteral(" (machine busy: figures are noisy)")));
    line(QString());

    line(QStringLiteral(
        "Wire limit (10 bits per character; 3.5-character gaps, 1.75 ms above 19200)"));
    line(QStringLiteral("   baud  request  reply  char ms  gap ms  transaction ms  ideal tx/s"));
    for (const auto& w : r.wire) {
        line(QStringLiteral("%1  %2  %3  %4  %5  %6  %7")
                 .arg(w.baud, 7)
                 .arg(w.requestBytes, 7)
                 .arg(w.replyBytes, 5)
                 .arg(Fixed(w.charMs, 3), 7)
                 .arg(Fixed(w.gapMs, 3), 6)
                 .arg(Fixed(w.transactionMs, 3), 14)
                 .arg(Fixed(w.idealTps, 3), 10));
    }
    line(QString());

    line(QStringLiteral(
        "Throughput (reads of the block on the simulated line, paced at wire speed)"));
    line(QStringLiteral(
        "   baud  client     interval  reads     ok  errors  seconds     tx/s  x wire  "
        "x libmodbus"));
    for (const auto& run : r.runs) {
        const double lib = LibmodbusRatio(r, run);
        line(QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9  %10")
                 .arg(run.baud, 7)
                 .arg(run.client, -9)
                 .arg(IntervalText(run.queryIntervalMs), 8)
                 .arg(run.reads, 5)
                 .arg(run.ok, 5)
                 .arg(run.errors, 6)
                 .arg(Fixed(run.seconds, 2), 7)
                 .arg(Fixed(run.Tps(), 3), 7)
                 .arg(Fixed(WireRatio(r, run), 3), 6)
                 .arg(lib > 0 ? Fixed(lib, 3) : QStringLiteral("-"), 11));
    }
    line(QString());

    line(QStringLiteral("Evaluation latency of the engine (reply evaluable -> OnF03Response)"));
    line(QStringLiteral("   baud  interval  samples  median ms  p99 ms  max ms"));
    for (const auto& run : r.runs) {
        if (run.client != QLatin1String("engine"))
            continue;
        line(QStringLiteral("%1  %2  %3  %4  %5  %6")
                 .arg(run.baud, 7)
                 .arg(IntervalText(run.queryIntervalMs), 8)
                 .arg(run.latency.count, 7)
                 .arg(Fixed(run.latency.medianMs, 3), 9)
                 .arg(Fixed(run.latency.p99Ms, 3), 6)
                 .arg(Fixed(run.latency.maxMs, 3), 6));
    }
    line(QString());

    line(QStringLiteral("Where an engine transaction goes (medians, ms): request written -> last "
                        "reply chunk delivered, evaluation, evaluation -> next request written"));
    line(QStringLiteral("   baud  interval  to last chunk  evaluation  turnaround  transaction  "
                        "chunks/reply"));
    for (const auto& run : r.runs) {
        if (run.client != QLatin1String("engine"))
            continue;
        line(QStringLiteral("%1  %2  %3  %4  %5  %6  %7")
                 .arg(run.baud, 7)
                 .arg(IntervalText(run.queryIntervalMs), 8)
                 .arg(Fixed(run.replyWait.medianMs, 3), 13)
                 .arg(Fixed(run.latency.medianMs, 3), 10)
                 .arg(Fixed(run.turnaround.medianMs, 3), 10)
                 .arg(Fixed(run.reads > 0 ? 1000.0 * run.seconds / run.reads : 0, 3), 11)
                 .arg(Fixed(run.chunksPerReply, 2), 12));
    }
    line(QString());

    line(QStringLiteral("CPU of this process (all threads), engine at the program's defaults"));
    line(QStringLiteral("  scenario   baud  interval  timeout  seconds  cpu s  % of a core  "
                        "transactions  ok"));
    for (const auto& c : r.cpu) {
        line(QStringLiteral("  %1  %2  %3  %4  %5  %6  %7  %8  %9")
                 .arg(c.scenario, -8)
                 .arg(c.baud, 5)
                 .arg(IntervalText(c.queryIntervalMs), 8)
                 .arg(IntervalText(c.queryTimeoutMs), 7)
                 .arg(Fixed(c.wallSeconds, 1), 7)
                 .arg(Fixed(c.cpuSeconds, 3), 5)
                 .arg(Fixed(c.PercentOfCore(), 3), 11)
                 .arg(c.transactions, 12)
                 .arg(c.ok, 2));
    }

    const auto targets = EvaluateTargets(r);
    if (!targets.isEmpty()) {
        line(QString());
        line(QStringLiteral("Targets"));
        for (const auto& t : targets) {
            line(QStringLiteral("  [%1] %2: %3 (%4 %5)")
                     .arg(t.met ? QStringLiteral("met ") : QStringLiteral("MISS"))
                     .arg(t.name)
                     .arg(Fixed(t.value, 3))
                     .arg(t.atLeast ? QStringLiteral(">=") : QStringLiteral("<="))
                     .arg(Fixed(t.limit, 3)));
        }
    }
    if (!r.notes.isEmpty()) {
        line(QString());
        line(QStringLiteral("Notes"));
        for (const auto& n : r.notes)
            line(QStringLiteral("  - ") + n);
    }
    return s;
}

QByteArray FormatJsonLine(const BenchReport& r) {
    QJsonArray wire;
    for (const auto& w : r.wire) {
        wire.append(QJsonObject{{"baud", static_cast<qint64>(w.baud)},
                                {"request_bytes", w.requestBytes},
                                {"reply_bytes", w.replyBytes},
                                {"char_ms", w.charMs},
                                {"gap_ms", w.gapMs},
                                {"transaction_ms", w.transactionMs},
                                {"ideal_tps", w.idealTps}});
    }
    QJsonArray runs;
    for (const auto& run : r.runs) {
        QJsonObject o{{"client", run.client}, {"baud", static_cast<qint64>(run.baud)},
                      {"reads", run.reads},   {"ok", run.ok},
                      {"errors", run.errors}, {"seconds", run.seconds},
                      {"tps", run.Tps()},     {"wire_ratio", WireRatio(r, run)}};
        if (run.client == QLatin1String("engine")) {
            o.insert("query_interval_ms", run.queryIntervalMs);
            o.insert("libmodbus_ratio", LibmodbusRatio(r, run));
            o.insert("latency", LatencyJson(run.latency));
            o.insert("reply_wait", LatencyJson(run.replyWait));
            o.insert("turnaround", LatencyJson(run.turnaround));
            o.insert("chunks_per_reply", run.chunksPerReply);
        }
        runs.append(o);
    }
    QJsonArray cpu;
    for (const auto& c : r.cpu) {
        cpu.append(QJsonObject{{"scenario", c.scenario},
                               {"baud", static_cast<qint64>(c.baud)},
                               {"query_interval_ms", c.queryIntervalMs},
                               {"query_timeout_ms", c.queryTimeoutMs},
                               {"seconds", c.wallSeconds},
                               {"cpu_seconds", c.cpuSeconds},
                               {"percent_of_core", c.PercentOfCore()},
                               {"transactions", c.transactions},
                               {"ok", c.ok}});
    }
    QJsonArray targets;
    for (const auto& t : EvaluateTargets(r)) {
        targets.append(QJsonObject{{"name", t.name},
                                   {"value", t.value},
                                   {"limit", t.limit},
                                   {"at_least", t.atLeast},
                                   {"met", t.met}});
    }
    const QJsonObject root{{"benchmark", "qetra-bench"},
                           {"cores", r.cores},
                           {"load_average", r.loadAverage},
                           {"quiet", r.quiet},
                           {"start_address", r.startAddress},
                           {"registers", r.registers},
                           {"reads_per_run", r.readsPerRun},
                           {"rounds", r.rounds},
                           {"wire", wire},
                           {"runs", runs},
                           {"cpu", cpu},
                           {"targets", targets},
                           {"notes", QJsonArray::fromStringList(r.notes)}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}
