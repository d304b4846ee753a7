#include "TqvModbus.h"

#include "ModemWatcher.h"
#include "PortName.h"
#include "ResponseWatcher.h"
#include "RtuFrame.h"
#include "TComm.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <thread>

Q_LOGGING_CATEGORY(lcModbusTrace, "qetra.modbus.trace", QtWarningMsg)

namespace {
constexpr quint32 kCts = 0x10;
constexpr quint32 kCarrier = 0x80;
constexpr quint32 kRingEvent = 0x04;
constexpr quint32 kCarrierEvent = 0x08;
// Bytes kept while nobody reads them: a line that never goes quiet between polls must
// not eat memory. Far above the longest reply (65543 bytes).
constexpr qsizetype kReceiveKeep = 1 << 20;
// Step of the CTS wait before a write.
constexpr int kCtsPollMs = 2;

QString ModbusText(const char* utf8) {
    return QString::fromUtf8(utf8);
}
} // namespace

TqvModbus::TqvModbus(std::unique_ptr<ModbusPort> port, QObject* owner)
    : QObject(owner), port_(std::move(port)) {
    Init();
}

void TqvModbus::Init() {
    port_->OnReceiveData = [this](const QByteArray& chunk) { DoReceiveData(chunk); };
    port_->OnReceiveError = [this](quint32 flags) { DoReceiveError(flags); };
    port_->OnModemStateChange = [this](quint32 ev) { DoModemStateChange(ev); };
    port_->OnRequestHangup = [this] { DoRequestHangup(); };
    port_->OnSendDataEmpty = [this] { DoSendDataEmpty(); };

    connectTimer_ = new QTimer(this);
    connectTimer_->setInterval(1000);
    connect(connectTimer_, &QTimer::timeout, this, &TqvModbus::ConnectTick);
    hangupTimer_ = new QTimer(this);
    hangupTimer_->setInterval(2000);
    connect(hangupTimer_, &QTimer::timeout, this, &TqvModbus::HangupTick);
    reopenTimer_ = new QTimer(this);
    reopenTimer_->setInterval(1000);
    connect(reopenTimer_, &QTimer::timeout, this, &TqvModbus::ReopenTick);

    clock_ = [] { return std::chrono::steady_clock::now(); };
    delay_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };

    initModemString_ = "at&f0e0q1&d0&k0s0=0&w0";
    dialNumberString_ = "atdt0";
    manualAnswerString_ = "ata";
    modemOffLineString_ = "+++";
    modemHangupString_ = "ath0";
    PublishWaitRules();
}

TqvModbus::~TqvModbus() {
    // Leave the watcher first so it never looks at a component that is going away.
    ResponseWatcher::Instance().Unregister(this);
    if (portOpen_)
        Close();
    StopModemWatcher();
    port_->OnReceiveData = nullptr;
    port_->OnReceiveError = nullptr;
    port_->OnModemStateChange = nullptr;
    port_->OnRequestHangup = nullptr;
    port_->OnSendDataEmpty = nullptr;
    // The port may still be open when it was opened behind our back; never leave its
    // workers running after the component is gone.
    if (port_->IsOpen())
        port_->ClosePort();
}

template <class F, class... A>
void TqvModbus::Raise(const char* name, const F& handler, A&&... args) {
    if (!handler)
        return;
    // A copy, so a handler may reassign its own event while it runs.
    const F call = handler;
    try {
        call(std::forward<A>(args)...);
    } catch (const std::exception& e) {
        qCWarning(lcModbusTrace) << "handler of" << name << "threw:" << e.what();
    } catch (...) {
        qCWarning(lcModbusTrace) << "handler of" << name << "threw";
    }
}

// ---------------------------------------------------------------- properties

void TqvModbus::SetConnectWithModem(bool v) {
    if (v == connectWithModem_)
        return;
    connectWithModem_ = v;
    ApplyModemWatcherRule();
}

