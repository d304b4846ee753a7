#pragma once

#include "ConfigTransfer.h"

#include <memory>

class TqvModbus;

// A configuration run's line: the program's Modbus master, one request at a time, each
// waited for in a local event loop. Either an engine of its own on a port (the
// command-line poller), or the main window's engine borrowed while its poll is stopped:
// the engine's own handlers are put back after every request.
class EngineLink : public RegisterLink {
public:
    // Opens `port` at `baud`; throws what the engine throws when it cannot.
    EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs);
    // The engine must be open and not polling (see CanBorrow).
    explicit EngineLink(TqvModbus& engine);
    ~EngineLink() override;

    // An open engine with no poll cycle under way.
    static bool CanBorrow(const TqvModbus& engine);

    std::optional<QList<quint16>> Read(int address, quint16 start, int count) override;
    bool Write(int address, const QString& message) override;
    void FollowBaudRate(quint32 baud) override;
    LinkFailure LastFailure() const override { return failure_; }
    // Requests that got any bytes back: none at all means nobody answers at this address
    // and baud rate.
    int Heard() const { return heard_; }

private:
    struct Reply {
        bool answered = false;
        quint16 start = 0;
        QList<quint16> values;
    };
    Reply Transact(QByteArray message, int address);

    std::unique_ptr<TqvModbus> own_;
    TqvModbus& engine_;
    LinkFailure failure_;
    int heard_ = 0;
};
