#include "ValueText.h"

#include "NumberText.h"

QString FormatVoltageText(quint16 reg, double ptRatio, const QLocale& locale) {
    const float v = static_cast<float>(reg * ptRatio / 10.0);
    if (std::fabs(v) < 1000.0f)
        return GroupedText(v, 1, locale) + QStringLiteral(" V");
    return GroupedText(static_cast<double>(v) / 1000.0, 3, locale) + QStringLiteral(" kV");
}

QString FormatCurrentText(quint16 reg, double ctRatio, const QLocale& locale) {
    const float i = static_cast<float>(reg * ctRatio / 1000.0);
    const float magnitude = std::fabs(i);
    const int decimals = magnitude < 10.0f ? 3 : magnitude < 100.0f ? 2 : 1;
    return GroupedText(i, decimals, locale) + QStringLiteral(" A");
}

QString FormatPowerText(quint16 reg, int kind, double ptRatio, double ctRatio,
                        const QLocale& locale) {
    QString unit;
    double value = 0;
    switch (kind) {
    case PowerWatt:
        unit = QStringLiteral("W");
        value = static_cast<qint16>(reg);
        break;
    case PowerVar:
        unit = QStringLiteral("var");
        value = static_cast<qint16>(reg);
        break;
    case PowerVoltAmpere:
        unit = QStringLiteral("VA");
        value = reg;
        break;
    default:
        return {};
    }
    const float p = static_cast<float>(value * ptRatio * ctRatio);
    if (std::fabs(p) < 1000.0f)
        return GroupedText(p, 0, locale) + QLatin1Char(' ') + unit;
    return GroupedText(static_cast<double>(p) / 1000.0, 3, locale) + QStringLiteral(" k") + unit;
}
