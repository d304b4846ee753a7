#pragma once

#include "NetworkModbusPort.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QSettings;

// The communication settings kept between runs, in the group "Comm" of the program's
// settings (organisation "Quorvant", application "TeskLink").
struct CommSettings {
    QString PortName = QStringLiteral("COM1");
    quint32 Baudrate = 9600;
    int DevAddr = 1;
    quint32 QueryInterval = 200;
    // The meters of the line the bus overview polls, as a list ("1-12, 17"); empty: none.
    QString BusAddresses;
    // The meter behind a serial-to-Ethernet converter instead of on the serial port.
    bool Network = false;
    QString NetHost;       // the converter's name or address
    quint16 NetPort = 502; // its TCP port
    NetworkFraming NetFraming = NetworkFraming::ModbusTcp;
};

// The values the COMM Settings dialog offers, which a stored value must be one of: a
// stored address of 256 would poll address 0, the broadcast every meter on the line obeys.
constexpr int kLowestMeterAddress = 1;
constexpr int kHighestMeterAddress = 247;
constexpr quint32 kLongestQueryIntervalMs = 99999; // the dialog's field takes five digits
QList<quint32> CommBaudRates();                    // the dialog's list, slowest first
constexpr int kLongestHostName = 253;              // the longest name the DNS carries

// Why `host` cannot name a converter (empty, too long, blanks or control characters), or
// "" when it can. Whether it is found shows when the connection is made.
QString CheckNetworkHost(const QString& host);
// The converter as the line names it for connecting: "10.0.0.5:502", "[fe80::1]:502".
QString NetworkLineName(const QString& host, quint16 port);

// A stored value that is not used, with what it held and why, for the operator.
struct IgnoredSetting {
    QString key;    // "DevAddr"
    QString stored; // "256", as the file holds it
    QString reason; // "the meter address must be 1 to 247"
};

// Reads the group without creating it. Returns false, and leaves `values` alone, when the
// group does not exist. A value that is missing, not a number or outside what the dialog
// offers keeps what `values` held; a value present but unusable is listed in *ignored,
// so one damaged entry neither stops the program nor reaches the line.
bool ReadCommSettings(QSettings& settings, CommSettings& values,
                      QList<IgnoredSetting>* ignored = nullptr);

// What the operator is told about the values ReadCommSettings ignored in `file`.
QString IgnoredSettingsText(const QString& file, const QList<IgnoredSetting>& ignored);

// Writes the values (creating the group) and flushes them to storage.
void WriteCommSettings(QSettings& settings, const CommSettings& values);
