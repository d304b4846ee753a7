#include "RequestService.h"

#include "RtuFrame.h"
#include "TqvModbus.h"

#include <algorithm>
#include <utility>

namespace {

RequestOutcome CancelledOutcome() {
    return RequestOutcome{};
}

} // namespace

RequestService::RequestService(TqvModbus& engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    // Whatever handlers the engine had are the owner's until SetOwnerEvents says otherwise.
    owner_ = static_cast<const TqvModbusEvents&>(engine_);
    Install();
}

RequestService::~RequestService() {
    // Nothing ends without its outcome, not even with the service.
    while (current_ || !queue_.empty()) {
        if (current_)
            Complete(TakeCurrent(), CancelledOutcome());
        CancelQueued();
    }
    static_cast<TqvModbusEvents&>(engine_) = owner_;
}

template <class E, class... A>
void RequestService::ToOwner(E TqvModbusEvents::*event, A&&... args) {
    if (const E& handler = owner_.*event)
        handler(std::forward<A>(args)...);
}

void RequestService::Install() {
    using Ev = TqvModbusEvents;
    TqvModbus& e = engine_;
    // The line's own events are the owner's, whoever's transaction is under way.
    e.OnModemRING = [this](TqvModbus* s) { ToOwner(&Ev::OnModemRING, s); };
    e.OnModemRLSD = [this](TqvModbus* s) { ToOwner(&Ev::OnModemRLSD, s); };
    e.OnRecvError = [this](TqvModbus* s, quint32 mask) { ToOwner(&Ev::OnRecvError, s, mask); };
    e.OnSendEmpty = [this](TqvModbus* s) { ToOwner(&Ev::OnSendEmpty, s); };
    e.OnAfterConnect = [this](TqvModbus* s) { ToOwner(&Ev::OnAfterConnect, s); };
    e.OnAfterHangup = [this](TqvModbus* s) { ToOwner(&Ev::OnAfterHangup, s); };
    // So is the traffic: the status bars show every request and every chunk on the line.
    e.OnRecvData = [this](TqvModbus* s, const QByteArray& d) { ToOwner(&Ev::OnRecvData, s, d); };
    e.OnAfterSendMsg = [this](TqvModbus* s, const QByteArray& msg) {
        ToOwner(&Ev::OnAfterSendMsg, s, msg);
    };
    e.OnQueryData = [this](TqvModbus* s) { QueryData(s); };
    // The verdict on a reply belongs to whoever chose the request.
    e.OnResponseError = [this](TqvModbus* s) {
        if (!mine_)
            ToOwner(&Ev::OnResponseError, s);
    };
    // A reply to one of the service's requests fills its outcome; any other is the owner's.
    using Event = RequestOutcome::Event;
    auto bits = [this](Event kind, auto Ev::*event) {
        return [this, kind, event](TqvModbus* s, quint8 slave, quint16 start, QList<bool> v) {
            if (RequestOutcome* o = Mine(kind, slave, start))
                o->bits = std::move(v);
            else
                ToOwner(event, s, slave, start, std::move(v));
        };
    };
    e.OnF01Response = bits(Event::F01, &Ev::OnF01Response);
    e.OnF02Response = bits(Event::F02, &Ev::OnF02Response);
    e.OnF03Response = [this](TqvModbus* s, quint8 slave, quint16 start, QList<quint16> v) {
        if (RequestOutcome* o = Mine(Event::F03, slave, start))
            o->registers = std::move(v);
        else
            ToOwner(&Ev::OnF03Response, s, slave, start, std::move(v));
    };
    e.OnF05Response = [this](TqvModbus* s, quint8 slave, quint16 dest, bool value) {
        if (RequestOutcome* o = Mine(Event::F05, slave, dest))
            o->bits = {value};
        else
            ToOwner(&Ev::OnF05Response, s, slave, dest, value);
    };
    e.OnF10Response = [this](TqvModbus* s, quint8 slave, quint16 start, quint16 count) {
        if (RequestOutcome* o = Mine(Event::F10, slave, start))
            o->count = count;
        else
            ToOwner(&Ev::OnF10Response, s, slave, start, count);
    };
    e.OnFC3Response = [this](TqvModbus* s, quint8 slave, quint16 status, quint16 length,
                             QList<quint16> v) {
        if (RequestOutcome* o = Mine(Event::FC3, slave, 0)) {
            o->status = status;
            o->count = length;
            o->registers = std::move(v);
        } else {
            ToOwner(&Ev::OnFC3Response, s, slave, status, length, std::move(v));
        }
    };
    e.OnFC4Response = [this](TqvModbus* s, quint8 slave, quint16 status) {
        if (RequestOutcome* o = Mine(Event::FC4, slave, 0))
            o->status = status;
        else
            ToOwner(&Ev::OnFC4Response, s, slave, status);
    };
    e.OnAfterResponse = [this](TqvModbus* s) { AfterResponse(s); };
    e.OnQueryFinish = [this](TqvModbus* s) { QueryFinish(s); };
}

RequestOutcome* RequestService::Mine(RequestOutcome::Event event, quint8 slave, quint16 start) {
    if (!mine_)
        return nullptr;
    outcome_.event = event;
    outcome_.slave = slave;
    outcome_.start = start;
    return &outcome_;
}

