#include "NumberInput.h"

#include <cmath>

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Blank, no-break space, narrow no-break space, thin space: a French or Swiss desktop
// groups with one of the latter, a keyboard makes the first.
bool IsSpaceLike(QChar c) {
    return c == QChar(0x20) || c == QChar(0xA0) || c == QChar(0x202F) || c == QChar(0x2009);
}

// What follows the last digit: nothing, a unit the window shows, or a k before it. The
// power of ten the k stands for, or nothing for a suffix the field does not take.
std::optional<int> SuffixExponent(const QString& suffix, const NumberField& field) {
    if (suffix.isEmpty())
        return 0;
    auto isUnit = [&](QStringView s) {
        for (const QString& unit : field.units)
            if (s.compare(unit, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    if (isUnit(suffix))
        return 0;
    if (field.kilo && (suffix.front() == QLatin1Char('k') || suffix.front() == QLatin1Char('K'))) {
        const QStringView rest = QStringView(suffix).mid(1);
        if (rest.isEmpty() || isUnit(rest))
            return 3;
    }
    return std::nullopt;
}

// The typed number as the C locale writes it ("-1234.5e3"), or nothing.
std::optional<QString> PlainNumber(const QString& typed, const NumberField& field,
                                   const QLocale& locale) {
    const QString text = typed.trimmed();
    qsizetype end = text.size();
    while (end > 0 && !IsDigit(text[end - 1]))
        --end;
    const std::optional<int> exponent = SuffixExponent(text.mid(end).trimmed(), field);
    if (end == 0 || !exponent)
        return std::nullopt;
    QStringView body = QStringView(text).left(end);

    QString plain;
    if (field.negative) {
        const std::pair<QString, QChar> signs[] = {{QStringLiteral("-"), QLatin1Char('-')},
                                                   {locale.negativeSign(), QLatin1Char('-')},
                                                   {QStringLiteral("+"), QLatin1Char('+')},
                                                   {locale.positiveSign(), QLatin1Char('+')}};
        for (const auto& [sign, plainSign] : signs) {
            if (!sign.isEmpty() && body.startsWith(sign)) {
                body = body.mid(sign.size());
                plain += plainSign;
                break;
            }
        }
    }

    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    // A '.' where the locale writes no '.' at all can only be meant as a decimal point.
    const bool dotIsDecimal = decimal == QLatin1String(".") || group != QLatin1String(".");
    const bool groupIsSpace = group.size() == 1 && IsSpaceLike(group.front());
    QList<int> groupLengths; // digits between group separators, before the decimal mark
    int run = 0;
    bool inFraction = false;
    bool grouped = false;
    QString digits, fraction;
    for (const QChar c : body) {
        if (IsDigit(c)) {
            (inFraction ? fraction : digits) += c;
            ++run;
        } else if (QStringView(&c, 1) == decimal || (c == QLatin1Char('.') && dotIsDecimal)) {
            if (inFraction)
                return std::nullopt;
            inFraction = true;
            groupLengths << run;
            run = 0;
        } else if (QStringView(&c, 1) == group || (groupIsSpace && IsSpaceLike(c))) {
            if (inFraction)
                return std::nullopt;
            grouped = true;
            groupLengths << run;
            run = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!inFraction)
        groupLengths << run;
    if (digits.isEmpty() || (inFraction && (fraction.isEmpty() || !field.fraction)))
        return std::nullopt;
    if (grouped) {
        // Groups of three after a first group of one to three digits, as the windows
        // write them; anything else was meant differently.
        if (groupLengths.front() < 1 || groupLengths.front() > 3)
            return std::nullopt;
        for (qsizetype i = 1; i < groupLengths.size(); ++i)
            if (groupLengths[i] != 3)
                return std::nullopt;
    }
    // Far more digits than any register holds: refused rather than read approximately.
    if (digits.size() + fraction.size() > 40)
        return std::nullopt;
    plain += digits;
    if (inFraction)
        plain += QLatin1Char('.') + fraction;
    if (*exponent != 0)
        plain += QStringLiteral("e%1").arg(*exponent);
    return plain;
}

} // namespace

std::optional<double> ReadNumber(const QString& text, const NumberField& field,
                                 const QLocale& locale) {
    const std::optional<QString> plain = PlainNumber(text, field, locale);
    if (!plain)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(*plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint64> ReadWholeNumber(const QString& text, qint64 min, qint64 max,
                                      const QLocale& locale) {
    NumberField field;
    field.negative = min < 0;
    field.fraction = false;
    const std::optional<QString> plain = PlainNumber(text, field, locale);
    if (!plain)
        return std::nullopt;
    bool ok = false;
    const qint64 value = plain->toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}
