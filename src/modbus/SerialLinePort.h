#pragma once

#include "LineIdentity.h"
#include "ModbusPort.h"

#include <memory>

class LineRecovery;

// A port reads bytes off a serial line once the line has been quiet this long after them
// (the read interval), or at once when they complete the reply it was told to await.
constexpr int kPortReadIntervalMs = 5;

// A port on a serial line: the meter is reached through a device under a port name (a COM
// name, a by-id name, a device path), directly or through a pair of modems. It owns the
// modem link (ModemLink: dialling, hang-up, ring and carrier, the CTS line) and recovers a
// lost line by the device's rules (LineRecovery): only the device that was lost is opened
// again, and the master is told once it is back. A reply behind junk waits for the line's
// frame gap at its rate. Subclasses move the bytes (CommModbusPort over TComm; tests' fakes).
// Main thread only, but for ModemLineStatus, which the modem watcher calls from its thread.
class SerialLinePort : public ModbusPort {
public:
    SerialLinePort();
    // A subclass closes the port in its own destructor: the modem watcher must not look at
    // a device that is already gone.
    ~SerialLinePort() override;

    // Opens the device, then the modem watcher when the status is traced; throws
    // EModbusError "不能创建跟踪线程。" (the port closed again) when the watcher cannot start.
    void OpenPort() final;
    void ClosePort() final;
    std::chrono::nanoseconds ReplyQuietTime() const override;
    ModemLink* Modem() override { return modem_.get(); }

    void WatchForReturn() override;
    bool LineLost() const override;
    QString LineWaiting() const override;
    QString LineDevice() const override;
    LineNotice LostNotice() const override;
    void SetReopenPollMs(int ms) override;

    // CTS 0x10, DSR 0x20, ring 0x40, carrier (RLSD) 0x80; 0 when unknown or closed. Called
    // from the modem watcher's thread too. This plain version: a line without status lines.
    virtual quint32 ModemLineStatus() { return 0; }
    // Asked while the line is lost: whether the device that was lost is back and may be
    // opened, and what the port waits for meanwhile. This plain version takes whatever is
    // there under the port's name.
    virtual LineReturn LostLineReturn();
    // The device reports a change of its modem lines (ring 0x04; carrier or CTS 0x08).
    void ModemStateChange(quint32 event);

protected:
    // The device itself, under CommName() at BaudRate(). OpenDevice throws ECommsError;
    // CloseDevice does nothing on a closed device.
    virtual void OpenDevice() = 0;
    virtual void CloseDevice() = 0;

private:
    std::unique_ptr<ModemLink> modem_;
    std::unique_ptr<LineRecovery> recovery_;
};
