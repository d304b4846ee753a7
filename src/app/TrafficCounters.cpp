#include "TrafficCounters.h"

#include "NumberText.h"

#include <QCoreApplication>
#include <QLocale>

void TrafficCounters::DataReceived() {
    ConsecutiveNoResponse = 0;
    if (!Connected) {
        ++ReceptionsWhileDisconnected;
        if (ReceptionsWhileDisconnected > kThreshold)
            Connected = true;
    }
}

void TrafficCounters::ResponseFailed(quint8 errorCode) {
    if (errorCode == 1) {
        ++NoResponseCount;
        ++ConsecutiveNoResponse;
        if (ConsecutiveNoResponse > kThreshold)
            Connected = false;
    } else {
        ++CrcErrorCount;
    }
}

QString TrafficCounters::SendText() const {
    return QCoreApplication::translate("TrafficCounters", "Send= %1").arg(SendCount);
}

QString TrafficCounters::NoResponseText() const {
    return QCoreApplication::translate("TrafficCounters", "No Response= %1").arg(NoResponseCount);
}

QString TrafficCounters::CrcErrorText() const {
    return QCoreApplication::translate("TrafficCounters", "CRC Error= %1").arg(CrcErrorCount);
}

QString TrafficCounters::OkPercentText() const {
    if (SendCount == 0)
        return {};
    // In floating point: the difference can be negative after a counter reset mid-cycle.
    const double ok = (double(SendCount) - double(NoResponseCount) - double(CrcErrorCount)) /
                      double(SendCount) * 100.0;
    // Two decimals with the system's decimal separator, like every number the windows show.
    return QCoreApplication::translate("TrafficCounters", "OK=   ") + FixedText(ok, 2) +
           QLatin1Char('%');
}

QString BytesToHex(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() * 3);
    for (const char c : bytes)
        text += QStringLiteral("%1 ").arg(quint8(c), 2, 16, QLatin1Char('0')).toUpper();
    return text;
}
