#include "PollOptions.h"

#include "AddressList.h"

#include "ConfigTransfer.h"
#include "MessageCheck.h"
#include "MessageText.h"
#include "NetworkModbusPort.h"
#include "PosixSerialDevice.h"

#include <QCommandLineParser>

#include <limits>

namespace {

const char* const kDescription =
    R"(Polls a Modbus RTU meter over a serial line with the program's own master.

Each MESSAGE is a request as the program writes it: two hex digits per byte separated by
commas, the slave address first and two CRC placeholders last, for example
"00,03,01,30,00,36,00,00". The first byte is replaced by --addr and the CRC is filled in.
The messages are sent in turn, --passes times over.

For every transaction it prints the bytes sent and received in hex, the outcome code
(0 reply accepted, 1 too few bytes / no reply, 2 no matching frame or CRC error, 3 reply
fields disagree with the request) and the reply event with its arguments.

--json prints one JSON object per line and transaction on standard output:
  {"n":1,"tx":"010301300036c42f","rx":"01036c...","code":0,"event":"OnF03Response",
   "slave":1,"start":304,"values":[...]}
with "dest" and "value" for single-coil writes, "count" for register writes, and
"event":"OnResponseError" for a failed transaction. The summary of the counters goes to
standard error in --json mode and to standard output otherwise.

When the line is lost (adapter unplugged, the other end closed) the poller says so on
standard error, waits up to --wait-back seconds for the device to come back under the same
name (a /dev/serial/by-id name or a COM link keeps it), and goes on when it does. Only the
device that was lost is taken back: another adapter, or a terminal another program was given
since, under the same name is named and left alone until the COM link is set again.

--list-ports lists the serial devices present and the COM links of the program in the
order of the program's port list: adapters by their by-id name, other USB serial devices,
COM links, on-board ports.
--scan searches --port for meters: every address (--scan-addresses, default 1-247) at
every baud rate of the meter (--scan-rates, default 9600,38400,19200,4800,2400,1200,600)
with a read of the model block; each meter found is printed with its address, baud rate
and version, progress goes to standard error.
--report FILE.pdf reads every block of a commissioning report once (a block that does not
answer is asked again once) and writes the report; it exits 3 when a block did not answer
(the report then says "not read" in its place), 1 when the meter did not answer at all or
the PDF could not be written (a report that was there is kept), 2 for a site, feeder,
technician or notes the program's form would refuse.

--save-config FILE reads the configuration of the meter at --addr (settings 0x100, alarms
0x330, version 0x510) and saves it as a .qmeter.json file. --compare-config FILE reads it
and prints each setting that differs from the file on standard output. --apply-config FILE
checks the whole file, then writes settings and alarms into the meter at --addr (or each
meter of --addresses, e.g. "1-20,25"), settings first, reads every register back and prints
one line per meter: verified, differs (naming the registers), refused (an exception reply),
no answer, or other kind (another model than --model, or another firmware family). A meter
not verified gets back what it held before, and the line says whether it does. The meter
keeps its address and baud rate unless --include-comm (written last; the line says where the
meter answers), which a list of addresses never takes. With --factory, files carry the
calibration coefficients as well; they are written only with --factory --coefficients.
Only a regular file of at most 1 MiB is read; a save replaces the file that was there only
once the whole new one is on disk.

Exit status of --save-config: 0 saved, 1 no answer or the file could not be written;
--compare-config: 0 equal, 1 different, 2 error (bad file, no answer); --apply-config: 0
when every meter verified, 1 otherwise, 2 for a bad file (nothing is written).

Exit status: 0 when every transaction was accepted (for --scan: a meter was found), 1 when
any failed, the port could not be opened or the line did not come back (for --scan: none
found), 2 for bad arguments (--list-ports, --scan, --report and a configuration command
exclude each other), 130 or 143 when stopped by SIGINT or SIGTERM (after the summary).)";

std::optional<quint32> ParseNumber(const QString& text, quint32 max) {
    bool ok = false;
    const qulonglong number = text.startsWith("0x", Qt::CaseInsensitive)
                                  ? text.mid(2).toULongLong(&ok, 16)
                                  : text.toULongLong(&ok, 10);
    if (!ok || number > max)
        return std::nullopt;
    return quint32(number);
}

