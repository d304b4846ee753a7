#include "SimOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <string>

namespace {

bool Probability(const QString& text, double& out) {
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && out >= 0.0 && out <= 1.0;
}

// The names of --wiring-fault, in the order of WiringFault.
const char* const kWiringFaults[] = {"none",         "reversed-ct1",     "reversed-ct2",
                                     "reversed-ct3", "swapped-ct12",     "swapped-ct23",
                                     "swapped-ct31", "swapped-phases23", "missing-v1",
                                     "missing-v2",   "missing-v3"};

bool Integer(const QString& text, long long low, long long high, long long& out) {
    bool ok = false;
    out = text.toLongLong(&ok);
    return ok && out >= low && out <= high;
}

const QCommandLineOption kRefuseWrite(
    "refuse-write",
    "Refuse writes of the block starting at register <address> without carrying them out: an "
    "exception reply with <code> (default 4, slave device failure), or no reply at all with "
    ":silent (e.g. 0x100, 0x100:2, 0x330:silent; may be given more than once).",
    "address[:code|:silent]");
const QCommandLineOption kRefuseRead(
    "refuse-read",
    "Refuse reads of the block starting at register <address>, as --refuse-write does writes "
    "(e.g. 0x510:2).",
    "address[:code|:silent]");

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

// The refusals of --refuse-write and --refuse-read; false, with the reason, for a bad one.
bool ReadRefusals(const QCommandLineParser& p, SimOptions& out, QString& message) {
    for (const auto& [option, write] : {std::pair{&kRefuseWrite, true}, {&kRefuseRead, false}}) {
        for (const QString& text : p.values(*option)) {
            Refusal refusal;
            if (!ParseRefusal(text, write, refusal)) {
                message = QStringLiteral("--%1 must be a register address 0..0xFFFF, optionally "
                                         "with :code (1..255) or :silent")
                              .arg(option->names().first());
                return false;
            }
            out.refusals.push_back(refusal);
        }
    }
    return true;
}

} // namespace

