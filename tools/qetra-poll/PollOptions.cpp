#include "PollOptions.h"

#include "ConfigTransfer.h"
#include "MessageCheck.h"
#include "MessageText.h"
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
    const qulonglong v = text.startsWith("0x", Qt::CaseInsensitive)
                             ? text.mid(2).toULongLong(&ok, 16)
                             : text.toULongLong(&ok, 10);
    if (!ok || v > max)
        return std::nullopt;
    return quint32(v);
}

} // namespace

bool ParseAddressRange(const QString& text, int& first, int& last) {
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.isEmpty() || parts.size() > 2)
        return false;
    const auto a = ParseNumber(parts.first().trimmed(), 247);
    const auto b = ParseNumber(parts.last().trimmed(), 247);
    if (!a || !b || *a < 1 || *b < *a)
        return false;
    first = int(*a);
    last = int(*b);
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
    const QCommandLineOption helpOption({"h", "help"}, "Show this help.");
    const QCommandLineOption versionOption("version", "Show the version and the Qt version.");
    const QCommandLineOption portOption("port", "Serial port: COMn or a device path (required).",
                                        "port");
    const QCommandLineOption baudOption("baud", "Baud rate (default 9600).", "rate", "9600");
    const QCommandLineOption addrOption(
        "addr", "Slave address 0..247, decimal or 0x hex (default 1).", "address", "1");
    const QCommandLineOption intervalOption(
        "interval", "Earliest evaluation of a reply after the request, ms (default 200).", "ms",
        "200");
    const QCommandLineOption timeoutOption(
        "timeout", "With the interval, the longest wait for a reply, ms (default 3000).", "ms",
        "3000");
    const QCommandLineOption passesOption(
        "passes", "Times to send the list of messages (default 1).", "n", "1");
    const QCommandLineOption jsonOption("json", "One JSON object per transaction and line.");
    const QCommandLineOption traceOption("trace", "Hex trace of the line on standard error.");
    const QCommandLineOption waitBackOption(
        "wait-back", "After the line is lost, wait this long for it to come back (default 5).",
        "seconds", "5");
    const QCommandLineOption listOption("list-ports", "List the serial ports and COM names.");
    const QCommandLineOption scanOption("scan", "Search --port for meters.");
    const QCommandLineOption scanAddrOption(
        "scan-addresses", "Addresses to search, FIRST-LAST (default 1-247).", "range", "1-247");
    const QCommandLineOption scanRatesOption(
        "scan-rates", "Baud rates to search, in this order (default 9600,38400,...,600).", "rates",
        "9600,38400,19200,4800,2400,1200,600");
    const QCommandLineOption scanTurnOption(
        "scan-turnaround", "Time the meter may take to start its reply, ms (default 50).", "ms",
        "50");
    const QCommandLineOption csvOption(
        "csv",
        "Append one CSV line per good reply of block 0x130 (54 registers) to FILE, as the "
        "program's \"Log to file\" writes it; a read of block 0x100 in the list scales it by "
        "the meter's PT and CT ratios, a read of 0x518 adds the temperature.",
        "file");
    const QCommandLineOption reportOption(
        "report",
        "Read every block of a commissioning report once and write the report to FILE (PDF); "
        "takes no message. The interval defaults to 0 here: each reply is taken as soon as it "
        "is complete.",
        "file");
    const QCommandLineOption siteOption("site", "The report's site.", "text");
    const QCommandLineOption feederOption("feeder", "The report's feeder or panel.", "text");
    const QCommandLineOption technicianOption("technician", "The report's technician.", "text");
    const QCommandLineOption notesOption("notes", "The report's notes.", "text");
    const QCommandLineOption paperOption("paper", "The report's paper: a4 or letter (default a4).",
                                         "size", "a4");
    const QCommandLineOption saveConfigOption(
        "save-config", "Save the meter's configuration to FILE (.qmeter.json).", "file");
    const QCommandLineOption compareConfigOption(
        "compare-config", "Compare the meter's configuration with FILE.", "file");
    const QCommandLineOption applyConfigOption(
        "apply-config", "Write the configuration of FILE into the meter and verify it.", "file");
    const QCommandLineOption addressesOption(
        "addresses", "With --apply-config: the meters to write, e.g. 1-20,25.", "list");
    const QCommandLineOption includeCommOption(
        "include-comm", "With --apply-config or --compare-config: the address and baud rate too.");
    const QCommandLineOption factoryOption(
        "factory", "The factory's run: --save-config and --compare-config take the meter's "
                   "calibration coefficients too; --apply-config may write them.");
    const QCommandLineOption coefficientsOption(
        "coefficients", "With --factory --apply-config: write the file's coefficients too.");
    const QCommandLineOption modelOption(
        "model",
        "The meter model, 7100 or 7300 (default 7300): recorded by --save-config, required of a "
        "file by --apply-config.",
        "model", "7300");
    parser.addOptions(
        {helpOption,         versionOption,     portOption,          baudOption,
         addrOption,         intervalOption,    timeoutOption,       passesOption,
         jsonOption,         traceOption,       waitBackOption,      listOption,
         scanOption,         scanAddrOption,    scanRatesOption,     scanTurnOption,
         csvOption,          saveConfigOption,  compareConfigOption, applyConfigOption,
         addressesOption,    includeCommOption, modelOption,         factoryOption,
         coefficientsOption, reportOption,      siteOption,          feederOption,
         technicianOption,   notesOption,       paperOption});
    parser.addPositionalArgument("message", "Request message strings, sent in turn.", "MESSAGE...");

    PollArguments result;
    result.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(helpOption)) {
        result.help = true;
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.version = true;
        return result;
    }

    PollOptions o;
    o.listPorts = parser.isSet(listOption);
    o.scan = parser.isSet(scanOption);
    if (parser.isSet(reportOption))
        o.reportFile = parser.value(reportOption);
    const QList<std::pair<const QCommandLineOption*, PollOptions::ConfigAction>> actions = {
        {&saveConfigOption, PollOptions::ConfigAction::Save},
        {&compareConfigOption, PollOptions::ConfigAction::Compare},
        {&applyConfigOption, PollOptions::ConfigAction::Apply}};
    for (const auto& [option, action] : actions) {
        if (!parser.isSet(*option))
            continue;
        if (o.configAction != PollOptions::ConfigAction::None) {
            result.error = "--save-config, --compare-config and --apply-config exclude each other";
            return result;
        }
        o.configAction = action;
        o.configFile = parser.value(*option);
    }
    if (const QString conflict = ConflictingModes(o); !conflict.isEmpty()) {
        result.error = conflict;
        return result;
    }
    if (o.listPorts) {
        result.options = o;
        return result;
    }
    o.port = parser.value(portOption);
    if (o.port.isEmpty()) {
        result.error = "--port is required";
        return result;
    }
    if (o.scan) {
        const auto turnaround = ParseNumber(parser.value(scanTurnOption), 10000);
        if (!ParseAddressRange(parser.value(scanAddrOption), o.scanPlan.firstAddress,
                               o.scanPlan.lastAddress)) {
            result.error =
                "bad --scan-addresses (FIRST-LAST within 1-247): " + parser.value(scanAddrOption);
            return result;
        }
        if (!ParseRateList(parser.value(scanRatesOption), o.scanPlan.rates)) {
            result.error = "bad --scan-rates (rates of the meter: 600 1200 2400 4800 9600 19200 "
                           "38400, each once): " +
                           parser.value(scanRatesOption);
            return result;
        }
        if (!turnaround) {
            result.error = "bad --scan-turnaround (0..10000 ms): " + parser.value(scanTurnOption);
            return result;
        }
        o.scanPlan.turnaroundMs = int(*turnaround);
        if (!parser.positionalArguments().isEmpty()) {
            result.error = "--scan takes no message";
            return result;
        }
        result.options = o;
        return result;
    }
    const auto baud = ParseNumber(parser.value(baudOption), 4000000);
    const auto addr = ParseNumber(parser.value(addrOption), 247);
    const auto interval = ParseNumber(parser.value(intervalOption), 3600000);
    const auto timeout = ParseNumber(parser.value(timeoutOption), 3600000);
    const auto passes = ParseNumber(parser.value(passesOption), 100000000);
    // Only the rates the terminal driver knows by name: a rate such as 1 would be set
    // through the arbitrary-rate request, and no line carries it.
    if (!baud || StandardBaudConstant(*baud) == B0 || *baud < 50) {
        result.error = "bad --baud (a standard rate such as 9600): " + parser.value(baudOption);
        return result;
    }
    if (!addr) {
        result.error = "bad --addr (0..247): " + parser.value(addrOption);
        return result;
    }
    if (!interval || !timeout) {
        result.error = "bad --interval or --timeout (milliseconds, at most one hour)";
        return result;
    }
    if (!passes || *passes == 0) {
        result.error = "bad --passes: " + parser.value(passesOption);
        return result;
    }
    o.baud = *baud;
    o.address = int(*addr);
    o.interval = *interval;
    o.timeout = *timeout;
    o.passes = int(*passes);
    o.json = parser.isSet(jsonOption);
    o.trace = parser.isSet(traceOption);
    const auto waitBack = ParseNumber(parser.value(waitBackOption), 86400);
    if (!waitBack) {
        result.error = "bad --wait-back (seconds, at most a day): " + parser.value(waitBackOption);
        return result;
    }
    o.waitBack = int(*waitBack);
    o.csvFile = parser.value(csvOption);
    if (parser.isSet(csvOption) && o.csvFile.isEmpty()) {
        result.error = "--csv needs a file name";
        return result;
    }

    if (parser.isSet(reportOption)) {
        o.reportFile = parser.value(reportOption);
        const QString paper = parser.value(paperOption).toLower();
        const QString model = parser.value(modelOption).trimmed();
        if (o.reportFile.isEmpty())
            result.error = "--report needs a file name";
        else if (!parser.positionalArguments().isEmpty())
            result.error = "--report takes no message";
        else if (paper != "a4" && paper != "letter")
            result.error = "bad --paper (a4 or letter): " + parser.value(paperOption);
        else if (model != "7100" && model != "7300")
            result.error = "bad --model (7100 or 7300): " + model;
        if (!result.error.isEmpty())
            return result;
        o.letterPaper = paper == "letter";
        o.model = QStringLiteral("QETRA ") + model;
        o.site = parser.value(siteOption);
        o.feeder = parser.value(feederOption);
        o.technician = parser.value(technicianOption);
        o.notes = parser.value(notesOption);
        if (!parser.isSet(intervalOption))
            o.interval = 0;
        result.options = o;
        return result;
    }
    if (o.configAction != PollOptions::ConfigAction::None) {
        if (o.configFile.isEmpty()) {
            result.error = "the configuration command needs a file name";
            return result;
        }
        if (!parser.positionalArguments().isEmpty()) {
            result.error = "a configuration command takes no message";
            return result;
        }
        if (o.address == 0) {
            result.error = "a configuration command needs the meter's own address (1..247)";
            return result;
        }
        o.includeComm = parser.isSet(includeCommOption);
        if (parser.isSet(addressesOption)) {
            QString why;
            const auto list = ParseAddressList(parser.value(addressesOption), &why);
            if (o.configAction != PollOptions::ConfigAction::Apply) {
                result.error = "--addresses goes with --apply-config only";
                return result;
            }
            if (!list) {
                result.error = "bad --addresses: " + why;
                return result;
            }
            if (o.includeComm) {
                result.error = "--include-comm cannot go with --addresses: a list of meters "
                               "never takes one address and baud rate";
                return result;
            }
            o.configAddresses = *list;
        }
        if (o.includeComm && o.configAction == PollOptions::ConfigAction::Save) {
            result.error = "--include-comm goes with --apply-config or --compare-config";
            return result;
        }
        o.factory = parser.isSet(factoryOption);
        o.writeCoefficients = parser.isSet(coefficientsOption);
        if (o.writeCoefficients &&
            (!o.factory || o.configAction != PollOptions::ConfigAction::Apply)) {
            result.error = "--coefficients goes with --factory --apply-config only";
            return result;
        }
        const QString model = parser.value(modelOption).trimmed();
        if (model != QLatin1String("7100") && model != QLatin1String("7300")) {
            result.error = "bad --model (7100 or 7300): " + model;
            return result;
        }
        o.model = QStringLiteral("QETRA ") + model;
        result.options = o;
        return result;
    }

    const QStringList messages = parser.positionalArguments();
    if (messages.isEmpty()) {
        result.error = "no message given";
        return result;
    }
    for (const QString& text : messages) {
        // The program itself would send nothing, or something else, for a faulty message;
        // here it is a mistake on the command line, so say so before anything is sent.
        if (const QString problem = MessageProblem(text.toLatin1()); !problem.isEmpty()) {
            result.error = "invalid message string \"" + text + "\": " + problem;
            return result;
        }
        o.messages << WithSlaveAddress(text, o.address).toLatin1();
    }
    // The run is counted in transactions; a count past int would wrap round.
    if (qint64(o.passes) * o.messages.size() > std::numeric_limits<int>::max()) {
        result.error = QString("bad --passes: %1 passes of %2 messages are too many transactions")
                           .arg(o.passes)
                           .arg(o.messages.size());
        return result;
    }
    result.options = o;
    return result;
}
