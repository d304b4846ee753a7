#include "ModemLink.h"

#include "ModemWatcher.h"

#include <QLoggingCategory>

#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcModbusTrace)

namespace {
constexpr quint32 kCts = 0x10;
constexpr quint32 kCarrier = 0x80;
constexpr quint32 kRingEvent = 0x04;
constexpr quint32 kCarrierEvent = 0x08;
// The modems need a moment on a fresh connection before the first request.
constexpr int kSettleMs = 1000;
} // namespace

ModemLink::ModemLink(std::function<quint32()> lineStatus) : lineStatus_(std::move(lineStatus)) {
    connectTimer_.setInterval(1000);
    QObject::connect(&connectTimer_, &QTimer::timeout, &connectTimer_, [this] { ConnectTick(); });
    hangupTimer_.setInterval(2000);
    QObject::connect(&hangupTimer_, &QTimer::timeout, &hangupTimer_, [this] { HangupTick(); });
}

ModemLink::~ModemLink() = default;

bool ModemLink::CarrierOn() {
    return lineStatus_() & kCarrier;
}

bool ModemLink::CtsOn() {
    return lineStatus_() & kCts;
}

bool ModemLink::Write(const QByteArray& command) {
    return master_.write && master_.write(command);
}

void ModemLink::SetConnectWithModem(bool v) {
    if (std::exchange(settings.connectWithModem, v) != v)
        ApplyWatcherRule();
}

void ModemLink::SetTraceModemStatus(bool v) {
    if (std::exchange(settings.traceModemStatus, v) != v)
        ApplyWatcherRule();
}

void ModemLink::BeginCycle() {
    autoConnectNow_ = settings.autoConnect;
    hangupTimer_.stop();
    dialCount_ = -1;
    connectTicks_ = settings.connectTimeout;
    ConnectTick();
}

void ModemLink::ConnectTick() {
    ++connectTicks_;
    try {
        if (autoConnectNow_ && settings.connectWithModem && !CarrierOn()) {
            if (connectTicks_ <= int(settings.connectTimeout)) {
                if (!connectTimer_.isActive())
                    connectTimer_.start();
                return;
            }
            connectTimer_.stop();
            connectTicks_ = 0;
            if (dialCount_ < int(settings.repeatDialNum) && Dial()) {
                connectTimer_.start();
                ++dialCount_;
                return;
            }
        }
    } catch (const std::exception& e) {
        qCWarning(lcModbusTrace) << "dialling failed:" << e.what();
    }
    connectTimer_.stop();
    if (master_.dialled)
        master_.dialled();
}

bool ModemLink::Dial() {
    if (!Write(settings.initModemString + '\r'))
        return false;
    master_.delay(kSettleMs);
    return Write(settings.dialNumberString + '\r');
}

bool ModemLink::BringUp() {
    if (!linkUp_) {
        if (!settings.connectWithModem) {
            linkUp_ = true;
        } else if (CarrierOn()) {
            linkUp_ = true;
            master_.delay(kSettleMs);
        }
    }
    return linkUp_;
}

void ModemLink::StartHangup() {
    // Each hang-up gets its full allowance of attempts.
    hangupTicks_ = 0;
    hangupTimer_.start();
}

void ModemLink::HangupTick() {
    ++hangupTicks_;
    hangupTimer_.stop();
    try {
        if (settings.connectWithModem && hangupTicks_ / 2 <= settings.disconnectTimeout / 4 &&
            CarrierOn()) {
            // Escape to command mode and hang up, in turn, while the carrier stays on.
            const bool sent = hangupTicks_ % 2 == 0 ? Write(settings.modemOffLineString)
                                                    : Write(settings.modemHangupString + '\r');
            if (sent) {
                hangupTimer_.start();
                return;
            }
        }
    } catch (const std::exception& e) {
        qCWarning(lcModbusTrace) << "hang-up failed:" << e.what();
    }
    hangupTimer_.stop();
    linkUp_ = false;
    if (master_.hungUp)
        master_.hungUp();
}

void ModemLink::Opened() {
    if (!watcher_ && settings.traceModemStatus)
        watcher_ = std::make_unique<TTraceModemStatus>(
            lineStatus_, &context_,
            [this] {
                if (master_.ring)
                    master_.ring();
            },
            [this](bool on) { CarrierChanged(on); }, watcherPace_);
}

void ModemLink::Closed() {
    connectTimer_.stop();
    hangupTimer_.stop();
    watcher_.reset();
}

void ModemLink::ApplyWatcherRule() {
    if (!watcher_)
        return;
    if (settings.connectWithModem && settings.traceModemStatus)
        watcher_->Resume(); // takes a fresh snapshot when it was suspended
    else
        watcher_->Suspend();
}

void ModemLink::PortModemEvent(quint32 event) {
    // With the modem watcher on duty the port's own reports would be counted twice.
    if (settings.traceModemStatus)
        return;
    if ((event & kRingEvent) && master_.ring)
        master_.ring();
    if (event & kCarrierEvent)
        CarrierChanged(CarrierOn());
}

void ModemLink::CarrierChanged(bool on) {
    if (settings.connectWithModem && !on)
        linkUp_ = false;
    if (master_.carrier)
        master_.carrier();
}

bool ModemLink::WatcherRunning() const {
    return watcher_ && !watcher_->Suspended();
}

quint64 ModemLink::WatcherPolls() const {
    return watcher_ ? watcher_->Polls() : 0;
}
