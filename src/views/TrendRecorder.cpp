#include "TrendRecorder.h"

#include "MeteringDecode.h"
#include "TrendQuantities.h"
#include "frmMain.h"

#include <QDateTime>
#include <QElapsedTimer>

TrendRecorder::TrendRecorder(TFormTeskLink& shell, qsizetype capacity)
    : QObject(&shell), shell_(shell), history_(TrendQuantityCount(), capacity) {
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    clock_ = [steady, start] { return start + steady->elapsed(); };

    ReplyRouting& routing = shell.Routing();
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
    const SessionState& state = shell_.State();
    const std::vector<float> sample =
        TrendSample(values, ScaleRatios{state.PtRatio, state.CtRatio}, temperature_);
    if (!sample.empty() && history_.Append(clock_(), sample))
        emit Recorded();
}
