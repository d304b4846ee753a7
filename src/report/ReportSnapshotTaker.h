#pragma once

#include "ReportSnapshot.h"
#include "RequestService.h"

#include <functional>

// Reads a report's blocks through the line's request service while the program polls, as
// one pass between two of its transactions: each read goes out in place of the poll's
// next request, the next read as soon as the one before it has ended, so the program's
// own poll pauses for the pass and goes on where it stopped afterwards. The snapshot's
// replies reach only the snapshot.
class ReportSnapshotTaker {
public:
    // `snapshot` receives the blocks; both it and `requests` outlive the taker.
    ReportSnapshotTaker(RequestService& requests, int address, ReportSnapshot& snapshot);
    // A read still under way is given up.
    ~ReportSnapshotTaker();

    ReportSnapshotTaker(const ReportSnapshotTaker&) = delete;
    ReportSnapshotTaker& operator=(const ReportSnapshotTaker&) = delete;

    // After every request of the snapshot: how many blocks of how many are done with (a
    // block asked again counts once).
    std::function<void(int done, int total)> OnProgress;
    // The pass is over (all read, cancelled, or the poll stopped).
    std::function<void()> OnFinished;

    // Sends the first read.
    void Start();
    // No further read is sent; the one on the line finishes, then OnFinished.
    void Cancel();

    bool Finished() const { return finished_; }
    bool Cancelled() const { return cancelled_; }
    // The pass ended early because nothing came back to its first requests.
    bool NobodyAnswered() const { return queue_.NobodyAnswered(); }
    // The snapshot's own transactions, counted as the report's line section counts them.
    const LineTally& Line() const { return line_; }

private:
    void SendNext();
    void ReadEnded(const RequestOutcome& outcome);
    void Finish();

    RequestService& requests_;
    int address_;
    ReportSnapshot& snapshot_;
    bool started_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    ReportReadQueue queue_;
    RequestService::RequestId pending_ = 0; // the read under way, 0 when none
    LineTally line_;
};
