#pragma once

#include "MeterSimProcess.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

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
    // Sends `frame` and collects the answer until `complete` says it is whole, or until
    // `timeoutMs` have passed since the request: no pause between the pieces of a reply
    // cuts it short, however slowly the meter's process is scheduled.
    Bytes transactUntil(const Bytes& frame, int timeoutMs,
                        const std::function<bool(const Bytes&)>& complete);
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