// When an option counts. The kind of run (port list, search, report, configuration
// command or poll) decides which stages are read at all; within a stage the options are
// checked in the order of the table, and the first refusal is the one reported.
enum class Stage {
    Command,      // --help and --version, taken before anything else
    ListPorts,    // the port list, which needs nothing more
    Port,         // the line every other run talks to
    Scan,         // the search for meters
    ScanPlan,     // where and how fast it searches
    Line,         // how the line is polled: poll, report and configuration commands
    Report,       // the commissioning report
    ReportPage,   // what the report says about the site, and its paper
    Config,       // the configuration command
    ConfigDetail, // the meters it writes and what it takes besides the settings
    Model,        // the meter model: report and configuration commands
};

// What an option sets: it gets the option's value (its default when the option was not
// given) and whether it was given, and returns why the value was refused, or nothing.
using OptionSetter = QString (*)(const QString& value, bool given, PollOptions& options);

struct OptionRow {
    Stage stage;
    const char* names;     // separated by commas, the short one first
    const char* valueName; // nullptr: a switch
    const char* defaultValue;
    OptionSetter set; // nullptr: taken before the run is read
    const char* help;
};

template <bool PollOptions::*field>
QString SetSwitch(const QString&, bool given, PollOptions& options) {
    options.*field = given;
    return {};
}

template <QString PollOptions::*field>
QString SetText(const QString& value, bool, PollOptions& options) {
    options.*field = value;
    return {};
}

// One of the three configuration commands; they exclude each other.
template <PollOptions::ConfigAction action>
QString SetConfigAction(const QString& file, bool given, PollOptions& options) {
    if (!given)
        return {};
    if (options.configAction != PollOptions::ConfigAction::None)
        return "--save-config, --compare-config and --apply-config exclude each other";
    options.configAction = action;
    options.configFile = file;
    return {};
}

// Milliseconds of --interval and --timeout, at most one hour.
template <quint32 PollOptions::*field>
QString SetWaitMs(const QString& value, bool, PollOptions& options) {
    const auto ms = ParseNumber(value, 3600000);
    if (!ms)
        return "bad --interval or --timeout (milliseconds, at most one hour)";
    options.*field = *ms;
    return {};
}

QString SetBaud(const QString& value, bool, PollOptions& options) {
    const auto baud = ParseNumber(value, 4000000);
    // Only the rates the terminal driver knows by name: a rate such as 1 would be set
    // through the arbitrary-rate request, and no line carries it.
    if (!baud || StandardBaudConstant(*baud) == B0 || *baud < 50)
        return "bad --baud (a standard rate such as 9600): " + value;
    options.baud = *baud;
    return {};
}

QString SetAddress(const QString& value, bool, PollOptions& options) {
    const auto address = ParseNumber(value, 247);
    if (!address)
        return "bad --addr (0..247): " + value;
    options.address = int(*address);
    return {};
}

QString SetPasses(const QString& value, bool, PollOptions& options) {
    const auto passes = ParseNumber(value, 100000000);
    if (!passes || *passes == 0)
        return "bad --passes: " + value;
    options.passes = int(*passes);
    return {};
}

QString SetWaitBack(const QString& value, bool, PollOptions& options) {
    const auto seconds = ParseNumber(value, 86400);
    if (!seconds)
        return "bad --wait-back (seconds, at most a day): " + value;
    options.waitBack = int(*seconds);
    return {};
}

QString SetCsvFile(const QString& value, bool given, PollOptions& options) {
    options.csvFile = value;
    return given && value.isEmpty() ? QString("--csv needs a file name") : QString();
}

QString SetScanAddresses(const QString& value, bool, PollOptions& options) {
    if (!ParseAddressRange(value, options.scanPlan.firstAddress, options.scanPlan.lastAddress))
        return "bad --scan-addresses (FIRST-LAST within 1-247): " + value;
    return {};
}

