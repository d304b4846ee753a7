#pragma once

#include "SerialLinePort.h"

#include <memory>
#include <optional>

class TComm;

// Puts a TComm behind the port seam of the Modbus master, with the four settings the
// master wants on its line: no XON/XOFF flow control in either direction, sending not
// continued after XOFF, and a 5 ms read interval so a reply arrives in few chunks. A lost
// line comes back only as the device that was lost (LineIdentity).
class CommModbusPort : public SerialLinePort {
public:
    CommModbusPort();
    // Closes the port: neither the modem watcher nor a worker outlives the adapter.
    ~CommModbusPort() override;

    TComm& Comm() { return *comm_; }
    void SetOpenSettleMs(int ms);

    QString CommName() const override;
    void SetCommName(const QString& name) override;
    quint32 BaudRate() const override;
    void SetBaudRate(quint32 baud) override;
    bool IsOpen() const override;
    bool SendData(const QByteArray& bytes) override;
    bool
    SendRequest(const QByteArray& bytes, int replyLength,
                const std::function<void(std::chrono::steady_clock::time_point)>& written) override;
    // Judged against what the name stood for at the last open (see LostLine).
    LineReturn LostLineReturn() override;
    bool NameLeadsElsewhere() const override;

private:
    std::unique_ptr<TComm> comm_;
    std::optional<LostLine> lost_; // from the first look after a loss until the next open
};
