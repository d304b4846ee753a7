#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The built meter-sim as a child process: started with options, its device
// read from the first line of its output, stopped with SIGTERM.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments, const QProcessEnvironment& environment =
                                                          QProcessEnvironment::systemEnvironment());
    ~SimProcess();

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

// A minimal master on the simulator's line: raw 8N1 at a chosen baud rate.
class LineClient {
public:
    LineClient(const QString& path, int baud);
    // Takes over an open descriptor as it is (the master side of a pseudo-terminal).
    explicit LineClient(int fd) : fd_(fd) {}
    ~LineClient();
    bool isOpen() const { return fd_ >= 0; }
    void setBaud(int baud);
    // Sends `frame` and collects the answer: waits up to `timeoutMs` for the first
    // byte, then reads until the line has been quiet for `quietMs`.
    Bytes transact(const Bytes& frame, int timeoutMs = 1000, int quietMs = 50);
    void send(const Bytes& bytes);

private:
    int fd_ = -1;
};

Bytes WithCrc(Bytes body);
// A read (functions 01..04) or a single write (05, 06) of the usual 8-byte form.
Bytes Request(std::uint8_t address, std::uint8_t function, std::uint16_t a, std::uint16_t b);
Bytes WriteRegisters(std::uint8_t address, std::uint16_t start,
                     const std::vector<std::uint16_t>& values);
// Registers of a function 03 reply.
std::vector<std::uint16_t> Registers(const Bytes& reply);