void TqvModbus::SetTraceModemStatus(bool v) {
    if (v == traceModemStatus_)
        return;
    traceModemStatus_ = v;
    ApplyModemWatcherRule();
}

void TqvModbus::SetQueryInterval(quint32 ms) {
    queryInterval_ = ms;
    PublishWaitRules();
}

void TqvModbus::SetQueryTimeout(quint32 ms) {
    queryTimeout_ = ms;
    PublishWaitRules();
}

void TqvModbus::SetPreviewTimeout(quint32 ms) {
    previewTimeout_ = ms;
    PublishWaitRules();
}

void TqvModbus::PublishWaitRules() {
    auto& watcher = ResponseWatcher::Instance();
    std::lock_guard lock(watcher.Mutex());
    shared_.interval = queryInterval_;
    shared_.timeout = queryTimeout_;
    shared_.preview = previewTimeout_;
    watcher.WakeLocked();
}

quint32 TqvModbus::BaudRate() const {
    return port_->BaudRate();
}
void TqvModbus::SetBaudRate(quint32 baud) {
    port_->SetBaudRate(baud);
}
QString TqvModbus::CommName() const {
    return port_->CommName();
}

void TqvModbus::SetClock(SteadyClock clock) {
    std::lock_guard lock(ResponseWatcher::Instance().Mutex());
    clock_ = std::move(clock);
}

TqvModbus::TimePoint TqvModbus::Now() const {
    return clock_();
}

void TqvModbus::SetDelayFunction(Delay delay) {
    delay_ = std::move(delay);
}

// ---------------------------------------------------------------- open and close

void TqvModbus::Open(const QString& CommName, quint32 BaudRate) {
    if (portOpen_)
        throw EModbusError(
            (ModbusText("端口“") + port_->CommName() + ModbusText("”已打开。")).toStdString());
    {
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        // A wait left over from before a Close is never evaluated after this point.
        awaitingReply_ = false;
        ++waitSeq_;
        shared_.seq = waitSeq_;
        shared_.received = 0;
    }
    waitOpen_ = false;
    cycleBusy_ = false;
    queryMessage_.clear();
    receiveBuffer_.clear();
    linkUp_ = false;
    responseErrorCode_ = 0;

    port_->SetCommName(CommName);
    port_->SetBaudRate(BaudRate);
    port_->OpenPort(); // its ECommsError goes to the caller as it is
    portOpen_ = true;
    lineLost_ = false;
    reopenTimer_->stop();
    lineDevice_ = PortDisplayName(CommName);

    if (!modemWatcher_ && traceModemStatus_) {
        try {
            modemWatcher_ = std::make_unique<TTraceModemStatus>(
                *port_, this, [this] { RingChanged(); }, [this](bool on) { CarrierChanged(on); },
                modemPollPace_);
        } catch (const std::exception&) {
            Close();
            throw EModbusError(ModbusText("不能创建跟踪线程。").toStdString());
        }
    }
    // Registered whether or not the watcher runs yet, so starting it later still serves
    // this component.
    ResponseWatcher::Instance().Register(this);
    ApplyModemWatcherRule();
}

void TqvModbus::Close() {
    connectTimer_->stop();
    hangupTimer_->stop();
    reopenTimer_->stop();
    lineLost_ = false;
    resumeOnReturn_ = false;
    cycleBusy_ = false;
    keepPolling_ = false;
    StopModemWatcher();
    if (portOpen_) {
        port_->ClosePort();
        portOpen_ = false;
    }
}

bool TqvModbus::StartQuery() {
    if (!portOpen_)
        return false;
    if (cycleBusy_)
        return true;
    cycleBusy_ = true;
    keepPolling_ = true;
    BeginCycle();
    return true;
}

void TqvModbus::StopQuery() {
    keepPolling_ = false;
    resumeOnReturn_ = false;
}

// ---------------------------------------------------------------- response watcher

