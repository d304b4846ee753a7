#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A meter-sim child process serving one pseudo-terminal. The simulator prints the
// device it serves on its first line of output; Stop() ends it with SIGTERM so that
// it removes what it created.
class MeterSimProcess {
public:
    MeterSimProcess() = default;
    ~MeterSimProcess();
    MeterSimProcess(const MeterSimProcess&) = delete;
    MeterSimProcess& operator=(const MeterSimProcess&) = delete;

    // Starts `program` with `args` and waits (at most timeoutMs) for the device line.
    bool Start(const QString& program, const QStringList& args, int timeoutMs, QString* error);
    QString Device() const { return device_; }
    // Stops the simulator; returns what it wrote on standard error (its counters).
    QString Stop();

private:
    QProcess process_;
    QString device_;
};
