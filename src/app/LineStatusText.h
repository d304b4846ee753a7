#pragma once

#include <QString>

// Texts that tell the operator about the line in plain words (QtCore only, shared by the
// main window and qetra-poll).

// The port as the operator chose it, with the device behind it when that says more:
// "COM1 (/dev/pts/3)", "/dev/ttyUSB0".
QString PortWithDevice(const QString& portName, const QString& device);

// Requests go unanswered and nothing good has come back since the port opened:
// "No answer from address 2 at 9600 baud on COM1 (/dev/pts/3): check the address, baud
// rate and wiring, or use Search…".
QString NoAnswerText(int address, quint32 baud, const QString& portName, const QString& device);
