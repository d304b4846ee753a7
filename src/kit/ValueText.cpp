#include "ValueText.h"

#include "NumberText.h"

#include <cmath>
#include <cstdlib>

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

QString PrefixedText(double value, int plainDecimals, const QString& unit, const QLocale& locale) {
    const double magnitude = std::fabs(value);
    if (magnitude < 1000.0)
        return GroupedText(value, plainDecimals, locale) + QLatin1Char(' ') + unit;
    if (magnitude < 1000000.0)
        return GroupedText(value / 1000.0, 3, locale) + QStringLiteral(" k") + unit;
    return GroupedText(value / 1000000.0, 3, locale) + QStringLiteral(" M") + unit;
}

QString FormatVoltageText(quint16 reg, double ptRatio, const QLocale& locale) {
    return PrefixedText(PrimaryVoltage(reg, ptRatio), 1, QStringLiteral("V"), locale);
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
    return PrefixedText(PrimaryPower(reg, kind, ptRatio, ctRatio), 0, unit, locale);
}

QString FormatEnergyText(qint64 tenths, const QString& unit, const QLocale& locale) {
    if (std::llabs(tenths) < 10000)
        return FixedText(double(tenths) / 10.0, 1, locale) + QStringLiteral(" k") + unit;
    return FixedText(double(tenths) / 10000.0, 4, locale) + QStringLiteral(" M") + unit;
}
