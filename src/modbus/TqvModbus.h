#pragma once

#include "ModbusPort.h"
#include "ModemLink.h"
#include "ReplyEvents.h"
#include "ResponseWatcher.h"
#include "TransactionObserver.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>

// Hex traces of requests and replies, and reports of failing event handlers.
Q_DECLARE_LOGGING_CATEGORY(lcModbusTrace)

class CommModbusPort;

// Where the transaction under way stands. A cycle runs from StartQuery until OnQueryFinish:
//   Idle -> Connecting (the modem link, straight through without a modem)
//        -> Writing (the request is with the port's writer; no reply window yet)
//        -> AwaitingReply (the window is open; the watcher judges it)
//        -> WaitOver (claimed by whoever saw it end; the evaluation is on its way)
//        -> Evaluating (ProcessReply has the bytes) -> Connecting while polling, else Idle.
// Open and a stop return to Idle; Close leaves a wait in place, and it still ends.
enum class TransactionState { Idle, Connecting, Writing, AwaitingReply, WaitOver, Evaluating };

// The Modbus RTU master. It owns one port (behind the ModbusPort seam: the serial port with
// its modem link and its lost-line recovery, or a fake) and runs a poll cycle of strictly
// sequential transactions: OnQueryData asks the application for the next message string,
// the frame is written, received chunks are collected, the process-wide response watcher
// decides when the wait is over, and ProcessReply raises the reply's event on the main
// thread and starts the next transaction at once while polling is on. The modem's
// properties and the lost line's state are the port's; the master publishes and forwards
// them, drives the modem's steps within the cycle, and reacts to a line lost and back.
//
// All public operations and all events belong to the thread the component lives on
// (the main thread). Events are the std::function members inherited from
// TqvModbusEvents: `qv.OnF03Response = [](TqvModbus*, quint8, quint16, QList<quint16>) {...}`.
// An event handler that throws is reported on lcModbusTrace and otherwise ignored: the
// transaction and the cycle go on as if the handler had returned.
class TqvModbus : public QObject, public TqvModbusEvents {
    Q_OBJECT
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using SteadyClock = std::function<TimePoint()>;
    using Delay = std::function<void(int ms)>;

    // The default port: a TComm with TxContinueOnXoff, Outx_XonXoffFlow and
    // Inx_XonXoffFlow off and ReadIntervalTimeout 5 ms; all else at the TComm defaults.
    explicit TqvModbus(QObject* owner = nullptr);
    // Any port behind the seam (tests pass a fake or a pseudo-terminal port).
    explicit TqvModbus(std::unique_ptr<ModbusPort> port, QObject* owner = nullptr);
    // Puts another port behind the master (the operator chose a network converter instead
    // of the serial port, or back) and gives the old one back closed and unbound. Only
    // while the port is closed: EModbusError otherwise.
    std::unique_ptr<ModbusPort> ReplacePort(std::unique_ptr<ModbusPort> port);
    // Closes the port first when it is still open, and leaves the response watcher.
    ~TqvModbus() override;

    TqvModbus(const TqvModbus&) = delete;
    TqvModbus& operator=(const TqvModbus&) = delete;

