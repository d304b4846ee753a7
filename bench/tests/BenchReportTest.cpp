#include "BenchReport.h"
#include "BenchStats.h"
#include "WireLimit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

// A meter reply to a read of block 0x130 (54 registers): 113 bytes; the request 8.
WireTiming BlockTiming(quint32 baud) {
    return ComputeWireTiming(baud, kReadRegistersRequestBytes, ReadRegistersReplyBytes(54));
}

TEST(WireLimit, BlockReadAtTheBenchmarkRates) {
    EXPECT_EQ(ReadRegistersReplyBytes(54), 113);

    const WireTiming slow = BlockTiming(9600);
    EXPECT_NEAR(slow.charMs, 1.041667, 1e-6);
    EXPECT_NEAR(slow.gapMs, 3.645833, 1e-6); // 3.5 characters
    EXPECT_NEAR(slow.requestMs + slow.replyMs, 121 * 1.041667, 1e-3);
    EXPECT_NEAR(slow.transactionMs, 133.3333, 1e-3); // 128 character times
    EXPECT_NEAR(slow.idealTps, 7.5, 1e-6);

    const WireTiming fast = BlockTiming(38400);
    EXPECT_DOUBLE_EQ(fast.gapMs, 1.75); // fixed above 19200, not 3.5 characters (0.91 ms)
    EXPECT_NEAR(fast.transactionMs, 121 * 10000.0 / 38400 + 3.5, 1e-9);
    EXPECT_NEAR(fast.idealTps, 28.563, 1e-3);
}

TEST(WireLimit, GapRuleSwitchesOnlyAbove19200) {
    EXPECT_NEAR(FrameGapMs(19200), 35000.0 / 19200, 1e-9);
    EXPECT_DOUBLE_EQ(FrameGapMs(19201), 1.75);
    EXPECT_DOUBLE_EQ(FrameGapMs(115200), 1.75);
}

TEST(WireLimit, ZeroBaudGivesNoFigures) {
    const WireTiming t = BlockTiming(0);
    EXPECT_EQ(t.transactionMs, 0);
    EXPECT_EQ(t.idealTps, 0);
    EXPECT_EQ(FrameGapMs(0), 0);
}

TEST(LatencySummary, MedianPercentileAndMaximum) {
    EXPECT_EQ(SummariseLatencies({}).count, 0);
    EXPECT_EQ(SummariseLatencies({}).maxMs, 0);

    const LatencySummary odd = SummariseLatencies({5, 1, 3});
    EXPECT_EQ(odd.count, 3);
    EXPECT_DOUBLE_EQ(odd.medianMs, 3);
    EXPECT_DOUBLE_EQ(odd.maxMs, 5);
    EXPECT_DOUBLE_EQ(odd.p99Ms, 5); // fewer than 100 samples: the largest

    EXPECT_DOUBLE_EQ(SummariseLatencies({4, 1, 2, 3}).medianMs, 2.5);

    // 1 .. 200 shuffled: the 99th percentile is the 198th sample, not the maximum.
    std::vector<double> ramp;
    for (int i = 1; i <= 200; ++i)
        ramp.push_back((i * 73) % 200 + 1); // a permutation of 1..200
    const LatencySummary big = SummariseLatencies(ramp);
    EXPECT_EQ(big.count, 200);
    EXPECT_DOUBLE_EQ(big.p99Ms, 198);
    EXPECT_DOUBLE_EQ(big.maxMs, 200);
    EXPECT_DOUBLE_EQ(big.medianMs, 100.5);
}

TEST(LatencySummary, OneSlowOutlierReachesOnlyTheTopPercentile) {
    std::vector<double> samples(1000, 0.2);
    samples[500] = 40;
    const LatencySummary s = SummariseLatencies(samples);
    EXPECT_DOUBLE_EQ(s.medianMs, 0.2);
    EXPECT_DOUBLE_EQ(s.p99Ms, 0.2);
    EXPECT_DOUBLE_EQ(s.maxMs, 40);
}

