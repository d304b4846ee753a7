#include "LineRecovery.h"

#include "ModbusPort.h"
#include "PortName.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcModbusTrace)

LineRecovery::LineRecovery(ModbusPort& port, std::function<LineReturn()> lookForReturn)
    : port_(port), lookForReturn_(std::move(lookForReturn)) {
    timer_.setInterval(1000);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
}

QString LineRecovery::LostCaption() const {
    return QCoreApplication::translate("LineRecovery", "严重错误");
}

QString LineRecovery::LostText() const {
    return QCoreApplication::translate("LineRecovery", "端口 %1 发生通讯内部错误。").arg(device_) +
           QCoreApplication::translate(
               "LineRecovery", "\nThe line to the meter is lost: %1 hung up (adapter unplugged, or "
                               "the other end closed). The port is closed and opened again as soon "
                               "as the device is back.")
               .arg(device_);
}

void LineRecovery::Opened(const QString& commName) {
    lost_ = false;
    timer_.stop();
    device_ = PortDisplayName(commName);
}

void LineRecovery::Closed() {
    timer_.stop();
    lost_ = false;
}

void LineRecovery::LineLost() {
    waiting_ = lookForReturn_().text;
    lost_ = true;
    if (timer_.interval() > 0)
        timer_.start();
}

void LineRecovery::SetPollMs(int ms) {
    timer_.setInterval(std::max(ms, 0));
    if (ms <= 0)
        timer_.stop();
    else if (lost_ && !timer_.isActive())
        timer_.start();
}

void LineRecovery::Tick() {
    if (!lost_ || port_.IsOpen()) {
        timer_.stop();
        return;
    }
    // Only the device that was lost is opened again: not the on-board port its COM name
    // would mean without its link, nor another terminal or adapter now under the name. One
    // that is back may still be refused for a moment (its node gets its group a little
    // after it appears).
    const LineReturn back = lookForReturn_();
    if (back.text != waiting_) {
        waiting_ = back.text;
        if (port_.OnLineWaiting)
            port_.OnLineWaiting();
    }
    if (back.verdict != LineReturn::Verdict::Back)
        return;
    QString why;
    if (!port_.ReopenLine(&why)) {
        qCDebug(lcModbusTrace).noquote() << "line still lost:" << why;
        return;
    }
    if (port_.OnLineBack)
        port_.OnLineBack();
}
