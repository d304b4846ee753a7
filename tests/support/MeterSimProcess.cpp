#include "MeterSimProcess.h"

#include <QDeadlineTimer>

#include <signal.h>

MeterSimProcess::MeterSimProcess(const QStringList& arguments,
                                 const QProcessEnvironment& environment) {
    QProcessEnvironment env = environment;
    if (!env.contains(QStringLiteral("QETRA_PORTS_DIR"))) {
        ports_ = std::make_unique<QTemporaryDir>();
        env.insert(QStringLiteral("QETRA_PORTS_DIR"), ports_->path());
    }
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(METER_SIM_PATH), arguments);
    if (!process_.waitForStarted(5000))
        return;
    const QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && !deadline.hasExpired() &&
           process_.state() == QProcess::Running)
        process_.waitForReadyRead(100);
    if (process_.canReadLine())
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
}

MeterSimProcess::~MeterSimProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

int MeterSimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) {
        // Ended by itself: its exit code, or -1 when it never ran.
        const bool ran = process_.error() != QProcess::FailedToStart;
        return ran && process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
        return -1;
    }
    errors();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void MeterSimProcess::signal(int signo) {
    ::kill(static_cast<pid_t>(process_.processId()), signo);
}

bool MeterSimProcess::waitForError(const QString& text) {
    const QDeadlineTimer deadline(10000);
    while (!errors().contains(text) && !deadline.hasExpired())
        process_.waitForReadyRead(50);
    return errors_.contains(text);
}

QString MeterSimProcess::errors() {
    errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
    return errors_;
}
