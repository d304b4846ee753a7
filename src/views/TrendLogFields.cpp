#include "TrendLogFields.h"

#include <QCoreApplication>
#include <QDateTime>

#include <charconv>
#include <cmath>

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Ten to the power 0..22: exact as doubles, so an exact mantissa divided by one is the
// correctly rounded value of the decimal.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "-123.456", "7", "0.5": sign, digits, at most one point with digits on both sides.
// Anything else (exponents, long mantissas) goes the slow way.
std::optional<double> PlainDecimal(QByteArrayView f) {
    qsizetype i = 0;
    const bool negative = i < f.size() && f[i] == '-';
    i += negative ? 1 : 0;
    quint64 mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false, before = false;
    for (; i < f.size(); ++i) {
        const char c = f[i];
        if (Digit(c)) {
            if (++digits > 18)
                return std::nullopt;
            mantissa = mantissa * 10 + quint64(c - '0');
            before = before || !point;
            decimals += point ? 1 : 0;
        } else if (c == '.' && !point && before) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!before || (point && decimals == 0))
        return std::nullopt;
    const double v = double(mantissa) / kPowers[decimals];
    return negative ? -v : v;
}

// What a spreadsheet may also write: a '+', an exponent ("1,5E+09"). No words ("inf",
// "nan"), no hexadecimal: only these characters.
std::optional<double> GeneralDecimal(QByteArrayView f) {
    for (const char c : f)
        if (!Digit(c) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
            return std::nullopt;
    const char* begin = f.data() + (f.startsWith('+') ? 1 : 0);
    const char* end = f.data() + f.size();
    double v = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// A German copy's number with its dots between thousands taken out; false where a dot is
// not between groups of three before the comma.
bool StripGroupDots(QByteArrayView f, QByteArray& out) {
    const qsizetype comma = f.indexOf(',');
    const QByteArrayView whole = comma < 0 ? f : f.first(comma);
    qsizetype run = 0, groups = 0;
    bool sign = whole.startsWith('-') || whole.startsWith('+');
    for (qsizetype i = sign ? 1 : 0; i < whole.size(); ++i) {
        if (whole[i] == '.') {
            if (run < 1 || (groups > 0 && run != 3) || run > 3)
                return false;
            ++groups;
            run = 0;
        } else {
            ++run;
        }
    }
    if (groups > 0 && run != 3)
        return false;
    out.clear();
    for (const char c : whole)
        if (c != '.')
            out += c;
    if (comma >= 0)
        out += '.' + f.sliced(comma + 1).toByteArray();
    return !out.contains(',');
}

} // namespace

LogNumber ReadLogNumber(QByteArrayView f, bool decimalComma) {
    LogNumber n;
    if (!decimalComma) {
        std::optional<double> v = PlainDecimal(f);
        if (!v)
            v = GeneralDecimal(f);
        if (v) {
            n.kind = LogNumber::Kind::Number;
            n.value = *v;
        }
        return n;
    }
    // A German copy: "1.231" alone is a thousand and more to the copy's desktop, but a
    // log written with decimal points by a script reads it as one volt.
    const qsizetype dot = f.indexOf('.');
    if (dot >= 0 && !f.contains(',') && f.lastIndexOf('.') == dot && f.size() - dot - 1 == 3) {
        const QByteArrayView whole = f.first(dot);
        const qsizetype lead = whole.startsWith('-') ? 1 : 0;
        if (whole.size() - lead >= 1 && whole.size() - lead <= 3) {
            n.kind = LogNumber::Kind::Ambiguous;
            const QString w = QString::fromLatin1(whole),
                          rest = QString::fromLatin1(f.sliced(dot + 1));
            n.readings = QCoreApplication::translate("TrendLogReader", "type %1 or %2")
                             .arg(w + rest, w + QLatin1Char(',') + rest);
            return n;
        }
    }
    QByteArray plain;
    if (!StripGroupDots(f, plain)) {
        // A single dot that cannot be a thousands dot: the decimal point, as before.
        if (f.count('.') != 1 || f.contains(','))
            return n;
        plain = f.toByteArray();
    }
    std::optional<double> v = PlainDecimal(plain);
    if (!v)
        v = GeneralDecimal(plain);
    if (v) {
        n.kind = LogNumber::Kind::Number;
        n.value = *v;
    }
    return n;
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 DaysFromCivil(qint64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

int Number(QByteArrayView f, qsizetype at, int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = f[at + i];
        if (!Digit(c))
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The wall-clock milliseconds of a checked date and time; nothing for a date that does not
// exist (31 April) or a time past 23:59:59.
std::optional<qint64> WallMs(int y, int mo, int d, int h, int mi, int s) {
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59 || !QDate::isValid(y, mo, d))
        return std::nullopt;
    return ((DaysFromCivil(y, unsigned(mo), unsigned(d)) * 24 + h) * 60 + mi) * 60000LL +
           s * 1000LL;
}

// The program's own "2024-05-01T13:45:07+02:00", and its exports' "…:07.250+02:00".
std::optional<LogTime> OwnTime(QByteArrayView f) {
    if (f.size() != 25 && f.size() != 29)
        return std::nullopt;
    const qsizetype z = f.size() - 6; // the offset's sign
    if (f[4] != '-' || f[7] != '-' || f[10] != 'T' || f[13] != ':' || f[16] != ':' ||
        (f[z] != '+' && f[z] != '-') || f[z + 3] != ':' || (z == 23 && f[19] != '.'))
        return std::nullopt;
    const int ms = z == 23 ? Number(f, 20, 3) : 0;
    const auto wall = WallMs(Number(f, 0, 4), Number(f, 5, 2), Number(f, 8, 2), Number(f, 11, 2),
                             Number(f, 14, 2), Number(f, 17, 2));
    const int oh = Number(f, z + 1, 2), om = Number(f, z + 4, 2);
    if (!wall || ms < 0 || oh < 0 || oh > 14 || om < 0 || om > 59)
        return std::nullopt;
    const qint64 offset = (oh * 60 + om) * 60000LL * (f[z] == '-' ? -1 : 1);
    return LogTime{*wall + ms - offset, false};
}

// A German desktop's "25.10.2026 02:00:00" or "25.10.2026 02:00".
std::optional<LogTime> GermanTime(QByteArrayView f) {
    if ((f.size() != 19 && f.size() != 16) || f[2] != '.' || f[5] != '.' || f[10] != ' ' ||
        f[13] != ':' || (f.size() == 19 && f[16] != ':'))
        return std::nullopt;
    const auto wall = WallMs(Number(f, 6, 4), Number(f, 3, 2), Number(f, 0, 2), Number(f, 11, 2),
                             Number(f, 14, 2), f.size() == 19 ? Number(f, 17, 2) : 0);
    if (!wall)
        return std::nullopt;
    return LogTime{*wall, true};
}

} // namespace

std::optional<LogTime> ReadLogTime(QByteArrayView f) {
    if (auto t = OwnTime(f))
        return t;
    if (auto t = GermanTime(f))
        return t;
    // Other ISO 8601 forms and "2024-05-01 13:45:07": rarer, read by Qt.
    if (f.size() > 64)
        return std::nullopt;
    const QString text = QString::fromLatin1(f);
    QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid())
        t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid())
        return std::nullopt;
    if (t.timeSpec() == Qt::LocalTime) {
        const QDate d = t.date();
        const QTime c = t.time();
        return LogTime{DaysFromCivil(d.year(), unsigned(d.month()), unsigned(d.day())) *
                               86400000LL +
                           c.msecsSinceStartOfDay(),
                       true};
    }
    return LogTime{t.toMSecsSinceEpoch(), false};
}

