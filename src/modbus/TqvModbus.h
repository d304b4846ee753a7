#pragma once

#include "ModbusPort.h"
#include "ModemWatcher.h"
#include "ReplyEvents.h"
#include "TransactionObserver.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// Hex traces of requests and replies, and reports of failing event handlers.
Q_DECLARE_LOGGING_CATEGORY(lcModbusTrace)

// Raised by the Modbus master for its own failures (texts are the program's, in Chinese).
class EModbusError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CommModbusPort;
class QTimer;

// The Modbus RTU master. It owns one serial port (behind the ModbusPort seam) and runs a
// poll cycle of strictly sequential transactions: OnQueryData asks the application for
// the next message string, the frame is written, received chunks are collected, the
// process-wide response watcher decides when the wait is over, and ProcessReply raises
// the reply's event on the main thread and starts the next transaction at once while
// polling is on.
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
    // Closes the port first when it is still open, and leaves the response watcher.
    ~TqvModbus() override;

    TqvModbus(const TqvModbus&) = delete;
    TqvModbus& operator=(const TqvModbus&) = delete;

    // ---- published properties (constructor defaults in comments) ----
    bool AutoConnect() const { return autoConnect_; } // true
    void SetAutoConnect(bool v) { autoConnect_ = v; }
    bool ConnectWithModem() const { return connectWithModem_; } // false
    void SetConnectWithModem(bool v);                           // applies the modem watcher rule
    bool TraceModemStatus() const { return traceModemStatus_; } // true
    void SetTraceModemStatus(bool v);                           // applies the modem watcher rule
    bool RtsCtsControl() const { return rtsCtsControl_; }       // false
    void SetRtsCtsControl(bool v) { rtsCtsControl_ = v; }
    quint16 ConnectTimeout() const { return connectTimeout_; } // 60 s
    void SetConnectTimeout(quint16 v) { connectTimeout_ = v; }
    quint16 DisconnectTimeout() const { return disconnectTimeout_; } // 30 s
    void SetDisconnectTimeout(quint16 v) { disconnectTimeout_ = v; }
    quint16 RepeatDialNum() const { return repeatDialNum_; } // 2
    void SetRepeatDialNum(quint16 v) { repeatDialNum_ = v; }
    QByteArray InitModemString() const { return initModemString_; } // "at&f0e0q1&d0&k0s0=0&w0"
    void SetInitModemString(const QByteArray& v) { initModemString_ = v; }
    QByteArray DialNumberString() const { return dialNumberString_; } // "atdt" + number
    void SetDialNumberString(const QByteArray& v) { dialNumberString_ = v; }
    QByteArray ManualAnswerString() const { return manualAnswerString_; } // "ata"
    void SetManualAnswerString(const QByteArray& v) { manualAnswerString_ = v; }
    QByteArray ModemOffLineString() const { return modemOffLineString_; } // "+++"
    void SetModemOffLineString(const QByteArray& v) { modemOffLineString_ = v; }
    QByteArray ModemHangupString() const { return modemHangupString_; } // "ath0"
    void SetModemHangupString(const QByteArray& v) { modemHangupString_ = v; }
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
    quint8 ResponseErrorCode() const { return responseErrorCode_; }
    // The port's baud rate; a change while open is applied at once.
    quint32 BaudRate() const;
    void SetBaudRate(quint32 baud);
    QString CommName() const;

    // ---- operations ----
    // Opens the port. Throws EModbusError "端口“<name>”已打开。" when already open (the name
    // of the port that is open), the port's ECommsError when it cannot be opened, and
    // EModbusError "不能创建跟踪线程。" when the modem watcher cannot be started.
    void Open(const QString& CommName, quint32 BaudRate);
    // Stops timers, the cycle and the modem watcher and closes the port. A wait under way
    // is left in place: the watcher still ends it and its events still follow.
    void Close();
    // False when the port is closed; true (and nothing changes) while a cycle runs.
    bool StartQuery();
    // The transaction under way runs to its end with all its events, then OnQueryFinish.
    void StopQuery();

    // The one response watcher of the process. Start it once before any reply is to be
    // evaluated (the main window does at creation) and stop it once at the end. Stopping
    // is safe while the watcher waits for this thread to evaluate a reply; that
    // evaluation then still runs, from the event loop.
    static void StartResponseWatcher();
    static void StopResponseWatcher();
    static bool ResponseWatcherRunning();
    // Runs one pass of the watcher's rules on the calling thread, which must be the
    // components' thread: any wait that is over is evaluated there and then. Tests advance
    // an injected clock and call this; it is safe with or without the watcher thread.
    static void CheckRepliesNow();
    // How many times the component is listed with the watcher (0 or 1).
    static int ReplyItemCount(const TqvModbus* component);

    // Writes bytes to the port (the modem's command strings). With RtsCtsControl it first
    // waits for CTS on, at most CtsWaitLimitMs(); when CTS stays off nothing is written
    // and the result is false. Requests go out the same way, together with the length of
    // the reply they await, and their reply window opens when the port reports them written.
    virtual bool SendFrame(const QByteArray& Data);
    int CtsWaitLimitMs() const; // the larger of QueryInterval and QueryTimeout

    // ---- the transaction steps (public so tests and the shell can drive them) ----
    void BeginCycle();
    void SendNextRequest();
    void ProcessReply();

    // ---- modem link ----
    void ConnectTick(); // handler of the 1 s connect timer
    void HangupTick();  // handler of the 2 s hang-up timer
    bool DialModem();
    void BusyDelay(int ms); // blocks the main thread; see SetDelayFunction
    // Starts the hang-up sequence (escape and hang-up command every 2 s while the carrier
    // stays on, at most about DisconnectTimeout seconds), ending with OnAfterHangup.
    void StartHangup();
    bool ConnectTimerActive() const;
    bool HangupTimerActive() const;
    bool ModemWatcherExists() const { return modemWatcher_ != nullptr; }
    bool ModemWatcherRunning() const;
    // Polls of the modem status made by the modem watcher so far (tests wait on it).
    quint64 ModemWatcherPolls() const;
    // Pause between two looks of the modem watcher at the status lines (50 ms); takes
    // effect when the watcher is next created.
    void SetModemPollMs(int ms) { modemPollPace_ = std::chrono::milliseconds(ms); }

    // ---- state, readable for the shell and tests ----
    const QByteArray& RequestFrame() const { return requestFrame_; }
    int RequestLength() const { return requestLength_; }
    int ExpectedLength() const { return expectedLength_; }
    const QByteArray& ReceiveBuffer() const { return receiveBuffer_; }
    bool PortOpen() const { return portOpen_; }
    bool CycleBusy() const { return cycleBusy_; }
    bool KeepPolling() const { return keepPolling_; }
    bool LinkUp() const { return linkUp_; }
    bool AwaitingReply() const { return awaitingReply_.load(); }
    bool AutoConnectNow() const { return autoConnectNow_; }
    int ConnectTicks() const { return connectTicks_; }
    int HangupTicks() const { return hangupTicks_; }
    int DialCount() const { return dialCount_; }

    // ---- seams ----
    ModbusPort& Port() { return *port_; }
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
    // When the port reports that its device has gone (adapter unplugged, the far end of a
    // pseudo-terminal closed), a line that can never answer again is not polled: the port
    // is closed, the transaction under way ends at once as unanswered, polling pauses and
    // OnLineLost is raised (then the box above). From then on the same port name is tried
    // again every ReopenPollMs; when its device is back (the same by-id name or COM link),
    // the port opens, polling resumes if it was on, and OnLineBack is raised.
    bool LineLost() const { return lineLost_; }
    // Polling was on when the line was lost and has not been stopped since.
    bool ResumeOnReturn() const { return resumeOnReturn_; }
    // The device of the port as last opened, as the operator knows it: "/dev/ttyUSB0",
    // "/dev/pts/3 (COM1)".
    QString LineDevice() const { return lineDevice_; }
    // Tries the lost line now. True when the port is open (it may have been already); false
    // with the reason in *why when it cannot be opened yet (for the serial port: why, and
    // what to do about it).
    bool ReopenLine(QString* why = nullptr);
    // Pace of the tries while the line is lost (1000 ms); 0 = only ReopenLine.
    void SetReopenPollMs(int ms);
    // What a lost line waits for: "Waiting for COM1 (was /dev/pts/3)", or why the device
    // now under its name is not opened. Only the device that was lost is reopened by the
    // tries (the port's LostLineReturn); ReopenLine takes the name afresh.
    QString LineWaiting() const { return lineWaiting_; }
    std::function<void(TqvModbus* Sender)> OnLineLost;
    std::function<void(TqvModbus* Sender)> OnLineBack;
    // LineWaiting has changed while the line stays lost.
    std::function<void(TqvModbus* Sender)> OnLineWaiting;

