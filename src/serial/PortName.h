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

// The folder of COMn links: $QETRA_PORTS_DIR when set (tests and tools use it),
// else ${XDG_DATA_HOME:-~/.local/share}/QetraLink/ports.
QString PortLinksFolder();

// The Linux device that a port name stands for (rules above).
QString ResolvePortName(const QString& name);

// Number n of a COMn name (prefix allowed, any case), or 0 when it is none.
int ComPortNumber(const QString& name);

// Makes COMn (n = ComPortNumber(comName)) point at `device` in PortLinksFolder(),
// replacing an older link. False with a reason in *error when that fails.
bool RegisterComPort(const QString& comName, const QString& device, QString* error = nullptr);

// Removes the COMn link if it still points at `device`.
void UnregisterComPort(const QString& comName, const QString& device);
