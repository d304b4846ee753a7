#pragma once

#include "CustomBaud.h"
#include "SerialDevice.h"

#include <mutex>
#include <termios.h>

// The terminal settings for a line, built from the component's settings on top of
// what the device reported. A rate without a B-constant is carried in customBaud; the
// speed fields then keep what the device had, and the line is set in one request
// together with that rate (SetLineAtCustomRate).
struct TermiosPlan {
    termios tio{};
    quint32 customBaud = 0;
};

// B-constant for a standard rate, or B0 when the rate has none.
speed_t StandardBaudConstant(quint32 rate);

// Raw 8-bit transfer with the framing, flow control and error handling of
// `settings`. Linux has no counterpart for DSR output flow, DSR sensitivity,
// continue-on-XOFF or the XON/XOFF limits (the driver keeps fixed thresholds), so
// those leave the structure alone. One and a half stop bits become two: termios knows
// only one or two, and a 16550 asked for two with 5 data bits sends 1.5 anyway.
TermiosPlan BuildTermios(const LineSettings& settings, const termios& current);

// A serial device on Linux: termios, modem ioctls, poll() with an eventfd as the
// close event.
class PosixSerialDevice : public SerialDevice {
public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    OpenResult Open(const QString& path) override;
    int OpenError() const override { return openError_; }
    bool IsOpen() const override { return fd_ >= 0; }
    bool CreateCloseEvent() override;
    void SignalClose() override;
    void Close() override;

    bool ConfigureLine(const LineSettings& settings) override;
    std::optional<quint32> LineRate() override;
    bool ConfigureTimeouts(const CommTimeouts& timeouts) override;
    CommTimeouts Timeouts() const override;

    Wait WaitReadable(int timeoutMs) override;
    Wait WaitWritable(int timeoutMs) override;
    Wait WaitClosed(int timeoutMs) override;
    Io Read(char* buffer, std::size_t capacity) override;
    Io Write(const char* bytes, std::size_t count) override;

    std::optional<quint32> ModemStatus() override;
    std::optional<LineCounters> Counters() override;
    void Purge(bool receive, bool transmit) override;

    // The structure last handed to tcsetattr. A pseudo-terminal forces 8 data bits
    // without parity, so this is where framing settings can be seen.
    TermiosPlan LastBuiltTermios() const;
    int Handle() const { return fd_; }

protected:
    // Hands the line to the driver in one request: `tio` as it is, or at `customRate`
    // when that is not 0. The seam where tests stand in for a driver that refuses rates.
    virtual bool SubmitLine(const termios& tio, quint32 customRate);

private:
    Wait WaitFor(short events, int timeoutMs);
    void SetModemOutputs(const LineSettings& settings);

    int fd_ = -1;
    int closeFd_ = -1;
    int openError_ = 0;
    bool rs485Enabled_ = false; // RS-485 direction control was switched on by us
    mutable std::mutex mutex_;  // guards timeouts_ and built_
    CommTimeouts timeouts_;
    TermiosPlan built_;
};
