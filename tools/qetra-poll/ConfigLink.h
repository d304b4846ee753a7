#pragma once

#include "ConfigTransfer.h"

#include <memory>

class TqvModbus;

// The configuration commands' line: the program's Modbus master on one port, one request
// at a time, each waited for in a local event loop.
class EngineLink : public RegisterLink {
public:
    // Opens `port` at `baud`; throws what the engine throws when it cannot.
    EngineLink(const QString& port, quint32 baud, quint32 intervalMs, quint32 timeoutMs);
    ~EngineLink() override;

    std::optional<QList<quint16>> Read(int address, quint16 start, int count) override;
    bool Write(int address, const QString& message) override;
    void FollowBaudRate(quint32 baud) override;

private:
    struct Reply {
        bool answered = false;
        quint16 start = 0;
        QList<quint16> values;
    };
    Reply Transact(const QByteArray& message);

    std::unique_ptr<TqvModbus> engine_;
};
