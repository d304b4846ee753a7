#pragma once

#include "ModbusPort.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QTcpSocket;
class QTimer;

// How a serial-to-Ethernet converter carries the meter's frames.
enum class NetworkFraming {
    ModbusTcp,  // a gateway: MBAP header, unit identifier = address, no CRC
    RtuOverTcp, // a serial server: the RTU bytes, CRC and all, in the stream
};

// "Modbus TCP" / "RTU over TCP".
QString FramingName(NetworkFraming framing);

// The most bytes the port holds of one reply, and the most it takes from a converter that
// sends on beyond what was asked: past that the connection is closed, so a converter that
// floods cannot grow the program's memory.
constexpr int kNetworkHoldLimit = 4096;
// Connecting (name lookup included) gives up after this long.
constexpr int kNetworkConnectTimeoutMs = 3000;
// A lost connection is tried again after 1 s, then twice as long each time, at most this.
constexpr int kNetworkRetryLimitMs = 30000;

// A port on a TCP connection to a converter in front of the meter's RS-485 line. The program
// only connects out: opening starts the connection (the name lookup and connect run in the
// event loop, never blocking the caller) and a request waits for it. The master sees RTU
// frames either way: for Modbus TCP each request goes out under a new transaction identifier
// and each reply comes back as the RTU frame with its CRC; a reply whose transaction,
// protocol, unit or length does not match is dropped and counted. A reply is complete by its
// length, so the line's silences play no part.
// A connection that fails or drops is a lost line: the master closes the port, and the port
// connects again to the same host and port, after 1 s and then with back-off up to 30 s,
// until it is closed. Main thread only.
class NetworkModbusPort : public ModbusPort {
public:
    NetworkModbusPort(const QString& host, quint16 port, NetworkFraming framing);
    ~NetworkModbusPort() override;

    // "10.0.0.5:502"; SetCommName takes the same form ("[::1]:502" for an IPv6 address).
    QString CommName() const override;
    void SetCommName(const QString& name) override;
    // The meter's rate is set on the converter's serial side; kept only to be told back.
    quint32 BaudRate() const override { return baud_; }
    void SetBaudRate(quint32 baud) override { baud_ = baud; }

    void OpenPort() override;
    void ClosePort() override;
    bool IsOpen() const override { return open_; }
    bool SendData(const QByteArray& bytes) override;
    bool
    SendRequest(const QByteArray& bytes, int replyLength,
                const std::function<void(std::chrono::steady_clock::time_point)>& written) override;

    void WatchForReturn() override;
    bool LineLost() const override { return lost_; }
    QString LineWaiting() const override;
    // "10.0.0.5:502 (Modbus TCP)".
    QString LineDevice() const override;
    LineNotice LostNotice() const override;
    // Connects in the background; false at once (with what it does in *why) unless open.
    bool ReopenLine(QString* why = nullptr) override;
    // A ReopenLine (the operator's "try now") connects at once.
    void SetReopenPollMs(int ms) override { firstRetryMs_ = retryMs_ = ms; }

    NetworkFraming Framing() const { return framing_; }
    const QString& Host() const { return host_; }
    quint16 TcpPort() const { return tcpPort_; }
    // The connection is made (opening may still be on its way).
    bool Connected() const;
    // Why the last connection ended or could not be made, in plain words; empty while none
    // has.
    const QString& Failure() const { return failure_; }
    // Frames from the gateway dropped as another transaction's, protocol's or unit's, and
    // their bytes.
    quint64 StrayFrames() const { return strayFrames_; }
    quint64 StrayBytes() const { return strayBytes_; }
    // The most bytes the port has held at once (for the flood check).
    qsizetype MostHeld() const { return mostHeld_; }

    // Splits "host:port" ("[v6]:port"); the port is `defaultPort` when none is given.
    // False for an empty host or a port outside 1..65535.
    static bool SplitHostPort(const QString& text, quint16 defaultPort, QString& host,
                              quint16& port);

private:
    void StartConnecting();
    void Connected_();
    void ConnectFailed(const QString& why);
    void Dropped(const QString& why);
    void ReadReady();
    void TakeModbusTcp(const QByteArray& chunk);
    void WritePending();
    void ScheduleRetry();
    void RetryNow();
    void ResetSocket();

    QString host_;
    quint16 tcpPort_;
    NetworkFraming framing_;
    quint32 baud_ = 9600;
    bool open_ = false;
    bool lost_ = false;
    bool everConnected_ = false; // in this opening
    bool heard_ = false;         // the connection has carried bytes from the converter
    QString failure_;
    QString waiting_;
    int retryMs_ = 1000;
    int firstRetryMs_ = 1000;

    std::unique_ptr<QTcpSocket> socket_;
    std::unique_ptr<QTimer> connectTimer_;
    std::unique_ptr<QTimer> retryTimer_;

    // The request waiting for the connection, and its report.
    QByteArray pending_;
    std::function<void(std::chrono::steady_clock::time_point)> pendingWritten_;
    // Modbus TCP: the transaction and unit awaited, and the bytes of a frame still arriving.
    quint16 transaction_ = 0;
    quint8 unit_ = 0;
    bool awaiting_ = false;
    QByteArray held_;
    // Bytes taken since the last request, to catch a converter that floods.
    qsizetype sinceRequest_ = 0;
    qsizetype mostHeld_ = 0;
    quint64 strayFrames_ = 0;
    quint64 strayBytes_ = 0;
};
