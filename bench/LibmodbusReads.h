#pragma once

#include <QString>
#include <QtGlobal>

// The same block reads done by libmodbus, the reference master, on the same line.
struct LibmodbusResult {
    int reads = 0;  // transactions attempted
    int ok = 0;     // replies with all registers
    int errors = 0; // failed transactions
    double seconds = 0;
    QString error; // set when the line could not be opened at all
};

LibmodbusResult RunLibmodbusReads(const QString& device, quint32 baud, int slave,
                                  quint16 startAddress, int registers, int count,
                                  int responseTimeoutMs);
