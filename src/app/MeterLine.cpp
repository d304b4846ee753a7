#include "MeterLine.h"

#include "NetworkModbusPort.h"
#include "OperatorDialogs.h"
#include "PortName.h"
#include "RequestService.h"
#include "SessionState.h"
#include "Settings.h"
#include "TComm.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <exception>

Q_LOGGING_CATEGORY(lcLine, "qetra.line")

QString CannotOpenPortText(const QString& portName) {
    return QCoreApplication::translate("MeterLine", "  Cannot open the port \"%1\".          ")
        .arg(portName);
}

QString LineLostText(const QString& waiting, bool resumes) {
    return resumes ? QCoreApplication::translate("MeterLine",
                                                 "Line lost. %1 - polling resumes when it is back")
                         .arg(waiting)
                   : QCoreApplication::translate("MeterLine",
                                                 "Line lost. %1 - reopened when it is back")
                         .arg(waiting);
}

QString LineBackText(const QString& device) {
    return QCoreApplication::translate("MeterLine", "Line back: %1").arg(device);
}

MeterLine::MeterLine(SessionState& state, OperatorDialogs& dialogs, const PortFactory& makePort,
                     int portSettleMs)
    : state_(state), dialogs_(dialogs) {
    if (makePort) {
        modbus_ = std::make_unique<TqvModbus>(makePort());
    } else {
        modbus_ = std::make_unique<TqvModbus>(nullptr);
        modbus_->SetOpenSettleMs(portSettleMs);
    }
    TqvModbus& m = *modbus_;
    // The line to the meter is a direct cable: no modem, no modem watcher.
    m.SetAutoConnect(true);
    m.SetConnectWithModem(false);
    m.SetTraceModemStatus(false);
    m.SetRtsCtsControl(false);
    m.SetConnectTimeout(60);
    m.SetDisconnectTimeout(30);
    m.SetRepeatDialNum(2);
    m.SetInitModemString("at&f0e0q1&d0&k0s0=0&w0");
    m.SetDialNumberString("atdt");
    m.SetManualAnswerString("ata");
    m.SetModemOffLineString("+++");
    m.SetModemHangupString("ath0");
    m.SetQueryInterval(200);
    m.SetQueryTimeout(3000);
    m.SetPreviewTimeout(0);
    requests_ = std::make_unique<RequestService>(m);
    // The master's one box is the line's loss.
    m.OnOperatorError = [this](const QString& caption, const QString& text) {
        ShowLostNotice(caption, text);
    };
    m.OnLineLost = [this](TqvModbus*) { LineLost(); };
    m.OnLineBack = [this](TqvModbus*) { LineBack(); };
    m.OnLineWaiting = [this](TqvModbus* s) {
        emit StateChanged(LineLostText(s->LineWaiting(), s->ResumeOnReturn()));
    };
    // Replies are evaluated by the process-wide watcher from now on.
    TqvModbus::StartResponseWatcher();
}

MeterLine::~MeterLine() {
    Detach();
    requests_.reset();
    modbus_.reset();
    TqvModbus::StopResponseWatcher();
}

void MeterLine::Detach() {
    requests_->Detach();
    modbus_->SetTransactionObserver(nullptr);
    modbus_->OnOperatorError = nullptr;
    modbus_->StopQuery();
    modbus_->Close();
}

void MeterLine::SetPolling(bool polling) {
    polling_ = polling;
    controls_ = {!polling, polling, !polling};
    emit ControlsChanged(controls_);
}

void MeterLine::ShowCannotOpen(const QString& reason) {
    const QString text = CannotOpenPortText(ShownLineName());
    dialogs_.Error(tr("Error"), reason.isEmpty() ? text : text + "\n\n" + reason);
    controls_.start = false;
    emit ControlsChanged(controls_);
}

