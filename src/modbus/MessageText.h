#pragma once

#include <QString>
#include <QtGlobal>

// Message strings as the master and its callers write requests: two hex digits per byte,
// comma-separated, "00" in place of the slave address and "00,00" in place of the CRC
// ("00,03,01,30,00,36,00,00"). The slave address goes in just before sending; the master
// fills in the CRC.

// A read of `count` holding registers from `start` (function 03).
QString ReadMessage(quint16 start, quint16 count);

// Replaces the first byte of a message string by `slaveAddress` (low byte) as two
// upper-case hex digits: ("00,03,...", 247) gives "F7,03,...". A message too short to
// hold an address gets it in front.
QString WithSlaveAddress(const QString& message, int slaveAddress);
