#include "OpenFailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

QList<DeviceHolder> FindDeviceHolders(const QString& device, const QString& procRoot) {
    QList<DeviceHolder> holders;
    const QDir proc(procRoot);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        const QStringList fdNames =
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& fd : fdNames) {
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() != device)
                continue;
            QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
            QString name;
            if (comm.open(QIODevice::ReadOnly))
                name = QString::fromUtf8(comm.readAll()).trimmed();
            holders.append({pid, name});
            break;
        }
    }
    return holders;
}

QString OpenFailureText(const OpenFailure& f) {
    const QString& dev = f.device;
    if (f.notTerminal)
        return QCoreApplication::translate("OpenFailure",
                                           "%1 is not a serial device (it is no terminal).")
            .arg(dev);
    switch (f.error) {
    case 0:
        return QCoreApplication::translate("OpenFailure", "%1 cannot be opened.").arg(dev);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QCoreApplication::translate(
                   "OpenFailure", "%1: no such device. The adapter is not plugged in (or the port "
                                  "name is wrong).")
            .arg(dev);
    case EIO:
        return QCoreApplication::translate(
                   "OpenFailure", "%1: the device does not answer. There is no port behind it, "
                                  "or the adapter is going away.")
            .arg(dev);
    case EACCES:
    case EPERM: {
        QString text =
            QCoreApplication::translate("OpenFailure", "%1: permission denied.").arg(dev);
        if (f.group.isEmpty())
            return text + QCoreApplication::translate(
                              "OpenFailure", " No group may use it: ask the administrator for "
                                             "access to the device.");
        if (f.userInGroup)
            return text + QCoreApplication::translate(
                              "OpenFailure", " The device belongs to group %1, which your account "
                                             "already has: log out and in again so that it takes "
                                             "effect.")
                              .arg(f.group);
        return text + QCoreApplication::translate(
                          "OpenFailure", " The device belongs to group %1: add your user to it "
                                         "(sudo usermod -aG %1 $USER), then log out and in again.")
                          .arg(f.group);
    }
    case EBUSY:
    case EWOULDBLOCK: {
        QString text =
            QCoreApplication::translate("OpenFailure", "%1 is busy: another program has it open.")
                .arg(dev);
        if (f.holders.isEmpty())
            return text;
        QStringList who;
        bool brltty = false, modemManager = false;
        for (const DeviceHolder& h : f.holders) {
            who << QStringLiteral("%1 (process %2)")
                       .arg(h.name.isEmpty() ? QStringLiteral("?") : h.name)
                       .arg(h.pid);
            brltty = brltty || h.name == QLatin1String("brltty");
            modemManager = modemManager || h.name == QLatin1String("ModemManager");
        }
        text += QCoreApplication::translate("OpenFailure", " Held by %1.")
                    .arg(who.join(QCoreApplication::translate("OpenFailure", ", ")));
        if (brltty)
            text += QCoreApplication::translate(
                "OpenFailure", " brltty (the Braille display service) takes USB serial "
                               "adapters such as the CH340; remove it (sudo apt remove "
                               "brltty) if nobody here uses a Braille display.");
        if (modemManager)
            text += QCoreApplication::translate(
                "OpenFailure", " ModemManager probes new serial devices for a modem; wait "
                               "a few seconds, or stop it (sudo systemctl stop "
                               "ModemManager).");
        return text;
    }
    case EISDIR:
        return QCoreApplication::translate("OpenFailure", "%1 is a folder, not a serial device.")
            .arg(dev);
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return QCoreApplication::translate("OpenFailure", "%1: not a usable device path.").arg(dev);
    default:
        return QStringLiteral("%1: %2.").arg(dev, QString::fromLocal8Bit(std::strerror(f.error)));
    }
}

namespace {

// The name of the group that owns `device`, and whether this user's account lists it
// (the process itself may not have it yet: groups take effect at the next login).
void OwningGroup(const QString& device, OpenFailure& f) {
    struct stat st {};
    if (::stat(device.toLocal8Bit().constData(), &st) != 0)
        return;
    // Only a group that may read and write the device is worth joining (ttyS ports are
    // often root's alone until a udev rule says otherwise).
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return;
    if (const group* g = getgrgid(st.st_gid))
        f.group = QString::fromLocal8Bit(g->gr_name);
    const passwd* pw = getpwuid(getuid());
    if (!pw || f.group.isEmpty())
        return;
    int count = 64;
    std::vector<gid_t> groups(size_t(count), 0);
    if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count) < 0)
            return;
    }
    for (int i = 0; i < count; ++i)
        if (groups[size_t(i)] == st.st_gid)
            f.userInGroup = true;
}

} // namespace

QString DescribeOpenFailure(const QString& device, int error, bool notTerminal,
                            const QString& shownAs) {
    OpenFailure f;
    f.device = shownAs.isEmpty() ? device : shownAs;
    f.error = error;
    f.notTerminal = notTerminal;
    if (error == EACCES || error == EPERM)
        OwningGroup(device, f);
    if (error == EBUSY || error == EWOULDBLOCK) {
        const QString canonical = QFileInfo(device).canonicalFilePath();
        f.holders = FindDeviceHolders(canonical.isEmpty() ? device : canonical);
    }
    return OpenFailureText(f);
}