QString MeterLine::ShownLineName() const {
    return state_.Network ? NetworkLineName(state_.NetHost, state_.NetPort) +
                                QStringLiteral(" (%1)").arg(FramingName(state_.NetFraming))
                          : state_.PortName;
}

QString MeterLine::LineName() const {
    return state_.Network ? NetworkLineName(state_.NetHost, state_.NetPort)
                          : QStringLiteral("\\\\.\\") + state_.PortName;
}

void MeterLine::PlaceLinePort() {
    const auto* net = dynamic_cast<const NetworkModbusPort*>(&modbus_->Port());
    if (!state_.Network) {
        if (net && parked_)
            modbus_->ReplacePort(std::move(parked_));
        return;
    }
    if (net && net->Framing() == state_.NetFraming)
        return; // the host and port come with the name the master opens
    std::unique_ptr<ModbusPort> old = modbus_->ReplacePort(
        std::make_unique<NetworkModbusPort>(state_.NetHost, state_.NetPort, state_.NetFraming));
    if (!net)
        parked_ = std::move(old); // kept for a return to the serial line
}

bool MeterLine::Open() {
    try {
        PlaceLinePort();
        modbus_->Open(LineName(), state_.Baudrate);
        // A converter is named where the line's state shows: the connection is made in
        // the background, and its loss is told there too.
        emit StateChanged(state_.Network ? ShownLineName() : QString());
        if (lossesPort_ != ShownLineName()) {
            // Another port chosen: its losses are counted from now on.
            lossesPort_ = ShownLineName();
            losses_.Clear();
            emit LossHistoryChanged(QString());
        }
        SessionOpened();
        return true;
    } catch (const ECommsError& e) {
        qCWarning(lcLine, "cannot open %s: %s", qPrintable(state_.PortName), e.what());
        ShowCannotOpen(e.Reason());
        return false;
    } catch (const std::exception& e) {
        qCWarning(lcLine, "cannot open %s: %s", qPrintable(state_.PortName), e.what());
        ShowCannotOpen(QString::fromStdString(e.what()));
        return false;
    }
}

void MeterLine::RequestReopenAtMeterRate() {
    // Not from inside the reply handler that confirmed the new rate: the master is still
    // in that transaction.
    QMetaObject::invokeMethod(this, &MeterLine::ReopenAtMeterRate, Qt::QueuedConnection);
}

void MeterLine::ReopenAtMeterRate() {
    // The failure that confirmed the new rate may be the last reply of a cycle the
    // operator has already stopped; polling then stays stopped, as the controls say.
    const bool resume = polling_;
    modbus_->StopQuery();
    modbus_->Close();
    modbus_->SetBaudRate(state_.MeterBaudRate);
    try {
        modbus_->Open(LineName(), modbus_->BaudRate());
    } catch (const std::exception& e) {
        // The port was there a moment ago; tell the operator instead of ending the program.
        qCWarning(lcLine, "cannot reopen %s: %s", qPrintable(state_.PortName), e.what());
        SetPolling(false);
        ShowCannotOpen();
        return;
    }
    SessionOpened();
    if (resume)
        modbus_->StartQuery();
}

void MeterLine::Start() {
    if (!ReopenForStart())
        return;
    NewMeterSession();
    state_.Schedule.Restart();
    emit ConnectionChanged(true);
    // A failure to start leaves the controls as they were; the operator sees that
    // nothing is sent and can try again.
    try {
        modbus_->StartQuery();
        SetPolling(true);
    } catch (const std::exception& e) {
        qCWarning(lcLine, "polling did not start: %s", e.what());
    }
}

void MeterLine::Stop() {
    modbus_->StopQuery();
    // A write confirmed in this session must not go out in a later one, perhaps to
    // another meter on the line: the pending slots are emptied with the stop.
    state_.Schedule.Restart();
    state_.Traffic.Connected = false;
    SetPolling(false);
    emit ConnectionChanged(false);
    if (modbus_->LineLost())
        emit StateChanged(LineLostText(modbus_->LineWaiting(), false));
}

