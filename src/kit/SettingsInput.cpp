#include "SettingsInput.h"

#include "NumberInput.h"
#include "NumberText.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The caption as a name inside a sentence, in quotes.
QString FieldName(const QString& caption) {
    return QLatin1Char('"') + CaptionName(caption) + QLatin1Char('"');
}

QString Holds(const QString& text) {
    return text.trimmed().isEmpty()
               ? QCoreApplication::translate("SettingsInput", "it is empty")
               : QCoreApplication::translate("SettingsInput", "it holds \"%1\"").arg(text);
}

// The refusal's last words: how numbers are typed, where the text was not read as one.
QString WithAdvice(const QString& message, const QString& text, const QLocale& locale,
                   int decimals) {
    const QString advice = NumberAdvice(text, locale, decimals);
    return advice.isEmpty() ? message : message + QLatin1Char(' ') + advice + QLatin1Char('.');
}

// Nearest whole number, an exact half going to the even neighbour, whatever rounding
// mode the floating-point unit was left in.
double RoundHalfEven(double x) {
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5)
        return down + 1;
    if (rest < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1;
}

} // namespace

QString CaptionName(const QString& caption) {
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    return name.trimmed();
}

std::optional<quint64> ParseWholeNumber(const QString& text, quint64 min, quint64 max,
                                        const QLocale& locale) {
    // Every field of the meter is far below the top of 63 bits.
    const quint64 top = std::numeric_limits<qint64>::max();
    const auto value =
        ReadWholeNumber(text, qint64(std::min(min, top)), qint64(std::min(max, top)), locale);
    if (!value)
        return std::nullopt;
    return quint64(*value);
}

QString WholeNumberProblem(const QString& caption, const QString& text, quint64 min, quint64 max,
                           const QLocale& locale) {
    return WithAdvice(QCoreApplication::translate("SettingsInput",
                                                  "%1 must be a whole number from %2 to %3 (%4). "
                                                  "Nothing was sent to the meter.")
                          .arg(FieldName(caption))
                          .arg(min)
                          .arg(max)
                          .arg(Holds(text)),
                      text, locale, 0);
}

QString NoSelectionProblem(const QString& caption) {
    return QCoreApplication::translate(
               "SettingsInput", "%1 has no value selected: choose one from its list. Nothing was "
                                "sent to the meter.")
        .arg(FieldName(caption));
}

std::optional<qint32> ParseEnergyTenths(const QString& text, const QLocale& locale) {
    NumberField field;
    field.negative = true;
    const std::optional<double> v = ReadNumber(text, field, locale);
    if (!v)
        return std::nullopt;
    const double tenths = RoundHalfEven(*v * 10.0);
    // A value past the counter's range would wrap round to a wrong, maybe negative, count.
    if (!(tenths >= double(std::numeric_limits<qint32>::min()) &&
          tenths <= double(std::numeric_limits<qint32>::max())))
        return std::nullopt;
    return qint32(tenths);
}

QString EnergyProblem(const QString& caption, const QString& text, const QLocale& locale) {
    const double lowest = std::numeric_limits<qint32>::min() / 10.0;
    const double highest = std::numeric_limits<qint32>::max() / 10.0;
    return WithAdvice(
        QCoreApplication::translate("SettingsInput",
                                    "%1 must be a number from %2 to %3 (%4). Nothing was sent to "
                                    "the meter.")
            .arg(FieldName(caption), FixedText(lowest, 1, locale), FixedText(highest, 1, locale),
                 Holds(text)),
        text, locale, 1);
}
