#include "SerialLinePort.h"

#include "LineRecovery.h"
#include "ModemLink.h"
#include "PortName.h"
#include "ResponseWatcher.h"

#include <QCoreApplication>
#include <QFileInfo>

SerialLinePort::SerialLinePort(Device device)
    : device_(std::move(device)),
      modem_(std::make_unique<ModemLink>([this] { return ModemLineStatus(); })),
      recovery_(std::make_unique<LineRecovery>(*this, [this] { return LostLineReturn(); })) {}

SerialLinePort::~SerialLinePort() = default;

void SerialLinePort::OpenPort() {
    // A fresh session: the modem link is down until its first request.
    modem_->Reset();
    device_.open();
    recovery_->Opened(CommName());
    try {
        modem_->Opened();
    } catch (const std::exception&) {
        ClosePort();
        // The master's own text for a thread it cannot start.
        throw EModbusError(
            QCoreApplication::translate("TqvModbus", "不能创建跟踪线程。").toStdString());
    }
    modem_->ApplyWatcherRule();
}

void SerialLinePort::ClosePort() {
    // The watcher stops looking at the status lines before the device goes.
    modem_->Closed();
    recovery_->Closed();
    device_.close();
}

std::chrono::nanoseconds SerialLinePort::ReplyQuietTime() const {
    return LineQuietTime(BaudRate(), kPortReadIntervalMs);
}

void SerialLinePort::WatchForReturn() {
    recovery_->LineLost();
}
bool SerialLinePort::LineLost() const {
    return recovery_->Lost();
}
QString SerialLinePort::LineWaiting() const {
    return recovery_->Waiting();
}
QString SerialLinePort::LineDevice() const {
    return recovery_->Device();
}
LineNotice SerialLinePort::LostNotice() const {
    return {recovery_->LostCaption(), recovery_->LostText()};
}
void SerialLinePort::SetReopenPollMs(int ms) {
    recovery_->SetPollMs(ms);
}

LineReturn SerialLinePort::LostLineReturn() {
    const bool there = QFileInfo::exists(ResolvePortName(CommName()));
    return {there ? LineReturn::Verdict::Back : LineReturn::Verdict::Away,
            QStringLiteral("Waiting for ") + BarePortName(CommName())};
}

void SerialLinePort::ModemStateChange(quint32 event) {
    modem_->PortModemEvent(event);
}
