#include "PortName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

QString StripDevicePrefix(QString name) {
    static const QString prefix = QStringLiteral("\\\\.\\");
    if (name.startsWith(prefix))
        name.remove(0, prefix.size());
    return name;
}

} // namespace

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
    if (n == 0)
        return fail(QStringLiteral("not a COM port name: %1").arg(comName));
    const QString folder = PortLinksFolder();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));
    const QString link = QDir(folder).filePath(QStringLiteral("COM%1").arg(n));
    QFile::remove(link);
    if (!QFile::link(QFileInfo(device).absoluteFilePath(), link))
        return fail(QStringLiteral("cannot create link %1").arg(link));
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