QString SetScanRates(const QString& value, bool, PollOptions& options) {
    if (!ParseRateList(value, options.scanPlan.rates))
        return "bad --scan-rates (rates of the meter: 600 1200 2400 4800 9600 19200 38400, "
               "each once): " +
               value;
    return {};
}

QString SetScanTurnaround(const QString& value, bool, PollOptions& options) {
    const auto turnaround = ParseNumber(value, 10000);
    if (!turnaround)
        return "bad --scan-turnaround (0..10000 ms): " + value;
    options.scanPlan.turnaroundMs = int(*turnaround);
    return {};
}

QString SetReportFile(const QString& value, bool given, PollOptions& options) {
    options.reportFile = value;
    return given && value.isEmpty() ? QString("--report needs a file name") : QString();
}

QString SetPaper(const QString& value, bool, PollOptions& options) {
    const QString paper = value.toLower();
    if (paper != "a4" && paper != "letter")
        return "bad --paper (a4 or letter): " + value;
    options.letterPaper = paper == "letter";
    return {};
}

QString SetModel(const QString& value, bool, PollOptions& options) {
    const QString model = value.trimmed();
    if (model != QLatin1String("7100") && model != QLatin1String("7300"))
        return "bad --model (7100 or 7300): " + model;
    options.model = QStringLiteral("QETRA ") + model;
    return {};
}

QString SetConfigAddresses(const QString& value, bool given, PollOptions& options) {
    if (!given)
        return {};
    if (options.configAction != PollOptions::ConfigAction::Apply)
        return "--addresses goes with --apply-config only";
    QString why;
    const auto addresses = ParseAddressList(value, &why);
    if (!addresses)
        return "bad --addresses: " + why;
    options.configAddresses = *addresses; // never empty
    return {};
}

QString SetIncludeComm(const QString&, bool given, PollOptions& options) {
    options.includeComm = given;
    if (given && !options.configAddresses.isEmpty())
        return "--include-comm cannot go with --addresses: a list of meters never takes one "
               "address and baud rate";
    if (given && options.configAction == PollOptions::ConfigAction::Save)
        return "--include-comm goes with --apply-config or --compare-config";
    return {};
}

QString SetWriteCoefficients(const QString&, bool given, PollOptions& options) {
    options.writeCoefficients = given;
    if (given && (!options.factory || options.configAction != PollOptions::ConfigAction::Apply))
        return "--coefficients goes with --factory --apply-config only";
    return {};
}

// A converter on the network: --tcp HOST[:PORT] (502 by default), --rtu-over-tcp HOST:PORT.
template <bool rtuOverTcp>
QString SetNetwork(const QString& value, bool given, PollOptions& options) {
    if (!given)
        return {};
    const char* name = rtuOverTcp ? "--rtu-over-tcp" : "--tcp";
    if (!options.tcpHost.isEmpty())
        return "--tcp and --rtu-over-tcp exclude each other";
    QString host;
    quint16 port = 0;
    if (!NetworkModbusPort::SplitHostPort(value, rtuOverTcp ? 0 : 502, host, port))
        return QStringLiteral("%1: \"%2\" is not HOST%3 with a port 1-65535")
            .arg(name, value, rtuOverTcp ? ":PORT" : "[:PORT]");
    options.tcpHost = host;
    options.tcpPort = port;
    options.rtuOverTcp = rtuOverTcp;
    return {};
}

using Config = PollOptions::ConfigAction;