ThroughputRun Run(const char* client, quint32 baud, int interval, double tps) {
    ThroughputRun run;
    run.client = QString::fromLatin1(client);
    run.baud = baud;
    run.queryIntervalMs = interval;
    run.reads = run.ok = 100;
    run.seconds = 100 / tps;
    return run;
}

BenchReport SampleReport() {
    BenchReport r;
    r.cores = 2;
    r.readsPerRun = 100;
    r.rounds = 2;
    r.wire = {BlockTiming(9600), BlockTiming(38400), BlockTiming(115200)};
    ThroughputRun e9600 = Run("engine", 9600, 0, 7.3);
    e9600.latency = SummariseLatencies({0.3, 0.4, 0.5});
    const ThroughputRun lib9600 = Run("libmodbus", 9600, -1, 7.35);
    const ThroughputRun paced9600 = Run("engine", 9600, 200, 4.9);
    ThroughputRun e38400 = Run("engine", 38400, 0, 23.0);
    e38400.latency = SummariseLatencies({0.5, 0.6, 3.5});
    ThroughputRun e115200 = Run("engine", 115200, 0, 69.0);
    e115200.latency = SummariseLatencies({0.1, 0.1, 0.2});
    const ThroughputRun lib115200 = Run("libmodbus", 115200, -1, 71.0);
    r.runs = {e9600, lib9600, paced9600, e38400, e115200, lib115200};
    r.cpu = {{QStringLiteral("polling"), 9600, 200, 3000, 30, 0.15, 150, 150},
             {QStringLiteral("no-reply"), 9600, 200, 3000, 30, 0.3, 10, 0}};
    return r;
}

const TargetCheck* FindTarget(const QList<TargetCheck>& list, const QString& prefix) {
    for (const auto& t : list) {
        if (t.name.startsWith(prefix))
            return &t;
    }
    return nullptr;
}

TEST(BenchReport, RatiosPickTheRunOfTheSameBaudAndInterval) {
    const BenchReport r = SampleReport();
    const ThroughputRun* fast = FindRun(r, "engine", 9600, 0);
    const ThroughputRun* paced = FindRun(r, "engine", 9600, 200);
    ASSERT_TRUE(fast && paced);
    EXPECT_NEAR(WireRatio(r, *fast), 7.3 / 7.5, 1e-9);
    EXPECT_NEAR(WireRatio(r, *paced), 4.9 / 7.5, 1e-9);
    EXPECT_NEAR(LibmodbusRatio(r, *fast), 7.3 / 7.35, 1e-9);
    // No libmodbus run at 38400: no ratio rather than one against another baud rate.
    EXPECT_EQ(LibmodbusRatio(r, *FindRun(r, "engine", 38400, 0)), 0);
    EXPECT_EQ(FindRun(r, "engine", 38400, 200), nullptr);
}

