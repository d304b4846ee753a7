#pragma once

#include <QString>

// The program names serial ports the Windows way: "\\.\" followed by a name
// such as COM1. On Linux such a name becomes a device like this:
//   1. the prefix "\\.\" is dropped;
//   2. a path that starts with "/" (for example /dev/ttyUSB0) is used as it is;
//   3. COMn (any case) is looked up in the per-user folder of port links
//      (PortLinksFolder(), the convention Wine uses for its dosdevices): a link
//      named COMn or comn there names the device;
//   4. without such a link COMn is the n-th on-board port, /dev/ttyS<n-1>;
//   5. anything else is passed on unchanged (and will usually fail to open).

// COM names the program offers: COM1 .. COM128.
constexpr int kMaxComPort = 128;

// The folder of COMn links: $QETRA_PORTS_DIR when set (tests and tools use it),
// else ${XDG_DATA_HOME:-~/.local/share}/QetraLink/ports.
QString PortLinksFolder();

// The Linux device that a port name stands for (rules above).
QString ResolvePortName(const QString& name);

// Number n of a COMn name (prefix allowed, any case), or 0 when it is none.
int ComPortNumber(const QString& name);

// A port name without the "\\.\" prefix.
QString BarePortName(const QString& name);

// How the operator is told which device a port is: the Linux device behind it, with the
// COM name in brackets when the port was chosen by one ("/dev/ttyUSB0 (COM3)").
QString PortDisplayName(const QString& name);

// Checks a port the operator typed or chose before anything is saved: a COM name must be
// COM1..COM128; a device path must exist (a link must not dangle), must not be a folder
// and must be a terminal device. Empty when it will do, else the reason in plain English.
// Whether the device can be opened (permissions, another program) shows only on opening.
QString CheckPortChoice(const QString& name);

// Whether `path` (links followed) is a terminal device, the only kind of file a serial
// port can be: false for a FIFO, a regular file, a folder, /dev/null and the like, which
// must never be opened as a port (opening a FIFO would release a reader waiting on it).
bool IsTerminalNode(const QString& path);

// Makes COMn (n = ComPortNumber(comName), 1..128) point at `device` in PortLinksFolder(),
// replacing an older link. False with a reason in *error when that fails. The device is
// taken as it is: the settings dialog checks it with CheckPortChoice first.
bool RegisterComPort(const QString& comName, const QString& device, QString* error = nullptr);

// Removes the COMn link if it still points at `device`.
void UnregisterComPort(const QString& comName, const QString& device);
