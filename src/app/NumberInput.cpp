#include "NumberInput.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdlib>

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

// The digit `c` stands for: 0..9 for the plain digits, and for the locale's own digits
// where it has them (an Arabic or Bengali desktop types its own); -1 for anything else.
int DigitOf(QChar c, const QLocale& locale) {
    if (IsDigit(c))
        return c.unicode() - '0';
    const QString zero = locale.zeroDigit();
    if (zero.size() == 1 && zero.front() != QLatin1Char('0')) {
        const int d = int(c.unicode()) - int(zero.front().unicode());
        if (d >= 0 && d <= 9)
            return d;
    }
    return -1;
}

// The group separators a person of the locale types: its own, a keyboard's blank for a
// space-like one, a keyboard's apostrophe for the Swiss typographic one.
bool IsGroupMark(QChar c, const QString& group) {
    if (group.size() != 1)
        return QStringView(&c, 1) == group;
    const QChar g = group.front();
    if (c == g)
        return true;
    if (IsSpaceLike(g))
        return IsSpaceLike(c);
    return g == QChar(0x2019) && c == QLatin1Char('\'');
}

// The lengths of the digit groups the locale writes a whole number of `digits` digits
// in, most significant first ("12,34,567" in India: 2, 2, 3); empty when it does not
// group it, or it is too long to ask.
QList<int> LocaleGroups(qsizetype digits, const QLocale& locale) {
    QList<int> groups;
    if (digits < 1 || digits > 18)
        return groups;
    const QString written = locale.toString(qulonglong(std::pow(10.0, double(digits - 1)) + 0.5));
    const QString group = locale.groupSeparator();
    int run = 0;
    for (const QChar c : written) {
        if (QStringView(&c, 1) == group) {
            groups << run;
            run = 0;
        } else {
            ++run;
        }
    }
    if (groups.isEmpty())
        return {};
    groups << run;
    return groups;
}

// Whether digit groups typed like `lengths` are as the program writes them (threes after
// a first group of one to three) or as the locale itself writes them.
bool GroupsInPlace(const QList<int>& lengths, const QLocale& locale) {
    bool threes = lengths.front() >= 1 && lengths.front() <= 3;
    qsizetype digits = lengths.front();
    for (qsizetype i = 1; i < lengths.size(); ++i) {
        threes = threes && lengths[i] == 3;
        digits += lengths[i];
    }
    return threes || LocaleGroups(digits, locale) == lengths;
}

struct Typed {
    bool negative = false;
    QString digits, fraction; // plain digits
    bool inFraction = false;
    QList<int> groups; // digits between group marks, before the decimal mark
    bool grouped = false;
    int marks = 0; // decimal and group marks
    int dots = 0;  // of which plain '.'
    // The digits before and after the one '.' of a text that has no other mark.
    QString LoneDotLeft() const { return inFraction ? digits : digits.left(groups.front()); }
    QString LoneDotRight() const { return inFraction ? fraction : digits.mid(groups.front()); }
};

// The body of a number (no sign, no unit) split into digits and marks; false for a
// character that has no place in a number or a mark in the wrong place.
bool SplitBody(QStringView body, const QLocale& locale, Typed& t) {
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    // A '.' where the locale writes no '.' at all can only be meant as a decimal point
    // (a lone one before exactly three digits aside: Reading() tells that one apart).
    const bool dotIsDecimal = decimal == QLatin1String(".") || group != QLatin1String(".");
    int run = 0;
    int plain = 0, own = 0; // digits of each script: one number is typed in one of them
    for (const QChar c : body) {
        const int d = DigitOf(c, locale);
        if (d >= 0) {
            (IsDigit(c) ? plain : own)++;
            (t.inFraction ? t.fraction : t.digits) += QLatin1Char(char('0' + d));
            ++run;
            continue;
        }
        ++t.marks;
        if (c == QLatin1Char('.'))
            ++t.dots;
        if (QStringView(&c, 1) == decimal || (c == QLatin1Char('.') && dotIsDecimal)) {
            if (t.inFraction)
                return false;
            t.inFraction = true;
            t.groups << run;
            run = 0;
        } else if (IsGroupMark(c, group)) {
            if (t.inFraction)
                return false;
            t.grouped = true;
            t.groups << run;
            run = 0;
        } else {
            return false;
        }
    }
    if (!t.inFraction)
        t.groups << run;
    return plain == 0 || own == 0;
}

// Where a comma is the decimal mark, "12.345" is twelve thousand to some and twelve to
// others, whichever the desktop says: a lone '.' before exactly three digits, with one to
// three before it, is refused rather than read either way.
bool AmbiguousDot(const Typed& t, const QLocale& locale) {
    if (locale.decimalPoint() != QLatin1String(",") || t.marks != 1 || t.dots != 1)
        return false;
    const qsizetype left = t.LoneDotLeft().size();
    return left >= 1 && left <= 3 && t.LoneDotRight().size() == 3;
}

