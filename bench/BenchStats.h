#pragma once

#include <vector>

// Median, 99th percentile and maximum of a set of latencies in milliseconds.
struct LatencySummary {
    int count = 0;
    double medianMs = 0;
    double p99Ms = 0;
    double maxMs = 0;
};

// Median: the middle sample, or the mean of the two middle ones for an even count.
// Percentiles use the nearest-rank rule (the smallest sample with at least p % of
// all samples at or below it), so the 99th of fewer than 100 samples is the maximum.
// No samples give an all-zero summary with count 0.
LatencySummary SummariseLatencies(std::vector<double> samplesMs);

// Nearest-rank percentile of sorted samples; p in (0, 100]. 0 for no samples.
double NearestRankPercentile(const std::vector<double>& sorted, double p);
