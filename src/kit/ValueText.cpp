#include "ValueText.h"

#include "NumberText.h"

float PrimaryVoltage(quint16 reg, double ptRatio) {
    return static_cast<float>(reg * ptRatio / 10.0);
}

float PrimaryCurrent(quint16 reg, double ctRatio) {
    return static_cast<float>(reg * ctRatio / 1000.0);
}

float PrimaryPower(quint16 reg, int kind, double ptRatio, double ctRatio) {
    // Active and reactive power can flow either way; apparent power cannot.
    const double value = kind == PowerVoltAmpere                 ? double(reg)
                         : kind == PowerWatt || kind == PowerVar ? double(static_cast<qint16>(reg))
                                                                 : 0.0;
    return static_cast<float>(value * ptRatio * ctRatio);
}

QString FormatVoltageText(quint16 reg, double ptRatio, const QLocale& locale) {
    const float v = PrimaryVoltage(reg, ptRatio);
    if (std::fabs(v) < 1000.0f)
        return GroupedText(v, 1, locale) + QStringLiteral(" V");
    return GroupedText(static_cast<double>(v) / 1000.0, 3, locale) + QStringLiteral(" kV");
}

QString FormatCurrentText(quint16 reg, double ctRatio, const QLocale& locale) {
    const float i = PrimaryCurrent(reg, ctRatio);
    const float magnitude = std::fabs(i);
    const int decimals = magnitude < 10.0f ? 3 : magnitude < 100.0f ? 2 : 1;
    return GroupedText(i, decimals, locale) + QStringLiteral(" A");
}

QString FormatPowerText(quint16 reg, int kind, double ptRatio, double ctRatio,
                        const QLocale& locale) {
    QString unit;
    switch (kind) {
    case PowerWatt:
        unit = QStringLiteral("W");
        break;
    case PowerVar:
        unit = QStringLiteral("var");
        break;
    case PowerVoltAmpere:
        unit = QStringLiteral("VA");
        break;
    default:
        return {};
    }
    const float p = PrimaryPower(reg, kind, ptRatio, ctRatio);
    if (std::fabs(p) < 1000.0f)
        return GroupedText(p, 0, locale) + QLatin1Char(' ') + unit;
    return GroupedText(static_cast<double>(p) / 1000.0, 3, locale) + QStringLiteral(" k") + unit;
}
