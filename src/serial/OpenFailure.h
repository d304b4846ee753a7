#pragma once

#include <QList>
#include <QString>

// Why a serial device could not be opened, and what the operator can do about it. The
// program's window and qetra-poll show the same texts.

// A process that has the device open.
struct DeviceHolder {
    int pid = 0;
    QString name; // its command name ("brltty", "ModemManager", "minicom")
};

// Everything the explanation is made of, gathered once (see DescribeOpenFailure).
struct OpenFailure {
    QString device;              // the device node that was tried
    int error = 0;               // errno of the failed open, or 0 with one of the flags below
    bool notTerminal = false;    // opened, but it is no terminal (/dev/null, a file)
    QString group;               // the group that owns the device and may use it, if any
    bool userInGroup = false;    // the user's account already lists that group
    QList<DeviceHolder> holders; // processes that have it open, for a busy device
};

// The processes under `procRoot` (normally /proc) with a file descriptor on `device`
// (compared by the link target, so pass the canonical device path). Processes that may
// not be looked into are skipped.
QList<DeviceHolder> FindDeviceHolders(const QString& device,
                                      const QString& procRoot = QStringLiteral("/proc"));

// The explanation in plain English, one or two sentences, naming the device.
QString OpenFailureText(const OpenFailure& failure);

// Gathers the owning group (for EACCES/EPERM) and the holders (for EBUSY) of `device`
// and explains the failure, naming the device as `shownAs` (default: `device`).
QString DescribeOpenFailure(const QString& device, int error, bool notTerminal = false,
                            const QString& shownAs = QString());
