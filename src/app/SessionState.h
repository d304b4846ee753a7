#pragma once

#include "NetworkModbusPort.h"
#include "PollSchedule.h"
#include "TrafficCounters.h"

#include <QString>
#include <QtGlobal>

// What the main window knows about the line and the meter, shared with every child
// window. Owned by the main window; child windows read and write it on the main thread
// through TFormTeskLink::State().
struct SessionState {
    // Communication settings (saved between runs when SaveSettings is set).
    QString PortName = QStringLiteral("COM1"); // "COM1"; the device is resolved on open
    quint32 Baudrate = 9600;                   // rate handed to Open
    int DevAddr = 1;                           // slave address of every request, 1..247
    bool SaveSettings = false;                 // write the settings back on close
    QString BusAddresses; // the meters of the line the Bus window polls ("1-12, 17")
    // The meter behind a serial-to-Ethernet converter: the line is a TCP connection to
    // NetHost:NetPort in NetFraming instead of PortName.
    bool Network = false;
    QString NetHost;
    quint16 NetPort = 502;
    NetworkFraming NetFraming = NetworkFraming::ModbusTcp;

    // 0 = "QETRA 7100", 1 = "QETRA 7300" (index of the model lists).
    quint8 MeterModel = 1;

    // Counters and the connected rule. Every write command checks Traffic.Connected first
    // and shows OperatorDialogs::ShowNotConnected() when it is false.
    TrafficCounters Traffic;

    // From block 0x100: PT1/PT2 and CT1/5. Used to scale primary-side values.
    double PtRatio = 1.0;
    double CtRatio = 1.0;
    // The meter's address as last read from block 0x100, or the new address the meter
    // settings window asked for. 300 = not read yet.
    quint16 MeterAddress = 300;
    // The meter's baud rate as last read, or the new one asked for. 0 = not read yet.
    quint32 MeterBaudRate = 0;
    // Set by the meter settings window when its write changes the meter's address or
    // baud rate. The next failed reply confirms the change: the address flag makes
    // MeterAddress the slave address of the following requests, the baud flag reopens the
    // port at MeterBaudRate.
    bool AddressChangePending = false;
    bool BaudChangePending = false;

    // Readings per calibration run, as the operator last typed it.
    QString CalibrationCount = QStringLiteral("100");
    // Calibration run mode: angle (true) or amplitude; PT setting 380 V (true) or 100 V;
    // standard value 100 % (true) or 10 %.
    bool CalibrationAngleMode = true;
    bool CalibrationPt380V = true;
    bool CalibrationStandard100 = true;

    // Display mode last read from register 0x52A (1 = all lights, else 0).
    quint8 DisplayModeByte = 0;

    // The request schedule with its pending-write slots and the windows' reads.
    PollSchedule Schedule;

    bool Connected() const { return Traffic.Connected; }

    // The state part of a session reset: ratios 1.0, meter address and baud forgotten,
    // change flags cleared, not connected, schedule reset, calibration flags set. The
    // traffic counters and the settings are kept.
    void ResetSession();
};
