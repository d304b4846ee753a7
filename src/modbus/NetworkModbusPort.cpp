#include "NetworkModbusPort.h"

#include "MbapFrame.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {
QString SocketReason(QAbstractSocket::SocketError error, const QString& detail) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QCoreApplication::translate("NetworkModbusPort",
                                           "connection refused (nothing listens on that port)");
    case QAbstractSocket::HostNotFoundError:
        return QCoreApplication::translate("NetworkModbusPort", "name not found");
    case QAbstractSocket::NetworkError:
        return QCoreApplication::translate("NetworkModbusPort", "no route to the host (%1)")
            .arg(detail);
    case QAbstractSocket::RemoteHostClosedError:
        return QCoreApplication::translate("NetworkModbusPort",
                                           "the converter closed the connection");
    case QAbstractSocket::SocketTimeoutError:
        return QCoreApplication::translate("NetworkModbusPort", "time-out");
    default:
        return detail;
    }
}
} // namespace

QString FramingName(NetworkFraming framing) {
    return framing == NetworkFraming::ModbusTcp ? QStringLiteral("Modbus TCP")
                                                : QStringLiteral("RTU over TCP");
}

NetworkModbusPort::NetworkModbusPort(const QString& host, quint16 port, NetworkFraming framing)
    : host_(host), tcpPort_(port), framing_(framing), socket_(std::make_unique<QTcpSocket>()),
      connectTimer_(std::make_unique<QTimer>()), retryTimer_(std::make_unique<QTimer>()) {
    // Qt reads no further ahead than this, whatever the converter sends; with the part of a
    // frame the port holds (at most one frame) it stays within the limit.
    socket_->setReadBufferSize(kNetworkHoldLimit / 2);
    connectTimer_->setSingleShot(true);
    retryTimer_->setSingleShot(true);
    QTcpSocket* s = socket_.get();
    QObject::connect(s, &QTcpSocket::connected, s, [this] { Connected_(); });
    QObject::connect(s, &QTcpSocket::readyRead, s, [this] { ReadReady(); });
    QObject::connect(s, &QTcpSocket::errorOccurred, s, [this](QAbstractSocket::SocketError e) {
        const QString why = SocketReason(e, socket_->errorString());
        if (Connected())
            Dropped(why);
        else
            ConnectFailed(why);
    });
    QObject::connect(s, &QTcpSocket::disconnected, s, [this] {
        Dropped(QCoreApplication::translate("NetworkModbusPort",
                                            "the converter closed the connection"));
    });
    QObject::connect(connectTimer_.get(), &QTimer::timeout, s, [this] {
        socket_->abort();
        ConnectFailed(
            QCoreApplication::translate("NetworkModbusPort", "no answer within %1 s (time-out)")
                .arg(kNetworkConnectTimeoutMs / 1000));
    });
    QObject::connect(retryTimer_.get(), &QTimer::timeout, s, [this] { RetryNow(); });
}

NetworkModbusPort::~NetworkModbusPort() {
    socket_->disconnect();
    connectTimer_->disconnect();
    retryTimer_->disconnect();
    socket_->abort();
}

QString NetworkModbusPort::CommName() const {
    return host_.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host_).arg(tcpPort_)
                                            : QStringLiteral("%1:%2").arg(host_).arg(tcpPort_);
}

void NetworkModbusPort::SetCommName(const QString& name) {
    QString host;
    quint16 port = 0;
    if (SplitHostPort(name, tcpPort_, host, port)) {
        host_ = host;
        tcpPort_ = port;
    }
}

bool NetworkModbusPort::SplitHostPort(const QString& text, quint16 defaultPort, QString& host,
                                      quint16& port) {
    const QString t = text.trimmed();
    QString portText;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return false;
        portText = rest.mid(1);
    } else if (t.count(QLatin1Char(':')) == 1) {
        host = t.section(QLatin1Char(':'), 0, 0);
        portText = t.section(QLatin1Char(':'), 1);
    } else {
        host = t; // a name, an IPv4 address or a bare IPv6 address
    }
    if (host.isEmpty())
        return false;
    if (portText.isEmpty()) {
        port = defaultPort;
        return port != 0;
    }
    bool ok = false;
    const uint p = portText.toUInt(&ok);
    if (!ok || p < 1 || p > 65535)
        return false;
    port = quint16(p);
    return true;
}

