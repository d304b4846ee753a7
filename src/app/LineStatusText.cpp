#include "LineStatusText.h"

#include <QCoreApplication>

QString PortWithDevice(const QString& portName, const QString& device) {
    static const QString prefix = QStringLiteral("\\\\.\\");
    const QString bare = portName.startsWith(prefix) ? portName.mid(prefix.size()) : portName;
    if (device.isEmpty() || device == bare)
        return bare;
    return QStringLiteral("%1 (%2)").arg(bare, device);
}

QString NoAnswerText(int address, quint32 baud, const QString& portName, const QString& device) {
    return QCoreApplication::translate(
               "LineStatusText",
               "No answer from address %1 at %2 baud on %3: check the address, baud "
               "rate and wiring, or use Search%4")
        .arg(address)
        .arg(baud)
        .arg(PortWithDevice(portName, device), QChar(0x2026));
}
