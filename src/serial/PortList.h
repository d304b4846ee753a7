#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which kind of device a present port is; the port list offers them in this order.
enum class SerialPortKind {
    Adapter,   // a USB adapter by its stable /dev/serial/by-id name
    UsbDevice, // another USB serial device (no by-id link): /dev/ttyUSB*, /dev/ttyACM*
    OnBoard,   // an on-board port with a UART behind it: /dev/ttyS*
};

// One serial device present on the machine, as the settings dialog and qetra-poll list it.
struct SerialPortInfo {
    SerialPortKind kind = SerialPortKind::OnBoard;
    // What the program stores: the stable /dev/serial/by-id name of a USB adapter (it
    // survives re-plugging and a changed ttyUSB number), else the device itself.
    QString path;
    QString device; // the device node behind it, "/dev/ttyUSB0"
    // From the USB device the adapter hangs off (empty for on-board ports).
    QString vendorId, productId; // four hex digits each
    QString manufacturer, product, serial;
    // Where the adapter is plugged in: the USB device's bus and port chain ("1-1.4"). An
    // adapter without a serial number is known by it.
    QString usbPort;
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

// "= /dev/ttyUSB0": the device node a port name stands for, with every link on the way
// followed (a COM link, a by-id name), so the operator sees the device rather than the
// link file. A link whose device is away names its target and says it is not there.
QString ResolvedDeviceText(const QString& portName);

// One entry of the port list of the settings dialog and of qetra-poll, in the order a
// technician looks for the meter's line: the devices of the machine first (adapters by
// their by-id name, other USB serial devices, the COM names that are links, on-board
// ports with a UART), then the COM names without a link, which stand for the on-board
// ports /dev/ttyS0 and up whether there is a UART behind them or not.
struct PortChoice {
    enum class Kind { Adapter, UsbDevice, ComLink, OnBoard, ComName };
    Kind kind;
    QString name;    // what is chosen and stored: a device path or "COMn"
    QString details; // beside the choice: the device it resolves to and what it is
    QString line;    // the whole line: tool tip, qetra-poll --list-ports
};
// `root` as for ListSerialPorts; the COM links are those of PortLinksFolder().
QList<PortChoice> ListPortChoices(const QString& root = QString());
