#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <optional>

// One evaluated transaction as the master saw it on the line, for a traffic monitor.
struct TransactionRecord {
    using TimePoint = std::chrono::steady_clock::time_point;

    QByteArray request;     // the frame written, CRC included; empty when nothing was written
    QByteArray received;    // every byte received during the wait, stray bytes included
    int expectedLength = 0; // reply bytes the request called for; 0 = no reply expected
    quint8 code = 0;        // ResponseErrorCode of the evaluation
    TimePoint written{};    // when the request was written (the start of the reply wait)
    std::optional<TimePoint> lastChunk; // when the last chunk of the wait was delivered
    TimePoint evaluated{};              // when the reply was evaluated
};

// Watches the master's traffic without taking part in it. Called on the master's thread,
// synchronously; keep it short, the next request waits for it. The master holds a plain
// pointer: the observer must outlive it or be removed first.
class TransactionObserver {
public:
    virtual ~TransactionObserver() = default;
    // Once per evaluated transaction, before its reply event is raised.
    virtual void TransactionEvaluated(const TransactionRecord& record) = 0;
    // Bytes that arrived while no reply was awaited: no transaction will ever look at them.
    virtual void StrayBytesReceived(const QByteArray& bytes, TransactionRecord::TimePoint at) = 0;
};