enum class Verdict { Number, Refused, Ambiguous };

struct Reading {
    Verdict verdict = Verdict::Refused;
    QString plain; // the number as the C locale writes it ("-1234.5e3")
    Typed typed;
};

Reading Read(const QString& typed, const NumberField& field, const QLocale& locale) {
    Reading r;
    const QString text = typed.trimmed();
    qsizetype end = text.size();
    while (end > 0 && DigitOf(text[end - 1], locale) < 0)
        --end;
    const std::optional<int> exponent = SuffixExponent(text.mid(end).trimmed(), field);
    if (end == 0 || !exponent)
        return r;
    QStringView body = QStringView(text).left(end);

    QString sign;
    if (field.negative) {
        const std::pair<QString, QChar> signs[] = {{QStringLiteral("-"), QLatin1Char('-')},
                                                   {locale.negativeSign(), QLatin1Char('-')},
                                                   {QStringLiteral("+"), QLatin1Char('+')},
                                                   {locale.positiveSign(), QLatin1Char('+')}};
        for (const auto& [s, plainSign] : signs) {
            if (!s.isEmpty() && body.startsWith(s)) {
                body = body.mid(s.size());
                sign = plainSign;
                break;
            }
        }
    }
    Typed& t = r.typed;
    if (!SplitBody(body, locale, t))
        return r;
    if (AmbiguousDot(t, locale)) {
        r.verdict = Verdict::Ambiguous;
        return r;
    }
    if (t.digits.isEmpty() || (t.inFraction && (t.fraction.isEmpty() || !field.fraction)))
        return r;
    // Groups as the windows or the locale write them; anything else was meant differently.
    if (t.grouped && !GroupsInPlace(t.groups, locale))
        return r;
    // Far more digits than any register holds: refused rather than read approximately.
    // A unit's prefix moves the point: "…k" of 40 digits is a number of 43, which the
    // program could show but not read back.
    if (t.digits.size() + t.fraction.size() + std::abs(*exponent) > 40)
        return r;
    r.plain = sign + t.digits;
    if (t.inFraction)
        r.plain += QLatin1Char('.') + t.fraction;
    if (*exponent != 0)
        r.plain += QStringLiteral("e%1").arg(*exponent);
    r.verdict = Verdict::Number;
    return r;
}

std::optional<QString> PlainNumber(const QString& typed, const NumberField& field,
                                   const QLocale& locale) {
    Reading r = Read(typed, field, locale);
    if (r.verdict != Verdict::Number)
        return std::nullopt;
    return r.plain;
}

} // namespace

std::optional<double> ReadNumber(const QString& text, const NumberField& field,
                                 const QLocale& locale) {
    const std::optional<QString> plain = PlainNumber(text, field, locale);
    if (!plain)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(*plain, &ok);
    // Forty nines round up to 1e40, whose own text has 41 digits: refused like the text.
    if (!ok || !std::isfinite(value) || std::fabs(value) >= 1e40)
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

QString NumberExample(const QLocale& locale, int decimals) {
    QString text = locale.toString(decimals > 0 ? 12345.6 : 12345.0, 'f', decimals > 0 ? 1 : 0);
    // In the digits the program writes, with the locale's own marks.
    for (QChar& c : text) {
        const int d = DigitOf(c, locale);
        if (d >= 0)
            c = QLatin1Char(char('0' + d));
    }
    return text;
}

// The number of a text without the unit after it, if any: whether it is two-way does not
// depend on the unit.
static QString WithoutUnit(const QString& text, const QLocale& locale) {
    qsizetype end = text.size();
    while (end > 0 && DigitOf(text[end - 1], locale) < 0)
        --end;
    return text.left(end);
}

QString AmbiguousNumberText(const QString& text, const QLocale& locale) {
    NumberField any;
    any.negative = true;
    const Reading r = Read(WithoutUnit(text, locale), any, locale);
    if (r.verdict != Verdict::Ambiguous)
        return {};
    const QString whole = r.typed.LoneDotLeft();
    const QString rest = r.typed.LoneDotRight();
    return QCoreApplication::translate("NumberInput", "%1: type %2 or %3")
        .arg(text.trimmed(), whole + rest, whole + locale.decimalPoint() + rest);
}

QString NumberAdvice(const QString& text, const QLocale& locale, int decimals) {
    NumberField any;
    any.negative = true;
    const Reading r = Read(WithoutUnit(text, locale), any, locale);
    if (r.verdict == Verdict::Ambiguous)
        return AmbiguousNumberText(text, locale);
    if (r.verdict == Verdict::Number || text.trimmed().isEmpty())
        return {};
    return QCoreApplication::translate("NumberInput", "Numbers are typed like %1")
        .arg(NumberExample(locale, decimals));
}
