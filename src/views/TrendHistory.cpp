#include "TrendHistory.h"

#include <algorithm>

namespace {
constexpr double kGapFactor = 3.0;
constexpr qint64 kShortestGapMs = 1000;
// How quickly the usual spacing follows a new poll rate.
constexpr double kSpacingWeight = 1.0 / 8.0;

qint64 CeilDiv(qint64 a, qint64 b) {
    return (a + b - 1) / b;
}
} // namespace

qint64 TrendColumnOf(qint64 t, qint64 t0, qint64 t1, int columns) {
    const qint64 d = t - t0;
    const qint64 span = t1 - t0;
    const qint64 scaled = d * columns;
    // Floor, also for times before t0.
    return scaled >= 0 ? scaled / span : -CeilDiv(-scaled, span);
}

TrendHistory::TrendHistory(int quantities, qsizetype capacity)
    : quantities_(quantities), capacity_(std::max<qsizetype>(capacity, 1)),
      values_(size_t(quantities)) {}

qint64 TrendHistory::BytesAtCapacity(int quantities, qsizetype capacity) {
    return qint64(capacity) * qint64(sizeof(qint64) + sizeof(float) * size_t(quantities));
}

void TrendHistory::Clear() {
    times_.clear();
    for (auto& v : values_)
        v.clear();
    head_ = size_ = 0;
    spacingMs_ = 0;
}

void TrendHistory::Push(qint64 timeMs, std::span<const float> values) {
    if (size_ < capacity_) {
        // Grown as it fills, never past the capacity: a short session stays small.
        if (qsizetype(times_.size()) == qsizetype(times_.capacity())) {
            const size_t next = size_t(std::min(capacity_, std::max<qsizetype>(1024, 2 * size_)));
            times_.reserve(next);
            for (auto& v : values_)
                v.reserve(next);
        }
        times_.push_back(timeMs);
        for (int q = 0; q < quantities_; ++q)
            values_[q].push_back(values[q]);
        ++size_;
        return;
    }
    times_[head_] = timeMs;
    for (int q = 0; q < quantities_; ++q)
        values_[q][head_] = values[q];
    head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
}

bool TrendHistory::Append(qint64 timeMs, std::span<const float> values) {
    if (qsizetype(values.size()) != quantities_ || (size_ > 0 && timeMs < LastTime()))
        return false;
    if (size_ > 0) {
        const qint64 last = LastTime();
        const double step = double(timeMs - last);
        const bool lastIsGap = std::all_of(values_.begin(), values_.end(), [&](const auto& v) {
            return std::isnan(v[Slot(size_ - 1)]);
        });
        if (!lastIsGap && spacingMs_ > 0 && step > kGapFactor * spacingMs_ &&
            step > double(kShortestGapMs)) {
            AppendGap(last + 1);
        } else if (!lastIsGap) {
            spacingMs_ = spacingMs_ > 0 ? spacingMs_ + kSpacingWeight * (step - spacingMs_) : step;
        }
    }
    Push(timeMs, values);
    return true;
}

void TrendHistory::AppendGap(qint64 timeMs) {
    if (size_ > 0 && timeMs < LastTime())
        timeMs = LastTime();
    const std::vector<float> none(size_t(quantities_), TrendColumn::None);
    Push(timeMs, none);
}

qsizetype TrendHistory::LowerBound(qint64 t) const {
    qsizetype lo = 0, hi = size_;
    while (lo < hi) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (TimeAt(mid) < t)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

qsizetype TrendHistory::Nearest(int quantity, qint64 t, qint64 reachMs) const {
    const qsizetype at = LowerBound(t);
    qsizetype best = -1;
    qint64 bestDistance = reachMs + 1;
    for (qsizetype i : {at - 1, at}) {
        if (i < 0 || i >= size_ || std::isnan(ValueAt(quantity, i)))
            continue;
        const qint64 d = std::abs(TimeAt(i) - t);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

template <class Fn>
void TrendHistory::ForEachRun(qsizetype from, qsizetype to, int quantity, Fn fn) const {
    const float* base = values_[quantity].data();
    while (from < to) {
        const qsizetype slot = Slot(from);
        const qsizetype n = std::min(to - from, capacity_ - slot);
        fn(base + slot, n);
        from += n;
    }
}

void TrendHistory::Decimate(int quantity, qint64 t0, qint64 t1, std::span<TrendColumn> out) const {
    std::fill(out.begin(), out.end(), TrendColumn{});
    const int columns = int(out.size());
    if (columns == 0 || t1 <= t0 || size_ == 0 || quantity < 0 || quantity >= quantities_)
        return;
    const qint64 span = t1 - t0;
    qsizetype i = LowerBound(t0);
    bool gapPending = false;
    for (int c = 0; c < columns && i < size_; ++c) {
        // The first sample of the next column: t >= t0 + ceil((c + 1) · span / columns).
        const qint64 edge = t0 + CeilDiv(qint64(c + 1) * span, columns);
        qsizetype end = i;
        if (TimeAt(i) < edge) {
            qsizetype lo = i + 1, hi = size_;
            while (lo < hi) {
                const qsizetype mid = lo + (hi - lo) / 2;
                if (TimeAt(mid) < edge)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            end = lo;
        }
        TrendColumn& col = out[c];
        ForEachRun(i, end, quantity, [&](const float* p, qsizetype n) {
            // Most runs have no gap: one tight pass for the extremes, and the ordered walk
            // only where a gap has to be placed.
            float lo = p[0], hi = p[0];
            bool gap = false;
            for (qsizetype k = 0; k < n; ++k) {
                const float v = p[k];
                gap |= v != v;
                lo = v < lo ? v : lo;
                hi = v > hi ? v : hi;
            }
            if (!gap) {
                if (col.Empty()) {
                    col.min = lo;
                    col.max = hi;
                    col.first = p[0];
                    col.breakBefore = gapPending;
                } else {
                    col.min = std::min(col.min, lo);
                    col.max = std::max(col.max, hi);
                }
                col.last = p[n - 1];
                gapPending = false;
                return;
            }
            for (qsizetype k = 0; k < n; ++k) {
                const float v = p[k];
                if (std::isnan(v)) {
                    gapPending = true;
                    continue;
                }
                if (col.Empty()) {
                    col.min = col.max = col.first = v;
                    col.breakBefore = gapPending;
                } else {
                    col.min = std::min(col.min, v);
                    col.max = std::max(col.max, v);
                }
                col.last = v;
                gapPending = false;
            }
        });
        i = end;
    }
}