bool NetworkModbusPort::Connected() const {
    return socket_->state() == QAbstractSocket::ConnectedState;
}

void NetworkModbusPort::OpenPort() {
    if (open_)
        return;
    retryTimer_->stop();
    lost_ = false;
    everConnected_ = false;
    waiting_.clear();
    retryMs_ = firstRetryMs_;
    open_ = true;
    StartConnecting();
}

void NetworkModbusPort::StartConnecting() {
    ResetSocket();
    // Name lookup and connect run in the event loop; the caller goes on at once.
    socket_->connectToHost(host_, tcpPort_);
    connectTimer_->start(kNetworkConnectTimeoutMs);
}

void NetworkModbusPort::ResetSocket() {
    connectTimer_->stop();
    const QSignalBlocker quiet(socket_.get());
    socket_->abort();
    held_.clear();
    awaiting_ = false;
    sinceRequest_ = 0;
}

void NetworkModbusPort::ClosePort() {
    retryTimer_->stop();
    lost_ = false;
    waiting_.clear();
    open_ = false;
    if (pendingWritten_) {
        const auto written = std::move(pendingWritten_);
        pendingWritten_ = nullptr;
        pending_.clear();
        written(std::chrono::steady_clock::now()); // given up
    }
    ResetSocket();
}

void NetworkModbusPort::Connected_() {
    connectTimer_->stop();
    failure_.clear();
    const bool back = lost_;
    everConnected_ = true;
    lost_ = false;
    waiting_.clear();
    heard_ = false;
    if (back) {
        if (OnReopened)
            OnReopened();
        if (OnLineBack)
            OnLineBack();
    }
    WritePending();
}

void NetworkModbusPort::ConnectFailed(const QString& why) {
    if (!open_)
        return;
    connectTimer_->stop();
    failure_ = why;
    if (lost_) {
        // A try of a lost connection: the master's port stays closed; try again later.
        open_ = false;
        ScheduleRetry();
        return;
    }
    Dropped(why);
}

void NetworkModbusPort::Dropped(const QString& why) {
    if (!open_ || lost_)
        return;
    failure_ = why;
    qCWarning(lcModbusTrace).noquote() << CommName() << why;
    // The master closes the port (a request waiting for the connection is given up there)
    // and asks the port to watch for its return.
    if (OnRequestHangup)
        OnRequestHangup();
    if (open_) // nobody closed it: it cannot be used any more
        ClosePort();
}

void NetworkModbusPort::WatchForReturn() {
    lost_ = true;
    // A converter that takes the connection and closes it before a word (busy with another
    // master, say) is not asked again at once: the back-off starts afresh only after a
    // connection that carried replies.
    if (heard_ || !everConnected_)
        retryMs_ = firstRetryMs_;
    ScheduleRetry();
}

void NetworkModbusPort::ScheduleRetry() {
    waiting_ = QCoreApplication::translate("NetworkModbusPort", "%1: %2; connecting again in %3 s")
                   .arg(LineDevice(), failure_)
                   .arg((retryMs_ + 999) / 1000);
    if (OnLineWaiting)
        OnLineWaiting();
    if (retryMs_ > 0)
        retryTimer_->start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, kNetworkRetryLimitMs);
}

void NetworkModbusPort::RetryNow() {
    if (!lost_)
        return;
    if (OnReopening)
        OnReopening();
    open_ = true;
    StartConnecting();
}

bool NetworkModbusPort::ReopenLine(QString* why) {
    if (open_ && !lost_)
        return true;
    retryTimer_->stop();
    if (!lost_)
        lost_ = true; // a port closed by hand is connected as a lost one: in the background
    RetryNow();
    if (why)
        *why =
            QCoreApplication::translate("NetworkModbusPort", "connecting to %1").arg(LineDevice());
    return false;
}

QString NetworkModbusPort::LineWaiting() const {
    return lost_ ? waiting_ : QString();
}

QString NetworkModbusPort::LineDevice() const {
    return QStringLiteral("%1 (%2)").arg(CommName(), FramingName(framing_));
}

