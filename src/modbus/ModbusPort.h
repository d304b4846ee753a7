#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// What the Modbus master needs of a serial port, and nothing more. The real port is
// TComm (see CommModbusPort); tests put a fake or a pseudo-terminal behind this seam.
// All notifications are delivered on the main thread.
class ModbusPort {
public:
    virtual ~ModbusPort() = default;

    virtual QString CommName() const = 0;
    virtual void SetCommName(const QString& name) = 0;
    virtual quint32 BaudRate() const = 0;
    virtual void SetBaudRate(quint32 baud) = 0; // applied at once while open

    virtual void OpenPort() = 0; // throws ECommsError
    virtual void ClosePort() = 0;
    virtual bool IsOpen() const = 0;
    // Queues bytes for the writer; true means queued, not yet written.
    virtual bool SendData(const QByteArray& bytes) = 0;
    // CTS 0x10, DSR 0x20, ring 0x40, carrier (RLSD) 0x80; 0 when unknown or closed.
    virtual quint32 ModemLineStatus() = 0;

    std::function<void(const QByteArray& chunk)> OnReceiveData;
    std::function<void(quint32 errorFlags)> OnReceiveError;
    std::function<void(quint32 modemEvent)> OnModemStateChange;
    std::function<void()> OnRequestHangup;
    std::function<void()> OnSendDataEmpty;
};