void TqvModbus::StartResponseWatcher() {
    try {
        ResponseWatcher::Instance().Start();
    } catch (const std::exception&) {
        throw EModbusError(ModbusText("不能创建跟踪线程。").toStdString());
    }
}

void TqvModbus::StopResponseWatcher() {
    ResponseWatcher::Instance().Stop();
}
bool TqvModbus::ResponseWatcherRunning() {
    return ResponseWatcher::Instance().Running();
}
void TqvModbus::CheckRepliesNow() {
    ResponseWatcher::Instance().CheckNow();
}
int TqvModbus::ReplyItemCount(const TqvModbus* component) {
    return ResponseWatcher::Instance().Count(component);
}

void TqvModbus::CompleteWait(quint64 seq) {
    if (!awaitingReply_.load() && seq == waitSeq_)
        ProcessReply();
}

// ---------------------------------------------------------------- one transaction

void TqvModbus::BeginCycle() {
    autoConnectNow_ = autoConnect_;
    hangupTimer_->stop();
    dialCount_ = -1;
    connectTicks_ = connectTimeout_;
    ConnectTick();
}

void TqvModbus::SendNextRequest() {
    if (!linkUp_) {
        if (!connectWithModem_) {
            linkUp_ = true;
        } else if (CarrierOn()) {
            linkUp_ = true;
            // Give the modems a moment on the fresh connection before the first request.
            BusyDelay(1000);
        }
    }
    if (!cycleBusy_) {
        Raise("OnAfterConnect", OnAfterConnect, this);
        return;
    }
    if (!linkUp_) {
        cycleBusy_ = false;
        keepPolling_ = false;
        Raise("OnQueryFinish", OnQueryFinish, this);
        return;
    }
    BuildFrame();
    if (!requestFrame_.isEmpty())
        qCDebug(lcModbusTrace).noquote() << "TX" << requestFrame_.toHex(' ');
    // The wait is in place before the request is handed over, but its reply window
    // opens only when the writer reports the request written: a request that waits a
    // while for the writer (a busy machine) must not lose that time from its window.
    quint64 seq = 0;
    {
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        receiveBuffer_.clear();
        seq = ++waitSeq_;
        shared_.sendTime = Now();
        shared_.started = false;
        shared_.received = 0;
        shared_.expected = expectedLength_;
        shared_.seq = seq;
        awaitingReply_ = true;
        watcher.WakeLocked();
    }
    // Whatever arrives from now on belongs to this request's wait (for an observer).
    waitOpen_ = true;
    lastChunk_.reset();
    // Nothing to write (an invalid message, CTS stayed off, the writer is gone): the
    // window opens now and the wait ends as an unanswered one.
    if (!SendRequestFrame(seq)) {
        const auto now = std::chrono::steady_clock::now();
        OpenReplyWindow(seq, now, now);
    }
    Raise("OnAfterSendMsg", OnAfterSendMsg, this, requestFrame_);
}

bool TqvModbus::SendRequestFrame(quint64 seq) {
    if (requestFrame_.isEmpty() || !WaitForCts())
        return false;
    const int replyLength = expectedLength_;
    return port_->SendRequest(requestFrame_, replyLength,
                              [this, seq](std::chrono::steady_clock::time_point writtenAt) {
                                  OpenReplyWindow(seq, writtenAt, std::chrono::steady_clock::now());
                              });
}

void TqvModbus::OpenReplyWindow(quint64 seq, std::chrono::steady_clock::time_point writtenAt,
                                std::chrono::steady_clock::time_point reportedAt) {
    auto& watcher = ResponseWatcher::Instance();
    std::lock_guard lock(watcher.Mutex());
    if (shared_.seq != seq || shared_.started)
        return; // a wait that has been replaced since (the port was reopened)
    // The writer's moment on this component's clock (a test's clock may stand still):
    // as long before now as it was before the report.
    const TimePoint writtenHere = clock_() - (reportedAt - writtenAt);
    shared_.sendTime = std::max(shared_.sendTime, writtenHere);
    shared_.started = true;
    watcher.WakeLocked();
}

