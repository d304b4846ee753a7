#pragma once

#include "TrendHistory.h"

#include <QObject>

#include <functional>
#include <optional>

class ReplyRouting;
struct SessionState;

// Records every good reply of block 0x130 into the live trend history from start-up,
// whether or not the trends window is open, scaled by the PT and CT ratios of the moment,
// with the temperature last read from register 0x518. Owned by the main window.
class TrendRecorder : public QObject {
    Q_OBJECT
public:
    // Milliseconds since the epoch. The default counts from the wall clock at start-up on
    // a steady clock, so setting the computer's clock never sends the history back.
    using Clock = std::function<qint64()>;

    // Registers with the routing; `state` gives the ratios of the moment.
    TrendRecorder(ReplyRouting& routing, const SessionState& state, QObject* owner,
                  qsizetype capacity = kTrendCapacity);

    void SetClock(Clock clock) { clock_ = std::move(clock); }
    const TrendHistory& History() const { return history_; }

signals:
    void Recorded();

private:
    void BlockReceived(const QList<quint16>& values);

    const SessionState& state_;
    Clock clock_;
    TrendHistory history_;
    std::optional<quint16> temperature_;
};