LineNotice NetworkModbusPort::LostNotice() const {
    if (!everConnected_)
        return {QCoreApplication::translate("NetworkModbusPort", "Cannot connect"),
                QCoreApplication::translate("NetworkModbusPort",
                                            "Cannot connect to %1: %2; trying again.")
                    .arg(LineDevice(), failure_)};
    return {QCoreApplication::translate("NetworkModbusPort", "Connection lost"),
            QCoreApplication::translate("NetworkModbusPort",
                                        "Connection to %1 lost (%2); reconnecting…")
                .arg(LineDevice(), failure_)};
}

bool NetworkModbusPort::SendData(const QByteArray& bytes) {
    if (!open_ || lost_)
        return false;
    if (!Connected())
        return false;
    return socket_->write(bytes) == bytes.size();
}

bool NetworkModbusPort::SendRequest(
    const QByteArray& bytes, int replyLength,
    const std::function<void(std::chrono::steady_clock::time_point)>& written) {
    (void)replyLength; // a reply is complete by its own length (MBAP) or the master's count
    if (!open_ || lost_ || bytes.size() < 4)
        return false;
    QByteArray out = bytes;
    if (framing_ == NetworkFraming::ModbusTcp) {
        ++transaction_;
        unit_ = quint8(bytes[0]);
        out = RtuToMbap(bytes, transaction_);
        if (out.isEmpty())
            return false;
    }
    // A reply to an earlier request still arriving is nobody's now.
    held_.clear();
    sinceRequest_ = 0;
    awaiting_ = quint8(bytes[0]) != 0; // a broadcast has no reply
    pending_ = out;
    pendingWritten_ = written;
    if (Connected())
        WritePending();
    return true;
}

void NetworkModbusPort::WritePending() {
    if (pending_.isEmpty() || !Connected())
        return;
    const bool ok = socket_->write(pending_) == pending_.size();
    pending_.clear();
    const auto written = std::move(pendingWritten_);
    pendingWritten_ = nullptr;
    if (written)
        written(std::chrono::steady_clock::now());
    if (!ok)
        Dropped(QCoreApplication::translate("NetworkModbusPort", "cannot send: %1")
                    .arg(socket_->errorString()));
    else if (OnSendDataEmpty)
        OnSendDataEmpty();
}

void NetworkModbusPort::ReadReady() {
    while (open_ && socket_->bytesAvailable() > 0) {
        mostHeld_ = std::max(mostHeld_, held_.size() + socket_->bytesAvailable());
        const QByteArray chunk = socket_->read(kNetworkHoldLimit / 2);
        if (chunk.isEmpty())
            return;
        sinceRequest_ += chunk.size();
        heard_ = true;
        if (sinceRequest_ > kNetworkHoldLimit) {
            Dropped(QCoreApplication::translate(
                        "NetworkModbusPort",
                        "the converter sent more than %1 bytes unasked; connection closed")
                        .arg(kNetworkHoldLimit));
            return;
        }
        if (framing_ == NetworkFraming::RtuOverTcp) {
            if (OnReceiveData)
                OnReceiveData(chunk);
        } else {
            TakeModbusTcp(chunk);
        }
    }
}

void NetworkModbusPort::TakeModbusTcp(const QByteArray& chunk) {
    held_.append(chunk);
    while (open_) {
        const std::optional<MbapHeader> h = PeekMbapHeader(held_);
        if (!h)
            return;
        if (h->length > kMbapMaxLength) {
            Dropped(QCoreApplication::translate(
                        "NetworkModbusPort",
                        "the converter announced a frame of %1 bytes; connection closed")
                        .arg(h->length));
            return;
        }
        if (held_.size() < h->FrameSize())
            return;
        const QByteArray frame = held_.left(h->FrameSize());
        held_.remove(0, h->FrameSize());
        QByteArray rtu;
        if (awaiting_ && JudgeMbapFrame(frame, transaction_, unit_, &rtu) == MbapVerdict::Reply) {
            awaiting_ = false;
            if (OnReceiveData)
                OnReceiveData(rtu);
            continue;
        }
        ++strayFrames_;
        strayBytes_ += quint64(frame.size());
        qCDebug(lcModbusTrace).noquote()
            << "stray frame from the gateway dropped:" << frame.toHex(' ').toUpper();
    }
}
