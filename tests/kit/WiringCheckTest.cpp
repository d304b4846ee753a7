#include "WiringCheck.h"

#include "QtTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A healthy installation: 230 V and 5 A per phase, sequence V1-V2-V3, currents `lag`
// degrees behind their voltages.
PhasorSet Healthy(double lag = 18.0) {
    return {{2300, 2300, 2300}, {5000, 5000, 5000}, {0, 120, 240}, {lag, 120 + lag, 240 + lag}};
}

template <typename F> PhasorSet With(F change, double lag = 18.0) {
    PhasorSet p = Healthy(lag);
    change(p);
    return p;
}

struct Expected {
    WiringFault fault;
    int phase = 0;
    int otherPhase = 0;
    friend bool operator==(const Expected&, const Expected&) = default;
};

void PrintTo(const Expected& e, std::ostream* os) {
    *os << "{fault " << int(e.fault) << ", phase " << e.phase << ", other " << e.otherPhase << '}';
}

} // namespace

TEST(WiringCheck, PhasorSetsGiveTheMatchingHints) {
    using F = WiringFault;
    const struct {
        const char* name;
        PhasorSet phasors;
        std::vector<Expected> hints;
        WiringMode mode = {};
    } cases[] = {
        {"healthy, inductive", Healthy(), {}},
        {"healthy, capacitive", Healthy(-25), {}},
        {"healthy, poor power factor", Healthy(55), {}},
        {"slightly unbalanced",
         With([](PhasorSet& p) {
             p.volts[1] = 2200;
             p.amps[2] = 800;
         }),
         {}},
        {"CT1 reversed", With([](PhasorSet& p) { p.currentLag[0] += 180; }), {{F::ReversedCt, 1}}},
        {"CT3 reversed, capacitive",
         With([](PhasorSet& p) { p.currentLag[2] -= 180; }, -20),
         {{F::ReversedCt, 3}}},
        {"CTs 1 and 2 exchanged",
         With([](PhasorSet& p) { std::swap(p.currentLag[0], p.currentLag[1]); }),
         {{F::CtOnWrongPhase, 1, 2}, {F::CtOnWrongPhase, 2, 1}}},
        {"CTs 3 and 1 exchanged",
         With([](PhasorSet& p) { std::swap(p.currentLag[0], p.currentLag[2]); }),
         {{F::CtOnWrongPhase, 1, 3}, {F::CtOnWrongPhase, 3, 1}}},
        {"phases 2 and 3 exchanged",
         With([](PhasorSet& p) {
             std::swap(p.voltageLag[1], p.voltageLag[2]);
             std::swap(p.currentLag[1], p.currentLag[2]);
         }),
         {{F::ReversedSequence}}},
        {"V2 at 180 degrees",
         With([](PhasorSet& p) { p.voltageLag[1] = 180; }),
         {{F::IrregularVoltageAngles}}},
        {"no voltage on V3", With([](PhasorSet& p) { p.volts[2] = 30; }), {{F::MissingVoltage, 3}}},
        {"no voltage on V1: no angle to judge by",
         With([](PhasorSet& p) {
             p.volts[0] = 0;
             p.currentLag[1] += 180;
         }),
         {{F::MissingVoltage, 1}}},
        {"no voltage at all",
         With([](PhasorSet& p) {
             p.volts = {0, 0, 0};
         }),
         {{F::NoVoltage}}},
        {"no load",
         With([](PhasorSet& p) {
             p.amps = {0, 0, 0};
         }),
         {{F::NoCurrent}}},
        {"a feeder that exports, or all three CTs reversed",
         With([](PhasorSet& p) {
             for (double& lag : p.currentLag)
                 lag += 180;
         }),
         {{F::ExportOrAllCtsReversed}}},
        {"exporting with a capacitive load angle",
         With(
             [](PhasorSet& p) {
                 for (double& lag : p.currentLag)
                     lag -= 180;
             },
             -30),
         {{F::ExportOrAllCtsReversed}}},
        {"two of three reversed are two CTs",
         With([](PhasorSet& p) {
             p.currentLag[0] += 180;
             p.currentLag[2] += 180;
         }),
         {{F::ReversedCt, 1}, {F::ReversedCt, 3}}},
        {"three-wire: no V2 and no I2 to judge",
         With([](PhasorSet& p) {
             p.volts[1] = 0;
             p.amps[1] = 0;
             p.currentLag[1] = 300;
         }),
         {},
         {2, 2}},
        {"three-wire, exporting: I1 and I3 both opposite",
         With([](PhasorSet& p) {
             p.volts[1] = 0;
             p.currentLag[0] += 180;
             p.currentLag[2] += 180;
         }),
         {{F::ExportOrAllCtsReversed}},
         {2, 2}},
        {"two CTs: I2 is not judged",
         With([](PhasorSet& p) { p.currentLag[1] += 180; }),
         {},
         {0, 2}},
        {"one CT reversed is that CT",
         With([](PhasorSet& p) {
             for (double& lag : p.currentLag)
                 lag += 180;
         }),
         {{F::ReversedCt, 1}},
         {0, 1}},
        {"a weak current's angle is not judged",
         With([](PhasorSet& p) {
             p.amps[1] = 300;
             p.currentLag[1] = 300;
         }),
         {}},
    };
    for (const auto& c : cases) {
        std::vector<Expected> got;
        for (const WiringHint& h : CheckWiring(c.phasors, c.mode)) {
            got.push_back({h.fault, h.phase, h.otherPhase});
            EXPECT_FALSE(h.text.isEmpty()) << c.name;
        }
        EXPECT_EQ(got, c.hints) << c.name;
    }
}

TEST(WiringCheck, HintsNameWhatToDo) {
    PhasorSet p = Healthy();
    p.currentLag[1] += 180;
    const auto hints = CheckWiring(p);
    ASSERT_EQ(hints.size(), 1);
    EXPECT_EQ(hints[0].text, "I2 is 162\u00B0 from V2: CT2 is reversed. Swap its S1 and S2 leads.");
    PhasorSet exported = Healthy();
    for (double& lag : exported.currentLag)
        lag += 180;
    const auto exporting = CheckWiring(exported);
    ASSERT_EQ(exporting.size(), 1);
    EXPECT_TRUE(exporting[0].text.startsWith("Every current is opposite its voltage (I1 162\u00B0, "
                                             "I2 162\u00B0, I3 162\u00B0): either power flows "
                                             "towards the supply"))
        << exporting[0].text.toStdString();
    EXPECT_DOUBLE_EQ(AngleDistance(350, 10), 20.0);
    EXPECT_DOUBLE_EQ(AngleDistance(-170, 540), 10.0);
}
