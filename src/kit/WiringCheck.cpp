#include "WiringCheck.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

using namespace WiringLimits;

namespace {

QString Degrees(double angle) {
    return QStringLiteral("%1\u00B0").arg(std::lround(angle));
}

WiringHint Hint(WiringFault fault, int phase, int otherPhase, QString text) {
    return {fault, phase, otherPhase, std::move(text)};
}

void CheckVoltages(const PhasorSet& p, const std::array<bool, 3>& present,
                   const std::array<bool, 3>& wired, QList<WiringHint>& hints) {
    for (int k = 0; k < 3; ++k) {
        if (wired[k] && !present[k])
            hints << Hint(WiringFault::MissingVoltage, k + 1, 0,
                          QCoreApplication::translate(
                              "WiringCheck", "No voltage on V%1: check the fuse and the voltage "
                                             "lead of phase %1.")
                              .arg(k + 1));
    }
    // The sequence needs all three phase voltages; a three-wire connection has no V2.
    for (int k = 0; k < 3; ++k)
        if (!present[k] || !wired[k])
            return;
    const double v2 = p.voltageLag[1], v3 = p.voltageLag[2];
    auto near = [](double angle, double expected) {
        return AngleDistance(angle, expected) <= SequenceToleranceDeg;
    };
    if (near(v2, 120) && near(v3, 240))
        return;
    const QString where =
        QCoreApplication::translate("WiringCheck",
                                    "V2 is %1 and V3 %2 behind V1 (should be 120\u00B0 and "
                                    "240\u00B0)")
            .arg(Degrees(v2), Degrees(v3));
    if (near(v2, 240) && near(v3, 120))
        hints << Hint(WiringFault::ReversedSequence, 0, 0,
                      QCoreApplication::translate(
                          "WiringCheck", "Phase sequence reversed: %1. Exchange two phases at the "
                                         "meter, voltage and current leads together.")
                          .arg(where));
    else
        hints << Hint(WiringFault::IrregularVoltageAngles, 0, 0,
                      QCoreApplication::translate(
                          "WiringCheck", "Voltage angles irregular: %1. Check which phase each "
                                         "voltage lead is on.")
                          .arg(where));
}

// The CT of phase k: its current should lie near its own voltage. A current nearer to
// another phase's voltage sits on that phase; one farther than ReversedCurrentDeg from its
// own voltage, and no nearer to another, flows the wrong way through its CT.
void CheckCurrent(const PhasorSet& p, int k, const std::array<bool, 3>& present,
                  QList<WiringHint>& hints) {
    const double lag = p.currentLag[k];
    const double own = AngleDistance(lag, p.voltageLag[k]);
    // Reversed, the current would lie this far from its own voltage.
    const double ownReversed = 180.0 - own;
    int nearest = -1;
    double nearestDistance = 360.0;
    for (int j = 0; j < 3; ++j) {
        if (j == k || !present[j])
            continue;
        const double d = AngleDistance(lag, p.voltageLag[j]);
        if (d < nearestDistance) {
            nearest = j;
            nearestDistance = d;
        }
    }
    const int n = k + 1;
    const bool reversed = own > ReversedCurrentDeg;
    if (nearest >= 0 && nearestDistance < own && (!reversed || nearestDistance < ownReversed)) {
        const int m = nearest + 1;
        hints << Hint(WiringFault::CtOnWrongPhase, n, m,
                      QCoreApplication::translate(
                          "WiringCheck", "I%1 follows V%2 (%3 apart) rather than V%1 (%4): CT%1 "
                                         "is on phase %2. Move it to phase %1.")
                          .arg(n)
                          .arg(m)
                          .arg(Degrees(nearestDistance), Degrees(own)));
    } else if (reversed) {
        hints << Hint(WiringFault::ReversedCt, n, 0,
                      QCoreApplication::translate(
                          "WiringCheck", "I%1 is %2 from V%1: CT%1 is reversed. Swap its S1 and S2 "
                                         "leads.")
                          .arg(n)
                          .arg(Degrees(own)));
    }
}

} // namespace

double AngleDistance(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

QList<WiringHint> CheckWiring(const PhasorSet& p, const WiringMode& mode) {
    QList<WiringHint> hints;
    const double vmax = *std::max_element(p.volts.begin(), p.volts.end());
    if (!(vmax > 0.0)) {
        hints << Hint(WiringFault::NoVoltage, 0, 0,
                      QCoreApplication::translate(
                          "WiringCheck", "No voltage on any phase: check the voltage leads and "
                                         "their fuses."));
        return hints;
    }
    const bool threeWire = mode.voltage == 2;
    const std::array<bool, 3> voltageWired = {true, !threeWire, true};
    const bool oneCt = mode.current == 1, twoCts = mode.current == 2;
    const std::array<bool, 3> currentWired = {true, !oneCt && !twoCts && !threeWire, !oneCt};
    std::array<bool, 3> present{};
    for (int k = 0; k < 3; ++k)
        present[k] = voltageWired[k] && p.volts[k] >= MissingVoltageShare * vmax;
    CheckVoltages(p, present, voltageWired, hints);
    // Every angle the meter reports is measured from V1.
    if (!present[0])
        return hints;

    const double imax = *std::max_element(p.amps.begin(), p.amps.end());
    if (!(imax > 0.0)) {
        hints << Hint(WiringFault::NoCurrent, 0, 0,
                      QCoreApplication::translate(
                          "WiringCheck", "No current flows: the CTs can be checked only under "
                                         "load."));
        return hints;
    }
    QList<WiringHint> currentHints;
    QStringList apart;
    int judged = 0;
    for (int k = 0; k < 3; ++k) {
        if (present[k] && currentWired[k] && p.amps[k] >= WeakCurrentShare * imax) {
            ++judged;
            CheckCurrent(p, k, present, currentHints);
            apart << QStringLiteral("I%1 %2").arg(k + 1).arg(
                Degrees(AngleDistance(p.currentLag[k], p.voltageLag[k])));
        }
    }
    const bool allReversed =
        judged >= 2 && currentHints.size() == judged &&
        std::all_of(currentHints.begin(), currentHints.end(),
                    [](const WiringHint& h) { return h.fault == WiringFault::ReversedCt; });
    if (!allReversed)
        return hints + currentHints;
    // A CT turned round and a feeder that exports look the same to the meter; rewiring an
    // exporting feeder would make a correct installation wrong.
    hints << Hint(
        WiringFault::ExportOrAllCtsReversed, 0, 0,
        QCoreApplication::translate("WiringCheck",
                                    "Every current is opposite its voltage (%1): either power "
                                    "flows towards the supply (the feeder exports, e.g. solar or "
                                    "a generator), or all CTs are reversed. Check the direction of "
                                    "power before rewiring; swap S1 and S2 of every CT only if "
                                    "power should flow to the load.")
            .arg(apart.join(QStringLiteral(", "))));
    return hints;
}
