#pragma once

#include "LineIdentity.h"
#include "PortName.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <chrono>
#include <functional>

// A port hands received bytes over once the line has been quiet this long after them
// (the read interval), or at once when they complete the reply it was told to await.
constexpr int kPortReadIntervalMs = 5;

// What the Modbus master needs of a serial port, and nothing more. The real port is
// TComm (see CommModbusPort); tests put a fake or a pseudo-terminal behind this seam.
// All notifications are delivered on the main thread.
class ModbusPort {
public:
    virtual ~ModbusPort() = default;

    virtual QString CommName() const = 0;
    virtual void SetCommName(const QString& name) = 0;
    virtual quint32 BaudRate() const = 0;
    // Applied at once while open. A rate the line cannot take throws ECommsError and
    // leaves the old one in force (and opening at such a rate fails).
    virtual void SetBaudRate(quint32 baud) = 0;

    virtual void OpenPort() = 0; // throws ECommsError
    virtual void ClosePort() = 0;
    virtual bool IsOpen() const = 0;
    // Queues bytes for the writer; true means queued, not yet written.
    virtual bool SendData(const QByteArray& bytes) = 0;
    // Queues a request whose reply will be `replyLength` bytes (0: none awaited), so the
    // port can hand the reply over the moment it is complete. When it returns true,
    // `written` is called once with the moment the request went out (or was given up),
    // from any thread, possibly before SendRequest returns. This plain version takes the
    // moment of queueing, for ports that move bytes at once.
    virtual bool
    SendRequest(const QByteArray& bytes, int replyLength,
                const std::function<void(std::chrono::steady_clock::time_point)>& written) {
        (void)replyLength;
        if (!SendData(bytes))
            return false;
        if (written)
            written(std::chrono::steady_clock::now());
        return true;
    }
    // CTS 0x10, DSR 0x20, ring 0x40, carrier (RLSD) 0x80; 0 when unknown or closed.
    virtual quint32 ModemLineStatus() = 0;
    // Asked while the line is lost: whether the device that was lost is back and may be
    // opened, and what the port waits for meanwhile. This plain version takes whatever is
    // there under the port's name.
    virtual LineReturn LostLineReturn() {
        const bool there = QFileInfo::exists(ResolvePortName(CommName()));
        return {there ? LineReturn::Verdict::Back : LineReturn::Verdict::Away,
                QStringLiteral("Waiting for ") + BarePortName(CommName())};
    }

    // While open: whether the port's name now leads to another device than the one open
    // (the operator pointed its COM link elsewhere). This plain version cannot tell.
    virtual bool NameLeadsElsewhere() const { return false; }

    std::function<void(const QByteArray& chunk)> OnReceiveData;
    std::function<void(quint32 errorFlags)> OnReceiveError;
    std::function<void(quint32 modemEvent)> OnModemStateChange;
    std::function<void()> OnRequestHangup;
    std::function<void()> OnSendDataEmpty;
};
