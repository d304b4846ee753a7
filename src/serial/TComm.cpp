#include "TComm.h"
#include "CommWorkers.h"
#include "OpenFailure.h"
#include "PortName.h"
#include "PosixSerialDevice.h"
#include "ReceiveFilter.h"

#include <QEvent>
#include <QThread>
#include <cmath>
#include <string>
#include <system_error>

Q_LOGGING_CATEGORY(lcSerialTrace, "qetra.serial.trace", QtWarningMsg)

namespace {

// Both ends of a line must agree on the rate within about 2 %, or characters arrive
// garbled; a driver that settles further away has not set the rate asked for.
bool RateMatches(quint32 inForce, quint32 wanted) {
    if (wanted == 0)
        return true; // 0 keeps whatever the line had
    const double off = std::abs(double(inForce) - double(wanted)) / double(wanted);
    return off <= 0.02;
}

bool StandardRate(quint32 rate) {
    return rate == 0 || StandardBaudConstant(rate) != B0;
}

std::string RateRefusedText(quint32 rate) {
    return "Baud rate " + std::to_string(rate) + " cannot be set on this port";
}

} // namespace

// Lives on the owner's thread and turns the workers' notifications into the
// component's events there.
class CommEventReceiver : public QObject {
public:
    explicit CommEventReceiver(TComm& comm) : comm_(comm) {}

    bool event(QEvent* e) override {
        const int type = static_cast<int>(e->type());
        if (type < CommMessage::ReceiveData || type > CommMessage::SendDataEmpty)
            return QObject::event(e);
        // The event, and the received block inside it, is freed by Qt after this.
        comm_.Dispatch(*static_cast<CommEvent*>(e));
        return true;
    }

private:
    TComm& comm_;
};

namespace {
QString JoinedText(const char* text, const QString& reason) {
    const QString shortText = QString::fromLatin1(text).trimmed();
    return reason.isEmpty() ? shortText : shortText + QStringLiteral(": ") + reason;
}
} // namespace

ECommsError::ECommsError(const char* text, const QString& reason)
    : std::runtime_error(JoinedText(text, reason).toStdString()), text_(QString::fromLatin1(text)),
      reason_(reason) {}

TComm::TComm(QObject* owner)
    : QObject(owner), receiver_(std::make_unique<CommEventReceiver>(*this)) {
    // As a child the receiver follows the component to whichever thread owns it; the
    // component still deletes it itself, before its own members go.
    receiver_->setParent(this);
}

TComm::~TComm() {
    ClosePort();
    // Notifications still queued for the receiver are discarded (and their blocks
    // freed) together with it.
    receiver_.reset();
}

bool TComm::IsOpen() const {
    return device_ != nullptr;
}

SerialDevice* TComm::Device() const {
    return device_.get();
}

int TComm::PendingChunks() const {
    return link_ ? link_->backlog->load() : 0;
}

void TComm::SetDeviceFactory(std::function<std::unique_ptr<SerialDevice>()> factory) {
    deviceFactory_ = std::move(factory);
}

void TComm::OpenPort() {
    if (device_)
        throw ECommsError("This serial port already opened");

    std::unique_ptr<SerialDevice> dev =
        deviceFactory_ ? deviceFactory_() : std::make_unique<PosixSerialDevice>();
    const QString path = ResolvePortName(commName_);
    const QString shown = PortDisplayName(commName_);
    switch (dev->Open(path)) {
    case SerialDevice::OpenResult::Ok:
        break;
    case SerialDevice::OpenResult::CannotOpen:
        throw ECommsError("Error opening serial port",
                          DescribeOpenFailure(path, dev->OpenError(), false, shown));
    case SerialDevice::OpenResult::NotCharDevice:
    case SerialDevice::OpenResult::NotTerminal:
        // A file, or a character device without a line (/dev/null, a printer): neither
        // is a port, whatever else could be done with it.
        throw ECommsError("File handle is not a comm handle ",
                          DescribeOpenFailure(path, 0, true, shown));
    }
    // The queues themselves need no setting up: a Linux terminal driver sizes its own
    // (4096 bytes of input for the line discipline) and offers no request to change it.

    device_ = std::move(dev);
    // Taken now, while the device is surely the one the name led to: a lost line is only
    // opened again when it comes back as this device.
    opened_ = IdentifyLine(commName_);
    ++session_;
    hangupReported_ = false;
    link_ = std::make_unique<PortLink>();
    link_->device = device_.get();
    link_->receiver = receiver_.get();
    link_->session = session_;
    link_->sendQueueEmpty = &sendQueueEmpty_;

    device_->Purge(true, true);
    sendQueueEmpty_ = true;
    ApplyTimeouts();
    if (!ApplyLineSettings()) {
        ReleasePort();
        throw ECommsError(RateRefusedText(line_.BaudRate));
    }

    if (!device_->CreateCloseEvent()) {
        ReleasePort();
        throw ECommsError("Unable to create event");
    }
    reader_ = std::make_unique<TReadThread>(*link_);
    try {
        reader_->Start();
    } catch (const std::system_error&) {
        reader_.reset();
        ReleasePort();
        throw ECommsError("Unable to create read thread");
    }
    writer_ = std::make_unique<TWriteThread>(*link_);
    try {
        writer_->Start();
    } catch (const std::system_error&) {
        writer_.reset();
        device_->SignalClose();
        reader_.reset(); // joins
        ReleasePort();
        throw ECommsError("Unable to create write thread");
    }
    if (openSettleMs_ > 0)
        QThread::msleep(static_cast<unsigned long>(openSettleMs_));
}

