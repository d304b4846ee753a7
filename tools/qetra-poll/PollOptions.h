#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "MeterSearch.h"

#include <optional>

// What qetra-poll was asked to do.
struct PollOptions {
    QString port; // a COM name or a device path
    // Instead of a serial port: a converter on the network, its host and TCP port, and how
    // it carries the frames (--tcp: Modbus TCP; --rtu-over-tcp: the RTU bytes as they are).
    QString tcpHost;
    quint16 tcpPort = 502;
    bool rtuOverTcp = false;
    quint32 baud = 9600;
    int address = 1;        // slave address put in front of every message
    quint32 interval = 200; // QueryInterval, ms
    quint32 timeout = 3000; // QueryTimeout, ms
    int passes = 1;
    bool json = false;
    bool trace = false;
    // The metering data log: one CSV line per good reply of block 0x130, as the program
    // writes it; empty = none.
    QString csvFile;
    QList<QByteArray> messages; // with the address already in front
    // Polling several meters of the line (--addresses): every message goes to each of them
    // in turn, a round per pass; meters that stop answering are asked less often. Empty:
    // --addr alone.
    QList<int> pollAddresses;
    // After the line is lost: how long to wait for its device to come back, seconds.
    int waitBack = 5;

    // Instead of polling: read every block of a commissioning report once and write the
    // report to this PDF file; with what the technician says about the site.
    QString reportFile;
    QString site, feeder, technician, notes;
    bool letterPaper = false;

    // Instead of polling: list the serial ports, or search the port for meters.
    bool listPorts = false;
    bool scan = false;
    SearchPlan scanPlan;

    // Instead of polling: save the meter's configuration to a file, compare it with one,
    // or put one into the meter at --addr or the meters of `configAddresses`.
    enum class ConfigAction { None, Save, Compare, Apply };
    ConfigAction configAction = ConfigAction::None;
    QString configFile;
    QList<int> configAddresses; // empty: --addr alone
    bool includeComm = false;   // also the meter's address and baud rate
    // The factory's run: files carry the coefficients, and --coefficients writes them.
    bool factory = false;
    bool writeCoefficients = false;
    QString model = QStringLiteral("QETRA 7300");
};

struct PollArguments {
    std::optional<PollOptions> options; // empty on error or for --help
    bool help = false;
    bool version = false;
    QString error; // why the arguments were refused
    QString helpText;
};

// Parses the command line (arguments()[0] is the program). Never exits the process.
PollArguments ParsePollArguments(const QStringList& arguments);

// The modes of a run exclude each other: listing the ports, a search, a report and a
// configuration command. Their options as given ("--report and --apply-config exclude each
// other ...") when more than one is set in `options`; empty when at most one is.
QString ConflictingModes(const PollOptions& options);

// "1-247", "200" -> first and last address; false when it is not a range within 1..247.
bool ParseAddressRange(const QString& text, int& first, int& last);
// "9600,2400" -> the rates; false for a rate that is not the meter's.
bool ParseRateList(const QString& text, QList<quint32>& rates);
