#pragma once

// qetra-poll run as a process by the tests of the tools (the target defines
// QETRA_POLL_PATH): its exit status and both outputs.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct PollRun {
    int exitCode = -1; // -1: it crashed or did not end within 30 s
    QByteArray out, err;
};

inline PollRun RunPoll(const QStringList& arguments,
                       const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QETRA_POLL_PATH), arguments);
    PollRun r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
