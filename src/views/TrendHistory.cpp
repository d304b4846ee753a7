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
      values_(size_t(quantities)), summaries_(size_t(quantities)) {}

qint64 TrendHistory::BytesAtCapacity(int quantities, qsizetype capacity) {
    const qint64 blocks = (qint64(capacity) + kBlock - 1) / kBlock;
    return qint64(capacity) * qint64(sizeof(qint64) + sizeof(float) * size_t(quantities)) +
           blocks * quantities * qint64(sizeof(Summary));
}

void TrendHistory::Clear() {
    times_.clear();
    for (auto& v : values_)
        v.clear();
    for (auto& s : summaries_)
        s.clear();
    head_ = size_ = 0;
    edgeCache_ = {};
    spacingMs_ = 0;
}

void TrendHistory::Summarise(qsizetype block) {
    const qsizetype from = block * kBlock;
    const qsizetype to = std::min(from + kBlock, capacity_);
    for (int q = 0; q < quantities_; ++q) {
        auto& summaries = summaries_[q];
        if (qsizetype(summaries.size()) <= block)
            summaries.resize(size_t(block + 1));
        const float* v = values_[q].data();
        Summary s{v[from], v[from], v[from], v[to - 1], true};
        for (qsizetype k = from; k < to; ++k) {
            s.whole &= !std::isnan(v[k]);
            s.min = std::min(s.min, v[k]);
            s.max = std::max(s.max, v[k]);
        }
        summaries[size_t(block)] = s;
    }
}

void TrendHistory::Push(qint64 timeMs, std::span<const float> values) {
    const qsizetype slot = size_ < capacity_ ? size_ : head_;
    const qsizetype block = slot / kBlock;
    // A block being rewritten holds old and new samples: read value by value until its
    // last slot is written again.
    for (auto& s : summaries_) {
        if (qsizetype(s.size()) > block)
            s[size_t(block)].whole = false;
    }
    const bool closesBlock = slot % kBlock == kBlock - 1 || slot == capacity_ - 1;
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
    } else {
        times_[head_] = timeMs;
        for (int q = 0; q < quantities_; ++q)
            values_[q][head_] = values[q];
        head_ = head_ + 1 == capacity_ ? 0 : head_ + 1;
    }
    if (closesBlock)
        Summarise(block);
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

// Hands the values of samples [from, to) to `fn` in runs of consecutive slots, with the
// summary of the run when it is one whole block (null otherwise).
template <class Fn>
void TrendHistory::ForEachRun(qsizetype from, qsizetype to, int quantity, Fn fn) const {
    const float* base = values_[quantity].data();
    const auto& summaries = summaries_[quantity];
    while (from < to) {
        const qsizetype slot = Slot(from);
        const qsizetype blockEnd = std::min((slot / kBlock + 1) * kBlock, capacity_);
        const qsizetype n = std::min(to - from, blockEnd - slot);
        const qsizetype block = slot / kBlock;
        const Summary* whole = nullptr;
        if (slot % kBlock == 0 && n == kBlock && qsizetype(summaries.size()) > block &&
            summaries[size_t(block)].whole)
            whole = &summaries[size_t(block)];
        fn(base + slot, n, whole);
        from += n;
    }
}

const std::vector<qsizetype>& TrendHistory::Edges(qint64 t0, qint64 t1, int columns) const {
    EdgeCache& c = edgeCache_;
    if (c.t0 == t0 && c.t1 == t1 && c.columns == columns && c.size == size_ && c.head == head_ &&
        c.lastTime == (size_ > 0 ? LastTime() : 0))
        return c.edges;
    c = {t0, t1, size_ > 0 ? LastTime() : 0, columns, size_, head_, {}};
    c.edges.resize(size_t(columns) + 1);
    const qint64 span = t1 - t0;
    qsizetype i = LowerBound(t0);
    c.edges[0] = i;
    for (int col = 0; col < columns; ++col) {
        // The first sample of the next column: t >= t0 + ceil((col + 1) · span / columns).
        // Found by galloping from this column's start: the samples probed lie close
        // together, not all over a day of memory.
        const qint64 edge = t0 + CeilDiv(qint64(col + 1) * span, columns);
        qsizetype lo = i, step = 1, hi = i;
        while (hi < size_ && TimeAt(hi) < edge) {
            lo = hi + 1;
            hi += step;
            step *= 2;
        }
        hi = std::min(hi, size_);
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (TimeAt(mid) < edge)
                lo = mid + 1;
            else
                hi = mid;
        }
        i = lo;
        c.edges[size_t(col) + 1] = i;
    }
    return c.edges;
}

void TrendHistory::Decimate(int quantity, qint64 t0, qint64 t1, std::span<TrendColumn> out) const {
    std::fill(out.begin(), out.end(), TrendColumn{});
    const int columns = int(out.size());
    if (columns == 0 || t1 <= t0 || size_ == 0 || quantity < 0 || quantity >= quantities_)
        return;
    const std::vector<qsizetype>& edges = Edges(t0, t1, columns);
    bool gapPending = false;
    for (int c = 0; c < columns; ++c) {
        const qsizetype i = edges[size_t(c)], end = edges[size_t(c) + 1];
        TrendColumn& col = out[c];
        ForEachRun(i, end, quantity, [&](const float* p, qsizetype n, const Summary* whole) {
            // Most runs have no gap: their extremes come from the block's summary or one
            // tight pass, and the ordered walk is only needed where a gap has to be placed.
            float lo, hi, first, last;
            bool gap = false;
            if (whole) {
                lo = whole->min;
                hi = whole->max;
                first = whole->first;
                last = whole->last;
            } else {
                lo = hi = first = p[0];
                last = p[n - 1];
                for (qsizetype k = 0; k < n; ++k) {
                    const float v = p[k];
                    gap |= v != v;
                    lo = v < lo ? v : lo;
                    hi = v > hi ? v : hi;
                }
            }
            if (!gap) {
                if (col.Empty()) {
                    col.min = lo;
                    col.max = hi;
                    col.first = first;
                    col.breakBefore = gapPending;
                } else {
                    col.min = std::min(col.min, lo);
                    col.max = std::max(col.max, hi);
                }
                col.last = last;
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
    }
}