void TqvModbus::BuildFrame() {
    Raise("OnQueryData", OnQueryData, this);
    const ParsedMessage frame = MakeRequestFrame(queryMessage_);
    requestFrame_ = frame.bytes;
    requestLength_ = frame.requestLength;
    expectedLength_ = frame.expectedLength;
    if (requestFrame_.isEmpty())
        qCDebug(lcModbusTrace) << "invalid message, nothing sent:" << queryMessage_;
}

void TqvModbus::ProcessReply() {
    const QByteArray received = receiveBuffer_;
    waitOpen_ = false;
    responseErrorCode_ = 0;
    if (expectedLength_ > 0) {
        QByteArray reply;
        if (received.size() < expectedLength_)
            responseErrorCode_ = 1;
        else if (requestFrame_.size() < 2)
            // No request went out (invalid message), so there is nothing to compare the
            // bytes with: whatever came in is not its reply.
            responseErrorCode_ = 2;
        else if (!LocateReply(requestFrame_, received, expectedLength_, reply))
            responseErrorCode_ = 2;
        else if (!CheckReplyFields(requestFrame_, reply))
            responseErrorCode_ = 3;

        qCDebug(lcModbusTrace).noquote()
            << "RX" << received.toHex(' ') << "code" << responseErrorCode_;
        NotifyEvaluated(received);
        if (responseErrorCode_ != 0) {
            Raise("OnResponseError", OnResponseError, this);
        } else {
            try {
                RaiseReplyEvent(this, *this, requestFrame_, reply);
            } catch (const std::exception& e) {
                qCWarning(lcModbusTrace) << "reply handler threw:" << e.what();
            } catch (...) {
                qCWarning(lcModbusTrace) << "reply handler threw";
            }
        }
    } else {
        NotifyEvaluated(received);
    }
    Raise("OnAfterResponse", OnAfterResponse, this);
    if (keepPolling_) {
        BeginCycle();
    } else {
        cycleBusy_ = false;
        Raise("OnQueryFinish", OnQueryFinish, this);
    }
}

void TqvModbus::NotifyEvaluated(const QByteArray& received) {
    if (!observer_)
        return;
    TransactionRecord record;
    record.request = requestFrame_;
    record.received = received;
    record.expectedLength = expectedLength_;
    record.code = responseErrorCode_;
    {
        // The moment the writer reported the request written (or queued, when it never was).
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        record.written = shared_.sendTime;
    }
    record.lastChunk = lastChunk_;
    record.evaluated = Now();
    observer_->TransactionEvaluated(record);
}

int TqvModbus::CtsWaitLimitMs() const {
    return int(std::min<quint32>(std::max(queryInterval_, queryTimeout_), INT32_MAX));
}

bool TqvModbus::SendFrame(const QByteArray& Data) {
    if (Data.isEmpty() || !WaitForCts())
        return false;
    return port_->SendData(Data);
}

bool TqvModbus::WaitForCts() {
    if (!rtsCtsControl_)
        return true;
    // The modem or line driver holds CTS off while it cannot take data. Wait for it,
    // but not for ever: after the longest reply wait nothing is written and the
    // transaction ends as an unanswered one.
    const auto limit = std::chrono::milliseconds(CtsWaitLimitMs());
    const TimePoint start = Now();
    while (!(port_->ModemLineStatus() & kCts)) {
        if (Now() - start >= limit) {
            qCWarning(lcModbusTrace) << "CTS stayed off; request not written";
            return false;
        }
        delay_(kCtsPollMs);
    }
    return true;
}

// ---------------------------------------------------------------- port notifications