TEST(BenchReport, TargetsFlagEveryMissAndSkipWhatWasNotMeasured) {
    const auto targets = EvaluateTargets(SampleReport());

    const TargetCheck* wire9600 = FindTarget(targets, "engine interval 0 at 9600 baud / wire");
    ASSERT_NE(wire9600, nullptr);
    EXPECT_TRUE(wire9600->met); // 0.973 >= 0.97
    const TargetCheck* wire38400 = FindTarget(targets, "engine interval 0 at 38400 baud / wire");
    ASSERT_NE(wire38400, nullptr);
    EXPECT_FALSE(wire38400->met); // 23 / 28.56 = 0.805 < 0.97
    // Above 38400 baud only libmodbus is the yardstick.
    EXPECT_EQ(FindTarget(targets, "engine interval 0 at 115200 baud / wire"), nullptr);
    const TargetCheck* lib = FindTarget(targets, "engine interval 0 at 9600 baud / libmodbus");
    ASSERT_NE(lib, nullptr);
    EXPECT_TRUE(lib->met); // 0.993 >= 0.99
    const TargetCheck* lib115200 = FindTarget(targets, "engine interval 0 at 115200 baud / libm");
    ASSERT_NE(lib115200, nullptr);
    EXPECT_FALSE(lib115200->met); // 69 / 71 = 0.972 < 0.99
    // No libmodbus run at 38400: no target there.
    EXPECT_EQ(FindTarget(targets, "engine interval 0 at 38400 baud / libmodbus"), nullptr);

    const TargetCheck* p99 = FindTarget(targets, "evaluation latency p99 at 38400");
    ASSERT_NE(p99, nullptr);
    EXPECT_FALSE(p99->met); // 3.5 ms > 3 ms
    EXPECT_TRUE(FindTarget(targets, "evaluation latency median at 38400")->met);

    const TargetCheck* polling = FindTarget(targets, "CPU while polling");
    ASSERT_NE(polling, nullptr);
    EXPECT_NEAR(polling->value, 0.5, 1e-9);
    EXPECT_TRUE(polling->met);
    const TargetCheck* idle = FindTarget(targets, "CPU waiting");
    ASSERT_NE(idle, nullptr);
    EXPECT_NEAR(idle->value, 1.0, 1e-9);
    EXPECT_FALSE(idle->met); // 1 % > 0.5 %

    // Only the interval-0 runs carry a latency target, and nothing for the 200 ms run.
    int latencyTargets = 0;
    for (const auto& t : targets)
        latencyTargets += t.name.startsWith("evaluation latency") ? 1 : 0;
    EXPECT_EQ(latencyTargets, 6);

    BenchReport bare;
    bare.wire = {BlockTiming(9600)};
    EXPECT_TRUE(EvaluateTargets(bare).isEmpty());
}

TEST(BenchReport, JsonLineCarriesEveryFigureOnOneLine) {
    const BenchReport r = SampleReport();
    const QByteArray line = FormatJsonLine(r);
    EXPECT_FALSE(line.contains('\n'));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &err);
    ASSERT_EQ(err.error, QJsonParseError::NoError) << err.errorString().toStdString();
    const QJsonObject root = doc.object();

    EXPECT_EQ(root["cores"].toInt(), 2);
    ASSERT_EQ(root["wire"].toArray().size(), 3);
    EXPECT_NEAR(root["wire"][0]["ideal_tps"].toDouble(), 7.5, 1e-9);

    const QJsonArray runs = root["runs"].toArray();
    ASSERT_EQ(runs.size(), 6);
    const QJsonObject fast = runs[0].toObject();
    EXPECT_EQ(fast["client"].toString(), "engine");
    EXPECT_EQ(fast["query_interval_ms"].toInt(), 0);
    EXPECT_NEAR(fast["tps"].toDouble(), 7.3, 1e-9);
    EXPECT_NEAR(fast["wire_ratio"].toDouble(), 7.3 / 7.5, 1e-9);
    EXPECT_NEAR(fast["libmodbus_ratio"].toDouble(), 7.3 / 7.35, 1e-9);
    EXPECT_NEAR(fast["latency"]["median_ms"].toDouble(), 0.4, 1e-9);
    // libmodbus has no interval and no latency of the engine's kind.
    EXPECT_FALSE(runs[1].toObject().contains("latency"));
    EXPECT_FALSE(runs[1].toObject().contains("query_interval_ms"));

    const QJsonArray cpu = root["cpu"].toArray();
    ASSERT_EQ(cpu.size(), 2);
    EXPECT_NEAR(cpu[1]["percent_of_core"].toDouble(), 1.0, 1e-9);
    EXPECT_EQ(root["targets"].toArray().size(), EvaluateTargets(r).size());
}

TEST(BenchReport, TableShowsEachRunAndMarksMisses) {
    BenchReport r = SampleReport();
    r.notes << QStringLiteral("reader silence note");
    const QString table = FormatTable(r);
    EXPECT_TRUE(table.contains("133.333"));   // transaction ms at 9600
    EXPECT_TRUE(table.contains("libmodbus")); // its run row
    EXPECT_TRUE(table.contains("200 ms"));    // the paced run
    // wire at 38400, libmodbus at 115200, p99 at 38400, idle CPU
    EXPECT_EQ(table.count("MISS"), 4);
    EXPECT_TRUE(table.contains("reader silence note"));
    EXPECT_TRUE(table.contains("figures are noisy")); // quiet was not established
}

} // namespace