WallClock::Offsets WallClock::OffsetsOf(qint64 quarter) {
    const auto known = cache_.constFind(quarter);
    if (known != cache_.constEnd())
        return *known;
    // The offsets a day either side of the wall time cover every change near it; each
    // one that places the wall time back on itself is one of its instants.
    const qint64 wall = quarter * 900'000;
    Offsets o;
    QList<int> found;
    for (const qint64 probe : {wall - 86'400'000, wall + 86'400'000}) {
        const int offset = zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(probe, Qt::UTC));
        const qint64 instant = wall - offset * 1000LL;
        if (zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(instant, Qt::UTC)) == offset &&
            !found.contains(offset))
            found << offset;
    }
    if (found.isEmpty()) // skipped by the spring change: the offset from before it
        found << zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(wall - 86'400'000, Qt::UTC));
    // The larger offset is the earlier instant.
    std::sort(found.begin(), found.end(), std::greater<int>());
    o.first = found.front();
    o.second = found.back();
    cache_.insert(quarter, o);
    return o;
}

qint64 WallClock::Place(qint64 wallMs, qint64 notBefore, bool* repeated) {
    const qint64 quarter = wallMs >= 0 ? wallMs / 900'000 : (wallMs - 899'999) / 900'000;
    const Offsets o = OffsetsOf(quarter);
    const qint64 first = wallMs - o.first * 1000LL;
    const qint64 second = wallMs - o.second * 1000LL;
    if (first >= notBefore || second == first)
        return first;
    if (repeated)
        *repeated = true;
    return second;
}
