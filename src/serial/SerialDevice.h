#pragma once

#include "CommTypes.h"

#include <QString>
#include <cstddef>
#include <optional>

// Running totals the driver keeps for one line: modem line transitions and receive
// errors. Differences between two samples tell what happened in between.
struct LineCounters {
    int cts = 0, dsr = 0, ring = 0, carrier = 0;
    int frame = 0, overrun = 0, parity = 0, brk = 0, bufferOverrun = 0;
};

// The narrow view of one serial device that the component and its two workers use.
// One thread configures and closes it; the reader and the writer may wait, read and
// write concurrently with each other and with configuration calls.
class SerialDevice {
public:
    enum class OpenResult { Ok, CannotOpen, NotCharDevice, NotTerminal };
    enum class Wait { Ready, Closed, TimedOut, Hangup };
    // Outcome of one read or write: bytes moved (> 0), or why none were.
    struct Io {
        enum class Status { Done, WouldBlock, EndOfFile, Failed };
        Status status = Status::Failed;
        std::size_t bytes = 0;
        int error = 0; // errno of a failure
    };

    virtual ~SerialDevice() = default;

    virtual OpenResult Open(const QString& path) = 0;
    // errno of the last Open that gave CannotOpen (EBUSY when another program holds the
    // port); 0 when unknown.
    virtual int OpenError() const { return 0; }
    virtual bool IsOpen() const = 0;
    // The close event that every wait below also watches. Created after the device is
    // configured; signalling it makes every current and later wait return Closed.
    virtual bool CreateCloseEvent() = 0;
    virtual void SignalClose() = 0;
    virtual void Close() = 0;

    // False when the driver refused the settings. A driver may also take a rate it
    // cannot make and settle on another one without complaint: LineRate() tells.
    virtual bool ConfigureLine(const LineSettings& settings) = 0;
    // The rate the driver says the line runs at (bit/s), or nothing when it cannot tell.
    virtual std::optional<quint32> LineRate() = 0;
    virtual bool ConfigureTimeouts(const CommTimeouts& timeouts) = 0;
    virtual CommTimeouts Timeouts() const = 0; // safe from any thread

    // Waits up to timeoutMs (-1 = without limit) until bytes can be read / written.
    virtual Wait WaitReadable(int timeoutMs) = 0;
    virtual Wait WaitWritable(int timeoutMs) = 0;
    // Waits only for the close event.
    virtual Wait WaitClosed(int timeoutMs) = 0;
    virtual Io Read(char* buffer, std::size_t capacity) = 0;
    virtual Io Write(const char* bytes, std::size_t count) = 0;

    // ModemStatusBits of the input lines, or nothing when the driver cannot tell.
    virtual std::optional<quint32> ModemStatus() = 0;
    // The driver's line counters, or nothing when it keeps none.
    virtual std::optional<LineCounters> Counters() = 0;
    // Drops what is waiting in the receive and/or transmit queue of the driver.
    virtual void Purge(bool receive, bool transmit) = 0;
};
