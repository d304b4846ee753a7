#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// Reading a quantity the operator typed, in the user's number format, so that a number
// reaches the meter as the number meant or not at all. The text is read the way a person
// of the user's locale reads it:
// - plain digits 0..9, or the locale's own digits (not both in one number), an optional
//   sign where the field takes negative values;
// - the locale's decimal separator; a plain '.' only where the locale's decimal separator
//   is something else and '.' is not its group separator either;
// - where the decimal separator is a comma, never a lone '.' before exactly three digits
//   ("12.345" is twelve thousand to some and twelve to others on such a desktop, whatever
//   the desktop's own rule): refused, and AmbiguousNumberText says so;
// - the locale's group separator only before the decimal separator, between groups of
//   three digits or where the locale itself puts them ("1,234.5" in English, "1.234,5" in
//   German, "12,34,567.5" in India; a blank or no-break space stands for a space-like
//   separator, which hardly anyone can type, and the keyboard's apostrophe for the Swiss
//   typographic one);
// - optionally, after the number, one of the units the window shows (any case), with a
//   "k" before it (or alone) where the window shows thousands that way.
// Anything else is refused: exponents, hexadecimal, stray characters, control characters
// (an embedded NUL included), two decimal separators, misplaced groups, an empty text.
struct NumberField {
    bool negative = false; // a leading sign ('-', '+' or the locale's own) is allowed
    bool fraction = true;  // decimals are allowed
    QStringList units;     // the units the window writes after the number
    bool kilo = false;     // a 'k' before the unit multiplies by 1000
};

// The number meant, or nothing when the text is not one the field takes.
std::optional<double> ReadNumber(const QString& text, const NumberField& field,
                                 const QLocale& locale = QLocale());

// A whole number (no decimals, no units) in min..max; nothing otherwise.
std::optional<qint64> ReadWholeNumber(const QString& text, qint64 min, qint64 max,
                                      const QLocale& locale = QLocale());

// A number as `locale` writes it, grouped, for a message's example: "12,345.6" in
// English, "12.345,6" in German, "12’345.6" in Swiss German ("12,345" without decimals).
QString NumberExample(const QLocale& locale = QLocale(), int decimals = 1);

// "12.345: type 12345 or 12,345" for a text that a comma-decimal desktop's readers would
// read two ways (a lone '.' before exactly three digits), which the reader refuses; empty
// for any other text.
QString AmbiguousNumberText(const QString& text, const QLocale& locale = QLocale());

// What a refusal adds about the way numbers are typed: the two readings of an ambiguous
// text; nothing for an empty text or one that is a number (only not one the field takes);
// else "numbers are typed like 12,345.6" in the locale's own style.
QString NumberAdvice(const QString& text, const QLocale& locale = QLocale(), int decimals = 1);
