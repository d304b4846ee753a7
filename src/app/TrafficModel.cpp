#include "TrafficModel.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <numeric>

namespace {
// Bytes a cell shows; laying out a reply of hundreds of bytes in every visible row on every
// repaint would cost more than the rest of the window.
constexpr int kShownBytes = 32;
} // namespace

TrafficModel::TrafficModel(QObject* parent)
    : QAbstractTableModel(parent), wallClock_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    quiet_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, &TrafficModel::Flush);
}

void TrafficModel::SetCapacity(int rows) {
    capacity_ = std::max(1, rows);
    if (size_ > capacity_)
        DropOldest(int(size_ - capacity_));
    // A smaller buffer gives its room back: the kept rows in order, nothing beyond them.
    if (qsizetype(ring_.capacity()) > capacity_) {
        std::vector<TrafficRow> kept;
        kept.reserve(size_t(size_));
        for (qsizetype i = 0; i < size_; ++i)
            kept.push_back(std::move(ring_[size_t(Slot(i))]));
        ring_.swap(kept);
        head_ = 0;
    }
}

void TrafficModel::SetPaused(bool paused) {
    if (paused == paused_)
        return;
    if (paused) {
        // The rows' texts and bytes are shared, not copied.
        frozen_.clear();
        frozen_.reserve(size_);
        for (qsizetype i = 0; i < size_; ++i)
            frozen_.append(RecordedRow(i));
        paused_ = true;
        return;
    }
    beginResetModel();
    paused_ = false;
    frozen_.clear();
    endResetModel();
}

void TrafficModel::Clear() {
    pending_.clear();
    beginResetModel();
    std::vector<TrafficRow>().swap(ring_);
    head_ = size_ = 0;
    frozen_.clear();
    counts_.fill(0);
    endResetModel();
    emit CountsChanged();
}

int TrafficModel::Transactions() const {
    return std::accumulate(counts_.begin(), counts_.end(), 0) -
           counts_[size_t(TrafficStatus::Stray)];
}

void TrafficModel::DropOldest(int n) {
    if (n <= 0)
        return;
    if (!paused_)
        beginRemoveRows({}, 0, n - 1);
    // The slots are taken by the next rows; their texts and bytes go now.
    for (int i = 0; i < n; ++i)
        ring_[size_t(Slot(i))] = TrafficRow();
    head_ = size_ == n ? 0 : Slot(n);
    size_ -= n;
    if (!paused_)
        endRemoveRows();
}

void TrafficModel::Append(const QList<TrafficRow>& rows) {
    if (rows.isEmpty())
        return;
    // A batch larger than the whole buffer keeps only its newest rows.
    const qsizetype skip = std::max<qsizetype>(0, rows.size() - capacity_);
    const qsizetype excess = size_ + rows.size() - skip - capacity_;
    DropOldest(int(std::min(excess, size_)));
    const int first = int(size_);
    const int last = first + int(rows.size() - skip) - 1;
    if (!paused_)
        beginInsertRows({}, first, last);
    for (qsizetype i = skip; i < rows.size(); ++i)
        Push(rows[i]);
    if (!paused_)
        endInsertRows();
}

void TrafficModel::Push(const TrafficRow& row) {
    if (size_ < qsizetype(ring_.size())) {
        ring_[size_t(Slot(size_))] = row;
        ++size_;
        return;
    }
    // Every slot is taken and the capacity allows more: the ring grows at its end, in
    // order, never past the capacity.
    if (head_ != 0) {
        std::rotate(ring_.begin(), ring_.begin() + head_, ring_.end());
        head_ = 0;
    }
    if (ring_.size() == ring_.capacity())
        ring_.reserve(size_t(std::min<qsizetype>(capacity_, std::max<qsizetype>(64, 2 * size_))));
    ring_.push_back(row);
    ++size_;
}

void TrafficModel::TransactionEvaluated(const TransactionRecord& record) {
    // The master's clock is monotonic; the rows carry wall-clock times, counted back from
    // now by the master's own measure of how long ago the request was written.
    const auto ago =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.evaluated - record.written);
    ++counts_[size_t(StatusOfCode(record.code))];
    pending_.append(Observed{record, wallClock_() - ago.count(), false});
    Schedule();
}

void TrafficModel::StrayBytesReceived(const QByteArray& bytes, TransactionRecord::TimePoint) {
    Observed stray;
    stray.record.received = bytes;
    stray.atMs = wallClock_();
    stray.stray = true;
    pending_.append(std::move(stray));
    Schedule();
}

void TrafficModel::Schedule() {
    if (batchMs_ <= 0) {
        Flush();
        return;
    }
    if (flushQueued_)
        return;
    if (!sinceFlush_.isValid() || sinceFlush_.elapsed() >= batchMs_) {
        // Posted now, run once the master's evaluation has returned, that is after it
        // has written its next request.
        flushQueued_ = true;
        QTimer::singleShot(0, this, &TrafficModel::Flush);
    } else {
        quiet_.start(2 * batchMs_);
    }
}

void TrafficModel::Flush() {
    flushQueued_ = false;
    quiet_.stop();
    sinceFlush_.restart();
    if (pending_.isEmpty())
        return;
    QList<TrafficRow> rows;
    for (const Observed& o : std::as_const(pending_)) {
        if (o.stray) {
            rows.append(StrayRow(o.record.received, o.atMs));
            continue;
        }
        rows.append(TransactionRows(o.record, o.atMs));
    }
    pending_.clear();
    for (const TrafficRow& row : std::as_const(rows))
        if (row.status == TrafficStatus::Stray)
            ++counts_[size_t(TrafficStatus::Stray)];
    Append(rows);
    emit CountsChanged();
}

int TrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(ShownCount());
}

int TrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TrafficColumnCount;
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ShownCount())
        return {};
    const TrafficRow& row = RowAt(index.row());
    // Texts are made only for the cells a view asks for.
    if (role == Qt::DisplayRole && index.column() == ColBytes && row.bytes.size() > kShownBytes)
        return QString::fromLatin1(row.bytes.left(kShownBytes).toHex(' ').toUpper()) +
               QCoreApplication::translate("TrafficModel", " \u2026 (%1 bytes)")
                   .arg(row.bytes.size());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return ShownTrafficCellText(row, index.column());
    if (role == Qt::TextAlignmentRole &&
        (index.column() == ColLatency || index.column() == ColSlave))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QCoreApplication::translate("TrafficRows",
                                           TrafficHeaders().value(section).toUtf8().constData());
    return {};
}

void TrafficFilterModel::SetStatus(std::optional<TrafficStatus> status) {
    status_ = status;
    invalidateFilter();
}

void TrafficFilterModel::SetFunction(std::optional<int> function) {
    function_ = function;
    invalidateFilter();
}

bool TrafficFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* model = qobject_cast<const TrafficModel*>(sourceModel());
    if (!model || sourceRow >= model->rowCount())
        return false;
    const TrafficRow& row = model->RowAt(sourceRow);
    if (status_ && row.status != *status_)
        return false;
    if (function_ && row.function != *function_)
        return false;
    return true;
}
