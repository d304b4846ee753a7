#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The built meter-sim as a child process: started with options, its device
// read from the first line of its output, stopped with SIGTERM. A COM name it is given
// goes into the folder of port links the environment names, or else into a folder of its
// own: never into the user's, where another test or program could find it.
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
    std::unique_ptr<QTemporaryDir> ports_;
    QProcess process_;
    QString device_;
    QString errors_;
};