void TComm::ClosePort() {
    if (!device_)
        return;
    // Every wait of both workers watches the close event, so they end promptly; a
    // POSIX thread cannot be killed safely, so there is no forced end after a time limit.
    device_->SignalClose();
    device_->Purge(true, false);
    reader_.reset();
    writer_->Queue().Stop();
    device_->Purge(false, true);
    writer_.reset();
    ReleasePort();
}

void TComm::ReleasePort() {
    sendQueueEmpty_ = true;
    if (device_)
        device_->Close();
    device_.reset();
    link_.reset();
    // Notifications of this opening still in the queue must not reach the owner now.
    ++session_;
}

bool TComm::SendData(const char* Buffer, quint16 Length) {
    return Queue(Buffer, Length, false, 0, nullptr);
}

bool TComm::SendRequest(const char* Buffer, quint16 Length, quint32 ReplyLength,
                        std::function<void(std::chrono::steady_clock::time_point)> Done) {
    return Queue(Buffer, Length, true, ReplyLength, std::move(Done));
}

bool TComm::Queue(const char* buffer, quint16 length, bool request, quint32 replyLength,
                  std::function<void(std::chrono::steady_clock::time_point)> done) {
    if (!writer_ || length == 0 || buffer == nullptr)
        return false;
    SendBlock block;
    block.bytes = QByteArray(buffer, length); // the writer owns this copy from here on
    block.request = request;
    block.replyLength = replyLength;
    block.done = std::move(done);
    const QByteArray trace =
        lcSerialTrace().isDebugEnabled() ? block.bytes.toHex(' ') : QByteArray();
    if (!writer_->WriteNowIfIdle(block) && !writer_->Queue().Push(std::move(block)))
        return false;
    qCDebug(lcSerialTrace).noquote() << "TxD" << trace;
    return true;
}

quint32 TComm::ModemLineStatus() {
    if (!device_)
        return 0;
    return device_->ModemStatus().value_or(0);
}

void TComm::Dispatch(const CommEvent& e) {
    if (!device_ || e.session != session_)
        return; // from an opening that has been closed since
    // Handlers run on copies: a handler may reassign itself or close the port.
    switch (e.Message()) {
    case CommMessage::ReceiveData: {
        qCDebug(lcSerialTrace).noquote() << "RxD" << e.block.toHex(' ');
        if (auto handler = OnReceiveData)
            handler(this, e.block.constData(), static_cast<quint16>(e.param & 0xFFFF));
        break;
    }
    case CommMessage::ReceiveError:
        if (auto handler = OnReceiveError)
            handler(this, e.param);
        break;
    case CommMessage::RequestHangup:
        if (hangupReported_)
            break;
        hangupReported_ = true;
        if (auto handler = OnRequestHangup)
            handler(this);
        break;
    case CommMessage::ModemStateChange:
        if (auto handler = OnModemStateChange)
            handler(this, e.param);
        break;
    case CommMessage::SendDataEmpty:
        if (auto handler = OnSendDataEmpty)
            handler(this);
        break;
    default:
        break;
    }
}

bool TComm::ApplyLineSettings() {
    if (!device_)
        return true;
    link_->SetFilter(ReceiveFilterFor(line_));
    // A driver refusing another part of the settings leaves the line as it was; the
    // meter then simply does not answer, which the owner notices. The rate is checked:
    // a driver may refuse it, or take it and quietly settle on the nearest it can make.
    const bool configured = device_->ConfigureLine(line_);
    const std::optional<quint32> rate = device_->LineRate();
    if (!rate)
        return configured || StandardRate(line_.BaudRate);
    return RateMatches(*rate, line_.BaudRate);
}

