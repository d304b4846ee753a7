#pragma once

#include "LineStatusText.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class ModbusPort;
class OperatorDialogs;
class RequestService;
class TqvModbus;
struct SessionState;

// Which of the main window's line commands the operator may use.
struct LineControls {
    bool start = true;    // "Start COMM(&R)" and its tool button
    bool stop = false;    // "Stop COMM(&E)" and its tool button
    bool settings = true; // "COMM Settings" and its tool button
};

// The line to the meter and its life: the Modbus master set up for a direct cable, the
// port opened, reopened at the meter's new baud rate, lost and back, polling started and
// stopped. The main window shows what it reports: the commands the operator may use and
// the line's state in the statistics bar. Failures the operator must know of go to the
// operator dialogs.
class MeterLine : public QObject {
    Q_OBJECT

public:
    using PortFactory = std::function<std::unique_ptr<ModbusPort>()>;

    // makePort null = the serial port component, which waits `portSettleMs` after opening
    // before the first write (the meter's line needs it).
    MeterLine(SessionState& state, OperatorDialogs& dialogs, const PortFactory& makePort,
              int portSettleMs);
    ~MeterLine() override;

    TqvModbus& Modbus() { return *modbus_; }
    const TqvModbus& Modbus() const { return *modbus_; }
    // The master's events and one-shot requests: the main window's handlers are bound
    // through it, and every other client of the line sends through it.
    RequestService& Requests() { return *requests_; }
    // Polling was started by the operator and not stopped since (the controls' state).
    bool Polling() const { return polling_; }
    LineControls Controls() const { return controls_; }

    // Opens state.PortName at state.Baudrate; on failure shows the "Cannot open the port"
    // box with the reason and refuses Start. True when the port opened.
    bool Open();
    // Once the current reply has been handled: stops polling, reopens the port at
    // state.MeterBaudRate and polls again unless the operator stopped polling meanwhile.
    void RequestReopenAtMeterRate();
    void ReopenAtMeterRate();
    // "Start COMM": opens the port first when it is closed or was lost, and opens it
    // afresh when its name now leads to another device (the operator moved the COM link).
    void Start();
    // OK in COMM Settings with the port already open under the same name: the name is
    // resolved afresh, and a link that now points elsewhere is the operator's choice and
    // is opened. True when the port is open afterwards.
    bool Reresolve();
    // Another meter is asked from now on (Start COMM, a change of address, rate or port
    // in COMM Settings): the counters and the silence rule start afresh, so what the last
    // meter answered neither colours the statistics nor delays the no-answer text.
    void NewMeterSession();
    // A transaction was evaluated (the master's ResponseErrorCode): keeps the no-answer
    // text up to date.
    void ReplyEvaluated(quint8 errorCode);
    // The clock of the loss history (tests set their own; the wall clock otherwise).
    void SetWallClock(std::function<QDateTime()> clock) { wallClock_ = std::move(clock); }
    // The line as the operator knows it: "COM1", or "10.0.0.5:502 (Modbus TCP)" for a meter
    // behind a network converter.
    QString ShownLineName() const;
    // "Stop COMM": the meter no longer counts as connected.
    void Stop();
    // Stops polling and closes the port (the program ends).
    void Close();
    // The controls of a stopped line.
    void ShowStopped() { SetPolling(false); }
    // No more events from the master; polling stopped and the port closed. For the main
    // window's destruction, before its child windows go.
    void Detach();

signals:
    void ControlsChanged(const LineControls& controls);
    // The line's state for the statistics bar ("" when there is nothing to say).
    void StateChanged(const QString& text);
    // A connection to the meter began (Start COMM, the lost line back) or ended (Stop
    // COMM, the line lost): what was read before it is not the meter's present value.
    void ConnectionChanged(bool begun);
    // Why the meter is silent, in plain words (NoAnswerText), or "" once it answers.
    void NoAnswerChanged(const QString& text);
    // The losses since the port was chosen ("Line lost 3 times since 14:02").
    void LossHistoryChanged(const QString& text);

private:
    void SetPolling(bool polling);
    void ShowCannotOpen(const QString& reason = QString());
    // A lost line (adapter unplugged, far end closed): the master has closed the port and
    // paused polling. When the device is back the master reopens it (and resumes polling
    // if it was on) and LineBack follows.
    void LineLost();
    void LineBack();
    // Start while the line is lost or the port closed: open it first. False (with the box
    // shown) when it cannot be opened.
    bool ReopenForStart();
    // A session on the port begins (opened, reopened, back): nothing heard yet.
    void SessionOpened();
    void ShowSilence();
    // The line-lost box: one at a time, updated by a loss while it is open.
    void ShowLostNotice(const QString& caption, const QString& text);
    // Puts the port the settings choose behind the master (the port closed): a network
    // port in the chosen framing, or the serial port back.
    void PlaceLinePort();
    // What the master opens: "\\.\COM1" or "10.0.0.5:502".
    QString LineName() const;

    SessionState& state_;
    OperatorDialogs& dialogs_;
    std::unique_ptr<TqvModbus> modbus_;
    std::unique_ptr<ModbusPort> parked_; // the serial port while a network port is in use
    std::unique_ptr<RequestService> requests_;
    LineControls controls_;
    bool polling_ = false;
    LineSilence silence_;
    QString silenceText_;
    QString device_; // the node opened, for the no-answer text
    LineLossHistory losses_;
    QString lossesPort_; // the port the history is of
    std::function<QDateTime()> wallClock_ = [] { return QDateTime::currentDateTime(); };
};

// The text of the box shown when the port cannot be opened.
QString CannotOpenPortText(const QString& portName);
// The status bar text of a lost line, and of one that is back.
QString LineLostText(const QString& waiting, bool resumes);
QString LineBackText(const QString& device);
