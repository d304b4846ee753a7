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
            if (values.isEmpty())
                return;
            temperature_ = values.front();
            temperatureMeter_ = {state_.PortName, state_.DevAddr};
        },
        ReplyRouting::DecodeStage::SharedState);
}

void TrendRecorder::BlockReceived(const QList<quint16>& values) {
    const qint64 now = clock_();
    const std::pair<QString, int> meter{state_.PortName, state_.DevAddr};
    const bool otherMeter = meter_ && *meter_ != meter;
    // Another meter's temperature is not this one's.
    const std::optional<quint16> temperature =
        temperatureMeter_ == meter ? temperature_ : std::nullopt;
    const std::vector<float> sample =
        TrendSample(values, ScaleRatios{state_.PtRatio, state_.CtRatio}, temperature);
    if (sample.empty())
        return;
    // Another meter's values are another series, not a jump of this one.
    if (otherMeter && !history_.Empty())
        history_.AppendGap(now);
    meter_ = meter;
    if (history_.Append(now, sample))
        emit Recorded();
}