    // ---- published properties (constructor defaults in comments) ----
    // The modem's are kept by the port's modem link (ModemLink::Settings gives the
    // defaults). A port without a modem keeps none: they read as those defaults, with
    // ConnectWithModem false, and writing them changes nothing.
    bool AutoConnect() const { return ModemSettings().autoConnect; }
    void SetAutoConnect(bool v) { SetModem(&ModemLink::Settings::autoConnect, v); }
    bool ConnectWithModem() const { return ModemSettings().connectWithModem; }
    void SetConnectWithModem(bool v); // applies the modem watcher rule
    bool TraceModemStatus() const { return ModemSettings().traceModemStatus; }
    void SetTraceModemStatus(bool v);                     // applies the modem watcher rule
    bool RtsCtsControl() const { return rtsCtsControl_; } // false
    void SetRtsCtsControl(bool v) { rtsCtsControl_ = v; }
    quint16 ConnectTimeout() const { return ModemSettings().connectTimeout; }
    void SetConnectTimeout(quint16 v) { SetModem(&ModemLink::Settings::connectTimeout, v); }
    quint16 DisconnectTimeout() const { return ModemSettings().disconnectTimeout; }
    void SetDisconnectTimeout(quint16 v) { SetModem(&ModemLink::Settings::disconnectTimeout, v); }
    quint16 RepeatDialNum() const { return ModemSettings().repeatDialNum; }
    void SetRepeatDialNum(quint16 v) { SetModem(&ModemLink::Settings::repeatDialNum, v); }
    QByteArray InitModemString() const { return ModemSettings().initModemString; }
    void SetInitModemString(const QByteArray& v) {
        SetModem(&ModemLink::Settings::initModemString, v);
    }
    QByteArray DialNumberString() const { return ModemSettings().dialNumberString; }
    void SetDialNumberString(const QByteArray& v) {
        SetModem(&ModemLink::Settings::dialNumberString, v);
    }
    QByteArray ManualAnswerString() const { return ModemSettings().manualAnswerString; }
    void SetManualAnswerString(const QByteArray& v) {
        SetModem(&ModemLink::Settings::manualAnswerString, v);
    }
    QByteArray ModemOffLineString() const { return ModemSettings().modemOffLineString; }
    void SetModemOffLineString(const QByteArray& v) {
        SetModem(&ModemLink::Settings::modemOffLineString, v);
    }
    QByteArray ModemHangupString() const { return ModemSettings().modemHangupString; }
    void SetModemHangupString(const QByteArray& v) {
        SetModem(&ModemLink::Settings::modemHangupString, v);
    }
    quint32 QueryInterval() const { return queryInterval_; } // 1000 ms
    void SetQueryInterval(quint32 ms);
    quint32 QueryTimeout() const { return queryTimeout_; } // 3000 ms
    void SetQueryTimeout(quint32 ms);
    quint32 PreviewTimeout() const { return previewTimeout_; } // 0 = off
    void SetPreviewTimeout(quint32 ms);

    // ---- public, not stored ----
    // The message string of the next request; set it inside OnQueryData. Cleared only by Open.
    const QByteArray& QueryMessage() const { return queryMessage_; }
    void SetQueryMessage(const QByteArray& message) { queryMessage_ = message; }
    // 0 accepted (or no reply expected), 1 too few bytes, 2 no frame / CRC, 3 fields disagree.
    // Bytes that make up the reply's length without a valid reply where it starts are
    // judged only once the line has been quiet after them (or at the limit): the reply may
    // still be arriving behind junk. Then a valid reply anywhere in what arrived is taken;
    // the junk around it counts as nothing of its own (it stays in the received bytes, and
    // a traffic monitor shows it as stray), the transaction counts as answered (code 0),
    // and only bytes with no valid reply in them count as a CRC error (code 2).
    quint8 ResponseErrorCode() const { return responseErrorCode_; }
    // The port's baud rate; a change while open is applied at once.
    quint32 BaudRate() const;
    void SetBaudRate(quint32 baud);
    QString CommName() const;

    // ---- operations ----
    // Opens the port. Throws EModbusError "端口“<name>”已打开。" when already open (the name
    // of the port that is open), the port's ECommsError when it cannot be opened, and the
    // port's EModbusError "不能创建跟踪线程。" when its modem watcher cannot be started.
    void Open(const QString& CommName, quint32 BaudRate);
    // Stops timers, the cycle and the modem watcher and closes the port. A wait under way
    // is left in place: the watcher still ends it and its events still follow.
    void Close();
    // False when the port is closed; true (and nothing changes) while a cycle runs.
    bool StartQuery();
    // Ends polling. A transaction still waiting ends at once, evaluated with what has come
    // in by now (normally nothing: code 1), with all its events and then OnQueryFinish; a
    // modem still waiting for its carrier gives up, with OnQueryFinish. From an event of
    // the transaction being evaluated, that transaction ends first, as always. Until the
    // next StartQuery or Open nothing received is evaluated or raised (a traffic observer
    // still sees it, as stray bytes): a late reply is nobody's.
    void StopQuery();