// ---------------------------------------------------------------- requests

RequestService::RequestId RequestService::Submit(const QByteArray& message, Completion done) {
    const RequestId id = ++lastId_;
    queue_.push_back({id, message, std::move(done)});
    // Never from inside Submit: the caller may be in the middle of an engine event.
    QMetaObject::invokeMethod(this, &RequestService::Kick, Qt::QueuedConnection);
    return id;
}

bool RequestService::Cancel(RequestId id) {
    if (current_ && current_->id == id) {
        // Still on the line: the transaction stays the service's, so its reply reaches
        // nobody.
        Complete(TakeCurrent(), CancelledOutcome());
        return true;
    }
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (it->id != id)
            continue;
        Request request = std::move(*it);
        queue_.erase(it);
        Complete(std::move(request), CancelledOutcome());
        return true;
    }
    return false;
}

void RequestService::Detach() {
    if (current_)
        Complete(TakeCurrent(), CancelledOutcome());
    CancelQueued();
    owner_ = TqvModbusEvents{};
}

int RequestService::Pending() const {
    return int(queue_.size()) + (current_ ? 1 : 0);
}

bool RequestService::Queued(RequestId id) const {
    return std::any_of(queue_.begin(), queue_.end(),
                       [id](const Request& request) { return request.id == id; });
}

RequestService::Request RequestService::TakeCurrent() {
    Request request = std::move(*current_);
    current_.reset();
    return request;
}

void RequestService::Complete(Request request, const RequestOutcome& outcome) {
    if (request.done)
        request.done(outcome);
}

void RequestService::CancelQueued() {
    // Requests submitted by these completions are new ones: they stay queued.
    std::deque<Request> ended = std::exchange(queue_, {});
    for (Request& request : ended)
        Complete(std::move(request), CancelledOutcome());
}

void RequestService::Kick() {
    if (queue_.empty() || engine_.CycleBusy())
        return; // the cycle under way takes the queue at its next request
    ownCycle_ = true;
    if (!engine_.StartQuery()) {
        // The port is closed (never opened, or the line lost): nothing can go out.
        ownCycle_ = false;
        CancelQueued();
    }
}

// ---------------------------------------------------------------- the engine's cycle

void RequestService::QueryData(TqvModbus* sender) {
    EndUnevaluated();
    if (!queue_.empty()) {
        current_ = std::move(queue_.front());
        queue_.pop_front();
        mine_ = true;
        outcome_ = RequestOutcome{};
        sender->SetQueryMessage(current_->message);
        return;
    }
    if (!ownCycle_ && owner_.OnQueryData) {
        owner_.OnQueryData(sender);
        return;
    }
    // The service's own cycle with nothing left to send (what was queued was cancelled):
    // nothing goes out, and the cycle ends after this transaction.
    sender->SetQueryMessage(QByteArray());
}

void RequestService::EndUnevaluated() {
    // A transaction of the service's that was never evaluated: the port was opened anew
    // under it, and the engine forgot its wait. Its request went unanswered.
    if (!std::exchange(mine_, false) || !current_)
        return;
    RequestOutcome outcome;
    outcome.kind = RequestOutcome::Kind::NoReply;
    outcome.code = 1;
    Complete(TakeCurrent(), outcome);
}

RequestOutcome RequestService::Judge(const TqvModbus& engine) {
    RequestOutcome o = std::exchange(outcome_, RequestOutcome{});
    o.code = engine.ResponseErrorCode();
    o.request = engine.RequestFrame();
    o.received = engine.ReceiveBuffer();
    if (o.code == 0) {
        o.kind = RequestOutcome::Kind::Answered;
    } else if (const auto exception = FindExceptionReply(o.request, o.received)) {
        // A meter that refuses is still a meter there: its exception reply is no reply of
        // the length asked for, so the engine called it short or broken.
        o.kind = RequestOutcome::Kind::Exception;
        o.exception = *exception;
    } else {
        o.kind = o.code == 1 ? RequestOutcome::Kind::NoReply : RequestOutcome::Kind::Broken;
    }
    return o;
}

void RequestService::AfterResponse(TqvModbus* sender) {
    if (!mine_) {
        ToOwner(&TqvModbusEvents::OnAfterResponse, sender);
    } else {
        mine_ = false;
        const RequestOutcome outcome = Judge(*sender);
        // A request given up while on the line has had its outcome already.
        if (current_)
            Complete(TakeCurrent(), outcome);
    }
    // The service's own cycle ends with its queue (a completion may have added to it).
    if (ownCycle_ && queue_.empty())
        engine_.StopQuery();
}

void RequestService::QueryFinish(TqvModbus* sender) {
    EndUnevaluated();
    const bool own = std::exchange(ownCycle_, false);
    // The cycle is over (stopped, or the line lost): what is still queued never goes out
    // in it.
    CancelQueued();
    if (own) {
        // A lost line that comes back does not start the service's cycle again; the next
        // request does.
        engine_.StopQuery();
        return;
    }
    ToOwner(&TqvModbusEvents::OnQueryFinish, sender);
}
