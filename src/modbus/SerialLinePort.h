#pragma once

#include "LineIdentity.h"
#include "ModbusPort.h"

#include <functional>
#include <memory>

class LineRecovery;

// A serial port hands received bytes over once the line has been quiet this long after them
// (the read interval), or at once when they complete the reply it was told to await.
constexpr int kPortReadIntervalMs = 5;

// A port on a serial line: the meter is reached through a device under a port name (a COM
// name, a by-id name, a device path), directly or through a pair of modems. It owns the
// modem link (ModemLink: dialling, hang-up, ring and carrier, the CTS line) and recovers a
// lost line by the device's rules (LineRecovery): only the device that was lost is opened
// again, and the master is told once it is back. A reply behind junk waits for the line's
// frame gap at its rate. Subclasses move the bytes and hand over their device (CommModbusPort
// over TComm; tests' fakes). Main thread only, but for the device's status lines, which the
// modem watcher reads from its own thread.
class SerialLinePort : public ModbusPort {
public:
    // The device itself, under CommName() at BaudRate().
    struct Device {
        std::function<void()> open;  // throws ECommsError
        std::function<void()> close; // does nothing on a closed device
        // CTS 0x10, DSR 0x20, ring 0x40, carrier (RLSD) 0x80; 0 when unknown or closed.
        // Also called from the modem watcher's thread. None: a line without status lines.
        std::function<quint32()> status;
    };

    explicit SerialLinePort(Device device);
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

    // The device's status lines (Device::status); 0 without them.
    quint32 ModemLineStatus() const { return device_.status ? device_.status() : 0; }
    // Asked while the line is lost: whether the device that was lost is back and may be
    // opened, and what the port waits for meanwhile. This plain version takes whatever is
    // there under the port's name.
    virtual LineReturn LostLineReturn();
    // The device reports a change of its modem lines (ring 0x04; carrier or CTS 0x08).
    void ModemStateChange(quint32 event);

private:
    Device device_;
    std::unique_ptr<ModemLink> modem_;
    std::unique_ptr<LineRecovery> recovery_;
};