OptionsResult ParseSimOptions(const QStringList& arguments, SimOptions& out, QString& message) {
    QCommandLineParser p;
    p.setApplicationDescription(
        "Simulated three-phase power meter: a Modbus RTU slave on a pseudo-terminal.\n"
        "Prints the device it serves on the first line of standard output and serves\n"
        "until SIGINT or SIGTERM, then removes its link and COM port registration.\n"
        "SIGUSR1 prints the traffic and fault counts on standard error, as a line\n"
        "starting with meter-sim-stats; the same line is printed at exit.\n"
        "\n"
        "The meter answers functions 01, 02, 03, 05, 06, 10 and B0 (coefficients) and\n"
        "follows its settings: after a write that changes its address or baud rate it\n"
        "answers only at the new ones. On a pseudo-terminal it hears a request only\n"
        "when the other side has set the line to the meter's baud rate.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version("version", "Show the version and the Qt version.");
    const QCommandLineOption link("link", "Create a symbolic link <path> to the device.", "path");
    const QCommandLineOption port(
        "port", "Register the device as COM port <name> (e.g. COM1) for the program.", "name");
    const QCommandLineOption device(
        "device", "Serve the existing serial device <path> instead of a pseudo-terminal.", "path");
    const QCommandLineOption address("address", "Slave address 1..247 (default 1).", "a", "1");
    const QCommandLineOption baud(
        "baud",
        "Baud rate of the meter (default 9600). 57600 and 115200 are beyond the meter's own "
        "rates, for benchmarks: the line runs at them and the meter's baud register reads 0.",
        "bps", "9600");
    const QCommandLineOption seed("seed", "Seed of measurements and faults (default 1).", "n", "1");
    const QCommandLineOption verbose({"v", "verbose"}, "Trace the traffic on standard error.");
    const QCommandLineOption ptRatio("pt-ratio", "PT ratio PT1/PT2 (default 1).", "r", "1");
    const QCommandLineOption ct1("ct1", "CT primary in A; the secondary is 5 A (default 5).",
                                 "amps", "5");
    const QCommandLineOption reference(
        "reference-current",
        "Current of the calibration bench behind the raw vectors, 10 or 100 percent of rated "
        "(default 100); the bench voltage follows the meter's PT type.",
        "percent", "100");
    const QCommandLineOption bench(
        "reference",
        "Put the meter on the calibration bench: the source feeds <volts>V/<percent>%, "
        "380V or 100V and 100% or 10% of rated current (e.g. 380V/100%). The meter's PT "
        "type starts at that voltage, its coefficients match its channels and its live "
        "values show what the channels measure.",
        "volts/percent");
    const QCommandLineOption miscalibrate(
        "miscalibrate",
        "The meter's factory calibration is off: voltage B reads 2% high and current C "
        "1.5 degrees ahead until the meter is calibrated again.");
    const QCommandLineOption drop("drop", "Leave a reply out with probability <p>.", "p", "0");
    const QCommandLineOption corrupt("corrupt", "Flip one bit of a reply with probability <p>.",
                                     "p", "0");
    const QCommandLineOption split("split", "Write every reply in pieces with short pauses.");
    const QCommandLineOption stray("stray", "Send junk bytes before a reply with probability <p>.",
                                   "p", "0");
    const QCommandLineOption delay("delay", "Wait <ms> before answering (default 0).", "ms", "0");
    const QCommandLineOption wireTime(
        "wire-time", "Answer only after the request and reply would have crossed a real line.");
    const QCommandLineOption wiring(
        "wiring-fault",
        "Measure the installation through a wiring fault: reversed-ct1..3, swapped-ct12, "
        "swapped-ct23, swapped-ct31, swapped-phases23 (phase sequence reversed), missing-v1..3 "
        "(default none).",
        "fault", "none");
    p.addOptions({help, version, link, port, device, address, baud, seed, verbose, ptRatio, ct1,
                  reference, drop, corrupt, split, stray, delay, wireTime, wiring});
    const QCommandLineOption silent(
        "silent-block",
        "Leave every read of the block starting at register <address> unanswered (decimal or "
        "0x hex; may be given more than once).",
        "address");
    const QCommandLineOption dropRead(
        "drop-read",
        "Leave the first <n> reads (default 1) of the block starting at register <address> "
        "unanswered, then answer them again (decimal or 0x hex, e.g. 0x510:2; may be given "
        "more than once).",
        "address[:n]");
    const QCommandLineOption exporting(
        "export", "The feeder exports power (solar, a generator): every current flows against "
                  "its voltage.");
    const QCommandLineOption ignoreWrite(
        "ignore-write",
        "Acknowledge writes to holding register <reg> (e.g. 0x108) but keep its value, as a "
        "meter that silently refuses one setting.",
        "reg");
    const QCommandLineOption alsoAddress(
        "also-address",
        "More meters on the same line at these addresses (e.g. 6,7), each configured like the "
        "first. A write that changes the baud rate of one moves the line for all.",
        "a,...");
    const QCommandLineOption loadCycle(
        "load-cycle",
        "A load that comes and goes every <seconds> (10..86400): currents from a fifth of "
        "rated to full load with an inrush peak, voltages sagging under it (default: a "
        "steady load).",
        "seconds", "0");
    p.addOptions({bench, miscalibrate, exporting, ignoreWrite, alsoAddress, loadCycle, silent,
                  dropRead, kRefuseWrite, kRefuseRead});

    if (!p.parse(arguments)) {
        message = p.errorText();
        return OptionsResult::Error;
    }
    if (p.isSet(help)) {
        message = p.helpText();
        return OptionsResult::Help;
    }
    if (p.isSet(version))
        return OptionsResult::Version;
    if (!p.positionalArguments().isEmpty()) {
        message = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return OptionsResult::Error;
    }
    auto fail = [&message](const QString& why) {
        message = why;
        return OptionsResult::Error;
    };

    out.link = p.value(link);
    out.port = p.value(port);
    out.device = p.value(device);
    out.verbose = p.isSet(verbose);
    out.faults.split = p.isSet(split);
    out.meter.exporting = p.isSet(exporting);
    out.wireTime = p.isSet(wireTime);

    long long n = 0;
    if (!Integer(p.value(address), 1, 247, n))
        return fail("--address must be 1..247");
    out.meter.address = static_cast<int>(n);
    if (!Integer(p.value(baud), 600, 115200, n) ||
        !QList<long long>{600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}.contains(n))
        return fail("--baud must be one of 600 1200 2400 4800 9600 19200 38400 57600 115200");
    out.meter.baud = static_cast<int>(n);
    if (!Integer(p.value(seed), 0, 0xFFFFFFFFLL, n))
        return fail("--seed must be a number 0..4294967295");
    out.meter.seed = static_cast<std::uint32_t>(n);
    out.faults.seed = out.meter.seed;
    if (!Integer(p.value(ct1), 1, 65535, n))
        return fail("--ct1 must be 1..65535");
    out.meter.ct1 = static_cast<int>(n);
    if (!Integer(p.value(reference), 10, 100, n) || (n != 10 && n != 100))
        return fail("--reference-current must be 10 or 100");
    out.meter.referenceCurrentPercent = static_cast<int>(n);
    out.meter.miscalibrated = p.isSet(miscalibrate);
    if (p.isSet(bench)) {
        static const QRegularExpression form(
            QStringLiteral(R"(^\s*(100|380)\s*V?\s*[/,]\s*(10|100)\s*%?\s*$)"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = form.match(p.value(bench));
        if (!m.hasMatch())
            return fail("--reference must be 380V/100%, 380V/10%, 100V/100% or 100V/10%");
        out.meter.onBench = true;
        out.meter.benchPt380 = m.captured(1) == QLatin1String("380");
        out.meter.referenceCurrentPercent = m.captured(2).toInt();
    }
    if (!Integer(p.value(delay), 0, 60000, n))
        return fail("--delay must be 0..60000 ms");
    out.delayMs = static_cast<int>(n);

    bool ok = false;
    out.meter.ptRatio = p.value(ptRatio).toDouble(&ok);
    // PT1 is kept as PT2 (100 V) times the ratio in a 32-bit register.
    if (!ok || out.meter.ptRatio < 0.01 || out.meter.ptRatio > 2.0e7)
        return fail("--pt-ratio must be a number 0.01..20000000");
    out.meter.loadCycleSeconds = p.value(loadCycle).toDouble(&ok);
    if (!ok || (out.meter.loadCycleSeconds != 0 &&
                (out.meter.loadCycleSeconds < 10 || out.meter.loadCycleSeconds > 86400)))
        return fail("--load-cycle must be 10..86400 seconds");
    const auto fault = std::find(std::begin(kWiringFaults), std::end(kWiringFaults),
                                 p.value(wiring).toStdString());
    if (fault == std::end(kWiringFaults))
        return fail("--wiring-fault must be one of: " +
                    QStringList(std::begin(kWiringFaults), std::end(kWiringFaults)).join(' '));
    out.meter.wiring = static_cast<WiringFault>(fault - std::begin(kWiringFaults));
    if (!Probability(p.value(drop), out.faults.drop))
        return fail("--drop must be a probability 0..1");
    if (!Probability(p.value(corrupt), out.faults.corrupt))
        return fail("--corrupt must be a probability 0..1");
    if (!Probability(p.value(stray), out.faults.stray))
        return fail("--stray must be a probability 0..1");
    if (p.isSet(ignoreWrite)) {
        const QString text = p.value(ignoreWrite).trimmed();
        const int reg = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                            ? text.mid(2).toInt(&ok, 16)
                            : text.toInt(&ok, 10);
        if (!ok || reg < 0 || reg > 0xFFFF)
            return fail("--ignore-write must be a register 0..0xFFFF");
        out.meter.ignoredWrite = reg;
    }
    if (p.isSet(alsoAddress)) {
        for (const QString& part : p.value(alsoAddress).split(QLatin1Char(','))) {
            if (!Integer(part.trimmed(), 1, 247, n) || n == out.meter.address ||
                out.moreAddresses.contains(int(n)))
                return fail("--also-address must list other addresses 1..247, each once");
            out.moreAddresses << int(n);
        }
    }
    for (const QString& text : p.values(silent)) {
        bool ok = false;
        const uint start = text.toUInt(&ok, 0);
        if (!ok || start > 0xFFFF)
            return fail("--silent-block must be a register address 0..0xFFFF");
        out.silentBlocks.push_back(static_cast<std::uint16_t>(start));
    }
    for (const QString& text : p.values(dropRead)) {
        const QStringList parts = text.split(QLatin1Char(':'));
        bool ok = parts.size() <= 2;
        const uint start = ok ? parts[0].trimmed().toUInt(&ok, 0) : 0;
        long long count = 1;
        if (ok && parts.size() == 2)
            ok = Integer(parts[1].trimmed(), 1, 1000000, count);
        if (!ok || start > 0xFFFF)
            return fail("--drop-read must be a register address 0..0xFFFF, optionally with "
                        ":n for 1..1000000 reads");
        out.droppedReads.push_back(
            {static_cast<std::uint16_t>(start), static_cast<std::uint32_t>(count)});
    }
    if (!ReadRefusals(p, out, message))
        return OptionsResult::Error;
    if (!out.device.isEmpty() && !out.link.isEmpty() && out.device == out.link)
        return fail("--link must differ from --device");
    return OptionsResult::Run;
}
