#include "TrendRecorder.h"

#include "MeteringDecode.h"
#include "ReplyRouting.h"
#include "SessionState.h"
#include "TrendQuantities.h"

#include <QDateTime>
#include <QElapsedTimer>

TrendRecorder::TrendRecorder(ReplyRouting& routing, const SessionState& state, QObject* owner,
                             qsizetype capacity)
    : QObject(owner), state_(state), history_(TrendQuantityCount(), capacity) {
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    clock_ = [steady, start] { return start + steady->elapsed(); };

    routing.AddBlockDecoder(
        MeteringBlockStart, [this](const QList<quint16>& values) { BlockReceived(values); },
        ReplyRouting::DecodeStage::SharedState);
    routing.AddBlockDecoder(
        TemperatureRegister,
        [this](const QList<quint16>& values) {
            if (!values.isEmpty())
                temperature_ = values.front();
        },
        ReplyRouting::DecodeStage::SharedState);
}

void TrendRecorder::BlockReceived(const QList<quint16>& values) {
    const std::vector<float> sample =
        TrendSample(values, ScaleRatios{state_.PtRatio, state_.CtRatio}, temperature_);
    if (!sample.empty() && history_.Append(clock_(), sample))
        emit Recorded();
}
