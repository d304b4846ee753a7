#include "BenchStats.h"

#include <algorithm>
#include <cmath>

double NearestRankPercentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty())
        return 0;
    const auto n = sorted.size();
    auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(n)));
    rank = std::clamp<std::size_t>(rank, 1, n);
    return sorted[rank - 1];
}

LatencySummary SummariseLatencies(std::vector<double> samplesMs) {
    LatencySummary s;
    if (samplesMs.empty())
        return s;
    std::sort(samplesMs.begin(), samplesMs.end());
    const auto n = samplesMs.size();
    s.count = static_cast<int>(n);
    s.medianMs = n % 2 ? samplesMs[n / 2] : (samplesMs[n / 2 - 1] + samplesMs[n / 2]) / 2.0;
    s.p99Ms = NearestRankPercentile(samplesMs, 99.0);
    s.maxMs = samplesMs.back();
    return s;
}
