#include "MessageText.h"

namespace {
// A byte as two upper-case hex digits.
QString HexByte(int value) {
    return QStringLiteral("%1").arg(quint8(value), 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

QString ReadMessage(quint16 start, quint16 count) {
    return QStringLiteral("00,03,%1,%2,%3,%4,00,00")
        .arg(HexByte(start >> 8), HexByte(start & 0xFF), HexByte(count >> 8),
             HexByte(count & 0xFF));
}

QString WithSlaveAddress(const QString& message, int slaveAddress) {
    const QString address = HexByte(slaveAddress);
    if (message.size() < 2)
        return address + message;
    return address + message.mid(2);
}
