#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// The registers are decimal fixed-point numbers, so a value that should end in 5 at the
// first dropped digit must round away from zero even when binary arithmetic put it a hair
// below (6553.5 V / 1000 is 6.55349999... as a double and must read 6.554 kV). The nudge
// is far below the resolution of a single-precision value, which is shown as it is held.
double RoundDecimal(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // The nudge stays below a thousandth of the last digit, so a large whole number (a
    // memory size in kilobytes) is never pushed up to the next one.
    const double nudge = std::min(std::fabs(scaled) * 1e-12, 1e-3);
    return std::round(scaled + std::copysign(nudge, scaled)) / scale;
}

// The meter's texts are plain digits with a hyphen-minus whatever the user's language;
// only the decimal and group separators are the user's. Some locales bring their own
// digits, a typographic minus or direction marks, which must not reach the labels.
QString PlainDigitsText(double value, int decimals, bool grouped, const QLocale& locale) {
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
    return PlainDigitsText(value, decimals, false, locale);
}

QString GroupedText(double value, int decimals, const QLocale& locale) {
    return PlainDigitsText(value, decimals, true, locale);
}

QString ShortestText(double value, const QLocale& locale) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = c.toString(value, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}
