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

    // Every recorded row, oldest first (also while paused: the buffer, not the view).
    const QList<TrafficRow>& Recorded() const { return rows_; }
    // The row shown at `row` (of the unfiltered view).
    const TrafficRow& RowAt(int row) const { return Shown()[row]; }
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
    const QList<TrafficRow>& Shown() const { return paused_ ? frozen_ : rows_; }
    void DropOldest(int n);
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

    QList<TrafficRow> rows_;
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
