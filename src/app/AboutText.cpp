#include "AboutText.h"

#include "NumberText.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <unistd.h>

std::optional<QString> WindowsVersionText(unsigned platformId, unsigned major, unsigned minor,
                                          unsigned build, const QString& servicePack) {
    switch (platformId) {
    case 0: // Win32s on Windows 3.x
        return QStringLiteral("Windows %1.%2").arg(major).arg(minor);
    case 1: { // the Windows 9x line keeps its build number in the low word only
        const QString name = (major == 4 && minor < 10) ? QStringLiteral("Windows 95")
                                                        : QStringLiteral("Windows 98");
        return QStringLiteral("%1 (%2.%3.%4 %5)")
            .arg(name)
            .arg(major)
            .arg(minor)
            .arg(build & 0xFFFFu)
            .arg(servicePack);
    }
    case 2:
        return QStringLiteral("Windows NT %1.%2.%3 %4")
            .arg(major)
            .arg(minor)
            .arg(build)
            .arg(servicePack);
    default:
        return std::nullopt;
    }
}

QString PhysicalMemoryText(quint64 totalBytes, const QLocale& locale) {
    const quint64 kilobytes = totalBytes / 1024 + (totalBytes % 1024 >= 512 ? 1 : 0);
    return GroupedText(double(kilobytes), 0, locale) + QStringLiteral(" KB");
}

namespace {

std::optional<quint64> physicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<quint64>(pages) * static_cast<quint64>(pageSize);

    // Without sysconf's answer the kernel's own summary still has the total.
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    static const QRegularExpression total(QStringLiteral("^MemTotal:\\s+(\\d+)\\s+kB"),
                                          QRegularExpression::MultilineOption);
    const auto match = total.match(QString::fromLatin1(meminfo.readAll()));
    bool ok = false;
    const quint64 kilobytes = match.hasMatch() ? match.captured(1).toULongLong(&ok) : 0;
    return ok ? std::optional<quint64>(kilobytes * 1024) : std::nullopt;
}

} // namespace

SystemDescription DescribeThisSystem() {
    SystemDescription d;
    const QString pretty = QSysInfo::prettyProductName();
    if (!pretty.isEmpty())
        d.versionText = pretty;
    d.physicalMemoryBytes = physicalMemory();
    return d;
}
