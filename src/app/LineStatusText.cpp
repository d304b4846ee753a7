#include "LineStatusText.h"

#include "TrafficCounters.h"

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

void LineSilence::Opened() {
    answered_ = false;
    missedInRow_ = 0;
}

void LineSilence::Evaluated(quint8 errorCode) {
    if (errorCode == 0) {
        answered_ = true;
        missedInRow_ = 0;
    } else if (errorCode == 1) {
        ++missedInRow_;
    }
}

bool LineSilence::Unexplained() const {
    return missedInRow_ > 0 && (!answered_ || missedInRow_ > TrafficCounters::kThreshold);
}

void LineLossHistory::Lost(const QDateTime& at) {
    if (count_++ == 0)
        first_ = at;
}

QString LineLossHistory::Text() const {
    if (count_ == 0)
        return {};
    const QString since = first_.time().toString(QStringLiteral("HH:mm"));
    if (count_ == 1)
        return QCoreApplication::translate("LineStatusText", "Line lost at %1").arg(since);
    return QCoreApplication::translate("LineStatusText", "Line lost %1 times since %2")
        .arg(count_)
        .arg(since);
}
