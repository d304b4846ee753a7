#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <stdexcept>

class ModemLink;

// Raised by the Modbus master for its own failures, and by a port for a thread of its line
// that cannot start (texts are the program's, in Chinese).
class EModbusError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the operator is told when a port's line is lost.
struct LineNotice {
    QString caption;
    QString text;
};

// How the Modbus master reaches the meter, and nothing more: bytes both ways, and the life
// of the line they travel on. The master frames, paces and judges the transactions; the
// port says when its line is lost, what it waits for meanwhile, when it is back and why it
// cannot open, and brings a lost line back by its own rules (the same serial device plugged
// in again, a connection made anew). The master only reacts: it ends the transaction under
// way, pauses polling, and resumes it when the port reports the line back.
// The serial port is CommModbusPort (SerialLinePort over TComm); tests put a fake or a
// pseudo-terminal behind this seam. All notifications are delivered on the main thread.
class ModbusPort {
public:
    virtual ~ModbusPort() = default;

    // ---- bytes and settings ----
    virtual QString CommName() const = 0;
    virtual void SetCommName(const QString& name) = 0;
    virtual quint32 BaudRate() const = 0;
    // Applied at once while open. A rate the line cannot take throws ECommsError and
    // leaves the old one in force (and opening at such a rate fails).
    virtual void SetBaudRate(quint32 baud) = 0;

    // Throws ECommsError, whose Reason() says in plain words why the line cannot open, or
    // EModbusError when a thread the line needs cannot start (the port is closed again).
    virtual void OpenPort() = 0;
    // Also on a closed port, where it gives up waiting for a lost line.
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
    // Bytes long enough for the reply that hold no valid reply where it starts may be junk
    // in front of a reply still arriving: they are judged once the line has been quiet
    // this long after them. Zero (this plain version): a reply is complete by its length,
    // and such bytes are judged as they come.
    virtual std::chrono::nanoseconds ReplyQuietTime() const { return {}; }

    // ---- the modem ----
    // The link through a pair of modems (dialling, hang-up, ring, carrier and CTS) of a
    // port that can lead to one; null (this plain version) for a line that is up whenever
    // the port is open.
    virtual ModemLink* Modem() { return nullptr; }
    const ModemLink* Modem() const { return const_cast<ModbusPort*>(this)->Modem(); }

    // ---- the line's life ----
    // The master has closed the port after it reported its line gone (OnRequestHangup):
    // from now on the port watches for the line by its own rules and, once it is back,
    // opens it and tells so (OnReopening, OnReopened, OnLineBack). This plain version
    // waits for ReopenLine.
    virtual void WatchForReturn() {}
    // The port waits for its lost line.
    virtual bool LineLost() const { return false; }
    // What the lost line waits for, in the port's words ("Waiting for COM1 (was
    // /dev/pts/3)"); empty while nothing is awaited.
    virtual QString LineWaiting() const { return {}; }
    // The line as last opened, as the operator knows it ("/dev/pts/3 (COM1)").
    virtual QString LineDevice() const { return CommName(); }
    // The operator's box for the line just lost.
    virtual LineNotice LostNotice() const = 0;
    // Opens the port now under its name and rate (OnReopening, then OnReopened). True when
    // it is open (it may have been already); false with the reason in *why when it cannot
    // be opened yet.
    virtual bool ReopenLine(QString* why = nullptr);
    // Pace of the port's own looks for its lost line; 0 = only ReopenLine.
    virtual void SetReopenPollMs(int ms) { (void)ms; }
    // While open: whether the port's name now leads to another line than the one open
    // (the operator pointed its COM link elsewhere). This plain version cannot tell.
    virtual bool NameLeadsElsewhere() const { return false; }

    // ---- notifications to the master ----
    std::function<void(const QByteArray& chunk)> OnReceiveData;
    std::function<void(quint32 errorFlags)> OnReceiveError;
    // The line is gone (the device hung up, the far end closed): the master closes the
    // port and asks it to WatchForReturn.
    std::function<void()> OnRequestHangup;
    std::function<void()> OnSendDataEmpty;
    // The port opens its line again: before it tries (the old session ends) and once it is
    // open (a new session begins).
    std::function<void()> OnReopening;
    std::function<void()> OnReopened;
    // The port has brought its lost line back by itself (after OnReopened).
    std::function<void()> OnLineBack;
    // LineWaiting() has changed while the line stays lost.
    std::function<void()> OnLineWaiting;
};