private:
    friend class ResponseWatcher;

    void Init();
    void DoModemStateChange(quint32 ModemEvent);
    void DoReceiveData(const QByteArray& chunk);
    void DoReceiveError(quint32 EventMask);
    void DoRequestHangup();
    void EndWaitNow();
    void ReopenTick();
    void DoSendDataEmpty();
    void RingChanged();
    void CarrierChanged(bool on);
    void ApplyModemWatcherRule();
    void StopModemWatcher();
    void BuildFrame();
    bool WaitForCts();
    bool SendRequestFrame(quint64 seq);
    // Any thread: the request of wait `seq` was written at `writtenAt` (steady clock),
    // reported at `reportedAt`. Starts the reply window unless that wait is gone.
    void OpenReplyWindow(quint64 seq, std::chrono::steady_clock::time_point writtenAt,
                         std::chrono::steady_clock::time_point reportedAt);
    bool CarrierOn();
    void PublishWaitRules();
    // Runs on the main thread for the watcher: ProcessReply if the wait `seq` was ended.
    void CompleteWait(quint64 seq);
    void NotifyEvaluated(const QByteArray& received);

    template <class F, class... A> void Raise(const char* name, const F& handler, A&&... args);

    std::unique_ptr<ModbusPort> port_;
    CommModbusPort* commPort_ = nullptr; // port_ when it is the default TComm port
    QTimer* connectTimer_ = nullptr;
    QTimer* hangupTimer_ = nullptr;
    QTimer* reopenTimer_ = nullptr;
    std::unique_ptr<TTraceModemStatus> modemWatcher_;
    SteadyClock clock_;
    Delay delay_;

    bool autoConnect_ = true;
    bool connectWithModem_ = false;
    bool traceModemStatus_ = true;
    bool rtsCtsControl_ = false;
    quint16 connectTimeout_ = 60;
    quint16 disconnectTimeout_ = 30;
    quint16 repeatDialNum_ = 2;
    QByteArray initModemString_;
    QByteArray dialNumberString_;
    QByteArray manualAnswerString_;
    QByteArray modemOffLineString_;
    QByteArray modemHangupString_;
    quint32 queryInterval_ = 1000;
    quint32 queryTimeout_ = 3000;
    quint32 previewTimeout_ = 0;

    QByteArray queryMessage_;
    quint8 responseErrorCode_ = 0;
    int connectTicks_ = 0;
    int hangupTicks_ = 0;
    int dialCount_ = 0;
    bool keepPolling_ = false;
    bool autoConnectNow_ = false;
    QByteArray requestFrame_;
    int requestLength_ = 8;
    int expectedLength_ = 8;
    std::atomic<bool> awaitingReply_{false};
    bool portOpen_ = false;
    bool cycleBusy_ = false;
    QByteArray receiveBuffer_;
    bool linkUp_ = false;
    quint64 waitSeq_ = 0; // numbers each wait, so a stale evaluation is dropped
    std::chrono::milliseconds modemPollPace_{50};
    bool lineLost_ = false;
    bool resumeOnReturn_ = false;
    QString lineDevice_;
    QString lineWaiting_;
    TransactionObserver* observer_ = nullptr;
    // A request's wait is open from its write until its evaluation takes the received
    // bytes; what arrives outside it is never evaluated (main thread only).
    bool waitOpen_ = false;
    std::optional<TimePoint> lastChunk_; // kept only for an observer

    // What the response watcher reads across threads; guarded by its mutex and written
    // together with awaitingReply_, so the watcher never sees a new wait with old data.
    struct WaitShared {
        TimePoint sendTime{}; // when the request was written (queued, until it is)
        bool started = false; // the port has reported the request written
        qsizetype received = 0;
        int expected = 8;
        quint32 interval = 1000;
        quint32 timeout = 3000;
        quint32 preview = 0;
        quint64 seq = 0;
    } shared_;
};
