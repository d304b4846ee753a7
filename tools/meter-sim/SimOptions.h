#pragma once

#include "FaultInjector.h"
#include "MeterModel.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct SimOptions {
    QString link;   // symbolic link to the served device
    QString port;   // COMn name to register the device under
    QString device; // serve this serial device instead of a new pseudo-terminal
    // Serve on this TCP port of 127.0.0.1 instead (0: a free one, printed at start), as a
    // Modbus TCP gateway in front of the meters or, with rtuOverTcp, as a serial server
    // that carries the RTU bytes unchanged. -1: not on the network.
    int tcpPort = -1;
    bool rtuOverTcp = false;
    bool verbose = false;
    int delayMs = 0;
    bool wireTime = false;
    MeterConfig meter;
    // Further meters on the same line, configured like `meter` but for their address.
    QList<int> moreAddresses;
    // Meters of the line that are dead: they hear nothing and answer nothing.
    QList<int> silentAddresses;
    FaultSettings faults;
    // Register blocks (by start address) whose reads go unanswered.
    std::vector<std::uint16_t> silentBlocks;
    // Register blocks whose first reads go unanswered.
    std::vector<ScriptedDrop> droppedReads;
    // Reads or writes the meter refuses.
    std::vector<Refusal> refusals;
};

enum class OptionsResult { Run, Help, Version, Error };

// Parses the command line (program name first). For Help, `message` is the
// help text; for Error, the reason; Version leaves it alone.
OptionsResult ParseSimOptions(const QStringList& arguments, SimOptions& out, QString& message);