    // The one response watcher of the process. Start it once before any reply is to be
    // evaluated (the main window does at creation) and stop it once at the end. Stopping
    // is safe while the watcher waits for this thread to evaluate a reply; that
    // evaluation then still runs, from the event loop.
    static void StartResponseWatcher();
    static void StopResponseWatcher() { ResponseWatcher::Instance().Stop(); }
    static bool ResponseWatcherRunning() { return ResponseWatcher::Instance().Running(); }
    // Runs one pass of the watcher's rules on the calling thread, which must be the
    // components' thread: any wait that is over is evaluated there and then. Tests advance
    // an injected clock and call this; it is safe with or without the watcher thread.
    static void CheckRepliesNow() { ResponseWatcher::Instance().CheckNow(); }
    // How many times the component is listed with the watcher (0 or 1).
    static int ReplyItemCount(const TqvModbus* component) {
        return ResponseWatcher::Instance().Count(component);
    }

    // Writes bytes to the port (the modem's command strings). With RtsCtsControl, on a port
    // with a CTS line (one with a modem link), it first waits for CTS on, at most
    // CtsWaitLimitMs(); when CTS stays off nothing is written and the result is false.
    // Requests go out the same way, together with the length of the reply they await, and
    // their reply window opens when the port reports them written.
    virtual bool SendFrame(const QByteArray& Data);
    int CtsWaitLimitMs() const; // the larger of QueryInterval and QueryTimeout

    // ---- the transaction steps (public so tests and the shell can drive them) ----
    void BeginCycle();
    void SendNextRequest();
    void ProcessReply();

    // ---- the port's modem link (on a port without a modem: nothing to do) ----
    void ConnectTick() { Tell(&ModemLink::ConnectTick); } // handler of the 1 s connect timer
    void HangupTick() { Tell(&ModemLink::HangupTick); }   // handler of the 2 s hang-up timer
    bool DialModem();                                     // false without a modem
    void BusyDelay(int ms) { delay_(ms); } // blocks the main thread; see SetDelayFunction
    // Starts the hang-up sequence (escape and hang-up command every 2 s while the carrier
    // stays on, at most about DisconnectTimeout seconds), ending with OnAfterHangup.
    void StartHangup() { Tell(&ModemLink::StartHangup); }
    bool ConnectTimerActive() const { return Ask(&ModemLink::ConnectTimerActive, false); }
    bool HangupTimerActive() const { return Ask(&ModemLink::HangupTimerActive, false); }
    bool ModemWatcherExists() const { return Ask(&ModemLink::WatcherExists, false); }
    bool ModemWatcherRunning() const { return Ask(&ModemLink::WatcherRunning, false); }
    // Polls of the modem status made by the modem watcher so far (tests wait on it).
    quint64 ModemWatcherPolls() const { return Ask(&ModemLink::WatcherPolls, quint64(0)); }
    // Pause between two looks of the modem watcher at the status lines (50 ms); takes
    // effect when the watcher is next created.
    void SetModemPollMs(int ms);

