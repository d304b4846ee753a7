#pragma once

#include "TrendHistory.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class ReplyRouting;
struct SessionState;

// Records every good reply of block 0x130 into the live trend history from start-up,
// whether or not the trends window is open, scaled by the PT and CT ratios of the moment,
// with the temperature last read from register 0x518. A reply from another meter than the
// last one (another port or address) begins a new series: a gap is recorded before it, so
// no line joins two meters' values. Owned by the main window.
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
    std::pair<QString, int> temperatureMeter_; // the meter that sent temperature_
    // The meter the last sample came from (port and address); none before the first.
    std::optional<std::pair<QString, int>> meter_;
};
