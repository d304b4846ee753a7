#pragma once

#include "ReportSnapshot.h"
#include "TqvModbus.h"

#include <QObject>
#include <functional>

// Reads a report's blocks through a master that is already polling, as one pass between
// two of its transactions: the program's own poll pauses while the snapshot holds the
// master and goes on where it stopped afterwards. The transaction in flight when the
// snapshot starts, and every one after it ends, reach the program's own handlers; the
// snapshot's replies reach only the snapshot.
class ReportSnapshotTaker {
public:
    // `snapshot` receives the blocks; both it and `master` outlive the taker.
    ReportSnapshotTaker(TqvModbus& master, int address, ReportSnapshot& snapshot);
    ~ReportSnapshotTaker();

    ReportSnapshotTaker(const ReportSnapshotTaker&) = delete;
    ReportSnapshotTaker& operator=(const ReportSnapshotTaker&) = delete;

    // After every request of the snapshot: how many blocks of how many are done with (a
    // block asked again counts once).
    std::function<void(int done, int total)> OnProgress;
    // The pass is over (all read, cancelled, or the poll stopped) and the master is the
    // program's again.
    std::function<void()> OnFinished;

    // Takes the master over from its next request on.
    void Start();
    // No further read is sent; the one on the line finishes and the master goes back.
    void Cancel();

    bool Finished() const { return phase_ == Phase::Returned; }
    bool Cancelled() const { return cancelled_; }
    // The pass ended early because nothing came back to its first requests.
    bool NobodyAnswered() const { return queue_.NobodyAnswered(); }
    // The snapshot's own transactions, counted as the report's line section counts them.
    const LineTally& Line() const { return line_; }

private:
    enum class Phase { Idle, Waiting, Reading, Done, Returned };
    void Install();
    void GiveBack();

    TqvModbus& master_;
    int address_;
    ReportSnapshot& snapshot_;
    TqvModbusEvents own_; // the program's handlers while the snapshot holds the master
    Phase phase_ = Phase::Idle;
    bool cancelled_ = false;
    ReportReadQueue queue_;
    bool mine_ = false; // the transaction on the line is the snapshot's
    std::optional<QList<quint16>> reply_;
    LineTally line_;
    QObject context_; // ends a pending hand-back with the taker
};
