#include "ValueText.h"

#include <cmath>

namespace {

// The registers are decimal fixed-point numbers, so a value that should end in 5 at the
// first dropped digit must round away from zero even when binary arithmetic put it a hair
// below (6553.5 V / 1000 is 6.55349999... as a double and must read 6.554 kV). The nudge
// is far below the resolution of a single-precision value, which is shown as it is held.
double RoundDecimal(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    return std::round(scaled + std::copysign(std::fabs(scaled) * 1e-12, scaled)) / scale;
}

} // namespace

QString FixedText(double value, int decimals, const QLocale& locale) {
    value = RoundDecimal(value, decimals);
    QLocale l = locale;
    l.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return l.toString(value, 'f', decimals);
}

QString GroupedText(double value, int decimals, const QLocale& locale) {
    value = RoundDecimal(value, decimals);
    QLocale l = locale;
    // The C locale omits the group separator by default; the meter texts always group.
    l.setNumberOptions(locale.numberOptions() &
                       ~QLocale::NumberOptions(QLocale::OmitGroupSeparator));
    return l.toString(value, 'f', decimals);
}

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
