#include "PhaseAngleDecode.h"

#include "BlockDecode.h"

namespace {

// clang-format off
constexpr BlockRow kRows[] = {
    {0, RegWidth::U16, "LabelAngleUbUa",   FixedFormat(10, 1)},
    {1, RegWidth::U16, "LabelAngleUcUa",   FixedFormat(10, 1)},
    {2, RegWidth::U16, "LabelAngleIaUa",   FixedFormat(10, 1)},
    {3, RegWidth::U16, "LabelAngleIbUa",   FixedFormat(10, 1)},
    {4, RegWidth::U16, "LabelAngleIcUa",   FixedFormat(10, 1)},
    {5, RegWidth::U16, "LabelAngleUbcUab", FixedFormat(10, 1)},
    {6, RegWidth::U16, "LabelAngleIaUab",  FixedFormat(10, 1)},
    {7, RegWidth::U16, "LabelAngleIcUab",  FixedFormat(10, 1)},
};
// clang-format on

// Offsets in the metering block 0x130.
constexpr int kFirstPhaseVoltage = 0x01;
constexpr int kFirstPhaseCurrent = 0x09;

} // namespace

LabelTexts DecodePhaseAngleBlock(const QList<quint16>& values, const QLocale& locale) {
    return DecodeBlock(kRows, values, DecodeContext{{}, locale});
}

std::optional<PhaseLags> PhaseLagsFromBlock(const QList<quint16>& values) {
    if (values.size() < 5)
        return std::nullopt;
    PhaseLags lags;
    lags.voltage = {0.0, values[0] / 10.0, values[1] / 10.0};
    lags.current = {values[2] / 10.0, values[3] / 10.0, values[4] / 10.0};
    return lags;
}

std::optional<PhaseMagnitudes> PhaseMagnitudesFromMeteringBlock(const QList<quint16>& values) {
    if (values.size() < kFirstPhaseCurrent + 3)
        return std::nullopt;
    PhaseMagnitudes m;
    for (int k = 0; k < 3; ++k) {
        m.volts[k] = values[kFirstPhaseVoltage + k];
        m.amps[k] = values[kFirstPhaseCurrent + k];
    }
    return m;
}

PhasorSet MakePhasorSet(const PhaseMagnitudes& magnitudes, const PhaseLags& lags) {
    return {magnitudes.volts, magnitudes.amps, lags.voltage, lags.current};
}
