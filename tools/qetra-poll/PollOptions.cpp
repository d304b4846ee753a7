#include "PollOptions.h"

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
name (a /dev/serial/by-id name or a COM link keeps it), and goes on when it does.

--list-ports lists the serial devices present and the COM names of the program.
--scan searches --port for meters: every address (--scan-addresses, default 1-247) at
every baud rate of the meter (--scan-rates, default 9600,38400,19200,4800,2400,1200,600)
with a read of the model block; each meter found is printed with its address, baud rate
and version, progress goes to standard error.

Exit status: 0 when every transaction was accepted (for --scan: a meter was found), 1 when
any failed, the port could not be opened or the line did not come back (for --scan: none
found), 2 for bad arguments, 130 or 143 when stopped by SIGINT or SIGTERM (after the
summary).)";

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

PollArguments ParsePollArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption helpOption({"h", "help"}, "Show this help.");
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
    parser.addOptions({helpOption, portOption, baudOption, addrOption, intervalOption,
                       timeoutOption, passesOption, jsonOption, traceOption, waitBackOption,
                       listOption, scanOption, scanAddrOption, scanRatesOption, scanTurnOption,
                       csvOption});
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

    PollOptions o;
    o.listPorts = parser.isSet(listOption);
    if (o.listPorts) {
        result.options = o;
        return result;
    }
    o.port = parser.value(portOption);
    if (o.port.isEmpty()) {
        result.error = "--port is required";
        return result;
    }
    o.scan = parser.isSet(scanOption);
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