    // ---- state, readable for the shell and tests ----
    const QByteArray& RequestFrame() const { return requestFrame_; }
    int RequestLength() const { return requestLength_; }
    int ExpectedLength() const { return expectedLength_; }
    const QByteArray& ReceiveBuffer() const { return receiveBuffer_; }
    bool PortOpen() const { return portOpen_; }
    // A cycle runs on the open port (a wait left behind by Close still ends, outside one).
    bool CycleBusy() const { return portOpen_ && state_.load() != TransactionState::Idle; }
    bool KeepPolling() const { return keepPolling_; }
    // The line is up for requests: without a modem whenever the port is open.
    bool LinkUp() const { return port_->Modem() ? Ask(&ModemLink::LinkUp, false) : portOpen_; }
    // A request is on its way or its reply window is open (any thread).
    bool AwaitingReply() const;
    TransactionState State() const { return state_.load(); }
    bool AutoConnectNow() const { return Ask(&ModemLink::AutoConnectNow, false); }
    int ConnectTicks() const { return Ask(&ModemLink::ConnectTicks, 0); }
    int HangupTicks() const { return Ask(&ModemLink::HangupTicks, 0); }
    int DialCount() const { return Ask(&ModemLink::DialCount, 0); }

    // ---- seams ----
    ModbusPort& Port() { return *port_; }
    const ModbusPort& Port() const { return *port_; }
    // A traffic monitor: told of every evaluated transaction and of bytes that arrive while
    // no reply is awaited. Null (the default) costs nothing. Not owned.
    void SetTransactionObserver(TransactionObserver* observer) { observer_ = observer; }
    TransactionObserver* Observer() const { return observer_; }
    // The settle sleep at the end of opening the default TComm port (2000 ms by default;
    // tools and tests set 0). No effect on other ports.
    void SetOpenSettleMs(int ms);
    // The clock that times the waits; a steady clock unless a test injects its own.
    void SetClock(SteadyClock clock);
    TimePoint Now() const;
    // The blocking waits (1000 ms after the carrier comes up, between modem commands, the
    // CTS poll step). Tests replace it so that nothing waits in real time.
    void SetDelayFunction(Delay delay);
    // Shown for a reader or writer failure of the port: caption "严重错误", text
    // "端口 <device> 发生通讯内部错误。" and an English line under it. The program routes it to
    // a modal error box; without it the failure is logged.
    std::function<void(const QString& caption, const QString& text)> OnOperatorError;

