#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One serial device present on the machine, as the settings dialog and qetra-poll list it.
struct SerialPortInfo {
    // What the program stores: the stable /dev/serial/by-id name of a USB adapter (it
    // survives re-plugging and a changed ttyUSB number), else the device itself.
    QString path;
    QString device; // the device node behind it, "/dev/ttyUSB0"
    // From the USB device the adapter hangs off (empty for on-board ports).
    QString vendorId, productId; // four hex digits each
    QString manufacturer, product, serial;
    QString driver;       // the kernel driver of the port ("ftdi_sio", "ch341-uart", "serial")
    QStringList comNames; // COMn links of the program that point at this device
};

// What sysfs under `sysRoot` knows of the tty named `ttyName` ("ttyUSB0"): its driver and
// the USB device it hangs off (vendor, product, serial); left empty where sysfs has none.
void ReadTtySysfs(const QString& sysRoot, const QString& ttyName, SerialPortInfo& info);

// The serial devices present under `root` ("" = this machine; tests point it at a fake
// tree with dev/ and sys/): every /dev/serial/by-id link, then /dev/ttyUSB*, /dev/ttyACM*
// without such a link, then /dev/ttyS* that have a UART behind them. Sorted within each
// group by device number, so ttyUSB2 comes before ttyUSB10.
QList<SerialPortInfo> ListSerialPorts(const QString& root = QString());

// One line about a port: "/dev/serial/by-id/usb-FTDI_... = /dev/ttyUSB0  0403:6001 FTDI
// FT232R USB UART, serial A10K3XYZ  [COM3]".
QString SerialPortLine(const SerialPortInfo& port);
// The same without the path, for a label beside the chosen port.
QString SerialPortDetails(const SerialPortInfo& port);

// A COMn name of the program that has a link in PortLinksFolder().
struct ComPortLink {
    QString name;         // "COM3"
    QString target;       // where the link points ("/dev/serial/by-id/usb-...", "/dev/pts/4")
    bool present = false; // the target exists
};
// The COM links, COM1 first.
QList<ComPortLink> ListComPortLinks();
// "COM3 -> /dev/serial/by-id/usb-... (missing)".
QString ComPortLinkLine(const ComPortLink& link);