// The options, in the order --help lists them.
const OptionRow kOptions[] = {
    {Stage::Command, "h,help", nullptr, nullptr, nullptr, "Show this help."},
    {Stage::Command, "version", nullptr, nullptr, nullptr, "Show the version and the Qt version."},
    {Stage::Port, "port", "port", nullptr, SetText<&PollOptions::port>,
     "Serial port: COMn or a device path (this, --tcp or --rtu-over-tcp is required)."},
    {Stage::Port, "tcp", "host[:port]", nullptr, SetNetwork<false>,
     "A Modbus TCP gateway in front of the meter (TCP port 502 by default); --addr is the "
     "unit identifier."},
    {Stage::Port, "rtu-over-tcp", "host:port", nullptr, SetNetwork<true>,
     "A serial server that carries the RTU bytes, CRC and all, in a TCP stream."},
    {Stage::Line, "baud", "rate", "9600", SetBaud, "Baud rate (default 9600)."},
    {Stage::Line, "addr", "address", "1", SetAddress,
     "Slave address 0..247, decimal or 0x hex (default 1)."},
    {Stage::Line, "interval", "ms", "200", SetWaitMs<&PollOptions::interval>,
     "Earliest evaluation of a reply after the request, ms (default 200)."},
    {Stage::Line, "timeout", "ms", "3000", SetWaitMs<&PollOptions::timeout>,
     "With the interval, the longest wait for a reply, ms (default 3000)."},
    {Stage::Line, "passes", "n", "1", SetPasses, "Times to send the list of messages (default 1)."},
    {Stage::Line, "json", nullptr, nullptr, SetSwitch<&PollOptions::json>,
     "One JSON object per transaction and line."},
    {Stage::Line, "trace", nullptr, nullptr, SetSwitch<&PollOptions::trace>,
     "Hex trace of the line on standard error."},
    {Stage::Line, "wait-back", "seconds", "5", SetWaitBack,
     "After the line is lost, wait this long for it to come back (default 5)."},
    {Stage::ListPorts, "list-ports", nullptr, nullptr, SetSwitch<&PollOptions::listPorts>,
     "List the serial ports and COM names."},
    {Stage::Scan, "scan", nullptr, nullptr, SetSwitch<&PollOptions::scan>,
     "Search --port for meters."},
    {Stage::ScanPlan, "scan-addresses", "range", "1-247", SetScanAddresses,
     "Addresses to search, FIRST-LAST (default 1-247)."},
    {Stage::ScanPlan, "scan-rates", "rates", "9600,38400,19200,4800,2400,1200,600", SetScanRates,
     "Baud rates to search, in this order (default 9600,38400,...,600)."},
    {Stage::ScanPlan, "scan-turnaround", "ms", "50", SetScanTurnaround,
     "Time the meter may take to start its reply, ms (default 50)."},
    {Stage::Line, "csv", "file", nullptr, SetCsvFile,
     "Append one CSV line per good reply of block 0x130 (54 registers) to FILE, as the "
     "program's \"Log to file\" writes it; a read of block 0x100 in the list scales it by "
     "the meter's PT and CT ratios, a read of 0x518 adds the temperature."},
    {Stage::Config, "save-config", "file", nullptr, SetConfigAction<Config::Save>,
     "Save the meter's configuration to FILE (.qmeter.json)."},
    {Stage::Config, "compare-config", "file", nullptr, SetConfigAction<Config::Compare>,
     "Compare the meter's configuration with FILE."},
    {Stage::Config, "apply-config", "file", nullptr, SetConfigAction<Config::Apply>,
     "Write the configuration of FILE into the meter and verify it."},
    {Stage::ConfigDetail, "addresses", "list", nullptr, SetConfigAddresses,
     "With --apply-config: the meters to write, e.g. 1-20,25. When polling: the meters of the "
     "line asked in turn, each with every message, a round per pass; one that leaves three "
     "requests in a row unanswered is asked only every eighth round until it answers."},
    {Stage::ConfigDetail, "include-comm", nullptr, nullptr, SetIncludeComm,
     "With --apply-config or --compare-config: the address and baud rate too."},
    {Stage::Model, "model", "model", "7300", SetModel,
     "The meter model, 7100 or 7300 (default 7300): recorded by --save-config, required of a "
     "file by --apply-config."},
    {Stage::ConfigDetail, "factory", nullptr, nullptr, SetSwitch<&PollOptions::factory>,
     "The factory's run: --save-config and --compare-config take the meter's calibration "
     "coefficients too; --apply-config may write them."},
    {Stage::ConfigDetail, "coefficients", nullptr, nullptr, SetWriteCoefficients,
     "With --factory --apply-config: write the file's coefficients too."},
    {Stage::Report, "report", "file", nullptr, SetReportFile,
     "Read every block of a commissioning report once and write the report to FILE (PDF); "
     "takes no message. The interval defaults to 0 here: each reply is taken as soon as it "
     "is complete."},
    {Stage::ReportPage, "site", "text", nullptr, SetText<&PollOptions::site>, "The report's site."},
    {Stage::ReportPage, "feeder", "text", nullptr, SetText<&PollOptions::feeder>,
     "The report's feeder or panel."},
    {Stage::ReportPage, "technician", "text", nullptr, SetText<&PollOptions::technician>,
     "The report's technician."},
    {Stage::ReportPage, "notes", "text", nullptr, SetText<&PollOptions::notes>,
     "The report's notes."},
    {Stage::ReportPage, "paper", "size", "a4", SetPaper,
     "The report's paper: a4 or letter (default a4)."},
};