void TqvModbus::DoReceiveData(const QByteArray& chunk) {
    // The chunk that completes a reply after the interval ends the wait by itself: the
    // same rules as the watcher's, applied here at once instead of a round trip through
    // the watcher thread (which is not even woken then). The evaluation follows the
    // chunk's OnRecvData.
    quint64 seq = 0;
    bool over = false;
    {
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        receiveBuffer_.append(chunk);
        if (!awaitingReply_.load() && receiveBuffer_.size() > kReceiveKeep)
            receiveBuffer_.remove(0, receiveBuffer_.size() - kReceiveKeep);
        shared_.received = receiveBuffer_.size();
        over = watcher.ClaimIfOverLocked(this, seq);
        if (!over)
            watcher.WakeLocked();
    }
    if (observer_) {
        if (waitOpen_)
            lastChunk_ = Now();
        else
            observer_->StrayBytesReceived(chunk, Now());
    }
    Raise("OnRecvData", OnRecvData, this, chunk);
    if (over)
        CompleteWait(seq);
}

void TqvModbus::DoReceiveError(quint32 EventMask) {
    Raise("OnRecvError", OnRecvError, this, EventMask);
}

void TqvModbus::DoSendDataEmpty() {
    Raise("OnSendEmpty", OnSendEmpty, this);
}

void TqvModbus::DoModemStateChange(quint32 ModemEvent) {
    // With the modem watcher on duty the port's own reports would be counted twice.
    if (traceModemStatus_)
        return;
    if (ModemEvent & kRingEvent)
        RingChanged();
    if (ModemEvent & kCarrierEvent)
        CarrierChanged(CarrierOn());
}

// ---------------------------------------------------------------- modem link

void TqvModbus::RingChanged() {
    Raise("OnModemRING", OnModemRING, this);
}

void TqvModbus::CarrierChanged(bool on) {
    if (connectWithModem_ && !on)
        linkUp_ = false;
    Raise("OnModemRLSD", OnModemRLSD, this);
}

bool TqvModbus::CarrierOn() {
    return port_->ModemLineStatus() & kCarrier;
}

void TqvModbus::ApplyModemWatcherRule() {
    if (!modemWatcher_)
        return;
    if (connectWithModem_ && traceModemStatus_)
        modemWatcher_->Resume(); // takes a fresh snapshot when it was suspended
    else
        modemWatcher_->Suspend();
}

void TqvModbus::StopModemWatcher() {
    modemWatcher_.reset();
}

bool TqvModbus::ModemWatcherRunning() const {
    return modemWatcher_ && !modemWatcher_->Suspended();
}

quint64 TqvModbus::ModemWatcherPolls() const {
    return modemWatcher_ ? modemWatcher_->Polls() : 0;
}

bool TqvModbus::ConnectTimerActive() const {
    return connectTimer_->isActive();
}
bool TqvModbus::HangupTimerActive() const {
    return hangupTimer_->isActive();
}

void TqvModbus::BusyDelay(int ms) {
    delay_(ms);
}

void TqvModbus::ConnectTick() {
    ++connectTicks_;
    try {
        if (autoConnectNow_ && connectWithModem_ && !CarrierOn()) {
            if (connectTicks_ <= int(connectTimeout_)) {
                if (!connectTimer_->isActive())
                    connectTimer_->start();
                return;
            }
            connectTimer_->stop();
            connectTicks_ = 0;
            if (dialCount_ < int(repeatDialNum_) && DialModem()) {
                connectTimer_->start();
                ++dialCount_;
                return;
            }
        }
    } catch (const std::exception& e) {
        qCWarning(lcModbusTrace) << "dialling failed:" << e.what();
    }
    connectTimer_->stop();
    SendNextRequest();
}

bool TqvModbus::DialModem() {
    if (!SendFrame(initModemString_ + '\r'))
        return false;
    BusyDelay(1000);
    return SendFrame(dialNumberString_ + '\r');
}

void TqvModbus::StartHangup() {
    // Each hang-up gets its full allowance of attempts.
    hangupTicks_ = 0;
    hangupTimer_->start();
}

