#include "ReportSnapshotTaker.h"

#include <QDateTime>

#include <utility>

namespace {

QByteArray WithAddress(const QString& message, int address) {
    return QByteArray::number(address, 16).rightJustified(2, '0').toUpper() +
           message.toLatin1().mid(2);
}

QList<quint16> Bits(const QList<bool>& bits) {
    QList<quint16> values;
    for (const bool b : bits)
        values.append(b ? 1 : 0);
    return values;
}

} // namespace

ReportSnapshotTaker::ReportSnapshotTaker(RequestService& requests, int address,
                                         ReportSnapshot& snapshot)
    : requests_(requests), address_(address), snapshot_(snapshot) {}

ReportSnapshotTaker::~ReportSnapshotTaker() {
    // Its completion would find the taker gone.
    finished_ = true;
    if (pending_ != 0)
        requests_.Cancel(std::exchange(pending_, 0));
}

void ReportSnapshotTaker::Start() {
    if (started_)
        return;
    started_ = true;
    if (cancelled_)
        Finish();
    else
        SendNext();
}

void ReportSnapshotTaker::Cancel() {
    cancelled_ = true;
    // A read that has not gone out yet is not sent; one on the line finishes first.
    if (pending_ != 0 && requests_.Queued(pending_))
        requests_.Cancel(pending_);
}

void ReportSnapshotTaker::SendNext() {
    const ReportRead& read = *queue_.Next();
    pending_ = requests_.Submit(WithAddress(read.Message(), address_),
                                [this](const RequestOutcome& outcome) { ReadEnded(outcome); });
}

void ReportSnapshotTaker::ReadEnded(const RequestOutcome& outcome) {
    pending_ = 0;
    if (finished_)
        return;
    // The poll stopped (Stop COMM, a lost line) before the read went out, or the
    // technician cancelled: nothing more will be read.
    if (outcome.kind == RequestOutcome::Kind::Cancelled) {
        cancelled_ = true;
        Finish();
        return;
    }
    const ReportRead& read = *queue_.Next();
    // When the meter's clock was read, by the PC's clock: as its reply came in.
    if (read.block == ReportBlock::Clock)
        snapshot_.pcTime = QDateTime::currentDateTime();
    ++line_.sent;
    line_.good += outcome.code == 0 ? 1 : 0;
    line_.noResponse += outcome.code == 1 ? 1 : 0;
    line_.crcErrors += outcome.code == 2 ? 1 : 0;
    const bool bits =
        outcome.event == RequestOutcome::Event::F01 || outcome.event == RequestOutcome::Event::F02;
    const bool stored =
        outcome.Answered() && snapshot_.Store(read, bits ? Bits(outcome.bits) : outcome.registers);
    queue_.Done(stored, !outcome.received.isEmpty());
    if (OnProgress)
        OnProgress(queue_.Finished(), queue_.Total());
    if (cancelled_ || !queue_.Next()) {
        cancelled_ = cancelled_ || queue_.Next() != nullptr;
        Finish();
        return;
    }
    SendNext();
}

void ReportSnapshotTaker::Finish() {
    if (finished_)
        return;
    finished_ = true;
    if (OnFinished)
        OnFinished();
}
