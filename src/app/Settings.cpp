#include "Settings.h"

#include <QSettings>
#include <limits>

namespace {
const QString kGroup = QStringLiteral("Comm");

template <typename T>
void ReadNumber(QSettings& s, const QString& key, T& target, QStringList* problems) {
    const QVariant v = s.value(key);
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (v.isValid() && ok && n >= 0 && n <= std::numeric_limits<T>::max())
        target = T(n);
    else if (problems)
        *problems << key;
}
} // namespace

bool ReadCommSettings(QSettings& settings, CommSettings& values, QStringList* problems) {
    // Looking at childGroups() does not create the group, so a first run stays without
    // saved settings until the operator asks for them.
    if (!settings.childGroups().contains(kGroup))
        return false;
    settings.beginGroup(kGroup);
    const QString port = settings.value(QStringLiteral("PortName")).toString();
    if (!port.isEmpty())
        values.PortName = port;
    else if (problems)
        *problems << QStringLiteral("PortName");
    ReadNumber(settings, QStringLiteral("Baudrate"), values.Baudrate, problems);
    ReadNumber(settings, QStringLiteral("DevAddr"), values.DevAddr, problems);
    ReadNumber(settings, QStringLiteral("QueryInterval"), values.QueryInterval, problems);
    settings.endGroup();
    return true;
}

void WriteCommSettings(QSettings& settings, const CommSettings& values) {
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("PortName"), values.PortName);
    settings.setValue(QStringLiteral("Baudrate"), values.Baudrate);
    settings.setValue(QStringLiteral("DevAddr"), values.DevAddr);
    settings.setValue(QStringLiteral("QueryInterval"), values.QueryInterval);
    settings.endGroup();
    settings.sync();
}