// The name the parser knows the option by: its long one.
QString OptionName(const OptionRow& row) {
    return QString::fromLatin1(row.names).section(QLatin1Char(','), -1);
}

// Reads the options of the given stages, in turn; returns the first refusal.
QString ReadStages(const QCommandLineParser& parser, std::initializer_list<Stage> stages,
                   PollOptions& options) {
    for (const Stage stage : stages) {
        for (const OptionRow& row : kOptions) {
            if (row.stage != stage || !row.set)
                continue;
            const QString name = OptionName(row);
            const QString value = row.valueName ? parser.value(name) : QString();
            if (QString refusal = row.set(value, parser.isSet(name), options); !refusal.isEmpty())
                return refusal;
        }
    }
    return {};
}

QString ReadScan(const QCommandLineParser& parser, PollOptions& options) {
    if (QString refusal = ReadStages(parser, {Stage::ScanPlan}, options); !refusal.isEmpty())
        return refusal;
    if (!parser.positionalArguments().isEmpty())
        return "--scan takes no message";
    return {};
}

QString ReadReport(const QCommandLineParser& parser, PollOptions& options) {
    if (!parser.positionalArguments().isEmpty())
        return "--report takes no message";
    if (QString refusal = ReadStages(parser, {Stage::ReportPage, Stage::Model}, options);
        !refusal.isEmpty())
        return refusal;
    if (!parser.isSet(QStringLiteral("interval")))
        options.interval = 0;
    return {};
}

QString ReadConfig(const QCommandLineParser& parser, PollOptions& options) {
    if (options.configFile.isEmpty())
        return "the configuration command needs a file name";
    if (!parser.positionalArguments().isEmpty())
        return "a configuration command takes no message";
    if (options.address == 0)
        return "a configuration command needs the meter's own address (1..247)";
    return ReadStages(parser, {Stage::ConfigDetail, Stage::Model}, options);
}

QString ReadMessages(const QCommandLineParser& parser, PollOptions& options) {
    const QStringList messages = parser.positionalArguments();
    if (messages.isEmpty())
        return "no message given";
    if (parser.isSet(QStringLiteral("addresses"))) {
        const AddressList list = AddressList::Read(parser.value(QStringLiteral("addresses")));
        if (const QString problem = list.Problem(); !problem.isEmpty())
            return "bad --addresses: " + problem;
        options.pollAddresses = list.addresses;
        // The data log has no address column: the rows of several meters, each scaled by
        // the last ratios read of any of them, could not be told apart.
        if (!options.csvFile.isEmpty())
            return "--csv cannot go with --addresses: the data log holds one meter";
    }
    for (const QString& text : messages) {
        // The program itself would send nothing, or something else, for a faulty message;
        // here it is a mistake on the command line, so say so before anything is sent.
        if (const QString problem = MessageProblem(text.toLatin1()); !problem.isEmpty())
            return "invalid message string \"" + text + "\": " + problem;
        options.messages << WithSlaveAddress(text, options.address).toLatin1();
    }
    // The run is counted in transactions; a count past int would wrap round.
    if (qint64(options.passes) * options.messages.size() *
            std::max<qsizetype>(1, options.pollAddresses.size()) >
        std::numeric_limits<int>::max())
        return QString("bad --passes: %1 passes of %2 messages are too many transactions")
            .arg(options.passes)
            .arg(options.messages.size());
    return {};
}

