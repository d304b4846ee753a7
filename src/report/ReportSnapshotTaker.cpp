#include "ReportSnapshotTaker.h"

#include <QTimer>

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

ReportSnapshotTaker::ReportSnapshotTaker(TqvModbus& master, int address, ReportSnapshot& snapshot)
    : master_(master), address_(address), snapshot_(snapshot) {}

ReportSnapshotTaker::~ReportSnapshotTaker() {
    // The handlers installed here point at this object.
    if (phase_ != Phase::Idle && phase_ != Phase::Returned)
        static_cast<TqvModbusEvents&>(master_) = own_;
}

void ReportSnapshotTaker::Start() {
    if (phase_ != Phase::Idle)
        return;
    own_ = master_;
    phase_ = Phase::Waiting;
    Install();
}

void ReportSnapshotTaker::Cancel() {
    cancelled_ = true;
    if (phase_ == Phase::Waiting) {
        phase_ = Phase::Done;
        GiveBack();
    }
}

void ReportSnapshotTaker::Install() {
    TqvModbus& m = master_;
    m.OnQueryData = [this](TqvModbus* s) {
        if (phase_ == Phase::Waiting && !cancelled_)
            phase_ = Phase::Reading;
        if (phase_ == Phase::Reading && (cancelled_ || !queue_.Next())) {
            phase_ = Phase::Done;
            GiveBack();
        }
        mine_ = phase_ == Phase::Reading;
        if (!mine_) {
            if (own_.OnQueryData)
                own_.OnQueryData(s);
            return;
        }
        reply_.reset();
        const ReportRead& read = *queue_.Next();
        if (read.block == ReportBlock::Clock)
            snapshot_.pcTime = QDateTime::currentDateTime();
        s->SetQueryMessage(WithAddress(read.Message(), address_));
    };
    auto bits = [this](auto TqvModbusEvents::*event) {
        return [this, event](TqvModbus* s, quint8 slave, quint16 start, QList<bool> values) {
            if (mine_)
                reply_ = Bits(values);
            else if (own_.*event)
                (own_.*event)(s, slave, start, values);
        };
    };
    m.OnF01Response = bits(&TqvModbusEvents::OnF01Response);
    m.OnF02Response = bits(&TqvModbusEvents::OnF02Response);
    m.OnF03Response = [this](TqvModbus* s, quint8 slave, quint16 start, QList<quint16> values) {
        if (mine_)
            reply_ = values;
        else if (own_.OnF03Response)
            own_.OnF03Response(s, slave, start, values);
    };
    m.OnResponseError = [this](TqvModbus* s) {
        if (!mine_ && own_.OnResponseError)
            own_.OnResponseError(s);
    };
    m.OnAfterResponse = [this](TqvModbus* s) {
        if (!mine_) {
            if (own_.OnAfterResponse)
                own_.OnAfterResponse(s);
            return;
        }
        const int code = s->ResponseErrorCode();
        ++line_.sent;
        line_.good += code == 0 ? 1 : 0;
        line_.noResponse += code == 1 ? 1 : 0;
        line_.crcErrors += code == 2 ? 1 : 0;
        const bool stored = code == 0 && reply_ && snapshot_.Store(*queue_.Next(), *reply_);
        queue_.Done(stored, !s->ReceiveBuffer().isEmpty());
        mine_ = false;
        if (OnProgress)
            OnProgress(queue_.Finished(), queue_.Total());
    };
    m.OnQueryFinish = [this](TqvModbus* s) {
        // The poll stopped (Stop COMM, a lost line): nothing more will be read.
        if (phase_ == Phase::Waiting || phase_ == Phase::Reading) {
            cancelled_ = cancelled_ || queue_.Next() != nullptr;
            phase_ = Phase::Done;
            GiveBack();
        }
        if (own_.OnQueryFinish)
            own_.OnQueryFinish(s);
    };
}

void ReportSnapshotTaker::GiveBack() {
    // Called from inside the master's own callbacks: the handlers are swapped back once
    // that call has returned; until then the ones here forward to the program's.
    QTimer::singleShot(0, &context_, [this] {
        if (phase_ != Phase::Done)
            return;
        static_cast<TqvModbusEvents&>(master_) = own_;
        phase_ = Phase::Returned;
        if (OnFinished)
            OnFinished();
    });
}
