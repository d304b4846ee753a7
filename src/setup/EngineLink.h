#pragma once

#include "ConfigTransfer.h"

#include <memory>

class RequestService;
class TqvModbus;
struct RequestOutcome;

// A configuration run's line: the program's Modbus master, one request at a time through
// its request service, each waited for in a local event loop. Either an engine of its own
// on a port (the command-line poller), or the main window's line borrowed while its poll
// is stopped: the service runs each request in a cycle of its own.
class EngineLink : public RegisterLink {
public:
    // Opens `port` at `baud`; throws what the engine throws when it cannot.
    EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs);
    // The line must be open and not polling (see CanBorrow).
    explicit EngineLink(RequestService& requests);
    ~EngineLink() override;

    // An open line with no poll cycle under way.
    static bool CanBorrow(const RequestService& requests);

    std::optional<QList<quint16>> Read(int address, quint16 start, int count) override;
    bool Write(int address, const QString& message) override;
    void FollowBaudRate(quint32 baud) override;
    LinkFailure LastFailure() const override { return failure_; }
    // Requests that got any bytes back: none at all means nobody answers at this address
    // and baud rate.
    int Heard() const { return heard_; }

private:
    RequestOutcome Transact(QByteArray message, int address);

    std::unique_ptr<TqvModbus> ownEngine_;
    std::unique_ptr<RequestService> ownRequests_;
    RequestService& requests_;
    LinkFailure failure_;
    int heard_ = 0;
};
