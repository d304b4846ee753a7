#include "SimOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <string>

namespace {

const char* const kDescription =
    "Simulated three-phase power meter: a Modbus RTU slave on a pseudo-terminal.\n"
    "Prints the device it serves on the first line of standard output and serves\n"
    "until SIGINT or SIGTERM, then removes its link and COM port registration.\n"
    "SIGUSR1 prints the traffic and fault counts on standard error, as a line\n"
    "starting with meter-sim-stats; the same line is printed at exit.\n"
    "\n"
    "The meter answers functions 01, 02, 03, 05, 06, 10 and B0 (coefficients) and\n"
    "follows its settings: after a write that changes its address or baud rate it\n"
    "answers only at the new ones. On a pseudo-terminal it hears a request only\n"
    "when the other side has set the line to the meter's baud rate.";

// The names of --wiring-fault, in the order of WiringFault.
const char* const kWiringFaults[] = {"none",         "reversed-ct1",     "reversed-ct2",
                                     "reversed-ct3", "swapped-ct12",     "swapped-ct23",
                                     "swapped-ct31", "swapped-phases23", "missing-v1",
                                     "missing-v2",   "missing-v3"};

bool Probability(const QString& text, double& out) {
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && out >= 0.0 && out <= 1.0;
}

bool Integer(const QString& text, long long low, long long high, long long& out) {
    bool ok = false;
    out = text.toLongLong(&ok);
    return ok && out >= low && out <= high;
}

// An option as the command line gave it.
struct OptionValue {
    QString name;       // its long name
    bool given = false; // on the command line at all
    QString text;       // the last value given, or the default
    QStringList texts;  // every value given, in order, or the default
};

// What an option sets: returns why its value was refused, or nothing.
using OptionSetter = QString (*)(const OptionValue& option, SimOptions& out);

struct OptionRow {
    const char* names;     // separated by commas, the short one first
    const char* valueName; // nullptr: a switch
    const char* defaultValue;
    OptionSetter set; // nullptr: taken before the meter is set up
    const char* help;
};

// The field that a path of members names, from SimOptions down: Field<&SimOptions::meter,
// &MeterConfig::exporting>(out) is out.meter.exporting.
template <auto member, auto... rest> auto& Field(auto& object) {
    if constexpr (sizeof...(rest) == 0)
        return object.*member;
    else
        return Field<rest...>(object.*member);
}

template <auto... path> QString SetSwitch(const OptionValue& option, SimOptions& out) {
    Field<path...>(out) = option.given;
    return {};
}

template <auto... path> QString SetText(const OptionValue& option, SimOptions& out) {
    Field<path...>(out) = option.text;
    return {};
}

template <double FaultSettings::*field>
QString SetProbability(const OptionValue& option, SimOptions& out) {
    if (!Probability(option.text, out.faults.*field))
        return "--" + option.name + " must be a probability 0..1";
    return {};
}

QString SetAddress(const OptionValue& option, SimOptions& out) {
    long long address = 0;
    if (!Integer(option.text, 1, 247, address))
        return "--address must be 1..247";
    out.meter.address = static_cast<int>(address);
    return {};
}

QString SetBaud(const OptionValue& option, SimOptions& out) {
    long long baud = 0;
    if (!Integer(option.text, 600, 115200, baud) ||
        !QList<long long>{600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}.contains(baud))
        return "--baud must be one of 600 1200 2400 4800 9600 19200 38400 57600 115200";
    out.meter.baud = static_cast<int>(baud);
    return {};
}

// One seed for the measurements and the faults, so that a run can be repeated.
QString SetSeed(const OptionValue& option, SimOptions& out) {
    long long seed = 0;
    if (!Integer(option.text, 0, 0xFFFFFFFFLL, seed))
        return "--seed must be a number 0..4294967295";
    out.meter.seed = static_cast<std::uint32_t>(seed);
    out.faults.seed = out.meter.seed;
    return {};
}

// --tcp PORT or --rtu-over-tcp PORT: the meters behind a converter on 127.0.0.1.
template <bool rtuOverTcp> QString SetTcpPort(const OptionValue& option, SimOptions& out) {
    if (!option.given)
        return {};
    if (out.tcpPort >= 0)
        return "--tcp and --rtu-over-tcp exclude each other";
    long long port = 0;
    if (!Integer(option.text, 0, 65535, port))
        return QStringLiteral("--%1 must be a TCP port 0..65535 (0: a free one)").arg(option.name);
    out.tcpPort = int(port);
    out.rtuOverTcp = rtuOverTcp;
    return {};
}

QString SetPtRatio(const OptionValue& option, SimOptions& out) {
    bool ok = false;
    const double ratio = option.text.toDouble(&ok);
    // PT1 is kept as PT2 (100 V) times the ratio in a 32-bit register. Asked in this
    // form, "nan" is refused as well.
    if (!ok || !(ratio >= 0.01 && ratio <= 2.0e7))
        return "--pt-ratio must be a number 0.01..20000000";
    out.meter.ptRatio = ratio;
    return {};
}

QString SetCtPrimary(const OptionValue& option, SimOptions& out) {
    long long amps = 0;
    if (!Integer(option.text, 1, 65535, amps))
        return "--ct1 must be 1..65535";
    out.meter.ct1 = static_cast<int>(amps);
    return {};
}

QString SetReferenceCurrent(const OptionValue& option, SimOptions& out) {
    long long percent = 0;
    if (!Integer(option.text, 10, 100, percent) || (percent != 10 && percent != 100))
        return "--reference-current must be 10 or 100";
    out.meter.referenceCurrentPercent = static_cast<int>(percent);
    return {};
}

QString SetDelay(const OptionValue& option, SimOptions& out) {
    long long ms = 0;
    if (!Integer(option.text, 0, 60000, ms))
        return "--delay must be 0..60000 ms";
    out.delayMs = static_cast<int>(ms);
    return {};
}

QString SetWiringFault(const OptionValue& option, SimOptions& out) {
    const auto fault =
        std::find(std::begin(kWiringFaults), std::end(kWiringFaults), option.text.toStdString());
    if (fault == std::end(kWiringFaults))
        return "--wiring-fault must be one of: " +
               QStringList(std::begin(kWiringFaults), std::end(kWiringFaults)).join(' ');
    out.meter.wiring = static_cast<WiringFault>(fault - std::begin(kWiringFaults));
    return {};
}

// The bench's source overrides --reference-current, whose row comes first.
QString SetBench(const OptionValue& option, SimOptions& out) {
    if (!option.given)
        return {};
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(100|380)\s*V?\s*[/,]\s*(10|100)\s*%?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto source = form.match(option.text);
    if (!source.hasMatch())
        return "--reference must be 380V/100%, 380V/10%, 100V/100% or 100V/10%";
    out.meter.onBench = true;
    out.meter.benchPt380 = source.captured(1) == QLatin1String("380");
    out.meter.referenceCurrentPercent = source.captured(2).toInt();
    return {};
}

QString SetIgnoredWrite(const OptionValue& option, SimOptions& out) {
    if (!option.given)
        return {};
    const QString text = option.text.trimmed();
    bool ok = false;
    const int reg = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                        ? text.mid(2).toInt(&ok, 16)
                        : text.toInt(&ok, 10);
    if (!ok || reg < 0 || reg > 0xFFFF)
        return "--ignore-write must be a register 0..0xFFFF";
    out.meter.ignoredWrite = reg;
    return {};
}

// The first meter's address comes from an earlier row.
QString SetMoreAddresses(const OptionValue& option, SimOptions& out) {
    if (!option.given)
        return {};
    for (const QString& part : option.text.split(QLatin1Char(','))) {
        long long address = 0;
        if (!Integer(part.trimmed(), 1, 247, address) || address == out.meter.address ||
            out.moreAddresses.contains(int(address)))
            return "--also-address must list other addresses 1..247, each once";
        out.moreAddresses << int(address);
    }
    return {};
}

// The meters of the line come from earlier rows.
QString SetSilentAddress(const OptionValue& option, SimOptions& out) {
    if (!option.given)
        return {};
    for (const QString& text : option.texts) {
        long long address = 0;
        if (!Integer(text.trimmed(), 1, 247, address) ||
            (address != out.meter.address && !out.moreAddresses.contains(int(address))))
            return "--silent-address must be the address of a meter on the line (--address or "
                   "--also-address)";
        if (!out.silentAddresses.contains(int(address)))
            out.silentAddresses << int(address);
    }
    return {};
}

QString SetLoadCycle(const OptionValue& option, SimOptions& out) {
    bool ok = false;
    const double seconds = option.text.toDouble(&ok);
    // 0 is the steady load; "nan" is neither.
    if (!ok || !(seconds == 0 || (seconds >= 10 && seconds <= 86400)))
        return "--load-cycle must be 10..86400 seconds";
    out.meter.loadCycleSeconds = seconds;
    return {};
}

QString SetSilentBlocks(const OptionValue& option, SimOptions& out) {
    for (const QString& text : option.texts) {
        bool ok = false;
        const uint start = text.toUInt(&ok, 0);
        if (!ok || start > 0xFFFF)
            return "--silent-block must be a register address 0..0xFFFF";
        out.silentBlocks.push_back(static_cast<std::uint16_t>(start));
    }
    return {};
}

QString SetDroppedReads(const OptionValue& option, SimOptions& out) {
    for (const QString& text : option.texts) {
        const QStringList parts = text.split(QLatin1Char(':'));
        bool ok = parts.size() <= 2;
        const uint start = ok ? parts[0].trimmed().toUInt(&ok, 0) : 0;
        long long count = 1;
        if (ok && parts.size() == 2)
            ok = Integer(parts[1].trimmed(), 1, 1000000, count);
        if (!ok || start > 0xFFFF)
            return "--drop-read must be a register address 0..0xFFFF, optionally with :n for "
                   "1..1000000 reads";
        out.droppedReads.push_back(
            {static_cast<std::uint16_t>(start), static_cast<std::uint32_t>(count)});
    }
    return {};
}

// "0x100", "0x100:2", "0x100:silent": the block's start register and how it is refused.
bool ParseRefusal(const QString& text, bool write, Refusal& out) {
    const QStringList parts = text.split(QLatin1Char(':'));
    bool ok = parts.size() <= 2;
    const uint start = ok ? parts[0].trimmed().toUInt(&ok, 0) : 0;
    if (!ok || start > 0xFFFF)
        return false;
    out = Refusal{write, static_cast<std::uint16_t>(start), 4};
    if (parts.size() == 1)
        return true;
    if (parts[1].trimmed() == QLatin1String("silent")) {
        out.exception = 0;
        return true;
    }
    const uint code = parts[1].trimmed().toUInt(&ok, 0);
    out.exception = static_cast<std::uint8_t>(code);
    return ok && code >= 1 && code <= 255;
}

// The refusals of --refuse-write (write) or --refuse-read.
template <bool write> QString SetRefusals(const OptionValue& option, SimOptions& out) {
    for (const QString& text : option.texts) {
        Refusal refusal;
        if (!ParseRefusal(text, write, refusal))
            return QStringLiteral("--%1 must be a register address 0..0xFFFF, optionally with "
                                  ":code (1..255) or :silent")
                .arg(option.name);
        out.refusals.push_back(refusal);
    }
    return {};
}

// The options, in the order --help lists them; they are read in this order too, and the
// first refusal is the one reported.
const OptionRow kOptions[] = {
    {"h,help", nullptr, nullptr, nullptr, "Show this help."},
    {"version", nullptr, nullptr, nullptr, "Show the version and the Qt version."},
    {"link", "path", nullptr, SetText<&SimOptions::link>,
     "Create a symbolic link <path> to the device."},
    {"port", "name", nullptr, SetText<&SimOptions::port>,
     "Register the device as COM port <name> (e.g. COM1) for the program."},
    {"device", "path", nullptr, SetText<&SimOptions::device>,
     "Serve the existing serial device <path> instead of a pseudo-terminal."},
    {"tcp", "port", nullptr, SetTcpPort<false>,
     "Serve as a Modbus TCP gateway on 127.0.0.1:<port> instead (0: a free port; the first "
     "line then says 127.0.0.1:<port>); --also-address meters are further units, and a unit "
     "no meter answers gets exception 0x0B."},
    {"rtu-over-tcp", "port", nullptr, SetTcpPort<true>,
     "Serve the RTU bytes unchanged on 127.0.0.1:<port> instead, as a serial server would."},
    {"address", "a", "1", SetAddress, "Slave address 1..247 (default 1)."},
    {"baud", "bps", "9600", SetBaud,
     "Baud rate of the meter (default 9600). 57600 and 115200 are beyond the meter's own "
     "rates, for benchmarks: the line runs at them and the meter's baud register reads 0."},
    {"seed", "n", "1", SetSeed, "Seed of measurements and faults (default 1)."},
    {"v,verbose", nullptr, nullptr, SetSwitch<&SimOptions::verbose>,
     "Trace the traffic on standard error."},
    {"pt-ratio", "r", "1", SetPtRatio, "PT ratio PT1/PT2 (default 1)."},
    {"ct1", "amps", "5", SetCtPrimary, "CT primary in A; the secondary is 5 A (default 5)."},
    {"reference-current", "percent", "100", SetReferenceCurrent,
     "Current of the calibration bench behind the raw vectors, 10 or 100 percent of rated "
     "(default 100); the bench voltage follows the meter's PT type."},
    {"drop", "p", "0", SetProbability<&FaultSettings::drop>,
     "Leave a reply out with probability <p>."},
    {"corrupt", "p", "0", SetProbability<&FaultSettings::corrupt>,
     "Flip one bit of a reply with probability <p>."},
    {"split", nullptr, nullptr, SetSwitch<&SimOptions::faults, &FaultSettings::split>,
     "Write every reply in pieces with short pauses."},
    {"stray", "p", "0", SetProbability<&FaultSettings::stray>,
     "Send junk bytes before a reply with probability <p>."},
    {"delay", "ms", "0", SetDelay, "Wait <ms> before answering (default 0)."},
    {"wire-time", nullptr, nullptr, SetSwitch<&SimOptions::wireTime>,
     "Answer only after the request and reply would have crossed a real line."},
    {"wiring-fault", "fault", "none", SetWiringFault,
     "Measure the installation through a wiring fault: reversed-ct1..3, swapped-ct12, "
     "swapped-ct23, swapped-ct31, swapped-phases23 (phase sequence reversed), missing-v1..3 "
     "(default none)."},
    {"reference", "volts/percent", nullptr, SetBench,
     "Put the meter on the calibration bench: the source feeds <volts>V/<percent>%, 380V or "
     "100V and 100% or 10% of rated current (e.g. 380V/100%). The meter's PT type starts at "
     "that voltage, its coefficients match its channels and its live values show what the "
     "channels measure."},
    {"miscalibrate", nullptr, nullptr, SetSwitch<&SimOptions::meter, &MeterConfig::miscalibrated>,
     "The meter's factory calibration is off: voltage B reads 2% high and current C 1.5 "
     "degrees ahead until the meter is calibrated again."},
    {"export", nullptr, nullptr, SetSwitch<&SimOptions::meter, &MeterConfig::exporting>,
     "The feeder exports power (solar, a generator): every current flows against its "
     "voltage."},
    {"ignore-write", "reg", nullptr, SetIgnoredWrite,
     "Acknowledge writes to holding register <reg> (e.g. 0x108) but keep its value, as a "
     "meter that silently refuses one setting."},
    {"also-address", "a,...", nullptr, SetMoreAddresses,
     "More meters on the same line at these addresses (e.g. 6,7), each configured like the "
     "first but on a feeder of its own: other voltages, currents and power factors, by "
     "address. A write that changes the baud rate of one moves the line for all."},
    {"silent-address", "a", nullptr, SetSilentAddress,
     "The meter at address <a> is dead: it neither answers nor carries out a broadcast (may "
     "be given more than once)."},
    {"load-cycle", "seconds", "0", SetLoadCycle,
     "A load that comes and goes every <seconds> (10..86400): currents from a fifth of rated "
     "to full load with an inrush peak, voltages sagging under it (default: a steady load)."},
    {"silent-block", "address", nullptr, SetSilentBlocks,
     "Leave every read of the block starting at register <address> unanswered (decimal or 0x "
     "hex; may be given more than once)."},
    {"drop-read", "address[:n]", nullptr, SetDroppedReads,
     "Leave the first <n> reads (default 1) of the block starting at register <address> "
     "unanswered, then answer them again (decimal or 0x hex, e.g. 0x510:2; may be given more "
     "than once)."},
    {"refuse-write", "address[:code|:silent]", nullptr, SetRefusals<true>,
     "Refuse writes of the block starting at register <address> without carrying them out: an "
     "exception reply with <code> (default 4, slave device failure), or no reply at all with "
     ":silent (e.g. 0x100, 0x100:2, 0x330:silent; may be given more than once)."},
    {"refuse-read", "address[:code|:silent]", nullptr, SetRefusals<false>,
     "Refuse reads of the block starting at register <address>, as --refuse-write does writes "
     "(e.g. 0x510:2)."},
};

// Sets what every option of the table says, in table order; returns the first refusal.
QString ReadOptions(const QCommandLineParser& parser, SimOptions& out) {
    for (const OptionRow& row : kOptions) {
        if (!row.set)
            continue;
        OptionValue option;
        option.name = QString::fromLatin1(row.names).section(QLatin1Char(','), -1);
        option.given = parser.isSet(option.name);
        if (row.valueName) {
            option.text = parser.value(option.name);
            option.texts = parser.values(option.name);
        }
        if (QString refusal = row.set(option, out); !refusal.isEmpty())
            return refusal;
    }
    return {};
}

} // namespace

OptionsResult ParseSimOptions(const QStringList& arguments, SimOptions& out, QString& message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    for (const OptionRow& row : kOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(row.names).split(QLatin1Char(',')),
                                            row.help, row.valueName, row.defaultValue));
    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return OptionsResult::Error;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        message = parser.helpText();
        return OptionsResult::Help;
    }
    if (parser.isSet(QStringLiteral("version")))
        return OptionsResult::Version;
    if (!parser.positionalArguments().isEmpty()) {
        message =
            QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return OptionsResult::Error;
    }
    message = ReadOptions(parser, out);
    if (!message.isEmpty())
        return OptionsResult::Error;
    if (out.tcpPort >= 0 && (!out.device.isEmpty() || !out.link.isEmpty() || !out.port.isEmpty())) {
        message = QStringLiteral("--tcp and --rtu-over-tcp serve no device: leave out --device, "
                                 "--link and --port");
        return OptionsResult::Error;
    }
    if (!out.device.isEmpty() && !out.link.isEmpty() && out.device == out.link) {
        message = QStringLiteral("--link must differ from --device");
        return OptionsResult::Error;
    }
    return OptionsResult::Run;
}
