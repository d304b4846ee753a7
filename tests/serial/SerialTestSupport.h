#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A pseudo-terminal pair: the component opens the slave by path, the test plays the
// far end of the line on the master.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool Valid() const { return master_ >= 0; }
    const QString& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    void CloseMaster();

    bool Write(const QByteArray& bytes);
    // Reads until `count` bytes have come or `timeoutMs` has passed.
    QByteArray Read(int count, int timeoutMs = 5000);
    // What can be read right now, without waiting.
    QByteArray ReadAvailable();

private:
    int master_ = -1;
    QString slavePath_;
};

// Makes sure a QCoreApplication exists, so posted events can be delivered.
void EnsureCoreApplication();

// Runs the event loop until `done` holds or `timeoutMs` has passed; true when it holds.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Threads of this process right now.
int ThreadCount();

// The receive rate the driver keeps for the line on `fd` (its kernel record), or 0.
quint32 DriverInputRate(int fd);

// CPU time this process has used, in milliseconds.
double ProcessCpuMs();