    // ---- a lost line ----
    // When the port reports that its line has gone (for the serial port: adapter unplugged,
    // the far end of a pseudo-terminal closed), a line that can never answer again is not
    // polled: the port is closed, the transaction under way ends at once as unanswered,
    // polling pauses and OnLineLost is raised (then the port's box, above). From then on
    // the port watches for its line by its own rules (the serial port: the same device
    // under its name, tried every ReopenPollMs); when it is back, the port opens, polling
    // resumes if it was on, and OnLineBack is raised.
    bool LineLost() const { return port_->LineLost(); }
    // Polling was on when the line was lost and has not been stopped since.
    bool ResumeOnReturn() const { return resumeOnReturn_; }
    // The line as last opened, as the operator knows it: "/dev/ttyUSB0",
    // "/dev/pts/3 (COM1)".
    QString LineDevice() const { return port_->LineDevice(); }
    // Tries the lost line now. True when the port is open (it may have been already); false
    // with the reason in *why when it cannot be opened yet (the port's reason: for the
    // serial port, why, and what to do about it).
    bool ReopenLine(QString* why = nullptr);
    // Pace of the port's tries while the line is lost (the serial port: 1000 ms); 0 = only
    // ReopenLine.
    void SetReopenPollMs(int ms) { port_->SetReopenPollMs(ms); }
    // What a lost line waits for, in the port's words: "Waiting for COM1 (was /dev/pts/3)",
    // or why the device now under its name is not opened. Only the device that was lost is
    // reopened by the tries; ReopenLine takes the name afresh.
    QString LineWaiting() const { return port_->LineWaiting(); }
    std::function<void(TqvModbus* Sender)> OnLineLost;
    std::function<void(TqvModbus* Sender)> OnLineBack;
    // LineWaiting has changed while the line stays lost.
    std::function<void(TqvModbus* Sender)> OnLineWaiting;

private:
    void Init();
    // The port's events to the master, and back off again.
    void BindPort();
    void UnbindPort();
    WatchedWaits Watched();
    // The one place the transaction state changes. With `from`, only out of one of those
    // states (claims race across threads); false when it was in none of them.
    bool Enter(TransactionState to, std::initializer_list<TransactionState> from = {});
    // Open's two halves around the port's own open (the lost line's reopen uses them too).
    void BeginSession();
    void SessionOpened();
    // The port brought its lost line back: polling resumes if it was on.
    void LineBack();
    // The modem's settings, or their defaults for a port without a modem.
    const ModemLink::Settings& ModemSettings() const;
    template <class T> void SetModem(T ModemLink::Settings::*field, const T& v) {
        if (ModemLink* modem = port_->Modem())
            modem->settings.*field = v;
    }
    // The port's modem link does, or tells; a port without a modem does nothing and tells
    // `none`.
    void Tell(void (ModemLink::*step)()) {
        if (ModemLink* modem = port_->Modem())
            (modem->*step)();
    }
    template <class R> R Ask(R (ModemLink::*query)() const, R none) const {
        const ModemLink* modem = port_->Modem();
        return modem ? (modem->*query)() : none;
    }
    // A request's wait is open from its write until its evaluation takes the bytes.
    bool WaitOpen() const;
    void DoReceiveData(const QByteArray& chunk);
    // The bytes are long enough for the reply but hold no valid reply where it starts.
    bool Unsettled() const;
    void DoRequestHangup();
    void EndWaitNow();
    void BuildFrame();
    bool WaitForCts();
    bool SendRequestFrame(quint64 seq);
    // Any thread: the request of wait `seq` was written at `writtenAt` (steady clock),
    // reported at `reportedAt`. Starts the reply window unless that wait is gone.
    void OpenReplyWindow(quint64 seq, std::chrono::steady_clock::time_point writtenAt,
                         std::chrono::steady_clock::time_point reportedAt);
    void PublishWaitRules();
    // Runs on the main thread for the watcher: ProcessReply if the wait `seq` was ended.
    void CompleteWait(quint64 seq);
    void NotifyEvaluated(const QByteArray& received);

    template <class F, class... A> void Raise(const char* name, const F& handler, A&&... args);

    std::unique_ptr<ModbusPort> port_;
    CommModbusPort* commPort_ = nullptr; // port_ when it is the default TComm port
    SteadyClock clock_;
    Delay delay_;

    bool rtsCtsControl_ = false;
    quint32 queryInterval_ = 1000;
    quint32 queryTimeout_ = 3000;
    quint32 previewTimeout_ = 0;

    QByteArray queryMessage_;
    quint8 responseErrorCode_ = 0;
    bool keepPolling_ = false;
    // Polling paused by a lost line, to go on when the port brings the line back.
    bool resumeOnReturn_ = false;
    bool stopped_ = false; // polling was stopped; nothing received belongs to a session
    QByteArray requestFrame_;
    int requestLength_ = 8;
    int expectedLength_ = 8;
    std::atomic<TransactionState> state_{TransactionState::Idle};
    bool portOpen_ = false;
    QByteArray receiveBuffer_;
    quint64 waitSeq_ = 0; // numbers each wait, so a stale evaluation is dropped
    TransactionObserver* observer_ = nullptr;
    std::optional<TimePoint> lastChunk_; // kept only for an observer

    // What the response watcher reads across threads; guarded by its mutex and written
    // together with the state, so the watcher never sees a new wait with old data.
    struct WaitShared {
        TimePoint sendTime{}; // when the request was written (queued, until it is)
        qsizetype received = 0;
        int expected = 8;
        WaitRules rules;
        quint64 seq = 0;
        TimePoint lastChunk{};  // when the latest chunk came in
        bool unsettled = false; // see Unsettled(); the wait then runs until the line is quiet
    } shared_;
};
