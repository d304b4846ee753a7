#pragma once

#include "LineIdentity.h"

#include <QString>
#include <QTimer>

#include <functional>

class ModbusPort;

// How a serial port gets its line back after the device has gone (adapter unplugged, the
// far end of a pseudo-terminal closed): every PollMs the port is asked whether the device
// it lost is back (the same adapter, the same terminal, or a COM link the operator has set
// anew); only then the port opens it again and reports the line back. Main thread only.
class LineRecovery {
public:
    // `lookForReturn` is the port's judgement of what is under its name now.
    LineRecovery(ModbusPort& port, std::function<LineReturn()> lookForReturn);

    bool Lost() const { return lost_; }
    // The device as the operator knows it: "/dev/ttyUSB0", "/dev/pts/3 (COM1)".
    const QString& Device() const { return device_; }
    // What the lost line waits for, as the port words it: "Waiting for COM1 (was
    // /dev/pts/3)", or why the device now under its name is not opened.
    const QString& Waiting() const { return waiting_; }
    // The caption and text of the operator's box for the line just lost.
    QString LostCaption() const;
    QString LostText() const;

    void Opened(const QString& commName);
    void Closed();
    // The line is lost and the port closed: watch for the device's return.
    void LineLost();
    void SetPollMs(int ms);

private:
    void Tick();

    ModbusPort& port_;
    std::function<LineReturn()> lookForReturn_;
    QTimer timer_;
    bool lost_ = false;
    QString device_;
    QString waiting_;
};
