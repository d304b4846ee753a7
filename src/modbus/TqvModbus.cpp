#include "TqvModbus.h"

#include "CommModbusPort.h"
#include "RtuFrame.h"

#include <algorithm>
#include <thread>
#include <utility>

Q_LOGGING_CATEGORY(lcModbusTrace, "qetra.modbus.trace", QtWarningMsg)

namespace {
// Bytes kept while nobody reads them: a line that never goes quiet between polls must
// not eat memory. Far above the longest reply (65543 bytes).
constexpr qsizetype kReceiveKeep = 1 << 20;
// Step of the CTS wait before a write.
constexpr int kCtsPollMs = 2;

} // namespace

TqvModbus::TqvModbus(std::unique_ptr<ModbusPort> port, QObject* owner)
    : QObject(owner), port_(std::move(port)) {
    // The serial port given from outside takes the same settings as the default one.
    commPort_ = dynamic_cast<CommModbusPort*>(port_.get());
    Init();
}

void TqvModbus::Init() {
    clock_ = [] { return std::chrono::steady_clock::now(); };
    delay_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    BindPort();
}

void TqvModbus::BindPort() {
    port_->OnReceiveData = [this](const QByteArray& chunk) { DoReceiveData(chunk); };
    port_->OnReceiveError = [this](quint32 flags) {
        Raise("OnRecvError", OnRecvError, this, flags);
    };
    port_->OnRequestHangup = [this] { DoRequestHangup(); };
    port_->OnSendDataEmpty = [this] { Raise("OnSendEmpty", OnSendEmpty, this); };
    port_->OnReopening = [this] { BeginSession(); };
    port_->OnReopened = [this] { SessionOpened(); };
    port_->OnLineBack = [this] { LineBack(); };
    port_->OnLineWaiting = [this] { Raise("OnLineWaiting", OnLineWaiting, this); };

    if (ModemLink* modem = port_->Modem())
        modem->Bind({[this](const QByteArray& command) { return SendFrame(command); },
                     [this](int ms) { BusyDelay(ms); }, [this] { SendNextRequest(); },
                     [this] { Raise("OnModemRING", OnModemRING, this); },
                     [this] { Raise("OnModemRLSD", OnModemRLSD, this); },
                     [this] { Raise("OnAfterHangup", OnAfterHangup, this); }});
    PublishWaitRules();
}

void TqvModbus::UnbindPort() {
    if (ModemLink* modem = port_->Modem())
        modem->Bind({});
    port_->OnReceiveData = nullptr;
    port_->OnReceiveError = nullptr;
    port_->OnRequestHangup = nullptr;
    port_->OnSendDataEmpty = nullptr;
    port_->OnReopening = nullptr;
    port_->OnReopened = nullptr;
    port_->OnLineBack = nullptr;
    port_->OnLineWaiting = nullptr;
}

std::unique_ptr<ModbusPort> TqvModbus::ReplacePort(std::unique_ptr<ModbusPort> port) {
    if (portOpen_)
        throw EModbusError(tr("端口“%1”已打开。").arg(port_->CommName()).toStdString());
    // Also a port waiting for a lost line gives up its tries before it is handed back.
    Close();
    UnbindPort();
    std::unique_ptr<ModbusPort> old = std::exchange(port_, std::move(port));
    commPort_ = dynamic_cast<CommModbusPort*>(port_.get());
    BindPort();
    return old;
}

WatchedWaits TqvModbus::Watched() {
    WatchedWaits w;
    w.context = this;
    w.openWait = [this]() -> std::optional<ReplyWait> {
        if (state_.load() != TransactionState::AwaitingReply)
            return std::nullopt;
        ReplyWait wait{clock_() - shared_.sendTime,
                       shared_.received,
                       shared_.expected,
                       shared_.rules,
                       shared_.seq,
                       std::nullopt};
        if (shared_.unsettled)
            wait.unsettledAt = shared_.lastChunk - shared_.sendTime;
        return wait;
    };
    w.claim = [this](quint64 seq) {
        return seq == shared_.seq &&
               Enter(TransactionState::WaitOver, {TransactionState::AwaitingReply});
    };
    w.evaluate = [this](quint64 seq) { CompleteWait(seq); };
    return w;
}

