#pragma once

#include "TrafficRows.h"
#include "TransactionObserver.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QSortFilterProxyModel>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// The traffic monitor's rows: fed by the master as its transaction observer, bounded to a
// number of rows (the oldest go first), so a day of polling never grows the program.
//
// The master calls the observer in the middle of its transaction; all the observer does
// there is count the outcome and keep the record. The rows are made, and a view told of
// them, in batches: at most one per 200 ms (SetBatchMs), run from the event loop just
// after the master has written its next request, when the line is busy with the reply for
// at least its wire time. So a monitor that is watched and scrolled never delays a reply's
// evaluation or the next request. When the line goes quiet the rest follows shortly.
//
// Paused, it goes on recording into its bounded buffer but shows the rows of the moment
// it was paused, so the operator can read them while the line runs on; resuming shows
// the buffer as it is then. The counts are per transaction (and per stray piece), since
// the last Clear, and are not bounded by the buffer: they match the status bar's counters
// when both start together.
class TrafficModel : public QAbstractTableModel, public TransactionObserver {
    Q_OBJECT
public:
    static constexpr int kDefaultCapacity = 10000;

    explicit TrafficModel(QObject* parent = nullptr);

    // The wall clock, ms since the epoch; tests fix it.
    void SetWallClock(std::function<qint64()> clock) { wallClock_ = std::move(clock); }

    int Capacity() const { return capacity_; }
    // At least 1; extra rows are dropped at once, oldest first.
    void SetCapacity(int rows);
    bool Paused() const { return paused_; }
    void SetPaused(bool paused);
    void Clear();

    // The recorded rows, oldest first (also while paused: the buffer, not the view).
    qsizetype RecordedCount() const { return size_; }
    const TrafficRow& RecordedRow(qsizetype i) const { return ring_[size_t(Slot(i))]; }
    // Rows the buffer has room for in memory: never more than the capacity, however long
    // the program records.
    qsizetype RowsHeld() const { return qsizetype(ring_.capacity()); }
    // The row shown at `row` (of the unfiltered view).
    const TrafficRow& RowAt(int row) const { return paused_ ? frozen_[row] : RecordedRow(row); }
    // Transactions evaluated since the last Clear, by their outcome, counted as they are
    // observed; Stray counts pieces of stray bytes, found when their rows are made.
    int Count(TrafficStatus status) const { return counts_[size_t(status)]; }
    int Transactions() const;

    void Append(const QList<TrafficRow>& rows);
    // Makes the rows of everything observed so far now (a batch would do it shortly).
    void Flush();
    // How long observed transactions wait for their batch; 0 = rows at once.
    void SetBatchMs(int ms) { batchMs_ = ms; }

    // TransactionObserver
    void TransactionEvaluated(const TransactionRecord& record) override;
    void StrayBytesReceived(const QByteArray& bytes, TransactionRecord::TimePoint at) override;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The counts changed (after every transaction and on Clear).
    void CountsChanged();

private:
    qsizetype ShownCount() const { return paused_ ? frozen_.size() : size_; }
    qsizetype Slot(qsizetype i) const {
        const qsizetype s = head_ + i;
        return s < qsizetype(ring_.size()) ? s : s - qsizetype(ring_.size());
    }
    void DropOldest(int n);
    void Push(const TrafficRow& row);
    void Schedule();

    struct Observed {
        TransactionRecord record; // empty request and no times for stray bytes
        qint64 atMs = 0;          // wall clock of the write, or of the stray bytes
        bool stray = false;
    };
    QList<Observed> pending_;
    QTimer quiet_; // the line went quiet: show what is left
    QElapsedTimer sinceFlush_;
    bool flushQueued_ = false;
    int batchMs_ = 200;

    // A ring: once full, each new row takes the oldest one's slot. (A list that drops at
    // its front and appends at its back drifts through an allocation three times the
    // rows it holds, and over an hour of polling every page of it becomes resident.)
    std::vector<TrafficRow> ring_;
    qsizetype head_ = 0; // slot of the oldest row
    qsizetype size_ = 0;
    QList<TrafficRow> frozen_; // what the view shows while paused
    int capacity_ = kDefaultCapacity;
    bool paused_ = false;
    std::array<int, kTrafficStatusCount> counts_{};
    std::function<qint64()> wallClock_;
};

// Rows of one status and/or one function (a request's rows and its reply's share both).
class TrafficFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    // Empty = any.
    void SetStatus(std::optional<TrafficStatus> status);
    void SetFunction(std::optional<int> function);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<TrafficStatus> status_;
    std::optional<int> function_;
};
