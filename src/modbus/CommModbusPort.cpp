#include "CommModbusPort.h"

#include "TComm.h"
#include "TqvModbus.h"

#include <algorithm>
#include <limits>

CommModbusPort::CommModbusPort()
    : SerialLinePort({[this] {
                          comm_->OpenPort();
                          lost_.reset();
                      },
                      [this] { comm_->ClosePort(); }, [this] { return comm_->ModemLineStatus(); }}),
      comm_(std::make_unique<TComm>()) {
    comm_->SetTxContinueOnXoff(false);
    comm_->SetOutx_XonXoffFlow(false);
    comm_->SetInx_XonXoffFlow(false);
    comm_->SetReadIntervalTimeout(kPortReadIntervalMs);

    comm_->OnReceiveData = [this](TComm*, const char* buffer, quint16 length) {
        if (OnReceiveData)
            OnReceiveData(QByteArray(buffer, length));
    };
    comm_->OnReceiveError = [this](TComm*, quint32 flags) {
        if (OnReceiveError)
            OnReceiveError(flags);
    };
    comm_->OnModemStateChange = [this](TComm*, quint32 event) { ModemStateChange(event); };
    comm_->OnRequestHangup = [this](TComm*) {
        if (OnRequestHangup)
            OnRequestHangup();
    };
    comm_->OnSendDataEmpty = [this](TComm*) {
        if (OnSendDataEmpty)
            OnSendDataEmpty();
    };
}

CommModbusPort::~CommModbusPort() {
    ClosePort();
}

void CommModbusPort::SetOpenSettleMs(int ms) {
    comm_->SetOpenSettleMs(ms);
}
QString CommModbusPort::CommName() const {
    return comm_->CommName();
}
void CommModbusPort::SetCommName(const QString& name) {
    comm_->SetCommName(name);
}
quint32 CommModbusPort::BaudRate() const {
    return comm_->BaudRate();
}
void CommModbusPort::SetBaudRate(quint32 baud) {
    comm_->SetBaudRate(baud);
}
LineReturn CommModbusPort::LostLineReturn() {
    if (comm_->OpenedLine().name.isEmpty())
        return SerialLinePort::LostLineReturn();
    if (!lost_)
        lost_.emplace(comm_->OpenedLine());
    return lost_->Check();
}
bool CommModbusPort::NameLeadsElsewhere() const {
    if (!comm_->IsOpen())
        return false;
    // The node held open cannot be replaced meanwhile; only the name's link can move. A
    // name that leads nowhere now leaves the working line as it is.
    const QString now = IdentifyLine(comm_->CommName()).node;
    return !now.isEmpty() && now != comm_->OpenedLine().node;
}

bool CommModbusPort::IsOpen() const {
    return comm_->IsOpen();
}

bool CommModbusPort::SendData(const QByteArray& bytes) {
    // The port takes at most 65535 bytes at a time; no request of ours comes near that.
    if (bytes.size() > std::numeric_limits<quint16>::max())
        return false;
    return comm_->SendData(bytes.constData(), quint16(bytes.size()));
}

bool CommModbusPort::SendRequest(
    const QByteArray& bytes, int replyLength,
    const std::function<void(std::chrono::steady_clock::time_point)>& written) {
    if (bytes.size() > std::numeric_limits<quint16>::max())
        return false;
    return comm_->SendRequest(bytes.constData(), quint16(bytes.size()),
                              quint32(std::max(replyLength, 0)), written);
}

// The master's own port, as the program uses it.
TqvModbus::TqvModbus(QObject* owner) : QObject(owner) {
    auto port = std::make_unique<CommModbusPort>();
    commPort_ = port.get();
    port_ = std::move(port);
    Init();
}

void TqvModbus::SetOpenSettleMs(int ms) {
    if (commPort_)
        commPort_->SetOpenSettleMs(ms);
}