bool TqvModbus::Enter(TransactionState to, std::initializer_list<TransactionState> from) {
    TransactionState now = state_.load();
    do {
        if (from.size() != 0 && std::find(from.begin(), from.end(), now) == from.end())
            return false;
    } while (!state_.compare_exchange_weak(now, to));
    return true;
}

bool TqvModbus::WaitOpen() const {
    const TransactionState s = state_.load();
    return s == TransactionState::Writing || s == TransactionState::AwaitingReply ||
           s == TransactionState::WaitOver;
}

bool TqvModbus::AwaitingReply() const {
    const TransactionState s = state_.load();
    return s == TransactionState::Writing || s == TransactionState::AwaitingReply;
}

TqvModbus::~TqvModbus() {
    // Leave the watcher first so it never looks at a component that is going away.
    ResponseWatcher::Instance().Unregister(this);
    // Also when the port was opened behind our back, or waits for a lost line: neither its
    // workers nor its modem watcher nor its tries outlive the component.
    Close();
    UnbindPort();
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

const ModemLink::Settings& TqvModbus::ModemSettings() const {
    static const ModemLink::Settings none; // ConnectWithModem false among them
    const ModemLink* modem = port_->Modem();
    return modem ? modem->settings : none;
}

void TqvModbus::SetConnectWithModem(bool v) {
    if (ModemLink* modem = port_->Modem())
        modem->SetConnectWithModem(v);
}

void TqvModbus::SetTraceModemStatus(bool v) {
    if (ModemLink* modem = port_->Modem())
        modem->SetTraceModemStatus(v);
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
    shared_.rules = {queryInterval_, queryTimeout_, previewTimeout_, port_->ReplyQuietTime()};
    watcher.WakeLocked();
}

quint32 TqvModbus::BaudRate() const {
    return port_->BaudRate();
}
void TqvModbus::SetBaudRate(quint32 baud) {
    port_->SetBaudRate(baud);
    PublishWaitRules(); // the quiet time goes by the rate
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
        throw EModbusError(tr("端口“%1”已打开。").arg(port_->CommName()).toStdString());
    BeginSession();
    // A line the lost-line recovery brings back after a stop stays stopped; an Open is new.
    stopped_ = false;
    port_->SetCommName(CommName);
    port_->SetBaudRate(BaudRate);
    // Its ECommsError goes to the caller as it is, and so does its EModbusError (a modem
    // watcher that cannot start), the port closed again.
    port_->OpenPort();
    SessionOpened();
}

void TqvModbus::BeginSession() {
    {
        auto& watcher = ResponseWatcher::Instance();
        std::lock_guard lock(watcher.Mutex());
        // A wait left over from before a Close is never evaluated after this point.
        Enter(TransactionState::Idle);
        ++waitSeq_;
        shared_.seq = waitSeq_;
        shared_.received = 0;
        shared_.unsettled = false;
    }
    queryMessage_.clear();
    receiveBuffer_.clear();
    responseErrorCode_ = 0;
}

void TqvModbus::SessionOpened() {
    PublishWaitRules(); // the port's quiet time goes by its line
    portOpen_ = true;
    // Registered whether or not the watcher runs yet, so starting it later still serves
    // this component.
    ResponseWatcher::Instance().Register(Watched());
}

void TqvModbus::Close() {
    keepPolling_ = false;
    resumeOnReturn_ = false;
    // Also a port the master holds closed: it gives up its modem's timers and its tries
    // for a lost line.
    port_->ClosePort();
    portOpen_ = false;
}

bool TqvModbus::StartQuery() {
    if (!portOpen_)
        return false;
    if (CycleBusy())
        return true;
    Enter(TransactionState::Connecting);
    keepPolling_ = true;
    stopped_ = false;
    BeginCycle();
    return true;
}

void TqvModbus::StopQuery() {
    keepPolling_ = false;
    resumeOnReturn_ = false;
    stopped_ = true;
    // A modem still waiting for its carrier sends nothing more.
    ModemLink* modem = port_->Modem();
    if (modem && modem->ConnectTimerActive() &&
        Enter(TransactionState::Idle, {TransactionState::Connecting})) {
        modem->StopWaitingForCarrier();
        Raise("OnQueryFinish", OnQueryFinish, this);
        return;
    }
    // The transaction on its way ends now, with what the meter has sent so far (normally
    // nothing: unanswered), and the cycle with it. What comes later belongs to no session:
    // taken for the meter talking, it would mark the meter connected after the stop.
    bool claimed = false;
    {
        std::lock_guard lock(ResponseWatcher::Instance().Mutex());
        // A wait the watcher has already handed over is evaluated here too; the handed-over
        // call then finds it gone.
        claimed = Enter(TransactionState::WaitOver,
                        {TransactionState::Writing, TransactionState::AwaitingReply,
                         TransactionState::WaitOver});
    }
    if (claimed)
        ProcessReply();
}

// ---------------------------------------------------------------- response watcher

void TqvModbus::StartResponseWatcher() {
    try {
        ResponseWatcher::Instance().Start();
    } catch (const std::exception&) {
        throw EModbusError(tr("不能创建跟踪线程。").toStdString());
    }
}

void TqvModbus::CompleteWait(quint64 seq) {
    if (state_.load() == TransactionState::WaitOver && seq == waitSeq_)
        ProcessReply();
}

// ---------------------------------------------------------------- one transaction

void TqvModbus::BeginCycle() {
    // A modem dials first when it must, and goes on to the request itself.
    if (ModemLink* modem = port_->Modem())
        modem->BeginCycle();
    else
        SendNextRequest();
}

void TqvModbus::SendNextRequest() {
    ModemLink* modem = port_->Modem();
    const bool linkUp = !modem || modem->BringUp();
    if (!CycleBusy()) {
        Raise("OnAfterConnect", OnAfterConnect, this);
        return;
    }
    if (!linkUp) {
        Enter(TransactionState::Idle);
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
        shared_.received = 0;
        shared_.unsettled = false;
        shared_.expected = expectedLength_;
        shared_.seq = seq;
        // Whatever arrives from now on belongs to this request's wait.
        Enter(TransactionState::Writing);
        watcher.WakeLocked();
    }
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
    if (shared_.seq != seq || state_.load() != TransactionState::Writing)
        return; // a wait that has been replaced since (the port was reopened)
    // The writer's moment on this component's clock (a test's clock may stand still):
    // as long before now as it was before the report.
    const TimePoint writtenHere = clock_() - (reportedAt - writtenAt);
    shared_.sendTime = std::max(shared_.sendTime, writtenHere);
    Enter(TransactionState::AwaitingReply);
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
    Enter(TransactionState::Evaluating);
    responseErrorCode_ = 0;
    if (expectedLength_ > 0) {
        QByteArray reply;
        if (received.size() < expectedLength_)
            responseErrorCode_ = 1;
        else if (requestFrame_.size() < 2)
            // No request went out (invalid message), so there is nothing to compare the
            // bytes with: whatever came in is not its reply.
            responseErrorCode_ = 2;
        else if (!LocateReply(requestFrame_, received, expectedLength_, reply) &&
                 !FindReply(requestFrame_, received, expectedLength_, reply))
            // Nothing valid where the reply starts, nor anywhere behind it now that the
            // line has fallen silent (or the wait is at its end).
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
        Enter(TransactionState::Connecting);
        BeginCycle();
    } else {
        Enter(TransactionState::Idle);
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
    ModemLink* modem = port_->Modem();
    if (!rtsCtsControl_ || !modem)
        return true;
    // The modem or line driver holds CTS off while it cannot take data. Wait for it,
    // but not for ever: after the longest reply wait nothing is written and the
    // transaction ends as an unanswered one.
    const auto limit = std::chrono::milliseconds(CtsWaitLimitMs());
    const TimePoint start = Now();
    while (!modem->CtsOn()) {
        if (Now() - start >= limit) {
            qCWarning(lcModbusTrace) << "CTS stayed off; request not written";
            return false;
        }
        delay_(kCtsPollMs);
    }
    return true;
}

// ---------------------------------------------------------------- port notifications

bool TqvModbus::Unsettled() const {
    // Junk in front of the reply can make up its length while the reply is still on its
    // way (a port hands a chunk over early once the awaited length is in), so bytes long
    // enough that hold no valid reply where it starts wait for the line to fall silent. A
    // reply that is valid there is judged at once, as it always was.
    if (expectedLength_ <= 0 || requestFrame_.size() < 2 || receiveBuffer_.size() < expectedLength_)
        return false;
    QByteArray reply;
    return !LocateReply(requestFrame_, receiveBuffer_, expectedLength_, reply);
}

void TqvModbus::DoReceiveData(const QByteArray& chunk) {
    // After a stop the line may still carry the answer to the request given up: it is not
    // the meter talking to any session, so only an observer hears of it.
    if (stopped_ && !WaitOpen()) {
        if (observer_)
            observer_->StrayBytesReceived(chunk, Now());
        return;
    }
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
        if (!AwaitingReply() && receiveBuffer_.size() > kReceiveKeep)
            receiveBuffer_.remove(0, receiveBuffer_.size() - kReceiveKeep);
        shared_.received = receiveBuffer_.size();
        shared_.lastChunk = Now();
        shared_.unsettled = AwaitingReply() && Unsettled();
        over = watcher.ClaimIfOverLocked(this, seq);
        if (!over)
            watcher.WakeLocked();
    }
    if (observer_) {
        if (WaitOpen())
            lastChunk_ = Now();
        else
            observer_->StrayBytesReceived(chunk, Now());
    }
    Raise("OnRecvData", OnRecvData, this, chunk);
    if (over)
        CompleteWait(seq);
}

// ---------------------------------------------------------------- a lost line

void TqvModbus::DoRequestHangup() {
    if (!portOpen_)
        return;
    // The line has gone: nothing written to it can ever be answered, so sending on would
    // only pile up unanswered requests. Close, pause, and let the port watch for its return.
    const bool resume = keepPolling_;
    Close();
    resumeOnReturn_ = resume;
    port_->WatchForReturn();
    EndWaitNow();
    Raise("OnLineLost", OnLineLost, this);

    const LineNotice notice = port_->LostNotice();
    if (OnOperatorError)
        Raise("OnOperatorError", OnOperatorError, notice.caption, notice.text);
    else
        qCCritical(lcModbusTrace).noquote() << notice.caption << notice.text;
}

void TqvModbus::LineBack() {
    if (std::exchange(resumeOnReturn_, false))
        StartQuery();
    Raise("OnLineBack", OnLineBack, this);
}

bool TqvModbus::ReopenLine(QString* why) {
    if (portOpen_)
        return true;
    return port_->ReopenLine(why);
}

void TqvModbus::EndWaitNow() {
    bool claimed = false;
    {
        std::lock_guard lock(ResponseWatcher::Instance().Mutex());
        // Whoever claims the wait evaluates it; if the watcher was first, its evaluation
        // is already on its way to this thread.
        claimed = Enter(TransactionState::WaitOver,
                        {TransactionState::Writing, TransactionState::AwaitingReply});
    }
    if (claimed)
        ProcessReply();
}

// ---------------------------------------------------------------- the port's modem link

bool TqvModbus::DialModem() {
    ModemLink* modem = port_->Modem();
    return modem && modem->Dial();
}

void TqvModbus::SetModemPollMs(int ms) {
    if (ModemLink* modem = port_->Modem())
        modem->SetWatcherPace(std::chrono::milliseconds(ms));
}