void MeterLine::Close() {
    modbus_->StopQuery();
    modbus_->Close();
}

void MeterLine::LineLost() {
    // A meter behind a line that is gone cannot take writes.
    state_.Traffic.Connected = false;
    const bool resumes = modbus_->ResumeOnReturn();
    // Start reopens the port at once; Stop gives up the resuming; the settings may choose
    // another port.
    polling_ = false;
    controls_ = {true, resumes, true};
    emit ControlsChanged(controls_);
    emit ConnectionChanged(false);
    emit StateChanged(LineLostText(modbus_->LineWaiting(), resumes));
    losses_.Lost(wallClock_());
    emit LossHistoryChanged(losses_.Text());
    silence_.Closed();
    ShowSilence();
}

void MeterLine::LineBack() {
    // The box about the loss would now tell of a state that is over.
    dialogs_.CloseNotice(QStringLiteral("line-lost"));
    SessionOpened();
    SetPolling(modbus_->CycleBusy());
    emit ConnectionChanged(true);
    emit StateChanged(LineBackText(modbus_->LineDevice()));
}

bool MeterLine::ReopenForStart() {
    if (modbus_->PortOpen())
        return Reresolve();
    // Reopen the port the master had: after a lost line that is the same device (by-id
    // name or COM link), which may be back by now.
    QString why;
    if (modbus_->ReopenLine(&why)) {
        dialogs_.CloseNotice(QStringLiteral("line-lost"));
        SessionOpened();
        emit StateChanged(LineBackText(modbus_->LineDevice()));
        return true;
    }
    qCWarning(lcLine, "cannot reopen %s: %s", qPrintable(state_.PortName), qPrintable(why));
    const bool lost = modbus_->LineLost();
    ShowCannotOpen(why);
    // A line that is only away for now is still tried; Start stays for another go.
    if (lost) {
        SetPolling(false);
        emit StateChanged(LineLostText(modbus_->LineWaiting(), false));
    }
    return false;
}

bool MeterLine::Reresolve() {
    if (!modbus_->PortOpen() || !modbus_->Port().NameLeadsElsewhere())
        return modbus_->PortOpen();
    qCInfo(lcLine, "%s now leads to another device; opening that one", qPrintable(state_.PortName));
    modbus_->StopQuery();
    modbus_->Close();
    // Another device may be another meter: nothing known of the old one carries over.
    state_.Traffic.Connected = false;
    return Open();
}

void MeterLine::SessionOpened() {
    device_ = state_.Network ? modbus_->LineDevice()
                             : QFileInfo(ResolvePortName(state_.PortName)).canonicalFilePath();
    silence_.Opened();
    ShowSilence();
}

void MeterLine::NewMeterSession() {
    TrafficCounters& t = state_.Traffic;
    t.ResetShownCounters();
    t.ConsecutiveNoResponse = 0;
    silence_.Opened();
    ShowSilence();
}

void MeterLine::ReplyEvaluated(quint8 errorCode) {
    silence_.Evaluated(errorCode);
    ShowSilence();
}

void MeterLine::ShowSilence() {
    const QString text = silence_.Unexplained() ? NoAnswerText(state_.DevAddr, modbus_->BaudRate(),
                                                               ShownLineName(), device_)
                                                : QString();
    if (text == silenceText_)
        return;
    silenceText_ = text;
    emit NoAnswerChanged(text);
}

void MeterLine::ShowLostNotice(const QString& caption, const QString& text) {
    // The line may come back and go again before the operator is at the desk: the box
    // already up tells of every loss instead of another box stacked on it.
    const QString history = losses_.Count() > 1 ? losses_.Text() : QString();
    dialogs_.ShowNotice(QStringLiteral("line-lost"), OperatorDialogs::Icon::Error, caption,
                        history.isEmpty() ? text : text + QStringLiteral("\n\n") + history + '.');
}