void TqvModbus::HangupTick() {
    ++hangupTicks_;
    hangupTimer_->stop();
    try {
        if (connectWithModem_ && hangupTicks_ / 2 <= disconnectTimeout_ / 4 && CarrierOn()) {
            // Escape to command mode and hang up, in turn, while the carrier stays on.
            const bool sent = hangupTicks_ % 2 == 0 ? SendFrame(modemOffLineString_)
                                                    : SendFrame(modemHangupString_ + '\r');
            if (sent) {
                hangupTimer_->start();
                return;
            }
        }
    } catch (const std::exception& e) {
        qCWarning(lcModbusTrace) << "hang-up failed:" << e.what();
    }
    hangupTimer_->stop();
    linkUp_ = false;
    Raise("OnAfterHangup", OnAfterHangup, this);
}

// ---------------------------------------------------------------- a lost line

void TqvModbus::DoRequestHangup() {
    if (!portOpen_)
        return;
    // The device has gone: nothing written to it can ever be answered, so sending on
    // would only pile up unanswered requests. Close, pause, and wait for it to return.
    const bool resume = keepPolling_;
    Close();
    lineWaiting_ = port_->LostLineReturn().text;
    lineLost_ = true;
    resumeOnReturn_ = resume;
    if (reopenTimer_->interval() > 0)
        reopenTimer_->start();
    EndWaitNow();
    Raise("OnLineLost", OnLineLost, this);

    const QString caption = ModbusText("严重错误");
    const QString text =
        ModbusText("端口 ") + lineDevice_ + ModbusText(" 发生通讯内部错误。") +
        QStringLiteral("\nThe line to the meter is lost: %1 hung up (adapter unplugged, or the "
                       "other end closed). The port is closed and opened again as soon as the "
                       "device is back.")
            .arg(lineDevice_);
    if (OnOperatorError)
        Raise("OnOperatorError", OnOperatorError, caption, text);
    else
        qCCritical(lcModbusTrace).noquote() << caption << text;
}

void TqvModbus::EndWaitNow() {
    bool claimed = false;
    {
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        bool expected = true;
        // Whoever claims the wait evaluates it; if the watcher was first, its evaluation
        // is already on its way to this thread.
        claimed = awaitingReply_.compare_exchange_strong(expected, false);
    }
    if (claimed)
        ProcessReply();
}

void TqvModbus::SetReopenPollMs(int ms) {
    reopenTimer_->setInterval(std::max(ms, 0));
    if (ms <= 0)
        reopenTimer_->stop();
    else if (lineLost_ && !reopenTimer_->isActive())
        reopenTimer_->start();
}

bool TqvModbus::ReopenLine(QString* why) {
    if (portOpen_)
        return true;
    const bool resume = resumeOnReturn_;
    try {
        Open(port_->CommName(), port_->BaudRate());
    } catch (const ECommsError& e) {
        if (why)
            *why = e.Reason().isEmpty() ? e.Text().trimmed() : e.Reason();
        return false;
    } catch (const std::exception& e) {
        if (why)
            *why = QString::fromStdString(e.what());
        return false;
    }
    resumeOnReturn_ = resume;
    return true;
}

void TqvModbus::ReopenTick() {
    if (!lineLost_ || portOpen_) {
        reopenTimer_->stop();
        return;
    }
    // Only the device that was lost is opened again: not the on-board port its COM name
    // would mean without its link, nor another terminal or adapter now under the name. One
    // that is back may still be refused for a moment (its node gets its group a little
    // after it appears).
    const LineReturn back = port_->LostLineReturn();
    if (back.text != lineWaiting_) {
        lineWaiting_ = back.text;
        Raise("OnLineWaiting", OnLineWaiting, this);
    }
    if (back.verdict != LineReturn::Verdict::Back)
        return;
    QString why;
    if (!ReopenLine(&why)) {
        qCDebug(lcModbusTrace).noquote() << "line still lost:" << why;
        return;
    }
    const bool resume = resumeOnReturn_;
    resumeOnReturn_ = false;
    if (resume)
        StartQuery();
    Raise("OnLineBack", OnLineBack, this);
}
