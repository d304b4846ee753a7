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

// The meter's texts are plain digits with a hyphen-minus whatever the user's language;
// only the decimal and group separators are the user's. Some locales bring their own
// digits, a typographic minus or direction marks, which must not reach the labels.
QString NumberText(double value, int decimals, bool grouped, const QLocale& locale) {
    QLocale c = QLocale::c();
    c.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    const QString plain = c.toString(RoundDecimal(value, decimals), 'f', decimals);
    QString text;
    text.reserve(plain.size() + 4);
    for (const QChar ch : plain) {
        if (ch == QLatin1Char('.'))
            text += locale.decimalPoint();
        else if (ch == QLatin1Char(','))
            text += locale.groupSeparator();
        else
            text += ch;
    }
    return text;
}

} // namespace

QString FixedText(double value, int decimals, const QLocale& locale) {
    return NumberText(value, decimals, false, locale);
}

QString GroupedText(double value, int decimals, const QLocale& locale) {
    return NumberText(value, decimals, true, locale);
}

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
