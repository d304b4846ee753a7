#pragma once

#include "ReplyEvents.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QtGlobal>

#include <deque>
#include <functional>
#include <optional>

class TqvModbus;

// What became of one request sent through the RequestService.
struct RequestOutcome {
    enum class Kind {
        Answered,  // the meter answered as asked (values, bits, the write's echo)
        Exception, // the meter refused the request with an exception reply
        NoReply,   // nothing, or too little, came back within the wait
        Broken,    // bytes came back, but no reply with a correct CRC, or its fields disagree
        Cancelled, // never answered for: cancelled, polling stopped before it went out, the
                   // line lost, the port closed, or the service gone
    };
    // The reply event the engine raised for an answer (None: no reply was expected, or the
    // function has no event).
    enum class Event { None, F01, F02, F03, F05, F10, FC3, FC4 };

    Kind kind = Kind::Cancelled;
    quint8 code = 0;      // the engine's ResponseErrorCode (0 answered, 1 short, 2 CRC, 3 fields)
    quint8 exception = 0; // the meter's exception code, with Kind::Exception
    Event event = Event::None;
    quint8 slave = 0;
    quint16 start = 0;        // StartAddr, or DestAddr of a coil write
    QList<quint16> registers; // F03 (0x03, 0x04, 0x83) and FC3 values
    QList<bool> bits;         // F01 and F02 values; a coil write's echoed state (one bit)
    quint16 count = 0;        // a register write's DataCount (0x06: the value); FC3 RTDLength
    quint16 status = 0;       // FC3 and FC4 DevStatus
    QByteArray request;       // the frame written (empty when nothing went out)
    QByteArray received;      // every byte received during the wait, stray bytes included

    bool Answered() const { return kind == Kind::Answered; }
};

// One request, one completion, on top of a running engine. A message string handed to
// Submit is sent in the engine's poll cycle: queued requests go out in the order they
// were submitted, each in place of the request the owner's OnQueryData would have chosen
// next, and each calls its completion exactly once with its outcome. When the engine is
// open but not polling, the service runs a cycle of its own for its queue and stops it
// when the queue is empty.
//
// The service owns the engine's events. The owner's handlers (SetOwnerEvents) get every
// event of the transactions the owner chose, and of the service's own transactions the
// line's traffic only: OnAfterSendMsg and OnRecvData (the request went out, bytes came
// in), never their reply events, OnResponseError or OnAfterResponse, which belong to the
// request. OnQueryFinish reaches the owner when a cycle the owner started ends.
//
// Exactly once: a request ends with its outcome when its transaction is evaluated, or
// with Kind::Cancelled when it is cancelled, when the cycle ends before it went out
// (Stop COMM, a lost line: the request on the line is evaluated first, normally as
// NoReply), when the port is closed, and when the service is destroyed. A completion may
// submit further requests; they go out in the same cycle. It should not submit again
// on Kind::Cancelled without cause, or it may meet the same end again and again.
//
// Main thread only, like the engine. Live as long as the engine, or destroy the service
// while the engine runs no transaction of its: the owner's handlers go back into the
// engine then.
class RequestService : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const RequestOutcome&)>;
    using RequestId = quint64;

    explicit RequestService(TqvModbus& engine, QObject* parent = nullptr);
    ~RequestService() override;

    RequestService(const RequestService&) = delete;
    RequestService& operator=(const RequestService&) = delete;

    // The handlers of the engine's owner (the main window's qvModbus1... handlers).
    void SetOwnerEvents(const TqvModbusEvents& events) { owner_ = events; }
    const TqvModbusEvents& OwnerEvents() const { return owner_; }

    // Queues a message string (slave address in place; the engine adds the CRC). `done`
    // is never called from inside Submit. The id serves Cancel.
    RequestId Submit(const QByteArray& message, Completion done);
    // Ends a request that has not ended yet with Kind::Cancelled, at once; one already on
    // the line is given up and its reply reaches nobody. False when it has ended already.
    bool Cancel(RequestId id);
    // Cancels every request, then forgets the owner's handlers: nothing more reaches the
    // owner (its window is going away).
    void Detach();
    // Requests not ended yet: queued, and the one on the line.
    int Pending() const;
    // The request waits for its turn: it has not gone out yet.
    bool Queued(RequestId id) const;

    TqvModbus& Engine() { return engine_; }
    const TqvModbus& Engine() const { return engine_; }

private:
    struct Request {
        RequestId id = 0;
        QByteArray message;
        Completion done;
    };

    void Install();
    void QueryData(TqvModbus* sender);
    void AfterResponse(TqvModbus* sender);
    void QueryFinish(TqvModbus* sender);
    // Starts a cycle of the service's own for what is queued, when the engine is idle.
    void Kick();
    Request TakeCurrent();
    void Complete(Request request, const RequestOutcome& outcome);
    void CancelQueued();
    void EndUnevaluated();
    RequestOutcome Judge(const TqvModbus& engine);
    // The outcome under way with the reply's event, when the transaction is the service's;
    // null when it is the owner's.
    RequestOutcome* Mine(RequestOutcome::Event event, quint8 slave, quint16 start);
    // Forwards an event of the owner's transactions to the owner's handler.
    template <class E, class... A> void ToOwner(E TqvModbusEvents::*event, A&&... args);

    TqvModbus& engine_;
    TqvModbusEvents owner_;
    std::deque<Request> queue_;
    std::optional<Request> current_; // the request of the transaction under way
    bool mine_ = false;     // the transaction under way is the service's (even when given up)
    bool ownCycle_ = false; // the cycle running was started by the service
    RequestOutcome outcome_;
    RequestId lastId_ = 0;
};
