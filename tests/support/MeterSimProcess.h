#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The built meter-sim as a child process: started with options, its device
// read from the first line of its output, stopped with SIGTERM.
class MeterSimProcess {
public:
    explicit MeterSimProcess(
        const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~MeterSimProcess();

    bool started() const { return !device_.isEmpty(); }
    const QString& device() const { return device_; }
    // Sends SIGTERM and waits; the exit code, or -1 when it did not end normally.
    // For a process that ended by itself, its exit code.
    int stop();
    void signal(int signo);
    // Everything the simulator wrote to standard error so far.
    QString errors();
    // Waits (up to 10 s) until standard error holds `text`.
    bool waitForError(const QString& text);

private:
    QProcess process_;
    QString device_;
    QString errors_;
};