void TComm::ApplyTimeouts() {
    if (device_)
        (void)device_->ConfigureTimeouts(timeouts_);
}

void TComm::SetCommName(const QString& name) {
    commName_ = name;
}

template <typename T> void TComm::SetLineField(T LineSettings::*field, T value) {
    if (line_.*field == value)
        return;
    line_.*field = value;
    ApplyLineSettings();
}

void TComm::SetTimeoutField(quint32 CommTimeouts::*field, quint32 value) {
    if (timeouts_.*field == value)
        return;
    timeouts_.*field = value;
    ApplyTimeouts();
}

void TComm::SetBaudRate(quint32 v) {
    const quint32 old = line_.BaudRate;
    if (old == v)
        return;
    line_.BaudRate = v;
    if (ApplyLineSettings())
        return;
    // The old rate stays in force, and the owner hears that the new one did not.
    line_.BaudRate = old;
    ApplyLineSettings();
    throw ECommsError(RateRefusedText(v));
}
void TComm::SetParityCheck(bool v) {
    SetLineField(&LineSettings::ParityCheck, v);
}
void TComm::SetOutx_CtsFlow(bool v) {
    SetLineField(&LineSettings::Outx_CtsFlow, v);
}
void TComm::SetOutx_DsrFlow(bool v) {
    SetLineField(&LineSettings::Outx_DsrFlow, v);
}
void TComm::SetDtrControl(TDtrControl v) {
    SetLineField(&LineSettings::DtrControl, v);
}
void TComm::SetDsrSensitivity(bool v) {
    SetLineField(&LineSettings::DsrSensitivity, v);
}
void TComm::SetTxContinueOnXoff(bool v) {
    SetLineField(&LineSettings::TxContinueOnXoff, v);
}
void TComm::SetOutx_XonXoffFlow(bool v) {
    SetLineField(&LineSettings::Outx_XonXoffFlow, v);
}
void TComm::SetInx_XonXoffFlow(bool v) {
    SetLineField(&LineSettings::Inx_XonXoffFlow, v);
}
void TComm::SetReplaceWhenParityError(bool v) {
    SetLineField(&LineSettings::ReplaceWhenParityError, v);
}
void TComm::SetIgnoreNullChar(bool v) {
    SetLineField(&LineSettings::IgnoreNullChar, v);
}
void TComm::SetRtsControl(TRtsControl v) {
    SetLineField(&LineSettings::RtsControl, v);
}
void TComm::SetXonLimit(quint16 v) {
    SetLineField(&LineSettings::XonLimit, v);
}
void TComm::SetXoffLimit(quint16 v) {
    SetLineField(&LineSettings::XoffLimit, v);
}
void TComm::SetByteSize(TByteSize v) {
    SetLineField(&LineSettings::ByteSize, v);
}
void TComm::SetParity(TParity v) {
    SetLineField(&LineSettings::Parity, v);
}
void TComm::SetStopBits(TStopBits v) {
    SetLineField(&LineSettings::StopBits, v);
}
void TComm::SetXonChar(char v) {
    SetLineField(&LineSettings::XonChar, v);
}
void TComm::SetXoffChar(char v) {
    SetLineField(&LineSettings::XoffChar, v);
}
void TComm::SetReplacedChar(char v) {
    SetLineField(&LineSettings::ReplacedChar, v);
}

void TComm::SetReadIntervalTimeout(quint32 v) {
    SetTimeoutField(&CommTimeouts::ReadIntervalTimeout, v);
}
void TComm::SetReadTotalTimeoutMultiplier(quint32 v) {
    SetTimeoutField(&CommTimeouts::ReadTotalTimeoutMultiplier, v);
}
void TComm::SetReadTotalTimeoutConstant(quint32 v) {
    SetTimeoutField(&CommTimeouts::ReadTotalTimeoutConstant, v);
}
void TComm::SetWriteTotalTimeoutMultiplier(quint32 v) {
    SetTimeoutField(&CommTimeouts::WriteTotalTimeoutMultiplier, v);
}
void TComm::SetWriteTotalTimeoutConstant(quint32 v) {
    SetTimeoutField(&CommTimeouts::WriteTotalTimeoutConstant, v);
}
