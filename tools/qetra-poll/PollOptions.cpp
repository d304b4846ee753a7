#include "PollOptions.h"

#include "RtuFrame.h"

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

Exit status: 0 when every transaction was accepted, 1 when any failed (or the port could
not be opened), 2 for bad arguments.)";

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

QByteArray WithSlaveAddress(const QByteArray& message, int address) {
    const QByteArray hex = QByteArray::number(address, 16).rightJustified(2, '0').toUpper();
    if (message.size() < 2)
        return hex + message;
    return hex + message.mid(2);
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
    const QCommandLineOption csvOption(
        "csv",
        "Append one CSV line per good reply of block 0x130 (54 registers) to FILE, as the "
        "program's \"Log to file\" writes it; a read of block 0x100 in the list scales it by "
        "the meter's PT and CT ratios, a read of 0x518 adds the temperature.",
        "file");
    parser.addOptions({helpOption, portOption, baudOption, addrOption, intervalOption,
                       timeoutOption, passesOption, jsonOption, traceOption, csvOption});
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
    o.port = parser.value(portOption);
    if (o.port.isEmpty()) {
        result.error = "--port is required";
        return result;
    }
    const auto baud = ParseNumber(parser.value(baudOption), 4000000);
    const auto addr = ParseNumber(parser.value(addrOption), 247);
    const auto interval = ParseNumber(parser.value(intervalOption), 3600000);
    const auto timeout = ParseNumber(parser.value(timeoutOption), 3600000);
    const auto passes = ParseNumber(parser.value(passesOption), 100000000);
    if (!baud || *baud == 0) {
        result.error = "bad --baud: " + parser.value(baudOption);
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
        const QByteArray message = WithSlaveAddress(text.toLatin1(), o.address);
        ParsedMessage parsed;
        // The program itself would send nothing for such a message; here it is a mistake
        // on the command line, so say so before anything goes on the line.
        if (!ParseMessage(message, parsed)) {
            result.error = "invalid message string: " + text;
            return result;
        }
        o.messages << message;
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
