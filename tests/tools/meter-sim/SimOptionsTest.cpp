#include "SimOptions.h"

#include "HelpOptions.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

SimOptions Parsed(const QStringList& arguments, OptionsResult& result, QString& message) {
    SimOptions options;
    result = ParseSimOptions(QStringList{"meter-sim"} + arguments, options, message);
    return options;
}

} // namespace

// Every option --help lists sets what it says; options given more than once, options that
// depend on another and values out of range (not-a-number among them) are each handled
// as the help says.
TEST(SimOptions, EveryOptionOfTheHelpSetsWhatItSays) {
    using Check = std::function<bool(const SimOptions&)>;
    const struct {
        QStringList line;
        Check holds;           // what the line sets
        const char* refusal{}; // or the option named when the line is refused
    } cases[] = {
        {{"--link", "/run/x", "--port", "COM4", "--device", "/dev/ttyS1"},
         [](auto& o) {
             return o.link == "/run/x" && o.port == "COM4" && o.device == "/dev/ttyS1";
         }},
        {{"--address", "5", "--address", "6"}, [](auto& o) { return o.meter.address == 6; }},
        {{"--baud", "115200"}, [](auto& o) { return o.meter.baud == 115200; }},
        {{"--seed", "4294967295"},
         [](auto& o) { return o.meter.seed == 4294967295u && o.faults.seed == 4294967295u; }},
        {{"-v", "--split", "--wire-time", "--miscalibrate", "--export"},
         [](auto& o) {
             return o.verbose && o.faults.split && o.wireTime && o.meter.miscalibrated &&
                    o.meter.exporting;
         }},
        {{"--verbose"}, [](auto& o) { return o.verbose && !o.faults.split && !o.wireTime; }},
        {{"--pt-ratio", "120", "--ct1", "400"},
         [](auto& o) { return o.meter.ptRatio == 120.0 && o.meter.ct1 == 400; }},
        {{"--reference-current", "10"},
         [](auto& o) { return o.meter.referenceCurrentPercent == 10 && !o.meter.onBench; }},
        // The bench's source decides the current, whatever --reference-current says.
        {{"--reference", "100V/10%", "--reference-current", "100"},
         [](auto& o) {
             return o.meter.onBench && !o.meter.benchPt380 && o.meter.referenceCurrentPercent == 10;
         }},
        {{"--drop", "0.25", "--corrupt", "0.5", "--stray", "1"},
         [](auto& o) {
             return o.faults.drop == 0.25 && o.faults.corrupt == 0.5 && o.faults.stray == 1;
         }},
        {{"--delay", "250"}, [](auto& o) { return o.delayMs == 250; }},
        {{"--wiring-fault", "missing-v2"},
         [](auto& o) { return o.meter.wiring == WiringFault::MissingV2; }},
        {{"--ignore-write", "0x108"}, [](auto& o) { return o.meter.ignoredWrite == 0x108; }},
        {{"--address", "6", "--also-address", "7, 9"},
         [](auto& o) {
             return o.moreAddresses == QList<int>{7, 9};
         }},
        {{"--also-address", "2,3,4", "--silent-address", "3", "--silent-address", "1"},
         [](auto& o) {
             return o.silentAddresses == QList<int>{3, 1};
         }},
        {{"--load-cycle", "60"}, [](auto& o) { return o.meter.loadCycleSeconds == 60.0; }},
        {{"--silent-block", "0x510", "--silent-block", "304"},
         [](auto& o) {
             return o.silentBlocks == std::vector<std::uint16_t>{0x510, 304};
         }},
        {{"--drop-read", "0x510:2", "--drop-read", "304"},
         [](auto& o) {
             return o.droppedReads.size() == 2 && o.droppedReads[0].start == 0x510 &&
                    o.droppedReads[0].count == 2 && o.droppedReads[1].start == 304 &&
                    o.droppedReads[1].count == 1;
         }},
        {{"--refuse-write", "0x100", "--refuse-write", "0x330:silent", "--refuse-read", "0x510:2"},
         [](auto& o) {
             return o.refusals.size() == 3 && o.refusals[0].write && o.refusals[0].start == 0x100 &&
                    o.refusals[0].exception == 4 && o.refusals[1].start == 0x330 &&
                    o.refusals[1].exception == 0 && !o.refusals[2].write &&
                    o.refusals[2].start == 0x510 && o.refusals[2].exception == 2;
         }},
        {{"--tcp", "0", "--also-address", "2"},
         [](auto& o) { return o.tcpPort == 0 && !o.rtuOverTcp && o.device.isEmpty(); }},
        {{"--rtu-over-tcp", "5020"}, [](auto& o) { return o.tcpPort == 5020 && o.rtuOverTcp; }},
        {{"--tcp", "65536"}, {}, "--tcp"},
        {{"--tcp", "0", "--rtu-over-tcp", "0"}, {}, "--tcp and --rtu-over-tcp"},
        {{"--rtu-over-tcp", "0", "--device", "/dev/ttyS0"}, {}, "--tcp and --rtu-over-tcp"},
        {{"--refuse-read", "0x510:0"}, {}, "--refuse-read"},
        {{"--pt-ratio", "nan"}, {}, "--pt-ratio"},
        {{"--load-cycle", "nan"}, {}, "--load-cycle"},
        {{"--load-cycle", "5"}, {}, "--load-cycle"},
        {{"--address", "7", "--also-address", "6,7"}, {}, "--also-address"},
        {{"--also-address", "2", "--silent-address", "5"}, {}, "--silent-address"},
        {{"--silent-address", "0"}, {}, "--silent-address"},
        {{"--silent-block", "0x510", "--silent-block", "0x10000"}, {}, "--silent-block"},
        {{"--wiring-fault", "reversed"}, {}, "--wiring-fault"},
        {{"--seed", "-1"}, {}, "--seed"},
    };
    QStringList exercised;
    for (const auto& c : cases) {
        OptionsResult result;
        QString message;
        const SimOptions options = Parsed(c.line, result, message);
        const std::string line = c.line.join(' ').toStdString();
        exercised += c.line.filter(QRegularExpression("^-"));
        if (c.holds) {
            ASSERT_EQ(result, OptionsResult::Run) << line << ": " << message.toStdString();
            EXPECT_TRUE(c.holds(options)) << line;
        } else {
            EXPECT_EQ(result, OptionsResult::Error) << line;
            EXPECT_TRUE(message.startsWith(QLatin1String(c.refusal) + ' '))
                << line << ": " << message.toStdString();
        }
    }

    // A new option comes with a line here.
    OptionsResult result;
    QString help;
    Parsed({"--help"}, result, help);
    ASSERT_EQ(result, OptionsResult::Help);
    const QStringList listed = OptionsOfHelp(help);
    EXPECT_GE(listed.size(), 25);
    for (const QString& name : listed)
        EXPECT_TRUE(exercised.contains(name)) << name.toStdString() << " has no line here";
}
