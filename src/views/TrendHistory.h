#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>
#include <span>
#include <vector>

// The values of the metering block over time, in memory: a fixed number of quantities per
// sample, the oldest samples dropped once the capacity is reached, and gaps kept as gaps.
// A gap is a sample whose values are NaN: nothing is ever drawn across it.

// One pixel column of a series over a span of time (TrendHistory::Decimate).
struct TrendColumn {
    static constexpr float None = std::numeric_limits<float>::quiet_NaN();
    float min = None; // NaN: no value fell into this column
    float max = None;
    float first = None; // the column's earliest and latest values, for the lines that
    float last = None;  // join it to its neighbours
    // A gap lies between the series' previous value (in an earlier column) and `first`:
    // the chart must not join them.
    bool breakBefore = false;
    bool Empty() const { return std::isnan(min); }
};

// The column a time falls into when [t0, t1) is split into `columns` equal columns:
// floor((t - t0) · columns / (t1 - t0)); outside the span it is < 0 or >= columns.
qint64 TrendColumnOf(qint64 t, qint64 t0, qint64 t1, int columns);

// The fastest the meter's block can come: one reply of block 0x130 per round of six
// requests, whose frames alone take 89 ms of a 38400 baud line. The live history holds a
// day of that.
inline constexpr int kTrendSamplesPerSecond = 12;
inline constexpr qsizetype kTrendCapacity = qsizetype(24) * 3600 * kTrendSamplesPerSecond;

class TrendHistory {
public:
    explicit TrendHistory(int quantities, qsizetype capacity = kTrendCapacity);

    int Quantities() const { return quantities_; }
    qsizetype Capacity() const { return capacity_; }
    qsizetype Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // What the samples take once the capacity is reached.
    static qint64 BytesAtCapacity(int quantities, qsizetype capacity);

    // Appends a sample (milliseconds since the epoch; one value per quantity, NaN where
    // there is none). A sample that comes much later than the cadence so far (three
    // times the usual spacing, and at least a second) follows a gap: a reply was missed,
    // the line was lost or polling stopped. False, and nothing kept, for a sample
    // earlier than the last one or of the wrong size.
    bool Append(qint64 timeMs, std::span<const float> values);
    // A gap at this time (the end of a log file, polling stopped).
    void AppendGap(qint64 timeMs);
    void Clear();

    qint64 TimeAt(qsizetype i) const { return times_[Slot(i)]; }
    float ValueAt(int quantity, qsizetype i) const { return values_[quantity][Slot(i)]; }
    qint64 FirstTime() const { return TimeAt(0); }
    qint64 LastTime() const { return TimeAt(size_ - 1); }
    // The first sample at or after `t` (Size() when none).
    qsizetype LowerBound(qint64 t) const;
    // The sample nearest to `t` that is not a gap for `quantity`, within `reachMs`; -1 if none.
    qsizetype Nearest(int quantity, qint64 t, qint64 reachMs) const;

    // The minimum, maximum, first and last value of `quantity` in each of `out.size()`
    // columns of [t0, t1) (see TrendColumnOf); a day of samples draws in as many steps
    // as a minute does, and no peak is lost between pixels.
    void Decimate(int quantity, qint64 t0, qint64 t1, std::span<TrendColumn> out) const;

private:
    qsizetype Slot(qsizetype i) const {
        const qsizetype s = head_ + i;
        return s < capacity_ ? s : s - capacity_;
    }
    void Push(qint64 timeMs, std::span<const float> values);
    void Summarise(qsizetype block);
    template <class Fn> void ForEachRun(qsizetype from, qsizetype to, int quantity, Fn fn) const;

    // Every block of this many slots keeps its extremes per quantity, so a column over
    // thousands of samples reads a few summaries instead of every value.
    static constexpr qsizetype kBlock = 64;
    struct Summary {
        float min = 0;
        float max = 0;
        float first = 0;
        float last = 0;
        bool whole = false; // all slots written since the block was last begun, no gap
    };
    // The first sample of each column and the end of the last: the same for every series
    // of one drawing, so found once.
    const std::vector<qsizetype>& Edges(qint64 t0, qint64 t1, int columns) const;

    int quantities_;
    qsizetype capacity_;
    qsizetype head_ = 0; // slot of the oldest sample once the ring is full
    qsizetype size_ = 0;
    std::vector<qint64> times_;
    std::vector<std::vector<float>> values_;      // per quantity, by slot
    std::vector<std::vector<Summary>> summaries_; // per quantity, by block of slots
    double spacingMs_ = 0; // the usual spacing of samples, 0 until there were two
    struct EdgeCache {
        qint64 t0 = 0, t1 = 0, lastTime = 0;
        int columns = -1;
        qsizetype size = -1, head = -1;
        std::vector<qsizetype> edges;
    };
    mutable EdgeCache edgeCache_;
};
