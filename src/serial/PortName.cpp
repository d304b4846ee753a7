#include "PortName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString StripDevicePrefix(QString name) {
    static const QString prefix = QStringLiteral("\\\\.\\");
    if (name.startsWith(prefix))
        name.remove(0, prefix.size());
    return name;
}

// Terminal devices that sysfs does not list: the pseudo-terminal slaves (majors 136..143)
// and the old-style terminals and consoles (4, 5).
bool IsTerminalMajor(unsigned major) {
    return major == 4 || major == 5 || (major >= 136 && major <= 143);
}

// Whether the character device `st` is a terminal: sysfs names its class for devices
// with a driver of their own (ttyS, ttyUSB, ttyACM, ...).
bool IsTerminalDevice(const struct stat& st) {
    const QString entry = QStringLiteral("/sys/dev/char/%1:%2/subsystem")
                              .arg(major(st.st_rdev))
                              .arg(minor(st.st_rdev));
    const QFileInfo subsystem(entry);
    if (subsystem.exists())
        return subsystem.canonicalFilePath().endsWith(QStringLiteral("/tty"));
    return IsTerminalMajor(major(st.st_rdev));
}

// Whether following `path` and the links it leads to passes any of `links`.
bool LeadsThrough(const QString& path, const QStringList& links) {
    QString at = path;
    // Far more than any sensible chain; a loop of links ends here too.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(at);
        if (links.contains(info.absoluteFilePath()))
            return true;
        if (!info.isSymLink())
            return false;
        at = info.symLinkTarget();
    }
    return true;
}

} // namespace

QString BarePortName(const QString& name) {
    return StripDevicePrefix(name);
}

QString PortDisplayName(const QString& name) {
    const QString bare = StripDevicePrefix(name);
    const int n = ComPortNumber(bare);
    if (n == 0)
        return bare;
    const QString resolved = ResolvePortName(bare);
    const QFileInfo info(resolved);
    const QString device = info.exists() ? info.canonicalFilePath() : resolved;
    return QStringLiteral("%1 (COM%2)").arg(device).arg(n);
}

QString CheckPortChoice(const QString& name) {
    const QString bare = StripDevicePrefix(name).trimmed();
    if (bare.isEmpty())
        return QCoreApplication::translate("PortName", "no port given");
    static const QRegularExpression comLike(QStringLiteral("^COM[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (comLike.match(bare).hasMatch()) {
        const int n = ComPortNumber(bare);
        if (n < 1 || n > kMaxComPort)
            return QCoreApplication::translate("PortName",
                                               "%1 is not a port of the program: use COM1 to COM%2")
                .arg(bare)
                .arg(kMaxComPort);
        return {};
    }
    if (!bare.startsWith(QLatin1Char('/')))
        return QCoreApplication::translate(
                   "PortName", "\"%1\" is neither COM1..COM%2 nor a device path such as "
                               "/dev/ttyUSB0")
            .arg(bare)
            .arg(kMaxComPort);
    const QFileInfo info(bare);
    if (info.isSymLink() && !info.exists())
        return QCoreApplication::translate(
                   "PortName", "%1 points to %2, which does not exist: the adapter is not "
                               "plugged in")
            .arg(bare, info.symLinkTarget());
    if (!info.exists())
        return QCoreApplication::translate(
                   "PortName", "%1 does not exist: the adapter is not plugged in, or the name "
                               "is wrong")
            .arg(bare);
    if (info.isDir())
        return QCoreApplication::translate("PortName", "%1 is a folder, not a serial device")
            .arg(bare);
    struct stat st {};
    if (::stat(bare.toLocal8Bit().constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return QCoreApplication::translate("PortName",
                                           "%1 is not a serial device (not a character device)")
            .arg(bare);
    if (!IsTerminalDevice(st))
        return QCoreApplication::translate(
                   "PortName", "%1 is not a serial device (a character device, but no terminal)")
            .arg(bare);
    return {};
}

bool IsTerminalNode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode) &&
           IsTerminalDevice(st);
}

QString PortLinksFolder() {
    const QByteArray env = qgetenv("QETRA_PORTS_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    const QString base = xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share")
                                       : QString::fromLocal8Bit(xdg);
    return base + QStringLiteral("/QetraLink/ports");
}

int ComPortNumber(const QString& name) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(StripDevicePrefix(name));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString ResolvePortName(const QString& name) {
    const QString bare = StripDevicePrefix(name);
    if (bare.startsWith(QLatin1Char('/')))
        return bare;
    const int n = ComPortNumber(bare);
    if (n == 0)
        return bare;
    const QDir folder(PortLinksFolder());
    for (const QString& link : {QStringLiteral("COM%1").arg(n), QStringLiteral("com%1").arg(n)}) {
        const QFileInfo info(folder.filePath(link));
        // A dangling link still names the port: opening it then fails, as it should.
        if (info.isSymLink() || info.exists())
            return info.filePath();
    }
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

bool RegisterComPort(const QString& comName, const QString& device, QString* error) {
    const int n = ComPortNumber(comName);
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (n < 1 || n > kMaxComPort)
        return fail(QStringLiteral("%1 is not a port of the program: use COM1 to COM%2")
                        .arg(BarePortName(comName))
                        .arg(kMaxComPort));

    const QString folder = PortLinksFolder();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));
    const QString name = QStringLiteral("COM%1").arg(n);
    const QString link = QDir(folder).filePath(name);
    const QString target = QFileInfo(device).absoluteFilePath();
    // A target reached through this very link (the link typed as the device, or another
    // link pointing at it) would become a link to itself: the adapter would be lost.
    if (LeadsThrough(target, {link, QDir(QDir(folder).canonicalPath()).filePath(name)}))
        return fail(QStringLiteral("%1 leads through %2 itself; choose the device it points at "
                                   "instead")
                        .arg(device, name));
    // Made beside the old link and renamed over it, so that COMn always names a device:
    // the old one until the new one is complete.
    const QString fresh =
        QDir(folder).filePath(QStringLiteral(".%1.new-%2").arg(name).arg(qint64(::getpid())));
    QFile::remove(fresh);
    if (!QFile::link(target, fresh))
        return fail(QStringLiteral("cannot create link %1").arg(link));
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(link).constData()) != 0) {
        QFile::remove(fresh);
        return fail(QStringLiteral("cannot replace link %1").arg(link));
    }
    return true;
}

void UnregisterComPort(const QString& comName, const QString& device) {
    const int n = ComPortNumber(comName);
    if (n == 0)
        return;
    const QString link = QDir(PortLinksFolder()).filePath(QStringLiteral("COM%1").arg(n));
    const QFileInfo info(link);
    if (info.isSymLink() && info.symLinkTarget() == QFileInfo(device).absoluteFilePath())
        QFile::remove(link);
}