// Reads what the kind of run the command line asks for needs; returns why it was refused.
QString ReadRun(const QCommandLineParser& parser, PollOptions& options) {
    // The kinds of run first: they exclude each other, whatever else the line says.
    if (QString refusal = ReadStages(
            parser, {Stage::ListPorts, Stage::Scan, Stage::Report, Stage::Config}, options);
        !refusal.isEmpty())
        return refusal;
    if (QString conflict = ConflictingModes(options); !conflict.isEmpty())
        return conflict;
    if (options.listPorts)
        return {};
    if (QString refusal = ReadStages(parser, {Stage::Port}, options); !refusal.isEmpty())
        return refusal;
    if (options.port.isEmpty() && options.tcpHost.isEmpty())
        return "--port, --tcp or --rtu-over-tcp is required";
    if (!options.port.isEmpty() && !options.tcpHost.isEmpty())
        return "--port and --tcp/--rtu-over-tcp exclude each other";
    // The search, the report and the configuration commands reach the meter through a
    // serial port only, so far.
    if (!options.tcpHost.isEmpty() && (options.scan || !options.reportFile.isEmpty() ||
                                       options.configAction != PollOptions::ConfigAction::None))
        return "--tcp and --rtu-over-tcp poll only; --scan, --report and the configuration "
               "commands need --port";
    if (options.scan)
        return ReadScan(parser, options);
    if (QString refusal = ReadStages(parser, {Stage::Line}, options); !refusal.isEmpty())
        return refusal;
    if (!options.reportFile.isEmpty())
        return ReadReport(parser, options);
    if (options.configAction != PollOptions::ConfigAction::None)
        return ReadConfig(parser, options);
    return ReadMessages(parser, options);
}

} // namespace

bool ParseAddressRange(const QString& text, int& first, int& last) {
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    const auto firstNumber = ParseNumber(parts.first().trimmed(), 247);
    const auto lastNumber = ParseNumber(parts.last().trimmed(), 247);
    if (!firstNumber || !lastNumber || *firstNumber < 1 || *lastNumber < *firstNumber)
        return false;
    first = int(*firstNumber);
    last = int(*lastNumber);
    return true;
}

bool ParseRateList(const QString& text, QList<quint32>& rates) {
    rates.clear();
    for (const QString& part : text.split(QLatin1Char(','))) {
        const auto rate = ParseNumber(part.trimmed(), 38400);
        if (!rate || !MeterBaudRates().contains(*rate) || rates.contains(*rate))
            return false;
        rates << *rate;
    }
    return !rates.isEmpty();
}

QString ConflictingModes(const PollOptions& o) {
    QStringList given;
    if (o.listPorts)
        given << "--list-ports";
    if (o.scan)
        given << "--scan";
    if (!o.reportFile.isEmpty())
        given << "--report";
    switch (o.configAction) {
    case PollOptions::ConfigAction::Save:
        given << "--save-config";
        break;
    case PollOptions::ConfigAction::Compare:
        given << "--compare-config";
        break;
    case PollOptions::ConfigAction::Apply:
        given << "--apply-config";
        break;
    case PollOptions::ConfigAction::None:
        break;
    }
    if (given.size() < 2)
        return {};
    const QString last = given.takeLast();
    return given.join(", ") + " and " + last +
           " exclude each other: a run does one of them, nothing was done";
}

PollArguments ParsePollArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    for (const OptionRow& row : kOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(row.names).split(QLatin1Char(',')),
                                            row.help, row.valueName, row.defaultValue));
    parser.addPositionalArgument("message", "Request message strings, sent in turn.", "MESSAGE...");

    PollArguments result;
    result.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    result.help = parser.isSet(QStringLiteral("help"));
    result.version = !result.help && parser.isSet(QStringLiteral("version"));
    if (result.help || result.version)
        return result;
    PollOptions options;
    result.error = ReadRun(parser, options);
    if (result.error.isEmpty())
        result.options = options;
    return result;
}
