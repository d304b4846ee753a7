#include "MeterSimProcess.h"

#include <QDeadlineTimer>

MeterSimProcess::~MeterSimProcess() {
    Stop();
}

bool MeterSimProcess::Start(const QString& program, const QStringList& args, int timeoutMs,
                            QString* error) {
    process_.setProgram(program);
    process_.setArguments(args);
    process_.start();
    if (!process_.waitForStarted(timeoutMs)) {
        *error = QStringLiteral("cannot start %1: %2").arg(program, process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running) {
            *error = QStringLiteral("%1 printed no device path: %2")
                         .arg(program, QString::fromLocal8Bit(process_.readAllStandardError()));
            Stop();
            return false;
        }
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    }
    device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    if (device_.isEmpty()) {
        *error = QStringLiteral("%1 printed an empty device path").arg(program);
        Stop();
        return false;
    }
    return true;
}

QString MeterSimProcess::Stop() {
    if (process_.state() == QProcess::NotRunning)
        return QString::fromLocal8Bit(process_.readAllStandardError());
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
    return QString::fromLocal8Bit(process_.readAllStandardError());
}
